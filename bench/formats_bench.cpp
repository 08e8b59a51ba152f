// Reading, detecting and writing a 1,000,000-byte SubRip file of about 10,000 subtitles.
#include <benchmark/benchmark.h>

#include "core/text_util.h"
#include "core/time_code.h"
#include "formats/loading.h"
#include "formats/subrip.h"
#include "formats/substation.h"

namespace tessera {
namespace {

std::u16string MakeSubRip(size_t target) {
  std::u16string text;
  text.reserve(target + 200);
  for (int i = 0; text.size() < target; ++i) {
    double start = i * 3.0;
    text += Format("%d\r\n", i + 1);
    text +=
        FormatTimeText(start, kSubRipForm) + u" --> " + FormatTimeText(start + 2.5, kSubRipForm);
    text += u"\r\nThe quick brown fox jumps over the lazy dog,\r\nsaid subtitle ";
    text += Format("%d.\r\n\r\n", i + 1);
  }
  text.resize(text.rfind(u"\r\n\r\n", target) + 4);  // whole entries, about the target size
  return text;
}

const std::u16string& Text() {
  static const std::u16string text = MakeSubRip(1000000);
  return text;
}

const SubtitleDocument& Document() {
  static const SubtitleDocument doc = [] {
    SubtitleDocument d;
    ReadSubRip(d, Text(), 0);
    return d;
  }();
  return doc;
}

void BM_ReadAndDetectSubRip(benchmark::State& state) {
  for (auto _ : state) {
    SubtitleDocument doc;
    if (DetectSubtitleFormat(Text()) != SubtitleFormat::SubRip) state.SkipWithError("detect");
    ReadSubRip(doc, Text(), 0);
    benchmark::DoNotOptimize(doc.Count());
  }
  state.counters["subtitles"] = Document().Count();
  state.counters["bytes"] = static_cast<double>(Text().size());
}
BENCHMARK(BM_ReadAndDetectSubRip)->Unit(benchmark::kMillisecond);

void BM_WriteSubRip(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SubRipText(Document(), -1, -1));
}
BENCHMARK(BM_WriteSubRip)->Unit(benchmark::kMillisecond);

void BM_WriteSubStationAlpha(benchmark::State& state) {
  AppSettings settings;
  for (auto _ : state) benchmark::DoNotOptimize(SubStationAlphaText(Document(), -1, -1, settings));
}
BENCHMARK(BM_WriteSubStationAlpha)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessera
