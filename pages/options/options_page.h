// The Options page: the subtitle font with its preview, the language, the file format options,
// margins and screen width, the encoder folders, start-up, the resize mode and the list colours.
// Font, colours, screen width, start tab and language take effect at once; the other fields when
// the page is left or before Exit.
#pragma once

#include <QString>
#include <vector>

#include "tools/settings_options.h"
#include "ui/option_controls_widget.h"
#include "ui/sheet_page.h"

class QBoxLayout;
class QComboBox;
class QLabel;
class QLineEdit;
class QScrollArea;

namespace tessera {

class CSubtitle;

class CSettingsPage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CSettingsPage(PageContext& ctx, QWidget* parent = nullptr);

  void OnActivate() override;
  void OnDeactivate() override;
  bool MayLeave() override;

  // The page's values as last stored or chosen.
  const SettingsOptions& Values() const { return options_; }
  CSubtitle* Preview(int line) const { return previews_[line]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  static PageLayout Layout();
  QWidget* BuildFontRows();
  QWidget* BuildLeftColumn();
  QWidget* BuildRightColumn();
  // A label, button or group whose caption comes from the language table.
  template <typename W>
  W* Captioned(W* widget, int id);
  void ApplyPageCaptions();
  void FillLanguages();
  void FillSpellingLanguages();
  void ShowFields();
  void ShowFont();
  void ShowColors();
  // Reads every control into the page's values and the settings. With `report`, a refused
  // number is shown, its box gets the focus and nothing is stored; without, it is skipped.
  bool StoreFields(bool report);
  void ChooseFont();
  void BrowseFolder(QLineEdit* edit, std::u16string SettingsOptions::*field);
  void ChooseLanguage(int index);
  void TakeColors();
  void RestoreDefaultColors();
  // Two columns when the page is wide enough for them, else one below the other.
  void ArrangeColumns(int page_width);

  SettingsOptions options_;
  OptionControls<SettingsOptions> controls_;
  int preview_color_ = 0xFFFFFF;  // the sample lines' text colour; not a setting
  struct CaptionedWidget {
    QWidget* widget;
    int id;
    QString english;
  };
  std::vector<CaptionedWidget> captioned_;
  QScrollArea* scroll_ = nullptr;
  QBoxLayout* columns_ = nullptr;
  QWidget* left_ = nullptr;
  QWidget* right_ = nullptr;
  QLabel* font_label_ = nullptr;
  CSubtitle* previews_[2] = {};
  QComboBox* language_ = nullptr;
  QComboBox* spelling_language_ = nullptr;
  QComboBox* screen_width_ = nullptr;
  QComboBox* start_tab_ = nullptr;
  QComboBox* colors_[3] = {};
  QLineEdit* dvd_folder_ = nullptr;
  QLineEdit* my_folder_ = nullptr;
};

}  // namespace tessera
