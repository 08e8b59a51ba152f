// The Fix Errors run: options, working table, row loop, timing repairs, lists, log.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "check/analysis.h"
#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "core/message_log.h"
#include "core/settings_store.h"
#include "core/time_code.h"
#include "tests/check/fix_test_util.h"

namespace tessera {
namespace {

using fixtest::CountLines;
using fixtest::NoRepairs;
using testing::EndOf;
using testing::Fill;
using testing::LineOf;
using testing::LogLines;
using testing::ScriptedPrompter;
using testing::StartOf;

struct Fixture : ::testing::Test {
  int Run(const FixErrorsOptions& o) {
    FixRunServices s;
    s.app = &app;
    s.lists = &lists;
    s.measurer = &measurer;
    s.prompter = &prompter;
    return RunFixErrors(doc, o, s);
  }
  SubtitleDocument doc;
  AppSettings app;
  CheckLists lists;
  testing::FakeMeasurer measurer;
  ScriptedPrompter prompter;
};

// Stops being asked after `after` rows, as a user pressing Cancel halfway.
class CancellingProgress final : public ProgressSink {
 public:
  explicit CancellingProgress(int after) : after_(after) {}
  void Open(const std::u16string&) override {}
  void SetPercent(int) override {}
  void SetLines(const std::u16string&, const std::u16string&) override {}
  void Close() override {}
  void OfferCancel() override { offered = true; }
  bool Cancelled() override { return ++asked > after_; }
  bool offered = false;
  int asked = 0;

 private:
  int after_;
};

TEST_F(Fixture, ACancelledRunLeavesTheSubtitlesAsTheyWere) {
  for (const bool changed : {false, true}) {
    Fill(doc, {{"0:00:01.000", "0:00:02.000", "lower case start"},
               {"0:00:01.900", "0:00:03.000", "l'm overlapping"},
               {"0:00:05.000", "0:00:06.000", "  spaces  "}});
    doc.SetChanged(changed);
    const std::vector<std::u16string> before = {doc.Start(1), doc.Line(1, 0), doc.Line(2, 0)};
    CancellingProgress progress(1);
    FixRunServices s;
    s.app = &app;
    s.lists = &lists;
    s.measurer = &measurer;
    s.prompter = &prompter;
    s.progress = &progress;
    EXPECT_EQ(kFixRunCancelled, RunFixErrors(doc, FixErrorsOptions{}, s));
    EXPECT_TRUE(progress.offered);
    EXPECT_EQ(progress.asked, 2);  // it stops at the first question after the cancel
    EXPECT_EQ(doc.Count(), 3);
    EXPECT_EQ(before, (std::vector<std::u16string>{doc.Start(1), doc.Line(1, 0), doc.Line(2, 0)}));
    EXPECT_EQ(doc.Changed(), changed);
    EXPECT_EQ(LogLines(doc).back(), "Checking is cancelled; the subtitles are as they were.");
  }
}

TEST(FixErrorsOptions, DefaultsRoundTripAndAddPoints) {
  SettingsStore store;
  store.LoadFromText(u"[Settings]\r\nAdd Points = 1\r\nMin Time Between Subs = \"0.250s\"\r\n");
  AppSettings app;
  app.max_number_characters = 40;
  FixErrorsOptions o = LoadFixErrorsOptions(store, app);
  EXPECT_EQ(o.add_points, 0);  // the page never reads it
  EXPECT_DOUBLE_EQ(o.min_time_between, 0.25);
  EXPECT_EQ(o.max_number_characters, 40);
  EXPECT_EQ(o.fix_commas, 0);
  EXPECT_EQ(o.remove_duplicates, 0);
  EXPECT_EQ(o.fix_time_between, 0);
  EXPECT_EQ(o.warn_long_duration_ms, 10000);
  EXPECT_EQ(o.triple_periods_mode, 1);
  const OptionBinding<FixErrorsOptions>* add_points = FindOption(FixErrorsBindings(), "addPoints");
  ASSERT_NE(add_points, nullptr);
  ReadOption(store, app, *add_points, o);
  EXPECT_EQ(o.add_points, 1);

  o.fix_commas = 1;
  o.remove_format_tags = 0;
  o.min_time_between = 0.5;
  o.smart_seconds = 0.07;
  SaveFixErrorsOptions(store, app, o);
  EXPECT_DOUBLE_EQ(app.smart_seconds, 0.07);
  EXPECT_EQ(ToUtf8(store.GetString(u"Settings", u"Min Time Between Subs")), "0.500");
  EXPECT_EQ(store.GetInt(u"Settings", u"Fix long duration", 9), 0);
  FixErrorsOptions back = LoadFixErrorsOptions(store, app);
  ReadOption(store, app, *add_points, back);
  EXPECT_EQ(back.fix_commas, 1);
  EXPECT_EQ(back.remove_format_tags, 0);
  EXPECT_DOUBLE_EQ(back.min_time_between, 0.5);
}

// Each row keeps its own value through a save and a load: a row with another row's key or field,
// or a value that comes back in the wrong unit, shows here.
template <typename O>
void ExpectEveryValueSurvives(const OptionTable<O>& table) {
  O o{};
  for (const auto& b : table) {
    if (b.real)
      o.*b.real = b.default_value + 0.25;
    else if (b.kind == OptionKind::kFlag)
      o.*b.whole = b.default_value != 0 ? 0 : 1;
    else if (b.mask)
      o.*b.whole ^= b.mask;
    else
      o.*b.whole = std::min(static_cast<int>(b.default_value) + 2, b.max);
  }
  SettingsStore store;
  store.LoadFromText(u"");
  AppSettings app;
  SaveOptions(table, store, app, o);
  O back = LoadOptions(table, store, app);
  for (const auto& b : table)
    if (b.source == OptionSource::kWriteOnly) ReadOption(store, app, b, back);
  std::set<std::string_view> controls;
  for (const auto& b : table) {
    const std::string name = ToUtf8(b.key.key);
    if (b.real)
      EXPECT_DOUBLE_EQ(back.*b.real, o.*b.real) << name;
    else
      EXPECT_EQ(back.*b.whole, o.*b.whole) << name;
    if (!b.control.empty()) {
      EXPECT_TRUE(controls.insert(b.control).second) << b.control;
    }
  }
}

TEST(OptionTables, EveryBoundValueSurvivesSaveAndLoad) {
  ExpectEveryValueSurvives(FixErrorsBindings());
  ExpectEveryValueSurvives(AnalysisBindings());
  // The labels the page takes from the language table are those of its own block.
  for (const auto& b : FixErrorsBindings())
    if (b.caption_id != 0) {
      EXPECT_TRUE(b.caption_id >= 1307 && b.caption_id <= 1323) << b.control;
    }
}

TEST(FixErrorsOptions, SelectAllLeavesTheOthers) {
  FixErrorsOptions o;
  o.smart_duration = 0;
  o.split_line_separators = 0;
  SelectAllRepairs(o, 1);
  EXPECT_EQ(o.add_points, 1);
  EXPECT_EQ(o.remove_duplicates, 1);
  EXPECT_EQ(o.smart_duration, 0);
  EXPECT_EQ(o.split_line_separators, 0);
  SelectAllRepairs(o, 0);
  EXPECT_EQ(o.fix_overlap, 0);
  EXPECT_EQ(o.warn_short_duration, 1);
}

// Inserting and removing around a moving position must keep every other row in place.
TEST(FixWorkTable, GapBufferMatchesAPlainList) {
  FixWorkTable t;
  std::vector<std::u16string> ref;
  std::mt19937 rng(7);
  int next = 0;
  for (int step = 0; step < 5000; ++step) {
    const int count = t.Count();
    const int at = count == 0 ? 0 : static_cast<int>(rng() % static_cast<unsigned>(count + 1));
    if (count > 0 && rng() % 3 == 0 && at < count) {
      t.RemoveRow(at);
      ref.erase(ref.begin() + at);
    } else {
      t.InsertRow(at);
      t.Line(at, 0) = Format("%d", next);
      ref.insert(ref.begin() + at, Format("%d", next++));
    }
    ASSERT_EQ(t.Count(), static_cast<int>(ref.size()));
  }
  for (int i = 0; i < t.Count(); ++i) ASSERT_EQ(t.Line(i, 0), ref[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(ToUtf8(DurationText(2.5, DurationForm::kLeadingZeroDropped)), "2.500");
  EXPECT_EQ(ToUtf8(DurationText(12.5, DurationForm::kLeadingZeroDropped)), "12.500");
}

TEST_F(Fixture, GapOverlapAndShortDurationArithmetic) {
  FixErrorsOptions o = NoRepairs();
  o.fix_time_between = 1;
  Fill(doc, {{"0:00:08.000", "0:00:10.000", "a"}, {"0:00:10.040", "0:00:12.000", "b"}});
  Run(o);
  EXPECT_EQ(EndOf(doc, 0), "0:00:09.970");
  EXPECT_EQ(StartOf(doc, 1), "0:00:10.070");
  EXPECT_EQ(CountLines(doc), std::vector<std::string>{"  1 times between subs fixed..."});

  o = NoRepairs();
  o.fix_overlap = 1;
  Fill(doc, {{"0:00:08.000", "0:00:10.300", "a"}, {"0:00:10.100", "0:00:12.000", "b"}});
  Run(o);
  EXPECT_EQ(EndOf(doc, 0), "0:00:10.175");
  EXPECT_EQ(StartOf(doc, 1), "0:00:10.225");

  // An exact minimum gap is no repair.
  o = NoRepairs();
  o.fix_time_between = 1;
  Fill(doc, {{"0:00:08.000", "0:00:10.000", "a"}, {"0:00:10.100", "0:00:12.000", "b"}});
  Run(o);
  EXPECT_EQ(EndOf(doc, 0), "0:00:10.000");

  o = NoRepairs();
  o.fix_short_duration = 1;
  o.smart_duration = 1;
  const std::string forty(40, 'x');
  Fill(doc, {{"0:00:10.000", "0:00:11.000", forty.c_str()},
             {"0:00:20.000", "0:00:21.000", "0123456789"},
             {"0:00:30.000", "0:00:30.500", "short"},
             {"0:00:31.000", "0:00:31.500", "last"}});
  Run(o);
  EXPECT_EQ(EndOf(doc, 0), "0:00:13.400");
  EXPECT_EQ(EndOf(doc, 1), "0:00:22.000");
  EXPECT_EQ(EndOf(doc, 2), "0:00:30.900");  // the next start minus the gap
  EXPECT_EQ(EndOf(doc, 3), "0:00:33.000");  // the last one always gets its time
  EXPECT_EQ(CountLines(doc), std::vector<std::string>{"  4 to short subtitles found and fixed. 1 "
                                                      "of them could not be given the required "
                                                      "duration..."});
}

TEST_F(Fixture, InvalidTimesFixedOrStopTheRun) {
  FixErrorsOptions o = NoRepairs();
  o.fix_invalid_times = 1;
  o.fix_quotes = 1;
  Fill(doc, {{"0:00:05.000", "0:00:06.000", "a"}, {"0:00:04.000", "0:00:08.000", "b"}});
  Run(o);
  EXPECT_EQ(StartOf(doc, 1), "0:00:06.100");
  EXPECT_EQ(CountLines(doc), std::vector<std::string>{"  1 subs with invalid times fixed..."});

  // End before start: the run stops after this row; later rows keep their text.
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "\"one\""},
             {"0:00:05.000", "0:00:04.000", "\"two\""},
             {"0:00:07.000", "0:00:08.000", "\"three\""}});
  prompter.ExpectMessageWith("Subtitle 2 ERROR: Start time is past the stop time...");
  EXPECT_EQ(Run(o), kFixRunStopped);
  EXPECT_EQ(LogLines(doc).back(), "Checking is stopped due to uncorrectable errors.");
  EXPECT_TRUE(CountLines(doc).empty());
  EXPECT_EQ(LineOf(doc, 0, 0), "'one'");
  EXPECT_EQ(LineOf(doc, 1, 0), "\"two\"");
  EXPECT_EQ(LineOf(doc, 2, 0), "\"three\"");
  EXPECT_EQ(doc.CurrentRow(), 1);
  EXPECT_TRUE(doc.Changed());

  Fill(doc, {{"0:00:05.000", "0:00:09.000", "a"}, {"0:00:04.000", "0:00:08.000", "b"}});
  prompter.ExpectMessageWith("Subtitle 1 ERROR: has an invalid time but can't be fixed...");
  EXPECT_EQ(Run(o), kFixRunStopped);
}

TEST_F(Fixture, EmptyAndDuplicateRowsAndTheWarningsOfTheRowThatMovesUp) {
  FixErrorsOptions o = NoRepairs();
  o.remove_empty = 1;
  o.remove_duplicates = 1;
  o.warn_long_duration = 1;
  Fill(doc, {{"0:00:01.000", "0:00:02.000", ""},
             {"0:00:03.000", "0:00:20.000", "long", "two"},
             {"0:00:21.000", "0:00:22.000", "same"},
             {"0:00:21.000", "0:00:22.000", "same"},
             {"0:00:21.000", "0:00:22.000", "same"}});
  // Tested once when it moves up, once after its own repairs.
  prompter.ExpectMessageWith(
      "1:\n\rlong\n\rtwo\n\r\n\rWARNING: The duration of this subtitle is longer "
      "than 10 (17.000) seconds!");
  prompter.ExpectMessageWith("longer than 10");
  Run(o);
  ASSERT_EQ(doc.Count(), 3);
  EXPECT_EQ(CountLines(doc), (std::vector<std::string>{"  1 empty subs removed...",
                                                       "  1 Duplicate lines removed..."}));
  EXPECT_EQ(LogLines(doc).front(), "Start checking for selected errors...");
  EXPECT_TRUE(LogLines(doc).back().starts_with("Done. (in "));
}

TEST_F(Fixture, TagPrePassKeepsOuterTagsOnlyWhenTagRemovalIsOff) {
  FixErrorsOptions o = NoRepairs();
  o.exclamation_marks = 1;
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "<i>Hi!</i>", "<b>x</b> <u>y</u>"}});
  Run(o);
  // The repairs see the line without its outer tags; they are put back afterwards.
  EXPECT_EQ(LineOf(doc, 0, 0), "<i>Hi.</i>");
  EXPECT_EQ(LineOf(doc, 0, 1), "<b>x <u>y</u></b>");

  o.remove_format_tags = 1;
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "<i><b>Hi</b></i>"}});
  Run(o);
  EXPECT_EQ(LineOf(doc, 0, 0), "Hi");
  // The pre-pass took only "<i>" (the first "<" is then "<b>"); the other three are counted.
  EXPECT_EQ(CountLines(doc), std::vector<std::string>{"  Removed 3 formatting Tags..."});
}

TEST_F(Fixture, FixedOrderDecidesTheResult) {
  // Leading dashes go (step 4) before the dash format (step 20) could fix them.
  FixErrorsOptions o = NoRepairs();
  o.remove_trailing_dashes = 1;
  o.fix_dash_format = 1;
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "-Yes", "-No"}});
  Run(o);
  EXPECT_EQ(LineOf(doc, 0, 0), "Yes");
  EXPECT_EQ(LineOf(doc, 0, 1), "- No");
  // OCR corrections come last, after the quotes were replaced.
  o = NoRepairs();
  o.correct_ocr = 1;
  o.fix_quotes = 1;
  lists.ocr = {{u"l''m", u"I''m"}, {u"l'm", u"I'm"}};
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "l''m sure l'm"}});
  Run(o);
  EXPECT_EQ(LineOf(doc, 0, 0), "I'm sure l'm");
  EXPECT_EQ(CountLines(doc),
            (std::vector<std::string>{"  1 double quotes converted to single quotes...",
                                      "  1 OCR errors ... corrected..."}));
}

TEST_F(Fixture, CreditsAskedAnsweredBothWaysOrRemovedWithoutAsking) {
  lists.credits = {{u"sync by", true}, {u"subtitles:", false}};
  FixErrorsOptions o = NoRepairs();
  o.remove_credits = 1;
  o.exclamation_marks = 1;
  const std::vector<testing::TextRow> rows = {
      {"0:00:01.000", "0:00:02.000", "Sync By Someone", "", "x!"},
      {"0:00:03.000", "0:00:04.000", "Hey!"}};
  Fill(doc, rows);
  prompter.ExpectQuestionWith(
      "Line 1:\n\rSync By Someone\n\rx!\n\r\n\rlooks like an unwanted subtitle "
      "credit... Remove it?",
      true);
  Run(o);
  ASSERT_EQ(doc.Count(), 1);
  EXPECT_EQ(LineOf(doc, 0, 0), "Hey.");
  EXPECT_EQ(CountLines(doc)[0], "  1 credits removed...");

  Fill(doc, rows);
  prompter.ExpectQuestionWith("Sync By Someone", false);
  Run(o);
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(LineOf(doc, 0, 0), "Sync By Someone");  // its other repairs still ran
  EXPECT_EQ(LineOf(doc, 0, 2), "x!");               // line 3 is not a line for marks

  // A match without the ask flag removes at once.
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "sync by me", "Subtitles: us"}});
  Run(o);
  EXPECT_EQ(doc.Count(), 0);
}

TEST_F(Fixture, CountLinesFollowTheTableOrderAndTheLanguageText) {
  FixErrorsOptions o = NoRepairs();
  o.fix_numbers = 1;
  o.exclamation_marks = 1;
  o.fix_commas = 1;
  o.remove_empty = 1;
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "Wait,", "No!"},
             {"0:00:03.000", "0:00:04.000", ""},
             {"0:00:05.000", "0:00:06.000", "1 997"}});
  Run(o);
  EXPECT_EQ(CountLines(doc),
            (std::vector<std::string>{"  1 ending commas changed to periods...",
                                      "  1 empty subs removed...",
                                      "  1 Exclamationmarks replaced by periods...",
                                      "  1 incorrect displayed numbers corrected."}));
  EXPECT_EQ(LineOf(doc, 0, 0), "Wait.");  // line 2 begins with a capital
  EXPECT_EQ(LineOf(doc, 1, 0), "1997");
}

TEST_F(Fixture, SelectionClearedAndRowsNumbered) {
  FixErrorsOptions o = NoRepairs();
  Fill(doc, {{"0:00:01.000", "0:00:02.000", "a"}, {"0:00:03.000", "0:00:04.000", "b"}});
  doc.SetSelected(1, true);
  FixWorkTable table;
  FixRunServices s;
  s.app = &app;
  RunFixErrors(doc, o, s, table);
  EXPECT_FALSE(doc.Selected(1));
  EXPECT_EQ(ToUtf8(table.Cell(1, kFixNr)), "2");
  EXPECT_EQ(doc.Count(), 2);
}

TEST(CheckLists, FileFormatKeysAndLogging) {
  CheckLists lists;
  ParseCheckLists(
      u"[Credits]\r\nCREDITS_01 = \"Sync By \" ASK\r\nCREDITS_02 = \"x\"\r\n"
      u"CREDITS_04 = \"never read \"\r\n[OCR]\r\nOCR_02 = \"l'mx\", \"I'mx\"\r\n"
      u"OCR_01 = \"abcd\",\"wxyz\"\r\nOCR_03 = \"no!\",\"no!\"\r\n",
      lists);
  ASSERT_EQ(lists.credits.size(), 2u);
  EXPECT_EQ(lists.credits[0].text, u"sync by");
  EXPECT_TRUE(lists.credits[0].ask);
  EXPECT_EQ(lists.credits[1].text, u"");  // one character: empty, matches nothing
  EXPECT_FALSE(lists.credits[1].ask);
  // OCR_02 stands before OCR_01, so the search for it starts too late and the list ends.
  ASSERT_EQ(lists.ocr.size(), 1u);
  EXPECT_EQ(lists.ocr[0].find, u"abc");
  EXPECT_EQ(lists.ocr[0].replacement, u"wxy");

  MessageLog log;
  EXPECT_EQ(LoadCheckLists("/nonexistent/Tessera.ini", lists, log), 0);
  EXPECT_EQ(log.Size(), 0);
  const auto shipped = std::filesystem::path(TESSERA_SOURCE_DIR) / "assets" / "Tessera.ini";
  ASSERT_EQ(LoadCheckLists(shipped, lists, log), 1);
  ASSERT_EQ(log.Size(), 4);
  EXPECT_EQ(log.Lines()[0], u"Reading configuration file:");
  EXPECT_EQ(log.Lines()[1],
            Format("Found %d possible credit entries...", static_cast<int>(lists.credits.size())));
  EXPECT_EQ(log.Lines()[3], u"Ok.");
  EXPECT_FALSE(lists.credits.empty());
  EXPECT_FALSE(lists.ocr.empty());
  for (const auto& e : lists.credits) EXPECT_FALSE(e.text.empty());
}

}  // namespace
}  // namespace tessera

namespace tessera {
namespace {

// A split row stays and is broken again until every line fits; its new rows are checked in turn.
TEST_F(Fixture, LongLinesAreBrokenAgainUntilTheyFit) {
  for (int method : {1, 0}) {
    SCOPED_TRACE(method);
    FixErrorsOptions o = NoRepairs();
    o.split_too_long = 1;
    o.join_lines = 1;
    o.split_method = method;
    o.max_number_characters = 12;
    app.screen_width = 170;  // dynamic: 120 pixels, with "..." 30 of them
    app.left_margin = app.right_margin = 25;
    Fill(doc, {{"0:00:01.000", "0:00:09.000", "one two three four five six seven eight"}});
    Run(o);
    ASSERT_GT(doc.Count(), 1);
    for (int r = 0; r < doc.Count(); ++r) {
      for (int k = 0; k < 3; ++k) EXPECT_LE(doc.Line(r, k).size(), 12u) << r << " " << k;
      EXPECT_LE(ParseTimeText(doc.Start(r)), ParseTimeText(doc.End(r)));
    }
    EXPECT_EQ(EndOf(doc, doc.Count() - 1), "0:00:09.000");
    if (method == 0) {
      EXPECT_GT(measurer.calls, 0);
    }
  }
}

// A word longer than the limit is left as it is: the run still ends.
TEST_F(Fixture, UnbreakableWordEndsTheRun) {
  FixErrorsOptions o = NoRepairs();
  o.split_too_long = 1;
  o.max_number_characters = 3;
  Fill(doc, {{"0:00:01.000", "0:00:03.000", "Supercalifragilistic"}});
  Run(o);
  EXPECT_TRUE(LogLines(doc).back().starts_with("Done."));
  std::u16string all;
  for (int r = 0; r < doc.Count(); ++r) all += doc.Line(r, 0) + doc.Line(r, 1);
  ReplaceAll(all, u"...", u"");
  EXPECT_EQ(ToUtf8(all), "Supercalifragilistic");
}

// A limit too small for a character and "...": the dots the split adds must not be split off
// again for ever, whatever the other repairs do with them.
TEST_F(Fixture, ALimitBelowTheDotsEndsTheRun) {
  FixErrorsOptions o;
  SelectAllRepairs(o, 1);
  o.warn_short_duration = o.warn_long_duration = 0;
  o.triple_periods_mode = 1;
  o.min_time_between = 0;
  o.split_method = 1;
  o.max_number_characters = 3;
  Fill(doc, {{"0:00:01.000", "0:00:03.000", "l", "00:0v"}});
  Run(o);
  EXPECT_TRUE(LogLines(doc).back().starts_with("Done."));
  EXPECT_LE(doc.Count(), 1 + 6);
}

}  // namespace
}  // namespace tessera
