#include "workbench/file_commands.h"

#include <fcntl.h>
#include <unistd.h>

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
#include "formats/subrip.h"

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

// The "Save" folder and the overwrite question every save dialog shares.
FileDialogRequest SaveRequest(Workbench& wb, const char16_t* title) {
  FileDialogRequest r;
  r.title = title;
  r.initial_folder = wb.store.GetString(u"Directories", u"Save");
  r.overwrite_prompt = true;
  return r;
}

// The name a save dialog answered, with the chosen type's extension when none was typed.
std::u16string AskSaveName(Workbench& wb, const FileDialogRequest& request) {
  std::optional<FileDialogAnswer> answer = wb.dialogs.SaveFile(request);
  if (!answer || answer->path.empty()) return {};
  return ChosenSavePath(request, *answer);
}

}  // namespace

int OpenDocument(Workbench& wb, const std::u16string& path, OpenWay way,
                 std::string_view encoding) {
  SubtitleDocument& doc = wb.doc;
  if (!CheckOpenable(doc, path)) return 0;
  const bool standard_input = way == OpenWay::kStandardInput;
  const std::u16string name = standard_input ? u"-" : path;
  if (way == OpenWay::kChosen || standard_input)
    doc.AppendLog(WithArgument(wb.lang.Lookup(2014), name));
  else if (way == OpenWay::kDropped)
    doc.AppendLog(Format("Trying to open dropped file '%s'...", ToUtf8(path).c_str()));
  SubtitleFormat format = doc.LoadedFormat();
  Prompter* prompter = way == OpenWay::kStartUp ? nullptr : &wb.prompter;
  if (!LoadSubtitleFile(doc, path, format, wb.lang, prompter, encoding)) return 0;
  doc.SetLoadedFormat(format);
  doc.SetFilePath(name);
  doc.SetChanged(false);
  doc.SetFrameRateConverted(false);
  if (!standard_input) RememberFolder(wb.store, u"Open", path);
  return 1;
}

std::u16string AskOpenName(Workbench& wb, const std::u16string& title, bool with_archives) {
  FileDialogRequest r;
  r.title = title;
  r.default_extension = u"*.srt";
  r.initial_folder = wb.store.GetString(u"Directories", u"Open");
  r.filters = OpenFileFilters(with_archives);
  r.overwrite_prompt = false;
  std::optional<FileDialogAnswer> answer = wb.dialogs.OpenFile(r);
  return answer ? answer->path : std::u16string();
}

int AskAndOpenDocument(Workbench& wb) {
  const std::u16string path = AskOpenName(wb, u"Open Subtitle file", true);
  if (path.empty()) return -1;
  return OpenDocument(wb, path, OpenWay::kChosen);
}

double AppendOffset(const SubtitleDocument& doc) {
  long long movie_seconds = doc.MovieLength() / 10000000;
  if (movie_seconds != 0) return static_cast<double>(movie_seconds);
  return doc.Count() > 0 ? ParseTimeOffset(doc.End(doc.Count() - 1)) : 0.0;
}

int AppendFile(Workbench& wb, const std::u16string& path, std::optional<double> offset,
               std::string_view encoding) {
  SubtitleDocument& doc = wb.doc;
  int before = doc.Count();
  SubtitleFormat detected = SubtitleFormat::Unrecognised;
  if (!AppendSubtitleFile(doc, path, offset ? *offset : AppendOffset(doc), &wb.prompter, &detected,
                          encoding))
    return 0;
  if (detected == SubtitleFormat::Sami || detected == SubtitleFormat::Unrecognised) return 0;
  // A file without entries changes nothing, so it does not mark the document changed.
  if (doc.Count() > before) doc.SetChanged(true);
  doc.AppendLog(u"Done.");
  return 1;
}

int SaveDocumentAs(Workbench& wb, const std::u16string& path) {
  SubtitleDocument& doc = wb.doc;
  const SaveFormat* format = FindSaveFormat(path);
  if (!format) {
    // Nothing is written, so the caller must not take the document as saved.
    doc.AppendLog(Format("ERROR: '%s' names no format to save in (%s).", ToUtf8(path).c_str(),
                         SaveExtensionList().c_str()));
    return 0;
  }
  doc.AppendLog(SavingLine(*format, path));
  const auto put = [&](TextSink& sink) { format->put(doc, -1, -1, wb.app, sink); };
  if (!WriteSubtitleFile(doc, path, put, wb.app.encoding)) return 0;
  // Only a written file becomes the document's file and the folder the next save starts in.
  doc.SetFilePath(path);
  RememberFolder(wb.store, u"Save", path);
  doc.SetChanged(false);
  doc.AppendLog(u"Ok.");
  return 1;
}

int AskAndSaveDocument(Workbench& wb) {
  FileDialogRequest request = SaveRequest(wb, u"Save Subtitle file");
  request.filters = SaveFilters();
  const SaveFormat& preselected = DefaultSaveFormat(wb.doc.LoadedFormat());
  request.selected_filter = static_cast<int>(&preselected - SaveFormats().data());
  request.initial_name = wb.doc.FilePath();
  request.default_extension = SaveDefaultExtension(wb.doc.LoadedFormat());
  const std::u16string path = AskSaveName(wb, request);
  return path.empty() ? 0 : SaveDocumentAs(wb, path);
}

int QuickSave(Workbench& wb) {
  if (wb.doc.FilePath().empty() || !SaveDocumentAs(wb, std::u16string(wb.doc.FilePath()))) {
    wb.prompter.ExclamationBeep();
    return 0;
  }
  wb.prompter.Beep();
  return 1;
}

int AskAndSaveSelection(Workbench& wb) {
  FileDialogRequest request = SaveRequest(wb, u"Save Selection");
  request.filters = {FindSaveFormat(u".srt")->Filter()};
  request.initial_name = u"selection.srt";
  // Only SubRip is written, whatever the document was loaded from.
  request.default_extension = SaveDefaultExtension(SubtitleFormat::SubRip);
  const std::u16string path = AskSaveName(wb, request);
  if (path.empty()) return 0;
  wb.doc.AppendLog(Format("Saving selection to SubRip file '%s'...", ToUtf8(path).c_str()));
  const auto put = [&](TextSink& sink) { PutSubRipSelection(wb.doc, sink); };
  if (!WriteSubtitleFile(wb.doc, path, put, wb.app.encoding)) return 0;
  wb.doc.AppendLog(u"Ok.");
  return 1;
}

std::u16string SplitPartName(const std::u16string& chosen, char16_t letter) {
  std::u16string name = chosen;
  size_t dot = name.rfind(u'.');
  name.insert(dot == std::u16string::npos ? name.size() : dot, 1, letter);
  return name;
}

bool CanSplitAt(const SubtitleDocument& doc, int row, std::u16string* why) {
  // Otherwise both parts would hold the whole document, or the second one nothing.
  const char16_t* reason = nullptr;
  if (row <= 0)
    reason = u"ERROR: Nothing to split: no subtitle before the split point.";
  else if (row >= doc.Count())
    reason = u"ERROR: Nothing to split: no subtitle after the split point.";
  if (reason && why) *why = reason;
  return reason == nullptr;
}

int SplitDocument(Workbench& wb, int split_row, const std::u16string& chosen) {
  SubtitleDocument& doc = wb.doc;
  const AppSettings& settings = wb.app;
  int h = split_row < 0 ? 0 : split_row;
  const SaveFormat* format = FindSelectionSaveFormat(chosen);
  int ok = 1;
  if (format && !IsSubRip(*format)) {
    doc.AppendLog(SavingLine(*format, chosen));
    const auto put = [&](TextSink& sink) { format->put(doc, -1, -1, settings, sink); };
    ok = WriteSubtitleFile(doc, chosen, put, settings.encoding);
  } else if (format) {
    std::u16string why;
    if (!CanSplitAt(doc, h, &why)) {
      doc.AppendLog(why);
      return 0;
    }
    std::u16string a = SplitPartName(chosen, u'a');
    std::u16string b = SplitPartName(chosen, u'b');
    doc.AppendLog(
        Format("Splitting to SubRip files '%s' and '%s'...", ToUtf8(a).c_str(), ToUtf8(b).c_str()));
    const std::u16string first = SubRipText(doc, 0, h - 1), second = SubRipText(doc, h, -1);
    // Both or neither: a lone first half would pass for a finished split.
    const SubtitleText parts[] = {{a, first}, {b, second}};
    ok = WriteSubtitleTexts(doc, parts, settings.encoding);
  } else {
    // Said, so that nobody takes the split as written.
    doc.AppendLog(Format("ERROR: '%s' does not end in .srt or .ssa; nothing was written.",
                         ToUtf8(chosen).c_str()));
    return 0;
  }
  if (!ok) return 0;
  RememberFolder(wb.store, u"Save", chosen);
  doc.AppendLog(u"Ok.");
  return 1;
}

void RememberFolder(SettingsStore& store, const char16_t* key, const std::u16string& path) {
  if (path.find(u'/') != std::u16string::npos)
    store.WriteString(u"Directories", key, PathFolder(path));
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

std::u16string SaveDefaultExtension(SubtitleFormat format) {
  const SaveFormat& preselected = DefaultSaveFormat(format);
  // SubRip's value has always been handed over without the "*".
  std::u16string ext(preselected.extension);
  return IsSubRip(preselected) ? ext : u"*" + ext;
}

}  // namespace tessera
