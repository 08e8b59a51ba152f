#include <algorithm>

#include "check/fix_errors.h"
#include "core/text_util.h"

namespace tessera {
namespace {

constexpr char16_t kSection[] = u"Settings";

// The check boxes with their keys and defaults (the mirrored values and numbers apart).
struct BoolKey {
  const char16_t* key;
  int FixErrorsOptions::*field;
  int default_value;
};

constexpr BoolKey kBoolKeys[] = {
    {u"Fix overlap", &FixErrorsOptions::fix_overlap, 1},
    {u"Remove trailing dashes", &FixErrorsOptions::remove_trailing_dashes, 1},
    {u"Remove space after trailing dashes", &FixErrorsOptions::fix_dash_format, 1},
    {u"Separate 3th Line", &FixErrorsOptions::separate_third_line, 1},
    {u"RemoveCredits", &FixErrorsOptions::remove_credits, 1},
    {u"RemoveOCRErrors", &FixErrorsOptions::correct_ocr, 1},
    {u"RemoveLineSeparators", &FixErrorsOptions::remove_line_separators, 1},
    {u"SplitLineSeparators", &FixErrorsOptions::split_line_separators, 1},
    {u"Check for empty strings", &FixErrorsOptions::remove_empty, 1},
    {u"Remove Format Tags", &FixErrorsOptions::remove_format_tags, 1},
    {u"Fix commas", &FixErrorsOptions::fix_commas, 0},
    {u"Exclamation Marks", &FixErrorsOptions::exclamation_marks, 1},
    {u"Check fur duplicates", &FixErrorsOptions::remove_duplicates, 0},
    {u"Fix Invalid Times", &FixErrorsOptions::fix_invalid_times, 1},
    {u"Fix Numbers", &FixErrorsOptions::fix_numbers, 1},
    {u"Join Subs", &FixErrorsOptions::join_lines, 1},
    {u"Fix time in between", &FixErrorsOptions::fix_time_between, 0},
    {u"Fix short duration", &FixErrorsOptions::fix_short_duration, 1},
    {u"Smart Duration", &FixErrorsOptions::smart_duration, 1},
    {u"WarnShortDuration", &FixErrorsOptions::warn_short_duration, 1},
    {u"WarnLongDuration", &FixErrorsOptions::warn_long_duration, 1},
    {u"Replace Single Quotes", &FixErrorsOptions::fix_quotes, 1},
    {u"Remove Unnessecary Spaces", &FixErrorsOptions::remove_spaces, 1},
    {u"Add Missing Spaces", &FixErrorsOptions::add_spaces, 1},
    {u"Fix tripple periods", &FixErrorsOptions::fix_triple_periods, 1},
    {u"Fix Too Long Subs", &FixErrorsOptions::split_too_long, 1},
};

// Check boxes hold 0 or 1 whatever the file says.
int Flag(int v) {
  return v != 0 ? 1 : 0;
}

}  // namespace

void LoadFixErrorsOptions(SettingsStore& store, const AppSettings& app, FixErrorsOptions& o,
                          bool read_add_points) {
  for (const BoolKey& k : kBoolKeys)
    o.*k.field = Flag(store.GetInt(kSection, k.key, k.default_value));
  o.add_points = read_add_points ? Flag(store.GetInt(kSection, u"Add Points", 0)) : 0;
  o.spaces_after_dash = std::max(0, store.GetInt(kSection, u"number of spaces after dash", 1));
  o.min_time_between = ToReal(store.GetString(kSection, u"Min Time Between Subs", u"0.100"));
  o.warn_short_duration_ms = store.GetInt(kSection, u"WarnShortDurationTime", 500);
  o.warn_long_duration_ms = store.GetInt(kSection, u"WarnLongDurationTime", 10000);
  o.triple_periods_mode = std::clamp(store.GetInt(kSection, u"tripple periods mode", 1), 0, 3);
  o.split_method = store.GetInt(kSection, u"SplitMethod", 0) == 1 ? 1 : 0;
  o.minimum_duration = app.minimum_duration;
  o.smart_seconds = app.smart_seconds;
  o.max_number_characters = app.max_number_characters;
}

void WriteFixErrorsOptions(SettingsStore& store, const FixErrorsOptions& o, AppSettings& app) {
  for (const BoolKey& k : kBoolKeys) store.WriteInt(kSection, k.key, o.*k.field);
  // Written from the same box as the tag repair; nothing reads it.
  store.WriteInt(kSection, u"Fix long duration", o.remove_format_tags);
  store.WriteInt(kSection, u"Add Points", o.add_points);
  store.WriteInt(kSection, u"number of spaces after dash", o.spaces_after_dash);
  store.WriteString(kSection, u"Min Time Between Subs", Format("%0.3f", o.min_time_between));
  store.WriteInt(kSection, u"WarnShortDurationTime", o.warn_short_duration_ms);
  store.WriteInt(kSection, u"WarnLongDurationTime", o.warn_long_duration_ms);
  store.WriteInt(kSection, u"tripple periods mode", o.triple_periods_mode);
  store.WriteInt(kSection, u"SplitMethod", o.split_method);
  app.minimum_duration = o.minimum_duration;
  app.smart_seconds = o.smart_seconds;
  app.max_number_characters = o.max_number_characters;
}

void SelectAllRepairs(FixErrorsOptions& o, int on) {
  const int v = Flag(on);
  for (int FixErrorsOptions::*f :
       {&FixErrorsOptions::fix_overlap,         &FixErrorsOptions::remove_trailing_dashes,
        &FixErrorsOptions::fix_dash_format,     &FixErrorsOptions::add_points,
        &FixErrorsOptions::separate_third_line, &FixErrorsOptions::remove_credits,
        &FixErrorsOptions::correct_ocr,         &FixErrorsOptions::remove_line_separators,
        &FixErrorsOptions::remove_empty,        &FixErrorsOptions::remove_format_tags,
        &FixErrorsOptions::fix_time_between,    &FixErrorsOptions::fix_short_duration,
        &FixErrorsOptions::fix_quotes,          &FixErrorsOptions::remove_spaces,
        &FixErrorsOptions::add_spaces,          &FixErrorsOptions::fix_triple_periods,
        &FixErrorsOptions::split_too_long,      &FixErrorsOptions::fix_commas,
        &FixErrorsOptions::remove_duplicates,   &FixErrorsOptions::exclamation_marks,
        &FixErrorsOptions::fix_invalid_times,   &FixErrorsOptions::fix_numbers,
        &FixErrorsOptions::join_lines}) {
    o.*f = v;
  }
}

}  // namespace tessera
