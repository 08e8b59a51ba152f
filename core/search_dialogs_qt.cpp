#include "core/search_dialogs_qt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"

namespace tessera {
namespace {

QLineEdit* MakeField(QWidget* parent, const char* name, const std::u16string& text) {
  auto* field = new QLineEdit(ToQ(text), parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setMinimumWidth(220);
  return field;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, bool on) {
  auto* check = new QCheckBox(caption, parent);
  check->setObjectName(QString::fromLatin1(name));
  check->setChecked(on);
  return check;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

// A label whose mnemonic leads to `field`.
QLabel* LabelFor(QWidget* parent, const QString& caption, QWidget* field) {
  auto* label = new QLabel(caption, parent);
  label->setBuddy(field);
  return label;
}

void FocusWholeText(QLineEdit* field) {
  field->selectAll();
  field->setFocus(Qt::OtherFocusReason);
}

}  // namespace

CSearchDialog::CSearchDialog(const SearchDialogFields& initial, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Find"));
  find_ = MakeField(this, "findWhat", initial.find);
  whole_word_ =
      MakeCheck(this, "wholeWord", QStringLiteral("Match &whole word only"), initial.whole_word);
  match_case_ = MakeCheck(this, "matchCase", QStringLiteral("Match &case"), initial.match_case);
  auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
  up_ = new QRadioButton(QStringLiteral("&Up"), direction);
  up_->setObjectName(QStringLiteral("up"));
  auto* down = new QRadioButton(QStringLiteral("&Down"), direction);
  down->setObjectName(QStringLiteral("down"));
  down->setChecked(true);
  auto* direction_layout = new QHBoxLayout(direction);
  direction_layout->addWidget(up_);
  direction_layout->addWidget(down);
  QPushButton* find_next = MakeButton(this, "findNext", QStringLiteral("&Find Next"));
  find_next->setDefault(true);
  QPushButton* cancel = MakeButton(this, "cancel", QStringLiteral("Cancel"));

  auto* grid = new QGridLayout(this);
  auto* find_row = new QHBoxLayout;
  find_row->addWidget(LabelFor(this, QStringLiteral("Fi&nd what:"), find_));
  find_row->addWidget(find_, 1);
  grid->addLayout(find_row, 0, 0, 1, 2);
  auto* checks = new QVBoxLayout;
  checks->addStretch(1);
  checks->addWidget(whole_word_);
  checks->addWidget(match_case_);
  grid->addLayout(checks, 1, 0);
  grid->addWidget(direction, 1, 1);
  grid->addWidget(find_next, 0, 2);
  grid->addWidget(cancel, 1, 2, Qt::AlignTop);
  connect(find_next, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  FocusWholeText(find_);
}

SearchDialogFields CSearchDialog::Fields() const {
  SearchDialogFields f;
  f.find = FromQ(find_->text());
  f.whole_word = whole_word_->isChecked();
  f.match_case = match_case_->isChecked();
  f.direction = up_->isChecked() ? -1 : +1;
  return f;
}

CReplaceDialog::CReplaceDialog(const SearchDialogFields& initial, ReplaceDialogClient& client,
                               QWidget* parent)
    : QDialog(parent), client_(client) {
  setWindowTitle(QStringLiteral("Replace"));
  find_ = MakeField(this, "findWhat", initial.find);
  replace_ = MakeField(this, "replaceWith", initial.replace);
  whole_word_ =
      MakeCheck(this, "wholeWord", QStringLiteral("Match &whole word only"), initial.whole_word);
  match_case_ = MakeCheck(this, "matchCase", QStringLiteral("Match &case"), initial.match_case);
  QPushButton* find_next = MakeButton(this, "findNext", QStringLiteral("&Find Next"));
  find_next->setDefault(true);
  QPushButton* replace = MakeButton(this, "replace", QStringLiteral("&Replace"));
  QPushButton* replace_all = MakeButton(this, "replaceAll", QStringLiteral("Replace &All"));
  QPushButton* cancel = MakeButton(this, "cancel", QStringLiteral("Cancel"));

  auto* grid = new QGridLayout(this);
  grid->addWidget(LabelFor(this, QStringLiteral("Fi&nd what:"), find_), 0, 0);
  grid->addWidget(find_, 0, 1);
  grid->addWidget(LabelFor(this, QStringLiteral("Re&place with:"), replace_), 1, 0);
  grid->addWidget(replace_, 1, 1);
  grid->addWidget(whole_word_, 2, 0, 1, 2);
  grid->addWidget(match_case_, 3, 0, 1, 2);
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(find_next);
  buttons->addWidget(replace);
  buttons->addWidget(replace_all);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  grid->addLayout(buttons, 0, 2, 4, 1);
  connect(find_next, &QPushButton::clicked, this, [this] { client_.FindNextPressed(Fields()); });
  connect(replace, &QPushButton::clicked, this, [this] { client_.ReplacePressed(Fields()); });
  connect(replace_all, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  FocusWholeText(find_);
}

SearchDialogFields CReplaceDialog::Fields() const {
  SearchDialogFields f;
  f.find = FromQ(find_->text());
  f.replace = FromQ(replace_->text());
  f.whole_word = whole_word_->isChecked();
  f.match_case = match_case_->isChecked();
  return f;
}

}  // namespace tessera
