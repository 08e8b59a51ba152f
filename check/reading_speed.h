// Reading speed: the characters a viewer reads per second of a subtitle's display time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/subtitle_document.h"

namespace tessera {

inline constexpr int kDefaultMaxCps = 17;
inline constexpr int kMinMaxCps = 5;
inline constexpr int kMaxMaxCps = 60;

// The characters of a line a viewer sees: format tags (<i>, </font>), override blocks ({\i1},
// {\an8}) and MicroDVD codes ({y:i}) left out, a script line break (\N) as a line feed and a
// hard space (\h) as a space. `origin`, when given,
// receives for every character of the result its index in `line`.
std::u16string VisibleText(std::u16string_view line, std::vector<size_t>* origin = nullptr);

// Visible characters of all lines of `row` (line breaks not counted) per second of its duration;
// nothing for a duration of 0 or less, or a row that does not exist.
std::optional<double> ReadingSpeed(const SubtitleDocument& doc, int row);

// The speed with one decimal ("21.3"), "-" for none.
std::u16string ReadingSpeedText(std::optional<double> cps);

// Above the limit as the speed is shown, so a row marked too fast never shows "17.0" of 17.
bool IsTooFast(std::optional<double> cps, int max_cps);

}  // namespace tessera
