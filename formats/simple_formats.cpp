#include "formats/simple_formats.h"

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"

namespace tessera {

int ReadSubViewer(SubtitleDocument& doc, std::u16string_view text) {
  std::vector<std::u16string_view> lines = SplitLines(text);
  std::u16string line1, line2, line3;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view line = lines[i];
    if (line.empty() || line[0] == u'[') continue;
    double start = ParseTimeText(line.substr(0, 11));
    double end = ParseTimeText(Sub(line, 12, 11));
    ++i;  // the text line is consumed even when it is empty
    if (i >= lines.size() || lines[i].empty()) continue;
    SplitThree(lines[i], u"[br]", line1, line2, line3);
    doc.AddRow(FormatTimeText(start), FormatTimeText(end), line1, line2, line3);
  }
  return 1;
}

int ReadSami(SubtitleDocument& doc, std::u16string_view text) {
  const auto npos = std::u16string_view::npos;
  std::vector<std::u16string_view> lines = SplitLines(text);
  std::u16string line1, line2, line3;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view line = lines[i];
    if (line.empty() || line.substr(0, 14) == u"<SYNC Start=0>" ||
        line.substr(0, 12) != u"<SYNC Start=")
      continue;
    size_t g = line.find(u'>', 12);
    size_t text_pos = g == npos ? 3 : g + 4;
    long long start_ms = ToInteger(line.substr(12));
    SplitThree(Sub(line, text_pos), u"<br>", line1, line2, line3);
    std::u16string_view end_line = line;
    if (i + 1 < lines.size()) {
      end_line = lines[i + 1];
      std::u16string_view tail = u"<P><br>";
      bool clears = end_line.size() >= tail.size() && end_line.substr(end_line.size() - 7) == tail;
      if (clears) ++i;  // the clearing line is used up
    }
    long long end_ms = ToInteger(Sub(end_line, 12));
    doc.AddRow(FormatTimeText(static_cast<double>(start_ms) / 1000),
               FormatTimeText(static_cast<double>(end_ms) / 1000), line1, line2, line3);
  }
  return 1;
}

std::u16string FlatText(const SubtitleDocument& doc) {
  std::u16string out;
  for (int i = 0; i < doc.Count(); ++i) {
    for (int k = 0; k < 3; ++k) {
      if (doc.Line(i, k).empty()) continue;
      out += doc.Line(i, k);
      out += kCrLf;
    }
    out += kCrLf;
  }
  return out;
}

int WriteFlatText(const SubtitleDocument& doc, const std::filesystem::path& path,
                  const AppSettings& settings) {
  return WriteTextFile(path, FlatText(doc), settings.encoding);
}

}  // namespace tessera
