#include "tools/frame_rate.h"

#include <cmath>
#include <limits>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::LogLines;
using testing::MakeDocument;
using testing::ScriptedPrompter;
using testing::StartOf;

TEST(FrameRate, ConvertsEveryTimeAndLogs) {
  SubtitleDocument doc = MakeDocument({{60, 62, "One"}, {70, 71}});
  doc.SetCell(0, kLine3, u"third");
  ScriptedPrompter prompter;
  ASSERT_TRUE(RunFrameRateConversion(doc, 25, 23.976, prompter));
  EXPECT_EQ(StartOf(doc, 0), "0:01:02.563");
  EXPECT_EQ(doc.Count(), 2);
  EXPECT_EQ(doc.Line(0, 2), u"third");
  EXPECT_TRUE(doc.Changed());
  EXPECT_TRUE(doc.FrameRateConverted());
  EXPECT_EQ(LogLines(doc),
            (std::vector<std::string>{"Converting Framerate from 25.000 to 23.976...", "Done."}));
}

TEST(FrameRate, RoundTripStaysWithinAMillisecond) {
  SubtitleDocument doc;
  for (int i = 0; i < 500; ++i)
    doc.AddRow(FormatTimeText(i * 7.321), FormatTimeText(i * 7.321 + 1.5));
  SubtitleDocument original = doc;
  ConvertFrameRate(doc, 23.976, 25);
  ConvertFrameRate(doc, 25, 23.976);
  for (int row = 0; row < doc.Count(); ++row)
    for (int column : {kStart, kEnd})
      EXPECT_NEAR(ParseTimeText(doc.Cell(row, column)), ParseTimeText(original.Cell(row, column)),
                  0.0011)
          << row;
}

TEST(FrameRate, StandardAndCustomChoices) {
  double from = 0, to = 0;
  ChosenFrameRates({}, from, to);
  EXPECT_EQ(from, 23.976);
  EXPECT_EQ(to, 25.0);
  ChosenFrameRates({false, 2, 0, {}, {}}, from, to);
  EXPECT_EQ(from, 29.97);
  EXPECT_EQ(to, 23.976);
  ChosenFrameRates({true, 0, 1, u"30", u"abc"}, from, to);
  EXPECT_EQ(from, 30.0);
  EXPECT_EQ(to, 0.0);
}

TEST(FrameRate, RatesThatAreNotPositiveAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (auto [from, to] :
       {std::pair{0.0, 25.0}, {25.0, 0.0}, {-25.0, 23.976}, {25.0, nan}, {inf, 25.0}}) {
    SubtitleDocument doc = MakeDocument({{60, 62}});
    ScriptedPrompter prompter;
    prompter.ExpectMessage("ERROR: Enter two frame rates greater than 0.");
    EXPECT_FALSE(RunFrameRateConversion(doc, from, to, prompter));
    EXPECT_EQ(StartOf(doc, 0), "0:01:00.000");
    EXPECT_FALSE(doc.Changed());
    EXPECT_FALSE(doc.FrameRateConverted());
    ASSERT_EQ(doc.Log().Size(), 1);
    EXPECT_EQ(ToUtf8(doc.Log().Lines()[0]), "ERROR: Enter two frame rates greater than 0.");
  }
}

}  // namespace
}  // namespace tessera
