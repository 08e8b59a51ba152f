// Searching and replacing text in the lines of the document.
#pragma once

#include <string>
#include <string_view>

#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

struct MatchRules {
  bool whole_word = false;
  bool match_case = false;
};

// Kept by each page that searches.
struct SearchState {
  std::u16string text;
  MatchRules rules;
  int direction = +1;  // +1 down, -1 up
};

// Simple case folding of Latin, Greek and Cyrillic letters; other characters stay. One UTF-16
// unit in, one out, so positions in the folded text are positions in the original.
char16_t FoldCase(char16_t c);
void FoldCaseInPlace(std::u16string& s);

// Position of the first occurrence of `pattern` in `line` at or after `from`, or npos. With whole
// words that occurrence must stand between delimiters (or the line's ends); when it does not, the
// result is npos: later occurrences are not examined.
size_t FindInLine(std::u16string_view line, std::u16string_view pattern, MatchRules rules,
                  size_t from = 0);

// Searches the rows beside the current row in the state's direction, lines 1 to 3 each, without
// wrapping. On a match the current row becomes that row and true is returned; otherwise an
// information box (text 3000 of `lang`) and false. An empty search text does nothing.
bool FindNext(SubtitleDocument& doc, const SearchState& state, Prompter& prompter,
              const LanguageTable& lang);

// Replaces the matches of `find` in the lines of `row` (the caller resolves "the first selected
// row"); after each replacement the search goes on behind the inserted text. Sets the changed flag
// when something was replaced. Returns the count; 0 for an invalid row or an empty `find`.
int ReplaceInEntry(SubtitleDocument& doc, int row, std::u16string_view find,
                   std::u16string_view replacement, MatchRules rules);

// ReplaceInEntry over every row, then an information box with the count. Returns the count.
int ReplaceAll(SubtitleDocument& doc, std::u16string_view find, std::u16string_view replacement,
               MatchRules rules, Prompter& prompter);

// The last search, kept in the settings file.
struct SearchOptions {
  std::u16string search_string;
  std::u16string replace_string;
  MatchRules rules;
};
SearchOptions LoadSearchOptions(SettingsStore& settings);
// What Find Next stores: the search text and the two options.
void StoreFindOptions(SettingsStore& settings, const SearchOptions& options);
// What Replace All stores: all four.
void StoreReplaceOptions(SettingsStore& settings, const SearchOptions& options);

}  // namespace tessera
