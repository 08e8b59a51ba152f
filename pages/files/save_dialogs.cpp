#include "pages/files/save_dialogs.h"

#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "formats/subrip.h"

namespace tessera {

std::u16string SaveDefaultExtension(SubtitleFormat format) {
  switch (format) {
    case SubtitleFormat::SubRip:
      return u".srt";
    case SubtitleFormat::SubStationAlpha:
      return u"*.ssa";
    case SubtitleFormat::MicroDvd:
    case SubtitleFormat::SubViewer:
      return u"*.sub";
    default:
      return u"<<NOT SUPPORTED>>";
  }
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
  if (!SaveSubtitleAs(doc, answer->path, store, settings)) return 0;
  if (show_path) show_path(answer->path);
  return 1;
}

int SaveSelectionDialog(SubtitleDocument& doc, SettingsStore& store, const AppSettings& settings,
                        DialogService& dialogs) {
  FileDialogRequest request;
  request.title = u"Save Selection";
  request.filters = {FindSaveFormat(u".srt")->Filter()};
  request.initial_name = u"selection.srt";
  request.initial_folder = store.GetString(u"Directories", u"Save");
  request.default_extension = SaveDefaultExtension(doc.LoadedFormat());
  request.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = dialogs.SaveFile(request);
  if (!answer || answer->path.empty()) return 0;
  doc.AppendLog(Format("Saving selection to SubRip file '%s'...", ToUtf8(answer->path).c_str()));
  if (!WriteSubtitleText(doc, answer->path, SubRipSelectionText(doc), settings.encoding)) return 0;
  doc.AppendLog(u"Ok.");
  return 1;
}

}  // namespace tessera
