// Small generated sound for the synchronization tests: voiced, syllable-shaped bursts at given
// spans over a little room noise, written as a 16 kHz WAV file.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/subtitle_document.h"
#include "core/time_code.h"

namespace tessera::testing {

// The same numbers from the same seed on every machine: fractions in [0, 1).
class SeededFractions {
 public:
  explicit SeededFractions(uint32_t seed) : x_(seed) {}
  double operator()() {
    x_ = x_ * 1664525u + 1013904223u;
    return (x_ >> 8) / static_cast<double>(1 << 24);
  }

 private:
  uint32_t x_;
};

inline void WriteTalk(const std::filesystem::path& path,
                      const std::vector<std::pair<double, double>>& spans, double seconds) {
  constexpr int kRate = 16000;
  const size_t n = static_cast<size_t>(seconds * kRate);
  std::vector<int16_t> pcm(n);
  uint32_t x = 12345;
  size_t next = 0;
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kRate;
    x = x * 1664525u + 1013904223u;
    double v = 0.004 * ((x >> 9) / double(1 << 23) - 1.0);
    while (next < spans.size() && spans[next].second <= t) ++next;
    if (next < spans.size() && spans[next].first <= t) {
      // A voice at 140 Hz with its harmonics, opening and closing four times a second.
      const double syllable =
          std::sqrt(std::fabs(std::sin(2 * M_PI * 4 * (t - spans[next].first))));
      double voice = 0;
      for (int h = 1; h <= 20; ++h) voice += std::sin(2 * M_PI * 140 * h * t) / h;
      v += 0.25 * syllable * voice;
    }
    pcm[i] = static_cast<int16_t>(std::lround(std::max(-1.0, std::min(1.0, v)) * 32767));
  }
  FILE* f = std::fopen(path.string().c_str(), "wb");
  auto u32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const uint32_t bytes = static_cast<uint32_t>(n * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(1);
  u32(kRate);
  u32(kRate * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  std::fwrite(pcm.data(), 2, n, f);
  std::fclose(f);
}

// Subtitle spans from a seed: 1.5-3.5 s long, 1-4 s apart, from `first` for `count` subtitles.
inline std::vector<std::pair<double, double>> TalkSpans(uint32_t seed, int count, double first) {
  std::vector<std::pair<double, double>> spans;
  SeededFractions next(seed);
  double t = first;
  for (int i = 0; i < count; ++i) {
    const double d = 1.5 + 2 * next();
    spans.push_back({t, t + d});
    t += d + 1 + 3 * next();
  }
  return spans;
}

// A SubRip text of the spans, each moved by `offset(row)`.
template <typename Offset>
std::string SubRipOf(const std::vector<std::pair<double, double>>& spans, Offset offset) {
  std::string s;
  for (size_t i = 0; i < spans.size(); ++i) {
    const double o = offset(static_cast<int>(i));
    const auto stamp = [](double t) {
      std::u16string text = FormatTimeText(std::max(0.0, t), kSubRipForm);
      return std::string(text.begin(), text.end());
    };
    s += std::to_string(i + 1) + "\r\n" + stamp(spans[i].first + o) + " --> " +
         stamp(spans[i].second + o) + "\r\nline " + std::to_string(i + 1) + "\r\n\r\n";
  }
  return s;
}

}  // namespace tessera::testing
