// The view of the shared subtitle list: fixed column widths, full-row selection in the
// "Selection Color", and the current and first visible row kept in the document across pages.
#pragma once

#include <QTableView>
#include <array>

#include "ui/subtitle_list_model.h"

namespace tessera {

class SubtitleListView : public QTableView {
  Q_OBJECT
 public:
  SubtitleListView(SubtitleDocument& doc, const AppSettings& app, const LanguageTable& lang,
                   QWidget* parent = nullptr);

  SubtitleListModel* Model() const { return model_; }

  // Reads the document again and selects its current row.
  void Refill();
  // Page activation: refill, headers from the language table, scroll to the shared first row.
  void Activate();
  // Page deactivation: records the current row and the first visible row in the document.
  void Deactivate();

  // First selected row, or -1.
  int FirstSelectedRow() const;
  bool IsRowSelected(int row) const;
  int TopRow() const;
  // Widths the four fixed columns take at least, when their values need less.
  void SetFixedColumnMinimums(std::array<int, 4> widths);
  void ScrollToTop(int row);
  bool Refreshing() const { return refreshing_; }

 signals:
  // The user changed the selection (not sent while refilling).
  void CurrentRowChanged(int row);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ApplySelectionColour();
  void SizeFixedColumns();
  void SizeLineColumns();
  void OnSelectionChanged();

  SubtitleDocument& doc_;
  const AppSettings& app_;
  SubtitleListModel* model_;
  bool refreshing_ = false;
  int fixed_columns_width_ = 0;
  std::array<int, 4> fixed_minimums_{};
};

}  // namespace tessera
