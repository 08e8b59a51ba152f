#include "check/line_length.h"

#include <gtest/gtest.h>

#include <random>

#include "core/time_code.h"
#include "fake_measurer.h"

namespace tessera {
namespace {

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
  const std::u16string a25(25, u'a');
  struct Case {
    std::u16string l1, l2, joined;  // joined empty: left as it was
  } cases[] = {
      {u"Where are  ", u"  you going?", u"Where are you going?"},
      {u"STOP", u"THERE", u""},
      {u"STOP", u"there", u"STOP there"},
      {u"Yes,", u"sure", u""},
      {u"Hello", u"- Hi", u""},
      {u"Hello", u"", u""},
      {a25, std::u16string(24, u'b'), u""},  // exactly 50: must stay below the limit
      {a25, std::u16string(23, u'b'), a25 + u" " + std::u16string(23, u'b')},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table({{1, 3, c.l1, c.l2, u"third"}});
    t.StartTag(0, 1) = u"<b>";
    t.StopTag(0, 1) = u"</i>";
    EXPECT_EQ(JoinShortLines(t, 0, Fixed(50)), !c.joined.empty());
    EXPECT_EQ(t.Line(0, 0), c.joined.empty() ? c.l1 : c.joined);
    EXPECT_EQ(t.Line(0, 1), c.joined.empty() ? c.l2 : u"");
    EXPECT_EQ(t.StopTag(0, 0), c.joined.empty() ? u"" : u"</i>");
    EXPECT_EQ(t.StartTag(0, 1), c.joined.empty() ? u"<b>" : u"");
    EXPECT_EQ(t.Line(0, 2), u"third");
  }
}

TEST(SeparateThreeLines, SharesTimeByWeight) {
  const std::u16string ten(10, u'x'), twenty(20, u'z');
  struct Case {
    const char* name;
    std::vector<Sub> subs;
    const char16_t *end, *new_start, *new_end;
  } cases[] = {
      // 40 characters need 3.4 s of the 4: P = 10 + 4 x 20 / 40.
      {"fits",
       {{10, 14, ten, ten, u"- " + twenty}, {20, 22}},
       u"0:00:11.950",
       u"0:00:12.050",
       u"0:00:14.000"},
      // 2 s are too short: the 3.4 s needed are taken when the next one allows it.
      {"next far",
       {{10, 12, ten, ten, twenty}, {20, 21}},
       u"0:00:11.650",
       u"0:00:11.750",
       u"0:00:13.400"},
      {"last row", {{10, 12, ten, ten, twenty}}, u"0:00:11.650", u"0:00:11.750", u"0:00:13.400"},
      {"next close",
       {{10, 12, ten, ten, twenty}, {13, 14}},
       u"0:00:11.400",
       u"0:00:11.500",
       u"0:00:12.900"},
      // No weight at all: half each.
      {"lone dash", {{10, 14, u"", u"", u"-"}}, u"0:00:11.950", u"0:00:12.050", u"0:00:14.000"},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table(c.subs);
    t.StartTag(0, 2) = u"<i>";
    bool stay = false, changed = false;
    ASSERT_TRUE(SeparateThreeLines(t, 0, Fixed(50), 0.100, 0.085, stay, changed)) << c.name;
    EXPECT_TRUE(stay && changed);
    EXPECT_EQ(t.Count(), static_cast<int>(c.subs.size()) + 1);
    EXPECT_EQ(t.Line(0, 2), u"");
    EXPECT_EQ(t.Cell(0, kFixEnd), c.end) << c.name;
    EXPECT_EQ(t.Cell(1, kFixNr), u"dummy");
    EXPECT_EQ(t.Line(1, 0), c.subs[0].l3 == u"-" ? u"" : twenty);
    EXPECT_EQ(t.StartTag(1, 0), u"<i>");
    EXPECT_EQ(t.Cell(1, kFixStart), c.new_start) << c.name;
    EXPECT_EQ(t.Cell(1, kFixEnd), c.new_end) << c.name;
  }
  // Dynamic weights are pixel widths: 'W' counts double here.
  testing::FakeMeasurer fake;
  FixWorkTable t = Table({{10, 14, u"WWWWW", u"", u"aaaaaaaaaa"}});
  bool stay = false, changed = false;
  ASSERT_TRUE(SeparateThreeLines(t, 0, LineMeasure(&fake, AppSettings{}, kSplitDynamic, 50), 0.1,
                                 0.085, stay, changed));
  EXPECT_EQ(t.Cell(0, kFixEnd), u"0:00:11.950");
}

TEST(SplitTooLong, TwoLinesShareTheTime) {
  struct Case {
    std::u16string l1, l2, first, second;
    const char16_t *end, *next_start;
  } cases[] = {
      // 20 + 20 characters over 4 s: first = 1.95, rest = 2.0; no "..." after a comma.
      {std::u16string(9, u'a') + u" bbbbbbbbb,", std::u16string(20, u'c'), u"aaaaaaaaa",
       u"bbbbbbbbb,", u"0:00:11.950", u"0:00:12.050"},
      // first would be 0.25 and rest 3.7: the first part gets 1 second.
      {u"No.", u"- " + std::u16string(37, u'x'), u"No.", u"", u"0:00:11.000", u"0:00:11.100"},
      {u"I think", u"that this line is far too long", u"I think...", u"", u"0:00:11.000",
       u"0:00:11.100"},
      {u"I think", u"That this line is far too long", u"I think", u"", u"0:00:11.000",
       u"0:00:11.100"},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table({{10, 14, c.l1, c.l2}});
    t.StartTag(0, 0) = u"<i>";
    t.StopTag(0, 1) = u"</i>";
    bool stay = false, changed = false;
    ASSERT_TRUE(SplitTooLong(t, 0, Fixed(15), 0.100, stay, changed));
    EXPECT_TRUE(changed);
    ASSERT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Line(0, 0), c.first);
    EXPECT_EQ(t.Line(0, 1), c.second);
    EXPECT_EQ(t.Cell(1, kFixNr), u"quux was here");
    EXPECT_EQ(t.Line(1, 0), c.l2[0] == u'-' ? c.l2.substr(2) : c.l2);
    EXPECT_EQ(t.Cell(0, kFixEnd), c.end);
    EXPECT_EQ(t.Cell(1, kFixStart), c.next_start);
    EXPECT_EQ(t.Cell(1, kFixEnd), u"0:00:14.000");
    // A closing tag on line 2 alone: both parts get the pair.
    EXPECT_EQ(t.StartTag(1, 0) + t.StopTag(1, 0), u"<i></i>");
    EXPECT_EQ(t.StopTag(0, 0) + t.StopTag(0, 1), u"</i>");
  }
}

TEST(SplitTooLong, BreaksOneLongLine) {
  struct Case {
    std::u16string line, first, second;
    int limit;
  } cases[] = {
      {u"aaaa " + std::u16string(14, u'b'), u"aaaa bbbb", std::u16string(10, u'b'), 10},
      {u"one two three four five six", u"one two three", u"four five six", 8},
      {u"aa bbb cc", u"aa", u"bbb cc", 8},  // a tie goes to the left space
      {u"abcdefghijkl", u"abcdef", u"ghijkl", 8},
  };
  for (const Case& c : cases) {
    FixWorkTable t = Table({{10, 14, c.line}});
    t.StopTag(0, 0) = u"</i>";
    bool stay = false, changed = false;
    ASSERT_TRUE(SplitTooLong(t, 0, Fixed(c.limit), 0.100, stay, changed));
    EXPECT_TRUE(stay);  // the fixed method always looks again
    EXPECT_FALSE(changed);
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t.Line(0, 0), c.first);
    EXPECT_EQ(t.Line(0, 1), c.second);
    EXPECT_EQ(t.StopTag(0, 1), u"</i>");
  }
  // The dynamic method looks again only while a part is still too long.
  testing::FakeMeasurer fake;
  AppSettings app;
  app.screen_width = 250;  // limit 200: 17 characters with "..."
  LineMeasure m(&fake, app, kSplitDynamic, 50);
  for (int len : {21, 40}) {
    FixWorkTable t = Table({{10, 14, std::u16string(len, u'a')}});
    bool stay = false, changed = false;
    ASSERT_TRUE(SplitTooLong(t, 0, m, 0.100, stay, changed));
    EXPECT_EQ(stay, len == 40);
  }
}

// Runs the split repair as the row loop does. False when it did not come to an end.
bool RunSplits(FixWorkTable& t, const LineMeasure& m) {
  for (int n = 0, steps = 0; steps < 100000; ++steps) {
    if (n >= t.Count()) return true;
    bool stay = false, changed = false;
    SplitTooLong(t, n, m, 0.100, stay, changed);
    if (!stay) ++n;
  }
  return false;
}

// The text without spaces, dots and dashes, which the repair may add or drop.
std::u16string Letters(const FixWorkTable& t) {
  std::u16string s;
  for (int n = 0; n < t.Count(); ++n)
    for (int k = 0; k < 3; ++k)
      for (char16_t c : t.Line(n, k))
        if (c != u' ' && c != u'.' && c != u'-') s.push_back(c);
  return s;
}

TEST(SplitTooLong, EndsOnLinesThatCannotFit) {
  testing::FakeMeasurer fake;
  fake.wide = 700;  // a 'W' alone is wider than the screen
  FixWorkTable t = Table({{10, 14, u"W"}, {15, 16, u"ab", u"W"}});
  ASSERT_TRUE(RunSplits(t, LineMeasure(&fake, AppSettings{}, kSplitDynamic, 50)));
  EXPECT_EQ(Letters(t), u"WabW");

  // Nothing can fit under these limits, so nothing is split.
  AppSettings narrow;
  narrow.screen_width = 70;
  for (const LineMeasure& m : {Fixed(0), LineMeasure(&fake, narrow, kSplitDynamic, 50)}) {
    t = Table({{10, 14, u"abc def", u"ghi"}});
    ASSERT_TRUE(RunSplits(t, m));
    EXPECT_EQ(t.Count(), 1);
    EXPECT_EQ(t.Line(0, 0), u"abc def");
  }

  // Random lines under small and usual limits: the run ends, nothing is lost, lines fit.
  std::mt19937 rng(7);
  const std::u16string alphabet = u"abcdeXYZ ,.-!?";
  for (int round = 0; round < 300; ++round) {
    const int limit = 1 + static_cast<int>(rng() % 30);
    std::vector<Sub> subs;
    for (int r = 0; r < 3; ++r) {
      Sub s{10.0 * r, 10.0 * r + 4};
      for (std::u16string* line : {&s.l1, &s.l2})
        for (int i = static_cast<int>(rng() % 90); i > 0; --i)
          line->push_back(alphabet[rng() % alphabet.size()]);
      subs.push_back(s);
    }
    t = Table(subs);
    const std::u16string before = Letters(t);
    ASSERT_TRUE(RunSplits(t, Fixed(limit))) << "limit " << limit;
    EXPECT_EQ(Letters(t), before);
    for (int n = 0; limit >= 6 && n < t.Count(); ++n)
      for (int k = 0; k < 2; ++k) EXPECT_LE(t.Line(n, k).size(), size_t(limit) + 3);
  }
}

}  // namespace
}  // namespace tessera
