#include "check/reading_speed.h"

#include <algorithm>
#include <cmath>

#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {
namespace {

bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Length of the tag or override block that starts at `i`, 0 when none does. A "<" that opens no
// tag ("<3", "a < b") is text.
size_t TagLength(std::u16string_view s, size_t i) {
  constexpr size_t kLongestTag = 200;
  const char16_t open = s[i];
  if (open != u'<' && open != u'{') return 0;
  const char16_t close = open == u'<' ? u'>' : u'}';
  size_t j = i + 1;
  if (open == u'<') {
    if (j < s.size() && s[j] == u'/') ++j;
    if (j >= s.size() || !IsAsciiLetter(s[j])) return 0;
  } else {
    const bool override_block = j < s.size() && s[j] == u'\\';
    const bool micro_dvd = j + 1 < s.size() && IsAsciiLetter(s[j]) && s[j + 1] == u':';
    if (!override_block && !micro_dvd) return 0;
  }
  for (; j < s.size() && j - i <= kLongestTag; ++j) {
    if (s[j] == close) return j - i + 1;
    if (s[j] == open) return 0;
  }
  return 0;
}

}  // namespace

std::u16string VisibleText(std::u16string_view line, std::vector<size_t>* origin) {
  std::u16string out;
  out.reserve(line.size());
  if (origin) origin->clear();
  for (size_t i = 0; i < line.size();) {
    if (const size_t tag = TagLength(line, i)) {
      i += tag;
      continue;
    }
    if (line[i] == u'\\' && i + 1 < line.size() &&
        (line[i + 1] == u'N' || line[i + 1] == u'n' || line[i + 1] == u'h')) {
      // A hard space is seen as a space, a line break stays one (it is not read).
      out.push_back(line[i + 1] == u'h' ? u' ' : u'\n');
      if (origin) origin->push_back(i);
      i += 2;
      continue;
    }
    out.push_back(line[i]);
    if (origin) origin->push_back(i);
    ++i;
  }
  return out;
}

std::optional<double> ReadingSpeed(const SubtitleDocument& doc, int row) {
  if (!doc.IsRow(row)) return std::nullopt;
  const double duration = doc.Time(row, kEnd) - doc.Time(row, kStart);
  if (!(duration > 0)) return std::nullopt;
  size_t characters = 0;
  for (int k = 0; k < 3; ++k) {
    const std::u16string text = VisibleText(doc.Line(row, k));
    characters += text.size() - std::count(text.begin(), text.end(), u'\n');
  }
  return static_cast<double>(characters) / duration;
}

std::u16string ReadingSpeedText(std::optional<double> cps) {
  if (!cps) return u"-";
  return Format("%0.1f", *cps);
}

bool IsTooFast(std::optional<double> cps, int max_cps) {
  return cps && std::round(*cps * 10) / 10 > max_cps;
}

}  // namespace tessera
