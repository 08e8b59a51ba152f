// Painting the waveform strip over a two-hour sound at several spans: each frame with a new view
// (the waveform drawn again, as while scrolling or zooming) or with only the position moved (as
// while playing within a page).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QImage>
#include <QThread>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "bench/bench_support.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"
#include "sound/sound_loader_qt.h"
#include "pages/play_movie/waveform_widget.h"

namespace {

constexpr double kSeconds = 7200;

// A two-hour sound of speech-like bursts in a noise bed, made once and handed to the loader
// through its cache, so the loader is the one the page uses.
struct LongSound {
  LongSound() {
    tessera::bench::EnsureApplication();
    const auto dir = std::filesystem::temp_directory_path() / "tessera-waveform-bench";
    std::filesystem::create_directories(dir);
    setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
    movie = (dir / "two-hours.mkv").string();
    std::ofstream(movie) << "stands in for a movie";
    tessera::SoundAnalysis a;
    tessera::SoundAnalyzer analyzer(a);
    std::vector<float> piece(tessera::kAnalysisRate);
    uint32_t seed = 1;
    for (int s = 0; s < kSeconds; ++s) {
      const bool speech = (s * 7919) % 5 < 3;
      for (size_t i = 0; i < piece.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = (float(seed >> 8) / float(1 << 24) - 0.5f) * 0.02f;
        piece[i] = noise + (speech ? 0.4f * std::sin(i * 0.2f) * std::sin(i * 0.0007f) : 0.0f);
      }
      analyzer.OnSamples(piece.data(), piece.size());
    }
    analyzer.Finish();
    tessera::WriteSoundCache(movie, a);
    loader.Load(movie);
    while (loader.GetState() != tessera::SoundLoader::State::Ready) {
      QCoreApplication::processEvents();
      QThread::msleep(5);
    }
    for (int i = 0; i < 2000; ++i)
      doc.AddRow(tessera::FormatTimeText(i * 3.6), tessera::FormatTimeText(i * 3.6 + 2.8),
                 u"A subtitle line of ordinary length", u"and its second line");
  }
  std::string movie;
  tessera::SoundLoader loader;
  tessera::SubtitleDocument doc;
};

LongSound& Sound() {
  static LongSound sound;
  return sound;
}

// Arg 0: the span in seconds; arg 1: 1 when each frame shows a new view.
void BM_WaveformStripPaint(benchmark::State& state) {
  LongSound& sound = Sound();
  tessera::WaveformStrip strip(sound.loader, sound.doc);
  strip.resize(1280, 100);
  strip.SetMovieLength(kSeconds);
  strip.SubtitlesChanged();
  const double span = static_cast<double>(state.range(0));
  const bool new_view = state.range(1) != 0;
  strip.SetView(1800, span);
  QImage frame(strip.size(), QImage::Format_ARGB32_Premultiplied);
  int n = 0;
  for (auto _ : state) {
    ++n;
    if (new_view)
      strip.SetView(1800 + (n % 1000) * span / 1280, span);
    else
      strip.SetPosition(1800 + (n % 1000) * span / 1000, true);
    strip.render(&frame);
    benchmark::DoNotOptimize(frame.constBits());
  }
}
BENCHMARK(BM_WaveformStripPaint)
    ->ArgsProduct({{2, 10, 60, 600, 7200}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
