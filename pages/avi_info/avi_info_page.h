// The AVI Info page: what the movie last opened on the Play Movie page contains, or any other
// AVI file chosen with "Open AVI": file, video stream and audio stream, one read-only box each.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "movie/avi_info.h"
#include "ui/sheet_page.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace tessera {

class CAviInfoPage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CAviInfoPage(PageContext& ctx, QWidget* parent = nullptr);

  // Describes "Last AVI" when it differs from the path last described.
  void OnActivate() override;
  // Shows what `path` holds; a file that cannot be read as AVI changes nothing.
  void Describe(const std::u16string& path);
  // The text of the box with this object name ("filename", "fourcc", "audioCodec", ...).
  QString BoxText(const char* name) const;

 private:
  static PageLayout Layout(CAviInfoPage* page);
  unsigned OpenAvi();
  void ApplyBoxCaptions();

  std::u16string last_described_;
  struct Box {
    QLabel* label;
    QLineEdit* edit;
  };
  std::vector<Box> boxes_;
  std::vector<std::pair<QGroupBox*, int>> groups_;
};

}  // namespace tessera
