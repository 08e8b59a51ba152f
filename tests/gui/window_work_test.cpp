// The window never loses the user's work, and every change can be undone and redone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "core/hold_on_window.h"
#include "core/qt_text_qt.h"
#include "pages/files/files_page.h"
#include "tests/gui/window_fixture.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::kChangedQuestion;
using testing::MainWindowTest;
using testing::ReadBytes;
using testing::WriteBytes;

class WindowWorkTest : public MainWindowTest {
 protected:
  // A window on the File Operations page with `entries` subtitles loaded and then changed.
  CTesseraApp& StartChanged(int entries = 3) {
    const fs::path film = WriteSample("film.srt", entries);
    CTesseraApp& app = Start({film.string()});
    app.MainDialog()->SetActivePage(0);
    app.Doc().SetCell(0, kLine1, u"edited");
    app.Doc().SetChanged(true);
    return app;
  }
  CSheetPage* FilesPage() { return app_->MainDialog()->Page(0); }
  void Click(const char* name) { FilesPage()->Button(name)->click(); }
  std::u16string P(const std::string& name) const { return FromUtf8((dir_ / name).string()); }
  // The save dialog answers `name` (in the scratch folder unless absolute), or is cancelled.
  void ExpectSaveDialog(const std::optional<std::string>& name) {
    std::optional<std::u16string> path;
    if (name) path = name->front() == '/' ? FromUtf8(*name) : P(*name);
    dialogs_.ExpectSave(u"Save Subtitle file", path);
  }
  void Key(int key, Qt::KeyboardModifiers mods) {
    QWidget* target = FilesPage()->List();
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(target, &press);
  }
};

TEST_F(WindowWorkTest, OpenAsksBeforeReplacingAChangedDocument) {
  const fs::path other = WriteSample("other.srt", 5);
  struct Case {
    const char* name;
    PromptAnswer answer;
    std::optional<std::string> save_as;  // the save dialog's answer on Yes; nothing cancels
    bool opens;
  };
  const Case cases[] = {
      {"Cancel", PromptAnswer::Cancel, std::nullopt, false},
      {"No", PromptAnswer::No, std::nullopt, true},
      {"Yes, save cancelled", PromptAnswer::Yes, std::nullopt, false},
      {"Yes, save failed", PromptAnswer::Yes, "/nonexistent-folder/x.srt", false},
      {"Yes, saved", PromptAnswer::Yes, "saved.srt", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTesseraApp& app = StartChanged();
    prompter_.ExpectChoice(kChangedQuestion, c.answer);
    if (c.answer == PromptAnswer::Yes) ExpectSaveDialog(c.save_as);
    if (c.opens) dialogs_.ExpectOpen(u"Open Subtitle file", FromUtf8(other.string()));
    Click("open");
    EXPECT_EQ(app.Doc().Count(), c.opens ? 5 : 3);
    EXPECT_EQ(app.Doc().Changed(), !c.opens);
    if (!c.opens) {
      EXPECT_EQ(ToUtf8(app.Doc().Cell(0, kLine1)), "edited");
    }
    if (c.save_as && c.opens) {
      EXPECT_NE(ReadBytes(dir_ / *c.save_as).find("edited"), std::string::npos);
    }
    dialogs_.Verify();
    prompter_.Verify();
    app.Doc().SetChanged(false);
    app.MainDialog()->close();
    app_.reset();
  }
}

TEST_F(WindowWorkTest, CloseKeepsTheWindowWhenNothingWasSaved) {
  struct Case {
    const char* name;
    PromptAnswer answer;
    std::optional<std::string> save_as;
    bool closes;
  };
  const Case cases[] = {
      {"Cancel", PromptAnswer::Cancel, std::nullopt, false},
      {"Yes, save cancelled", PromptAnswer::Yes, std::nullopt, false},
      {"Yes, unwritable folder", PromptAnswer::Yes, "/proc/tessera-test.srt", false},
      {"Yes, no known extension", PromptAnswer::Yes, "name.xyz", false},
      {"No", PromptAnswer::No, std::nullopt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CTesseraApp& app = StartChanged();
    const QString caption = app.MainDialog()->windowTitle();
    prompter_.ExpectChoice(kChangedQuestion, c.answer);
    if (c.answer == PromptAnswer::Yes) ExpectSaveDialog(c.save_as);
    app.MainDialog()->EndWithOk();
    EXPECT_EQ(app.Finished(), c.closes);
    if (!c.closes) {
      EXPECT_TRUE(app.Doc().Changed());
      EXPECT_EQ(ToUtf8(app.Doc().Cell(0, kLine1)), "edited");
      EXPECT_EQ(app.MainDialog()->windowTitle(), caption);
      EXPECT_FALSE(fs::exists(config_));  // an Exit that did not end writes nothing yet
      app.Doc().SetChanged(false);
      app.MainDialog()->close();
    }
    dialogs_.Verify();
    prompter_.Verify();
    app_.reset();
  }
}

TEST_F(WindowWorkTest, ALoadThatFailsChangesNothing) {
  WriteBytes(dir_ / "binary.srt", std::string("\x00\x01\x02garbage\xff\xfe", 12));
  WriteBytes(dir_ / "unknown.srt", "just some text\r\nwith no times\r\n");
  WriteBytes(dir_ / "huge.srt", std::string(1048577, 'a'));
  for (const char* name : {"binary.srt", "unknown.srt", "huge.srt"}) {
    SCOPED_TRACE(name);
    CTesseraApp& app = StartChanged();
    const std::u16string path = app.Doc().FilePath();
    const QString caption = app.MainDialog()->windowTitle();
    prompter_.ExpectChoice(kChangedQuestion, PromptAnswer::No);
    dialogs_.ExpectOpen(u"Open Subtitle file", P(name));
    Click("open");
    EXPECT_EQ(app.Doc().Count(), 3);
    EXPECT_EQ(ToUtf8(app.Doc().Cell(0, kLine1)), "edited");
    EXPECT_TRUE(app.Doc().Changed());
    EXPECT_EQ(app.Doc().FilePath(), path);
    EXPECT_EQ(app.MainDialog()->windowTitle(), caption);
    app.Doc().SetChanged(false);
    app.MainDialog()->EndWithOk();
    SettingsStore s(config_);
    EXPECT_EQ(s.GetString(u"Settings", u"Last Sub"), path);
    app_.reset();
  }
}

TEST_F(WindowWorkTest, AStartFileThatCannotBeLoadedLeavesTheWindowUntitled) {
  WriteBytes(dir_ / "notes.srt", "no subtitles here\r\n");
  CTesseraApp& app = Start({(dir_ / "notes.srt").string()});
  EXPECT_EQ(app.Doc().Count(), 0);
  EXPECT_TRUE(app.Doc().FilePath().empty());
  EXPECT_EQ(app.MainDialog()->windowTitle().toStdString(), "Tessera 0.71 - Untitled");
  app.MainDialog()->close();
}

TEST_F(WindowWorkTest, AFailedSaveKeepsTheCaptionAndTheFolder) {
  CTesseraApp& app = StartChanged();
  app.Store().WriteString(u"Directories", u"Save", FromUtf8(dir_.string()));
  const QString caption = app.MainDialog()->windowTitle();
  dialogs_.ExpectSave(u"Save Subtitle file", u"/proc/no-such-folder/out.srt");
  Click("save");
  EXPECT_EQ(app.MainDialog()->windowTitle(), caption);
  EXPECT_EQ(app.Store().GetString(u"Directories", u"Save"), FromUtf8(dir_.string()));
  EXPECT_TRUE(app.Doc().Changed());
  EXPECT_EQ(ToUtf8(app.Doc().Log().Lines().back()).rfind("ERROR:", 0), 0u);

  dialogs_.ExpectSave(u"Save Subtitle file", P("out.srt"));
  Click("save");
  EXPECT_TRUE(app.MainDialog()->windowTitle().endsWith(ToQ(P("out.srt"))));
  EXPECT_FALSE(app.Doc().Changed());
  app.MainDialog()->close();
}

TEST_F(WindowWorkTest, TheProgressWindowBelongsToTheWindowAndStaysWhileARunIsUnderWay) {
  Start();
  auto* progress = app_->MainDialog()->findChild<CHoldOnDialog*>();
  ASSERT_NE(progress, nullptr);
  progress->Open(u"Working...");
  ASSERT_TRUE(progress->isVisible());
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(progress, &escape);
  progress->close();
  EXPECT_TRUE(progress->isVisible());
  progress->Close();
  EXPECT_FALSE(progress->isVisible());
  app_->MainDialog()->close();
}

TEST_F(WindowWorkTest, UndoAndRedoOfOpenAppendAndEdits) {
  const fs::path more = WriteSample("more.srt", 2);
  CTesseraApp& app = Start({WriteSample("film.srt", 3).string()});
  CMainDialog* w = app.MainDialog();
  w->SetActivePage(0);
  EXPECT_FALSE(w->UndoButton()->isEnabled());

  // Append, then undo and redo it.
  dialogs_.ExpectOpen(u"Select Subtitle file to Append...", FromUtf8(more.string()));
  Click("append");
  ASSERT_EQ(app.Doc().Count(), 5);
  EXPECT_TRUE(app.Doc().Changed());
  EXPECT_TRUE(w->UndoButton()->isEnabled());
  EXPECT_EQ(w->UndoButton()->toolTip().toStdString(), "Undo: Append");
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(app.Doc().Count(), 3);
  EXPECT_FALSE(app.Doc().Changed());
  EXPECT_EQ(FilesPage()->List()->Model()->rowCount(), 3);
  EXPECT_TRUE(w->RedoButton()->isEnabled());
  Key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(app.Doc().Count(), 5);
  EXPECT_TRUE(app.Doc().Changed());
  EXPECT_EQ(FilesPage()->List()->Model()->rowCount(), 5);

  // A line typed key by key and a whole-document change, each one step.
  for (const char16_t* text : {u"t", u"ty", u"typed"}) {
    FilesPage()->RunTyped(1, 0, [&] {
      app.Doc().SetCell(1, kLine1, text);
      return kRefreshRows;
    });
  }
  EXPECT_EQ(w->UndoButton()->toolTip().toStdString(), "Undo: Edit line 1");
  FilesPage()->EndTyping();
  FilesPage()->Run(
      [&] {
        for (int i = 0; i < app.Doc().Count(); ++i) app.Doc().SetCell(i, kLine2, u"all");
        return kRefreshRows;
      },
      u"Fix Errors");
  EXPECT_EQ(w->UndoButton()->toolTip().toStdString(), "Undo: Fix Errors");
  ASSERT_TRUE(w->Undo());
  EXPECT_EQ(ToUtf8(app.Doc().Cell(4, kLine2)), "");
  EXPECT_EQ(ToUtf8(app.Doc().Cell(1, kLine1)), "typed");
  ASSERT_TRUE(w->Undo());
  EXPECT_EQ(ToUtf8(app.Doc().Cell(1, kLine1)), "Line 2");
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ToUtf8(app.Doc().Cell(1, kLine1)), "typed");

  // Opening a file starts the history afresh.
  prompter_.ExpectChoice(kChangedQuestion, PromptAnswer::No);
  dialogs_.ExpectOpen(u"Open Subtitle file", FromUtf8(more.string()));
  Click("open");
  EXPECT_EQ(app.Doc().Count(), 2);
  EXPECT_FALSE(w->UndoButton()->isEnabled());
  EXPECT_FALSE(w->RedoButton()->isEnabled());
  EXPECT_FALSE(w->Undo());
  w->close();
}

TEST_F(WindowWorkTest, PagesSwitchWithTheKeyboardWhileTheListHasTheFocus) {
  Start();
  CMainDialog* w = app_->MainDialog();
  w->SetActivePage(0);
  const int count = w->PageCount();
  Key(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(w->ActivePage(), 1);
  Key(Qt::Key_PageUp, Qt::ControlModifier);
  Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(w->ActivePage(), count - 1);
  Key(Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(w->ActivePage(), 0);
  // Every page has its Exit button.
  for (int i = 0; i < count; ++i) EXPECT_NE(w->Page(i)->Button("exit"), nullptr) << i;
  w->close();
}

}  // namespace
}  // namespace tessera
