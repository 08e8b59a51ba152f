// "Fix Now" on the Fix Errors page over a SubRip file of 1,000,000 bytes (about 13,700 subtitles),
// once with the progress window shown offscreen and once without it. The window must not make
// the run much slower: compare the two, interleaved so that a busy machine weighs on both alike:
//   tessera_bench --benchmark_filter=FixNow --benchmark_repetitions=12
//                 --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only
#include <benchmark/benchmark.h>

#include <QPushButton>
#include <filesystem>

#include "bench/bench_support.h"
#include "check/text_measurer_qt.h"
#include "core/dialogs_qt.h"
#include "core/hold_on_window.h"
#include "core/process_runner_qt.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/subrip.h"
#include "pages/fix_errors/fix_errors_page.h"

namespace {

using namespace tessera;

constexpr int kSubtitles = 13700;
constexpr size_t kFileBytes = 1000000;

// The film file and a list file, written once into the temporary folder.
const std::filesystem::path& Folder() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::temp_directory_path() / "tessera-fix-now-bench";
    std::filesystem::create_directories(d);
    SubtitleDocument doc;
    bench::GenerateFaultyDocument(doc, kSubtitles);
    // Second lines go, from the first subtitle on, until the file is down to its size.
    size_t bytes = SubRipText(doc, -1, -1).size();
    for (int i = 0; i < doc.Count() && bytes > kFileBytes; ++i) {
      if (doc.Line(i, 1).empty()) continue;
      bytes -= doc.Line(i, 1).size() + 2;
      doc.SetCell(i, kLine2, u"");
    }
    WriteSubRip(doc, d / "film.srt", -1, -1, AppSettings{});
    std::FILE* f = std::fopen((d / "Tessera.ini").c_str(), "wb");
    if (f) {
      std::fputs("CREDITS_01 = \"subtitles by \"\r\nOCR_01 = \"l'm \" \"I'm \"\r\n", f);
      std::fclose(f);
    }
    return d;
  }();
  return dir;
}

// Arg: 1 with the progress window, 0 without.
void BM_FixNow(benchmark::State& state) {
  bench::EnsureApplication();
  const std::filesystem::path film = Folder() / "film.srt";
  SubtitleDocument doc;
  SettingsStore store;
  store.LoadFromText(u"");
  AppSettings app;
  LanguageTable lang;
  lang.Build("/nonexistent");
  bench::SilentPrompter prompter;
  QtDialogService dialogs;
  CHoldOnDialog window;
  NullProgressSink no_window;
  QtProcessRunner runner;
  QtTextMeasurer measurer;
  UndoHistory history;
  ProgressSink& progress = state.range(0) ? static_cast<ProgressSink&>(window) : no_window;
  PageContext ctx{{prompter, dialogs, progress, runner, measurer}, doc, store, app, lang, history};
  CCheckPage page(ctx, nullptr, Folder() / "Tessera.ini");
  QPushButton* fix_now = page.Button("fixNow");
  int subtitles = 0;
  for (auto _ : state) {
    state.PauseTiming();
    history.Clear();
    SubtitleFormat format = SubtitleFormat::Unrecognised;
    LoadSubtitleFile(doc, FromPath(film), format, lang, nullptr);
    subtitles = doc.Count();
    if (subtitles == 0) {
      state.SkipWithError("the film file did not load");
      break;
    }
    page.OnActivate();
    state.ResumeTiming();
    fix_now->click();
  }
  state.counters["subtitles"] = subtitles;
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(film));
  state.counters["repaints"] = window.Repaints();
}
BENCHMARK(BM_FixNow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
