// Sound files the tests write: 16-bit PCM WAV with sine bursts at known times.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace tessera::testing {

struct Burst {
  double start, end, frequency;
};

// A 16-bit PCM WAV of `seconds` with sine bursts at `rate` Hz and `channels` channels; the
// header may claim more data than is written (a truncated file).
inline void WriteWav(const std::filesystem::path& path, double seconds,
                     const std::vector<Burst>& bursts, int rate = 44100, int channels = 2,
                     double claimed_seconds = 0) {
  const auto frames = static_cast<uint32_t>(seconds * rate);
  const auto claimed = static_cast<uint32_t>((claimed_seconds > 0 ? claimed_seconds : seconds) *
                                             rate * channels * 2);
  std::string data;
  for (uint32_t i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    double x = 0;
    for (const Burst& b : bursts)
      if (t >= b.start && t < b.end) x = 0.5 * std::sin(2 * std::numbers::pi * b.frequency * t);
    const auto s = static_cast<int16_t>(std::lround(x * 32767));
    for (int c = 0; c < channels; ++c) data.append(reinterpret_cast<const char*>(&s), 2);
  }
  std::string h = "RIFF";
  const auto put32 = [&h](uint32_t v) { h.append(reinterpret_cast<const char*>(&v), 4); };
  const auto put16 = [&h](uint16_t v) { h.append(reinterpret_cast<const char*>(&v), 2); };
  put32(36 + claimed);
  h += "WAVEfmt ";
  put32(16);
  put16(1);
  put16(channels);
  put32(rate);
  put32(rate * channels * 2);
  put16(channels * 2);
  put16(16);
  h += "data";
  put32(claimed);
  std::ofstream(path, std::ios::binary) << h << data;
}

}  // namespace tessera::testing
