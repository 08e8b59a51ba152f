#include "formats/microdvd.h"

#include <climits>
#include <cmath>

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "core/version.h"
#include "formats/format_util.h"
#include "formats/markup.h"

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

// The first line that starts with "{", and whether it is a frame-rate line (setting `rate`).
bool IsRateLine(std::u16string_view line, double& rate) {
  if (line.size() < 7 || line[0] != u'{') return false;
  size_t close1 = line.find(u'}');
  if (close1 == std::u16string_view::npos || close1 + 1 >= line.size() || line[close1 + 1] != u'{')
    return false;
  size_t close2 = line.find(u'}', close1 + 2);
  if (close2 == std::u16string_view::npos) return false;
  std::u16string_view a = line.substr(1, close1 - 1), b = Between(line, close1 + 2, close2);
  if ((a != u"0" && a != u"1") || b != a) return false;
  std::u16string_view value = TrimView(line.substr(close2 + 1));
  if (value.empty() || value.find_first_not_of(u"0123456789.") != std::u16string_view::npos)
    return false;
  rate = ToReal(value);
  return rate >= 5 && rate <= 200;
}

void AppendCommentBlock(std::u16string& out, const SubtitleDocument& doc) {
  out += Format(";Created with Tessera %s, the Ultimate Subtitle Tool...\r\n", VersionText());
  out +=
      u";-------------------------------- L O G G I N G ------------------------------------\r\n";
  for (const auto& line : doc.Log().Lines()) {
    out += u"; ";
    out += WithoutFolders(line);
    out += kCrLf;
  }
  out += Format(";%s\r\n", kRule);
}

}  // namespace

std::optional<double> MicroDvdHeaderRate(std::u16string_view text) {
  LineWalk walk(text);
  std::u16string_view line;
  while (walk.Next(line)) {
    if (line.empty() || line[0] != u'{') continue;
    double rate = 0;
    if (IsRateLine(line, rate)) return rate;
    return std::nullopt;
  }
  return std::nullopt;
}

std::string FrameRateText(double rate) {
  std::string s = ToUtf8(Format("%.3f", rate));
  while (s.find('.') != std::string::npos && (s.back() == '0' || s.back() == '.')) {
    bool dot = s.back() == '.';
    s.pop_back();
    if (dot) break;
  }
  return s;
}

int ReadMicroDvd(SubtitleDocument& doc, std::u16string_view text, double rate, double offset,
                 bool give_back) {
  if (!(rate > 0) || !std::isfinite(rate)) rate = kAssumedFrameRate;
  std::u16string line1, line2, line3;
  bool first = true;
  doc.Reserve(doc.Count() + static_cast<int>(CountLines(text)));
  LineWalk walk(text);
  TextGiveBack given(text, give_back);
  std::u16string_view line;
  while (walk.Next(line)) {
    given.ReadUpTo(static_cast<size_t>(line.data() - text.data()));
    if (line.empty() || line[0] != u'{') continue;
    double own_rate = 0;
    if (first && IsRateLine(line, own_rate)) {
      first = false;
      continue;
    }
    first = false;
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

void PutMicroDvd(const SubtitleDocument& doc, int first, int last, bool encoder,
                 const AppSettings& settings, TextSink& sink) {
  std::u16string out;
  ResolveRange(doc, first, last);
  double rate = settings.sub_framerate;
  if (encoder) {
    // The external encoder reads its input file as it always has.
    AppendEncoderHeader(out, settings);
    AppendCommentBlock(out, doc);
  } else {
    out += Format("{1}{1}%s\r\n", FrameRateText(rate).c_str());
  }
  for (int i = first; i <= last; ++i) {
    out += Format("{%lld}{%lld}", ToFrame(doc.Time(i, kStart), rate),
                  ToFrame(doc.Time(i, kEnd), rate));
    unsigned open = 0;  // the styles a line leaves open
    for (int k = 0; k < 3; ++k) {
      if (k > 0 && doc.Line(i, k).empty()) continue;
      if (k > 0) out += u'|';
      if (encoder)
        out += doc.Line(i, k);
      else
        AppendMicroDvdLine(out, doc.Line(i, k), open);
    }
    out += kCrLf;
    TakeBlock(out, sink);
  }
  if (!encoder) AppendCommentBlock(out, doc);
  sink.Take(out);
}

std::u16string MicroDvdText(const SubtitleDocument& doc, int first, int last, bool encoder,
                            const AppSettings& settings) {
  return WholeTextOf(
      [&](TextSink& sink) { PutMicroDvd(doc, first, last, encoder, settings, sink); });
}

int WriteMicroDvd(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                  int last, bool encoder, const AppSettings& settings) {
  return WriteTextFile(path, MicroDvdText(doc, first, last, encoder, settings), settings.encoding,
                       doc.CodePage());
}

}  // namespace tessera
