#include "ui/subtitle_list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

namespace tessera {
namespace {
// The widest text each fixed column shows; numbers up to 99,999 fit in full.
constexpr const char* kWidest[] = {"99999", "0:00:00.000", "0:00:00.000", "000.000"};
constexpr const char* kWidestSpeed = "999.9";
constexpr int kCellPadding = 12;
}  // namespace

SubtitleListView::SubtitleListView(SubtitleDocument& doc, const AppSettings& app,
                                   const LanguageTable& lang, QWidget* parent)
    : QTableView(parent),
      doc_(doc),
      app_(app),
      model_(new SubtitleListModel(doc, app, lang, this)) {
  setModel(model_);
  // Tahoma's metric twin is not packaged for Debian; Liberation Sans is close and always there.
  QFont list_font(QStringLiteral("Liberation Sans"), 8);
  list_font.setStyleHint(QFont::SansSerif);
  setFont(list_font);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Rows are chosen whole, so Tab leaves the list for the page's buttons instead of walking cells.
  setTabKeyNavigation(false);
  setShowGrid(false);
  setWordWrap(false);
  setTextElideMode(Qt::ElideRight);
  setCornerButtonEnabled(false);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setStretchLastSection(false);
  SizeFixedColumns();
  // Only whole-row moves matter; the uniform row height keeps 10,000 rows cheap.
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  ApplySelectionColour();
  SizeLineColumns();
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &SubtitleListView::OnSelectionChanged);
  connect(model_, &QAbstractItemModel::modelReset, this, &SubtitleListView::SizeLineColumns);
}

void SubtitleListView::SizeFixedColumns() {
  // Wide enough for the widest value and for the column's title in the current language.
  fixed_columns_width_ = 0;
  for (int c = 0; c < 4; ++c) {
    const QString title = model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    int w = std::max(fontMetrics().horizontalAdvance(QString::fromLatin1(kWidest[c])),
                     horizontalHeader()->fontMetrics().horizontalAdvance(title)) +
            kCellPadding;
    w = std::max(w, fixed_minimums_[c]);
    setColumnWidth(c, w);
    fixed_columns_width_ += w;
  }
  const int speed = SubtitleListModel::kCpsCol;
  const bool shown = app_.show_cps_column != 0;
  setColumnHidden(speed, !shown);
  if (shown) {
    const QString title = model_->headerData(speed, Qt::Horizontal, Qt::DisplayRole).toString();
    const int w = std::max(fontMetrics().horizontalAdvance(QString::fromLatin1(kWidestSpeed)),
                           horizontalHeader()->fontMetrics().horizontalAdvance(title)) +
                  kCellPadding;
    setColumnWidth(speed, w);
    fixed_columns_width_ += w;
  }
}

void SubtitleListView::SetFixedColumnMinimums(std::array<int, 4> widths) {
  fixed_minimums_ = widths;
  SizeFixedColumns();
  SizeLineColumns();
}

void SubtitleListView::ApplySelectionColour() {
  QPalette p = palette();
  const QColor sel = ColorFromSetting(app_.selection_color);
  for (auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::Highlight, sel);
    p.setColor(group, QPalette::HighlightedText, Qt::black);
  }
  setPalette(p);
}

void SubtitleListView::Refill() {
  refreshing_ = true;
  ApplySelectionColour();
  model_->Refill();
  // The Options page may have shown or hidden the speed column.
  if (isColumnHidden(SubtitleListModel::kCpsCol) == (app_.show_cps_column != 0)) SizeFixedColumns();
  const int row = doc_.CurrentRow();
  if (row >= 0 && row < model_->rowCount()) {
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  refreshing_ = false;
  SizeLineColumns();
}

void SubtitleListView::Activate() {
  model_->RefreshHeaders();
  SizeFixedColumns();
  Refill();
  ScrollToTop(doc_.FirstVisibleRow());
}

void SubtitleListView::Deactivate() {
  doc_.SetCurrentRow(FirstSelectedRow());
  doc_.SetFirstVisibleRow(TopRow());
}

int SubtitleListView::FirstSelectedRow() const {
  int first = -1;
  for (const QModelIndex& i : selectionModel()->selectedRows()) {
    if (i.row() < model_->DocumentRows() && (first < 0 || i.row() < first)) first = i.row();
  }
  return first;
}

bool SubtitleListView::IsRowSelected(int row) const {
  return selectionModel()->isRowSelected(row, QModelIndex());
}

int SubtitleListView::TopRow() const {
  const int r = rowAt(0);
  return r < 0 ? 0 : r;
}

void SubtitleListView::ScrollToTop(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  verticalScrollBar()->setValue(row);
}

void SubtitleListView::OnSelectionChanged() {
  if (refreshing_) return;
  const int row = FirstSelectedRow();
  doc_.SetCurrentRow(row);
  emit CurrentRowChanged(row);
}

void SubtitleListView::SizeLineColumns() {
  // The viewport leaves out the frame and, when one is shown, the vertical scroll bar; the line
  // columns share what the fixed columns leave of it.
  const int rest = viewport()->width() - fixed_columns_width_;
  const int each = std::max(40, rest / 2);
  setColumnWidth(SubtitleListModel::kLine1Col, each);
  setColumnWidth(SubtitleListModel::kLine2Col, std::max(40, rest - each));
}

void SubtitleListView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  SizeLineColumns();
}

}  // namespace tessera
