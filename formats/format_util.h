// Small pieces the format readers and writers share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/subtitle_document.h"
#include "core/version.h"

namespace tessera {

// text.substr(pos, count) that never throws: an out-of-range start gives the empty text.
inline std::u16string_view Sub(std::u16string_view text, size_t pos,
                               size_t count = std::u16string_view::npos) {
  if (pos >= text.size()) return {};
  return text.substr(pos, count);
}

// The text between `from` and `to` (empty when to <= from).
inline std::u16string_view Between(std::u16string_view text, size_t from, size_t to) {
  if (to <= from) return {};
  return Sub(text, from, to - from);
}

// Splits `text` at the first two `separator`s into three lines; later separators stay in line 3.
void SplitThree(std::u16string_view text, std::u16string_view separator, std::u16string& line1,
                std::u16string& line2, std::u16string& line3);

// Position of `needle` in `text`, letters A-Z compared without case; npos when absent.
size_t FindIgnoreCase(std::u16string_view text, std::u16string_view needle, size_t from = 0);

// A clock time "H:MM:SS", "H:MM:SS,mmm" or "MM:SS.mmm": digits in at least `min_colons` + 1
// groups separated by ":", then optionally "," or "." and more digits.
bool IsClockTime(std::u16string_view text, int min_colons);

// The line with every absolute path reduced to its file name: a log line copied into a file that
// is shared must not show the user's folders. A path after a quote runs to the closing quote,
// any other one to the next blank.
std::u16string WithoutFolders(std::u16string_view line);

// Resolves -1 (and out-of-range values) to a row range; empty when first > last.
void ResolveRange(const SubtitleDocument& doc, int& first, int& last);

// Room for a writer's text of rows [first, last]: their lines plus `per_row` units for each row's
// times and marks, so that a whole file is built without being moved to a larger buffer.
size_t TextRoom(const SubtitleDocument& doc, int first, int last, size_t per_row);

}  // namespace tessera
