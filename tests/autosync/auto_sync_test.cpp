// The fitting rules on generated timelines: offset, rate, splits, refusal, and what applying keeps.
#include "autosync/auto_sync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "core/text_util.h"
#include "core/time_code.h"
#include "tests/autosync/talk_sound.h"

namespace tessera {
namespace {

// A film's worth of subtitles from a seed: durations 1-4 s, gaps 0.3-6 s.
SubtitleDocument MakeFilm(uint32_t seed, int count, double first = 20) {
  SubtitleDocument doc;
  testing::SeededFractions next(seed);
  double t = first;
  for (int i = 0; i < count; ++i) {
    const double d = 1 + 3 * next();
    doc.AddRow(FormatTimeText(t), FormatTimeText(t + d), u"line " + FromUtf8(std::to_string(i)));
    t += d + 0.3 + 5.7 * next();
  }
  return doc;
}

// Speech as a detector would find it in the film: a little inside each subtitle, with a few
// false blips between them.
SyncTimeline SpeechOf(const SubtitleDocument& truth) {
  SubtitleDocument speech;
  for (int i = 0; i < truth.Count(); ++i) {
    const double s = truth.Time(i, kStart), e = truth.Time(i, kEnd);
    speech.AddRow(FormatTimeText(s + 0.05), FormatTimeText(std::max(s + 0.3, e - 0.25)));
    if (i % 7 == 3) speech.AddRow(FormatTimeText(e + 0.2), FormatTimeText(e + 0.5));
  }
  SyncTimeline t = SubtitleTimeline(speech);
  t.resize(t.size() + 3000, 0.0f);  // closing credits
  return t;
}

// The input: the truth with row r's times t made (t - offset(r)) / ratio.
SubtitleDocument Distort(const SubtitleDocument& truth, double ratio,
                         const std::vector<std::pair<int, double>>& offsets) {
  SubtitleDocument doc;
  for (int i = 0; i < truth.Count(); ++i) {
    double off = 0;
    for (const auto& [row, o] : offsets)
      if (row <= i) off = o;
    doc.AddRow(FormatTimeText((truth.Time(i, kStart) - off) / ratio),
               FormatTimeText((truth.Time(i, kEnd) - off) / ratio), truth.Line(i, 0));
  }
  return doc;
}

double WorstStartError(const SubtitleDocument& fitted, const SubtitleDocument& truth) {
  double worst = 0;
  for (int i = 0; i < truth.Count(); ++i)
    worst = std::max(worst, std::fabs(fitted.Time(i, kStart) - truth.Time(i, kStart)));
  return worst;
}

struct FitCase {
  const char* name;
  int rate;  // index into kSyncRates
  std::vector<std::pair<int, double>> offsets;
  bool splits;
  size_t segments;  // expected
};

class FitTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitTest, FindsTheDistortion) {
  const FitCase& c = GetParam();
  const SubtitleDocument truth = MakeFilm(7, 150, 40);
  SubtitleDocument doc = Distort(truth, kSyncRates[c.rate].Ratio(), c.offsets);
  SyncFitOptions options;
  options.splits = c.splits;
  const SyncFit fit = FitSubtitles(doc, SpeechOf(truth), options);
  ASSERT_TRUE(fit.accepted) << fit.score;
  EXPECT_EQ(fit.rate, c.rate);
  EXPECT_EQ(fit.segments.size(), c.segments);
  ApplyFit(doc, fit);
  EXPECT_LT(WorstStartError(doc, truth), 0.06);
  EXPECT_GT(fit.score, 0.6);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitTest,
    ::testing::Values(FitCase{"NothingToDo", 0, {{0, 0.0}}, true, 1},
                      FitCase{"Later", 0, {{0, 3.7}}, true, 1},
                      FitCase{"SoonerByMinutes", 0, {{0, -312.45}}, true, 1},
                      FitCase{"Rate25To23976", 1, {{0, 1.2}}, true, 1},
                      FitCase{"Rate23976To24", 6, {{0, -0.8}}, true, 1},
                      FitCase{"OneSplit", 0, {{0, 2.0}, {80, 32.5}}, true, 2},
                      FitCase{
                          "TwoSplitsAndARate", 3, {{0, -5.0}, {50, 60.0}, {110, 20.0}}, true, 3},
                      FitCase{"NoSplitsWhenOneOffsetServes", 2, {{0, 9.99}}, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FitTest, NoSplitsKeepsOneOffsetOnASplitFile) {
  const SubtitleDocument truth = MakeFilm(11, 120);
  SubtitleDocument doc = Distort(truth, 1, {{0, 0.0}, {100, 40.0}});
  SyncFitOptions options;
  options.splits = false;
  const SyncFit fit = FitSubtitles(doc, SpeechOf(truth), options);
  ASSERT_EQ(fit.segments.size(), 1u);
  // The first hundred rows outweigh the rest.
  EXPECT_NEAR(fit.segments[0].offset, 0.0, 0.06);
}

TEST(FitTest, AnotherFilmIsRefused) {
  const SubtitleDocument other = MakeFilm(99, 150, 40);
  const SyncFit fit = FitSubtitles(other, SpeechOf(MakeFilm(7, 150, 40)));
  EXPECT_FALSE(fit.accepted) << fit.score << " " << fit.segments.size();
  EXPECT_LT(fit.score, SyncFitOptions{}.min_score);
}

TEST(FitTest, NoSpeechOrNoSubtitlesFitsNothing) {
  const SubtitleDocument film = MakeFilm(7, 30);
  EXPECT_FALSE(FitSubtitles(film, SyncTimeline(60000, 0.0f)).accepted);
  EXPECT_FALSE(FitSubtitles(film, SyncTimeline{}).accepted);
  EXPECT_FALSE(FitSubtitles(SubtitleDocument{}, SpeechOf(film)).accepted);
}

TEST(FitTest, ProgressCanCancel) {
  const SubtitleDocument film = MakeFilm(7, 100);
  bool asked = false;
  const SyncFit fit = FitSubtitles(film, SpeechOf(film), {}, [&](double f) {
    asked = true;
    EXPECT_GE(f, 0.0);
    EXPECT_LE(f, 1.0);
    return false;
  });
  EXPECT_TRUE(asked);
  EXPECT_TRUE(fit.cancelled);
  EXPECT_FALSE(fit.accepted);
}

TEST(ApplyFitTest, KeepsCountOrderAndTextsAndNeverGoesNegative) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"a", u"b", u"c");
  doc.AddRow(u"0:00:05.000", u"0:00:06.500", u"d");
  doc.AddRow(u"0:00:08.000", u"0:00:09.000", u"e");
  doc.AddRow(u"0:00:20.000", u"0:00:21.000", u"f");
  SyncFit fit;
  fit.segments = {{0, -3.0}, {3, -20.0}};  // the second part jumps back over the first
  ApplyFit(doc, fit);
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(doc.Start(0), u"0:00:00.000");
  EXPECT_EQ(doc.End(0), u"0:00:01.000");
  EXPECT_EQ(doc.Start(1), u"0:00:02.000");
  EXPECT_EQ(doc.Line(0, 2), u"c");
  for (int i = 1; i < doc.Count(); ++i) EXPECT_GE(doc.Time(i, kStart), doc.Time(i - 1, kStart));
  for (int i = 0; i < doc.Count(); ++i) {
    EXPECT_GE(doc.Time(i, kStart), 0.0);
    EXPECT_GE(doc.Time(i, kEnd), doc.Time(i, kStart));
  }
  EXPECT_EQ(doc.Line(3, 0), u"f");
}

TEST(DescribeFitTest, TheLogLine) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:01.000", u"0:00:02.000");
  doc.AddRow(u"0:06:40.000", u"0:06:42.000");
  SyncFit fit;
  fit.rate = 1;
  fit.score = 0.912;
  fit.segments = {{0, 3.7}, {1, 5.0}};
  // 400 s x 25 / 23.976 + 5 s = 422.083 s
  EXPECT_EQ(ToUtf8(DescribeFit(doc, fit)),
            "Offset +3.700 s, rate 25 -> 23.976, 1 split at 0:07:02.083, score 0.91.");
  fit.rate = 0;
  fit.segments = {{0, -0.25}};
  EXPECT_EQ(ToUtf8(DescribeFit(doc, fit)), "Offset -0.250 s, rate none, no splits, score 0.91.");
}

}  // namespace
}  // namespace tessera
