#include "formats/microdvd.h"

#include <climits>
#include <cmath>

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "core/version.h"
#include "formats/format_util.h"

namespace tessera {
namespace {

constexpr char kRule[] =
    "-----------------------------------------------------------------------------------";

// Seconds to a frame number, truncated toward zero and kept within int.
long long ToFrame(double seconds, double rate) {
  double f = std::trunc(seconds * rate);
  if (!std::isfinite(f)) return f < 0 ? INT_MIN : (f > 0 ? INT_MAX : 0);
  if (f > INT_MAX) return INT_MAX;
  if (f < INT_MIN) return INT_MIN;
  return static_cast<long long>(f);
}

void AppendEncoderHeader(std::u16string& out, const AppSettings& s) {
  out += Format("FrameW=720\r\nFrameH=576\r\nFrameRate=25\r\nDelay=0\r\nFontName=%s\r\n",
                ToUtf8(s.font_name).c_str());
  out += Format("FontCharSet=%d\r\nFontSize=%d\r\nFontStyle=%s\r\nContour=2\r\n", 0, s.font_size,
                s.font_bold != 0 ? "BOLD" : "REGULAR");
  out += u"Palette=3210\r\nAlpha=FFF0\r\nOnTop=0\r\nJustify=C\r\nIndent=40\r\n";
  out += Format("DynamicSize=%d\r\nRightToLeft=0\r\nShowBitmap=0\r\n", 1);
  out += Format(";%s\r\n", kRule);
}

}  // namespace

int ReadMicroDvd(SubtitleDocument& doc, std::u16string_view text, double rate, double offset) {
  if (!(rate > 0) || !std::isfinite(rate)) rate = kAssumedFrameRate;
  std::u16string line1, line2, line3;
  for (std::u16string_view line : SplitLines(text)) {
    if (line.empty() || line[0] != u'{') continue;
    line1.clear();
    line2.clear();
    line3.clear();
    size_t p2 = line.find(u'{', 1);
    p2 = p2 == std::u16string_view::npos ? 0 : p2 + 1;
    size_t q = line.find(u'}', p2);
    if (q != std::u16string_view::npos) SplitThree(Sub(line, q + 1), u"|", line1, line2, line3);
    double start = static_cast<double>(ToInteger(line.substr(1))) / rate + offset;
    double end = static_cast<double>(ToInteger(line.substr(p2))) / rate + offset;
    doc.AddRow(FormatTimeText(start), FormatTimeText(end), line1, line2, line3);
  }
  return 1;
}

std::u16string MicroDvdText(const SubtitleDocument& doc, int first, int last, bool encoder,
                            const AppSettings& settings) {
  std::u16string out;
  ResolveRange(doc, first, last);
  if (first <= last) out.reserve(static_cast<size_t>(last - first + 1) * 40 + 1024);
  if (encoder) AppendEncoderHeader(out, settings);
  out += Format(";Created with Tessera %s, the Ultimate Subtitle Tool...\r\n", VersionText());
  out +=
      u";-------------------------------- L O G G I N G ------------------------------------\r\n";
  for (const auto& line : doc.Log().Lines()) {
    out += u"; ";
    out += line;
    out += kCrLf;
  }
  out += Format(";%s\r\n", kRule);
  double rate = settings.sub_framerate;
  for (int i = first; i <= last; ++i) {
    out += Format("{%lld}{%lld}", ToFrame(ParseTimeText(doc.Start(i)), rate),
                  ToFrame(ParseTimeText(doc.End(i)), rate));
    out += doc.Line(i, 0);
    for (int k = 1; k < 3; ++k) {
      if (doc.Line(i, k).empty()) continue;
      out += u'|';
      out += doc.Line(i, k);
    }
    out += kCrLf;
  }
  return out;
}

int WriteMicroDvd(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                  int last, bool encoder, const AppSettings& settings) {
  return WriteTextFile(path, MicroDvdText(doc, first, last, encoder, settings), settings.encoding);
}

}  // namespace tessera
