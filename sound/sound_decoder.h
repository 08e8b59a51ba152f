// A movie's sound as mono samples at one fixed rate, decoded with FFmpeg's libraries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessera {

// Mono samples per second of everything the sound layer analyses; enough for speech.
constexpr int kAnalysisRate = 16000;

enum class SoundStatus { Ok, Cancelled, NoSound, Unreadable };

class SoundProgress {
 public:
  virtual ~SoundProgress() = default;
  // Fraction 0..1 of the stream decoded; false cancels at once. Also asked while the file is
  // opened or read, with the last fraction, so a slow or stuck read can be cancelled too.
  virtual bool Continue(double fraction) = 0;
};

class SampleSink {
 public:
  virtual ~SampleSink() = default;
  // Once before the first samples: how many the container says there are (0 when unknown).
  virtual void OnStart(int64_t expected_samples) { (void)expected_samples; }
  // Pieces of mono float samples at kAnalysisRate, in order, -1..1.
  virtual void OnSamples(const float* samples, size_t count) = 0;
};

// Decodes the first audio stream of `path` (the default one when the container marks one) with
// FFmpeg's libraries, mixed to mono and resampled to kAnalysisRate. `message` gets a one-line
// reason when the status is not Ok; with Ok it may hold a warning (a damaged or truncated
// stream whose readable part was decoded), else it is left empty.
SoundStatus DecodeSound(const std::string& path, SampleSink& sink, std::string& message,
                        SoundProgress* progress = nullptr);

}  // namespace tessera
