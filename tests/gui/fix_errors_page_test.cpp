#include "pages/fix_errors/fix_errors_page.h"

#include <gtest/gtest.h>

#include "tests/gui/page_fixture.h"
#include "tests/gui/window_fixture.h"
#include "ui/log_panel.h"

namespace tessera {
namespace {

using testing::TextRow;

class CheckPageTest : public testing::PageFixture<CCheckPage> {
 protected:
  CheckPageTest() {
    WriteLists(
        "[Credits]\r\nCREDITS_01 = \"translated by \" ASK\r\n"
        "[OCR]\r\nOCR_01 = \"l'm \" \"I'm \"\r\n");
  }
  void WriteLists(const std::string& text) {
    testing::WriteBytes(scratch.Path("Tessera.ini"), text);
  }
  void Open(const std::vector<TextRow>& rows = {}) {
    testing::Fill(doc, rows);
    page = std::make_unique<CCheckPage>(ctx, nullptr, scratch.Path("Tessera.ini"));
    page->OnActivate();
  }
};

TEST_F(CheckPageTest, EnablingRulesFollowEveryClick) {
  Open();
  const struct {
    const char* click;  // null: the page as it starts
    const char* control;
    bool enabled;
  } steps[] = {
      {nullptr, "smartDuration", true},
      {nullptr, "secondsPerCharacter", true},
      {nullptr, "minimumDuration", false},
      {nullptr, "addPoints", false},
      {nullptr, "preset", false},
      {nullptr, "fixNow", false},
      {"smartDuration", "minimumDuration", true},
      {nullptr, "secondsPerCharacter", false},
      {"fixShortDuration", "smartDuration", false},
      {"smartDuration", "minimumDuration", true},  // a disabled box does not take the click
      {"fixTriplePeriods", "triplePeriodsMode3", false},
      {"splitTooLong", "splitMethod1", false},
      {nullptr, "fixedCount", false},
      {nullptr, "fixedCountUp", false},
      {"removeLineSeparators", "splitLineSeparators", false},
      {"fixDashFormat", "spacesAfterDash", false},
      {nullptr, "spacesAfterDashDown", false},
      {"fixDashFormat", "spacesAfterDash", true},
      {"selectAll", "addPoints", false},
      {nullptr, "splitMethod0", true},
  };
  for (const auto& s : steps) {
    if (s.click) Click(s.click);
    EXPECT_EQ(Enabled(s.control), s.enabled) << (s.click ? s.click : "") << " -> " << s.control;
  }
  testing::Fill(doc, {{"0:00:01.000", "0:00:02.000", "a"}});
  page->OnActivate();
  EXPECT_TRUE(Enabled("fixNow"));
}

TEST_F(CheckPageTest, SelectAllAndNoneLeaveTheDurationChoicesAlone) {
  Open();
  const char* untouched[] = {"smartDuration", "splitLineSeparators", "warnShortDuration",
                             "warnLongDuration"};
  for (const char* name : untouched) Click(name);  // all four off
  Click("splitMethod1");
  Click("selectNone");
  for (const OptionBinding<FixErrorsOptions>& b : FixErrorsBindings()) {
    if (b.kind != OptionKind::kFlag || b.control.empty()) continue;
    EXPECT_FALSE(Checked(std::string(b.control).c_str())) << b.control;
  }
  Click("selectAll");
  for (const char* name : untouched) EXPECT_FALSE(Checked(name)) << name;
  EXPECT_TRUE(Checked("addPoints"));
  EXPECT_TRUE(Checked("fixCommas"));
  EXPECT_TRUE(Checked("splitMethod1"));
  EXPECT_EQ(page->Options().add_points, 1);
}

TEST_F(CheckPageTest, ArrowsStopAtZeroAndFieldsKeepTheirValueOnBadText) {
  Open();
  const struct {
    const char* click;  // an arrow, or null to type `typed`
    const char* field;
    const char* typed;
    const char* prompt;  // expected message or beep, or null
    const char* shown;
  } steps[] = {
      {"spacesAfterDashDown", "spacesAfterDash", nullptr, nullptr, "0"},
      {"spacesAfterDashDown", "spacesAfterDash", nullptr, "(beep)", "0"},
      {"spacesAfterDashUp", "spacesAfterDash", nullptr, nullptr, "1"},
      {"fixedCountUp", "fixedCount", nullptr, nullptr, "51"},
      {nullptr, "minTimeBetween", "abc", "Enter a number.", "0.100"},
      {nullptr, "minTimeBetween", "0.25", nullptr, "0.25"},
      {nullptr, "spacesAfterDash", "1.5", "Enter an integer.", "1"},
      {nullptr, "warnLongDurationTime", "", "Enter a number.", "10.000"},
  };
  for (const auto& s : steps) {
    if (s.prompt && std::string(s.prompt) == "(beep)")
      prompter.ExpectBeep();
    else if (s.prompt)
      prompter.ExpectMessage(std::string(s.prompt));
    if (s.click)
      Click(s.click);
    else
      Type(s.field, s.typed);
    EXPECT_EQ(Text(s.field), s.shown) << s.field;
    EXPECT_FALSE(prompter.Pending()) << s.field;
  }
  Click("fixOverlap");  // reading the controls again asks nothing more
  EXPECT_DOUBLE_EQ(page->Options().min_time_between, 0.25);
  EXPECT_EQ(page->Options().max_number_characters, 51);
  EXPECT_EQ(page->Options().spaces_after_dash, 1);
}

TEST_F(CheckPageTest, FixNowRunsWithTheWindowsPromptsAndLog) {
  Open({{"0:00:01.000", "0:00:13.000", "Long one"},
        {"0:00:14.000", "0:00:26.000", "Long two"},
        {"0:00:27.000", "0:00:39.000", "Long three"},
        {"0:00:40.000", "0:00:43.000", "Translated by Anna"},
        {"0:00:44.000", "0:00:47.000", "translated by Bert"},
        {"0:00:48.000", "0:00:51.000", "l'm here"}});
  prompter.ExpectOptOut(
      "1:\n\rLong one\n\r\n\r\n\rWARNING: The duration of this subtitle is "
      "longer than 10 (12.000) seconds!",
      false);
  prompter.ExpectOptOut("2:\n\rLong two", true);
  // No more warnings in this run: the third long subtitle is passed over.
  prompter.ExpectQuestion(
      "Line 4:\n\rTranslated by Anna\n\r\n\rlooks like an unwanted subtitle "
      "credit... Remove it?",
      false);
  prompter.ExpectQuestionWith("Line 5:\n\rtranslated by Bert", true);
  Click("fixNow");
  EXPECT_FALSE(prompter.Pending());
  ASSERT_EQ(doc.Count(), 5);
  // The default '...' mode joins the two last lines; the OCR list corrects the last.
  EXPECT_EQ(testing::LineOf(doc, 3, 0), "Translated by Anna...");
  EXPECT_EQ(testing::LineOf(doc, 4, 0), "...I'm here");
  EXPECT_TRUE(doc.Changed());
  const std::vector<std::string> log = Log();
  const auto has = [&log](const std::string& line) {
    return std::find(log.begin(), log.end(), line) != log.end();
  };
  EXPECT_TRUE(has("Start checking for selected errors..."));
  EXPECT_TRUE(has("  1 credits removed..."));
  EXPECT_TRUE(has("  1 OCR errors ... corrected..."));
  EXPECT_TRUE(log.back().starts_with("Done. (in ")) << log.back();
  EXPECT_EQ(page->Log()->count(), static_cast<int>(log.size()));
  // The progress window showed the run's last row before it closed.
  EXPECT_EQ(progress.windowTitle().toStdString(), "Checking...");
  EXPECT_FALSE(progress.isVisible());
  EXPECT_EQ(progress.ShownLine(0).toStdString(), "l'm here");
  EXPECT_TRUE(history.CanUndo());

  // A subtitle that ends before it starts stops the next run.
  testing::Fill(doc, {{"0:00:05.000", "0:00:04.000", "bad"}, {"0:00:06.000", "0:00:08.000", "ok"}});
  page->OnActivate();
  prompter.ExpectMessage("Subtitle 1 ERROR: Start time is past the stop time...");
  prompter.ExpectOptOut("WARNING: The duration of this subtitle is shorter than 0.5", false);
  Click("fixNow");
  EXPECT_EQ(Log().back(), "Checking is stopped due to uncorrectable errors.");
  EXPECT_EQ(doc.CurrentRow(), 0);
}

// The options through the settings file of a real start: defaults, every key on Exit, and the
// three values shared with the global settings.
class CheckPageWindowTest : public testing::MainWindowTest {
 protected:
  CCheckPage* Page() { return static_cast<CCheckPage*>(app_->MainDialog()->Page(2)); }
  QWidget* Control(const char* name) {
    return Page()->findChild<QWidget*>(QString::fromLatin1(name));
  }
  void Type(const char* name, const char* text) {
    auto* field = static_cast<QLineEdit*>(Control(name));
    field->setText(QString::fromUtf8(text));
    emit field->editingFinished();
  }
  void Click(const char* name) { static_cast<QAbstractButton*>(Control(name))->click(); }
};

TEST_F(CheckPageWindowTest, OptionsRoundTripThroughTheSettingsFile) {
  Start();
  for (const OptionBinding<FixErrorsOptions>& b : FixErrorsBindings()) {
    if (b.kind != OptionKind::kFlag || b.control.empty()) continue;
    auto* box = static_cast<QAbstractButton*>(Control(std::string(b.control).c_str()));
    EXPECT_EQ(box->isChecked(), b.default_value != 0) << b.control;
  }
  const std::pair<const char*, const char*> fields[] = {{"minTimeBetween", "0.100"},
                                                        {"minimumDuration", "2.000"},
                                                        {"secondsPerCharacter", "0.085"},
                                                        {"warnShortDurationTime", "0.500"},
                                                        {"warnLongDurationTime", "10.000"},
                                                        {"spacesAfterDash", "1"},
                                                        {"fixedCount", "50"}};
  for (const auto& [name, text] : fields)
    EXPECT_EQ(static_cast<QLineEdit*>(Control(name))->text().toStdString(), text) << name;

  app_->MainDialog()->SetActivePage(2);
  Click("selectAll");
  Click("removeFormatTags");
  Type("warnShortDurationTime", "0.57");
  Type("warnLongDurationTime", "12.3456");
  Type("minTimeBetween", "0.25");
  Type("secondsPerCharacter", "0.1");
  app_->MainDialog()->SetActivePage(0);
  EXPECT_DOUBLE_EQ(app_->Settings().smart_seconds, 0.1);
  app_->Settings().minimum_duration = 3;
  app_->MainDialog()->SetActivePage(2);
  EXPECT_EQ(static_cast<QLineEdit*>(Control("minimumDuration"))->text().toStdString(), "3.000");
  app_->MainDialog()->EndWithOk();

  SettingsStore s(config_);
  for (const OptionBinding<FixErrorsOptions>& b : FixErrorsBindings())
    EXPECT_TRUE(s.Has(b.key.section, b.key.key)) << ToUtf8(b.key.key);
  const std::pair<const char16_t*, int> stored[] = {{u"WarnShortDurationTime", 570},
                                                    {u"WarnLongDurationTime", 12345},
                                                    {u"Remove Format Tags", 0},
                                                    {u"Fix long duration", 0},
                                                    {u"Add Points", 1},
                                                    {u"Fix commas", 1}};
  for (const auto& [key, value] : stored)
    EXPECT_EQ(s.GetInt(u"Settings", key, -1), value) << ToUtf8(key);
  EXPECT_EQ(ToUtf8(s.GetString(u"Settings", u"Min Time Between Subs")), "0.250");
  EXPECT_EQ(ToUtf8(s.GetString(u"Settings", u"Minimum Duration")), "3.000");
  app_.reset();

  Start();
  EXPECT_TRUE(static_cast<QAbstractButton*>(Control("fixCommas"))->isChecked());
  EXPECT_FALSE(static_cast<QAbstractButton*>(Control("addPoints"))->isChecked());
  EXPECT_EQ(static_cast<QLineEdit*>(Control("warnShortDurationTime"))->text().toStdString(),
            "0.570");
  app_->MainDialog()->close();
}

}  // namespace
}  // namespace tessera
