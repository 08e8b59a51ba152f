// Decodes a movie's sound to its peaks and loudness tracks, as the waveform strip does on its
// worker thread but without the cache, and reports the time, the processor time, the memory the
// result takes and the size of its cache file. bench/sound_decode.sh runs it beside ffmpeg.
//
//   tessera_sound_bench MOVIE
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "sound/sound_analysis.h"

namespace {

double CpuSeconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return std::fprintf(stderr, "usage: %s MOVIE\n", argv[0]), 2;
  const std::string movie = argv[1];
  const auto t0 = std::chrono::steady_clock::now();
  const double cpu0 = CpuSeconds();
  tessera::SoundAnalysis a;
  tessera::SoundAnalyzer analyzer(a);
  std::string message;
  const tessera::SoundStatus status = tessera::DecodeSound(movie, analyzer, message);
  analyzer.Finish();
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = CpuSeconds() - cpu0;
  if (status != tessera::SoundStatus::Ok) return std::fprintf(stderr, "%s\n", message.c_str()), 1;
  std::printf("decoded %.1f s of sound: %.2f s, CPU %.2f s\n", a.Seconds(), wall, cpu);
  std::printf("peaks and loudness in memory: %.1f MB\n", a.MemoryBytes() / 1e6);

  // The cache file, written and read back into a scratch cache folder.
  const auto dir = std::filesystem::temp_directory_path() / "tessera-sound-bench";
  setenv("XDG_CACHE_HOME", dir.c_str(), 1);
  std::string reason;
  if (!tessera::WriteSoundCache(movie, a, &reason))
    return std::fprintf(stderr, "cache: %s\n", reason.c_str()), 1;
  const auto r0 = std::chrono::steady_clock::now();
  tessera::SoundAnalysis back;
  const bool read = tessera::ReadSoundCache(movie, back);
  const double read_s =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - r0).count();
  std::printf("cache file: %.1f MB, read back %s in %.3f s\n",
              std::filesystem::file_size(tessera::SoundCachePath(movie)) / 1e6,
              read ? "whole" : "FAILED", read_s);
  std::filesystem::remove_all(dir);
  return read ? 0 : 1;
}
