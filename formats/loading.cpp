#include "formats/loading.h"

#include <optional>
#include <vector>

#include "core/atomic_write.h"
#include "core/text_file.h"
#include "core/text_scan.h"
#include "core/text_util.h"
#include "formats/format_util.h"
#include "formats/microdvd.h"
#include "formats/save_formats.h"
#include "formats/simple_formats.h"
#include "formats/subrip.h"
#include "formats/substation.h"
#include "formats/webvtt.h"

namespace tessera {
namespace {

// Detection counts only the lines that a CR LF ends. The number line is optional, so either the
// first non-empty line or the one after it is the time line.
bool LooksLikeSubRip(std::u16string_view text) {
  LineWalk lines(EndedLines(text));
  std::u16string_view line;
  bool found = false;
  while (lines.Next(line)) {
    if (!line.empty()) {
      found = true;
      break;
    }
  }
  if (!found) return false;
  if (IsSubRipTimeLine(line)) return true;
  std::u16string_view next;
  if (lines.Next(next)) line = next;
  return IsSubRipTimeLine(line);
}

bool LooksLikeMicroDvd(std::u16string_view text) {
  LineWalk lines(EndedLines(text));
  std::u16string_view line, examined;
  while (lines.Next(line)) {
    examined = line;
    if (!line.empty() && line[0] == u'{') break;
  }
  size_t a = examined.find(u'{');
  return a != std::u16string_view::npos && examined.find(u'{', a + 1) != std::u16string_view::npos;
}

// Scripts are known by the old "!Effect" field or by their sections, whatever the Effect field.
bool LooksLikeSubStation(std::u16string_view text) {
  if (text.find(u"Dialogue:") == std::u16string_view::npos) return false;
  return text.find(u",!Effect,") != std::u16string_view::npos ||
         FindIgnoreCase(text, u"[Script Info]") != std::u16string_view::npos ||
         FindIgnoreCase(text, u"[Events]") != std::u16string_view::npos;
}

bool IsAdvancedScript(std::u16string_view text) {
  return FindIgnoreCase(text, u"[V4+ Styles]") != std::u16string_view::npos ||
         FindIgnoreCase(text, u"ScriptType: v4.00+") != std::u16string_view::npos;
}

}  // namespace

SubtitleFormat DetectSubtitleFormat(std::u16string_view text) {
  if (LooksLikeWebVtt(text)) return SubtitleFormat::WebVtt;
  if (LooksLikeSubRip(text)) return SubtitleFormat::SubRip;
  if (LooksLikeSubStation(text))
    return IsAdvancedScript(text) ? SubtitleFormat::AdvancedSubStationAlpha
                                  : SubtitleFormat::SubStationAlpha;
  if (text.substr(0, 13) == u"[INFORMATION]") return SubtitleFormat::SubViewer;
  if (LooksLikeMicroDvd(text)) return SubtitleFormat::MicroDvd;
  std::u16string_view first;
  if (LineWalk(EndedLines(text)).Next(first) &&
      FindIgnoreCase(first, u"<SAMI") != std::u16string_view::npos)
    return SubtitleFormat::Sami;
  return SubtitleFormat::Unrecognised;
}

const char* SubtitleFormatName(SubtitleFormat format) {
  switch (format) {
    case SubtitleFormat::SubRip:
      return "SubRip";
    case SubtitleFormat::SubStationAlpha:
      return "SubStation Alpha";
    case SubtitleFormat::AdvancedSubStationAlpha:
      return "Advanced SubStation Alpha";
    case SubtitleFormat::MicroDvd:
      return "MicroDVD";
    case SubtitleFormat::SubViewer:
      return "SubViewer";
    case SubtitleFormat::Sami:
      return "SAMI";
    case SubtitleFormat::WebVtt:
      return "WebVTT";
    case SubtitleFormat::Unrecognised:
      break;
  }
  return "unknown";
}

namespace {

// Programs, archives and pictures read as text are full of control characters that no subtitle
// file holds; a few stray ones (a damaged line, a form feed, an end-of-file mark) are let through.
bool LooksBinary(std::u16string_view text) {
  size_t controls = 0;
  // CR LF pairs are no controls here; other line ends, tabs, form feeds and end-of-file marks
  // are not counted either.
  for (size_t i = FindOddControl(text); i != std::u16string_view::npos;
       i = FindOddControl(text, i + 1)) {
    const char16_t c = text[i];
    if (c != u'\t' && c != u'\r' && c != u'\n' && c != u'\f' && c != 0x1A) ++controls;
  }
  return controls >= 4 && controls * 100 > text.size();
}

}  // namespace

namespace {

// The MicroDVD reading rate of a file without its own frame-rate line: the prompter's choice, else
// the assumed 23.976.
double AskedRate(Prompter* prompter) {
  if (prompter) {
    if (auto chosen = prompter->AskLoadFrameRate()) return *chosen;
  }
  return kAssumedFrameRate;
}

std::u16string OwnRateLine(double rate) {
  return Format("Frame rate %s fps taken from the file.", FrameRateText(rate).c_str());
}

}  // namespace

int LoadSubtitleFile(SubtitleDocument& doc, const std::u16string& path, SubtitleFormat& format,
                     const LanguageTable& lang, Prompter* prompter, std::string_view encoding) {
  std::u16string text;
  TextDecoding decoding{std::string(encoding), {}};
  int result = ReadTextFile(ToPath(path), text, &decoding);
  if (result == kReadTooLarge) {
    doc.AppendLog(lang.Lookup(2015));
    return 0;
  }
  if (result == kReadOpenFailed) {
    doc.AppendLog(u"ERROR: File does not excist.");
    return 0;
  }
  if (!decoding.plain && LooksBinary(text)) {
    doc.AppendLog(
        Format("ERROR: '%s' is a binary file, not a subtitle file.", ToUtf8(path).c_str()));
    doc.AppendLog(lang.Lookup(2006));
    doc.AppendLog(lang.Lookup(2011));
    return 0;
  }
  if (result == kReadRepaired) doc.AppendLog(u"WARNING: Fixed some CR/LF issues...");
  SubtitleFormat detected = DetectSubtitleFormat(text);
  if (result == kReadUtf16 || result == kReadUtf8) doc.AppendLog(lang.Lookup(2010));

  // Read aside: only a file that gave subtitles replaces the rows.
  SubtitleDocument loaded;
  int read = 0;
  auto announce = [&](int id) {
    doc.AppendLog(lang.Lookup(id));
    doc.AppendLog(lang.Lookup(2000));
  };
  // Nothing reads the text after the rows are built: the readers of the large files give it back.
  switch (detected) {
    case SubtitleFormat::SubRip:
      announce(2002);
      read = ReadSubRip(loaded, text, 0, true);
      break;
    case SubtitleFormat::SubStationAlpha:
    case SubtitleFormat::AdvancedSubStationAlpha:
      announce(2004);
      read = ReadSubStationAlpha(loaded, text, true);
      break;
    case SubtitleFormat::MicroDvd: {
      std::optional<double> own = MicroDvdHeaderRate(text);
      doc.AppendLog(lang.Lookup(2003));
      doc.AppendLog(own ? OwnRateLine(*own) : u"Assuming 23.976 fps framerate for now.");
      doc.AppendLog(lang.Lookup(2000));
      read = ReadMicroDvd(loaded, text, own ? *own : AskedRate(prompter), 0, true);
      break;
    }
    case SubtitleFormat::SubViewer:
      announce(2001);
      read = ReadSubViewer(loaded, text);
      break;
    case SubtitleFormat::Sami:
      announce(2005);
      read = ReadSami(loaded, text);
      break;
    case SubtitleFormat::WebVtt:
      doc.AppendLog(u"Detected WebVTT format.");
      doc.AppendLog(lang.Lookup(2000));
      read = ReadWebVtt(loaded, text, 0, true);
      break;
    case SubtitleFormat::Unrecognised:
      doc.AppendLog(lang.Lookup(2006));
      break;
  }
  // What the reader said about the file (languages left out, times clamped).
  for (const std::u16string& line : loaded.Log().Lines()) doc.AppendLog(line);
  if (read == 1 && loaded.Count() == 0) {
    doc.AppendLog(
        Format("ERROR: No subtitle could be read from '%s': no part of it is a %s "
               "subtitle.",
               ToUtf8(path).c_str(), SubtitleFormatName(detected)));
    read = 0;
  }
  doc.AppendLog(lang.Lookup(read == 1 ? 2012 : 2011));
  if (read != 1) return 0;

  doc.TakeRows(loaded);
  doc.ClampCurrentRow();
  doc.SetCodePage(decoding.code_page);
  format = detected;
  return 1;
}

int AppendSubtitleFile(SubtitleDocument& doc, const std::u16string& path, double offset,
                       Prompter* prompter, SubtitleFormat* detected, std::string_view encoding) {
  std::u16string text;
  TextDecoding decoding{std::string(encoding), {}};
  int result = ReadTextFile(ToPath(path), text, &decoding);
  if (result == kReadOpenFailed) {
    // Said in the log too: the caller reports the append itself as done.
    doc.AppendLog(u"ERROR: File does not excist.");
    if (detected) *detected = SubtitleFormat::Unrecognised;
    return 0;
  }
  SubtitleFormat format =
      LooksBinary(text) ? SubtitleFormat::Unrecognised : DetectSubtitleFormat(text);
  if (detected) *detected = format;
  std::string name = ToUtf8(path);
  int read = 1;
  switch (format) {
    case SubtitleFormat::Sami:
    case SubtitleFormat::Unrecognised:
      doc.AppendLog(Format("Don't know what to do with '%s'...", name.c_str()));
      break;
    case SubtitleFormat::SubStationAlpha:
    case SubtitleFormat::AdvancedSubStationAlpha:
      doc.AppendLog(Format("Appending SubStation Alpha file '%s'...", name.c_str()));
      read = ReadSubStationAlpha(doc, text);
      break;
    case SubtitleFormat::MicroDvd: {
      doc.AppendLog(Format("Appending microDVD file '%s'...", name.c_str()));
      std::optional<double> own = MicroDvdHeaderRate(text);
      if (own) doc.AppendLog(OwnRateLine(*own));
      read = ReadMicroDvd(doc, text, own ? *own : AskedRate(prompter), offset);
      break;
    }
    case SubtitleFormat::WebVtt:
      doc.AppendLog(Format("Appending WebVTT file '%s'...", name.c_str()));
      read = ReadWebVtt(doc, text, offset);
      break;
    case SubtitleFormat::SubRip:
    case SubtitleFormat::SubViewer:
      doc.AppendLog(Format("Appending SubRip file '%s'...", name.c_str()));
      read = ReadSubRip(doc, text, offset);
      break;
  }
  if (read == 0) doc.AppendLog(u"Error reading file.");
  doc.ResetSelection();
  return 1;
}

std::u16string PathExtension(const std::u16string& path) {
  size_t dot = path.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : path.substr(dot);
}

std::u16string PathFolder(const std::u16string& path) {
  size_t slash = path.rfind(u'/');
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

bool IsWritableExtension(const std::u16string& path) {
  return FindSaveFormat(path) != nullptr;
}

namespace {

// Encodes a writer's blocks and writes them to the file as they come; after a failure the rest
// is dropped.
class FileSink final : public TextSink {
 public:
  FileSink(AtomicFile& file, int encoding, std::string_view code_page)
      : file_(file), encoder_(encoding, code_page) {}

  void Take(std::u16string& out) override {
    if (fits_ && file_.Ok()) {
      bytes_.clear();
      fits_ = encoder_.Add(out, bytes_);
      if (fits_) file_.Write(bytes_);
    }
    out.clear();
  }
  // False when the code page could not hold a character.
  bool Finish() {
    bytes_.clear();
    fits_ = fits_ && encoder_.Finish(bytes_);
    if (fits_) file_.Write(bytes_);
    return fits_;
  }

 private:
  AtomicFile& file_;
  TextEncoder encoder_;
  std::string bytes_;
  bool fits_ = true;
};

void LogWriteError(SubtitleDocument& doc, const std::u16string& path, const std::string& reason) {
  doc.AppendLog(
      Format("ERROR: Could not write the file '%s': %s.", ToUtf8(path).c_str(), reason.c_str()));
}

}  // namespace

int WriteSubtitleFile(SubtitleDocument& doc, const std::u16string& path,
                      const std::function<void(TextSink&)>& put, int encoding) {
  AtomicFile file(ToPath(path));
  if (file.Ok()) {
    FileSink sink(file, encoding, doc.CodePage());
    put(sink);
    if (!sink.Finish() && file.Restart()) {
      FileSink utf8(file, kEncoding8Bit, {});
      put(utf8);
      utf8.Finish();
    }
  }
  if (!file.Commit()) {
    LogWriteError(doc, path, file.Reason());
    return 0;
  }
  return 1;
}

int WriteSubtitleTexts(SubtitleDocument& doc, std::span<const SubtitleText> files, int encoding) {
  std::vector<std::string> bytes(files.size());
  std::vector<FileBytes> writes(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    bytes[i] = EncodeText(files[i].text, encoding, doc.CodePage());
    writes[i] = {ToPath(files[i].path), bytes[i]};
  }
  std::string reason;
  int failed = WriteFilesAtomically(writes, &reason);
  if (failed >= 0) {
    LogWriteError(doc, files[failed].path, reason);
    return 0;
  }
  return 1;
}

int WriteSubtitleText(SubtitleDocument& doc, const std::u16string& path, std::u16string_view text,
                      int encoding) {
  const SubtitleText file{path, text};
  return WriteSubtitleTexts(doc, std::span(&file, 1), encoding);
}

}  // namespace tessera
