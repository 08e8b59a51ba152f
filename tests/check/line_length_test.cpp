#include "check/line_length.h"

#include <gtest/gtest.h>

#include <random>

#include "core/time_code.h"
#include "fake_measurer.h"

namespace tessera {
namespace {

using testing::FakeMeasurer;

struct Sub {
  double start, end;
  std::u16string l1 = {}, l2 = {}, l3 = {};
};

FixWorkTable Table(const std::vector<Sub>& subs) {
  SubtitleDocument doc;
  for (const Sub& s : subs)
    doc.AddRow(FormatTimeText(s.start), FormatTimeText(s.end), s.l1, s.l2, s.l3);
  FixWorkTable t;
  t.FillFrom(doc);
  return t;
}

LineMeasure Fixed(int limit) {
  return LineMeasure(nullptr, AppSettings{}, kSplitFixed, limit);
}

TEST(JoinShortLines, Rules) {
  struct Case {
    std::u16string l1, l2;
    bool joined;
    std::u16string result;
  } cases[] = {
      {u"Where are", u"you going?", true, u"Where are you going?"},
      {u"Where are  ", u"  you going?", true, u"Where are you going?"},
      {u"STOP", u"THERE", false, u""},
      {u"STOP", u"there", true, u"STOP there"},
      {u"Yes,", u"sure", false, u""},
      {u"Really?", u"yes", false, u""},
      {u"Hello", u"- Hi", false, u""},
      {u"Hello", u"", false, u""},
      // 25 + 1 + 24 = 50: the joined line must stay below the limit.
      {std::u16string(25, u'a'), std::u16string(24, u'b'), false, u""},
      {std::u16string(25, u'a'), std::u16string(23, u'b'), true,
       std::u16string(25, u'a') + u" " + std::u16string(23, u'b')},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table({{1, 3, c.l1, c.l2, u"third"}});
    EXPECT_EQ(JoinShortLines(t, 0, Fixed(50)), c.joined) << std::string(c.l1.begin(), c.l1.end());
    if (c.joined) {
      EXPECT_EQ(t.Line(0, 0), c.result);
      EXPECT_EQ(t.Line(0, 1), u"");
    } else {
      EXPECT_EQ(t.Line(0, 0), c.l1);  // the trimming is not written back
      EXPECT_EQ(t.Line(0, 1), c.l2);
    }
    EXPECT_EQ(t.Line(0, 2), u"third");
  }
}

TEST(JoinShortLines, TagsOfTheSecondLine) {
  FixWorkTable t = Table({{1, 3, u"Where are", u"you going?"}});
  t.StartTag(0, 0) = u"<i>";
  t.StartTag(0, 1) = u"<b>";
  t.StopTag(0, 1) = u"</i>";
  ASSERT_TRUE(JoinShortLines(t, 0, Fixed(50)));
  EXPECT_EQ(t.StartTag(0, 0), u"<i>");
  EXPECT_EQ(t.StopTag(0, 0), u"</i>");
  EXPECT_EQ(t.StartTag(0, 1), u"");
  EXPECT_EQ(t.StopTag(0, 1), u"");
}

TEST(SeparateThreeLines, SharesTimeByCharacters) {
  FixWorkTable t = Table({{10, 14, std::u16string(10, u'a'), std::u16string(10, u'b'),
                           u"- " + std::u16string(20, u'c')},
                          {20, 22, u"next"}});
  t.StartTag(0, 2) = u"<i>";
  t.StopTag(0, 2) = u"</i>";
  bool stay = false, changed = false;
  ASSERT_TRUE(SeparateThreeLines(t, 0, Fixed(50), 0.100, 0.085, stay, changed));
  EXPECT_TRUE(stay);
  EXPECT_TRUE(changed);
  ASSERT_EQ(t.Count(), 3);
  EXPECT_EQ(t.Line(0, 2), u"");
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.950");
  EXPECT_EQ(t.Cell(1, kFixNr), u"dummy");
  EXPECT_EQ(t.Line(1, 0), std::u16string(20, u'c'));
  EXPECT_EQ(t.Cell(1, kFixStart), u"0:00:12.050");
  EXPECT_EQ(t.Cell(1, kFixEnd), u"0:00:14.000");
  EXPECT_EQ(t.Cell(1, kFixDuration), u"1.950");
  EXPECT_EQ(t.StartTag(1, 0), u"<i>");
  EXPECT_EQ(t.StopTag(1, 0), u"</i>");
  EXPECT_EQ(t.StartTag(0, 2), u"");
  EXPECT_EQ(t.Line(2, 0), u"next");
}

TEST(SeparateThreeLines, TotalDuration) {
  // 40 characters need 3.4 s but the subtitle lasts 2 s.
  const std::u16string ten(10, u'x'), twenty(20, u'z');
  struct Case {
    const char* name;
    std::vector<Sub> subs;
    const char16_t* end_of_new;
  } cases[] = {
      {"next far away", {{10, 12, ten, ten, twenty}, {20, 21, u"n"}}, u"0:00:13.400"},
      {"last row", {{10, 12, ten, ten, twenty}}, u"0:00:13.400"},
      {"next too close", {{10, 12, ten, ten, twenty}, {13, 14, u"n"}}, u"0:00:12.900"},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table(c.subs);
    bool stay = false, changed = false;
    ASSERT_TRUE(SeparateThreeLines(t, 0, Fixed(50), 0.100, 0.085, stay, changed)) << c.name;
    EXPECT_EQ(t.Cell(1, kFixEnd), c.end_of_new) << c.name;
  }
}

TEST(SeparateThreeLines, WeightsAndEdgeCases) {
  bool stay = false, changed = false;
  // Only a lone dash: no weight at all, so the time is halved.
  FixWorkTable t = Table({{10, 14, u"", u"", u"-"}});
  ASSERT_TRUE(SeparateThreeLines(t, 0, Fixed(50), 0.100, 0.085, stay, changed));
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.950");
  EXPECT_EQ(t.Cell(1, kFixStart), u"0:00:12.050");
  EXPECT_EQ(t.Line(1, 0), u"");

  // Dynamic weights are pixel widths: 'W' counts double here.
  FakeMeasurer fake;
  LineMeasure dynamic(&fake, AppSettings{}, kSplitDynamic, 50);
  t = Table({{10, 14, u"WWWWW", u"", u"aaaaaaaaaa"}});
  ASSERT_TRUE(SeparateThreeLines(t, 0, dynamic, 0.100, 0.085, stay, changed));
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.950");

  stay = changed = false;
  t = Table({{10, 14, u"one", u"two", u""}});
  EXPECT_FALSE(SeparateThreeLines(t, 0, Fixed(50), 0.100, 0.085, stay, changed));
  EXPECT_FALSE(stay);
  EXPECT_EQ(t.Count(), 1);
}

TEST(SplitTooLong, TwoLinesTimeShared) {
  // 20 + 20 characters over 4 s, limit 15, the first ending with a comma.
  const std::u16string u = std::u16string(19, u'a') + u",";
  const std::u16string v(20, u'b');
  FixWorkTable t = Table({{10, 14, u, v}});
  t.StartTag(0, 0) = u"<i>";
  t.StopTag(0, 1) = u"</i>";
  bool stay = false, changed = false;
  ASSERT_TRUE(SplitTooLong(t, 0, Fixed(15), 0.100, stay, changed));
  EXPECT_TRUE(changed);
  ASSERT_EQ(t.Count(), 2);
  EXPECT_EQ(t.Cell(1, kFixNr), u"quux was here");
  EXPECT_EQ(t.Line(1, 0), v);
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.950");
  EXPECT_EQ(t.Cell(1, kFixStart), u"0:00:12.050");
  EXPECT_EQ(t.Cell(1, kFixEnd), u"0:00:14.000");
  // The first line (no "..." after the comma) was also too long, so it was broken.
  EXPECT_EQ(t.Line(0, 0) + t.Line(0, 1), u);
  // A closing tag on line 2 only: both parts get the pair.
  EXPECT_EQ(t.StartTag(1, 0), u"<i>");
  EXPECT_EQ(t.StopTag(1, 0), u"</i>");
  EXPECT_EQ(t.StartTag(0, 0), u"<i>");
  EXPECT_EQ(t.StopTag(0, 1), u"</i>");  // moved with the broken line 1
}

TEST(SplitTooLong, ShortFirstPartGetsOneSecond) {
  FixWorkTable t = Table({{10, 14, u"No.", u"- " + std::u16string(37, u'x')}});
  bool stay = false, changed = false;
  ASSERT_TRUE(SplitTooLong(t, 0, Fixed(30), 0.100, stay, changed));
  EXPECT_FALSE(stay);
  EXPECT_EQ(t.Line(0, 0), u"No.");
  EXPECT_EQ(t.Line(1, 0), std::u16string(37, u'x'));
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.000");
  EXPECT_EQ(t.Cell(1, kFixStart), u"0:00:11.100");
}

TEST(SplitTooLong, DotsWhenTheSentenceGoesOn) {
  FixWorkTable t = Table({{10, 14, u"I think", u"that this line is far too long"}});
  bool stay = false, changed = false;
  ASSERT_TRUE(SplitTooLong(t, 0, Fixed(20), 0.100, stay, changed));
  EXPECT_EQ(t.Line(0, 0), u"I think...");
  EXPECT_EQ(t.Line(1, 0), u"that this line is far too long");
  // r = 10 / 40: first = 0.9 < 1 and rest = 3.0 > 2, so the first part gets 1 second.
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.000");
  // No dots before a capital.
  t = Table({{10, 14, u"I think", u"That this line is far too long"}});
  ASSERT_TRUE(SplitTooLong(t, 0, Fixed(20), 0.100, stay, changed));
  EXPECT_EQ(t.Line(0, 0), u"I think");
}

TEST(SplitTooLong, BreaksOneLongLine) {
  FixWorkTable t = Table({{10, 14, u"aaaa " + std::u16string(14, u'b')}});
  t.StopTag(0, 0) = u"</i>";
  bool stay = false, changed = false;
  ASSERT_TRUE(SplitTooLong(t, 0, Fixed(10), 0.100, stay, changed));
  EXPECT_TRUE(stay);  // the fixed method always looks again
  EXPECT_FALSE(changed);
  EXPECT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Line(0, 0), u"aaaa bbbb");
  EXPECT_EQ(t.Line(0, 1), std::u16string(10, u'b'));
  EXPECT_EQ(t.StopTag(0, 0), u"");
  EXPECT_EQ(t.StopTag(0, 1), u"</i>");

  struct Case {
    std::u16string line, first, second;
  } cases[] = {
      {u"one two three four five six", u"one two three", u"four five six"},
      // Tie between the two spaces: the left one wins.
      {u"aa bbb cc", u"aa", u"bbb cc"},
      {u"abcdefghijkl", u"abcdef", u"ghijkl"},
  };
  for (const Case& c : cases) {
    t = Table({{10, 14, c.line}});
    ASSERT_TRUE(SplitTooLong(t, 0, Fixed(8), 0.100, stay, changed));
    EXPECT_EQ(t.Line(0, 0), c.first);
    EXPECT_EQ(t.Line(0, 1), c.second);
  }
}

TEST(SplitTooLong, DynamicStaysOnlyWhileTooLong) {
  FakeMeasurer fake;
  AppSettings app;
  app.screen_width = 200;
  app.left_margin = app.right_margin = 0;  // limit 200: 17 characters with "..."
  LineMeasure m(&fake, app, kSplitDynamic, 50);
  FixWorkTable t = Table({{10, 14, u"aaaaaaaaaa bbbbbbbbbb"}});
  bool stay = false, changed = false;
  ASSERT_TRUE(SplitTooLong(t, 0, m, 0.100, stay, changed));
  EXPECT_FALSE(stay);
  t = Table({{10, 14, std::u16string(40, u'a')}});
  ASSERT_TRUE(SplitTooLong(t, 0, m, 0.100, stay, changed));
  EXPECT_TRUE(stay);
  stay = false;
  t = Table({{10, 14, u"short"}});
  EXPECT_FALSE(SplitTooLong(t, 0, m, 0.100, stay, changed));
  EXPECT_FALSE(stay);
}

// Runs the split repair as the row loop does. Returns false when it did not come to an end.
bool RunSplits(FixWorkTable& t, const LineMeasure& m) {
  int n = 0;
  for (int steps = 0; steps < 100000; ++steps) {
    if (n >= t.Count()) return true;
    bool stay = false, changed = false;
    SplitTooLong(t, n, m, 0.100, stay, changed);
    if (!stay) ++n;
  }
  return false;
}

std::u16string Letters(const FixWorkTable& t) {
  std::u16string s;
  for (int n = 0; n < t.Count(); ++n)
    for (int k = 0; k < 3; ++k)
      for (char16_t c : t.Line(n, k))
        if (c != u' ' && c != u'.') s.push_back(c);
  return s;
}

TEST(SplitTooLong, UnbreakableLinesEnd) {
  // A single character wider than the limit is left as it is.
  FakeMeasurer fake;
  fake.wide = 700;
  LineMeasure dynamic(&fake, AppSettings{}, kSplitDynamic, 50);
  FixWorkTable t = Table({{10, 14, u"W"}, {15, 16, u"ab", u"W"}});
  ASSERT_TRUE(RunSplits(t, dynamic));
  EXPECT_EQ(Letters(t), u"WabW");

  // A limit below one character: nothing is split.
  t = Table({{10, 14, u"abcdef", u"ghi"}});
  ASSERT_TRUE(RunSplits(t, Fixed(0)));
  EXPECT_EQ(t.Count(), 1);
  EXPECT_EQ(t.Line(0, 0), u"abcdef");

  // Below the width of "...": nothing fits, nothing is split.
  AppSettings narrow;
  narrow.screen_width = 70;
  LineMeasure tiny(&fake, narrow, kSplitDynamic, 50);
  t = Table({{10, 14, u"abc def"}});
  ASSERT_TRUE(RunSplits(t, tiny));
  EXPECT_EQ(t.Line(0, 0), u"abc def");

  // Small limits where the "..." added would be broken off and added again.
  for (int limit : {1, 2, 3}) {
    t = Table({{10, 14, u"abcdefgh", u"ijk lmnop"}});
    ASSERT_TRUE(RunSplits(t, Fixed(limit))) << limit;
    EXPECT_EQ(Letters(t), u"abcdefghijklmnop");
  }
}

TEST(SplitTooLong, RandomLinesEndAndFitWithoutLoss) {
  std::mt19937 rng(7);
  const std::u16string alphabet = u"abcdeXYZ ,.-!?";
  for (int round = 0; round < 300; ++round) {
    const int limit = 1 + static_cast<int>(rng() % 30);
    std::vector<Sub> subs;
    std::u16string letters;
    for (int r = 0; r < 3; ++r) {
      Sub s{10.0 * r, 10.0 * r + 4, u"", u"", u""};
      for (std::u16string* line : {&s.l1, &s.l2}) {
        const int len = static_cast<int>(rng() % 90);
        for (int i = 0; i < len; ++i) line->push_back(alphabet[rng() % alphabet.size()]);
      }
      subs.push_back(s);
    }
    FixWorkTable t = Table(subs);
    const std::u16string before = Letters(t);
    ASSERT_TRUE(RunSplits(t, Fixed(limit))) << "limit " << limit;
    // Only dashes opening a second line may go.
    std::u16string a = before, b = Letters(t);
    std::erase(a, u'-');
    std::erase(b, u'-');
    EXPECT_EQ(a, b);
    if (limit >= 6) {
      for (int n = 0; n < t.Count(); ++n)
        for (int k = 0; k < 2; ++k) EXPECT_LE(t.Line(n, k).size(), static_cast<size_t>(limit) + 3);
    }
  }
}

}  // namespace
}  // namespace tessera
