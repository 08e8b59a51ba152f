#include "formats/substation.h"

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "core/version.h"
#include "formats/format_util.h"

namespace tessera {

int ReadSubStationAlpha(SubtitleDocument& doc, std::u16string_view text) {
  const auto npos = std::u16string_view::npos;
  std::u16string owned;
  std::u16string line1, line2, line3;
  for (std::u16string_view view : SplitLines(text)) {
    if (view.substr(0, 9) != u"Dialogue:") continue;
    owned.assign(view);
    ReplaceAll(owned, u"\\N", u"\\n");
    std::u16string_view line = owned;
    size_t effect = line.find(u"!Effect,");
    size_t t = effect == npos ? 7 : effect + 8;
    // A missing comma counts as position -1, so the field boundary becomes 0.
    auto after_comma = [&](size_t from) -> size_t {
      size_t c = line.find(u',', from);
      return c == npos ? 0 : c + 1;
    };
    size_t c1 = after_comma(0);
    size_t c2 = after_comma(c1);
    size_t c3 = after_comma(c2);
    std::u16string_view start = c2 > 0 ? Between(line, c1, c2 - 1) : std::u16string_view();
    std::u16string_view end = c3 > 0 ? Between(line, c2, c3 - 1) : std::u16string_view();
    SplitThree(Sub(line, t), u"\\n", line1, line2, line3);
    doc.AddRow(FormatTimeText(ParseTimeText(start)), FormatTimeText(ParseTimeText(end)), line1,
               line2, line3);
  }
  return 1;
}

std::u16string SubStationAlphaText(const SubtitleDocument& doc, int first, int last,
                                   const AppSettings& s) {
  static constexpr char kRule[] =
      "!-----------------------------------------------------------------------------------\r\n";
  std::u16string out;
  ResolveRange(doc, first, last);
  if (first <= last) out.reserve(static_cast<size_t>(last - first + 1) * 100 + 2048);
  out += Format("!Created with Tessera %s, the Ultimate Subtitle Tool...\r\n", VersionText());
  out += FromLatin1(kRule);
  for (const auto& line : doc.Log().Lines()) {
    out += u"! ";
    out += line;
    out += kCrLf;
  }
  out += FromLatin1(kRule);
  std::string font = ToUtf8(s.font_name);
  if (s.ssa_version != 0) {
    out +=
        u"\r\n[Script Info]\r\nTitle: <untitled>\r\nOriginal Script: <unknown>\r\n"
        u"ScriptType: v4.00\r\n\r\n[V4 Styles]\r\n"
        u"Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, "
        u"BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, "
        u"MarginV, AlphaLevel, Encoding\r\n";
    out += Format("Style: Default,%s,%d,16777215,0,16777215,0,0,0,1,1,1,2,%d,%d,%d,0,0\r\n",
                  font.c_str(), s.font_size, s.left_margin, s.right_margin, s.bottom_margin);
    out += u"\r\n[Events]\r\n";
  } else {
    out += u"Synch Point: Side 1 0m00s\r\nCollisions: Normal\r\nTimer: 100.0000\r\n";
    out += Format("Style: Default,%s,%d,16777215,0,16777215,0,0,0,1,0,2,%d,%d,%d,0,0\r\n",
                  font.c_str(), s.font_size, s.left_margin, s.right_margin, s.bottom_margin);
  }
  for (int i = first; i <= last; ++i) {
    out += u"Dialogue: Marked=0,";
    out += FormatTimeText(ParseTimeText(doc.Start(i)), kSsaForm);
    out += u',';
    out += FormatTimeText(ParseTimeText(doc.End(i)), kSsaForm);
    out += u",Default,NTP,0000,0000,0000,!Effect,";
    out += doc.Line(i, 0);
    for (int k = 1; k < 3; ++k) {
      if (doc.Line(i, k).empty()) continue;
      out += u"\\n";
      out += doc.Line(i, k);
    }
    out += kCrLf;
  }
  return out;
}

int WriteSubStationAlpha(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                         int last, const AppSettings& settings) {
  return WriteTextFile(path, SubStationAlphaText(doc, first, last, settings), settings.encoding);
}

}  // namespace tessera
