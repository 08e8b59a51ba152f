#include "sound/strip_timing.h"

#include <algorithm>
#include <cmath>

namespace tessera {
namespace {

double Step(double t) {
  return std::round(t / kTimingStep) * kTimingStep;
}

// On a 10 ms step inside [lo, hi]; a limit that is off the steps (a neighbour's edge) is kept
// exactly, so the subtitle stops right at it.
double StepWithin(double t, double lo, double hi) {
  return std::clamp(Step(t), lo, std::max(lo, hi));
}

}  // namespace

double SpeechEdgeNear(const SoundAnalysis& a, double t, bool onset, double reach) {
  const auto& v = a.voice_db;
  const long frames = static_cast<long>(v.size());
  const long first = std::max(1L, static_cast<long>((t - reach) / kTimingStep));
  const long last = std::min(frames - 1, static_cast<long>((t + reach) / kTimingStep));
  if (last <= first) return t;
  // Speech is what is louder than half-way between the quietest and loudest around.
  float lo = v[first], hi = v[first];
  for (long i = first; i <= last; ++i) {
    lo = std::min(lo, v[i]);
    hi = std::max(hi, v[i]);
  }
  if (hi - lo < 12.0f) return t;  // no pause nor speech to tell apart
  const float threshold = (lo + hi) / 2;
  double best = t, best_distance = reach + 1;
  for (long i = first; i <= last; ++i) {
    const bool was = v[i - 1] > threshold, is = v[i] > threshold;
    if (was == is || is != onset) continue;
    const double edge = i * kTimingStep;
    if (std::abs(edge - t) < best_distance) {
      best_distance = std::abs(edge - t);
      best = edge;
    }
  }
  return best;
}

SubtitleTimes DragTimes(const SubtitleDocument& doc, const TimingDrag& drag, double pointer,
                        const SoundAnalysis* speech) {
  SubtitleTimes t{drag.start, drag.end};
  if (!doc.IsRow(drag.row)) return t;
  // How far each edge may go: the neighbours' edges, but never into a place the subtitle has
  // not already reached.
  double lowest = 0, highest = 1e9;
  if (doc.IsRow(drag.row - 1))
    lowest = std::max(0.0, std::min(doc.Time(drag.row - 1, kEnd), drag.start));
  if (doc.IsRow(drag.row + 1)) highest = std::max(doc.Time(drag.row + 1, kStart), drag.end);
  const auto snap = [&](double x, bool onset) {
    return speech ? SpeechEdgeNear(*speech, x, onset) : x;
  };
  const double delta = pointer - drag.grab;
  switch (drag.part) {
    case StripPart::Start:
      t.start = StepWithin(snap(drag.start + delta, true), lowest,
                           std::max(lowest, drag.end - kTimingStep));
      break;
    case StripPart::End:
      t.end = StepWithin(snap(drag.end + delta, false), std::min(highest, drag.start + kTimingStep),
                         highest);
      break;
    case StripPart::Middle: {
      const double length = drag.end - drag.start;
      t.start =
          StepWithin(snap(drag.start + delta, true), lowest, std::max(lowest, highest - length));
      t.end = t.start + length;
      break;
    }
    case StripPart::None:
      break;
  }
  return t;
}

}  // namespace tessera
