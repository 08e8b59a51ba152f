#include "workbench/file_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/file_filters.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"

namespace tessera {
namespace {

// Only a readable file reaches the loader; the log says what is wrong with any other path.
bool CheckOpenable(SubtitleDocument& doc, const std::u16string& path) {
  std::error_code ec;
  auto status = std::filesystem::status(ToPath(path), ec);
  std::string name = ToUtf8(path);
  if (std::filesystem::is_directory(status)) {
    doc.AppendLog(Format("ERROR: '%s' is a folder, not a subtitle file.", name.c_str()));
    return false;
  }
  if (!std::filesystem::exists(status)) {
    doc.AppendLog(Format("ERROR: The file '%s' does not exist.", name.c_str()));
    return false;
  }
  // A pipe or a device would keep the reading waiting.
  if (!std::filesystem::is_regular_file(status)) {
    doc.AppendLog(Format("ERROR: '%s' is not a regular file.", name.c_str()));
    return false;
  }
  int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    doc.AppendLog(
        Format("ERROR: The file '%s' cannot be read: %s.", name.c_str(), std::strerror(errno)));
    return false;
  }
  ::close(fd);
  return true;
}

// Loads `path` and, only when that worked, makes it the document's file: its path, format and
// folder, and a clear changed flag.
int LoadAsDocument(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                   const LanguageTable& lang, Prompter& prompter) {
  SubtitleFormat format = doc.LoadedFormat();
  if (!LoadSubtitleFile(doc, path, format, lang, &prompter)) return 0;
  doc.SetLoadedFormat(format);
  doc.SetFilePath(path);
  doc.SetChanged(false);
  doc.SetFrameRateConverted(false);
  RememberFolder(store, u"Open", path);
  return 1;
}

}  // namespace

int OpenSubtitleFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                     const LanguageTable& lang, Prompter& prompter) {
  if (!CheckOpenable(doc, path)) return 0;
  doc.AppendLog(WithArgument(lang.Lookup(2014), path));
  return LoadAsDocument(doc, path, store, lang, prompter);
}

int OpenDroppedFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                    const LanguageTable& lang, Prompter& prompter) {
  if (!CheckOpenable(doc, path)) return 0;
  doc.AppendLog(Format("Trying to open dropped file '%s'...", ToUtf8(path).c_str()));
  return LoadAsDocument(doc, path, store, lang, prompter);
}

double AppendOffset(const SubtitleDocument& doc) {
  long long movie_seconds = doc.MovieLength() / 10000000;
  if (movie_seconds != 0) return static_cast<double>(movie_seconds);
  return doc.Count() > 0 ? ParseTimeOffset(doc.End(doc.Count() - 1)) : 0.0;
}

int AppendFile(SubtitleDocument& doc, const std::u16string& path, Prompter& prompter,
               std::optional<double> offset, std::string_view encoding) {
  int before = doc.Count();
  SubtitleFormat detected = SubtitleFormat::Unrecognised;
  if (!AppendSubtitleFile(doc, path, offset ? *offset : AppendOffset(doc), &prompter, &detected,
                          encoding))
    return 0;
  if (detected == SubtitleFormat::Sami || detected == SubtitleFormat::Unrecognised) return 0;
  // A file without entries changes nothing, so it does not mark the document changed.
  if (doc.Count() > before) doc.SetChanged(true);
  doc.AppendLog(u"Done.");
  return 1;
}

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

int SaveSelectedBlock(SubtitleDocument& doc, const std::vector<int>& selected_rows,
                      const std::u16string& path, SettingsStore& store,
                      const AppSettings& settings) {
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
  if (!WriteSubtitleText(doc, path, format->text(doc, first, last, settings), settings.encoding))
    return 0;
  RememberFolder(store, u"Save", path);
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

std::vector<FileFilter> OpenFileFilters(bool with_archives) {
  std::vector<FileFilter> f = {
      {u"All supported files (*.srt;*.ssa;*.ass;*.vtt;*.sub;*.smi;*.txt)",
       u"*.srt;*.sub;*.ssa;*.ass;*.vtt;*.smi;*.txt"},
      {u"MicroDVD files (*.sub)", u"*.sub"},
      {u"SubViewer V2.0 files (*.sub)", u"*.sub"},
      {u"SubRip files (*.srt)", u"*.srt"},
      {u"SubStation Alpha files (*.ssa)", u"*.ssa"},
      {u"SAMI Captioning files (*.smi)", u"*.smi"},
      {u"Advanced SubStation Alpha files (*.ass)", u"*.ass"},
      {u"WebVTT files (*.vtt)", u"*.vtt"},
  };
  if (with_archives) f.push_back({u"Archive files (*.zip;*.rar)", u"*.zip;*.rar"});
  f.push_back({u"All files (*.*)", u"*"});
  return f;
}

std::vector<FileFilter> SelectionSaveFilters() {
  return {FindSaveFormat(u".ssa")->Filter(), FindSaveFormat(u".srt")->Filter()};
}

std::u16string AskSelectionSaveName(DialogService& dialogs, SettingsStore& store,
                                    const std::u16string& title) {
  FileDialogRequest r;
  r.title = title;
  r.default_extension = u"*.srt";
  r.initial_folder = store.GetString(u"Directories", u"Save");
  r.filters = SelectionSaveFilters();
  r.selected_filter = 1;
  r.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = dialogs.SaveFile(r);
  if (!answer || answer->path.empty()) return {};
  return ChosenSavePath(r, *answer);
}

}  // namespace tessera
