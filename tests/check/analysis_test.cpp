#include "check/analysis.h"

#include <gtest/gtest.h>

#include "check/measure.h"
#include "core/time_code.h"
#include "fake_measurer.h"

namespace tessera {
namespace {

using testing::FakeMeasurer;

void Add(SubtitleDocument& doc, double s, double e, std::u16string l1, std::u16string l2 = {},
         std::u16string l3 = {}) {
  doc.AddRow(FormatTimeText(s), FormatTimeText(e), std::move(l1), std::move(l2), std::move(l3));
}

AnalysisOptions Fixed(int count, int items = 31) {
  AnalysisOptions o;
  o.split_method = kSplitFixed;
  o.fixed_count = count;
  o.items = items;
  return o;
}

TEST(Analysis, CountsWords) {
  struct Case {
    std::u16string line;
    int words;
  } cases[] = {{u"- Hi there", 3}, {u"Hi  there", 2}, {u"Hi - there", 2}, {u"", 0},
               {u"Hi", 1},         {u" Hi", 1},       {u"Hi   there", 2}, {u"a - - b", 2}};
  for (const Case& c : cases)
    EXPECT_EQ(CountWords(c.line), c.words) << std::string(c.line.begin(), c.line.end());
}

TEST(Analysis, CountsFlagsAndExtremes) {
  SubtitleDocument doc;
  Add(doc, 1, 3.9, u"Hello there", u"General Kenobi");                       // fine
  Add(doc, 4, 8, u"This line is much longer than twenty");                   // too long, overlaps
  Add(doc, 7.5, 8, u"Ten chars.", u"Ten chars.", u"third line is ignored");  // too short
  Add(doc, 9, 10, u"", u"", u"");                                            // empty
  Add(doc, 11, 14, u"It cost 11 997 euro");                                  // number
  // Long enough for lines 1 and 2 (1.7 s); line 3 plays no part in the duration.
  Add(doc, 15, 16.75, u"Ten chars.", u"Ten chars.", u"fifteen letters");
  AppSettings app;
  AnalysisResult r = RunAnalysis(doc, Fixed(20), app, nullptr);
  EXPECT_EQ(r.subtitles, 6);
  EXPECT_EQ(r.lines, 10);
  EXPECT_EQ(r.words, 2 + 2 + 7 + 2 + 2 + 4 + 5 + 6);
  EXPECT_EQ(r.characters, 11 + 14 + 36 + 10 + 10 + 21 + 19 + 35);
  EXPECT_EQ(r.too_long, 2);  // the third line counts for length
  EXPECT_EQ(r.too_short, 1);
  EXPECT_EQ(r.empty, 1);
  EXPECT_EQ(r.flags, (std::vector<int>{0, kFlagTooLong | kFlagOverlap, kFlagTooLong | kFlagTooShort,
                                       kFlagEmpty, kFlagNumbers, 0}));
  EXPECT_EQ(r.current_row, 1);
  EXPECT_EQ(r.longest_line, 36);
  EXPECT_EQ(r.longest_line_row, 1);
  EXPECT_EQ(r.shortest_line, 10);
  EXPECT_EQ(r.shortest_line_row, 2);  // the first of equal values keeps the record
  EXPECT_EQ(r.longest_duration_row, 1);
  EXPECT_EQ(r.shortest_duration_row, 2);

  auto texts = AnalysisFieldTexts(r);
  EXPECT_EQ(texts[0], u"6");
  EXPECT_EQ(texts[6], u"1");
  EXPECT_EQ(texts[7], u"Line 2 has 36 characters.");
  EXPECT_EQ(texts[8], u"Line 3 has 10 characters.");
  EXPECT_EQ(texts[9], u"Line 2 is displayed for 4.000 seconds.");
  EXPECT_EQ(texts[10], u"Line 3 is displayed for 0.500 seconds.");

  // Only the checks asked for set flags; the statistics stay.
  AnalysisResult some = RunAnalysis(doc, Fixed(20, kCheckEmpty | kCheckOverlap), app, nullptr);
  EXPECT_EQ(some.flags, (std::vector<int>{0, kFlagOverlap, 0, kFlagEmpty, 0, 0}));
  EXPECT_EQ(some.too_long, 0);
  EXPECT_EQ(some.words, r.words);
}

TEST(Analysis, DynamicMeasuringLeavesOutTheDots) {
  FakeMeasurer fake;
  AppSettings app;
  AnalysisOptions o;  // dynamic by default
  SubtitleDocument doc;
  // 67 characters are 670 pixels: not too long here, although the repair adds "...".
  Add(doc, 0, 10, std::u16string(67, u'a'));
  Add(doc, 20, 30, std::u16string(34, u'W'));
  AnalysisResult r = RunAnalysis(doc, o, app, &fake);
  EXPECT_EQ(r.flags, (std::vector<int>{0, kFlagTooLong}));
  EXPECT_FALSE(LineMeasure(&fake, app, kSplitDynamic, 50).Fits(doc.Line(0, 0)));
  auto texts = AnalysisFieldTexts(r);
  EXPECT_EQ(texts[7], u"Line 2 is 680 pixels wide with the current font settings.");
  EXPECT_EQ(texts[8], u"Line 1 is 670 pixels wide with the current font settings.");
  auto messages = RowMessages(doc, r.flags, 1, o, app, &fake);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], u"ERROR: One or more lines are too long: 680 pixels.");
}

TEST(Analysis, EmptyDocumentAndBeforeAnyAnalysis) {
  AnalysisResult before;
  for (const auto& t : AnalysisFieldTexts(before)) EXPECT_EQ(t, u"---");
  SubtitleDocument doc;
  AnalysisResult r = RunAnalysis(doc, Fixed(50), AppSettings{}, nullptr);
  auto texts = AnalysisFieldTexts(r);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(texts[k], u"0");
  for (int k = 7; k < 11; ++k) EXPECT_EQ(texts[k], u"---");
  EXPECT_EQ(r.current_row, -1);
  // Only empty lines: no longest or shortest line to show.
  Add(doc, 1, 3, u"");
  texts = AnalysisFieldTexts(RunAnalysis(doc, Fixed(50), AppSettings{}, nullptr));
  EXPECT_EQ(texts[7], u"---");
  EXPECT_EQ(texts[8], u"---");
  EXPECT_EQ(texts[9], u"Line 1 is displayed for 2.000 seconds.");
}

TEST(Analysis, MessagesInOrder) {
  SubtitleDocument doc;
  Add(doc, 0, 3, u"12 345 and far too long a line");
  Add(doc, 2, 4, u"fine");
  const AnalysisOptions o = Fixed(10);
  const AppSettings app;
  std::vector<int> flags = {31, 0};
  auto m = RowMessages(doc, flags, 0, o, app, nullptr);
  EXPECT_EQ(m, (std::vector<std::u16string>{
                   u"ERROR: One or more lines are too long: 30 characters.",
                   u"ERROR: Time is overlapping the next subtitle.",
                   u"ERROR: Subtitle is shown too short.", u"ERROR: Subtitle is empty.",
                   u"ERROR: Invalid displayed number."}));
  EXPECT_EQ(RowMessages(doc, flags, 1, o, app, nullptr),
            (std::vector<std::u16string>{u"NO ERRORS ;-)"}));
  EXPECT_TRUE(RowMessages(doc, flags, -1, o, app, nullptr).empty());
  EXPECT_TRUE(RowMessages(doc, flags, 2, o, app, nullptr).empty());
  EXPECT_TRUE(RowMessages(doc, {1}, 0, o, app, nullptr).empty());
}

TEST(Analysis, Navigation) {
  const std::vector<int> flags = {0, 4, 0, 1, 0};
  struct Case {
    int (*move)(const std::vector<int>&, int);
    int from, to;
  } cases[] = {
      {NextFlagged, -1, 1},    {NextFlagged, 1, 3},       {NextFlagged, 3, 3},
      {NextFlagged, 4, 4},     {PreviousFlagged, 4, 3},   {PreviousFlagged, 3, 1},
      {PreviousFlagged, 1, 1}, {PreviousFlagged, -1, -1}, {FirstFlagged, 4, 1},
      {FirstFlagged, -1, 1},   {LastFlagged, 0, 3},       {LastFlagged, -1, 3},
  };
  for (const Case& c : cases) EXPECT_EQ(c.move(flags, c.from), c.to) << c.from;
  EXPECT_EQ(PreviousFlagged({2, 0}, -1), 0);

  // Nothing flagged (as before any analysis): every move keeps the current row.
  const std::vector<int> none(4, 0);
  for (auto move : {NextFlagged, PreviousFlagged, FirstFlagged, LastFlagged}) {
    EXPECT_EQ(move(none, 2), 2);
    EXPECT_EQ(move(none, -1), -1);
    EXPECT_EQ(move({}, -1), -1);
  }
}

}  // namespace
}  // namespace tessera
