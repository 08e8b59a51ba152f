#include "formats/webvtt.h"

#include <algorithm>

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"
#include "formats/markup.h"

namespace tessera {
namespace {

constexpr auto npos = std::u16string_view::npos;

// "[hh:]mm:ss.ttt" as the canonical time text, or false.
bool CueTime(std::u16string_view token, double offset, std::u16string& out) {
  if (!IsClockTime(token, 1)) return false;
  std::u16string t(token);
  if (std::count(t.begin(), t.end(), u':') == 1) t.insert(0, u"0:");
  out = FormatTimeText(ParseTimeText(t) + offset);
  return true;
}

bool ParseTimingLine(std::u16string_view line, double offset, std::u16string& start,
                     std::u16string& end) {
  size_t arrow = line.find(u"-->");
  if (arrow == npos) return false;
  std::u16string_view left = TrimView(line.substr(0, arrow));
  std::u16string_view right = TrimView(line.substr(arrow + 3));
  right = right.substr(0, right.find_first_of(u" \t"));  // cue settings follow
  return CueTime(left, offset, start) && CueTime(right, offset, end);
}

bool StartsBlock(std::u16string_view line, std::u16string_view word) {
  return line.substr(0, word.size()) == word &&
         (line.size() == word.size() || line[word.size()] == u' ' || line[word.size()] == u'\t');
}

void DecodeEntities(std::u16string& s) {
  if (s.find(u'&') == std::u16string::npos) return;
  ReplaceAll(s, u"&lt;", u"<");
  ReplaceAll(s, u"&gt;", u">");
  ReplaceAll(s, u"&nbsp;", u"\u00A0");
  ReplaceAll(s, u"&lrm;", u"\u200E");
  ReplaceAll(s, u"&rlm;", u"\u200F");
  ReplaceAll(s, u"&amp;", u"&");
}

}  // namespace

bool LooksLikeWebVtt(std::u16string_view text) {
  return text.substr(0, 6) == u"WEBVTT" &&
         (text.size() == 6 || text[6] == u' ' || text[6] == u'\t' || text[6] == u'\r');
}

int ReadWebVtt(SubtitleDocument& doc, std::u16string_view text, double offset, bool give_back) {
  // A cue takes a timing line and the empty line after it at least.
  doc.Reserve(doc.Count() + static_cast<int>(CountLines(text) / 2 + 1));
  LineWalk walk(text);
  TextGiveBack given(text, give_back);
  std::u16string_view line;
  // The header runs to the first empty line.
  while (walk.Next(line) && !line.empty()) {
  }
  std::vector<std::u16string_view> block;  // the lines of one block, up to an empty line
  std::u16string start, end;
  auto read_block = [&] {
    if (block.empty()) return;
    std::u16string_view first = block[0];
    if (StartsBlock(first, u"NOTE") || StartsBlock(first, u"STYLE") ||
        StartsBlock(first, u"REGION"))
      return;
    // An identifier line may stand before the timing line.
    size_t timing = first.find(u"-->") == npos ? 1 : 0;
    if (timing >= block.size() || !ParseTimingLine(block[timing], offset, start, end)) return;
    std::u16string cells[3];
    std::u16string* cell_ptrs[3] = {&cells[0], &cells[1], &cells[2]};
    int n = 0;
    for (size_t k = timing + 1; k < block.size(); ++k) AddTextLine(block[k], cell_ptrs, n);
    for (auto& c : cells) DecodeEntities(c);
    doc.AddRow(start, end, std::move(cells[0]), std::move(cells[1]), std::move(cells[2]));
  };
  while (walk.Next(line)) {
    if (!line.empty()) {
      block.push_back(line);
      continue;
    }
    read_block();
    block.clear();
    given.ReadUpTo(static_cast<size_t>(line.data() - text.data()));
  }
  read_block();
  return 1;
}

void PutWebVtt(const SubtitleDocument& doc, int first, int last, TextSink& sink) {
  ResolveRange(doc, first, last);
  std::u16string out = u"WEBVTT\r\n\r\n";
  // The SubRip form with a full stop.
  auto time = [&](int row, int column) {
    TimeBuffer buf;
    const std::u16string_view t = doc.TimeViewAs(row, column, kSubRipForm, buf);
    buf.units[t.size() - 4] = u'.';
    out += t;
  };
  std::u16string lines[3], settings;
  for (int i = first; i <= last; ++i) {
    WebVttCueLines(doc, i, lines, settings);
    time(i, kStart);
    out += u" --> ";
    time(i, kEnd);
    if (!settings.empty()) {
      out += u' ';
      out += settings;
    }
    out += kCrLf;
    for (const std::u16string& line : lines) {
      if (line.empty()) continue;
      out += line;
      out += kCrLf;
    }
    out += kCrLf;
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

std::u16string WebVttText(const SubtitleDocument& doc, int first, int last) {
  return WholeTextOf([&](TextSink& sink) { PutWebVtt(doc, first, last, sink); });
}

}  // namespace tessera
