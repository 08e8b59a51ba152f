// Spelling over a whole document: the unknown words in document order, replacing them, and the
// command line's report.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/subtitle_document.h"
#include "spelling/spell_checker.h"
#include "spelling/words.h"

namespace tessera {

// The words of `line` the checker does not know.
std::vector<WordSpan> UnknownWords(SpellChecker& checker, std::u16string_view line);

// An unknown word and where it stands.
struct UnknownWord {
  int row = -1;
  int line = 0;  // 0-2
  WordSpan span;
  std::u16string word;
};

// The first unknown word that starts at or after `from` in line `line` of `row`, or in a later
// line or row; nothing up to the end of the document.
std::optional<UnknownWord> NextUnknownWord(const SubtitleDocument& doc, SpellChecker& checker,
                                           int row, int line, size_t from);

// Replaces the word at its place, when the line still holds it there. True when it did.
bool ReplaceUnknownWord(SubtitleDocument& doc, const UnknownWord& at,
                        std::u16string_view replacement);

// Replaces every occurrence of `word` that is a whole word (same letters, same case) from row
// `first_row` on. Returns the count.
int ReplaceWordEverywhere(SubtitleDocument& doc, std::u16string_view word,
                          std::u16string_view replacement, int first_row = 0);

// "N: word -> suggestion, suggestion" for every unknown word in document order (at most five
// suggestions), then "N unknown words in M subtitles.". `progress`, when given, is told the
// rows done.
struct SpellingReport {
  std::vector<std::u16string> lines;
  int unknown = 0;
  int subtitles = 0;
};
SpellingReport CheckDocumentSpelling(const SubtitleDocument& doc, SpellChecker& checker,
                                     const std::function<void(int done, int total)>& progress = {});

}  // namespace tessera
