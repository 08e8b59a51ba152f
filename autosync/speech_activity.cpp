#include "autosync/speech_activity.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace tessera {
namespace {

constexpr int kBlock = 10;         // frames per floor block (100 ms)
constexpr int kFloorBlocks = 40;   // blocks either side the floor looks at (4 s)
constexpr float kSilentDb = -62;   // below this nothing is speech, whatever the floor
constexpr float kExcessLowDb = 4;  // excess over the floor where speech starts to count
constexpr float kExcessHighDb = 12;
constexpr int kBridge = 15;  // frames either side: pauses up to 0.3 s are bridged

// Sliding extreme over a window of `radius` either side, in linear time (monotonic queue).
template <typename Better>
std::vector<float> SlidingExtreme(const std::vector<float>& v, int radius, Better better) {
  const int n = static_cast<int>(v.size());
  std::vector<float> out(v.size());
  std::deque<int> q;
  int next = 0;
  for (int i = 0; i < n; ++i) {
    for (; next < n && next <= i + radius; ++next) {
      while (!q.empty() && !better(v[q.back()], v[next])) q.pop_back();
      q.push_back(next);
    }
    while (q.front() < i - radius) q.pop_front();
    out[i] = v[q.front()];
  }
  return out;
}

}  // namespace

std::vector<float> DetectSpeech(std::span<const float> energy_db, std::span<const float> voice_db) {
  const size_t n = std::min(energy_db.size(), voice_db.size());
  std::vector<float> p(n, 0.0f);
  if (n == 0) return p;
  // The floor: the quietest 100 ms of the voice band within a few seconds. Block means rather than
  // frames, so one quiet frame inside a word does not pull it down.
  const size_t blocks = (n + kBlock - 1) / kBlock;
  std::vector<float> block_mean(blocks);
  for (size_t b = 0; b < blocks; ++b) {
    const size_t first = b * kBlock, last = std::min(n, first + kBlock);
    double sum = 0;
    for (size_t i = first; i < last; ++i) sum += voice_db[i];
    block_mean[b] = static_cast<float>(sum / static_cast<double>(last - first));
  }
  const std::vector<float> floor =
      SlidingExtreme(block_mean, kFloorBlocks, [](float a, float b) { return a < b; });
  for (size_t i = 0; i < n; ++i) {
    const float v = voice_db[i];
    if (v < kSilentDb) continue;
    // Speech carries most of its power in the voice band; rumble and bass-heavy music do not.
    const float tilt = std::clamp((v - energy_db[i] + 12.0f) / 6.0f, 0.0f, 1.0f);
    const float excess = v - floor[i / kBlock];
    const float x =
        std::clamp((excess - kExcessLowDb) / (kExcessHighDb - kExcessLowDb), 0.0f, 1.0f);
    p[i] = x * tilt;
  }
  // Closing: bridge the pauses between words and syllables, then shrink back.
  std::vector<float> wide = SlidingExtreme(p, kBridge, [](float a, float b) { return a > b; });
  return SlidingExtreme(wide, kBridge, [](float a, float b) { return a < b; });
}

}  // namespace tessera
