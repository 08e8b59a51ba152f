#include "formats/format_util.h"

#include "core/text_util.h"

namespace tessera {

void AddTextLine(std::u16string_view line, std::u16string* lines[3], int& count) {
  if (TrimStart(line).empty()) return;  // blanks alone
  if (count < 3) {
    lines[count++]->assign(line);
    return;
  }
  *lines[2] += u' ';
  lines[2]->append(line);
}

void SplitThree(std::u16string_view text, std::u16string_view separator, std::u16string& line1,
                std::u16string& line2, std::u16string& line3) {
  std::u16string* lines[3] = {&line1, &line2, &line3};
  for (auto* l : lines) l->clear();
  int count = 0;
  size_t from = 0;
  while (true) {
    const size_t at = text.find(separator, from);
    const std::u16string_view piece =
        Between(text, from, at == std::u16string_view::npos ? text.size() : at);
    // An empty piece keeps its place: "|Second" is a subtitle on the second line.
    if (piece.empty())
      count += count < 3 && at != std::u16string_view::npos;
    else
      AddTextLine(piece, lines, count);
    if (at == std::u16string_view::npos) break;
    from = at + separator.size();
  }
}

bool IsNegativeTime(std::u16string_view time) {
  time = TrimView(time);
  return !time.empty() && time[0] == u'-';
}

void LogClampedTimes(SubtitleDocument& doc, int count) {
  if (count > 0)
    doc.AppendLog(
        Format("WARNING: %d negative time%s read as 0:00:00.", count, count == 1 ? "" : "s"));
}

size_t FindIgnoreCase(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::u16string_view::npos;
  const char16_t first_lower = AsciiLower(needle[0]), first_upper = AsciiUpper(needle[0]);
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (text[i] != first_lower && text[i] != first_upper) continue;
    if (EqualsIgnoreAsciiCase(text.substr(i, needle.size()), needle)) return i;
  }
  return std::u16string_view::npos;
}

std::u16string WithoutFolders(std::u16string_view line) {
  const auto npos = std::u16string_view::npos;
  std::u16string out;
  out.reserve(line.size());
  size_t i = 0;
  while (i < line.size()) {
    const char16_t prev = i > 0 ? line[i - 1] : u' ';
    const bool starts_path = line[i] == u'/' && i + 1 < line.size() && !IsBlank(line[i + 1]) &&
                             std::u16string_view(u" \t'\"`(=<[").find(prev) != npos;
    if (!starts_path) {
      out.push_back(line[i++]);
      continue;
    }
    size_t end = prev == u'\'' || prev == u'"' || prev == u'`' ? line.find(prev, i)
                                                               : line.find_first_of(u" \t", i);
    if (end == npos) end = line.size();
    std::u16string_view path = line.substr(i, end - i);
    out.append(path.substr(path.rfind(u'/') + 1));
    i = end;
  }
  return out;
}

bool IsClockTime(std::u16string_view text, int min_colons) {
  auto digits = [&](size_t& i) {
    size_t from = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') ++i;
    return i > from;
  };
  size_t i = 0;
  int colons = 0;
  if (!digits(i)) return false;
  while (i < text.size() && text[i] == u':' && colons < 2) {
    ++i;
    ++colons;
    if (!digits(i)) return false;
  }
  if (colons < min_colons) return false;
  if (i < text.size() && (text[i] == u',' || text[i] == u'.')) {
    ++i;
    if (!digits(i)) return false;
  }
  return i == text.size();
}

void ResolveRange(const SubtitleDocument& doc, int& first, int& last) {
  if (first < 0) first = 0;
  if (last == -1 || last > doc.Count() - 1) last = doc.Count() - 1;
}

}  // namespace tessera
