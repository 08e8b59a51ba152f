#include "tools/find_replace.h"

#include <array>
#include <memory>

#include "core/text_util.h"

namespace tessera {
namespace {

// Runs of the simple case folding: `count` characters from `first`, `stride` apart, each mapped
// to itself plus `delta`.
struct FoldRun {
  char16_t first;
  unsigned short count;
  unsigned char stride;
  int delta;
};

constexpr FoldRun kFoldRuns[] = {
    {0x0041, 26, 1, 32},    {0x00B5, 1, 1, 775},    {0x00C0, 23, 1, 32},    {0x00D8, 7, 1, 32},
    {0x0100, 24, 2, 1},     {0x0132, 3, 2, 1},      {0x0139, 8, 2, 1},      {0x014A, 23, 2, 1},
    {0x0178, 1, 1, -121},   {0x0179, 3, 2, 1},      {0x017F, 1, 1, -268},   {0x0181, 1, 1, 210},
    {0x0182, 2, 2, 1},      {0x0186, 1, 1, 206},    {0x0187, 1, 1, 1},      {0x0189, 2, 1, 205},
    {0x018B, 1, 1, 1},      {0x018E, 1, 1, 79},     {0x018F, 1, 1, 202},    {0x0190, 1, 1, 203},
    {0x0191, 1, 1, 1},      {0x0193, 1, 1, 205},    {0x0194, 1, 1, 207},    {0x0196, 1, 1, 211},
    {0x0197, 1, 1, 209},    {0x0198, 1, 1, 1},      {0x019C, 1, 1, 211},    {0x019D, 1, 1, 213},
    {0x019F, 1, 1, 214},    {0x01A0, 3, 2, 1},      {0x01A6, 1, 1, 218},    {0x01A7, 1, 1, 1},
    {0x01A9, 1, 1, 218},    {0x01AC, 1, 1, 1},      {0x01AE, 1, 1, 218},    {0x01AF, 1, 1, 1},
    {0x01B1, 2, 1, 217},    {0x01B3, 2, 2, 1},      {0x01B7, 1, 1, 219},    {0x01B8, 1, 1, 1},
    {0x01BC, 1, 1, 1},      {0x01C4, 1, 1, 2},      {0x01C5, 1, 1, 1},      {0x01C7, 1, 1, 2},
    {0x01C8, 1, 1, 1},      {0x01CA, 1, 1, 2},      {0x01CB, 9, 2, 1},      {0x01DE, 9, 2, 1},
    {0x01F1, 1, 1, 2},      {0x01F2, 2, 2, 1},      {0x01F6, 1, 1, -97},    {0x01F7, 1, 1, -56},
    {0x01F8, 20, 2, 1},     {0x0220, 1, 1, -130},   {0x0222, 9, 2, 1},      {0x023A, 1, 1, 10795},
    {0x023B, 1, 1, 1},      {0x023D, 1, 1, -163},   {0x023E, 1, 1, 10792},  {0x0241, 1, 1, 1},
    {0x0243, 1, 1, -195},   {0x0244, 1, 1, 69},     {0x0245, 1, 1, 71},     {0x0246, 5, 2, 1},
    {0x0370, 2, 2, 1},      {0x0376, 1, 1, 1},      {0x037F, 1, 1, 116},    {0x0386, 1, 1, 38},
    {0x0388, 3, 1, 37},     {0x038C, 1, 1, 64},     {0x038E, 2, 1, 63},     {0x0391, 17, 1, 32},
    {0x03A3, 9, 1, 32},     {0x03C2, 1, 1, 1},      {0x03CF, 1, 1, 8},      {0x03D0, 1, 1, -30},
    {0x03D1, 1, 1, -25},    {0x03D5, 1, 1, -15},    {0x03D6, 1, 1, -22},    {0x03D8, 12, 2, 1},
    {0x03F0, 1, 1, -54},    {0x03F1, 1, 1, -48},    {0x03F4, 1, 1, -60},    {0x03F5, 1, 1, -64},
    {0x03F7, 1, 1, 1},      {0x03F9, 1, 1, -7},     {0x03FA, 1, 1, 1},      {0x03FD, 3, 1, -130},
    {0x0400, 16, 1, 80},    {0x0410, 32, 1, 32},    {0x0460, 17, 2, 1},     {0x048A, 27, 2, 1},
    {0x04C0, 1, 1, 15},     {0x04C1, 7, 2, 1},      {0x04D0, 48, 2, 1},     {0x1C80, 1, 1, -6222},
    {0x1C81, 1, 1, -6221},  {0x1C82, 1, 1, -6212},  {0x1C83, 2, 1, -6210},  {0x1C85, 1, 1, -6211},
    {0x1C86, 1, 1, -6204},  {0x1C87, 1, 1, -6180},  {0x1C88, 1, 1, 35267},  {0x1E00, 75, 2, 1},
    {0x1E9B, 1, 1, -58},    {0x1E9E, 1, 1, -7615},  {0x1EA0, 48, 2, 1},     {0x1F08, 8, 1, -8},
    {0x1F18, 6, 1, -8},     {0x1F28, 8, 1, -8},     {0x1F38, 8, 1, -8},     {0x1F48, 6, 1, -8},
    {0x1F59, 4, 2, -8},     {0x1F68, 8, 1, -8},     {0x1F88, 8, 1, -8},     {0x1F98, 8, 1, -8},
    {0x1FA8, 8, 1, -8},     {0x1FB8, 2, 1, -8},     {0x1FBA, 2, 1, -74},    {0x1FBC, 1, 1, -9},
    {0x1FBE, 1, 1, -7173},  {0x1FC8, 4, 1, -86},    {0x1FCC, 1, 1, -9},     {0x1FD8, 2, 1, -8},
    {0x1FDA, 2, 1, -100},   {0x1FE8, 2, 1, -8},     {0x1FEA, 2, 1, -112},   {0x1FEC, 1, 1, -7},
    {0x1FF8, 2, 1, -128},   {0x1FFA, 2, 1, -126},   {0x1FFC, 1, 1, -9},     {0x2126, 1, 1, -7517},
    {0x212A, 1, 1, -8383},  {0x212B, 1, 1, -8262},  {0x2132, 1, 1, 28},     {0x2C60, 1, 1, 1},
    {0x2C62, 1, 1, -10743}, {0x2C63, 1, 1, -3814},  {0x2C64, 1, 1, -10727}, {0x2C67, 3, 2, 1},
    {0x2C6D, 1, 1, -10780}, {0x2C6E, 1, 1, -10749}, {0x2C6F, 1, 1, -10783}, {0x2C70, 1, 1, -10782},
    {0x2C72, 1, 1, 1},      {0x2C75, 1, 1, 1},      {0x2C7E, 2, 1, -10815}, {0xA640, 23, 2, 1},
    {0xA680, 14, 2, 1},     {0xA722, 7, 2, 1},      {0xA732, 31, 2, 1},     {0xA779, 2, 2, 1},
    {0xA77D, 1, 1, -35332}, {0xA77E, 5, 2, 1},      {0xA78B, 1, 1, 1},      {0xA78D, 1, 1, -42280},
    {0xA790, 2, 2, 1},      {0xA796, 10, 2, 1},     {0xA7AA, 1, 1, -42308}, {0xA7AB, 1, 1, -42319},
    {0xA7AC, 1, 1, -42315}, {0xA7AD, 1, 1, -42305}, {0xA7AE, 1, 1, -42308}, {0xA7B0, 1, 1, -42258},
    {0xA7B1, 1, 1, -42282}, {0xA7B2, 1, 1, -42261}, {0xA7B3, 1, 1, 928},    {0xA7B4, 8, 2, 1},
    {0xA7C4, 1, 1, -48},    {0xA7C5, 1, 1, -42307}, {0xA7C6, 1, 1, -35384}, {0xA7C7, 2, 2, 1},
    {0xA7D0, 1, 1, 1},      {0xA7D6, 2, 2, 1},      {0xA7F5, 1, 1, 1},      {0xFF21, 26, 1, 32},
};

const std::array<char16_t, 0x10000>& FoldTable() {
  static const std::unique_ptr<std::array<char16_t, 0x10000>> table = [] {
    auto t = std::make_unique<std::array<char16_t, 0x10000>>();
    for (size_t c = 0; c < t->size(); ++c) (*t)[c] = static_cast<char16_t>(c);
    for (const FoldRun& run : kFoldRuns)
      for (unsigned i = 0; i < run.count; ++i) {
        unsigned c = run.first + i * run.stride;
        (*t)[c] = static_cast<char16_t>(static_cast<int>(c) + run.delta);
      }
    return t;
  }();
  return *table;
}

bool IsWordDelimiter(char16_t c) {
  return std::u16string_view(u" .,!?'\"():;").find(c) != std::u16string_view::npos;
}

// Occurrence at or after `from` in an already folded (or case-kept) text.
size_t FindPrepared(std::u16string_view text, std::u16string_view pattern, bool whole_word,
                    size_t from) {
  if (pattern.empty() || from > text.size()) return std::u16string_view::npos;
  size_t pos = text.find(pattern, from);
  if (pos == std::u16string_view::npos || !whole_word) return pos;
  size_t after = pos + pattern.size();
  bool starts = pos == 0 || IsWordDelimiter(text[pos - 1]);
  bool ends = after == text.size() || IsWordDelimiter(text[after]);
  return starts && ends ? pos : std::u16string_view::npos;
}

// The pattern prepared once, and a buffer for the folded lines.
class LineMatcher {
 public:
  LineMatcher(std::u16string_view pattern, MatchRules rules) : pattern_(pattern), rules_(rules) {
    if (!rules_.match_case) FoldCaseInPlace(pattern_);
  }
  size_t MatchIn(std::u16string_view line, size_t from = 0) {
    if (rules_.match_case) return FindPrepared(line, pattern_, rules_.whole_word, from);
    folded_.assign(line);
    FoldCaseInPlace(folded_);
    return FindPrepared(folded_, pattern_, rules_.whole_word, from);
  }
  // Replaces every match in `line`, going on behind each inserted replacement. The new line is
  // built in one pass: rewriting the line at each match made long lines quadratic.
  int ReplaceIn(std::u16string& line, std::u16string_view replacement) {
    if (pattern_.empty()) return 0;
    std::u16string_view searched = line;
    if (!rules_.match_case) {
      folded_.assign(line);
      FoldCaseInPlace(folded_);
      searched = folded_;
    }
    std::u16string out;
    int count = 0;
    size_t from = 0;
    for (;;) {
      size_t pos = searched.find(pattern_, from);
      if (pos == std::u16string_view::npos) break;
      if (rules_.whole_word) {
        // Right behind an earlier match the character before is the end of its replacement.
        bool starts = pos > from ? IsWordDelimiter(searched[pos - 1])
                                 : out.empty() || IsWordDelimiter(out.back());
        size_t after = pos + pattern_.size();
        bool ends = after == searched.size() || IsWordDelimiter(searched[after]);
        if (!starts || !ends) break;  // later occurrences are not examined
      }
      if (count == 0) out.reserve(line.size() + replacement.size());
      out.append(line, from, pos - from);
      out.append(replacement);
      from = pos + pattern_.size();
      ++count;
    }
    if (count > 0) {
      out.append(line, from);
      line = std::move(out);
    }
    return count;
  }

 private:
  std::u16string pattern_;
  MatchRules rules_;
  std::u16string folded_;
};

int ReplaceMatchesInRow(SubtitleDocument& doc, int row, LineMatcher& matcher,
                        std::u16string_view replacement) {
  int count = 0;
  for (int column : {kLine1, kLine2, kLine3}) {
    if (matcher.MatchIn(doc.Line(row, column - kLine1)) == std::u16string::npos) continue;
    std::u16string text = doc.Line(row, column - kLine1);
    count += matcher.ReplaceIn(text, replacement);
    doc.SetCell(row, column, std::move(text));
  }
  if (count > 0) doc.SetChanged(true);
  return count;
}

constexpr char16_t kSearchSection[] = u"SearchOptions";

}  // namespace

char16_t FoldCase(char16_t c) {
  return FoldTable()[c];
}

void FoldCaseInPlace(std::u16string& s) {
  const auto& table = FoldTable();
  for (char16_t& c : s) c = table[c];
}

size_t FindInLine(std::u16string_view line, std::u16string_view pattern, MatchRules rules,
                  size_t from) {
  return LineMatcher(pattern, rules).MatchIn(line, from);
}

bool FindNext(SubtitleDocument& doc, const SearchState& state, Prompter& prompter,
              const LanguageTable& lang) {
  if (state.text.empty()) return false;
  const int step = state.direction < 0 ? -1 : 1;
  LineMatcher matcher(state.text, state.rules);
  for (int row = doc.CurrentRow() + step; doc.IsRow(row); row += step) {
    for (int line = 0; line < 3; ++line) {
      if (matcher.MatchIn(doc.Line(row, line)) != std::u16string::npos) {
        doc.SetCurrentRow(row);
        return true;
      }
    }
  }
  std::u16string text = lang.Lookup(3000);
  if (text.empty()) text = u"Cannot find the requested text.";  // a table not yet built
  prompter.MessageBox(text, {}, PromptIcon::Information);
  return false;
}

int ReplaceInEntry(SubtitleDocument& doc, int row, std::u16string_view find,
                   std::u16string_view replacement, MatchRules rules) {
  if (!doc.IsRow(row) || find.empty()) return 0;
  LineMatcher matcher(find, rules);
  return ReplaceMatchesInRow(doc, row, matcher, replacement);
}

int ReplaceAll(SubtitleDocument& doc, std::u16string_view find, std::u16string_view replacement,
               MatchRules rules, Prompter& prompter) {
  int total = 0;
  if (!find.empty()) {
    LineMatcher matcher(find, rules);
    for (int row = 0; row < doc.Count(); ++row)
      total += ReplaceMatchesInRow(doc, row, matcher, replacement);
  }
  if (total > 0) {
    doc.SetChanged(true);
    prompter.MessageBox(Format("Replaced %d occurences.", total), {}, PromptIcon::Information);
  } else {
    prompter.MessageBox(u"Found no occurences.", {}, PromptIcon::Information);
  }
  return total;
}

SearchOptions LoadSearchOptions(SettingsStore& settings) {
  SearchOptions o;
  o.search_string = settings.GetString(kSearchSection, u"SearchString");
  o.replace_string = settings.GetString(kSearchSection, u"ReplaceString");
  o.rules.whole_word = settings.GetInt(kSearchSection, u"MatchWholeWords", 0) != 0;
  o.rules.match_case = settings.GetInt(kSearchSection, u"CaseSensitive", 0) != 0;
  return o;
}

void StoreFindOptions(SettingsStore& settings, const SearchOptions& options) {
  settings.WriteInt(kSearchSection, u"CaseSensitive", options.rules.match_case ? 1 : 0);
  settings.WriteInt(kSearchSection, u"MatchWholeWords", options.rules.whole_word ? 1 : 0);
  settings.WriteString(kSearchSection, u"SearchString", options.search_string);
}

void StoreReplaceOptions(SettingsStore& settings, const SearchOptions& options) {
  StoreFindOptions(settings, options);
  settings.WriteString(kSearchSection, u"ReplaceString", options.replace_string);
}

}  // namespace tessera
