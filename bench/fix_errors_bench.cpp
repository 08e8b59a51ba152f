// The Fix Errors run with the default options over generated documents, measuring through Qt.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "check/text_measurer_qt.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace {

QGuiApplication& App() {
  static int argc = 1;
  static char name[] = "tessera_bench";
  static char* argv[] = {name, nullptr};
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static auto* app = new QGuiApplication(argc, argv);
  return *app;
}

class SilentPrompter final : public tessera::Prompter {
 public:
  void MessageBox(const std::u16string&, const std::u16string&, tessera::PromptIcon) override {}
  bool AskYesNo(const std::u16string&, const std::u16string&, tessera::PromptIcon) override {
    return false;
  }
  void Beep() override {}
  std::optional<double> AskLoadFrameRate() override { return 25.0; }
};

// A film's worth of subtitles with the usual faults: short gaps, overlaps, long lines, spacing,
// three-line and empty subtitles.
void Generate(tessera::SubtitleDocument& doc, int count) {
  using tessera::FormatTimeText;
  const char16_t* texts[] = {u"Where are you going?",
                             u"- I don't know.",
                             u"It was 1 997 when we met,and then we left .",
                             u"Stop!!! Don't move!",
                             u"This is a really rather long subtitle line that will not fit on the "
                             u"screen at all",
                             u"<i>He said ``no''.</i>",
                             u"and then...",
                             u"l'm sure you know  what I mean."};
  doc.Empty();
  doc.Reserve(count);
  double t = 1.0;
  for (int i = 0; i < count; ++i) {
    const double d = 1.0 + (i % 7) * 0.6;
    const std::u16string a = texts[i % 8], b = (i % 3 == 0) ? texts[(i + 3) % 8] : u"";
    const std::u16string c = (i % 50 == 0) ? u"- A third line" : u"";
    if (i % 97 == 0)
      doc.AddRow(FormatTimeText(t), FormatTimeText(t + d));
    else
      doc.AddRow(FormatTimeText(t), FormatTimeText(t + d), a, b, c);
    t += d + ((i % 5 == 0) ? -0.2 : 0.05 + (i % 4) * 0.4);
  }
}

void BM_RunFixErrors(benchmark::State& state) {
  App();
  tessera::QtTextMeasurer measurer;
  tessera::AppSettings app;
  tessera::CheckLists lists;
  lists.credits = {{u"subtitles by", false}};
  lists.ocr = {{u"l'm", u"I'm"}};
  SilentPrompter prompter;
  tessera::FixErrorsOptions options;  // the defaults: dynamic measuring
  tessera::FixRunServices s;
  s.app = &app;
  s.lists = &lists;
  s.measurer = &measurer;
  s.prompter = &prompter;
  tessera::SubtitleDocument doc;
  for (auto _ : state) {
    state.PauseTiming();
    Generate(doc, static_cast<int>(state.range(0)));
    state.ResumeTiming();
    tessera::RunFixErrors(doc, options, s);
    benchmark::DoNotOptimize(doc.Count());
  }
}
BENCHMARK(BM_RunFixErrors)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
