// The FrameRate page: the whole document re-timed for another video frame rate, from the
// standard rates, the one-click NTSC/PAL pair or a custom pair of rates.
#pragma once

#include "tools/frame_rate.h"
#include "ui/sheet_page.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tessera {

class CFrameRatePage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CFrameRatePage(PageContext& ctx, QWidget* parent = nullptr);

  void OnActivate() override;
  bool ConvertEnabled() const { return convert_enabled_; }

  // Rows the list shows at least; the ones after the document's are blank.
  static constexpr int kMinimumRows = 16;

 protected:
  void AfterRefresh() override;

 private:
  static PageLayout Layout(CFrameRatePage* page);
  QWidget* MakeGroups();
  FrameRateChoice Choice() const;
  unsigned Convert(const FrameRateChoice& choice);
  unsigned ConvertStandard(int original_index, int new_index);
  void ShowCustom(bool on);
  void PadList();

  QComboBox* original_ = nullptr;
  QComboBox* new_ = nullptr;
  QCheckBox* use_custom_ = nullptr;
  QLineEdit* custom_original_ = nullptr;
  QLineEdit* custom_new_ = nullptr;
  QGroupBox* standard_group_ = nullptr;
  QGroupBox* custom_group_ = nullptr;
  QLabel* labels_[4] = {};  // original and new of the standard group, then of the custom group
  bool convert_enabled_ = true;
};

}  // namespace tessera
