#include "check/check_controls.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/text_util.h"

namespace tessera {
namespace {

TEST(NumberFields, TakeOnlyWholeTextsOfTheirKind) {
  const struct {
    const char16_t* text;
    std::optional<int> whole;
    std::optional<double> real;
  } cases[] = {
      {u"12", 12, 12.0},
      {u" -3 ", -3, -3.0},
      {u"+4", 4, 4.0},
      {u"0.5", std::nullopt, 0.5},
      {u".5", std::nullopt, 0.5},
      {u"5.", std::nullopt, 5.0},
      {u"1e3", std::nullopt, 1000.0},
      {u"", std::nullopt, std::nullopt},
      {u"-", std::nullopt, std::nullopt},
      {u".", std::nullopt, std::nullopt},
      {u"0,5", std::nullopt, std::nullopt},
      {u"1 2", std::nullopt, std::nullopt},
      {u"2s", std::nullopt, std::nullopt},
      {u"1e", std::nullopt, std::nullopt},
      {u"inf", std::nullopt, std::nullopt},
      {u"0x10", std::nullopt, std::nullopt},
      {u"1e999", std::nullopt, std::nullopt},
      {u"99999999999", std::nullopt, 99999999999.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.text));
    EXPECT_EQ(ParseWholeNumber(c.text), c.whole);
    EXPECT_EQ(ParseRealNumber(c.text), c.real);
  }
  EXPECT_EQ(ToUtf8(RealNumberText(0.1)), "0.100");
}

TEST(ArrowControls, StepByOneAndStopAtZeroWithABeep) {
  const struct {
    int value;
    bool up;
    int result;
    bool beep;
  } cases[] = {{0, true, 1, false},    {5, false, 4, false},
               {1, false, 0, false},   {0, false, 0, true},
               {-3, true, 0, true},    {-3, false, 0, true},
               {99, true, 100, false}, {INT_MAX, true, INT_MAX, false}};
  for (const auto& c : cases) {
    bool beep = !c.beep;
    EXPECT_EQ(ArrowStep(c.value, c.up, beep), c.result) << c.value << (c.up ? " up" : " down");
    EXPECT_EQ(beep, c.beep) << c.value;
  }
}

TEST(FixErrorsControls, EnablingRules) {
  using O = FixErrorsOptions;
  const struct {
    const char* control;
    int O::*option;
    int O::*other;                        // a second option the rule reads, or null
    bool on_on, on_off, off_on, off_off;  // enabled with (option, other) on/off
  } rules[] = {
      {"smartDuration", &O::fix_short_duration, nullptr, true, true, false, false},
      {"secondsPerCharacter", &O::fix_short_duration, &O::smart_duration, true, false, false,
       false},
      {"minimumDuration", &O::smart_duration, &O::fix_short_duration, false, false, true, true},
      {"triplePeriodsMode", &O::fix_triple_periods, nullptr, true, true, false, false},
      {"splitMethod", &O::split_too_long, nullptr, true, true, false, false},
      {"fixedCount", &O::split_too_long, nullptr, true, true, false, false},
      {"splitLineSeparators", &O::remove_line_separators, nullptr, true, true, false, false},
      {"spacesAfterDash", &O::fix_dash_format, nullptr, true, true, false, false},
      {"addPoints", &O::add_points, nullptr, false, false, false, false},
      {"fixOverlap", &O::fix_overlap, nullptr, true, true, true, true},
  };
  for (const auto& r : rules) {
    const bool expected[2][2] = {{r.on_on, r.on_off}, {r.off_on, r.off_off}};
    for (int a = 0; a < 2; ++a) {
      for (int b = 0; b < 2; ++b) {
        O o;
        o.*r.option = 1 - a;
        if (r.other) o.*r.other = 1 - b;
        EXPECT_EQ(FixErrorsControlEnabled(o, r.control), expected[a][b])
            << r.control << " " << a << b;
      }
    }
  }
  EXPECT_FALSE(FixErrorsControlEnabled(FixErrorsOptions{}, "preset"));
}

}  // namespace
}  // namespace tessera
