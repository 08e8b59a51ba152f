// Switching to the Edit, Synchronize and FrameRate pages with 10,000 subtitles: the page's
// activation (list refill, selection, fields) and the first paint of the whole page.
#include <benchmark/benchmark.h>

#include <QPixmap>

#include "bench/bench_support.h"
#include "core/time_code.h"
#include "pages/edit/edit_page.h"
#include "pages/frame_rate/frame_rate_page.h"
#include "pages/synchronize/synchronize_page.h"

namespace tessera {
namespace {

class FixedMeasurer final : public TextMeasurer {
 public:
  int MeasureWidth(const std::u16string& text, const FontSpec&) override {
    return static_cast<int>(text.size()) * 10;
  }
};

template <class Page>
void BM_SwitchToPage(benchmark::State& state) {
  bench::EnsureApplication();
  bench::SilentPrompter prompter;
  NoDialogs dialogs;
  NullProgressSink progress;
  NoProcesses processes;
  FixedMeasurer measurer;
  SubtitleDocument doc;
  SettingsStore store;
  store.LoadFromText(u"");
  AppSettings app;
  LanguageTable lang;
  lang.Build("/nonexistent");
  UndoHistory history;
  PageContext ctx{
      {{prompter, dialogs, progress, processes, measurer}, doc, store, app, lang, history}};
  const int rows = static_cast<int>(state.range(0));
  doc.Reserve(rows);
  for (int i = 0; i < rows; ++i) {
    doc.AddRow(FormatTimeText(10 + i * 3.2), FormatTimeText(12 + i * 3.2),
               u"Where are you going with that Thing?", u"I'm taking it home, of course.");
    doc.SetSelected(i, i >= rows / 2 && i < rows / 2 + 100);  // a block for the Synchronize list
  }
  doc.SetCurrentRow(rows / 2);
  doc.SetFirstVisibleRow(rows / 2 - 5);
  for (int i = 0; i < 200; ++i) doc.AppendLog(u"Done.");
  Page page(ctx);
  page.resize(960, 640);
  for (auto _ : state) {
    page.OnDeactivate();
    page.OnActivate();
    benchmark::DoNotOptimize(page.grab());
  }
}
BENCHMARK(BM_SwitchToPage<CEditPage>)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToPage<CSyncPage>)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToPage<CFrameRatePage>)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessera
