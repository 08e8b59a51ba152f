// The Synchronize page: all subtitles or a selected block moved sooner or later, or stretched so
// that a drift growing over the film is corrected. Its list shows and keeps the document's
// selection flags.
#pragma once

#include <array>

#include "tools/sync_fields.h"
#include "ui/sheet_page.h"

class QCheckBox;
class QGroupBox;
class QItemSelection;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace tessera {

class CSyncPage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CSyncPage(PageContext& ctx, QWidget* parent = nullptr);

  void OnActivate() override;

  QLineEdit* Field(SyncField field) const { return fields_[static_cast<int>(field)]; }

 protected:
  void AfterRefresh() override;

 private:
  static PageLayout Layout(CSyncPage* page);
  QGroupBox* MakeMovementGroup();
  QGroupBox* MakeStretchGroup();
  QWidget* MakeNumberField(SyncField field, QWidget* parent);
  SyncFieldTexts Texts() const;
  std::optional<SyncFieldValues> ReadFields();
  void Spin(SyncField field, bool up);
  unsigned Move();
  unsigned Stretch();
  unsigned AutoSync();
  // The movie on the Play Movie page when the user takes it, else a file from the dialog; empty
  // when cancelled.
  std::u16string AutoSyncSource();
  void ShowSelectionFlags();
  void KeepSelectionFlags(const QItemSelection& selected, const QItemSelection& deselected);

  std::array<QLineEdit*, kSyncFieldCount> fields_{};
  QRadioButton* move_all_ = nullptr;
  QRadioButton* move_selection_ = nullptr;
  QRadioButton* sooner_ = nullptr;
  QRadioButton* later_ = nullptr;
  QRadioButton* stretch_all_ = nullptr;
  QRadioButton* stretch_selection_ = nullptr;
  QCheckBox* negative_ = nullptr;
  QPushButton* small_move_ = nullptr;
  QPushButton* small_stretch_ = nullptr;
  QGroupBox* movement_group_ = nullptr;
  QGroupBox* stretch_group_ = nullptr;
  // Captioned controls and their language-table ids, applied on activation.
  std::vector<std::pair<QWidget*, int>> captions_;
  bool list_refilled_ = false;
  bool showing_flags_ = false;
};

}  // namespace tessera
