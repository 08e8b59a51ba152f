// Spelling over a film's worth of text: 10,000 subtitles, about 1 MB as SubRip, with real words of
// the installed en_US dictionary and one word in forty misspelt.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "core/time_code.h"
#include "spelling/spelling_run.h"

namespace {

using namespace tessera;

// Plain words of the dictionary, without their affix flags.
std::vector<std::u16string> DictionaryWords(size_t count) {
  std::vector<std::u16string> words;
  std::ifstream in(DictionaryFolder() / "en_US.dic");
  std::string line;
  std::getline(in, line);  // the count
  size_t n = 0;
  while (words.size() < count && std::getline(in, line)) {
    const std::string word = line.substr(0, line.find('/'));
    // Every 15th entry gives a spread of the alphabet without capitalised names.
    if (++n % 15 == 0 && word.size() > 1 && word[0] >= 'a' && word[0] <= 'z')
      words.push_back(FromUtf8(word));
  }
  return words;
}

SubtitleDocument MakeFilm(int count) {
  const std::vector<std::u16string> pool = DictionaryWords(3000);
  SubtitleDocument doc;
  doc.Reserve(count);
  size_t w = 0;
  const auto sentence = [&](int words) {
    std::u16string s;
    for (int i = 0; i < words; ++i, ++w) {
      std::u16string word = pool.empty() ? u"word" : pool[(w * 7919) % pool.size()];
      if (w % 40 == 0 && word.size() > 3) std::swap(word[1], word[2]);
      s += (i ? u" " : u"") + word;
    }
    return s + u".";
  };
  for (int i = 0; i < count; ++i) {
    const double start = i * 3.0;
    std::u16string first = sentence(6), second = sentence(5);
    if (i % 10 == 0) first = u"<i>" + first + u"</i>";
    doc.AddRow(FormatTimeText(start), FormatTimeText(start + 2.5), first,
               i % 3 == 0 ? std::u16string() : second);
  }
  return doc;
}

size_t SubRipBytes(const SubtitleDocument& doc) {
  size_t bytes = 0;
  for (int i = 0; i < doc.Count(); ++i)
    bytes += 36 + ToUtf8(doc.Line(i, 0)).size() + ToUtf8(doc.Line(i, 1)).size() + 8;
  return bytes;
}

// Hunspell's answers are kept per word, so each run opens a fresh checker, outside the timing.
bool OpenUntimed(SpellChecker& checker, benchmark::State& state) {
  state.PauseTiming();
  const bool opened = checker.Open(DictionaryFolder(), "en_US");
  if (!opened) state.SkipWithError("en_US is not installed");
  state.ResumeTiming();
  return opened;
}

// Every word checked, as the underlines and the Spelling run do.
void CheckWords(benchmark::State& state) {
  const SubtitleDocument doc = MakeFilm(static_cast<int>(state.range(0)));
  int unknown = 0;
  for (auto _ : state) {
    SpellChecker checker;
    if (!OpenUntimed(checker, state)) return;
    unknown = 0;
    for (int row = 0; row < doc.Count(); ++row)
      for (int k = 0; k < 3; ++k)
        unknown += static_cast<int>(UnknownWords(checker, doc.Line(row, k)).size());
    benchmark::DoNotOptimize(unknown);
  }
  state.counters["unknown"] = unknown;
  state.counters["bytes"] = static_cast<double>(SubRipBytes(doc));
}
BENCHMARK(CheckWords)->Arg(10000)->Unit(benchmark::kMillisecond);

// The command line's report: the check plus five suggestions for each different unknown word.
void SpellingReportWithSuggestions(benchmark::State& state) {
  const SubtitleDocument doc = MakeFilm(static_cast<int>(state.range(0)));
  size_t lines = 0;
  for (auto _ : state) {
    SpellChecker checker;
    if (!OpenUntimed(checker, state)) return;
    lines = CheckDocumentSpelling(doc, checker).lines.size();
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(SpellingReportWithSuggestions)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Opening the dictionary, which the first check of a session pays once.
void OpenDictionary(benchmark::State& state) {
  for (auto _ : state) {
    SpellChecker checker;
    benchmark::DoNotOptimize(checker.Open(DictionaryFolder(), "en_US"));
  }
}
BENCHMARK(OpenDictionary)->Unit(benchmark::kMillisecond);

}  // namespace
