#include "tools/edit_operations.h"

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::EndOf;
using testing::MakeDocument;
using testing::ScriptedPrompter;
using testing::StartOf;

constexpr char kTooShort[] = "Can't insert sub here because next sub will be too short...";

TEST(EditInsert, BeforeTheFirstSubtitle) {
  SubtitleDocument doc = MakeDocument({{4, 6, "first"}});
  ScriptedPrompter prompter;
  EXPECT_EQ(EditInsert(doc, 0, prompter), 0);
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(StartOf(doc, 0), "0:00:02.000");
  EXPECT_EQ(EndOf(doc, 0), "0:00:03.000");
  EXPECT_EQ(doc.Line(0, 0), u"");
  EXPECT_EQ(StartOf(doc, 1), "0:00:04.000");
  EXPECT_EQ(doc.Line(1, 0), u"first");
  EXPECT_TRUE(doc.Changed());
}

TEST(EditInsert, PushesTheSelectedStartOrRefuses) {
  SubtitleDocument doc = MakeDocument({{0, 0.8}, {1, 4}});
  ScriptedPrompter prompter;
  EXPECT_EQ(EditInsert(doc, 1, prompter), 1);
  EXPECT_EQ(StartOf(doc, 1), "0:00:00.900");
  EXPECT_EQ(EndOf(doc, 1), "0:00:01.900");
  EXPECT_EQ(StartOf(doc, 2), "0:00:01.950");
  EXPECT_EQ(EndOf(doc, 2), "0:00:04.000");

  SubtitleDocument refused = MakeDocument({{0, 0.8}, {1, 2.5}});
  prompter.ExpectMessage(kTooShort);
  EXPECT_EQ(EditInsert(refused, 1, prompter), -1);
  EXPECT_EQ(refused.Count(), 2);
  EXPECT_EQ(StartOf(refused, 1), "0:00:01.000");
  EXPECT_FALSE(refused.Changed());
}

TEST(EditInsert, WithoutSelectionBeepsAndOnAnEmptyDocumentAdds) {
  SubtitleDocument doc = MakeDocument({{4, 6}});
  ScriptedPrompter prompter;
  prompter.ExpectBeep();
  EXPECT_EQ(EditInsert(doc, -1, prompter), -1);
  EXPECT_EQ(doc.Count(), 1);

  SubtitleDocument empty;
  EXPECT_EQ(EditInsert(empty, -1, prompter), 0);
  EXPECT_EQ(StartOf(empty, 0), "0:00:01.000");
  EXPECT_EQ(EndOf(empty, 0), "0:00:02.000");
  EXPECT_EQ(empty.CurrentRow(), 0);
}

TEST(EditAdd, AfterTheLastSubtitle) {
  SubtitleDocument doc = MakeDocument({{4, 6.25}});
  EXPECT_EQ(EditAdd(doc), 1);
  EXPECT_EQ(StartOf(doc, 1), "0:00:06.750");
  EXPECT_EQ(EndOf(doc, 1), "0:00:07.750");
  EXPECT_EQ(doc.CurrentRow(), 1);
  EXPECT_TRUE(doc.Changed());
}

SubtitleDocument FiveRows() {
  return MakeDocument({{1, 2, "a"}, {3, 4, "b"}, {5, 6, "c"}, {7, 8, "d"}, {9, 10, "e"}});
}

TEST(EditDelete, AsksThenRemovesTheSelectedRows) {
  SubtitleDocument doc = FiveRows();
  doc.SetCell(1, kLine2, u"b2");
  ScriptedPrompter prompter;
  prompter.ExpectQuestion("Are you sure to remove this subtitle?\n\r\n\rb\n\rb2\n\r", false);
  EXPECT_FALSE(EditDelete(doc, {1}, prompter));
  EXPECT_EQ(doc.Count(), 5);

  doc.SetSelected(4, true);
  prompter.ExpectQuestion("Are you sure to remove the selected subtitles?", true);
  EXPECT_TRUE(EditDelete(doc, {3, 1, 3, 99}, prompter));
  ASSERT_EQ(doc.Count(), 3);
  EXPECT_EQ(doc.Line(0, 0), u"a");
  EXPECT_EQ(doc.Line(1, 0), u"c");
  EXPECT_EQ(doc.Line(2, 0), u"e");
  EXPECT_TRUE(doc.Selected(2));
  EXPECT_FALSE(doc.Selected(1));
  EXPECT_EQ(doc.CurrentRow(), 1);
  EXPECT_TRUE(doc.Changed());

  prompter.ExpectBeep();
  EXPECT_FALSE(EditDelete(doc, {}, prompter));
}

TEST(EditDelete, DeletingTheLastRowMakesTheNewLastCurrent) {
  SubtitleDocument doc = FiveRows();
  ScriptedPrompter prompter;
  prompter.ExpectQuestion("Are you sure to remove this subtitle?\n\r\n\re\n\r\n\r", true);
  EXPECT_TRUE(EditDelete(doc, {4}, prompter));
  EXPECT_EQ(doc.CurrentRow(), 3);
}

TEST(EditRemoveAll, EmptiesWithoutMarkingChanged) {
  SubtitleDocument doc = FiveRows();
  doc.SetCurrentRow(2);
  ScriptedPrompter prompter;
  prompter.ExpectQuestion("Are you REALY sure to remove all subtitles ???", false)
      .ExpectQuestion("Are you REALY sure to remove all subtitles ???", true);
  EXPECT_FALSE(EditRemoveAll(doc, prompter));
  EXPECT_EQ(doc.Count(), 5);
  EXPECT_TRUE(EditRemoveAll(doc, prompter));
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(doc.CurrentRow(), -1);
  EXPECT_FALSE(doc.Changed());
}

TEST(EditAuto, ReadingTimeWithinItsLimits) {
  const std::string forty(40, 'x');
  struct Case {
    double next_start;  // 0: the subtitle is the last one
    const char* line1;
    const char* expected_end;
  };
  for (Case c : {Case{20, forty.c_str(), "0:00:13.400"},
                 {13.2, forty.c_str(), "0:00:13.150"},
                 {20, "short", "0:00:12.000"},
                 {0, forty.c_str(), "0:00:13.400"}}) {
    SubtitleDocument doc = MakeDocument({{10, 11, c.line1}});
    doc.SetCell(0, kLine3, u"line three is not counted at all, not at all");
    if (c.next_start > 0) doc.AddRow(FormatTimeText(c.next_start), FormatTimeText(30));
    EditAuto(doc, 0, 2.0, 0.085);
    EXPECT_EQ(EndOf(doc, 0), c.expected_end) << c.next_start;
    EXPECT_TRUE(doc.Changed());
  }
  SubtitleDocument last = MakeDocument({{10, 11, "x"}});
  EditAuto(last, 0, 5000000.0, 0.085);
  EXPECT_EQ(EndOf(last, 0), "1388:53:30.000");  // not limited by any next subtitle
}

TEST(EditSpinTime, StepsAndTheirLimits) {
  struct Case {
    EditSpin spin;
    bool increase;
    int row;
    const char* start;  // expected afterwards
    const char* end;
    bool stepped;
  };
  // Rows: 0.1-1.0, 2.0-3.0, 3.15-5.0 (the last).
  const Case cases[] = {
      {EditSpin::kStart, false, 0, "0:00:00.000", "0:00:00.900", true},
      {EditSpin::kStart, true, 1, "0:00:02.000", "0:00:03.000", false},  // 3.1 = 3.15 - 0.05
      {EditSpin::kStart, false, 1, "0:00:01.900", "0:00:02.900", true},
      {EditSpin::kStart, false, 2, "0:00:03.150", "0:00:05.000", false},  // 3.05 = 3.0 + 0.05
      {EditSpin::kStart, true, 2, "0:00:03.250", "0:00:05.100", true},
      {EditSpin::kDurationSeconds, true, 0, "0:00:00.100", "0:00:01.000", false},
      {EditSpin::kDurationSeconds, false, 0, "0:00:00.100", "0:00:01.000", false},
      {EditSpin::kDurationMilliseconds, false, 0, "0:00:00.100", "0:00:00.900", true},
      {EditSpin::kDurationSeconds, true, 2, "0:00:03.150", "0:00:06.000", true},
      {EditSpin::kDurationSeconds, false, 2, "0:00:03.150", "0:00:04.000", true},
  };
  for (const Case& c : cases) {
    SubtitleDocument doc = MakeDocument({{0.1, 1.0}, {2.0, 3.0}, {3.15, 5.0}});
    ScriptedPrompter prompter;
    if (!c.stepped) prompter.ExpectBeep();
    EXPECT_EQ(EditSpinTime(doc, c.row, c.spin, c.increase, prompter), c.stepped);
    EXPECT_EQ(StartOf(doc, c.row), c.start);
    EXPECT_EQ(EndOf(doc, c.row), c.end);
    EXPECT_EQ(doc.Changed(), c.stepped);
  }
  SubtitleDocument doc = MakeDocument({{0.0, 1.0}, {1.2, 1.3}});
  ScriptedPrompter prompter;
  prompter.ExpectBeep().ExpectBeep().ExpectBeep();
  EXPECT_FALSE(EditSpinTime(doc, 0, EditSpin::kStart, false, prompter));  // would start before 0
  EXPECT_FALSE(EditSpinTime(doc, 1, EditSpin::kDurationMilliseconds, false, prompter));  // 0.0 s
  EXPECT_FALSE(EditSpinTime(doc, -1, EditSpin::kStart, true, prompter));
}

TEST(EditTimeDisplay, StartAndTheDurationWithinTheMinute) {
  SubtitleDocument doc = MakeDocument({{10, 73.25}, {5, 5.007}});
  EditTimeTexts t = EditTimeDisplay(doc, 0);
  EXPECT_EQ(ToUtf8(t.start), "0:00:10.000");
  EXPECT_EQ(ToUtf8(t.seconds), " 3");
  EXPECT_EQ(ToUtf8(t.milliseconds), "250");
  t = EditTimeDisplay(doc, 1);
  EXPECT_EQ(ToUtf8(t.seconds), " 0");
  EXPECT_EQ(ToUtf8(t.milliseconds), "007");
  t = EditTimeDisplay(doc, -1);
  EXPECT_TRUE(t.start.empty() && t.seconds.empty() && t.milliseconds.empty());
}

TEST(EditSetLine, StoresTheTextAndMarksChanged) {
  SubtitleDocument doc = FiveRows();
  EditSetLine(doc, 2, 2, u"third");
  EXPECT_EQ(doc.Line(2, 2), u"third");
  EXPECT_TRUE(doc.Changed());
}

}  // namespace
}  // namespace tessera
