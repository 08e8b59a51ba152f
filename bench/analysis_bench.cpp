// The analysis over a generated document of 10,000 subtitles, with both measuring methods.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "check/analysis.h"
#include "check/measure.h"
#include "check/text_measurer_qt.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace {

tessera::SubtitleDocument MakeDocument(int count) {
  tessera::SubtitleDocument doc;
  doc.Reserve(count);
  static const char16_t* const kLines[] = {
      u"- Where are you going?",
      u"It cost 11 997 dollars, you know.",
      u"This one is a rather long line that goes well past fifty characters",
      u"Short",
      u"",
      u"I don't know what you mean  by that."};
  for (int i = 0; i < count; ++i) {
    const double start = i * 3.0;
    const double end = start + (i % 7 == 0 ? 3.2 : 2.5);  // every seventh overlaps
    // The number keeps lines distinct, as in a real film, so no width is measured twice.
    const std::u16string number = tessera::Format(" %d", i);
    doc.AddRow(tessera::FormatTimeText(start), tessera::FormatTimeText(end), kLines[i % 6] + number,
               kLines[(i + 1) % 6], i % 11 == 0 ? kLines[(i + 2) % 6] : u"");
  }
  return doc;
}

void Analyse(benchmark::State& state, int method) {
  tessera::bench::EnsureApplication();
  const tessera::SubtitleDocument doc = MakeDocument(static_cast<int>(state.range(0)));
  tessera::AppSettings app;
  tessera::AnalysisOptions options;
  options.split_method = method;
  options.items = 31;
  for (auto _ : state) {
    tessera::QtTextMeasurer measurer;  // a fresh one: nothing measured before
    tessera::AnalysisResult r = tessera::RunAnalysis(doc, options, app, &measurer);
    benchmark::DoNotOptimize(r.flags.data());
  }
}

void BM_AnalysisFixed(benchmark::State& state) {
  Analyse(state, tessera::kSplitFixed);
}
void BM_AnalysisDynamic(benchmark::State& state) {
  Analyse(state, tessera::kSplitDynamic);
}

}  // namespace

BENCHMARK(BM_AnalysisFixed)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisDynamic)->Arg(10000)->Unit(benchmark::kMillisecond);
