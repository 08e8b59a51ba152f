// The Fix Errors run with the default options over generated documents, measuring through Qt.
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "check/text_measurer_qt.h"

namespace {

void BM_RunFixErrors(benchmark::State& state) {
  tessera::bench::EnsureApplication();
  tessera::QtTextMeasurer measurer;
  tessera::AppSettings app;
  tessera::CheckLists lists;
  lists.credits = {{u"subtitles by", false}};
  lists.ocr = {{u"l'm", u"I'm"}};
  tessera::bench::SilentPrompter prompter;
  tessera::FixErrorsOptions options;  // the defaults: dynamic measuring
  tessera::FixRunServices s;
  s.app = &app;
  s.lists = &lists;
  s.measurer = &measurer;
  s.prompter = &prompter;
  tessera::SubtitleDocument doc;
  for (auto _ : state) {
    state.PauseTiming();
    tessera::bench::GenerateFaultyDocument(doc, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    tessera::RunFixErrors(doc, options, s);
    benchmark::DoNotOptimize(doc.Count());
  }
}
BENCHMARK(BM_RunFixErrors)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
