// Reading speed of subtitles and the Analyze page's "Reading speed" check.
#include <gtest/gtest.h>

#include "check/analysis.h"
#include "check/measure.h"
#include "check/reading_speed.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

TEST(ReadingSpeed, CountsVisibleCharactersOfAllLinesPerSecond) {
  const struct {
    testing::TimedRow row;
    const char* shown;
  } cases[] = {
      {{1, 3, "0123456789"}, "5.0"},
      {{1, 3, "<i>0123456789</i>"}, "5.0"},
      {{1, 3, "{\\an8}{\\i1}01234{\\i0}", "56789"}, "5.0"},
      {{0, 1, "one", "two", "three"}, "11.0"},  // three lines, breaks not counted
      {{0, 1.5, "a\\Nb", "<font color=\"red\">c</font>"}, "2.0"},
      {{0, 3, "<3 a < b"}, "2.7"},  // no tags: all eight count
      {{1, 1, "zero"}, "-"},
      {{2, 1, "negative"}, "-"},
      {{1, 2}, "0.0"},
  };
  for (const auto& c : cases) {
    const SubtitleDocument doc = testing::MakeDocument(std::vector<testing::TimedRow>{c.row});
    EXPECT_EQ(ToUtf8(ReadingSpeedText(ReadingSpeed(doc, 0))), c.shown) << c.row.line1;
  }
  EXPECT_EQ(ReadingSpeed(SubtitleDocument{}, 0), std::nullopt);
  // The mark agrees with the number shown.
  EXPECT_FALSE(IsTooFast(17.04, 17));
  EXPECT_TRUE(IsTooFast(17.05, 17));
  EXPECT_FALSE(IsTooFast(std::nullopt, 5));
}

TEST(ReadingSpeed, AnalysisFlagsCountsAndExplainsTooFastSubtitles) {
  SubtitleDocument doc = testing::MakeDocument(std::vector<testing::TimedRow>{
      {0, 1, "Far too many words for one second"},  // 33 characters
      {2, 5, "Fine"},
      {6, 6, "Zero duration"},
  });
  AppSettings app;
  AnalysisOptions options;
  options.split_method = kSplitFixed;
  options.items = kCheckSpeed;
  AnalysisResult r = RunAnalysis(doc, options, app, nullptr);
  EXPECT_EQ(r.flags, (std::vector<int>{kFlagTooFast, 0, 0}));
  EXPECT_EQ(r.too_fast, 1);
  EXPECT_EQ(AnalysisFieldTexts(r)[kTooFastField], u"1");
  EXPECT_EQ(RowMessages(doc, r.flags, 0, options, app, nullptr),
            std::vector<std::u16string>{u"ERROR: Too fast: 33.0 characters per second"});

  app.max_cps = 40;
  EXPECT_EQ(RunAnalysis(doc, options, app, nullptr).too_fast, 0);
  options.items = kCheckEmpty;
  app.max_cps = 5;
  EXPECT_EQ(RunAnalysis(doc, options, app, nullptr).too_fast, 0);
  EXPECT_NE(AnalysisOptions{}.items & kCheckSpeed, 0);  // on for a new user
}

}  // namespace
}  // namespace tessera
