// Refilling the shared subtitle list (a model reset plus the rows a view asks for).
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "core/time_code.h"
#include "ui/subtitle_list_view.h"

namespace {

// Arg 1: the visible rows are also painted after each reset.
void BM_SubtitleListRefill(benchmark::State& state) {
  tessera::bench::EnsureApplication();
  tessera::SubtitleDocument doc;
  tessera::AppSettings app;
  tessera::LanguageTable lang;
  lang.Build("/nonexistent");
  const int rows = static_cast<int>(state.range(0));
  const bool paint = state.range(1) != 0;
  for (int i = 0; i < rows; ++i)
    doc.AddRow(tessera::FormatTimeText(i * 3.0), tessera::FormatTimeText(i * 3.0 + 2.5),
               u"A subtitle line of ordinary length", u"and its second line");
  doc.SetCurrentRow(rows / 2);
  tessera::SubtitleListView view(doc, app, lang);
  view.resize(900, 500);
  for (auto _ : state) {
    view.Activate();
    if (paint) benchmark::DoNotOptimize(view.grab());
    benchmark::DoNotOptimize(view.model()->rowCount());
  }
}
BENCHMARK(BM_SubtitleListRefill)->Args({10000, 0})->Args({10000, 1})->Unit(benchmark::kMicrosecond);

}  // namespace
