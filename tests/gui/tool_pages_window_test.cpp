// The editing pages inside the whole window: keys routed to the active page only, the search
// options kept between runs, and Convert coming back after a new load.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

#include "tests/gui/window_fixture.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

using testing::kChangedQuestion;
using testing::MainWindowTest;
using testing::ScriptedDialogs;

constexpr int kFilesPage = 0, kEditPage = 3, kFrameRatePage = 7;

class ToolPagesWindowTest : public MainWindowTest {
 protected:
  CTesseraApp& StartOn(int page) {
    CTesseraApp& app = Start({WriteSample("film.srt", 3).string()});
    app.MainDialog()->SetActivePage(page);
    return app;
  }
  CSheetPage* Page(int index) { return app_->MainDialog()->Page(index); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(Page(app_->MainDialog()->ActivePage())->List(), &press);
  }
};

TEST_F(ToolPagesWindowTest, EditShortcutsArriveOnlyOnTheEditPage) {
  CTesseraApp& app = StartOn(kFilesPage);
  // Nothing is expected: a dialog, a question or a beep would fail the test.
  for (auto [key, mods] : {std::pair{Qt::Key_F, Qt::ControlModifier},
                           {Qt::Key_H, Qt::ControlModifier},
                           {Qt::Key_F3, Qt::NoModifier},
                           {Qt::Key_Delete, Qt::NoModifier}})
    Key(key, mods);
  EXPECT_EQ(app.Doc().Count(), 3);

  app.MainDialog()->SetActivePage(kEditPage);
  dialogs_.ExpectFind(std::nullopt);
  Key(Qt::Key_F, Qt::ControlModifier);
  dialogs_.Verify();
  prompter_.ExpectQuestion(u"Are you sure to remove the selected subtitles?", true);
  Page(kEditPage)->List()->selectAll();
  Key(Qt::Key_Delete);
  EXPECT_EQ(app.Doc().Count(), 0);
  app.Doc().SetChanged(false);
}

TEST_F(ToolPagesWindowTest, SearchOptionsSurviveARestart) {
  using Press = ScriptedDialogs::ReplacePress;
  CTesseraApp& app = StartOn(kEditPage);
  SearchDialogFields fields;
  fields.find = u"Line";
  fields.replace = u"Row";
  fields.match_case = true;
  dialogs_.ExpectReplace({Press{ScriptedDialogs::ReplaceButton::kReplaceAll, fields}});
  prompter_.ExpectMessage("Replaced 3 occurences.");
  Key(Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(ToUtf8(app.Doc().Line(2, 0)), "Row 3");
  prompter_.ExpectChoice(kChangedQuestion, PromptAnswer::No);
  app.MainDialog()->EndWithOk();
  app_.reset();

  StartOn(kEditPage);
  dialogs_.ExpectFind(std::nullopt);
  Key(Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(ToUtf8(dialogs_.last_search_fields.find), "Line");
  EXPECT_TRUE(dialogs_.last_search_fields.match_case);
  EXPECT_FALSE(dialogs_.last_search_fields.whole_word);
  EXPECT_EQ(dialogs_.last_search_fields.direction, +1);
  dialogs_.ExpectReplace({});
  Key(Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(ToUtf8(dialogs_.last_search_fields.replace), "Row");
}

TEST_F(ToolPagesWindowTest, ConvertComesBackAfterANewLoad) {
  CTesseraApp& app = StartOn(kFrameRatePage);
  QPushButton* convert = Page(kFrameRatePage)->Button("convert");
  ASSERT_TRUE(convert->isEnabled());
  convert->click();
  EXPECT_FALSE(convert->isEnabled());
  app.MainDialog()->SetActivePage(kFilesPage);
  app.MainDialog()->SetActivePage(kFrameRatePage);
  EXPECT_FALSE(convert->isEnabled());

  app.MainDialog()->SetActivePage(kFilesPage);
  prompter_.ExpectChoice(kChangedQuestion, PromptAnswer::No);
  dialogs_.ExpectOpen(u"Open Subtitle file", FromUtf8(WriteSample("other.srt", 4).string()));
  Page(kFilesPage)->Button("open")->click();
  ASSERT_EQ(app.Doc().Count(), 4);
  app.MainDialog()->SetActivePage(kFrameRatePage);
  EXPECT_TRUE(convert->isEnabled());
  EXPECT_EQ(Page(kFrameRatePage)->List()->Model()->rowCount(), 16);
}

}  // namespace
}  // namespace tessera
