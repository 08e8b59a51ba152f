#include "formats/subrip.h"

#include "core/text_file.h"
#include "core/text_scan.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"

namespace tessera {

using namespace std::string_view_literals;  // the marks of every entry, with no length to count
namespace {

constexpr std::u16string_view kArrow = u"-->";

// The time line of the usual form: "-->" at positions 13-15.
bool IsStrictTimeLine(std::u16string_view line) {
  return line.size() >= 16 && line.substr(13, 3) == kArrow;
}

// The 12 characters from the first digit at or after `from`, with the minus sign before it.
std::u16string_view TimeAt(std::u16string_view line, size_t from) {
  size_t d = from;
  while (d < line.size() && (line[d] < u'0' || line[d] > u'9')) ++d;  // mostly none or a space
  if (d >= line.size()) return {};
  if (d > from && line[d - 1] == u'-') return line.substr(d - 1, 13);
  return line.substr(d, 12);
}

// An entry number: a leading integer that is not 0, or a 0 standing alone (some programs count
// from 0).
bool IsNumberLine(std::u16string_view line) {
  // A unit above '9' is no blank, sign or digit: most text lines are told at their first unit.
  if (line.empty() || line[0] > u'9') return false;
  return ToInteger(line) != 0 || TrimView(line) == u"0";
}

// The lines of `text` as if every "\r\n\r\n" had been replaced by "\r\n" from left to right,
// which halves each run of empty lines, without copying the text: j empty lines after a line
// keep j / 2 of them, j at the very start keep (j + 1) / 2. One line ahead can be looked at.
class CollapsedLines {
 public:
  explicit CollapsedLines(std::u16string_view text) : walk_(text) { ahead_ = Fetch(ahead_line_); }

  bool Next(std::u16string_view& line) {
    if (!ahead_) return false;
    line = ahead_line_;
    ahead_ = Fetch(ahead_line_);
    return true;
  }
  // The line Next gives next, or false at the end.
  bool Peek(std::u16string_view& line) const {
    line = ahead_line_;
    return ahead_;
  }

 private:
  bool Fetch(std::u16string_view& line) {
    if (empties_ > 0) {
      --empties_;
      line = {};
      return true;
    }
    if (held_) {
      held_ = false;
      line = held_line_;
      return true;
    }
    const bool at_start = !started_;
    started_ = true;
    if (!walk_.Next(line)) return false;
    if (!line.empty()) return true;
    size_t run = 1;
    while (walk_.Next(held_line_)) {
      if (!held_line_.empty()) {
        held_ = true;
        break;
      }
      ++run;
    }
    empties_ = at_start ? (run + 1) / 2 : run / 2;
    if (empties_ == 0) {
      if (!held_) return false;
      held_ = false;
      line = held_line_;
      return true;
    }
    --empties_;
    line = {};
    return true;
  }

  LineWalk walk_;
  std::u16string_view ahead_line_, held_line_;
  bool ahead_ = false, held_ = false, started_ = false;
  size_t empties_ = 0;
};

// An upper bound of the entries: every time line holds an arrow.
size_t CountArrows(std::u16string_view text) {
  size_t n = 0;
  ForEachUnit(text, u'>',
              [&](size_t i) { n += i >= 2 && text[i - 1] == u'-' && text[i - 2] == u'-'; });
  return n;
}

}  // namespace

bool SplitSubRipTimeLine(std::u16string_view line, std::u16string_view& start,
                         std::u16string_view& end) {
  if (IsStrictTimeLine(line)) {
    start = TimeAt(line, 0);
    end = TimeAt(line, 16);
    return true;
  }
  // Real files bend the form: one-digit hours or seconds, short fractions, extra spaces.
  // The first "-->": every text line is looked at, so its '>' is looked for a block at a time.
  size_t arrow = std::u16string_view::npos;
  for (size_t gt = FindUnit(line, u'>', 2); gt != std::u16string_view::npos;
       gt = FindUnit(line, u'>', gt + 1)) {
    if (line[gt - 1] == u'-' && line[gt - 2] == u'-') {
      arrow = gt - 2;
      break;
    }
  }
  if (arrow == std::u16string_view::npos) return false;
  std::u16string_view left = TrimView(line.substr(0, arrow));
  std::u16string_view right = TrimView(line.substr(arrow + kArrow.size()));
  size_t space = left.find_last_of(u" \t");
  if (space != std::u16string_view::npos) left = left.substr(space + 1);
  right = right.substr(0, right.find_first_of(u" \t"));
  auto unsigned_part = [](std::u16string_view t) { return t.substr(!t.empty() && t[0] == u'-'); };
  if (!IsClockTime(unsigned_part(left), 2) || !IsClockTime(unsigned_part(right), 2)) return false;
  start = left;
  end = right;
  return true;
}

bool IsSubRipTimeLine(std::u16string_view line) {
  std::u16string_view a, b;
  return SplitSubRipTimeLine(line, a, b);
}

namespace {

// The entry of `row`, its times moved `shift` seconds earlier.
void AppendEntry(std::u16string& out, int number, double shift, const SubtitleDocument& doc,
                 int row) {
  AppendInteger(out, number);
  out += kCrLf;
  auto time = [&](int column) {
    TimeBuffer buf;
    if (shift == 0)
      out += doc.TimeViewAs(row, column, kSubRipForm, buf);
    else
      AppendTimeText(out, doc.Time(row, column) - shift, kSubRipForm);
  };
  time(kStart);
  out += u" --> "sv;
  time(kEnd);
  out += kCrLf;
  for (int k = 0; k < 3; ++k) {
    const std::u16string& line = doc.Line(row, k);
    if (line.empty()) continue;
    out += line;
    out += kCrLf;
  }
  out += kCrLf;
}

}  // namespace

int ReadSubRip(SubtitleDocument& doc, std::u16string_view input, double offset, bool give_back) {
  CollapsedLines lines(input);
  TextGiveBack given(input, give_back);
  doc.Reserve(doc.Count() + static_cast<int>(CountArrows(input)));

  // Every time line starts an entry (the number line is optional); its text runs to the next
  // time line or number line before one. Lines before the first time line are skipped.
  std::u16string text[3];
  std::u16string* cells[3] = {&text[0], &text[1], &text[2]};
  int count = 0, clamped = 0;
  auto finish_entry = [&] {
    for (int k = 0; k < count && k < 3; ++k)
      doc.SetCell(doc.Count() - 1, kLine1 + k, std::move(text[k]));
    for (auto& t : text) t.clear();
    count = 0;
  };
  bool in_entry = false;
  std::u16string_view start_text, end_text;
  std::u16string_view line, next;
  bool split_ahead = false;  // the line was split as the one after a number line
  while (lines.Next(line)) {
    const bool time_line = split_ahead || SplitSubRipTimeLine(line, start_text, end_text);
    split_ahead = false;
    if (time_line) {
      finish_entry();
      // Nothing before the time line is looked at again.
      given.ReadUpTo(static_cast<size_t>(line.data() - input.data()));
      const bool negative_start = IsNegativeTime(start_text);
      const bool negative_end = IsNegativeTime(end_text);
      clamped += negative_start + negative_end;
      in_entry = true;
      // The usual case, both times read straight into the document's clocks.
      const int64_t start_clock = offset == 0 && !negative_start ? TimeTextClock(start_text) : -1;
      const int64_t end_clock = offset == 0 && !negative_end ? TimeTextClock(end_text) : -1;
      if (start_clock >= 0 && end_clock >= 0) {
        doc.AddTimedRow(start_clock, end_clock);
        continue;
      }
      std::u16string start, end;
      if (negative_start)
        start = FormatTimeText(offset);
      else if (offset == 0)
        start = TimeTextAs(start_text);
      else
        start = FormatTimeText(ParseTimeText(start_text) + offset);
      if (negative_end)
        end = start;
      else if (offset == 0)
        end = TimeTextAs(end_text);
      else
        end = FormatTimeText(ParseTimeText(end_text) + offset);
      doc.AddRow(std::move(start), std::move(end));
      continue;
    }
    if (!in_entry) continue;
    if (IsNumberLine(line) && lines.Peek(next) && SplitSubRipTimeLine(next, start_text, end_text)) {
      split_ahead = true;
      continue;
    }
    AddTextLine(line, cells, count);
  }
  finish_entry();
  LogClampedTimes(doc, clamped);
  return 1;
}

void PutSubRip(const SubtitleDocument& doc, int first, int last, TextSink& sink) {
  ResolveRange(doc, first, last);
  if (first > last) return;
  std::u16string out;
  double shift = 0;
  if (first > 0) {
    double a = doc.Time(first - 1, kStart);
    double b = doc.Time(first, kStart);
    shift = a + (b - a) * 0.5;
  }
  for (int i = first; i <= last; ++i) {
    AppendEntry(out, i + 1 - first, shift, doc, i);
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

std::u16string SubRipText(const SubtitleDocument& doc, int first, int last) {
  return WholeTextOf([&](TextSink& sink) { PutSubRip(doc, first, last, sink); });
}

void PutSubRipSelection(const SubtitleDocument& doc, TextSink& sink) {
  std::u16string out;
  for (int i = 0; i < doc.Count(); ++i) {
    if (!doc.Selected(i)) continue;
    AppendEntry(out, i + 1, 0, doc, i);
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

std::u16string SubRipSelectionText(const SubtitleDocument& doc) {
  return WholeTextOf([&](TextSink& sink) { PutSubRipSelection(doc, sink); });
}

int WriteSubRip(const SubtitleDocument& doc, const std::filesystem::path& path, int first, int last,
                const AppSettings& settings) {
  return WriteTextFile(path, SubRipText(doc, first, last), settings.encoding, doc.CodePage());
}

int WriteSubRipSelection(const SubtitleDocument& doc, const std::filesystem::path& path,
                         const AppSettings& settings) {
  return WriteTextFile(path, SubRipSelectionText(doc), settings.encoding, doc.CodePage());
}

}  // namespace tessera
