#include "core/dialogs_qt.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QStringList>

#include <functional>

#include "core/file_filters.h"
#include "core/qt_text_qt.h"
#include "core/search_dialogs_qt.h"

namespace tessera {
namespace {

class FileDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  std::function<void()> before_accept;

 protected:
  void accept() override {
    if (before_accept) before_accept();
    QFileDialog::accept();
  }
};

}  // namespace

QString QtDialogService::NameFilter(const FileFilter& filter) {
  QString patterns = ToQ(filter.patterns);
  patterns.replace(QChar(';'), QChar(' '));
  QString description = ToQ(filter.description);
  // Qt reads the patterns from the last parentheses of the entry.
  if (description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
    return description;
  return description + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

std::optional<FileDialogAnswer> QtDialogService::Run(const FileDialogRequest& request, bool save) {
  FileDialog dialog(parent_.data(), ToQ(request.title), ToQ(request.initial_folder));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwrite_prompt);
  dialog.setOption(QFileDialog::ReadOnly, false);
  QStringList filters;
  for (const FileFilter& f : request.filters) filters << NameFilter(f);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.selected_filter >= 0 && request.selected_filter < filters.size())
      dialog.selectNameFilter(filters[request.selected_filter]);
  }
  // The file type selected when the user accepts decides the extension of a name typed without
  // one, before the dialog asks about overwriting.
  auto selected = [&] { return std::max<int>(0, filters.indexOf(dialog.selectedNameFilter())); };
  dialog.before_accept = [&] {
    dialog.setDefaultSuffix(ToQ(TypedNameExtension(request, selected())).mid(1));
  };
  dialog.before_accept();
  if (!request.initial_name.empty()) dialog.selectFile(ToQ(request.initial_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogAnswer answer;
  answer.path = FromQ(dialog.selectedFiles().first());
  answer.filter_index = selected();
  // A platform dialog may not add the suffix itself.
  if (save) answer.path = ChosenSavePath(request, answer);
  return answer;
}

std::optional<FileDialogAnswer> QtDialogService::OpenFile(const FileDialogRequest& request) {
  return Run(request, false);
}

std::optional<FileDialogAnswer> QtDialogService::SaveFile(const FileDialogRequest& request) {
  return Run(request, true);
}

std::optional<std::u16string> QtDialogService::BrowseFolder(const std::u16string& title,
                                                            const std::u16string& initial) {
  QString dir = QFileDialog::getExistingDirectory(parent_.data(), ToQ(title), ToQ(initial));
  if (dir.isEmpty()) return std::nullopt;
  return FromQ(dir);
}

std::optional<FontSpec> QtDialogService::ChooseFont(const FontSpec& initial) {
  QFont font(ToQ(initial.face), initial.point_size, initial.bold ? QFont::Bold : QFont::Normal);
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, font, parent_.data());
  if (!ok) return std::nullopt;
  FontSpec result;
  result.face = FromQ(chosen.family());
  result.point_size = chosen.pointSize() > 0 ? chosen.pointSize() : initial.point_size;
  result.bold = chosen.weight() >= QFont::Bold;
  return result;
}

std::optional<SearchDialogFields> QtDialogService::FindText(const SearchDialogFields& initial) {
  CSearchDialog dialog(initial, parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Fields();
}

std::optional<SearchDialogFields> QtDialogService::ReplaceText(const SearchDialogFields& initial,
                                                               ReplaceDialogClient& client) {
  CReplaceDialog dialog(initial, client, parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Fields();
}

}  // namespace tessera
