// The Fix Errors run: its options, its working table and the run over a whole document.
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

class LanguageTable;
struct CheckLists;

// One field per control of the Fix Errors page; all 0/1 unless said otherwise.
struct FixErrorsOptions {
  int fix_overlap = 1;
  int remove_trailing_dashes = 1;
  int fix_dash_format = 1;
  int spaces_after_dash = 1;  // whole number, at least 0
  int separate_third_line = 1;
  int remove_credits = 1;
  int correct_ocr = 1;
  int remove_line_separators = 1;
  int split_line_separators = 1;
  int remove_empty = 1;
  int remove_format_tags = 1;
  int fix_commas = 0;
  int add_points = 0;
  int exclamation_marks = 1;
  int remove_duplicates = 0;
  int fix_invalid_times = 1;
  int fix_numbers = 1;
  int join_lines = 1;
  int fix_time_between = 0;
  double min_time_between = 0.100;  // seconds
  int fix_short_duration = 1;
  double minimum_duration = 2.000;  // mirrors the global "Minimum Duration"
  int smart_duration = 1;
  double smart_seconds = 0.085;  // mirrors the global "Smart Seconds"
  int warn_short_duration = 1;
  int warn_short_duration_ms = 500;
  int warn_long_duration = 1;
  int warn_long_duration_ms = 10000;
  int fix_quotes = 1;
  int remove_spaces = 1;
  int add_spaces = 1;
  int fix_triple_periods = 1;
  int triple_periods_mode = 1;  // 0..3
  int split_too_long = 1;
  int split_method = 0;            // 0 dynamic, 1 fixed number of characters
  int max_number_characters = 50;  // mirrors the global "MaxNumberCharacters"
};

// Every option of the page with its key in section "Settings", its default, its field, the
// LanguageTable id of its label and the object name of its control. The three values mirrored
// from the global settings are rows of their own; "Fix long duration" (written with the tag
// repair's value) and "Add Points" (never read by the page) are write-only.
const OptionTable<FixErrorsOptions>& FixErrorsBindings();
// Reads the options as the page does when it is created: the page's keys from the store, the
// three mirrored values from `app`.
FixErrorsOptions LoadFixErrorsOptions(const SettingsStore& store, const AppSettings& app);
// Writes every key of the page (as on close) and copies the mirrored values into `app`.
void SaveFixErrorsOptions(SettingsStore& store, AppSettings& app, const FixErrorsOptions& options);
// "Select All" / "Select None": every repair on or off, the rest untouched.
void SelectAllRepairs(FixErrorsOptions& options, int on);

// Columns of the working table.
enum FixColumn : int {
  kFixNr = 0,
  kFixStart = 1,
  kFixEnd = 2,
  kFixDuration = 3,
  kFixLine1 = 4,      // lines 1..3: kFixLine1 + k, k = 0..2
  kFixStartTag1 = 7,  // start tag of line k: kFixStartTag1 + 2k, stop tag: kFixStopTag1 + 2k
  kFixStopTag1 = 8,
  kFixColumnCount = 13,
};

// The run's working copy of the document, one row per subtitle, thirteen text columns.
// Rows are kept in a gap buffer: the run inserts and removes only near the row it is at, so
// each such change costs constant time instead of moving the whole tail.
class FixWorkTable {
 public:
  using Row = std::array<std::u16string, kFixColumnCount>;

  int Count() const { return static_cast<int>(rows_.size() - GapSize()); }
  bool IsRow(int row) const { return row >= 0 && row < Count(); }

  std::u16string& Cell(int row, int column) { return rows_[Phys(row)][column]; }
  const std::u16string& Cell(int row, int column) const { return rows_[Phys(row)][column]; }
  // k: 0, 1 or 2 for lines 1, 2 and 3.
  std::u16string& Line(int row, int k) { return Cell(row, kFixLine1 + k); }
  const std::u16string& Line(int row, int k) const { return Cell(row, kFixLine1 + k); }
  std::u16string& StartTag(int row, int k) { return Cell(row, kFixStartTag1 + 2 * k); }
  std::u16string& StopTag(int row, int k) { return Cell(row, kFixStopTag1 + 2 * k); }
  const std::u16string& StartTag(int row, int k) const { return Cell(row, kFixStartTag1 + 2 * k); }
  const std::u16string& StopTag(int row, int k) const { return Cell(row, kFixStopTag1 + 2 * k); }

  // Times in seconds (parsed from the canonical text) and written back in the canonical form.
  double StartSeconds(int row) const;
  double EndSeconds(int row) const;
  void SetStartSeconds(int row, double seconds);
  void SetEndSeconds(int row, double seconds);
  // Recomputes the duration column from the two times.
  void UpdateDuration(int row);

  // An empty row at `index` (0..Count()); rows from there move down.
  void InsertRow(int index);
  void RemoveRow(int index);
  void Clear();

  // Number, times, duration and lines from the document; tag columns empty.
  void FillFrom(const SubtitleDocument& doc);
  // Empties the document's text columns and appends every row's times and lines.
  void WriteTo(SubtitleDocument& doc) const;

 private:
  size_t GapSize() const { return gap_end_ - gap_begin_; }
  size_t Phys(int row) const {
    size_t r = static_cast<size_t>(row);
    return r < gap_begin_ ? r : r + GapSize();
  }
  void MoveGap(size_t pos);

  std::vector<Row> rows_;
  size_t gap_begin_ = 0;
  size_t gap_end_ = 0;
};

// The services and lists one run needs. `lists` and `language` may be null (no lists; the
// built-in English texts).
struct FixRunServices {
  const AppSettings* app = nullptr;
  const CheckLists* lists = nullptr;
  const LanguageTable* language = nullptr;
  TextMeasurer* measurer = nullptr;  // required for the dynamic measuring method
  Prompter* prompter = nullptr;
  ProgressSink* progress = nullptr;
};

// The check box of every duration warning of a run; ticked, the run shows no more of them.
inline constexpr char16_t kDontWarnAgain[] = u"Don't warn again during this run";

// What the run ended with.
enum FixRunResult : int { kFixRunDone = 1, kFixRunStopped = 0 };

// Runs every selected repair over the document, logs the counts and replaces the document's
// rows with the result (changed flag set, selection cleared). `table` is the page's working
// table: filled from the document when `fill_table` is set, and left holding the result.
int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services, FixWorkTable& table, bool fill_table = true);
// The same with a table of its own.
int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services);

}  // namespace tessera
