#include "check/analysis.h"

#include <algorithm>

#include "check/fix_errors_text.h"
#include "check/measure.h"
#include "check/reading_speed.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {

namespace {

constexpr std::u16string_view kSection = u"Settings";

int Count(std::u16string_view line, std::u16string_view what) {
  int n = 0;
  for (size_t p = 1; p + what.size() <= line.size(); ++p)
    if (line.substr(p, what.size()) == what) ++n;
  return n;
}

LineMeasure MakeMeasure(const AnalysisOptions& options, const AppSettings& app,
                        TextMeasurer* measurer) {
  return LineMeasure(measurer, app, options.split_method, options.fixed_count);
}

bool HasBadNumber(const SubtitleDocument& doc, int row) {
  for (int k = 0; k < 3; ++k) {
    std::u16string line = doc.Line(row, k);
    if (CheckNumberNotationLine(line, false)) return true;
  }
  return false;
}

OptionTable<AnalysisOptions> MakeBindings() {
  using O = AnalysisOptions;
  const OptionKey items{kSection, u"Analize Items"};
  const int all = O{}.items;
  return {
      WholeOption(OptionKey{kSection, u"SplitMethod"}, &O::split_method, kSplitDynamic, 0,
                  "splitMethod"),
      BitOption(items, &O::items, all, kCheckDuration, 0, "checkDuration"),
      BitOption(items, &O::items, all, kCheckOverlap, 0, "checkOverlap"),
      BitOption(items, &O::items, all, kCheckLength, 0, "checkLength"),
      BitOption(items, &O::items, all, kCheckEmpty, 0, "checkEmpty"),
      BitOption(items, &O::items, all, kCheckNumbers, 0, "checkNumbers"),
      BitOption(items, &O::items, all, kCheckSpeed, 0, "checkSpeed"),
      GlobalOption(OptionKey{kSection, u"MaxNumberCharacters"}, &O::fixed_count,
                   &AppSettings::max_number_characters, 50, 0, "fixedCount"),
  };
}

}  // namespace

const OptionTable<AnalysisOptions>& AnalysisBindings() {
  static const OptionTable<AnalysisOptions> table = MakeBindings();
  return table;
}

AnalysisOptions LoadAnalysisOptions(const SettingsStore& store, const AppSettings& app) {
  return LoadOptions(AnalysisBindings(), store, app);
}

void SaveAnalysisOptions(SettingsStore& store, AppSettings& app, const AnalysisOptions& options) {
  SaveOptions(AnalysisBindings(), store, app, options);
}

int CountWords(std::u16string_view line) {
  if (line.empty()) return 0;
  return Count(line, u" ") + 1 - Count(line, u"  ") - Count(line, u"- ");
}

AnalysisResult RunAnalysis(const SubtitleDocument& doc, const AnalysisOptions& options,
                           const AppSettings& app, TextMeasurer* measurer) {
  AnalysisResult r;
  LineMeasure measure = MakeMeasure(options, app, measurer);
  r.analysed = true;
  r.dynamic = measure.Dynamic();
  const int count = doc.Count();
  r.subtitles = count;
  r.flags.assign(count, 0);
  const int limit = measure.LineLimit();
  const int items = options.items;
  // The start of row i + 1 is the next row's start: parse each start once.
  double next_start = count > 0 ? doc.Time(0, kStart) : 0;
  for (int i = 0; i < count; ++i) {
    const double s = next_start;
    const double e = doc.Time(i, kEnd);
    if (i + 1 < count) next_start = doc.Time(i + 1, kStart);
    int flags = 0;
    int values[3];
    for (int k = 0; k < 3; ++k) {
      const std::u16string& line = doc.Line(i, k);
      if (!line.empty()) ++r.lines;
      r.words += CountWords(line);
      r.characters += static_cast<int>(line.size());
      values[k] = measure.Weight(line);
    }
    for (int x : values) {
      if (x > r.longest_line) {
        r.longest_line = x;
        r.longest_line_row = i;
      }
      if (x > 0 && x < r.shortest_line) {
        r.shortest_line = x;
        r.shortest_line_row = i;
      }
    }
    if ((items & kCheckLength) && *std::max_element(values, values + 3) > limit) {
      ++r.too_long;
      flags |= kFlagTooLong;
    }
    if ((items & kCheckNumbers) && HasBadNumber(doc, i)) flags |= kFlagNumbers;
    if ((items & kCheckOverlap) && i + 1 < count && next_start < e) flags |= kFlagOverlap;
    const double d = e - s;
    // Reading speed counts lines 1 and 2 only.
    const double needed =
        static_cast<double>(doc.Line(i, 0).size() + doc.Line(i, 1).size()) * app.smart_seconds;
    if ((items & kCheckDuration) && d < needed) {
      ++r.too_short;
      flags |= kFlagTooShort;
    }
    if (d < r.shortest_duration) {
      r.shortest_duration = d;
      r.shortest_duration_row = i;
    }
    if (d > r.longest_duration) {
      r.longest_duration = d;
      r.longest_duration_row = i;
    }
    if ((items & kCheckSpeed) && IsTooFast(ReadingSpeed(doc, i), app.max_cps)) {
      ++r.too_fast;
      flags |= kFlagTooFast;
    }
    if ((items & kCheckEmpty) && doc.Line(i, 0).empty() && doc.Line(i, 1).empty() &&
        doc.Line(i, 2).empty()) {
      ++r.empty;
      flags |= kFlagEmpty;
    }
    r.flags[i] = flags;
  }
  r.current_row = FirstFlagged(r.flags, -1);
  return r;
}

std::array<std::u16string, kAnalysisFields> AnalysisFieldTexts(const AnalysisResult& r) {
  std::array<std::u16string, kAnalysisFields> t;
  if (!r.analysed) {
    t.fill(u"---");
    return t;
  }
  const int counts[7] = {r.subtitles, r.lines,     r.words, r.characters,
                         r.too_long,  r.too_short, r.empty};
  for (int k = 0; k < 7; ++k) t[k] = Format("%d", counts[k]);
  auto line_text = [&](int row, int value) -> std::u16string {
    if (row < 0) return u"---";
    return r.dynamic
               ? Format("Line %d is %d pixels wide with the current font settings.", row + 1, value)
               : Format("Line %d has %d characters.", row + 1, value);
  };
  auto duration_text = [](int row, double value) -> std::u16string {
    if (row < 0) return u"---";
    return Format("Line %d is displayed for %0.3f seconds.", row + 1, value);
  };
  t[7] = line_text(r.longest_line_row, r.longest_line);
  t[8] = line_text(r.shortest_line_row, r.shortest_line);
  t[9] = duration_text(r.longest_duration_row, r.longest_duration);
  t[10] = duration_text(r.shortest_duration_row, r.shortest_duration);
  t[kTooFastField] = Format("%d", r.too_fast);
  return t;
}

std::vector<std::u16string> RowMessages(const SubtitleDocument& doc, const std::vector<int>& flags,
                                        int row, const AnalysisOptions& options,
                                        const AppSettings& app, TextMeasurer* measurer) {
  std::vector<std::u16string> m;
  if (!doc.IsRow(row) || static_cast<int>(flags.size()) != doc.Count()) return m;
  const int f = flags[row];
  if (f & kFlagTooLong) {
    LineMeasure measure = MakeMeasure(options, app, measurer);
    int largest = 0;
    for (int k = 0; k < 3; ++k) largest = std::max(largest, measure.Weight(doc.Line(row, k)));
    m.push_back(Format("ERROR: One or more lines are too long: %d %s.", largest,
                       measure.Dynamic() ? "pixels" : "characters"));
  }
  if (f & kFlagOverlap) m.push_back(u"ERROR: Time is overlapping the next subtitle.");
  if (f & kFlagTooShort) m.push_back(u"ERROR: Subtitle is shown too short.");
  if (f & kFlagEmpty) m.push_back(u"ERROR: Subtitle is empty.");
  if (f & kFlagNumbers) m.push_back(u"ERROR: Invalid displayed number.");
  if (f & kFlagTooFast)
    m.push_back(u"ERROR: Too fast: " + ReadingSpeedText(ReadingSpeed(doc, row)) +
                u" characters per second");
  if (m.empty()) m.push_back(u"NO ERRORS ;-)");
  return m;
}

int NextFlagged(const std::vector<int>& flags, int c) {
  const int n = static_cast<int>(flags.size());
  for (int i = std::max(c + 1, 0); i < n; ++i)
    if (flags[i] != 0) return i;
  return c;
}

int PreviousFlagged(const std::vector<int>& flags, int c) {
  const int n = static_cast<int>(flags.size());
  if (c == -1) return n > 0 && flags[0] != 0 ? 0 : c;
  for (int i = std::min(c - 1, n - 1); i >= 0; --i)
    if (flags[i] != 0) return i;
  return c;
}

// With nothing flagged the current row stays, like the other two moves.
int FirstFlagged(const std::vector<int>& flags, int c) {
  int found = NextFlagged(flags, -1);
  return found == -1 ? c : found;
}

int LastFlagged(const std::vector<int>& flags, int c) {
  const int n = static_cast<int>(flags.size());
  int found = PreviousFlagged(flags, n);
  return found == n ? c : found;
}

}  // namespace tessera
