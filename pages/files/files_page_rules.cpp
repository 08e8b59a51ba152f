#include "pages/files/files_page_rules.h"

#include "core/file_filters.h"
#include "core/text_util.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "workbench/file_commands.h"

namespace tessera {

void FirstSelectedBlock(const SubtitleDocument& doc, const std::vector<int>& selected_rows,
                        int& first, int& last) {
  int count = doc.Count();
  std::vector<char> marked(static_cast<size_t>(count), 0);
  first = -1;
  for (int row : selected_rows) {
    if (row < 0 || row >= count) continue;
    marked[row] = 1;
    if (first < 0 || row < first) first = row;
  }
  if (first < 0) {
    first = 0;
    last = count - 1;
    return;
  }
  last = first;
  while (last + 1 < count && marked[last + 1]) ++last;
}

int SaveSelectedBlock(Workbench& wb, const std::vector<int>& selected_rows,
                      const std::u16string& path) {
  SubtitleDocument& doc = wb.doc;
  const SaveFormat* format = FindSelectionSaveFormat(path);
  std::string name = ToUtf8(path);
  if (!format) {
    doc.AppendLog(
        Format("ERROR: '%s' does not end in .srt or .ssa; nothing was written.", name.c_str()));
    return 0;
  }
  // The script always holds the whole document; SubRip holds the first selected block.
  int first = -1, last = -1;
  if (IsSubRip(*format)) {
    FirstSelectedBlock(doc, selected_rows, first, last);
    doc.AppendLog(Format("Saving selection to SubRip file '%s'...", name.c_str()));
  } else {
    doc.AppendLog(SavingLine(*format, path));
  }
  const auto put = [&](TextSink& sink) { format->put(doc, first, last, wb.app, sink); };
  if (!WriteSubtitleFile(doc, path, put, wb.app.encoding)) return 0;
  RememberFolder(wb.store, u"Save", path);
  doc.AppendLog(u"Ok.");
  return 1;
}

bool HasSubtitles(const SubtitleDocument& doc) {
  return doc.Count() > 0;
}

bool CanExport(const SubtitleDocument& doc, const AppSettings& settings) {
  return HasSubtitles(doc) && !settings.dvd_sup_encode_folder.empty() &&
         !settings.my_subtitle_folder.empty();
}

std::vector<FileFilter> SelectionSaveFilters() {
  return {FindSaveFormat(u".ssa")->Filter(), FindSaveFormat(u".srt")->Filter()};
}

std::u16string AskSelectionSaveName(Workbench& wb, const std::u16string& title) {
  FileDialogRequest r;
  r.title = title;
  r.default_extension = u"*.srt";
  r.initial_folder = wb.store.GetString(u"Directories", u"Save");
  r.filters = SelectionSaveFilters();
  r.selected_filter = 1;
  r.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = wb.dialogs.SaveFile(r);
  if (!answer || answer->path.empty()) return {};
  return ChosenSavePath(r, *answer);
}

}  // namespace tessera
