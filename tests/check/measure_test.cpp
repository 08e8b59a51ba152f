#include "check/measure.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "check/text_measurer_qt.h"
#include "fake_measurer.h"

namespace tessera {
namespace {

using testing::FakeMeasurer;

TEST(Measure, FixedMethodCountsCharacters) {
  FakeMeasurer fake;
  AppSettings app;
  LineMeasure m(&fake, app, kSplitFixed, 12);
  EXPECT_FALSE(m.Dynamic());
  EXPECT_EQ(m.LineLimit(), 12);
  EXPECT_EQ(m.LineExtent(u"Hello there!"), 12);
  EXPECT_TRUE(m.Fits(u"Hello there!"));
  EXPECT_FALSE(m.Fits(u"Hello there!!"));
  EXPECT_EQ(m.Weight(u"abc"), 3);
  EXPECT_EQ(fake.calls, 0);
}

TEST(Measure, DynamicMethodAddsDotsAndScales) {
  FakeMeasurer fake;
  AppSettings app;
  app.font_name = u"Liberation Serif";
  app.font_size = 30;
  app.font_bold = 0;
  app.width_factor = 1.25;
  LineMeasure m(&fake, app, kSplitDynamic, 50);
  EXPECT_TRUE(m.Dynamic());
  EXPECT_EQ(m.LineLimit(), 670);
  EXPECT_EQ(fake.last_font.face, u"Liberation Serif");
  EXPECT_EQ(fake.last_font.point_size, 30);
  EXPECT_FALSE(fake.last_font.bold);
  const int after_dots = fake.calls;
  // (70 + 30) x 1.25 = 125; (10 + 30) x 1.25 = 50; weight 7 x 10 x 1.25 = 87.5 -> 87.
  EXPECT_EQ(m.LineExtent(u"abcdefg"), 125);
  EXPECT_EQ(m.LineExtent(u"a"), 50);
  EXPECT_EQ(m.Weight(u"abcdefg"), 87);
  EXPECT_EQ(m.MeasureTextWidth(u""), 0);
  EXPECT_EQ(m.Weight(u""), 0);
  // "..." was measured once, in the constructor; the empty text is never measured.
  EXPECT_EQ(fake.calls, after_dots + 3);
}

TEST(Measure, DynamicLimitIsScreenMinusMargins) {
  FakeMeasurer fake;
  AppSettings app;
  app.screen_width = 640;
  app.left_margin = 10;
  app.right_margin = 30;
  LineMeasure m(&fake, app, kSplitDynamic, 50);
  EXPECT_EQ(m.LineLimit(), 600);
  // 64 characters + "..." = 670 > 600; 57 + 3 = 600 fits.
  EXPECT_FALSE(m.Fits(std::u16string(64, u'a')));
  EXPECT_TRUE(m.Fits(std::u16string(57, u'a')));
  EXPECT_FALSE(m.Fits(std::u16string(58, u'a')));
}

TEST(Measure, DynamicWithoutMeasurerCountsCharacters) {
  AppSettings app;
  LineMeasure m(nullptr, app, kSplitDynamic, 40);
  EXPECT_FALSE(m.Dynamic());
  EXPECT_EQ(m.LineLimit(), 40);
}

TEST(Measure, LimitsNothingCanFitUnder) {
  FakeMeasurer fake;
  AppSettings app;
  EXPECT_FALSE(LineMeasure(&fake, app, kSplitFixed, 0).LimitReachable());
  EXPECT_FALSE(LineMeasure(&fake, app, kSplitFixed, -3).LimitReachable());
  EXPECT_TRUE(LineMeasure(&fake, app, kSplitFixed, 1).LimitReachable());
  app.screen_width = 79;  // 79 - 50 = 29, below the 30 pixels of "..."
  EXPECT_FALSE(LineMeasure(&fake, app, kSplitDynamic, 50).LimitReachable());
  app.screen_width = 80;
  EXPECT_TRUE(LineMeasure(&fake, app, kSplitDynamic, 50).LimitReachable());
}

// Font metrics need an application object; another test may have made one already.
void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_check";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
}

TEST(Measure, QtMeasurerMeasuresRealFonts) {
  EnsureApp();
  QtTextMeasurer qt;
  FontSpec font;  // the default subtitle font: Arial 23 points, bold
  EXPECT_EQ(QtTextMeasurer::MakeFont(font).pixelSize(), 31);  // 23 x 96 / 72
  EXPECT_EQ(qt.MeasureWidth(u"", font), 0);
  const int wide = qt.MeasureWidth(u"WWWWWWWWWW", font);
  const int narrow = qt.MeasureWidth(u"iiiiiiiiii", font);
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, narrow);
  EXPECT_EQ(qt.MeasureWidth(u"WWWWWWWWWW", font), wide);
  FontSpec regular = font;
  regular.bold = false;
  EXPECT_LE(qt.MeasureWidth(u"WWWWWWWWWW", regular), wide);
  FontSpec bigger = font;
  bigger.point_size = 46;
  EXPECT_GT(qt.MeasureWidth(u"WWWWWWWWWW", bigger), wide);

  // A line of 60 capitals does not fit the default 670 pixels, a short one does.
  AppSettings app;
  LineMeasure m(&qt, app, kSplitDynamic, 50);
  EXPECT_TRUE(m.Fits(u"Where are you going?"));
  EXPECT_FALSE(m.Fits(std::u16string(60, u'W')));
  EXPECT_EQ(m.LineExtent(u"abc"), qt.MeasureWidth(u"abc", font) + qt.MeasureWidth(u"...", font));
}

}  // namespace
}  // namespace tessera
