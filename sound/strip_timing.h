// Timing a subtitle by dragging it on the waveform strip: where its edges may go.
#pragma once

#include "core/subtitle_document.h"
#include "sound/sound_analysis.h"

namespace tessera {

enum class StripPart { None, Start, End, Middle };

// A drag of one subtitle's edge or middle: its times when grabbed, and the time grabbed at.
struct TimingDrag {
  int row = -1;
  StripPart part = StripPart::None;
  double start = 0, end = 0;
  double grab = 0;
};

struct SubtitleTimes {
  double start = 0, end = 0;
};

// Times are on 10 ms steps; a subtitle is never shorter than one step.
constexpr double kTimingStep = 0.01;

// The subtitle's times with the grabbed part at `pointer` (seconds): snapped to 10 ms, or with
// `speech` to the nearest start (for a start or a move) or end (for an end) of speech in its
// voice track. The start never passes the end, 0 or the previous subtitle's end; the end never
// passes the start or the next subtitle's start (a move stops at either neighbour). Neighbours
// that overlapped the subtitle already keep doing so, but no further.
SubtitleTimes DragTimes(const SubtitleDocument& doc, const TimingDrag& drag, double pointer,
                        const SoundAnalysis* speech = nullptr);

// The nearest time within `reach` seconds of `t` where speech starts (`onset`) or ends in the
// voice track; `t` itself when none is there.
double SpeechEdgeNear(const SoundAnalysis& a, double t, bool onset, double reach = 0.5);

}  // namespace tessera
