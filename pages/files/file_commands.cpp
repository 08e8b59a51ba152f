#include "pages/files/file_commands.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"

namespace tessera {
namespace {

// A missing path or a folder never reaches the loader, so the document stays as it was.
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
  return true;
}

int Load(SubtitleDocument& doc, const std::u16string& path, const LanguageTable& lang,
         Prompter& prompter) {
  SubtitleFormat format = doc.LoadedFormat();
  int result = LoadSubtitleFile(doc, path, format, lang, &prompter);
  doc.SetLoadedFormat(format);
  return result;
}

}  // namespace

void RememberFolder(SettingsStore& store, const char16_t* key, const std::u16string& path) {
  if (path.find(u'/') != std::u16string::npos)
    store.WriteString(u"Directories", key, PathFolder(path));
}

int OpenSubtitleFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                     const LanguageTable& lang, Prompter& prompter) {
  if (!CheckOpenable(doc, path)) return 0;
  doc.SetChanged(false);
  doc.SetFilePath(path);
  RememberFolder(store, u"Open", path);
  doc.SetFrameRateConverted(false);
  doc.AppendLog(WithArgument(lang.Lookup(2014), path));
  return Load(doc, path, lang, prompter);
}

int OpenDroppedFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                    const LanguageTable& lang, Prompter& prompter) {
  if (!CheckOpenable(doc, path)) return 0;
  doc.SetFilePath(path);
  RememberFolder(store, u"Open", path);
  doc.Empty();
  doc.SetFrameRateConverted(false);
  doc.AppendLog(Format("Trying to open dropped file '%s'...", ToUtf8(path).c_str()));
  int result = Load(doc, path, lang, prompter);
  doc.SetChanged(false);
  return result;
}

double AppendOffset(const SubtitleDocument& doc) {
  long long movie_seconds = doc.MovieLength() / 10000000;
  if (movie_seconds != 0) return static_cast<double>(movie_seconds);
  return doc.Count() > 0 ? ParseTimeOffset(doc.End(doc.Count() - 1)) : 0.0;
}

int AppendFile(SubtitleDocument& doc, const std::u16string& path, Prompter& prompter,
               std::optional<double> offset) {
  int before = doc.Count();
  SubtitleFormat detected = SubtitleFormat::Unrecognised;
  if (!AppendSubtitleFile(doc, path, offset ? *offset : AppendOffset(doc), &prompter, &detected))
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
  RememberFolder(store, u"Save", path);
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
      {u"All supported files (*.srt;*.ssa;*.sub;*.smi;*.txt)", u"*.srt;*.sub;*.ssa;*.smi;*.txt"},
      {u"MicroDVD files (*.sub)", u"*.sub"},
      {u"SubViewer V2.0 files (*.sub)", u"*.sub"},
      {u"SubRip files (*.srt)", u"*.srt"},
      {u"SubStation Alpha files (*.ssa)", u"*.ssa"},
      {u"SAMI Captioning files (*.smi)", u"*.smi"},
  };
  if (with_archives) f.push_back({u"Archive files (*.zip;*.rar)", u"*.zip;*.rar"});
  f.push_back({u"All files (*.*)", u"*"});
  return f;
}

std::vector<FileFilter> SelectionSaveFilters() {
  return {FindSaveFormat(u".ssa")->Filter(), FindSaveFormat(u".srt")->Filter()};
}

}  // namespace tessera
