// What the waveform strip shows and the synchronization reads of a movie's sound: a peak pyramid
// and loudness per 10 ms, built as samples arrive and cached per movie.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sound/sound_decoder.h"

namespace tessera {

// Min/max per block of samples at several zoom levels: level 0 has blocks of kBaseBlock samples,
// each level above blocks kLevelFactor times larger. Values are -32767..32767 for -1..1.
struct PeakPyramid {
  static constexpr int kBaseBlock = 16;
  static constexpr int kLevelFactor = 4;
  static constexpr int kLevels = 10;

  // Per level, min and max of each block, interleaved.
  std::vector<std::vector<int16_t>> levels;

  static int64_t BlockSamples(int level);
  int64_t Blocks(int level) const {
    return level < static_cast<int>(levels.size()) ? levels[level].size() / 2 : 0;
  }
  // The coarsest level whose blocks are no longer than `samples_per_pixel`, so a pixel is made
  // of whole blocks (level 0 when even those are longer).
  static int LevelFor(double samples_per_pixel);
  // Min and max (-1..1) of the samples [first, last) as far as `level`'s complete blocks tell;
  // false when none of them is known yet.
  bool Range(int level, int64_t first, int64_t last, float& lo, float& hi) const;
};

struct SoundAnalysis {
  static constexpr int kFrameSamples = kAnalysisRate / 100;  // 10 ms
  static constexpr float kFloorDb = -100.0f;

  int64_t sample_count = 0;  // at kAnalysisRate
  // One value per 10 ms frame: loudness in dB (full band), and in the voice band (about
  // 300-3400 Hz, a band-pass), both floored at kFloorDb.
  std::vector<float> energy_db;
  std::vector<float> voice_db;
  PeakPyramid peaks;
  // A warning about the decoded sound (damaged, truncated), kept with the cache; else empty.
  std::string warning;

  double Seconds() const { return double(sample_count) / kAnalysisRate; }
  size_t MemoryBytes() const;
};

// Builds a SoundAnalysis incrementally from decoded samples; Finish() adds the last partial
// blocks and frame.
class SoundAnalyzer : public SampleSink {
 public:
  explicit SoundAnalyzer(SoundAnalysis& out);
  void OnStart(int64_t expected_samples) override;
  void OnSamples(const float* samples, size_t count) override;
  void Finish();

 private:
  struct Biquad {
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    // Direct form I: one product and one subtraction lie between an output and the next, which
    // is what bounds the analysis loop's speed.
    double Step(double x) {
      const double t = b0 * x + b1 * x1 + b2 * x2 - a2 * y2;
      const double y = t - a1 * y1;
      x2 = x1;
      x1 = x;
      y2 = y1;
      y1 = y;
      return y;
    }
  };
  void EndFrame();
  void EndBaseBlock();
  void EndBlock(int level, int16_t lo, int16_t hi);

  SoundAnalysis& out_;
  Biquad high_pass_, low_pass_;
  double frame_sum_ = 0, voice_sum_ = 0;
  int frame_fill_ = 0;
  float block_lo_ = 1.0f, block_hi_ = -1.0f;
  int block_fill_ = 0;
  // The block being filled at each level above 0: min, max and blocks so far.
  struct Open {
    int lo = 32767, hi = -32767, fill = 0;
  };
  Open open_[PeakPyramid::kLevels];
};

// $XDG_CACHE_HOME/tessera, else ~/.cache/tessera.
std::filesystem::path SoundCacheDir();
// The cache file of a movie (named after its absolute path).
std::filesystem::path SoundCachePath(const std::string& movie);
// The cached analysis of `movie` when a cache file exists, is whole, is this program's, and
// belongs to the movie as it is now (path, size and modification time); else false.
bool ReadSoundCache(const std::string& movie, SoundAnalysis& out);
bool WriteSoundCache(const std::string& movie, const SoundAnalysis& analysis,
                     std::string* reason = nullptr);

// The analysis of a movie: from the cache when it is valid, else decoded (and then cached).
// `message` as DecodeSound gives it (the cached warning on a cache hit).
SoundStatus AnalyzeSound(const std::string& path, SoundAnalysis& out, std::string& message,
                         SoundProgress* progress = nullptr);

}  // namespace tessera
