// Open and save dialogs, the folder browser, the font dialog and the search dialogs shown with
// Qt widgets.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/services.h"

namespace tessera {

class QtDialogService final : public DialogService {
 public:
  explicit QtDialogService(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  std::optional<FileDialogAnswer> OpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> SaveFile(const FileDialogRequest& request) override;
  std::optional<std::u16string> BrowseFolder(const std::u16string& title,
                                             const std::u16string& initial_folder) override;
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override;
  std::optional<SearchDialogFields> FindText(const SearchDialogFields& initial) override;
  std::optional<SearchDialogFields> ReplaceText(const SearchDialogFields& initial,
                                                ReplaceDialogClient& client) override;

  // "SubRip files (*.srt)" with "*.srt;*.ssa" becomes "SubRip files (*.srt) (*.srt *.ssa)"
  // unless the description already lists exactly those patterns.
  static QString NameFilter(const FileFilter& filter);

 private:
  std::optional<FileDialogAnswer> Run(const FileDialogRequest& request, bool save);
  QPointer<QWidget> parent_;
};

}  // namespace tessera
