// The words of a subtitle line that a spelling check looks at.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tessera {

// A word's place in its line, in UTF-16 units.
struct WordSpan {
  size_t start = 0;
  size_t length = 0;
  bool operator==(const WordSpan&) const = default;
};

// The words a viewer reads in `line`: format tags, line separators, numbers and everything with a
// digit (times, "3D", "2nd"), addresses ("www.", "://", "@") are skipped. An apostrophe or hyphen
// between two letters belongs to the word ("don't", "l'homme", "well-known"): the dictionary
// decides on such words whole.
std::vector<WordSpan> FindWords(std::u16string_view line);

// True for the characters words are made of (Latin, Greek, Cyrillic, ... letters and marks).
bool IsWordLetter(char16_t c);

}  // namespace tessera
