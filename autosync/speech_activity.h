// Voice activity per 10 ms frame from the loudness tracks of a movie's sound.
#pragma once

#include <span>
#include <vector>

namespace tessera {

// Seconds per analysis frame: the sound analysis gives one loudness value per 10 ms.
inline constexpr double kSyncFrameSeconds = 0.01;

// The likelihood (0..1) that each frame holds speech, from the full-band and voice-band loudness
// in dB. The voice band is measured against its own slowly moving floor, so a steady music bed or
// room noise raises the floor rather than counting as speech; short pauses between words are
// bridged, as a subtitle spans them too.
std::vector<float> DetectSpeech(std::span<const float> energy_db, std::span<const float> voice_db);

}  // namespace tessera
