// The Play Movie page's rules that need no window: the position display, the subtitle at the
// playback position, the position bar, the seek buttons and the movie file types.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

// "H:MM:SS.mmm" of a position in 100-nanosecond units.
std::u16string PositionText(int64_t position);

// The subtitle shown at `position`: looked up 0.1 s ahead of the picture, the first row whose
// start and end enclose that time (both included); -1 when the position is between subtitles.
int SubtitleAtPosition(const SubtitleDocument& doc, int64_t position);

// The position bar's 0-1000 for a position, and the position for a click at `x` of `width`.
int BarPosition(int64_t position, int64_t length);
int64_t BarClickPosition(int x, int width, int64_t length);

// The subtitle ">" / ">>" (Forward) and "<" / "<<" (Backward) go to from `current` (-1: none),
// `n` subtitles on, with the playback at `position`. -1 when there is none to go to (a beep).
int ForwardTarget(const SubtitleDocument& doc, int current, int n, int64_t position);
int BackwardTarget(const SubtitleDocument& doc, int current, int n, int64_t position);

// The "Select Movie" dialog's file types.
std::vector<FileFilter> MovieFileFilters();

}  // namespace tessera
