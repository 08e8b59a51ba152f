#include "pages/edit/edit_page.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/qt_text_qt.h"
#include "spelling/spelling_session.h"
#include "tools/edit_operations.h"
#include "ui/cd_player_display.h"
#include "ui/fixed_row_colours.h"
#include "ui/log_panel.h"
#include "ui/spelling_marker.h"
#include "ui/spin_arrows.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

// The spin arrows beside the three time displays, in the order of EditSpin.
constexpr EditSpin kSpins[] = {EditSpin::kStart, EditSpin::kDurationSeconds,
                               EditSpin::kDurationMilliseconds};
constexpr const char16_t* kSpinLabels[] = {u"Move start", u"Duration seconds",
                                           u"Duration milliseconds"};

}  // namespace

PageLayout CEditPage::Layout(CEditPage* page) {
  auto call = [page](unsigned (CEditPage::*f)()) { return [page, f] { return (page->*f)(); }; };
  auto selected = [page] { return page->SelectedRow() >= 0; };
  PageLayout l;
  l.title = u"Edit";
  l.description = u"Edit, insert, delete or split subtitles. Search for texts...";
  // In a line field Delete deletes a character and Return moves on, not the subtitle's.
  auto unless_in_line = [page] { return page->FocusedLine() >= 0 ? KeyUse::kPass : KeyUse::kRun; };
  auto only_in_line = [page] { return page->FocusedLine() >= 0 ? KeyUse::kRun : KeyUse::kPass; };
  l.buttons = {{
      {"insert", 0, u"Insert", selected, call(&CEditPage::Insert), u"Insert"},
      {"add", 0, u"Add", {}, call(&CEditPage::Add), u"Add"},
      {"delete",
       0,
       u"Delete",
       selected,
       call(&CEditPage::Delete),
       u"Delete",
       {Qt::Key_Delete, unless_in_line}},
      {"removeAll", 0, u"Remove All", {}, call(&CEditPage::RemoveAll), u"Remove All"},
      {"find",
       0,
       u"Find",
       {},
       [page] {
         RunFindDialog(page->ctx_.store, page->ctx_.dialogs, *page);
         return unsigned{kRefreshNothing};
       },
       nullptr,
       {CtrlKey(Qt::Key_F)}},
      {"replace",
       0,
       u"Replace",
       {},
       [page] {
         RunReplaceDialog(page->ctx_.store, page->ctx_.dialogs, *page);
         return unsigned{kRefreshNothing};
       },
       nullptr,
       {CtrlKey(Qt::Key_H)}},
      {"spelling", 2100, u"Spelling",
       [page] { return page->ctx_.spelling && page->ctx_.doc.Count() > 0; },
       call(&CEditPage::StartSpelling)},
  }};
  l.keys = {
      {nullptr,
       0,
       u"Find Next",
       {},
       [page] { return page->SearchNext(), 0u; },
       nullptr,
       {Qt::Key_F3}},
      {nullptr,
       0,
       u"Next line",
       {},
       [page] { return page->FocusNextLine(page->FocusedLine()), 0u; },
       nullptr,
       {Qt::Key_Return, only_in_line}},
  };
  l.list = true;
  l.log = true;
  return l;
}

CEditPage::CEditPage(PageContext& ctx, QWidget* parent)
    : SearchingSheetPage(ctx, Layout(this), parent) {
  List()->Model()->SetRowColour(&FixedRowColour);
  AddBelowList(MakeEditGroup());
  connect(List(), &SubtitleListView::CurrentRowChanged, this, [this] { Apply(kRefreshNothing); });
  Apply(kRefreshNothing);
}

QWidget* CEditPage::MakeEditGroup() {
  auto* group = new QGroupBox(QStringLiteral("Subtitles:"), this);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setVerticalSpacing(4);
  for (int k = 0; k < 3; ++k) {
    auto* field = new QLineEdit(group);
    field->setObjectName(QStringLiteral("line%1").arg(k + 1));
    // The fields write what they show, so the same fixed-pitch font as the log.
    field->setFont(Log()->font());
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, [this, k](const QString& t) { Typed(k, t); });
    markers_[k] = new SpellingMarker(field, ctx_.spelling, ctx_.lang);
    connect(markers_[k], &SpellingMarker::ReplaceRequested, this,
            [this, k](int start, int length, const QString& replacement) {
              ApplySuggestion(k, start, length, replacement);
            });
    connect(markers_[k], &SpellingMarker::KnownWordsChanged, this, &CEditPage::RemarkLines);
    auto* label = new QLabel(QStringLiteral("Line %1 :").arg(k + 1), group);
    label->setBuddy(field);
    grid->addWidget(label, k, 0);
    grid->addWidget(field, k, 1);
    lines_[k] = field;
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(2, 12);

  start_ = new CCDPlayerDisplay(12, 1, group);
  start_->setObjectName(QStringLiteral("startDisplay"));
  seconds_ = new CCDPlayerDisplay(2, 1, group);
  seconds_->setObjectName(QStringLiteral("secondsDisplay"));
  milliseconds_ = new CCDPlayerDisplay(3, 1, group);
  milliseconds_->setObjectName(QStringLiteral("millisecondsDisplay"));
  static const char* const kSpinNames[] = {"startSpin", "secondsSpin", "millisecondsSpin"};
  for (int s = 0; s < 3; ++s) {
    spins_[s] = new SpinArrows(group);
    spins_[s]->setObjectName(QString::fromLatin1(kSpinNames[s]));
    spins_[s]->setFixedHeight(start_->sizeHint().height());
    connect(spins_[s], &SpinArrows::Stepped, this, [this, s](bool up) { Spin(s, up); });
  }
  // What a screen reader says of the drawn readouts and their arrows.
  start_->SetCaption(QStringLiteral("Start"));
  seconds_->SetCaption(QStringLiteral("Duration, seconds"));
  milliseconds_->SetCaption(QStringLiteral("Duration, milliseconds"));
  spins_[0]->SetCaption(QStringLiteral("Start"));
  spins_[1]->SetCaption(QStringLiteral("Duration, seconds"));
  spins_[2]->SetCaption(QStringLiteral("Duration, milliseconds"));
  auto pair = [](QWidget* display, QWidget* spin) {
    auto* box = new QHBoxLayout;
    box->setSpacing(1);
    box->addWidget(display);
    box->addWidget(spin);
    return box;
  };
  grid->addWidget(new QLabel(QStringLiteral("Start:"), group), 0, 3);
  auto* start_row = pair(start_, spins_[0]);
  start_row->addStretch(1);
  grid->addLayout(start_row, 0, 4);
  grid->addWidget(new QLabel(QStringLiteral("Duration:"), group), 1, 3);
  auto* duration_row = pair(seconds_, spins_[1]);
  duration_row->addSpacing(6);
  duration_row->addLayout(pair(milliseconds_, spins_[2]));
  duration_row->addStretch(1);
  grid->addLayout(duration_row, 1, 4);
  auto* auto_button = new QPushButton(QStringLiteral("Auto"), group);
  auto_button->setObjectName(QStringLiteral("auto"));
  connect(auto_button, &QPushButton::clicked, this,
          [this] { Run([this] { return Auto(); }, u"Auto"); });
  grid->addWidget(auto_button, 2, 4, Qt::AlignLeft);
  auto_ = auto_button;
  return group;
}

int CEditPage::SelectedRow() const {
  return List()->FirstSelectedRow();
}

int CEditPage::FocusedLine() const {
  for (int k = 0; k < 3; ++k)
    if (lines_[k]->hasFocus()) return k;
  return -1;
}

void CEditPage::FocusNextLine(int line) {
  lines_[(line + 1) % 3]->setFocus(Qt::TabFocusReason);
}

void CEditPage::AfterRefresh() {
  const int row = SelectedRow();
  const bool has_row = row >= 0;
  loading_ = true;
  for (int k = 0; k < 3; ++k) {
    // Setting the same text would move the cursor of the field being typed into.
    const QString text = has_row ? ToQ(ctx_.doc.Line(row, k)) : QString();
    if (lines_[k]->text() != text) lines_[k]->setText(text);
    lines_[k]->setEnabled(has_row);
  }
  loading_ = false;
  const EditTimeTexts times = EditTimeDisplay(ctx_.doc, row);
  start_->SetText(ToQ(times.start));
  seconds_->SetText(ToQ(times.seconds));
  milliseconds_->SetText(ToQ(times.milliseconds));
  for (SpinArrows* spin : spins_) spin->setEnabled(has_row);
  auto_->setEnabled(has_row);
  // Cells changed in place are read again when painted.
  List()->viewport()->update();
  if (scroll_to_current_) {
    scroll_to_current_ = false;
    const int current = ctx_.doc.CurrentRow();
    if (ctx_.doc.IsRow(current)) List()->scrollTo(List()->Model()->index(current, 0));
  }
}

void CEditPage::Typed(int line, const QString& text) {
  if (loading_) return;
  const int row = SelectedRow();
  if (row < 0) return;
  RunTyped(row, line, [this, row, line, &text] {
    EditSetLine(ctx_.doc, row, line, FromQ(text));
    return unsigned{kRefreshNothing};
  });
}

bool CEditPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) EndTyping();
  return CSheetPage::eventFilter(watched, event);
}

void CEditPage::Spin(int which, bool up) {
  Run(
      [this, which, up] {
        EditSpinTime(ctx_.doc, SelectedRow(), kSpins[which], up, ctx_.prompter);
        return unsigned{kRefreshNothing};
      },
      kSpinLabels[which]);
}

void CEditPage::OnActivate() {
  // The language may have changed on the Options page.
  if (ctx_.spelling) ctx_.spelling->Use(ctx_.app.spelling_language, &ctx_.doc.Log());
  CSheetPage::OnActivate();
  RemarkLines();
}

void CEditPage::RemarkLines() {
  for (SpellingMarker* m : markers_) m->Remark();
}

void CEditPage::ApplySuggestion(int line, int start, int length, const QString& replacement) {
  // The typing path applies it, as one step of its own.
  EndTyping();
  QLineEdit* field = lines_[line];
  field->setSelection(start, length);
  field->insert(replacement);
  EndTyping();
}

unsigned CEditPage::StartSpelling() {
  if (!ctx_.spelling) return kRefreshNothing;
  EndTyping();
  if (spelling_dialog_) spelling_dialog_->close();
  ctx_.spelling->Use(ctx_.app.spelling_language, &ctx_.doc.Log());
  auto* dialog = new CSpellingDialog(ctx_.doc, *ctx_.spelling, ctx_.lang, *this,
                                     std::max(SelectedRow(), 0), this);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  // Words added or ignored in the run lose their marks in the fields too.
  connect(dialog, &QDialog::finished, this, &CEditPage::RemarkLines);
  spelling_dialog_ = dialog;
  dialog->show();
  return kRefreshLog;
}

void CEditPage::ShowSpellingRow(int row) {
  if (!ctx_.doc.IsRow(row) || row == SelectedRow()) return;
  ctx_.doc.SetCurrentRow(row);
  Apply(ShowCurrentRow());
}

bool CEditPage::ReplaceSpelling(const UnknownWord& at, const std::u16string& replacement) {
  bool replaced = false;
  const std::u16string label = u"Spelling: " + at.word + u" -> " + replacement;
  Run(
      [&] {
        replaced = ReplaceUnknownWord(ctx_.doc, at, replacement);
        return replaced ? unsigned{kRefreshRows} : unsigned{kRefreshNothing};
      },
      label.c_str());
  return replaced;
}

int CEditPage::ReplaceSpellingEverywhere(const std::u16string& word,
                                         const std::u16string& replacement) {
  int count = 0;
  const std::u16string label = u"Spelling: " + word + u" -> " + replacement;
  Run(
      [&] {
        count = ReplaceWordEverywhere(ctx_.doc, word, replacement);
        return count > 0 ? unsigned{kRefreshRows} : unsigned{kRefreshNothing};
      },
      label.c_str());
  return count;
}

void CEditPage::OnDeactivate() {
  EndTyping();
  CSheetPage::OnDeactivate();
}

unsigned CEditPage::ShowCurrentRow() {
  scroll_to_current_ = true;
  return kRefreshCurrentRow;
}

unsigned CEditPage::Insert() {
  // Enter in a line field reaches Insert in the original layout; it only moves on.
  if (const int line = FocusedLine(); line >= 0) {
    FocusNextLine(line);
    return kRefreshNothing;
  }
  const int row = EditInsert(ctx_.doc, SelectedRow(), ctx_.prompter);
  if (row < 0) return kRefreshNothing;
  ctx_.doc.SetCurrentRow(row);
  return ShowCurrentRow() | kRefreshRowCount;
}

unsigned CEditPage::Add() {
  EditAdd(ctx_.doc);
  return ShowCurrentRow() | kRefreshRowCount;
}

unsigned CEditPage::Delete() {
  std::vector<int> rows;
  for (const QModelIndex& i : List()->selectionModel()->selectedRows()) rows.push_back(i.row());
  if (!EditDelete(ctx_.doc, std::move(rows), ctx_.prompter)) return kRefreshNothing;
  return ShowCurrentRow() | kRefreshRowCount;
}

unsigned CEditPage::RemoveAll() {
  if (!EditRemoveAll(ctx_.doc, ctx_.prompter)) return kRefreshNothing;
  return kRefreshRowCount;
}

unsigned CEditPage::Auto() {
  const int row = SelectedRow();
  if (row < 0) return kRefreshNothing;
  EditAuto(ctx_.doc, row, ctx_.app.minimum_duration, ctx_.app.smart_seconds);
  return kRefreshNothing;
}

void CEditPage::SelectFirstRowIfNone() {
  if (SelectedRow() >= 0 || ctx_.doc.Count() == 0) return;
  ctx_.doc.SetCurrentRow(0);
  Apply(ShowCurrentRow());
}

void CEditPage::SearchNext() {
  Run([this] {
    if (!FindNext(ctx_.doc, search_, ctx_.prompter, ctx_.lang)) return unsigned{kRefreshNothing};
    return ShowCurrentRow();
  });
}

unsigned CEditPage::ShowReplacement(bool every_row) {
  return every_row ? ShowCurrentRow() | kRefreshRows : unsigned{kRefreshNothing};
}

}  // namespace tessera
