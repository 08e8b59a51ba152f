#include "formats/substation.h"

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "core/version.h"
#include "formats/format_util.h"
#include "formats/markup.h"

namespace tessera {

using namespace std::string_view_literals;  // the marks of every entry, with no length to count
namespace {

constexpr auto npos = std::u16string_view::npos;

// Where the fields of a Dialogue line are, from the Format line of [Events].
struct EventFields {
  int count = 0;
  int start = -1, end = -1, text = -1;
  bool Known() const { return start >= 0 && end >= 0 && text == count - 1; }
};

EventFields ParseEventFormat(std::u16string_view names) {
  EventFields f;
  size_t pos = 0;
  while (true) {
    size_t comma = names.find(u',', pos);
    std::u16string_view name = TrimView(names.substr(pos, comma == npos ? npos : comma - pos));
    if (EqualsIgnoreAsciiCase(name, u"Start")) f.start = f.count;
    if (EqualsIgnoreAsciiCase(name, u"End")) f.end = f.count;
    if (EqualsIgnoreAsciiCase(name, u"Text")) f.text = f.count;
    ++f.count;
    if (comma == npos) break;
    pos = comma + 1;
  }
  return f;
}

// Splits the fields after "Dialogue:"; the last field (the text) keeps its commas.
bool SplitFields(std::u16string_view body, int count, std::vector<std::u16string_view>& fields) {
  fields.clear();
  size_t pos = 0;
  for (int k = 0; k + 1 < count; ++k) {
    size_t comma = body.find(u',', pos);
    if (comma == npos) return false;
    fields.push_back(body.substr(pos, comma - pos));
    pos = comma + 1;
  }
  fields.push_back(body.substr(pos));
  return true;
}

// The older fixed reading: the text after "!Effect," (else from position 7), the times in the
// second and third fields.
void ReadFixedFields(std::u16string_view line, std::u16string_view& start, std::u16string_view& end,
                     std::u16string_view& text) {
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
  start = c2 > 0 ? Between(line, c1, c2 - 1) : std::u16string_view();
  end = c3 > 0 ? Between(line, c2, c3 - 1) : std::u16string_view();
  if (effect == npos) {
    // A script without "!Effect" still has ten fields: the text follows the ninth comma.
    size_t c = 0;
    int commas = 0;
    while (commas < 9 && (c = line.find(u',', c)) != npos) ++c, ++commas;
    if (commas == 9) t = c;
  }
  text = Sub(line, t);
}

void AppendComment(std::u16string& out, const SubtitleDocument& doc) {
  static constexpr char16_t kRule[] =
      u"!-----------------------------------------------------------------------------------\r\n";
  out += Format("!Created with Tessera %s, the Ultimate Subtitle Tool...\r\n", VersionText());
  out += kRule;
  for (const auto& line : doc.Log().Lines()) {
    out += u"! ";
    out += WithoutFolders(line);
    out += kCrLf;
  }
  out += kRule;
}

// The text of a row: its non-empty further lines after `line_break`, SubRip's and WebVTT's tags
// as override blocks.
void AppendText(std::u16string& out, const SubtitleDocument& doc, int row,
                std::u16string_view line_break) {
  AppendSubStationLine(out, doc.Line(row, 0));
  for (int k = 1; k < 3; ++k) {
    if (doc.Line(row, k).empty()) continue;
    out += line_break;
    AppendSubStationLine(out, doc.Line(row, k));
  }
}

void AppendTimes(std::u16string& out, const SubtitleDocument& doc, int row) {
  TimeBuffer buf;
  out += doc.TimeViewAs(row, kStart, kSsaForm, buf);
  out += u',';
  out += doc.TimeViewAs(row, kEnd, kSsaForm, buf);
}

}  // namespace

int ReadSubStationAlpha(SubtitleDocument& doc, std::u16string_view text, bool give_back) {
  std::u16string owned;
  std::u16string line1, line2, line3;
  std::vector<std::u16string_view> fields;
  EventFields format;
  bool in_events = false;
  int clamped = 0;
  doc.Reserve(doc.Count() + static_cast<int>(CountLines(text)));
  LineWalk walk(text);
  TextGiveBack given(text, give_back);
  std::u16string_view view;
  while (walk.Next(view)) {
    given.ReadUpTo(static_cast<size_t>(view.data() - text.data()));
    if (!view.empty() && view[0] == u'[') {
      in_events = EqualsIgnoreAsciiCase(TrimView(view), u"[Events]");
      continue;
    }
    if (in_events && view.substr(0, 7) == u"Format:") {
      format = ParseEventFormat(view.substr(7));
      continue;
    }
    if (view.substr(0, 9) != u"Dialogue:") continue;
    owned.assign(view);
    ReplaceAll(owned, u"\\N", u"\\n");
    std::u16string_view line = owned;
    std::u16string_view start, end, body;
    if (format.Known() && SplitFields(line.substr(9), format.count, fields)) {
      start = TrimView(fields[format.start]);
      end = TrimView(fields[format.end]);
      body = fields[format.text];
    } else {
      ReadFixedFields(line, start, end, body);
    }
    SplitThree(body, u"\\n", line1, line2, line3);
    const bool negative_start = IsNegativeTime(start), negative_end = IsNegativeTime(end);
    clamped += negative_start + negative_end;
    std::u16string start_time = negative_start ? FormatTimeText(0) : TimeTextAs(start);
    std::u16string end_time = negative_end ? start_time : TimeTextAs(end);
    doc.AddRow(std::move(start_time), std::move(end_time), line1, line2, line3);
  }
  LogClampedTimes(doc, clamped);
  return 1;
}

void PutSubStationAlpha(const SubtitleDocument& doc, int first, int last, const AppSettings& s,
                        TextSink& sink) {
  std::u16string out;
  ResolveRange(doc, first, last);
  std::string font = ToUtf8(s.font_name);
  if (s.ssa_version != 0) {
    // Players and editors know a script by its first line.
    out += u"[Script Info]\r\n";
    AppendComment(out, doc);
    out +=
        u"Title: <untitled>\r\nOriginal Script: <unknown>\r\n"
        u"ScriptType: v4.00\r\n\r\n[V4 Styles]\r\n"
        u"Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, "
        u"BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, "
        u"MarginV, AlphaLevel, Encoding\r\n";
    out += Format("Style: Default,%s,%d,16777215,0,16777215,0,0,0,1,1,1,2,%d,%d,%d,0,0\r\n",
                  font.c_str(), s.font_size, s.left_margin, s.right_margin, s.bottom_margin);
    out +=
        u"\r\n[Events]\r\n"
        u"Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
  } else {
    AppendComment(out, doc);
    out += u"Synch Point: Side 1 0m00s\r\nCollisions: Normal\r\nTimer: 100.0000\r\n";
    out += Format("Style: Default,%s,%d,16777215,0,16777215,0,0,0,1,0,2,%d,%d,%d,0,0\r\n",
                  font.c_str(), s.font_size, s.left_margin, s.right_margin, s.bottom_margin);
  }
  for (int i = first; i <= last; ++i) {
    out += u"Dialogue: Marked=0,"sv;
    AppendTimes(out, doc, i);
    out += u",Default,NTP,0000,0000,0000,!Effect,"sv;
    AppendText(out, doc, i, u"\\n");
    out += kCrLf;
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

std::u16string SubStationAlphaText(const SubtitleDocument& doc, int first, int last,
                                   const AppSettings& settings) {
  return WholeTextOf([&](TextSink& sink) { PutSubStationAlpha(doc, first, last, settings, sink); });
}

void PutAdvancedSubStationAlpha(const SubtitleDocument& doc, int first, int last,
                                const AppSettings& s, TextSink& sink) {
  std::u16string out;
  ResolveRange(doc, first, last);
  out += u"[Script Info]\r\n";
  AppendComment(out, doc);
  // The picture the style's sizes refer to: the DVD frame of the screen width.
  const int width = s.screen_width > 0 ? s.screen_width : 720;
  out += Format(
      "Title: <untitled>\r\nScriptType: v4.00+\r\nWrapStyle: 0\r\nPlayResX: %d\r\n"
      "PlayResY: %d\r\nScaledBorderAndShadow: yes\r\n\r\n",
      width, width * 576 / 720);
  out +=
      u"[V4+ Styles]\r\n"
      u"Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
      u"BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
      u"BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n";
  out += Format(
      "Style: Default,%s,%d,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,1,"
      "1,2,%d,%d,%d,1\r\n\r\n",
      ToUtf8(s.font_name).c_str(), s.font_size, s.left_margin, s.right_margin, s.bottom_margin);
  out +=
      u"[Events]\r\n"
      u"Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
  for (int i = first; i <= last; ++i) {
    out += u"Dialogue: 0,"sv;
    AppendTimes(out, doc, i);
    out += u",Default,,0,0,0,,"sv;
    AppendText(out, doc, i, u"\\N");
    out += kCrLf;
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

int WriteSubStationAlpha(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                         int last, const AppSettings& settings) {
  return WriteTextFile(path, SubStationAlphaText(doc, first, last, settings), settings.encoding,
                       doc.CodePage());
}

}  // namespace tessera
