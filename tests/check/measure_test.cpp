#include "check/measure.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "check/text_measurer_qt.h"
#include "fake_measurer.h"

namespace tessera {
namespace {

TEST(Measure, FixedMethodCountsCharacters) {
  testing::FakeMeasurer fake;
  LineMeasure m(&fake, AppSettings{}, kSplitFixed, 12);
  EXPECT_EQ(m.LineLimit(), 12);
  EXPECT_TRUE(m.Fits(u"Hello there!"));
  EXPECT_FALSE(m.Fits(u"Hello there!!"));
  EXPECT_EQ(fake.calls, 0);
  EXPECT_FALSE(LineMeasure(&fake, AppSettings{}, kSplitFixed, 0).LimitReachable());
  EXPECT_TRUE(LineMeasure(&fake, AppSettings{}, kSplitFixed, 1).LimitReachable());
}

TEST(Measure, DynamicMethodAddsDotsAndScales) {
  testing::FakeMeasurer fake;
  AppSettings app;
  app.font_name = u"Liberation Serif";
  app.font_bold = 0;
  app.width_factor = 1.25;
  app.screen_width = 640;
  app.left_margin = 10;
  LineMeasure m(&fake, app, kSplitDynamic, 50);
  EXPECT_EQ(m.LineLimit(), 605);
  EXPECT_EQ(fake.last_font.face, u"Liberation Serif");
  EXPECT_FALSE(fake.last_font.bold);
  const int calls = fake.calls;
  // (70 + 30) x 1.25 = 125; the weight leaves out "...": 87.5 -> 87.
  EXPECT_EQ(m.LineExtent(u"abcdefg"), 125);
  EXPECT_EQ(m.Weight(u"abcdefg"), 87);
  EXPECT_EQ(m.MeasureTextWidth(u""), 0);
  EXPECT_EQ(fake.calls, calls + 2);  // "..." is measured once, the empty text never
  app.screen_width = 60;             // 25 pixels left, less than the 37 of "..."
  EXPECT_FALSE(LineMeasure(&fake, app, kSplitDynamic, 50).LimitReachable());
}

TEST(Measure, QtMeasurerMeasuresRealFonts) {
  static int argc = 1;
  static char name[] = "test_check";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QGuiApplication> app;
  if (!QGuiApplication::instance()) app = std::make_unique<QGuiApplication>(argc, argv);
  QtTextMeasurer qt;
  FontSpec font;                                              // Arial 23 points, bold
  EXPECT_EQ(QtTextMeasurer::MakeFont(font).pixelSize(), 31);  // at 96 dots per inch
  const int wide = qt.MeasureWidth(u"WWWWWWWWWW", font);
  EXPECT_GT(wide, qt.MeasureWidth(u"iiiiiiiiii", font));
  FontSpec bigger = font;
  bigger.point_size = 46;
  EXPECT_GT(qt.MeasureWidth(u"WWWWWWWWWW", bigger), wide);

  LineMeasure m(&qt, AppSettings{}, kSplitDynamic, 50);
  EXPECT_TRUE(m.Fits(u"Where are you going?"));
  EXPECT_FALSE(m.Fits(std::u16string(60, u'W')));
  EXPECT_EQ(m.LineExtent(u"abc"), qt.MeasureWidth(u"abc", font) + qt.MeasureWidth(u"...", font));
}

}  // namespace
}  // namespace tessera
