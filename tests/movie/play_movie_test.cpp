#include "movie/play_movie.h"

#include <gtest/gtest.h>

#include "tests/support/documents.h"

namespace tessera {
namespace {

using testing::MakeDocument;

constexpr int64_t At(double seconds) {
  return static_cast<int64_t>(seconds * 10000000 + 0.5);
}

TEST(PlayMovie, PositionText) {
  EXPECT_EQ(u"0:00:00.000", PositionText(0));
  EXPECT_EQ(u"1:02:03.456", PositionText(At(3723.456)));
  EXPECT_EQ(u"0:00:09.999", PositionText(99999999));  // cut, not rounded
}

TEST(PlayMovie, SubtitleIsFoundATenthOfASecondAhead) {
  const SubtitleDocument doc = MakeDocument({{"0:00:10.000", "0:00:12.000", "a"},
                                             {"0:00:12.000", "0:00:13.000", "b"},
                                             {"0:00:20.000", "0:00:22.000", "c"}});
  struct Case {
    double position;
    int row;
  };
  for (const Case& c : {Case{9.899, -1}, Case{9.900, 0}, Case{11.900, 0}, Case{11.901, 1},
                        Case{12.900, 1}, Case{13.0, -1}, Case{21.95, -1}, Case{21.9, 2}})
    EXPECT_EQ(c.row, SubtitleAtPosition(doc, At(c.position))) << c.position;
  EXPECT_EQ(-1, SubtitleAtPosition(SubtitleDocument(), At(10)));
}

TEST(PlayMovie, PositionBar) {
  EXPECT_EQ(0, BarPosition(At(5), 0));
  EXPECT_EQ(500, BarPosition(At(30), At(60)));
  EXPECT_EQ(1000, BarPosition(At(60), At(60)));
  // A click at a quarter of the bar: 250 thousandths of the length cut to whole thousandths.
  EXPECT_EQ(At(60) / 1000 * 250, BarClickPosition(100, 400, At(60)));
  EXPECT_EQ(0, BarClickPosition(10, 0, At(60)));
}

TEST(PlayMovie, SeekButtonTargets) {
  // Twelve subtitles at 10, 20, ... 120 s, each 2 s long.
  std::vector<testing::TextRow> rows;
  std::vector<std::string> texts;
  texts.reserve(24);
  for (int i = 1; i <= 12; ++i) {
    texts.push_back(ToUtf8(FormatTimeText(i * 10.0)));
    texts.push_back(ToUtf8(FormatTimeText(i * 10.0 + 2)));
  }
  for (int i = 0; i < 12; ++i) rows.push_back({texts[2 * i].c_str(), texts[2 * i + 1].c_str()});
  const SubtitleDocument doc = MakeDocument(rows);

  struct Case {
    const char* name;
    bool forward;
    int current, n;
    double position;
    int target;
  };
  const Case cases[] = {
      {"> from a subtitle", true, 3, 1, 40, 4},
      {">> near the end beeps", true, 3, 10, 40, -1},
      {">> from the start", true, 0, 10, 10, 10},
      {"> with none current: first start after the whole second", true, -1, 1, 5.5, 0},
      {"> with none current, position 10.9 counts as 10", true, -1, 1, 10.9, 1},
      {">> with none current", true, -1, 10, 5.5, 9},
      {"> with none current never looks at the last subtitle", true, -1, 1, 115, -1},
      {"< to the previous", false, 3, 1, 40.5, 2},
      {"< past the end returns to its own start", false, 3, 1, 43, 3},
      {"< from the first beeps", false, 0, 1, 10, -1},
      {"<< too near the start beeps", false, 5, 10, 60, -1},
      {"< with none current", false, -1, 1, 25, 1},
      {"<< with none current", false, -1, 10, 105, 0},
      {"< with none current skips to a subtitle with one before it", false, -1, 1, 5, 0},
      {"< with none current after the last start", false, -1, 1, 125, -1},
  };
  for (const Case& c : cases) {
    const int got = c.forward ? ForwardTarget(doc, c.current, c.n, At(c.position))
                              : BackwardTarget(doc, c.current, c.n, At(c.position));
    EXPECT_EQ(c.target, got) << c.name;
  }
}

TEST(PlayMovie, MovieFileTypes) {
  const auto filters = MovieFileFilters();
  ASSERT_EQ(4u, filters.size());
  for (const char16_t* type : {u"*.avi", u"*.mkv", u"*.mp4", u"*.webm", u"*.ogv", u"*.vob"})
    EXPECT_NE(std::u16string::npos, filters[0].patterns.find(type));
  EXPECT_EQ(u"*.d2v", filters[2].patterns);
  EXPECT_EQ(u"*.*", filters[3].patterns);
}

}  // namespace
}  // namespace tessera
