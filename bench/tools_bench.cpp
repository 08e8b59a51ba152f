// Re-timing and replacing over a file of 10,000 subtitles.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"
#include "tools/find_replace.h"
#include "tools/frame_rate.h"
#include "tools/synchronize.h"

namespace tessera {
namespace {

SubtitleDocument TenThousandSubtitles() {
  SubtitleDocument doc;
  doc.Reserve(10000);
  for (int i = 0; i < 10000; ++i)
    doc.AddRow(FormatTimeText(10 + i * 3.2), FormatTimeText(12 + i * 3.2),
               u"Where are you going with that Thing?", u"I'm taking it home, of course.");
  return doc;
}

void BM_ConvertFrameRate(benchmark::State& state) {
  SubtitleDocument doc = TenThousandSubtitles();
  bool forth = true;
  for (auto _ : state) {
    ConvertFrameRate(doc, forth ? 23.976 : 25, forth ? 25 : 23.976);
    forth = !forth;
  }
}
BENCHMARK(BM_ConvertFrameRate)->Unit(benchmark::kMillisecond);

void BM_MoveEntries(benchmark::State& state) {
  SubtitleDocument doc = TenThousandSubtitles();
  bench::SilentPrompter prompter;
  double amount = 1.5;
  for (auto _ : state) {
    MoveEntries(doc, MoveRange(doc, SyncScope::kAll), amount, SyncScope::kAll, prompter);
    amount = -amount;
  }
}
BENCHMARK(BM_MoveEntries)->Unit(benchmark::kMillisecond);

void BM_ReplaceAll(benchmark::State& state) {
  SubtitleDocument doc = TenThousandSubtitles();
  bench::SilentPrompter prompter;
  bool forth = true;
  for (auto _ : state) {
    // Case-insensitive, whole words: the slowest matching.
    ReplaceAll(doc, forth ? u"THING" : u"gadget", forth ? u"gadget" : u"Thing", {true, false},
               prompter);
    forth = !forth;
  }
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond);

// One subtitle whose line is range(0) characters, every one a match: "a" becomes "THE".
void BM_ReplaceAllOneLongLine(benchmark::State& state) {
  const std::u16string line(static_cast<size_t>(state.range(0)), u'a');
  bench::SilentPrompter prompter;
  for (auto _ : state) {
    state.PauseTiming();
    SubtitleDocument doc;
    doc.AddRow(FormatTimeText(1), FormatTimeText(2), line, u"");
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReplaceAll(doc, u"a", u"THE", {}, prompter));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReplaceAllOneLongLine)
    ->Arg(100000)
    ->Arg(400000)
    ->Arg(800000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessera
