// The options of the Fix Errors run: one field per control of the Fix Errors page, bound to its
// settings key, default and control by one table.
#pragma once

#include "core/app_settings.h"
#include "core/option_binding.h"
#include "core/settings_store.h"

namespace tessera {

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

}  // namespace tessera
