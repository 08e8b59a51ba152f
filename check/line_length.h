// The repairs that decide by line length: joining two short lines, moving the third line of a
// subtitle into a subtitle of its own, and splitting too long subtitles and lines. Each works on
// row n of the working table and returns true when it counts one repair. They only ever set
// `stay` and `times_changed`, never clear them.
#pragma once

#include "check/fix_work_table.h"
#include "check/measure.h"

namespace tessera {

bool JoinShortLines(FixWorkTable& t, int n, const LineMeasure& m);

// min_gap: the minimum time between subtitles; seconds_per_char: the reading speed.
bool SeparateThreeLines(FixWorkTable& t, int n, const LineMeasure& m, double min_gap,
                        double seconds_per_char, bool& stay, bool& times_changed);

// A line that cannot be broken so that it fits is split as far as it goes and then left, so
// that the run always ends; with a limit nothing can fit under, nothing is split.
bool SplitTooLong(FixWorkTable& t, int n, const LineMeasure& m, double min_gap, bool& stay,
                  bool& times_changed);

}  // namespace tessera
