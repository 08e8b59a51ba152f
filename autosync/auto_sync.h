// Automatic synchronization: the offset, rate change and splits that best lay a subtitle file's
// times over a reference timeline (speech found in a movie's sound, or another subtitle file's
// spans), with a score that says how well they fit.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "autosync/speech_activity.h"
#include "core/subtitle_document.h"

namespace tessera {

// The rate changes tried: a file made for `from` frames per second played at `to`.
struct SyncRate {
  double from = 0, to = 0;  // equal: no change
  double Ratio() const { return from / to; }
  bool None() const { return from == to; }
};
inline constexpr int kSyncRateCount = 7;
// The first is "none"; the others are the usual film, PAL and 24 fps pairs.
extern const SyncRate kSyncRates[kSyncRateCount];

// Rows first_row.. (up to the next segment's first row) move by `offset` seconds after the rate
// change.
struct SyncSegment {
  int first_row = 0;
  double offset = 0;
};

struct SyncFitOptions {
  bool splits = true;           // false: one offset and a rate
  double max_offset = 600;      // seconds either way
  double split_penalty = 12.0;  // seconds of well-matched speech one split must win
  double min_score = 0.35;      // below: refused
};

struct SyncFit {
  bool cancelled = false;
  bool accepted = false;  // score at or above the threshold
  int rate = 0;           // index into kSyncRates
  std::vector<SyncSegment> segments;
  double score = 0;  // 0 (no better than chance) .. 1 (every frame agrees)
};

// The reference timeline: the likelihood of speech per 10 ms frame, 0..1.
using SyncTimeline = std::vector<float>;

// The spans of a document's subtitles as a timeline (1 inside a subtitle, 0 outside).
SyncTimeline SubtitleTimeline(const SubtitleDocument& doc);

// Fraction done 0..1; false cancels.
using SyncProgress = std::function<bool(double)>;

// The global fit: every rate, every offset within the range on a 40 ms grid, and (with splits)
// dynamic programming over the subtitles with a penalty per split; then each segment's offset is
// refined to 10 ms. Costs the number of subtitles times the number of offsets tried.
SyncFit FitSubtitles(const SubtitleDocument& doc, const SyncTimeline& reference,
                     const SyncFitOptions& options = {}, const SyncProgress& progress = {});

// The time `seconds` of `row` becomes after the fit (rate, then the row's segment's offset).
double FittedTime(const SyncFit& fit, int row, double seconds);

// Writes the fitted times: only times change; starts stay in order and nothing goes below 0.
void ApplyFit(SubtitleDocument& doc, const SyncFit& fit);

// "Offset +3.700 s, rate 25 -> 23.976, 1 split at 0:07:12.400, score 0.91." Split times are
// where the segment's first subtitle starts after the fit.
std::u16string DescribeFit(const SubtitleDocument& doc, const SyncFit& fit);
// "25 -> 23.976", or "none".
std::u16string RateText(const SyncRate& rate);
// "+3.700 s".
std::u16string OffsetText(double seconds);

}  // namespace tessera
