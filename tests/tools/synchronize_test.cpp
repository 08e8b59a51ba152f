#include "tools/synchronize.h"

#include "core/number_field.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::EndOf;
using testing::LogLines;
using testing::MakeDocument;
using testing::Row;
using testing::ScriptedPrompter;
using testing::StartOf;

constexpr char kOverlap[] = "ERROR: Movement will cause overlapping subtitles.";

SubtitleDocument ThreeRows() {
  return MakeDocument({{4, 6}, {10, 12}, {15, 17}});
}

TEST(Move, AllSoonerReachesZeroExactlyButNoFurther) {
  SubtitleDocument doc = ThreeRows();
  ScriptedPrompter ok;
  ASSERT_TRUE(MoveEntries(doc, MoveRange(doc, SyncScope::kAll), -4.0, SyncScope::kAll, ok));
  EXPECT_EQ(StartOf(doc, 0), "0:00:00.000");
  EXPECT_EQ(EndOf(doc, 2), "0:00:13.000");
  EXPECT_EQ(LogLines(doc), (std::vector<std::string>{
                               "Moving all subtitles 4.000 seconds to the beginning...", "Done."}));

  SubtitleDocument refused = ThreeRows();
  ScriptedPrompter prompter;
  prompter.ExpectMessage(kOverlap);
  EXPECT_FALSE(
      MoveEntries(refused, MoveRange(refused, SyncScope::kAll), -4.001, SyncScope::kAll, prompter));
  EXPECT_EQ(StartOf(refused, 0), "0:00:04.000");
  EXPECT_TRUE(refused.Changed());
  EXPECT_TRUE(refused.Log().Lines().empty());
}

TEST(Move, TouchingANeighbourIsRefused) {
  struct Case {
    double amount;
    bool moved;
  };
  // Rows 1-1 selected: its end is 12, the next start 15, the previous end 6.
  for (Case c : {Case{3.0, false}, {2.999, true}, {-4.0, false}, {-3.999, true}}) {
    SubtitleDocument doc = ThreeRows();
    doc.SetSelected(1, true);
    ScriptedPrompter prompter;
    if (!c.moved) prompter.ExpectMessage(kOverlap);
    EXPECT_EQ(MoveEntries(doc, MoveRange(doc, SyncScope::kSelection), c.amount,
                          SyncScope::kSelection, prompter),
              c.moved)
        << c.amount;
    EXPECT_EQ(StartOf(doc, 0), "0:00:04.000");
    EXPECT_EQ(StartOf(doc, 2), "0:00:15.000");
    if (c.moved) {
      EXPECT_EQ(ParseTimeText(doc.Start(1)), ParseTimeText(u"0:00:10.000") + c.amount);
    } else {
      EXPECT_EQ(StartOf(doc, 1), "0:00:10.000");
    }
  }
}

TEST(Move, SelectionLogNamesTheZeroBasedBlock) {
  SubtitleDocument doc = MakeDocument({{1, 2}, {3, 4}, {5, 6}, {7, 8}, {20, 21}});
  for (int row : {1, 2, 3}) doc.SetSelected(row, true);
  doc.SetCell(2, kLine3, u"kept");
  ScriptedPrompter prompter;
  ASSERT_TRUE(MoveEntries(doc, MoveRange(doc, SyncScope::kSelection), 2.5, SyncScope::kSelection,
                          prompter));
  EXPECT_EQ(LogLines(doc)[0], "Moving selection 1 - 3 2.500 seconds to the end...");
  EXPECT_EQ(StartOf(doc, 1), "0:00:05.500");
  EXPECT_EQ(EndOf(doc, 3), "0:00:10.500");
  EXPECT_EQ(StartOf(doc, 4), "0:00:20.000");
  EXPECT_EQ(doc.Line(2, 2), u"kept");
}

TEST(Sync, NonContiguousSelectionRanges) {
  SubtitleDocument doc;
  for (int i = 0; i < 10; ++i) doc.AddRow(FormatTimeText(i * 10), FormatTimeText(i * 10 + 2));
  for (int row : {3, 4, 5, 8}) doc.SetSelected(row, true);
  RowRange move = MoveRange(doc, SyncScope::kSelection);
  RowRange stretch = StretchRange(doc, SyncScope::kSelection);
  EXPECT_EQ(move.first, 3);
  EXPECT_EQ(move.last, 5);
  EXPECT_EQ(stretch.first, 3);
  EXPECT_EQ(stretch.last, 6);

  ScriptedPrompter prompter;
  SubtitleDocument moved = doc;
  ASSERT_TRUE(MoveEntries(moved, move, 1.0, SyncScope::kSelection, prompter));
  EXPECT_EQ(StartOf(moved, 5), "0:00:51.000");
  EXPECT_EQ(StartOf(moved, 6), "0:01:00.000");
  EXPECT_EQ(StartOf(moved, 8), "0:01:20.000");

  ASSERT_TRUE(StretchEntries(doc, stretch, StretchAmount::FromSeconds(3.0), prompter));
  EXPECT_EQ(StartOf(doc, 3), "0:00:30.000");
  EXPECT_EQ(StartOf(doc, 6), "0:01:03.000");
  EXPECT_EQ(StartOf(doc, 7), "0:01:10.000");
  EXPECT_EQ(StartOf(doc, 8), "0:01:20.000");
}

TEST(Sync, EmptySelectionChangesNoTime) {
  SubtitleDocument doc = ThreeRows();
  ScriptedPrompter prompter;
  EXPECT_FALSE(MoveEntries(doc, MoveRange(doc, SyncScope::kSelection), 1.0, SyncScope::kSelection,
                           prompter));
  EXPECT_FALSE(StretchEntries(doc, StretchRange(doc, SyncScope::kSelection),
                              StretchAmount::FromSeconds(1.0), prompter));
  SubtitleDocument empty;
  EXPECT_FALSE(
      MoveEntries(empty, MoveRange(empty, SyncScope::kAll), -1.0, SyncScope::kAll, prompter));
  EXPECT_EQ(StartOf(doc, 0), "0:00:04.000");
  EXPECT_TRUE(doc.Log().Lines().empty());
}

TEST(Stretch, KeepsTheFirstStartAndMovesTheLastByTheAmount) {
  SubtitleDocument doc = MakeDocument({{10, 12}, {60, 62}, {110, 112}});
  doc.SetCell(1, kLine3, u"kept");
  ScriptedPrompter prompter;
  ASSERT_TRUE(StretchEntries(doc, StretchRange(doc, SyncScope::kAll), {2, 0, false}, prompter));
  EXPECT_EQ(StartOf(doc, 0), "0:00:10.000");
  EXPECT_EQ(StartOf(doc, 1), "0:01:01.000");
  EXPECT_EQ(StartOf(doc, 2), "0:01:52.000");
  EXPECT_EQ(EndOf(doc, 2), "0:01:54.040");
  EXPECT_EQ(doc.Line(1, 2), u"kept");
  EXPECT_EQ(LogLines(doc), (std::vector<std::string>{
                               "Stretching subs 0 to 2 - 2 sec 0 milliseconds...", "Done."}));

  SubtitleDocument back = MakeDocument({{10, 12}, {110, 112}});
  ASSERT_TRUE(StretchEntries(back, StretchRange(back, SyncScope::kAll), {0, 500, true}, prompter));
  EXPECT_EQ(StartOf(back, 0), "0:00:10.000");
  EXPECT_EQ(StartOf(back, 1), "0:01:49.500");
  EXPECT_EQ(LogLines(back)[0], "Stretching subs 0 to 1 - 0 sec 500 milliseconds...");
}

TEST(Stretch, ZeroSpanIsRefused) {
  for (SubtitleDocument doc : {MakeDocument({{10, 12}}), MakeDocument({{10, 12}, {10, 11}})}) {
    ScriptedPrompter prompter;
    prompter.ExpectMessage("ERROR: Stretching needs two subtitles with different start times.");
    EXPECT_FALSE(StretchEntries(doc, StretchRange(doc, SyncScope::kAll), {1, 0, false}, prompter));
    EXPECT_EQ(EndOf(doc, 0), "0:00:12.000");
    EXPECT_FALSE(doc.Changed());
    EXPECT_TRUE(doc.Log().Lines().empty());
  }
}

// An amount that would put the last start at or before the first reverses or collapses times.
TEST(Stretch, ReversingOrCollapsingAmountsAreRefused) {
  struct Case {
    double amount;
    bool refused;
  } cases[] = {{-5, true}, {-4, true}, {-500, true}, {-3.999, false}, {4, false}};
  for (const Case& c : cases) {
    SubtitleDocument doc = MakeDocument({{10, 12}, {12, 13}, {14, 15}});  // a 4 s span
    ScriptedPrompter prompter;
    if (c.refused)
      prompter.ExpectMessage(
          ToUtf8(Format("ERROR: Stretching by %0.3f seconds would move the last start to or "
                        "before the first one.",
                        c.amount)));
    bool done = StretchEntries(doc, StretchRange(doc, SyncScope::kAll),
                               StretchAmount::FromSeconds(c.amount), prompter);
    EXPECT_EQ(done, !c.refused) << c.amount;
    if (!c.refused) {
      EXPECT_LT(StartOf(doc, 0), StartOf(doc, 2)) << c.amount;
      continue;
    }
    const SubtitleDocument before = MakeDocument({{10, 12}, {12, 13}, {14, 15}});
    for (int row = 0; row < 3; ++row) EXPECT_EQ(Row(doc, row), Row(before, row));
    EXPECT_FALSE(doc.Changed());
    ASSERT_EQ(LogLines(doc).size(), 1u);
    EXPECT_TRUE(LogLines(doc)[0].starts_with("ERROR: Stretching by ")) << c.amount;
  }
}

TEST(Sync, AmountsFromFields) {
  EXPECT_DOUBLE_EQ((MoveAmount{1, 2, 500, false}.Seconds()), -62.5);
  EXPECT_DOUBLE_EQ((MoveAmount{0, 0, 250, true}.Seconds()), 0.25);
  StretchAmount a = StretchAmount::FromSeconds(-1.2346);
  EXPECT_TRUE(a.negative);
  EXPECT_EQ(a.seconds, 1);
  EXPECT_EQ(a.milliseconds, 235);
}

TEST(Sync, SpinLimits) {
  struct Case {
    SyncField field;
    int value;
    bool up;
    int expected;
    bool beeps;
  };
  const Case cases[] = {
      {SyncField::kMinutes, 0, false, 0, true},
      {SyncField::kMinutes, 500, true, 501, false},
      {SyncField::kSeconds, 59, true, 59, true},
      {SyncField::kSeconds, 58, true, 59, false},
      {SyncField::kSeconds, 75, true, 59, true},
      {SyncField::kMilliseconds, 900, true, 900, true},
      {SyncField::kMilliseconds, 800, true, 900, false},
      {SyncField::kMilliseconds, 50, false, 0, true},
      {SyncField::kMilliseconds, 300, false, 200, false},
      {SyncField::kStretchSeconds, 999, true, 900, true},
      {SyncField::kStretchSeconds, 0, false, 0, true},
      {SyncField::kStretchMilliseconds, 900, true, 900, true},
  };
  for (const Case& c : cases) {
    ScriptedPrompter prompter;
    if (c.beeps) prompter.ExpectBeep();
    EXPECT_EQ(SpinSyncField(c.field, c.value, c.up, prompter), c.expected)
        << static_cast<int>(c.field) << " " << c.value;
  }
}

TEST(Sync, IntegerFields) {
  EXPECT_EQ(ParseWholeNumber(u" 12 "), 12);
  EXPECT_EQ(ParseWholeNumber(u"-3"), -3);
  for (const char16_t* bad : {u"", u"-", u"1.5", u"abc", u"9999999999"})
    EXPECT_FALSE(ParseWholeNumber(bad).has_value()) << ToUtf8(bad);
}

}  // namespace
}  // namespace tessera
