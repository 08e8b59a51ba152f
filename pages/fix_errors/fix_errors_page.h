// The Fix Errors page: the repairs to run with their numbers, "Fix Now" over the whole document,
// Select All / Select None, and the log.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "check/option_controls_widget.h"
#include "ui/sheet_page.h"

class QAbstractButton;
class QBoxLayout;
class QHBoxLayout;
class QGroupBox;

namespace tessera {

class CCheckPage : public CSheetPage {
  Q_OBJECT
 public:
  // Reads the options and the credit and OCR lists from `lists_path`.
  CCheckPage(PageContext& ctx, QWidget* parent = nullptr,
             const std::filesystem::path& lists_path = DefaultCheckListsPath());

  void OnActivate() override;
  void OnDeactivate() override;
  void OnWindowClosing() override;

  const FixErrorsOptions& Options() const { return options_; }
  const CheckLists& Lists() const { return lists_; }

 private:
  static PageLayout Layout(CCheckPage* page, PageContext& ctx);
  unsigned FixNow();
  unsigned SelectAll(int on);
  void ReadControls() { controls_.Read(options_); }
  void SetControls() { controls_.Set(options_); }
  void ApplyEnabling();
  void ApplyTexts();
  void Step(int FixErrorsOptions::*field, bool up);

  // Building the option groups.
  QWidget* BuildOptions();
  QGroupBox* Group(const char16_t* title, QBoxLayout* column);
  QHBoxLayout* Line(QGroupBox* group, int indent = 0);
  QCheckBox* Check(QHBoxLayout* line, const char* control, const char16_t* english);
  QRadioButton* Radio(QHBoxLayout* line, const char* control, int index, const char16_t* english);
  NumberField* Field(QHBoxLayout* line, const char* control, NumberField::Kind kind);
  QLabel* Text(QHBoxLayout* line, const char16_t* english, int id = 0);
  SpinArrows* Arrows(QHBoxLayout* line, const char* control, int FixErrorsOptions::*field);
  // `widget` is enabled by the rule of `control`.
  void EnabledBy(const char* control, QWidget* widget) { enabling_.push_back({control, widget}); }

  FixErrorsOptions options_;
  CheckLists lists_;
  FixWorkTable table_;
  OptionControls<FixErrorsOptions> controls_;
  struct Label {
    QWidget* widget;  // a button or a label
    int id;           // language-table id; 0: always the English text
    const char16_t* english;
  };
  std::vector<Label> texts_;
  std::vector<std::pair<const char*, QWidget*>> enabling_;
};

}  // namespace tessera
