#include "pages/analyze/analyze_page.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QVBoxLayout>

#include "check/check_controls.h"
#include "core/qt_text_qt.h"
#include "ui/subtitle_list_view.h"
#include "workbench/save_dialogs.h"

namespace tessera {
namespace {

// The statistics fields: the counts, then the four extremes, whose rows can be clicked.
constexpr const char16_t* kFieldLabels[kAnalysisFields] = {u"Subtitles:",
                                                           u"Lines:",
                                                           u"Words:",
                                                           u"Characters:",
                                                           u"Too long lines:",
                                                           u"Too short durations:",
                                                           u"Empty subs:",
                                                           u"Longest line:",
                                                           u"Shortest line:",
                                                           u"Longest duration:",
                                                           u"Shortest Duration:",
                                                           u"Too fast:"};
constexpr int kFirstExtreme = 7;

QGroupBox* Group(const char16_t* title) {
  return new QGroupBox(ToQ(title));
}

}  // namespace

PageLayout CAnalizePage::Layout(CAnalizePage* page) {
  PageLayout l;
  l.title = u"Analize";
  l.description = u"Analize the current sub on several possible problems...";
  const auto none = [] { return unsigned(kRefreshNothing); };
  l.buttons = {{
      {"analyze", 0, u"Analyze", {}, [page] { return page->Analyze(); }},
      {"saveSelection", 0, u"Save Sel.", {}, [page] { return page->SaveSelection(); }},
      {"fixSelected", 0, u"Fix selected", [] { return false; }, none},
      {"fixAll", 0, u"Fix all", [] { return false; }, none},
  }};
  l.list = true;
  return l;
}

CAnalizePage::CAnalizePage(PageContext& ctx, QWidget* parent)
    : CSheetPage(ctx, Layout(this), parent), controls_(AnalysisBindings(), this) {
  AddAboveList(BuildOptions());
  AddBelowList(BuildErrors());
  List()->SetFixedColumnMinimums({30, 80, 80, 55});
  // A small window scrolls the options before the list drops below a few rows.
  List()->setMinimumHeight(8 * List()->verticalHeader()->defaultSectionSize());
  List()->Model()->SetRowEmphasis([this](int row) {
    return row >= 0 && row < static_cast<int>(flags_.size()) && flags_[row] != 0;
  });
  connect(List(), &SubtitleListView::CurrentRowChanged, this, &CAnalizePage::ShowMessages);
  // Filling the list clears the marks of the last analysis.
  connect(List()->Model(), &QAbstractItemModel::modelReset, this,
          [this] { flags_.assign(static_cast<size_t>(ctx_.doc.Count()), 0); });
  options_ = LoadAnalysisOptions(ctx.store, ctx.app);
  SetControls();
  ShowResults();
  Apply(kRefreshNothing);
}

QWidget* CAnalizePage::BuildOptions() {
  auto* panel = new FlowPanel;

  QGroupBox* items = Group(u"Check for:");
  auto* grid = new QGridLayout(items);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setVerticalSpacing(1);
  const std::pair<const char*, const char16_t*> boxes[] = {
      {"checkDuration", u"Duration"},           {"checkOverlap", u"Overlapping times"},
      {"checkLength", u"Length of lines"},      {"checkEmpty", u"Empty subs"},
      {"checkNumbers", u"Notation of numbers"}, {"checkSpeed", u"Reading speed"}};
  for (int i = 0; i < 6; ++i) {
    auto* box = new QCheckBox(ToQ(boxes[i].second));
    box->setObjectName(QString::fromLatin1(boxes[i].first));
    grid->addWidget(box, i / 2, i % 2);
  }
  panel->AddItem(items);

  QGroupBox* length = Group(u"Length of subs:");
  auto* column = new QVBoxLayout(length);
  column->setContentsMargins(8, 4, 8, 6);
  column->setSpacing(1);
  auto* dynamic = new QRadioButton(QStringLiteral("dynamic (based on font size and screen width)"));
  dynamic->setObjectName(QStringLiteral("splitMethod0"));
  column->addWidget(dynamic);
  auto* line = new QHBoxLayout;
  auto* fixed = new QRadioButton(QStringLiteral("Fixed number of characters"));
  fixed->setObjectName(QStringLiteral("splitMethod1"));
  line->addWidget(fixed);
  auto* count = new NumberField(NumberField::Kind::kWhole, ctx_.prompter);
  count->setObjectName(QStringLiteral("fixedCount"));
  line->addWidget(count);
  auto* arrows = new SpinArrows(QStringLiteral("fixedCount"));
  connect(arrows, &SpinArrows::Stepped, this, &CAnalizePage::Step);
  line->addWidget(arrows);
  line->addStretch(1);
  column->addLayout(line);
  column->addStretch(1);
  panel->AddItem(length);

  // The counts in two columns, and the extremes, whose rows can be clicked.
  QGroupBox* groups[] = {Group(u"Statistics"), Group(u"Extremes")};
  QGridLayout* grids[2];
  for (int g = 0; g < 2; ++g) {
    grids[g] = new QGridLayout(groups[g]);
    grids[g]->setContentsMargins(8, 4, 8, 6);
    grids[g]->setVerticalSpacing(1);
    grids[g]->setHorizontalSpacing(8);
  }
  for (int i = 0; i < kAnalysisFields; ++i) {
    const bool extreme = i >= kFirstExtreme && i != kTooFastField;
    QLabel* label =
        extreme ? new ClickLabel(ToQ(kFieldLabels[i])) : new QLabel(ToQ(kFieldLabels[i]));
    QLabel* value = extreme ? new ClickLabel : new QLabel;
    value->setObjectName(QStringLiteral("field%1").arg(i));
    values_[i] = value;
    if (extreme) {
      label->setObjectName(QStringLiteral("label%1").arg(i));
      for (QLabel* l : {label, value}) {
        l->setCursor(Qt::PointingHandCursor);
        connect(static_cast<ClickLabel*>(l), &ClickLabel::Clicked, this,
                [this, i] { ShowExtreme(i); });
      }
      grids[1]->addWidget(label, i - kFirstExtreme, 0);
      grids[1]->addWidget(value, i - kFirstExtreme, 1);
    } else {
      // "Too fast:" closes the second column of counts.
      const int count = i == kTooFastField ? 7 : i;
      const int row = count < 4 ? count : count - 4, col = count < 4 ? 0 : 2;
      grids[0]->addWidget(label, row, col);
      grids[0]->addWidget(value, row, col + 1);
    }
  }
  for (int g = 0; g < 2; ++g) {
    grids[g]->setColumnStretch(g == 0 ? 3 : 1, 1);
    panel->AddItem(groups[g]);
  }
  return panel;
}

QWidget* CAnalizePage::BuildErrors() {
  auto* box = Group(u"Errors selected sub:");
  auto* layout = new QHBoxLayout(box);
  layout->setContentsMargins(8, 2, 8, 4);
  auto* lines = new QVBoxLayout;
  lines->setSpacing(1);
  for (int i = 0; i < 2; ++i) {
    messages_[i] = new QLabel;
    messages_[i]->setObjectName(QStringLiteral("message%1").arg(i));
    messages_[i]->setTextFormat(Qt::PlainText);
    // Keeps its height while empty.
    messages_[i]->setMinimumHeight(messages_[i]->fontMetrics().height());
    lines->addWidget(messages_[i]);
  }
  layout->addLayout(lines, 1);
  const struct {
    const char* name;
    const char16_t* caption;
    int (*move)(const std::vector<int>&, int);
  } moves[] = {{"first", u"First", &FirstFlagged},
               {"previous", u"Previous", &PreviousFlagged},
               {"next", u"Next", &NextFlagged},
               {"last", u"Last", &LastFlagged}};
  for (const auto& m : moves) {
    auto* b = new QPushButton(ToQ(m.caption));
    b->setObjectName(QString::fromLatin1(m.name));
    const auto move = m.move;
    connect(b, &QPushButton::clicked, this,
            [this, move] { Run([this, move] { return Navigate(move); }); });
    layout->addWidget(b);
  }
  return box;
}

void CAnalizePage::ShowResults() {
  const auto texts = AnalysisFieldTexts(result_);
  for (int i = 0; i < kAnalysisFields; ++i) values_[i]->setText(ToQ(texts[i]));
}

void CAnalizePage::ShowMessages(int row) {
  std::vector<std::u16string> m;
  if (row >= 0) {
    // The too-long message measures with the method the controls show now.
    ReadControls();
    m = RowMessages(ctx_.doc, flags_, row, options_, ctx_.app, &ctx_.measurer);
  }
  for (int i = 0; i < 2; ++i)
    messages_[i]->setText(i < static_cast<int>(m.size()) ? ToQ(m[i]) : QString());
}

void CAnalizePage::SelectAlone(int row) {
  SubtitleListView* list = List();
  if (row < 0 || row >= ctx_.doc.Count()) return;
  const QModelIndex index = list->Model()->index(row, 0);
  list->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list->scrollTo(index);
}

unsigned CAnalizePage::Analyze() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ReadControls();
  result_ = RunAnalysis(ctx_.doc, options_, ctx_.app, &ctx_.measurer);
  flags_ = result_.flags;
  current_ = result_.current_row;
  List()->Model()->EmphasisChanged();
  ShowResults();
  SelectAlone(current_);
  // The lines follow the selected row, also when the analysis kept the selection.
  ShowMessages(List()->FirstSelectedRow());
  QApplication::restoreOverrideCursor();
  return kRefreshNothing;
}

unsigned CAnalizePage::Navigate(int (*move)(const std::vector<int>& flags, int c)) {
  current_ = move(flags_, current_);
  SelectAlone(current_);
  return kRefreshNothing;
}

void CAnalizePage::ShowExtreme(int field) {
  const int rows[] = {result_.longest_line_row, result_.shortest_line_row,
                      result_.longest_duration_row, result_.shortest_duration_row};
  const int row = rows[field - kFirstExtreme];
  if (row < 0 || row >= ctx_.doc.Count()) return;
  current_ = row;
  SelectAlone(row);
}

unsigned CAnalizePage::SaveSelection() {
  ctx_.doc.ResetSelection();
  for (const QModelIndex& i : List()->selectionModel()->selectedRows())
    if (ctx_.doc.IsRow(i.row())) ctx_.doc.SetSelected(i.row(), true);
  SaveSelectionDialog(ctx_.doc, ctx_.store, ctx_.app, ctx_.dialogs);
  return kRefreshNothing;
}

void CAnalizePage::Step(bool up) {
  ReadControls();
  bool beep = false;
  options_.fixed_count = ArrowStep(options_.fixed_count, up, beep);
  if (beep) ctx_.prompter.Beep();
  SetControls();
}

void CAnalizePage::OnActivate() {
  CSheetPage::OnActivate();
  // The marks these lines told of are gone with the refilled list.
  ShowMessages(-1);
}

void CAnalizePage::OnDeactivate() {
  ReadControls();
  SaveAnalysisOptions(ctx_.store, ctx_.app, options_);
  CSheetPage::OnDeactivate();
}

}  // namespace tessera
