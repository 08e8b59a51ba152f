#include "workbench/save_dialogs.h"

#include "core/file_filters.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "formats/subrip.h"

namespace tessera {

std::u16string SaveDefaultExtension(SubtitleFormat format) {
  const SaveFormat& preselected = DefaultSaveFormat(format);
  // SubRip's value has always been handed over without the "*".
  std::u16string ext(preselected.extension);
  return IsSubRip(preselected) ? ext : u"*" + ext;
}

int SaveSubtitleDialog(SubtitleDocument& doc, SettingsStore& store, const AppSettings& settings,
                       DialogService& dialogs,
                       const std::function<void(const std::u16string&)>& show_path) {
  FileDialogRequest request;
  request.title = u"Save Subtitle file";
  request.filters = SaveFilters();
  const SaveFormat& preselected = DefaultSaveFormat(doc.LoadedFormat());
  request.selected_filter = static_cast<int>(&preselected - SaveFormats().data());
  request.initial_name = doc.FilePath();
  request.initial_folder = store.GetString(u"Directories", u"Save");
  request.default_extension = SaveDefaultExtension(doc.LoadedFormat());
  request.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = dialogs.SaveFile(request);
  if (!answer || answer->path.empty()) return 0;
  const std::u16string path = ChosenSavePath(request, *answer);
  if (!SaveSubtitleAs(doc, path, store, settings)) return 0;
  if (show_path) show_path(path);
  return 1;
}

int SaveSelectionDialog(SubtitleDocument& doc, SettingsStore& store, const AppSettings& settings,
                        DialogService& dialogs) {
  FileDialogRequest request;
  request.title = u"Save Selection";
  request.filters = {FindSaveFormat(u".srt")->Filter()};
  request.initial_name = u"selection.srt";
  request.initial_folder = store.GetString(u"Directories", u"Save");
  // Only SubRip is written, whatever the document was loaded from.
  request.default_extension = SaveDefaultExtension(SubtitleFormat::SubRip);
  request.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = dialogs.SaveFile(request);
  if (!answer || answer->path.empty()) return 0;
  const std::u16string path = ChosenSavePath(request, *answer);
  doc.AppendLog(Format("Saving selection to SubRip file '%s'...", ToUtf8(path).c_str()));
  if (!WriteSubtitleText(doc, path, SubRipSelectionText(doc), settings.encoding)) return 0;
  doc.AppendLog(u"Ok.");
  return 1;
}

}  // namespace tessera
