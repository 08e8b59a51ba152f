// The analysis of a document against reading-speed and line-length limits: statistics, the
// extremes and one set of error flags per subtitle. It never changes the document.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/option_binding.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

// RowErrorFlags bits.
inline constexpr int kFlagTooLong = 1;
inline constexpr int kFlagOverlap = 2;
inline constexpr int kFlagTooShort = 4;
inline constexpr int kFlagEmpty = 8;
inline constexpr int kFlagNumbers = 16;
inline constexpr int kFlagTooFast = 32;

// "Analize Items" bits: what to check for.
inline constexpr int kCheckDuration = 1;
inline constexpr int kCheckOverlap = 2;
inline constexpr int kCheckLength = 4;
inline constexpr int kCheckEmpty = 8;
inline constexpr int kCheckNumbers = 16;
inline constexpr int kCheckSpeed = 32;  // reading speed above "MaxCPS"

struct AnalysisOptions {
  int split_method = 0;  // kSplitDynamic or kSplitFixed
  int fixed_count = 50;  // "MaxNumberCharacters"
  int items = kCheckDuration | kCheckOverlap | kCheckLength | kCheckEmpty | kCheckSpeed;
};

// The page's options: "SplitMethod", the six "Check for:" boxes as bits of "Analize Items"
// (section "Settings"), and the fixed count mirrored from the global "MaxNumberCharacters".
const OptionTable<AnalysisOptions>& AnalysisBindings();
// "SplitMethod" and "Analize Items" from the store, the fixed count from the global settings.
AnalysisOptions LoadAnalysisOptions(const SettingsStore& store, const AppSettings& app);
// Writes both keys and copies the fixed count back into the global settings.
void SaveAnalysisOptions(SettingsStore& store, AppSettings& app, const AnalysisOptions& options);

struct AnalysisResult {
  bool analysed = false;  // false until the first analysis: every field shows "---"
  bool dynamic = false;   // the measuring method the values were taken with
  int subtitles = 0, lines = 0, words = 0, characters = 0;
  int too_long = 0, too_short = 0, empty = 0, too_fast = 0;
  // Extremes with the row that holds them; -1 when no row qualified.
  int longest_line = 0, longest_line_row = -1;
  int shortest_line = 99999, shortest_line_row = -1;
  double longest_duration = -99999, shortest_duration = 99999;
  int longest_duration_row = -1, shortest_duration_row = -1;
  std::vector<int> flags;  // RowErrorFlags, one per subtitle
  int current_row = -1;    // the first flagged subtitle, -1 when none
};

AnalysisResult RunAnalysis(const SubtitleDocument& doc, const AnalysisOptions& options,
                           const AppSettings& app, TextMeasurer* measurer);

// The result fields: subtitles, lines, words, characters, too long lines, too short durations,
// empty subs, longest line, shortest line, longest duration, shortest duration, and the subtitles
// read too fast ("Too fast:"), which came last.
inline constexpr int kAnalysisFields = 12;
inline constexpr int kTooFastField = 11;
std::array<std::u16string, kAnalysisFields> AnalysisFieldTexts(const AnalysisResult& result);

// Every problem of a row as a message line ("NO ERRORS ;-)" when none); the too-long message
// measures the row again with the given options. Empty when row or flags do not fit the document.
std::vector<std::u16string> RowMessages(const SubtitleDocument& doc, const std::vector<int>& flags,
                                        int row, const AnalysisOptions& options,
                                        const AppSettings& app, TextMeasurer* measurer);

// Words of a line as the statistics count them.
int CountWords(std::u16string_view line);

// Navigation over the flags from the current row c; each returns the new current row.
int NextFlagged(const std::vector<int>& flags, int c);
int PreviousFlagged(const std::vector<int>& flags, int c);
int FirstFlagged(const std::vector<int>& flags, int c);
int LastFlagged(const std::vector<int>& flags, int c);

}  // namespace tessera
