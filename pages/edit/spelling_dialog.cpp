#include "pages/edit/spelling_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"
#include "spelling/spelling_session.h"
#include "ui/spelling_marker.h"

namespace tessera {

CSpellingDialog::CSpellingDialog(const SubtitleDocument& doc, SpellingSession& session,
                                 LanguageTable& lang, SpellingRunClient& client, int start_row,
                                 QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      session_(session),
      lang_(lang),
      client_(client),
      start_row_(std::max(start_row, 0)) {
  setObjectName(QStringLiteral("spellingDialog"));
  setWindowTitle(SpellingText(lang, 2100));
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(SpellingText(lang, 2108), this), 0, 0, 1, 2);
  context_ = new QLabel(this);
  context_->setObjectName(QStringLiteral("context"));
  context_->setTextFormat(Qt::RichText);
  context_->setWordWrap(true);
  context_->setMinimumWidth(360);
  context_->setFrameShape(QFrame::StyledPanel);
  context_->setMargin(4);
  grid->addWidget(context_, 1, 0, 1, 2);
  grid->addWidget(new QLabel(SpellingText(lang, 2109), this), 2, 0, 1, 2);
  replacement_ = new QLineEdit(this);
  replacement_->setObjectName(QStringLiteral("replacement"));
  grid->addWidget(replacement_, 3, 0);
  grid->addWidget(new QLabel(SpellingText(lang, 2110), this), 4, 0);
  suggestions_ = new QListWidget(this);
  suggestions_->setObjectName(QStringLiteral("suggestions"));
  connect(suggestions_, &QListWidget::currentTextChanged, replacement_, &QLineEdit::setText);
  connect(suggestions_, &QListWidget::itemDoubleClicked, this, &CSpellingDialog::Replace);
  grid->addWidget(suggestions_, 5, 0);

  auto* buttons = new QVBoxLayout;
  connect(MakeButton("replace", 2104), &QPushButton::clicked, this, &CSpellingDialog::Replace);
  connect(MakeButton("replaceAll", 2105), &QPushButton::clicked, this,
          &CSpellingDialog::ReplaceAll);
  connect(MakeButton("ignore", 2102), &QPushButton::clicked, this, &CSpellingDialog::IgnoreOnce);
  connect(MakeButton("ignoreAll", 2106), &QPushButton::clicked, this, &CSpellingDialog::IgnoreAll);
  connect(MakeButton("addToDictionary", 2101), &QPushButton::clicked, this,
          &CSpellingDialog::AddToDictionary);
  connect(MakeButton("close", 2107), &QPushButton::clicked, this, &QDialog::close);
  for (QPushButton* b : findChildren<QPushButton*>()) buttons->addWidget(b);
  buttons->addStretch(1);
  grid->addLayout(buttons, 3, 1, 3, 1);
  Button("replace")->setDefault(true);
  Advance(start_row_, 0, 0);
}

QPushButton* CSpellingDialog::MakeButton(const char* name, int id) {
  auto* b = new QPushButton(SpellingText(lang_, id), this);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

QPushButton* CSpellingDialog::Button(const char* object_name) const {
  return findChild<QPushButton*>(QString::fromLatin1(object_name));
}

void CSpellingDialog::Advance(int row, int line, size_t from) {
  SpellChecker& checker = session_.Checker();
  current_ = NextUnknownWord(doc_, checker, row, line, from);
  if (!current_ && !wrapped_ && start_row_ > 0) {
    wrapped_ = true;
    current_ = NextUnknownWord(doc_, checker, 0, 0, 0);
  }
  // After the wrap the run ends where it began.
  if (current_ && wrapped_ && current_->row >= start_row_) current_.reset();
  ShowCurrent();
}

void CSpellingDialog::ShowCurrent() {
  for (const char* name : {"replace", "replaceAll", "ignore", "ignoreAll", "addToDictionary"})
    Button(name)->setEnabled(current_.has_value());
  replacement_->setEnabled(current_.has_value());
  suggestions_->clear();
  if (!current_) {
    context_->setText(SpellingText(lang_, 2111).toHtmlEscaped());
    replacement_->clear();
    Button("close")->setFocus();
    return;
  }
  const QString line = ToQ(doc_.Line(current_->row, current_->line));
  const int start = static_cast<int>(current_->span.start);
  const int length = static_cast<int>(current_->span.length);
  context_->setText(QStringLiteral("%1: %2<b><font color=\"#c00000\">%3</font></b>%4")
                        .arg(current_->row + 1)
                        .arg(line.left(start).toHtmlEscaped(),
                             line.mid(start, length).toHtmlEscaped(),
                             line.mid(start + length).toHtmlEscaped()));
  for (const std::u16string& s : session_.Checker().Suggest(current_->word, kMenuSuggestions))
    suggestions_->addItem(ToQ(s));
  replacement_->setText(suggestions_->count() > 0 ? suggestions_->item(0)->text()
                                                  : ToQ(current_->word));
  if (suggestions_->count() > 0) suggestions_->setCurrentRow(0);
  client_.ShowSpellingRow(current_->row);
}

void CSpellingDialog::Replace() {
  if (!current_) return;
  const UnknownWord at = *current_;
  const std::u16string with = FromQ(replacement_->text());
  const bool replaced = client_.ReplaceSpelling(at, with);
  Advance(at.row, at.line, at.span.start + (replaced ? with.size() : at.span.length));
}

void CSpellingDialog::ReplaceAll() {
  if (!current_) return;
  const UnknownWord at = *current_;
  const std::u16string with = FromQ(replacement_->text());
  client_.ReplaceSpellingEverywhere(at.word, with);
  Advance(at.row, at.line, at.span.start + with.size());
}

void CSpellingDialog::IgnoreOnce() {
  if (!current_) return;
  const UnknownWord at = *current_;
  Advance(at.row, at.line, at.span.start + at.span.length);
}

void CSpellingDialog::IgnoreAll() {
  if (!current_) return;
  const UnknownWord at = *current_;
  session_.Ignore(at.word);
  Advance(at.row, at.line, at.span.start + at.span.length);
}

void CSpellingDialog::AddToDictionary() {
  if (!current_) return;
  const UnknownWord at = *current_;
  session_.Add(at.word);
  Advance(at.row, at.line, at.span.start + at.span.length);
}

}  // namespace tessera
