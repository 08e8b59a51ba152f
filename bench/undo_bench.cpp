// Undo history over a file of 10,000 subtitles: memory of whole-document steps, and the cost of
// recording one whole-document step and one typed row.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/subtitle_document.h"
#include "core/time_code.h"
#include "core/undo_history.h"

namespace tessera {
namespace {

constexpr int kRows = 10000;

SubtitleDocument TypicalSubtitles() {
  SubtitleDocument doc;
  doc.Reserve(kRows);
  for (int i = 0; i < kRows; ++i)
    doc.AddRow(FormatTimeText(62.345 + i * 3.2), FormatTimeText(64.345 + i * 3.2),
               u"Where are you going with that Thing, Bob?",
               u"I'm taking it home, of course, Alice.");
  doc.SetCurrentRow(0);
  return doc;
}

// The start and end times of every subtitle, moved by `shift` seconds.
struct Times {
  std::vector<std::u16string> start, end;
};

Times MovedTimes(const SubtitleDocument& doc, double shift) {
  Times t;
  for (int r = 0; r < doc.Count(); ++r) {
    t.start.push_back(FormatTimeText(ParseTimeText(doc.Start(r)) + shift));
    t.end.push_back(FormatTimeText(ParseTimeText(doc.End(r)) + shift));
  }
  return t;
}

void SetTimes(SubtitleDocument& doc, const Times& t) {
  for (int r = 0; r < doc.Count(); ++r) {
    doc.SetCell(r, kStart, t.start[r]);
    doc.SetCell(r, kEnd, t.end[r]);
  }
  doc.SetChanged(true);
}

// Range 0: the steps move every time (start and end); 1: they rewrite every cell of every row.
void BM_UndoHundredWholeDocumentSteps(benchmark::State& state) {
  SubtitleDocument doc = TypicalSubtitles();
  const bool every_cell = state.range(0) == 1;
  const Times moved[2] = {MovedTimes(doc, 1.5), MovedTimes(doc, 0)};
  const std::u16string lines[2][2] = {
      {u"Where are you going with that Thing, Bob?", u"I'm taking it home, of course, Alice."},
      {u"Where were you going with that Thing, Bob?", u"I was taking it home, of course, Alice."}};
  size_t bytes = 0;
  for (auto _ : state) {
    UndoHistory history;
    for (int step = 0; step < 100; ++step) {
      history.Begin(doc);
      SetTimes(doc, moved[step % 2]);
      if (every_cell) {
        for (int r = 0; r < doc.Count(); ++r) {
          doc.SetCell(r, kLine1, lines[step % 2][0]);
          doc.SetCell(r, kLine2, lines[step % 2][1]);
          doc.SetCell(r, kLine3, step % 2 ? u"-" : u"");
        }
      }
      history.Commit(doc, u"Move");
    }
    bytes = history.MemoryBytes();
  }
  state.counters["MemoryBytes"] = static_cast<double>(bytes);
  state.counters["BytesPerStep"] = static_cast<double>(bytes) / 100;
}
BENCHMARK(BM_UndoHundredWholeDocumentSteps)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

void BM_UndoBegin(benchmark::State& state) {
  SubtitleDocument doc = TypicalSubtitles();
  UndoHistory history;
  for (auto _ : state) {
    history.Begin(doc);
    history.Abandon();
  }
}
BENCHMARK(BM_UndoBegin)->Unit(benchmark::kMillisecond);

// Begin and Commit only; moving the times is not counted.
void BM_UndoWholeDocumentStep(benchmark::State& state) {
  SubtitleDocument doc = TypicalSubtitles();
  const Times moved[2] = {MovedTimes(doc, 1.5), MovedTimes(doc, 0)};
  UndoHistory history;
  int step = 0;
  for (auto _ : state) {
    history.Begin(doc);
    state.PauseTiming();
    SetTimes(doc, moved[step++ % 2]);
    state.ResumeTiming();
    benchmark::DoNotOptimize(history.Commit(doc, u"Move"));
  }
}
BENCHMARK(BM_UndoWholeDocumentStep)->Unit(benchmark::kMillisecond);

void BM_UndoRedoWholeDocumentStep(benchmark::State& state) {
  SubtitleDocument doc = TypicalSubtitles();
  UndoHistory history;
  history.Begin(doc);
  SetTimes(doc, MovedTimes(doc, 1.5));
  history.Commit(doc, u"Move");
  for (auto _ : state) {
    history.Undo(doc);
    history.Redo(doc);
  }
}
BENCHMARK(BM_UndoRedoWholeDocumentStep)->Unit(benchmark::kMillisecond);

// One key typed in the middle row: BeginRow, the edit, Commit merging into the typing step.
void BM_UndoTypedRow(benchmark::State& state) {
  SubtitleDocument doc = TypicalSubtitles();
  UndoHistory history;
  const int row = kRows / 2;
  std::u16string text = doc.Line(row, 0);
  for (auto _ : state) {
    history.BeginRow(doc, row);
    text.back() = text.back() == u'?' ? u'!' : u'?';
    doc.SetCell(row, kLine1, text);
    doc.SetChanged(true);
    benchmark::DoNotOptimize(history.Commit(doc, u"Edit line 1", u"typing"));
  }
  state.counters["MemoryBytes"] = static_cast<double>(history.MemoryBytes());
}
BENCHMARK(BM_UndoTypedRow)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tessera
