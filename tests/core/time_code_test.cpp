#include "core/time_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/text_util.h"

namespace tessera {
namespace {

TEST(TimeCode, ParsesEveryFormAndItsOddities) {
  const struct {
    const char16_t* text;
    double seconds;
  } cases[] = {
      {u"0:00:01.234", 1.2345},    {u"00:00:01,5", 1.5005},       {u"0:00:01.50", 1.5005},
      {u"0:00:01.045", 1.0455},    {u"0:00:01.2349", 1.2345},  // at most three fraction digits
      {u"1:02:03.400", 3723.4005}, {u"25:00:00.000", 90000.0005}, {u"", 0.0005},
      {u"1:30", 5401.0005},  // one ":": the seconds field starts at the beginning again
      {u"5", 18305.0005},    // no ":": hours, minutes and seconds at once
      {u":01:02", 62.0005},  // a leading ":" still has an hour field
      {u"x:y:z", 0.0005},
  };
  for (const auto& c : cases) EXPECT_NEAR(ParseTimeText(c.text), c.seconds, 1e-9) << ToUtf8(c.text);
}

TEST(TimeCode, FormatsTruncatingWithoutCarryingIntoTheNextSecond) {
  const struct {
    double seconds;
    int form;
    const char16_t* text;
  } cases[] = {
      {1.2345, kCanonicalForm, u"0:00:01.234"},
      {1.2345, kSubRipForm, u"00:00:01,234"},
      {1.2345, kSsaForm, u"0:00:01.23"},
      {1.999, kSsaForm, u"0:00:01.99"},
      {3599.9996, kCanonicalForm, u"0:59:59.999"},
      {3600, kCanonicalForm, u"1:00:00.000"},
      {90000, kCanonicalForm, u"25:00:00.000"},
      {90000, kSubRipForm, u"25:00:00,000"},
      {360000, kSubRipForm, u"100:00:00,000"},
      {0, 7, u"0:00:00.000"},  // every other code is the canonical form
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatTimeText(c.seconds, c.form), c.text) << c.seconds << " form " << c.form;
}

TEST(TimeCode, NegativeAndNonFiniteTimesAreWrittenAsZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {-0.0004, -1.5, -3600.0, -inf, nan}) {
    EXPECT_EQ(FormatTimeText(x, kCanonicalForm), u"0:00:00.000") << x;
    EXPECT_EQ(FormatTimeText(x, kSubRipForm), u"00:00:00,000") << x;
    EXPECT_EQ(FormatTimeText(x, kSsaForm), u"0:00:00.00") << x;
  }
  EXPECT_FALSE(FormatTimeText(inf).empty());
}

TEST(TimeCode, ParseThenFormatGivesTheSameTextForEveryMillisecond) {
  for (int ms = 0; ms < 4 * 3600 * 1000; ms += 997) {
    std::u16string canonical =
        Format("%d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    ASSERT_EQ(FormatTimeText(ParseTimeText(canonical)), canonical);
  }
}

TEST(TimeCode, TheUsualFormsReadExactlyAsTheGeneralReadingDoes) {
  // A trailing "x" sends the same text through the general reading.
  for (int ms = 0; ms < 30 * 3600 * 1000; ms += 7919) {
    const int h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60, f = ms % 1000;
    for (const std::u16string& text :
         {Format("%d:%02d:%02d.%03d", h, m, s, f), Format("%02d:%02d:%02d,%03d", h, m, s, f),
          Format("%d:%02d:%02d.%02d", h, m, s, f / 10), Format("%d:%02d:%02d", h, m, s),
          Format("%d:%02d:%02d,%d", h, m, s, f / 100)})
      ASSERT_EQ(ParseTimeOffset(text), ParseTimeOffset(text + u"x")) << ToUtf8(text);
  }
}

TEST(TimeCode, TimeTextsInAnotherFormAreWhatParsingAndFormattingGive) {
  std::vector<std::u16string> texts = {
      u"0:75:00.000", u"00:00:60,000", u"100:00:00,000", u"1:02:03.4567", u"1:02:03",
      u" 1:02:03.456", u"1:02:03.45x", u"01:02:03.", u"1:2:03.400", u"", u"x",
      // Each field of the copied forms a little off.
      u"0:60:00.000", u"0:00:60.000", u"0:0a:00.000", u"0:00:00:000", u"0-00:00.000", u"00:00:00,",
      u"00:00:00,1234", u"00:00:00,1x", u"x0:00:00,100", u"0x:00:00,100", u"000:00:00,100",
      u"99:59:59,999", u"1:02:03.4", u"1:02:03,45"};
  for (int ms = 0; ms < 100 * 3600 * 1000; ms += 3593) {
    const int h = ms / 3600000, m = ms / 60000 % 60, s = ms / 1000 % 60, f = ms % 1000;
    texts.push_back(Format("%d:%02d:%02d.%03d", h, m, s, f));
    texts.push_back(Format("%02d:%02d:%02d,%03d", h, m, s, f));
    texts.push_back(Format("%d:%02d:%02d.%02d", h, m, s, f / 10));
    texts.push_back(Format("%d:%02d:%02d,%d", h, m, s, f / 100));
  }
  for (const auto& text : texts)
    for (int form : {kSubRipForm, kSsaForm, kCanonicalForm})
      ASSERT_EQ(TimeTextAs(text, form), FormatTimeText(ParseTimeText(text), form))
          << ToUtf8(text) << " form " << form;
}

TEST(TimeCode, ClocksGiveBackTheirCanonicalTextsExactly) {
  std::vector<int64_t> clocks = {0, 999, 3599999, 359999999, 360000000, 99999999LL * 3600000 + 1};
  for (int64_t ms = 0; ms < 120 * 3600 * 1000LL; ms += 3593) clocks.push_back(ms);
  for (int64_t clock : clocks) {
    char16_t buf[kMaxTimeText];
    const std::u16string text(buf, WriteClockText(buf, clock));
    ASSERT_EQ(text, FormatTimeText(ParseTimeText(text))) << clock;
    ASSERT_EQ(CanonicalClock(text), clock) << ToUtf8(text);
    ASSERT_EQ(TimeTextClock(text), clock) << ToUtf8(text);
    ASSERT_EQ(TimeClock(ParseTimeText(text)), clock) << ToUtf8(text);
    // The same double, to the last bit, as reading the text.
    ASSERT_EQ(ClockSeconds(clock), ParseTimeText(text)) << ToUtf8(text);
    for (int form : {kSubRipForm, kSsaForm, kCanonicalForm})
      ASSERT_EQ(std::u16string(buf, WriteClockText(buf, clock, form)), TimeTextAs(text, form))
          << ToUtf8(text) << " form " << form;
  }
}

TEST(TimeCode, OnlyCanonicalTextsHaveAClock) {
  for (const char16_t* text :
       {u"", u"0:00:01", u"0:00:01.00", u"0:00:01.0000", u"00:00:01.000", u"0:00:01,000",
        u"0:60:00.000", u"0:00:60.000", u"-0:00:01.000", u" 0:00:01.000", u"0:00:01.000 ",
        u"0:0a:01.000", u"012:00:00.000", u"123456789:00:00.000", u"0:00:01.00x"})
    EXPECT_EQ(CanonicalClock(text), -1) << ToUtf8(text);
  // Every other text is read into the clock of its canonical text.
  for (const char16_t* text : {u"00:00:01,5", u"1:02:03.45", u"0:75:00.000", u"1:2:03.400", u"x",
                               u"", u"00:00:00,1234", u"100:00:00,000"})
    EXPECT_EQ(TimeTextClock(text), CanonicalClock(TimeTextAs(text))) << ToUtf8(text);
  for (double seconds : {-1.0, 0.0, 1e-9, 0.9995, 59.99999, 1e12, 1e20, std::nan(""), HUGE_VAL})
    EXPECT_EQ(TimeClock(seconds), CanonicalClock(FormatTimeText(seconds))) << seconds;
}

TEST(TimeCode, DurationTextsShowTheSecondsWithinTheMinute) {
  const struct {
    const char16_t *start, *end;
    const char *list, *fix, *seconds, *milliseconds;
  } cases[] = {
      {u"0:00:01.000", u"0:00:13.500", "12.500", "12.500", "12", "500"},
      {u"0:00:01.000", u"0:00:01.800", "00.800", "0.800", " 0", "800"},
      {u"0:00:00.000", u"0:01:15.250", "15.250", "15.250", "15", "250"},
      {u"1:00:00.000", u"3:00:02.007", "02.007", "2.007", " 2", "007"},
      // An end before the start: the lists show zero, the displays keep the sign.
      {u"0:00:05.000", u"0:00:02.500", "00.000", "0.000", "-2", "500"},
  };
  for (const auto& c : cases) {
    const double d = ParseTimeText(c.end) - ParseTimeText(c.start);
    EXPECT_EQ(ToUtf8(DurationText(c.start, c.end)), c.list) << c.list;
    EXPECT_EQ(ToUtf8(DurationText(d, DurationForm::kLeadingZeroDropped)), c.fix) << c.list;
    const TimeDisplayTexts t = TimeDisplay(c.start, c.end);
    EXPECT_EQ(t.start, c.start);
    EXPECT_EQ(ToUtf8(t.seconds), c.seconds) << c.list;
    EXPECT_EQ(ToUtf8(t.milliseconds), c.milliseconds) << c.list;
  }
}

}  // namespace
}  // namespace tessera
