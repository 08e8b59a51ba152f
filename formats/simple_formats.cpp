#include "formats/simple_formats.h"

#include <algorithm>

#include "core/text_file.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/format_util.h"

namespace tessera {

int ReadSubViewer(SubtitleDocument& doc, std::u16string_view text) {
  std::vector<std::u16string_view> lines = SplitLines(text);
  std::u16string line1, line2, line3;
  int clamped = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::u16string_view line = lines[i];
    if (line.empty() || line[0] == u'[') continue;
    // "00:00:06.84,00:00:08.00"; a minus sign makes a time one character longer.
    const std::u16string_view start_text = line.substr(0, line[0] == u'-' ? 12 : 11);
    const size_t end_at = start_text.size() + 1;
    const std::u16string_view end_text = Sub(line, end_at, Sub(line, end_at, 1) == u"-" ? 12 : 11);
    const bool negative_start = IsNegativeTime(start_text), negative_end = IsNegativeTime(end_text);
    const double start = negative_start ? 0 : ParseTimeText(start_text);
    const double end = negative_end ? start : ParseTimeText(end_text);
    ++i;  // the text line is consumed even when it is empty
    if (i >= lines.size() || lines[i].empty()) continue;
    clamped += negative_start + negative_end;
    SplitThree(lines[i], u"[br]", line1, line2, line3);
    doc.AddRow(FormatTimeText(start), FormatTimeText(end), line1, line2, line3);
  }
  LogClampedTimes(doc, clamped);
  return 1;
}

namespace {

constexpr auto npos = std::u16string_view::npos;

// The value of attribute `name` inside a tag's text, quotes removed; empty when absent.
std::u16string_view AttributeValue(std::u16string_view tag, std::u16string_view name) {
  size_t from = 0;
  while ((from = FindIgnoreCase(tag, name, from)) != npos) {
    size_t i = from + name.size();
    const bool starts_word = from > 0 && (IsBlank(tag[from - 1]) || tag[from - 1] == u'<');
    while (i < tag.size() && IsBlank(tag[i])) ++i;
    if (!starts_word || i >= tag.size() || tag[i] != u'=') {
      from += name.size();
      continue;
    }
    ++i;
    while (i < tag.size() && IsBlank(tag[i])) ++i;
    if (i < tag.size() && (tag[i] == u'"' || tag[i] == u'\'')) {
      size_t close = tag.find(tag[i], i + 1);
      return Between(tag, i + 1, close == npos ? tag.size() : close);
    }
    size_t end = i;
    while (end < tag.size() && !IsBlank(tag[end]) && tag[end] != u'>') ++end;
    return Between(tag, i, end);
  }
  return {};
}

// The lower-case name of the tag that starts at `<`, with its "/" for a closing tag.
std::u16string TagName(std::u16string_view tag) {
  std::u16string name;
  for (size_t i = 1; i < tag.size(); ++i) {
    char16_t c = tag[i];
    if (c == u'/' && i == 1) {
      name += c;
      continue;
    }
    if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9'))) break;
    name += AsciiLower(c);
  }
  return name;
}

void AppendEntity(std::u16string_view entity, std::u16string& out) {
  static const struct {
    std::u16string_view name;
    char16_t c;
  } kNamed[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u' '}};
  for (const auto& n : kNamed)
    if (EqualsIgnoreAsciiCase(entity, n.name)) {
      out += n.c;
      return;
    }
  if (entity.size() > 1 && entity[0] == u'#') {
    const bool hex = entity[1] == u'x' || entity[1] == u'X';
    unsigned long v = 0;
    for (char16_t c : entity.substr(hex ? 2 : 1)) {
      int d = c >= u'0' && c <= u'9'          ? c - u'0'
              : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
              : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                              : -1;
      if (d < 0 || v > 0x10FFFF) return;
      v = v * (hex ? 16 : 10) + d;
    }
    if (v == 0xA0) v = u' ';
    if (v > 0 && v < 0xD800) out += static_cast<char16_t>(v);
    return;
  }
  out += u'&';
  out += entity;
  out += u';';
}

// The text lines of one SYNC's content: <br> breaks lines, other tags go except i, b and u, only
// the paragraphs of `wanted_class` and those without a class count (all when empty), blanks
// collapse.
std::vector<std::u16string> SamiLines(std::u16string_view content, std::u16string_view wanted) {
  std::vector<std::u16string> lines(1);
  bool in_wanted = true;
  size_t i = 0;
  while (i < content.size()) {
    char16_t c = content[i];
    if (c == u'<') {
      if (content.substr(i, 4) == u"<!--") {
        size_t close = content.find(u"-->", i + 4);
        i = close == npos ? content.size() : close + 3;
        continue;
      }
      size_t close = content.find(u'>', i);
      if (close == npos) close = content.size();
      std::u16string_view tag = content.substr(i, close - i);
      std::u16string name = TagName(tag);
      if (name == u"br") {
        if (in_wanted) lines.emplace_back();
      } else if (name == u"p") {
        const std::u16string_view cls = AttributeValue(tag, u"class");
        in_wanted = wanted.empty() || cls.empty() || EqualsIgnoreAsciiCase(cls, wanted);
        if (in_wanted && !TrimView(lines.back()).empty()) lines.emplace_back();
      } else if (in_wanted && (name == u"i" || name == u"b" || name == u"u" || name == u"/i" ||
                               name == u"/b" || name == u"/u")) {
        lines.back() += u"<" + name + u">";
      }
      i = close + 1;
      continue;
    }
    if (!in_wanted) {
      ++i;
      continue;
    }
    if (c == u'&') {
      size_t semi = content.find(u';', i);
      if (semi != npos && semi - i <= 10) {
        AppendEntity(content.substr(i + 1, semi - i - 1), lines.back());
        i = semi + 1;
        continue;
      }
    }
    if (IsBlank(c)) c = u' ';
    if (c != u' ' || (!lines.back().empty() && lines.back().back() != u' ')) lines.back() += c;
    ++i;
  }
  std::vector<std::u16string> kept;
  for (auto& l : lines) {
    std::u16string t = Trim(l);
    if (!t.empty()) kept.push_back(std::move(t));
  }
  return kept;
}

// The paragraph classes of the body in their first order, each once (compared without case).
std::vector<std::u16string_view> Classes(std::u16string_view body) {
  std::vector<std::u16string_view> classes;
  size_t p = 0;
  while ((p = FindIgnoreCase(body, u"<p", p)) != npos) {
    size_t close = body.find(u'>', p);
    if (close == npos) break;
    std::u16string_view tag = body.substr(p, close - p);
    if (TagName(tag) == u"p") {
      std::u16string_view cls = AttributeValue(tag, u"class");
      auto same = [&](std::u16string_view c) { return EqualsIgnoreAsciiCase(c, cls); };
      if (!cls.empty() && std::none_of(classes.begin(), classes.end(), same))
        classes.push_back(cls);
    }
    p = close;
  }
  return classes;
}

// How long the last subtitle shows, which no SYNC ends: the file's median duration, kept
// within 2-4 seconds (3 when there is no other subtitle).
long long LastDuration(std::vector<long long> durations) {
  if (durations.empty()) return 3000;
  auto mid = durations.begin() + static_cast<std::ptrdiff_t>(durations.size() / 2);
  std::nth_element(durations.begin(), mid, durations.end());
  return std::clamp<long long>(*mid, 2000, 4000);
}

}  // namespace

int ReadSami(SubtitleDocument& doc, std::u16string_view text) {
  struct Sync {
    long long ms;
    std::u16string_view content;
  };
  std::vector<Sync> syncs;
  size_t body = FindIgnoreCase(text, u"<body");
  if (body == npos) body = 0;
  size_t end_of_body = FindIgnoreCase(text, u"</body", body);
  if (end_of_body == npos) end_of_body = text.size();
  size_t p = FindIgnoreCase(text, u"<sync", body);
  while (p != npos && p < end_of_body) {
    size_t close = text.find(u'>', p);
    if (close == npos) break;
    size_t next = FindIgnoreCase(text, u"<sync", close);
    std::u16string_view start = AttributeValue(text.substr(p, close - p), u"start");
    size_t content_end = std::min(next == npos ? text.size() : next, end_of_body);
    if (!start.empty() && start[0] >= u'0' && start[0] <= u'9')
      syncs.push_back({ToInteger(start), Between(text, close + 1, content_end)});
    p = next;
  }
  // Of a file in several languages the first is read, and the log says so.
  const std::vector<std::u16string_view> classes = Classes(Between(text, body, end_of_body));
  const std::u16string_view wanted = classes.empty() ? std::u16string_view() : classes[0];
  if (classes.size() > 1) {
    std::u16string others;
    for (size_t k = 1; k < classes.size(); ++k)
      others += (k > 1 ? u", " : u"") + std::u16string(classes[k]);
    doc.AppendLog(u"The file holds more than one language: class '" + std::u16string(wanted) +
                  u"' is read, " + others + u" left out.");
  }
  struct Row {
    long long start, end;
    std::vector<std::u16string> lines;
  };
  std::vector<Row> rows;
  std::vector<long long> durations;
  for (size_t k = 0; k < syncs.size(); ++k) {
    std::vector<std::u16string> lines = SamiLines(syncs[k].content, wanted);
    if (lines.empty()) continue;  // an empty SYNC clears the screen
    const long long end = k + 1 < syncs.size() ? syncs[k + 1].ms : -1;
    if (end >= 0) durations.push_back(end - syncs[k].ms);
    rows.push_back({syncs[k].ms, end, std::move(lines)});
  }
  const long long last = LastDuration(std::move(durations));
  std::u16string cells[3];
  std::u16string* cell_ptrs[3] = {&cells[0], &cells[1], &cells[2]};
  for (Row& r : rows) {
    int count = 0;
    for (auto& c : cells) c.clear();
    for (const auto& line : r.lines) AddTextLine(line, cell_ptrs, count);
    const long long end = r.end >= 0 ? r.end : r.start + last;
    doc.AddRow(FormatTimeText(static_cast<double>(r.start) / 1000),
               FormatTimeText(static_cast<double>(end) / 1000), cells[0], cells[1], cells[2]);
  }
  return 1;
}

void PutFlatText(const SubtitleDocument& doc, TextSink& sink) {
  std::u16string out;
  for (int i = 0; i < doc.Count(); ++i) {
    for (int k = 0; k < 3; ++k) {
      if (doc.Line(i, k).empty()) continue;
      out += doc.Line(i, k);
      out += kCrLf;
    }
    out += kCrLf;
    TakeBlock(out, sink);
  }
  sink.Take(out);
}

std::u16string FlatText(const SubtitleDocument& doc) {
  return WholeTextOf([&](TextSink& sink) { PutFlatText(doc, sink); });
}

int WriteFlatText(const SubtitleDocument& doc, const std::filesystem::path& path,
                  const AppSettings& settings) {
  return WriteTextFile(path, FlatText(doc), settings.encoding, doc.CodePage());
}

}  // namespace tessera
