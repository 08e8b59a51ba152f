#include "pages/synchronize/synchronize_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "autosync/sync_progress_window.h"
#include "autosync/sync_source.h"
#include "core/qt_text_qt.h"
#include "core/time_code.h"
#include "formats/loading.h"
#include "movie/movie_player.h"
#include "movie/play_movie.h"
#include "ui/fixed_row_colours.h"
#include "ui/spin_arrows.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

constexpr int kMoveId = 1503, kStretchId = 1504, kAllId = 1505, kSelectionId = 1506,
              kSoonerId = 1507, kLaterId = 1508, kMinutesId = 1509, kSecondsId = 1510, kMsId = 1511,
              kNegativeId = 1512, kMovementId = 1513, kStretchGroupId = 1514, kAutoSyncId = 1515,
              kAutoSyncCaptionId = 1516, kApplyId = 1517, kDecodingId = 1518, kFittingId = 1519,
              kCancellingId = 1520, kUseMovieId = 1521, kSourceTitleId = 1522,
              kSourceFilterId = 1523;

struct FieldDef {
  const char* name;
  int caption_id;
};
// By SyncField.
constexpr FieldDef kFields[] = {{"minutes", kMinutesId},
                                {"seconds", kSecondsId},
                                {"milliseconds", kMsId},
                                {"stretchSeconds", kSecondsId},
                                {"stretchMilliseconds", kMsId}};

void SetCaption(QWidget* w, const QString& text) {
  if (auto* b = qobject_cast<QAbstractButton*>(w))
    b->setText(text);
  else if (auto* g = qobject_cast<QGroupBox*>(w))
    g->setTitle(text);
  else if (auto* l = qobject_cast<QLabel*>(w))
    l->setText(text);
}

QRadioButton* MakeRadio(QWidget* parent, const char* name) {
  auto* r = new QRadioButton(parent);
  r->setObjectName(QString::fromLatin1(name));
  return r;
}

// A radio pair of its own: the pairs of one group box must not exclude each other.
QHBoxLayout* RadioPair(QRadioButton* first, QRadioButton* second) {
  auto* group = new QButtonGroup(first->parent());
  group->addButton(first);
  group->addButton(second);
  first->setChecked(true);
  auto* row = new QHBoxLayout;
  row->addWidget(first);
  row->addWidget(second);
  row->addStretch(1);
  return row;
}

}  // namespace

PageLayout CSyncPage::Layout(CSyncPage* page) {
  PageLayout l;
  l.title_id = 1501;
  l.description_id = 1502;
  l.buttons = {{
      {"move", kMoveId, u"Move", [page] { return HasMovement(page->Texts()); },
       [page] { return page->Move(); }, u"Move"},
      {"stretch", kStretchId, u"Stretch", [page] { return HasStretch(page->Texts()); },
       [page] { return page->Stretch(); }, u"Stretch"},
      {"autoSync", kAutoSyncId, u"Auto sync...", [page] { return page->ctx_.doc.Count() > 0; },
       [page] { return page->AutoSync(); }, u"Auto sync"},
  }};
  l.list = true;
  l.log = true;
  return l;
}

CSyncPage::CSyncPage(PageContext& ctx, QWidget* parent) : CSheetPage(ctx, Layout(this), parent) {
  List()->Model()->SetRowColour(&FixedRowColour);
  auto* groups = new QWidget(this);
  auto* row = new QHBoxLayout(groups);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(MakeMovementGroup(), 3);
  row->addWidget(MakeStretchGroup(), 2);
  AddBelowList(groups);
  connect(List()->Model(), &QAbstractItemModel::modelReset, this,
          [this] { list_refilled_ = true; });
  connect(List()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CSyncPage::KeepSelectionFlags);
  Apply(kRefreshNothing);
}

QWidget* CSyncPage::MakeNumberField(SyncField field, QWidget* parent) {
  const FieldDef& def = kFields[static_cast<int>(field)];
  auto* box = new QWidget(parent);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  auto* edit = new QLineEdit(QStringLiteral("0"), box);
  edit->setObjectName(QString::fromLatin1(def.name));
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
  edit->setAlignment(Qt::AlignRight);
  connect(edit, &QLineEdit::textChanged, this, [this] { Apply(kRefreshNothing); });
  auto* spin = new SpinArrows(box);
  spin->setObjectName(QString::fromLatin1(def.name) + QStringLiteral("Spin"));
  spin->setFixedHeight(edit->sizeHint().height());
  connect(spin, &SpinArrows::Stepped, this, [this, field](bool up) { Spin(field, up); });
  auto* label = new QLabel(box);
  label->setBuddy(edit);
  captions_.push_back({label, def.caption_id});
  row->addWidget(edit);
  row->addWidget(spin);
  row->addSpacing(4);
  row->addWidget(label);
  fields_[static_cast<int>(field)] = edit;
  return box;
}

QGroupBox* CSyncPage::MakeMovementGroup() {
  movement_group_ = new QGroupBox(this);
  auto* v = new QVBoxLayout(movement_group_);
  v->setContentsMargins(8, 4, 8, 6);
  v->setSpacing(4);
  move_all_ = MakeRadio(movement_group_, "moveAll");
  move_selection_ = MakeRadio(movement_group_, "moveSelection");
  v->addLayout(RadioPair(move_all_, move_selection_));
  auto* numbers = new QHBoxLayout;
  for (SyncField f : {SyncField::kMinutes, SyncField::kSeconds, SyncField::kMilliseconds})
    numbers->addWidget(MakeNumberField(f, movement_group_));
  numbers->addStretch(1);
  v->addLayout(numbers);
  sooner_ = MakeRadio(movement_group_, "sooner");
  later_ = MakeRadio(movement_group_, "later");
  auto* last = RadioPair(sooner_, later_);
  small_move_ = new QPushButton(movement_group_);
  small_move_->setObjectName(QStringLiteral("smallMove"));
  connect(small_move_, &QPushButton::clicked, this,
          [this] { Run([this] { return Move(); }, u"Move"); });
  last->addWidget(small_move_);
  v->addLayout(last);
  captions_.insert(captions_.end(), {{movement_group_, kMovementId},
                                     {move_all_, kAllId},
                                     {move_selection_, kSelectionId},
                                     {sooner_, kSoonerId},
                                     {later_, kLaterId},
                                     {small_move_, kMoveId}});
  return movement_group_;
}

QGroupBox* CSyncPage::MakeStretchGroup() {
  stretch_group_ = new QGroupBox(this);
  auto* v = new QVBoxLayout(stretch_group_);
  v->setContentsMargins(8, 4, 8, 6);
  v->setSpacing(4);
  stretch_all_ = MakeRadio(stretch_group_, "stretchAll");
  stretch_selection_ = MakeRadio(stretch_group_, "stretchSelection");
  v->addLayout(RadioPair(stretch_all_, stretch_selection_));
  auto* numbers = new QHBoxLayout;
  for (SyncField f : {SyncField::kStretchSeconds, SyncField::kStretchMilliseconds})
    numbers->addWidget(MakeNumberField(f, stretch_group_));
  numbers->addStretch(1);
  v->addLayout(numbers);
  auto* last = new QHBoxLayout;
  negative_ = new QCheckBox(stretch_group_);
  negative_->setObjectName(QStringLiteral("negative"));
  last->addWidget(negative_);
  last->addStretch(1);
  small_stretch_ = new QPushButton(stretch_group_);
  small_stretch_->setObjectName(QStringLiteral("smallStretch"));
  connect(small_stretch_, &QPushButton::clicked, this,
          [this] { Run([this] { return Stretch(); }, u"Stretch"); });
  last->addWidget(small_stretch_);
  v->addLayout(last);
  captions_.insert(captions_.end(), {{stretch_group_, kStretchGroupId},
                                     {stretch_all_, kAllId},
                                     {stretch_selection_, kSelectionId},
                                     {negative_, kNegativeId},
                                     {small_stretch_, kStretchId}});
  return stretch_group_;
}

void CSyncPage::OnActivate() {
  for (const auto& [widget, id] : captions_) SetCaption(widget, Caption(id));
  CSheetPage::OnActivate();
}

SyncFieldTexts CSyncPage::Texts() const {
  SyncFieldTexts t;
  for (int i = 0; i < kSyncFieldCount; ++i) t[i] = FromQ(fields_[i]->text());
  return t;
}

std::optional<SyncFieldValues> CSyncPage::ReadFields() {
  std::optional<SyncFieldValues> values = ReadSyncFields(Texts());
  if (!values) ctx_.prompter.MessageBox(u"Enter an integer.", {}, PromptIcon::Exclamation);
  return values;
}

void CSyncPage::Spin(SyncField field, bool up) {
  std::optional<SyncFieldValues> values = ReadFields();
  if (!values) return;
  int& value = (*values)[static_cast<int>(field)];
  value = SpinSyncField(field, value, up, ctx_.prompter);
  // All the fields are written back, as numbers.
  for (int i = 0; i < kSyncFieldCount; ++i) {
    const QString text = QString::number((*values)[i]);
    if (fields_[i]->text() != text) fields_[i]->setText(text);
  }
  Apply(kRefreshNothing);
}

unsigned CSyncPage::Move() {
  std::optional<SyncFieldValues> values = ReadFields();
  if (!values) return kRefreshNothing;
  const SyncScope scope = move_selection_->isChecked() ? SyncScope::kSelection : SyncScope::kAll;
  MoveEntries(ctx_.doc, MoveRange(ctx_.doc, scope),
              MovementOf(*values, later_->isChecked()).Seconds(), scope, ctx_.prompter);
  return kRefreshLog;
}

unsigned CSyncPage::Stretch() {
  std::optional<SyncFieldValues> values = ReadFields();
  if (!values) return kRefreshNothing;
  const SyncScope scope = stretch_selection_->isChecked() ? SyncScope::kSelection : SyncScope::kAll;
  StretchEntries(ctx_.doc, StretchRange(ctx_.doc, scope),
                 StretchOf(*values, negative_->isChecked()), ctx_.prompter);
  return kRefreshLog;
}

std::u16string CSyncPage::AutoSyncSource() {
  const std::u16string& movie = ctx_.app.last_avi;
  if (ctx_.player && ctx_.player->HasGraph() && !movie.empty()) {
    const QString ask = Caption(kUseMovieId);
    switch (
        ctx_.prompter.AskYesNoCancel(FromQ(QString(ask).replace(QStringLiteral("%s"), ToQ(movie))),
                                     FromQ(Caption(kAutoSyncCaptionId)))) {
      case PromptAnswer::Yes:
        return movie;
      case PromptAnswer::Cancel:
        return {};
      case PromptAnswer::No:
        break;
    }
  }
  FileDialogRequest r;
  r.title = FromQ(Caption(kSourceTitleId));
  r.initial_folder = PathFolder(movie.empty() ? ctx_.doc.FilePath() : movie);
  std::u16string patterns = u"*.srt;*.ssa;*.ass;*.vtt;*.sub;*.smi;*.txt";
  for (const FileFilter& f : MovieFileFilters())
    if (f.patterns != u"*" && f.patterns != u"*.*") patterns += u";" + f.patterns;
  r.filters = {{FromQ(Caption(kSourceFilterId)), patterns}, {u"All files", u"*"}};
  r.overwrite_prompt = false;
  std::optional<FileDialogAnswer> answer = ctx_.dialogs.OpenFile(r);
  return answer ? answer->path : std::u16string();
}

unsigned CSyncPage::AutoSync() {
  const std::u16string source = AutoSyncSource();
  if (source.empty()) return kRefreshNothing;
  // The job reads a copy of the times, so nothing the window does meanwhile can reach it.
  SubtitleDocument times;
  times.Reserve(ctx_.doc.Count());
  for (int i = 0; i < ctx_.doc.Count(); ++i) times.AddRow(ctx_.doc.Start(i), ctx_.doc.End(i));
  const SyncFitOptions options;
  AutoSyncOutcome out;
  const QString caption = Caption(kAutoSyncCaptionId);
  CSyncProgressWindow window(
      caption, {Caption(kDecodingId), Caption(kFittingId), Caption(kCancellingId)}, this);
  window.Run([&](const SyncStageProgress& progress) {
    out = RunAutoSync(times, source, ctx_.lang, options, progress);
  });
  if (!out.warning.empty()) ctx_.doc.AppendLog(out.warning);
  if (out.status == AutoSyncStatus::kCancelled) return kRefreshLog;
  std::u16string refusal = out.status == AutoSyncStatus::kFailed ? out.error
                           : out.fit.accepted                    ? std::u16string()
                                                                 : RefusalText(out.fit, options);
  if (!refusal.empty()) {
    ctx_.doc.AppendLog(refusal);
    ctx_.prompter.MessageBox(refusal, FromQ(caption), PromptIcon::Error);
    return kRefreshLog;
  }
  const SyncFit& fit = out.fit;
  std::u16string text = u"Offset: " + OffsetText(fit.segments[0].offset) + u"\r\nRate: " +
                        RateText(kSyncRates[fit.rate]) + u"\r\nSplits: ";
  if (fit.segments.size() == 1) text += u"none";
  for (size_t k = 1; k < fit.segments.size(); ++k) {
    const int row = fit.segments[k].first_row;
    text += u"\r\n    " +
            FormatTimeText(std::max(0.0, FittedTime(fit, row, times.Time(row, kStart)))) +
            u" (subtitle " + FromQ(QString::number(row + 1)) + u"), offset " +
            OffsetText(fit.segments[k].offset);
  }
  text += u"\r\nScore: " + FromQ(QString::number(fit.score, 'f', 2));
  if (!ctx_.prompter.AskApply(text, FromQ(Caption(kApplyId)), FromQ(caption)))
    return kRefreshNothing;
  const std::u16string found = DescribeFit(times, fit);
  ApplyFit(ctx_.doc, fit);
  ctx_.doc.SetChanged(true);
  ctx_.doc.AppendLog(found);
  return kRefreshRows | kRefreshLog;
}

void CSyncPage::AfterRefresh() {
  small_move_->setEnabled(Button("move")->isEnabled());
  small_stretch_->setEnabled(Button("stretch")->isEnabled());
  if (list_refilled_) {
    list_refilled_ = false;
    ShowSelectionFlags();
  }
  // Moved and stretched times are read again when painted.
  List()->viewport()->update();
}

void CSyncPage::ShowSelectionFlags() {
  SubtitleDocument& doc = ctx_.doc;
  const int current = doc.CurrentRow();
  QItemSelection flagged;
  int first_flagged = -1;
  SubtitleListModel* model = List()->Model();
  for (int row = 0; row < doc.Count();) {
    if (!doc.Selected(row)) {
      ++row;
      continue;
    }
    int last = row;
    while (last + 1 < doc.Count() && doc.Selected(last + 1)) ++last;
    if (first_flagged < 0) first_flagged = row;
    flagged.select(model->index(row, 0), model->index(last, SubtitleListModel::kColumnCount - 1));
    row = last + 1;
  }
  QItemSelectionModel* selection = List()->selectionModel();
  showing_flags_ = true;
  selection->select(flagged, QItemSelectionModel::ClearAndSelect);
  // As every list refill does: the current row takes the place of the first selected row.
  if (doc.IsRow(current)) {
    if (first_flagged >= 0)
      selection->select(model->index(first_flagged, 0),
                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(model->index(current, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  showing_flags_ = false;
  doc.ResetSelection();
  for (const QModelIndex& i : selection->selectedRows())
    if (doc.IsRow(i.row())) doc.SetSelected(i.row(), true);
}

void CSyncPage::KeepSelectionFlags(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
  // The list selection is the document's selection flags while the page is shown, so that Move
  // and Stretch, and the undo step they record, see what the user selected.
  if (!List()->Refreshing() && !showing_flags_) {
    for (const auto& [ranges, on] : {std::pair{&deselected, false}, std::pair{&selected, true}}) {
      for (const QItemSelectionRange& r : *ranges)
        for (int row = r.top(); row <= r.bottom(); ++row)
          if (ctx_.doc.IsRow(row)) ctx_.doc.SetSelected(row, on);
    }
  }
  if (List()->selectionModel()->selectedRows().size() > 1) move_selection_->setChecked(true);
}

}  // namespace tessera
