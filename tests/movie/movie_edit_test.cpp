#include "movie/movie_edit.h"

#include <gtest/gtest.h>

#include "core/time_code.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::MakeDocument;
using testing::ScriptedPrompter;
using V = std::vector<std::string>;

// Start and end of every row, "start-end".
V Times(const SubtitleDocument& doc) {
  V out;
  for (int i = 0; i < doc.Count(); ++i) out.push_back(ToUtf8(doc.Start(i) + u"-" + doc.End(i)));
  return out;
}

constexpr int64_t Seconds(double s) {
  return static_cast<int64_t>(s * kTicksPerSecond + 0.5);
}

MoviePageState OnRow(int current) {
  MoviePageState st;
  st.current = current;
  return st;
}

// ---- Insert Line

struct InsertCase {
  const char* name;
  std::vector<testing::TextRow> rows;
  double position;
  V expected;
  const char* refusal;  // message, or nullptr
};

const std::vector<testing::TextRow> kGap = {{"0:00:10.000", "0:00:12.000"},
                                            {"0:00:20.000", "0:00:22.000"}};

class InsertAtPositionTest : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertAtPositionTest, MovesNeighboursOrRefuses) {
  const InsertCase& c = GetParam();
  SubtitleDocument doc = MakeDocument(c.rows);
  AppSettings app;
  SettingsStore store;
  ScriptedPrompter prompter;
  if (c.refusal) prompter.ExpectMessage(c.refusal);
  MoviePageState st;
  MovieEditEffect fx = InsertAtPosition(doc, st, app, store, PlayState::Paused, true,
                                        Seconds(c.position), -1, prompter);
  EXPECT_EQ(Times(doc), c.expected);
  EXPECT_EQ(fx.applied, c.refusal == nullptr);
  EXPECT_EQ(doc.Changed(), c.refusal == nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InsertAtPositionTest,
    ::testing::Values(InsertCase{"gap",
                                 kGap,
                                 15.0,
                                 {"0:00:10.000-0:00:12.000", "0:00:15.000-0:00:17.000",
                                  "0:00:20.000-0:00:22.000"},
                                 nullptr},
                      InsertCase{"next_too_short",
                                 kGap,
                                 19.0,
                                 {"0:00:10.000-0:00:12.000", "0:00:20.000-0:00:22.000"},
                                 "Can't insert sub here because next sub will be too short..."},
                      InsertCase{"next_moved",
                                 {{"0:00:10.000", "0:00:12.000"}, {"0:00:20.000", "0:00:25.000"}},
                                 19.0,
                                 {"0:00:10.000-0:00:12.000", "0:00:19.000-0:00:21.000",
                                  "0:00:21.100-0:00:25.000"},
                                 nullptr},
                      InsertCase{"before_first",
                                 kGap,
                                 1.0,
                                 {"0:00:01.000-0:00:03.000", "0:00:10.000-0:00:12.000",
                                  "0:00:20.000-0:00:22.000"},
                                 nullptr},
                      InsertCase{"after_last",
                                 kGap,
                                 30.0,
                                 {"0:00:10.000-0:00:12.000", "0:00:20.000-0:00:22.000",
                                  "0:00:30.000-0:00:32.000"},
                                 nullptr},
                      InsertCase{"inside_long",
                                 {{"0:00:10.000", "0:00:16.000"}},
                                 11.0,
                                 {"0:00:11.000-0:00:13.000", "0:00:13.100-0:00:16.000"},
                                 nullptr},
                      InsertCase{"inside_short",
                                 {{"0:00:10.000", "0:00:14.000"}},
                                 11.0,
                                 {"0:00:10.000-0:00:14.000"},
                                 "Can't insert sub here because current sub will be too short..."}),
    [](const ::testing::TestParamInfo<InsertCase>& info) { return std::string(info.param.name); });

TEST(InsertAtPosition, WithoutMovieGoesAfterSelectedRowWithTheStoredGap) {
  SubtitleDocument doc;
  for (int i = 0; i < 6; ++i) doc.AddRow(FormatTimeText(10.0 * i), FormatTimeText(10.0 * i + 2));
  doc.ResetSelection();
  AppSettings app;
  SettingsStore store;
  store.WriteString(u"Settings", u"Min Time Between Subs", u"0.250");
  ScriptedPrompter prompter;
  MoviePageState st;
  ResetMarks(doc, st);
  MovieEditEffect fx =
      InsertAtPosition(doc, st, app, store, PlayState::Stopped, false, 0, 4, prompter);
  ASSERT_TRUE(fx.applied);
  EXPECT_EQ(ToUtf8(doc.Start(5) + u"-" + doc.End(5)), "0:00:42.250-0:00:44.250");
  EXPECT_EQ(st.current, 5);
  EXPECT_TRUE(fx.clear_line_fields);
  EXPECT_FALSE(fx.pause);
  // The last mark stays on its subtitle, now one row further down.
  EXPECT_EQ(st.first_mark, 0);
  EXPECT_EQ(st.last_mark, 6);

  // A movie at position 0 counts as no position: the selected row decides again.
  fx = InsertAtPosition(doc, st, app, store, PlayState::Playing, true, 0, 0, prompter);
  EXPECT_EQ(ToUtf8(doc.Start(1)), "0:00:02.250");
  EXPECT_TRUE(fx.pause);
}

TEST(InsertAtPosition, IntoEmptyDocumentPutsMarksOnIt) {
  SubtitleDocument doc;
  AppSettings app;
  SettingsStore store;
  ScriptedPrompter prompter;
  MoviePageState st;
  ResetMarks(doc, st);
  ASSERT_TRUE(
      InsertAtPosition(doc, st, app, store, PlayState::Paused, true, Seconds(5), -1, prompter)
          .applied);
  EXPECT_EQ(Times(doc), V{"0:00:05.000-0:00:07.000"});
  EXPECT_EQ(st.first_mark, 0);
  EXPECT_EQ(st.last_mark, 0);
}

// ---- Start and duration spins

TEST(Nudges, StartKeepsMoreThanTheSmallestGap) {
  AppSettings app;
  ScriptedPrompter prompter;
  // Next starts 0.150 after the end: moving 0.1 later would leave exactly 0.05.
  SubtitleDocument doc =
      MakeDocument({{"0:00:10.000", "0:00:12.000"}, {"0:00:12.150", "0:00:14.000"}});
  prompter.ExpectBeep();
  EXPECT_FALSE(NudgeStart(doc, OnRow(0), true, prompter).applied);
  EXPECT_FALSE(doc.Changed());
  doc.SetCell(1, kStart, u"0:00:12.151");
  MovieEditEffect fx = NudgeStart(doc, OnRow(0), true, prompter);
  ASSERT_TRUE(fx.applied);
  EXPECT_EQ(Times(doc)[0], "0:00:10.100-0:00:12.100");
  EXPECT_EQ(fx.seek_position, Seconds(10.1));
  EXPECT_TRUE(doc.Changed());

  // Earlier, against the previous end.
  prompter.ExpectBeep();
  EXPECT_FALSE(NudgeStart(doc, OnRow(1), false, prompter).applied);  // 12.100 + 0.05 = 12.151 - 0.1
  doc.SetCell(1, kStart, u"0:00:12.300");
  EXPECT_TRUE(NudgeStart(doc, OnRow(1), false, prompter).applied);
  EXPECT_EQ(Times(doc)[1], "0:00:12.200-0:00:13.900");
}

TEST(Nudges, FirstSubtitleStaysAboveZero) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:00.100", "0:00:01.000"}});
  prompter.ExpectBeep();
  EXPECT_FALSE(NudgeStart(doc, OnRow(0), false, prompter).applied);
  doc.SetCell(0, kStart, u"0:00:00.101");
  EXPECT_TRUE(NudgeStart(doc, OnRow(0), false, prompter).applied);
  EXPECT_EQ(Times(doc)[0], "0:00:00.001-0:00:00.900");
}

TEST(Nudges, DurationLimits) {
  ScriptedPrompter prompter;
  SubtitleDocument doc =
      MakeDocument({{"0:00:10.000", "0:00:10.300"}, {"0:00:11.350", "0:00:13.000"}});
  // 0.300 s can lose 0.1 s; 0.180 s cannot (0.080 would remain).
  MovieEditEffect fx = NudgeEnd(doc, OnRow(0), 0.1, false, prompter);
  EXPECT_TRUE(fx.applied);
  EXPECT_TRUE(fx.show_times);
  EXPECT_EQ(Times(doc)[0], "0:00:10.000-0:00:10.200");
  doc.SetCell(0, kEnd, u"0:00:10.180");
  prompter.ExpectBeep();
  fx = NudgeEnd(doc, OnRow(0), 0.1, false, prompter);
  EXPECT_FALSE(fx.applied);
  EXPECT_TRUE(fx.show_times);  // the displays are refreshed either way
  EXPECT_EQ(Times(doc)[0], "0:00:10.000-0:00:10.180");

  // Longer by 1 s up to 0.05 s before the next start.
  doc.SetCell(0, kEnd, u"0:00:10.300");
  prompter.ExpectBeep();  // 10.300 + 1 = 11.300 is exactly 0.05 before 11.350
  EXPECT_FALSE(NudgeEnd(doc, OnRow(0), 1.0, true, prompter).applied);
  EXPECT_TRUE(NudgeEnd(doc, OnRow(0), 0.1, true, prompter).applied);
  EXPECT_EQ(Times(doc)[0], "0:00:10.000-0:00:10.400");
  // The last row has no neighbour.
  EXPECT_TRUE(NudgeEnd(doc, OnRow(1), 1.0, true, prompter).applied);
  EXPECT_EQ(Times(doc)[1], "0:00:11.350-0:00:14.000");
}

// ---- Auto

TEST(AutoDuration, FromLineLengthsWithFloorAndNextStart) {
  AppSettings app;
  ScriptedPrompter prompter;
  std::string forty(25, 'x'), rest(15, 'y');
  SubtitleDocument doc = MakeDocument(
      {{"0:00:10.000", "0:00:10.500", forty.c_str(), rest.c_str(), "line 3 is not counted"},
       {"0:00:20.000", "0:00:20.100", "short"},
       {"0:00:22.100", "0:00:25.000", forty.c_str(), rest.c_str()}});
  doc.InsertRow(3, u"0:00:23.000", u"0:00:24.000");  // overlaps row 2
  EXPECT_TRUE(AutoDuration(doc, OnRow(0), app, prompter).applied);
  EXPECT_EQ(Times(doc)[0], "0:00:10.000-0:00:13.400");
  EXPECT_TRUE(doc.Changed());  // Auto is an edit like any other
  EXPECT_TRUE(AutoDuration(doc, OnRow(1), app, prompter).applied);
  EXPECT_EQ(Times(doc)[1], "0:00:20.000-0:00:22.000");  // the minimum duration
  EXPECT_TRUE(AutoDuration(doc, OnRow(2), app, prompter).applied);
  EXPECT_EQ(Times(doc)[2], "0:00:22.100-0:00:22.950");  // the next start minus 0.05

  // No time left before the next start, and no current subtitle: refused.
  doc.SetCell(3, kStart, u"0:00:22.120");
  prompter.ExpectBeep();
  EXPECT_FALSE(AutoDuration(doc, OnRow(2), app, prompter).applied);
  prompter.ExpectBeep();
  EXPECT_FALSE(AutoDuration(doc, OnRow(-1), app, prompter).applied);
  EXPECT_EQ(Times(doc)[2], "0:00:22.100-0:00:22.950");
}

// ---- Line fields

TEST(EditLine, WritesTheCurrentSubtitleOrBeeps) {
  AppSettings app;
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:01.000", "0:00:02.000", "a", "b"}});
  MovieEditEffect fx = EditLine(doc, OnRow(0), 1, u"second", prompter);
  EXPECT_TRUE(fx.applied);
  EXPECT_EQ(ToUtf8(doc.Line(0, 1)), "second");
  EXPECT_EQ(ToUtf8(doc.Line(0, 0)), "a");
  EXPECT_TRUE(doc.Changed());
  prompter.ExpectBeep();
  EXPECT_FALSE(EditLine(doc, OnRow(1), 0, u"x", prompter).applied);

  EXPECT_EQ(RemainingCharacters(app, u"second"), 44);
  EXPECT_EQ(RemainingCharacters(app, u"\U0001F600"), 49);
  EXPECT_EQ(RemainingCharacters(app, std::u16string(60, u'x')), -10);
}

TEST(CurrentTimes, DropsHoursAndMinutesOfTheDuration) {
  SubtitleDocument doc =
      MakeDocument({{"0:00:10.000", "0:00:12.500"}, {"0:01:00.000", "0:02:15.250"}});
  CurrentTimesText t = CurrentTimes(doc, 0);
  EXPECT_EQ(ToUtf8(t.start), "0:00:10.000");
  EXPECT_EQ(ToUtf8(t.seconds), " 2");
  EXPECT_EQ(ToUtf8(t.milliseconds), "500");
  t = CurrentTimes(doc, 1);
  EXPECT_EQ(ToUtf8(t.seconds), "15");
  EXPECT_EQ(ToUtf8(t.milliseconds), "250");
  EXPECT_TRUE(CurrentTimes(doc, 2).start.empty());
}

// ---- Del. Line

TEST(DeleteSelected, MarksFollowTheirSubtitles) {
  ScriptedPrompter prompter;
  SubtitleDocument doc;
  for (int i = 0; i < 5; ++i) doc.AddRow(FormatTimeText(i * 10.0), FormatTimeText(i * 10.0 + 1));
  doc.ResetSelection();
  MoviePageState st;
  st.first_mark = 1;
  st.last_mark = 3;

  // Above the last mark: it stays on the same subtitle.
  EXPECT_TRUE(DeleteSelected(doc, st, PlayState::Paused, 2, prompter).applied);
  EXPECT_EQ(st.last_mark, 2);
  EXPECT_EQ(ToUtf8(doc.Start(st.last_mark)), "0:00:30.000");
  EXPECT_EQ(st.current, 2);
  // The last-mark row itself: the mark moves to the row before.
  EXPECT_TRUE(DeleteSelected(doc, st, PlayState::Paused, 2, prompter).applied);
  EXPECT_EQ(st.last_mark, 1);
  EXPECT_EQ(st.first_mark, 1);
  // The last row: the new last row becomes current.
  EXPECT_TRUE(DeleteSelected(doc, st, PlayState::Paused, 2, prompter).applied);
  EXPECT_EQ(st.current, 1);
  EXPECT_EQ(doc.Count(), 2);
  EXPECT_TRUE(doc.Changed());
}

TEST(DeleteSelected, LastRemainingRowLeavesNothingCurrent) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:01.000", "0:00:02.000"}});
  doc.SetCurrentRow(0);
  MoviePageState st;
  ResetMarks(doc, st);
  MovieEditEffect fx = DeleteSelected(doc, st, PlayState::Stopped, 0, prompter);
  EXPECT_TRUE(fx.applied);
  EXPECT_TRUE(fx.seek_to_current);
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_EQ(st.current, -1);
  EXPECT_EQ(doc.CurrentRow(), -1);
  EXPECT_EQ(st.first_mark, -1);
  EXPECT_EQ(st.last_mark, -1);
}

TEST(DeleteSelected, NothingWhilePlayingAndBeepWithoutSelection) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:01.000", "0:00:02.000"}});
  MoviePageState st;
  EXPECT_FALSE(DeleteSelected(doc, st, PlayState::Playing, 0, prompter).applied);
  prompter.ExpectBeep();
  EXPECT_FALSE(DeleteSelected(doc, st, PlayState::Paused, -1, prompter).applied);
  prompter.ExpectBeep();
  EXPECT_FALSE(DeleteSelected(doc, st, PlayState::Paused, 1, prompter).applied);
  EXPECT_EQ(doc.Count(), 1);
  EXPECT_FALSE(doc.Changed());
}

// ---- Split Line

struct SplitCase {
  const char* start;
  const char* end;
  const char* line1;
  const char* line2;
  V expected;
};

class SplitCurrentTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCurrentTest, DividesTimeByLineLengths) {
  const SplitCase& c = GetParam();
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument(
      {{c.start, c.end, c.line1, c.line2, "third"}, {"0:01:00.000", "0:01:01.000", "next"}});
  MoviePageState st = OnRow(0);
  st.first_mark = 0;
  st.last_mark = 1;
  MovieEditEffect fx = SplitCurrent(doc, st, prompter);
  ASSERT_TRUE(fx.applied);
  EXPECT_TRUE(fx.pause);
  EXPECT_TRUE(fx.seek_to_current);
  EXPECT_EQ(Times(doc), c.expected);
  EXPECT_EQ(testing::Row(doc, 0),
            (V{c.expected[0].substr(0, 11), c.expected[0].substr(12), c.line1, "", "third"}));
  EXPECT_EQ(testing::Row(doc, 1),
            (V{c.expected[1].substr(0, 11), c.expected[1].substr(12), c.line2, "", ""}));
  EXPECT_EQ(st.first_mark, 0);
  EXPECT_EQ(st.last_mark, 2);
  EXPECT_TRUE(doc.Changed());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitCurrentTest,
    ::testing::Values(SplitCase{"0:00:10.000",
                                "0:00:14.000",
                                "123456789012345678901234567890",
                                "1234567890",
                                {"0:00:10.000-0:00:12.975", "0:00:13.025-0:00:14.000",
                                 "0:01:00.000-0:01:01.000"}},
                      SplitCase{"0:00:10.000",
                                "0:00:12.000",
                                "Hello there",
                                "my friend",
                                {"0:00:10.000-0:00:11.075", "0:00:11.125-0:00:12.000",
                                 "0:01:00.000-0:01:01.000"}},
                      // Both lines empty: the time is cut in half.
                      SplitCase{"0:00:10.000",
                                "0:00:12.000",
                                "",
                                "",
                                {"0:00:10.000-0:00:10.975", "0:00:11.025-0:00:12.000",
                                 "0:01:00.000-0:01:01.000"}}));

TEST(SplitCurrent, RefusesPartsThatWouldEndBeforeTheyStart) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:10.000", "0:00:12.000", "only one line"},
                                       {"0:00:20.000", "0:00:22.000", "", "only the second"},
                                       {"0:00:30.000", "0:00:30.040", "a", "b"}});
  for (int row : {0, 1, 2, -1, 3}) {
    prompter.ExpectBeep();
    MoviePageState st = OnRow(row);
    EXPECT_FALSE(SplitCurrent(doc, st, prompter).applied) << row;
  }
  EXPECT_EQ(doc.Count(), 3);
  EXPECT_FALSE(doc.Changed());
}

// ---- Shift and Stretch

SubtitleDocument SyncDocument() {
  return MakeDocument({{"0:00:58.000", "0:01:00.000"},
                       {"0:01:30.000", "0:01:31.500"},
                       {"0:02:00.000", "0:02:02.000"}});
}

TEST(Shift, MovesEverySubtitleSoTheFirstMarkStartsAtThePosition) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = SyncDocument();
  doc.InsertRow(0, u"0:00:01.000", u"0:00:02.000");  // before the first mark, moves too
  MoviePageState st;
  st.first_mark = 1;
  st.last_mark = 3;
  // 0:01:00.123 and a bit: cut to whole milliseconds.
  MovieEditEffect fx = Shift(doc, st, PlayState::Playing, Seconds(60.123) + 9999, -1, prompter);
  ASSERT_TRUE(fx.applied);
  EXPECT_EQ(Times(doc), (V{"0:00:03.123-0:00:04.123", "0:01:00.123-0:01:02.123",
                           "0:01:32.123-0:01:33.623", "0:02:02.123-0:02:04.123"}));
  EXPECT_DOUBLE_EQ(st.reference_time, 60.123);
  EXPECT_EQ(st.current, 1);
  EXPECT_TRUE(fx.pause);
  EXPECT_TRUE(fx.seek_to_current);
  EXPECT_TRUE(doc.Changed());

  // Earlier, without a guard: times before zero are written as zero.
  fx = Shift(doc, st, PlayState::Playing, Seconds(2.0), -1, prompter);
  EXPECT_EQ(Times(doc)[0], "0:00:00.000-0:00:00.000");
  EXPECT_EQ(Times(doc)[1], "0:00:02.000-0:00:04.000");
}

TEST(Shift, NotPlayingMarksTheSelectedRow) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = SyncDocument();
  MoviePageState st;
  ResetMarks(doc, st);
  MovieEditEffect fx = Shift(doc, st, PlayState::Paused, Seconds(5), 2, prompter);
  EXPECT_TRUE(fx.applied);
  EXPECT_EQ(st.first_mark, 2);
  EXPECT_EQ(fx.changed, kRefreshRows);
  EXPECT_EQ(Times(doc), Times(SyncDocument()));
  EXPECT_FALSE(doc.Changed());
  prompter.ExpectBeep();
  EXPECT_FALSE(Shift(doc, st, PlayState::Paused, 0, -1, prompter).applied);
}

TEST(Stretch, MovesRowsBetweenTheMarksInProportion) {
  ScriptedPrompter prompter;
  SubtitleDocument doc = MakeDocument({{"0:00:05.000", "0:00:06.000"},
                                       {"0:00:10.000", "0:00:12.000"},
                                       {"0:00:55.000", "0:00:57.000"},
                                       {"0:01:40.000", "0:01:43.000"},
                                       {"0:02:00.000", "0:02:01.000"}});
  MoviePageState st;
  st.first_mark = 1;
  st.last_mark = 3;
  st.reference_time = 10.0;
  MovieEditEffect fx = Stretch(doc, st, PlayState::Playing, Seconds(101.0), -1, prompter);
  ASSERT_TRUE(fx.applied);
  EXPECT_EQ(Times(doc),
            (V{"0:00:05.000-0:00:06.000", "0:00:10.000-0:00:12.000", "0:00:55.500-0:00:57.500",
               "0:01:41.000-0:01:44.000", "0:02:00.000-0:02:01.000"}));
  EXPECT_EQ(st.current, 3);
  EXPECT_DOUBLE_EQ(st.reference_time, 10.0);
  EXPECT_TRUE(doc.Changed());
}

TEST(Stretch, RefusesEqualMarkStartsAndMissingMarks) {
  SubtitleDocument doc = MakeDocument({{"0:00:10.000", "0:00:12.000"},
                                       {"0:00:10.000", "0:00:11.000"},
                                       {"0:00:20.000", "0:00:21.000"}});
  const V before = Times(doc);
  ScriptedPrompter prompter;
  MoviePageState st;
  st.first_mark = 0;
  st.last_mark = 1;
  prompter.ExpectMessage("ERROR: Stretching needs two subtitles with different start times.");
  MovieEditEffect fx = Stretch(doc, st, PlayState::Playing, Seconds(30), -1, prompter);
  EXPECT_FALSE(fx.applied);
  EXPECT_EQ(Times(doc), before);

  // A position at or before the first mark's start would reverse or collapse the times.
  st.last_mark = 2;
  for (double position : {10.0, 4.0}) {
    prompter.ExpectMessage(
        "ERROR: Stretching to this position would move the last mark to or before the first "
        "one.");
    fx = Stretch(doc, st, PlayState::Playing, Seconds(position), -1, prompter);
    EXPECT_FALSE(fx.applied);
    EXPECT_TRUE(fx.pause);
    EXPECT_EQ(Times(doc), before);
  }
  EXPECT_EQ(doc.Log().Size(), 2);

  // A mark left beyond the last row (the document was replaced elsewhere).
  st.last_mark = 7;
  prompter.ExpectBeep();
  EXPECT_FALSE(Stretch(doc, st, PlayState::Playing, Seconds(30), -1, prompter).applied);
  prompter.ExpectBeep();
  st.first_mark = 5;
  EXPECT_FALSE(Shift(doc, st, PlayState::Playing, Seconds(30), -1, prompter).applied);
  EXPECT_EQ(Times(doc), before);
  EXPECT_FALSE(doc.Changed());

  // Not playing, the selected row becomes the last mark.
  EXPECT_TRUE(Stretch(doc, st, PlayState::Stopped, 0, 2, prompter).applied);
  EXPECT_EQ(st.last_mark, 2);
}

TEST(Marks, ResetToFirstAndLastRow) {
  SubtitleDocument doc = SyncDocument();
  MoviePageState st;
  ResetMarks(doc, st);
  EXPECT_EQ(st.first_mark, 0);
  EXPECT_EQ(st.last_mark, 2);
  EXPECT_DOUBLE_EQ(st.reference_time, 58.0);
  doc.Empty();
  ResetMarks(doc, st);
  EXPECT_EQ(st.first_mark, -1);
  EXPECT_EQ(st.last_mark, -1);
}

}  // namespace
}  // namespace tessera
