#include "check/fix_errors_options.h"
#include "core/option_binding.h"

namespace tessera {
namespace {

constexpr std::u16string_view kSettings = u"Settings";

OptionTable<FixErrorsOptions> MakeBindings() {
  using O = FixErrorsOptions;
  auto key = [](std::u16string_view name) { return OptionKey{kSettings, name}; };
  // In the order the keys are written.
  return {
      FlagOption(key(u"Fix overlap"), &O::fix_overlap, 1, 1307, "fixOverlap"),
      FlagOption(key(u"Remove trailing dashes"), &O::remove_trailing_dashes, 1, 1308,
                 "removeTrailingDashes"),
      FlagOption(key(u"Remove space after trailing dashes"), &O::fix_dash_format, 1, 1309,
                 "fixDashFormat"),
      FlagOption(key(u"Separate 3th Line"), &O::separate_third_line, 1, 1311, "separateThirdLine"),
      FlagOption(key(u"RemoveCredits"), &O::remove_credits, 1, 1312, "removeCredits"),
      FlagOption(key(u"RemoveOCRErrors"), &O::correct_ocr, 1, 1313, "correctOcr"),
      FlagOption(key(u"RemoveLineSeparators"), &O::remove_line_separators, 1, 1314,
                 "removeLineSeparators"),
      FlagOption(key(u"SplitLineSeparators"), &O::split_line_separators, 1, 1315,
                 "splitLineSeparators"),
      FlagOption(key(u"Check for empty strings"), &O::remove_empty, 1, 1316, "removeEmpty"),
      FlagOption(key(u"Remove Format Tags"), &O::remove_format_tags, 1, 1317, "removeFormatTags"),
      FlagOption(key(u"Fix commas"), &O::fix_commas, 0, 1318, "fixCommas"),
      FlagOption(key(u"Exclamation Marks"), &O::exclamation_marks, 1, 1320, "exclamationMarks"),
      FlagOption(key(u"Check fur duplicates"), &O::remove_duplicates, 0, 1321, "removeDuplicates"),
      FlagOption(key(u"Fix Invalid Times"), &O::fix_invalid_times, 1, 1322, "fixInvalidTimes"),
      FlagOption(key(u"Fix Numbers"), &O::fix_numbers, 1, 1323, "fixNumbers"),
      FlagOption(key(u"Join Subs"), &O::join_lines, 1, 0, "joinLines"),
      FlagOption(key(u"Fix time in between"), &O::fix_time_between, 0, 0, "fixTimeBetween"),
      FlagOption(key(u"Fix short duration"), &O::fix_short_duration, 1, 0, "fixShortDuration"),
      FlagOption(key(u"Smart Duration"), &O::smart_duration, 1, 0, "smartDuration"),
      FlagOption(key(u"WarnShortDuration"), &O::warn_short_duration, 1, 0, "warnShortDuration"),
      FlagOption(key(u"WarnLongDuration"), &O::warn_long_duration, 1, 0, "warnLongDuration"),
      FlagOption(key(u"Replace Single Quotes"), &O::fix_quotes, 1, 0, "fixQuotes"),
      FlagOption(key(u"Remove Unnessecary Spaces"), &O::remove_spaces, 1, 0, "removeSpaces"),
      FlagOption(key(u"Add Missing Spaces"), &O::add_spaces, 1, 0, "addSpaces"),
      FlagOption(key(u"Fix tripple periods"), &O::fix_triple_periods, 1, 0, "fixTriplePeriods"),
      FlagOption(key(u"Fix Too Long Subs"), &O::split_too_long, 1, 0, "splitTooLong"),
      // Written from the same box as the tag repair; nothing reads it.
      WriteOnly(FlagOption(key(u"Fix long duration"), &O::remove_format_tags, 1, 0, "")),
      // The page starts with the box off and never reads the key; the command line does.
      WriteOnly(FlagOption(key(u"Add Points"), &O::add_points, 0, 1319, "addPoints")),
      WholeOption(key(u"number of spaces after dash"), &O::spaces_after_dash, 1, 1310,
                  "spacesAfterDash", 0),
      RealOption(key(u"Min Time Between Subs"), &O::min_time_between, 0.100, 0, "minTimeBetween"),
      MillisecondsOption(key(u"WarnShortDurationTime"), &O::warn_short_duration_ms, 500, 0,
                         "warnShortDurationTime"),
      MillisecondsOption(key(u"WarnLongDurationTime"), &O::warn_long_duration_ms, 10000, 0,
                         "warnLongDurationTime"),
      ChoiceOption(key(u"tripple periods mode"), &O::triple_periods_mode, 1, 3, 0,
                   "triplePeriodsMode"),
      ChoiceOption(key(u"SplitMethod"), &O::split_method, 0, 1, 0, "splitMethod"),
      GlobalOption(key(u"Minimum Duration"), &O::minimum_duration, &AppSettings::minimum_duration,
                   2.000, 0, "minimumDuration"),
      GlobalOption(key(u"Smart Seconds"), &O::smart_seconds, &AppSettings::smart_seconds, 0.085, 0,
                   "secondsPerCharacter"),
      GlobalOption(key(u"MaxNumberCharacters"), &O::max_number_characters,
                   &AppSettings::max_number_characters, 50, 0, "fixedCount"),
  };
}

// Check boxes hold 0 or 1 whatever they are set to.
int Flag(int v) {
  return v != 0 ? 1 : 0;
}

}  // namespace

const OptionTable<FixErrorsOptions>& FixErrorsBindings() {
  static const OptionTable<FixErrorsOptions> table = MakeBindings();
  return table;
}

FixErrorsOptions LoadFixErrorsOptions(const SettingsStore& store, const AppSettings& app) {
  return LoadOptions(FixErrorsBindings(), store, app);
}

void SaveFixErrorsOptions(SettingsStore& store, AppSettings& app, const FixErrorsOptions& options) {
  SaveOptions(FixErrorsBindings(), store, app, options);
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
