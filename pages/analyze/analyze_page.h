// The Analyze page: statistics of the document, the subtitles with problems drawn in red bold,
// stepping through them, the problems of the selected subtitle, and saving the selection.
#pragma once

#include <array>
#include <vector>

#include "check/analysis.h"
#include "check/option_controls_widget.h"
#include "ui/sheet_page.h"

class QGroupBox;

namespace tessera {

class CAnalizePage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CAnalizePage(PageContext& ctx, QWidget* parent = nullptr);

  void OnActivate() override;
  void OnDeactivate() override;

  const AnalysisOptions& Options() const { return options_; }
  const std::vector<int>& Flags() const { return flags_; }
  // The row the navigation starts from; -1 for none.
  int NavigationRow() const { return current_; }
  // The result fields in the order of AnalysisFieldTexts.
  QString FieldText(int i) const { return values_[i]->text(); }
  QString MessageLine(int i) const { return messages_[i]->text(); }

 private:
  static PageLayout Layout(CAnalizePage* page);
  unsigned Analyze();
  unsigned Navigate(int (*move)(const std::vector<int>& flags, int c));
  unsigned SaveSelection();
  void ShowExtreme(int field);
  void SelectAlone(int row);
  void ShowMessages(int row);
  void ShowResults();
  void Step(bool up);
  void ReadControls() { controls_.Read(options_); }
  void SetControls() { controls_.Set(options_); }
  QWidget* BuildOptions();
  QWidget* BuildErrors();

  AnalysisOptions options_;
  AnalysisResult result_;
  std::vector<int> flags_;  // one per list row, all 0 after the list was filled
  int current_ = -1;
  OptionControls<AnalysisOptions> controls_;
  std::array<QLabel*, kAnalysisFields> values_{};
  std::array<QLabel*, 2> messages_{};
};

}  // namespace tessera
