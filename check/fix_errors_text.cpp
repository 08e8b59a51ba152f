#include "check/fix_errors_text.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "core/text_util.h"

namespace tessera {
namespace {

constexpr std::u16string_view kEndForDots = u";:.,!?'\"";
constexpr std::u16string_view kEndForPeriods = u";:.,!?";
constexpr std::u16string_view kWantsSpace = u";:?!.,";
constexpr std::u16string_view kNoSpaceBefore = u".,:;!?";
constexpr std::u16string_view kNoSpaceAfter = u" !?.0123456789'\"";

bool IsNumberChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'.';
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsCapital(char16_t c) {
  return c >= u'A' && c <= u'Z';
}
bool In(std::u16string_view set, char16_t c) {
  return set.find(c) != std::u16string_view::npos;
}
bool BeginsWith(std::u16string_view s, std::u16string_view p) {
  return s.substr(0, p.size()) == p;
}
bool EndsWith(std::u16string_view s, std::u16string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}
bool BeginsWithCapital(std::u16string_view s) {
  return !s.empty() && IsCapital(s.front());
}
bool EndsWithOneOf(std::u16string_view s, std::u16string_view set) {
  return !s.empty() && In(set, s.back());
}
// An empty next line, or one beginning with a capital, starts a sentence.
bool StartsSentence(std::u16string_view s) {
  return s.empty() || IsCapital(s.front());
}
// Removes a leading "-" and the white space after it.
void DropDash(std::u16string& s) {
  s.erase(0, s.size() - TrimStart(std::u16string_view(s).substr(1)).size());
}

// Cuts `line` at its first "|": the line keeps the part before, the part after is returned.
bool CutAtSeparator(std::u16string& line, std::u16string& rest) {
  const size_t bar = line.find(u'|');
  if (bar == std::u16string::npos) return false;
  const std::u16string_view whole = line;
  rest = TrimStart(whole.substr(bar + 1));
  line.resize(TrimEnd(whole.substr(0, bar)).size());
  return true;
}

// A part that finds no empty line goes to the end of line 3, so nothing is lost.
void AppendToLine(std::u16string& line, const std::u16string& part) {
  if (part.empty()) return;
  if (!line.empty()) line += u' ';
  line += part;
}

// Applies the replacements in order to each of the row's first `lines` lines; returns how many
// were made.
int ReplaceInLines(
    FixWorkTable& t, int n, int lines,
    std::initializer_list<std::pair<std::u16string_view, std::u16string_view>> rules) {
  int count = 0;
  for (int k = 0; k < lines; ++k)
    for (const auto& [from, to] : rules) count += ReplaceAll(t.Line(n, k), from, to);
  return count;
}

}  // namespace

bool CheckNumberNotationLine(std::u16string& line, bool repair) {
  bool found = false;
  // A space in the first position is never inside a number.
  for (size_t m = 1; m + 1 < line.size(); ++m) {
    if (line[m] != u' ' || !IsNumberChar(line[m + 1]) || !IsNumberChar(line[m - 1])) continue;
    if (m >= 2) {
      const char16_t before = line[m - 1];
      const char16_t two_before = line[m - 2];
      const bool ok = before == u'.' ? IsDigit(two_before) : IsNumberChar(two_before);
      if (!ok) continue;
    }
    found = true;
    if (repair) line.erase(m, 1);
  }
  return found;
}

bool CheckNumberNotation(FixWorkTable& table, int row, bool repair) {
  bool found = false;
  for (int k = 0; k < 3; ++k) {
    if (CheckNumberNotationLine(table.Line(row, k), repair)) found = true;
  }
  return found;
}

int RemoveLeadingDashes(FixWorkTable& t, int n) {
  std::u16string& line = t.Line(n, 0);
  bool removed = false;
  while (BeginsWith(line, u"-")) {
    DropDash(line);
    removed = true;
  }
  return removed ? 1 : 0;
}

int FixEndingCommas(FixWorkTable& t, int n) {
  if (n + 1 >= t.Count()) return 0;
  int count = 0;
  std::u16string& u = t.Line(n, 0);
  std::u16string& v = t.Line(n, 1);
  const std::u16string& next = t.Line(n + 1, 0);
  if (!v.empty()) {
    if (EndsWith(u, u",") && BeginsWithCapital(v)) {
      u.back() = u'.';
      ++count;
    }
    if (EndsWith(v, u",") && BeginsWithCapital(next)) {
      v.back() = u'.';
      ++count;
    }
  } else if (EndsWith(u, u",") && BeginsWithCapital(next)) {
    u.back() = u'.';
    ++count;
  }
  return count;
}

int ReplaceExclamationMarks(FixWorkTable& t, int n) {
  return ReplaceInLines(t, n, 2, {{u"!!!", u"."}, {u"!!", u"."}, {u"!", u"."}});
}

int RemoveLineSeparators(FixWorkTable& t, int n, bool split) {
  int count = 0;
  if (split) {
    std::u16string& l1 = t.Line(n, 0);
    std::u16string& l2 = t.Line(n, 1);
    std::u16string& l3 = t.Line(n, 2);
    std::u16string part;
    if (CutAtSeparator(l1, part)) {
      ++count;
      if (part.empty()) {
      } else if (l2.empty()) {
        l2 = std::move(part);
      } else if (l3.empty()) {
        l3 = std::move(l2);
        l2 = std::move(part);
      } else {
        AppendToLine(l3, part);
      }
    }
    if (CutAtSeparator(l2, part)) {
      ++count;
      if (l3.empty()) {
        l3 = std::move(part);
      } else {
        AppendToLine(l3, part);
      }
    }
  }
  // Whatever separators are left (or all of them without splitting) are removed.
  return count + ReplaceInLines(t, n, 3, {{u"|", u""}});
}

void FixTriplePeriods(FixWorkTable& t, int n, int mode, int& added, int& removed) {
  if (mode == 0 || mode == 1) {
    if (n < t.Count() - 2 && t.Line(n, 2).empty() && !StartsSentence(t.Line(n + 1, 0))) {
      std::u16string& u = t.Line(n, 0);
      std::u16string& v = t.Line(n, 1);
      if (v.empty()) {
        if (!u.empty() && !EndsWithOneOf(u, kEndForDots)) {
          u += u"...";
          ++added;
        }
      } else if (!EndsWithOneOf(v, kEndForDots)) {
        v += u"...";
        ++added;
      }
    }
    if (mode == 1 && n > 0) {
      const std::u16string& p1 = t.Line(n - 1, 0);
      const std::u16string& p2 = t.Line(n - 1, 1);
      const std::u16string& prev = p2.empty() ? p1 : p2;
      std::u16string& w = t.Line(n, 0);
      if (prev.size() > 2 && EndsWith(prev, u"...") && w.size() > 2 && !BeginsWithCapital(w) &&
          w.front() != u'\'' && w.front() != u'"' && !BeginsWith(w, u"...")) {
        w.insert(0, u"...");
        ++added;
      }
    }
    return;
  }
  std::u16string& l1 = t.Line(n, 0);
  if (l1.size() > 2 && BeginsWith(l1, u"...")) {
    l1.erase(0, 3);
    ++removed;
  }
  if (mode != 3) return;
  std::u16string& l2 = t.Line(n, 1);
  if (l2.empty()) {
    if (l1.size() > 2 && EndsWith(l1, u"...")) {
      l1.erase(l1.size() - 3);
      ++removed;
    }
  } else if (l2.size() > 2 && EndsWith(l2, u"...")) {
    l2.erase(l2.size() - 3);
    ++removed;
  }
}

int AddMissingSpaces(FixWorkTable& t, int n) {
  int count = 0;
  for (int k = 0; k < 3; ++k) {
    std::u16string& line = t.Line(n, k);
    size_t p = 0;
    while (!line.empty() && p + 1 < line.size()) {
      p = line.find_first_of(kWantsSpace, p);
      if (p == std::u16string::npos || p + 1 >= line.size()) break;
      const char16_t c = line[p + 1];
      if (In(kNoSpaceAfter, c)) {
        ++p;
        continue;
      }
      if (line[p] == u'.') {
        if (p >= 2 && line.compare(p - 2, 3, u"...") == 0) {
          ++p;
          continue;
        }
        if (p >= 3 && AsciiLowerCopy(std::u16string_view(line).substr(p - 3, 4)) == u"www.") {
          const size_t space = line.find(u' ', p);
          if (space != std::u16string::npos) p = space;
          ++p;
          continue;
        }
        const char16_t lc = AsciiLower(c);
        if (p + 2 < line.size() && lc >= u'a' && lc <= u'z' && line[p + 2] == u'.') {
          ++p;
          continue;
        }
      }
      line.insert(p + 1, 1, u' ');
      ++count;
      ++p;
    }
  }
  return count;
}

int RemoveUnnecessarySpaces(FixWorkTable& t, int n) {
  int count = 0;
  for (int k = 0; k < 3; ++k) {
    std::u16string& line = t.Line(n, k);
    count += ReplaceAll(line, u"  ", u" ");
    if (BeginsWith(line, u"... ")) {
      line.erase(3, 1);
      ++count;
    }
    while (!line.empty() && line.front() == u' ') {
      line.erase(0, 1);
      ++count;
    }
    while (!line.empty() && line.back() == u' ') {
      line.pop_back();
      ++count;
    }
    for (size_t i = 1; i + 1 < line.size();) {
      const size_t q = line.find_first_of(kNoSpaceBefore, i);
      if (q == std::u16string::npos) break;
      const bool decimal = line[q] == u'.' && q + 1 < line.size() && IsDigit(line[q + 1]);
      if (line[q - 1] == u' ' && !decimal) {
        line.erase(q - 1, 1);
        ++count;
      }
      i = q + 1;
    }
    size_t at = line.find(u". '");
    if (at != std::u16string::npos) {
      line.erase(at + 1, 1);
      ++count;
    }
    at = line.find(u". \"");
    if (at != std::u16string::npos) {
      line.erase(at + 1, 1);
      ++count;
    }
  }
  return count;
}

int FixQuotes(FixWorkTable& t, int n) {
  return ReplaceInLines(t, n, 3, {{u"\u00B4", u"'"}, {u"`", u"'"}, {u"''", u"'"}, {u"\"", u"'"}});
}

int RemoveFormatTags(FixWorkTable& t, int n) {
  int count = 0;
  for (int k = 0; k < 3; ++k) {
    std::u16string& line = t.Line(n, k);
    size_t from = 0;
    while (true) {
      const size_t lt = line.find(u'<', from);
      if (lt == std::u16string::npos) break;
      const size_t gt = line.find(u'>', lt);
      if (gt != std::u16string::npos && gt - lt >= 1 && gt - lt <= 3) {
        line.erase(lt, gt - lt + 1);
        ++count;
        from = lt;
      } else {
        from = lt + 1;
      }
    }
  }
  return count;
}

int FixDashFormat(FixWorkTable& t, int n, int spaces) {
  int count = 0;
  const size_t k_spaces = static_cast<size_t>(spaces < 0 ? 0 : spaces);
  for (int k = 0; k < 3; ++k) {
    std::u16string& line = t.Line(n, k);
    if (!BeginsWith(line, u"-")) continue;
    const std::u16string before = line;
    for (size_t i = 1; i <= k_spaces; ++i) {
      if (line.size() >= i && (i >= line.size() || line[i] != u' ')) line.insert(1, 1, u' ');
    }
    while (line.size() > k_spaces + 1 && line[k_spaces + 1] == u' ') line.erase(k_spaces + 1, 1);
    if (line != before) ++count;
  }
  return count;
}

int AddMissingPeriods(FixWorkTable& t, int n) {
  std::u16string& u = t.Line(n, 0);
  std::u16string& v = t.Line(n, 1);
  for (std::u16string* line : {&u, &v}) {
    ReplaceAll(*line, u". '", u".'");
    if (line->find(u".'.") != std::u16string::npos) {
      const bool quoted = BeginsWith(*line, u"'");
      ReplaceAll(*line, u".'.", quoted ? u".'" : u"'.");
    }
  }
  const bool next_starts = n + 1 >= t.Count() || StartsSentence(t.Line(n + 1, 0));
  if (!t.Line(n, 2).empty() || !next_starts) return 0;
  auto ends_properly = [](const std::u16string& s) {
    return EndsWithOneOf(s, kEndForPeriods) || (s.size() > 1 && EndsWith(s, u".'"));
  };
  if (v.empty()) {
    if (!u.empty() && !ends_properly(u)) {
      u += u'.';
      return 1;
    }
  } else if (!ends_properly(v)) {
    v += u'.';
    return 1;
  }
  return 0;
}

}  // namespace tessera
