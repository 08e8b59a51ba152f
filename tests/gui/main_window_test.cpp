#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QLocalSocket>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtEndian>
#include <filesystem>
#include <fstream>

#include "app/app_window.h"
#include "core/hold_on_window.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "core/update_fetch_qt.h"
#include "pages/page_table.h"
#include "pages/play_movie/picture_strip_layout.h"
#include "tests/gui/page_server.h"
#include "tests/gui/window_fixture.h"
#include "tests/support/documents.h"
#include "ui/header_strip.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

using testing::kChangedQuestion;
using testing::MainWindowTest;
using testing::ScriptedDialogs;
using testing::ScriptedPrompter;

TEST(CommandLineTest, HelpVersionAndOnePathAtMost) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string print_starts, path;
  };
  const Case cases[] = {
      {{"--help"}, true, "usage: tessera", ""},
      {{"film.srt", "--version"}, true, "Tessera 0.71", ""},
      {{"\"my film.srt\""}, true, "", "my film.srt"},
      {{"--config", "x.cfg", "a.srt"}, true, "", "a.srt"},
      {{"a.srt", "b.srt"}, false, "", ""},
      {{"--bogus"}, false, "", ""},
      {{"--config"}, false, "", ""},
      {{"--movie", "film.avi", "a.srt"}, true, "", "a.srt"},
      {{"--movie"}, false, "", ""},
  };
  for (const Case& c : cases) {
    std::string error;
    auto o = ParseCommandLine(c.args, error);
    ASSERT_EQ(o.has_value(), c.ok) << c.args.front();
    if (!o) {
      EXPECT_FALSE(error.empty());
      continue;
    }
    EXPECT_EQ(o->print.rfind(c.print_starts, 0), 0u) << o->print;
    EXPECT_EQ(ToUtf8(o->path), c.path);
  }
}

TEST_F(MainWindowTest, FirstStartShowsPlayMovieAndClosingWritesNothing) {
  CTesseraApp& app = Start();
  CMainDialog* w = app.MainDialog();
  EXPECT_EQ(w->PageCount(), 9);
  EXPECT_EQ(w->ActivePage(), 5);
  EXPECT_EQ(w->windowTitle().toStdString(), "Tessera 0.71 - Untitled");
  const char* titles[] = {"File Operations", "Analyze",  "Fix Errors", "Edit",   "Synchronize",
                          "Play Movie",      "AVI Info", "FrameRate",  "Options"};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(w->TabTitle(i).toStdString(), titles[i]);
  EXPECT_EQ(w->height(), 700 - 30);
  w->close();
  EXPECT_TRUE(app.Finished());
  EXPECT_FALSE(fs::exists(config_));
}

TEST_F(MainWindowTest, CommandLinePathIsLoadedAndExitWritesSettingsAndPosition) {
  fs::path sample = WriteSample("film.srt", 3);
  CTesseraApp& app = Start({"\"" + sample.string() + "\""});
  EXPECT_EQ(app.Doc().Count(), 3);
  // The check lists are read first, when the window is built.
  const std::vector<std::string> log = testing::LogLines(app.Doc());
  EXPECT_NE(std::find(log.begin(), log.end(),
                      "'" + sample.string() + "' is started from an explorer window."),
            log.end());
  EXPECT_TRUE(app.MainDialog()->windowTitle().endsWith(QString::fromStdString(sample.string())));
  app.MainDialog()->move(40, 50);
  app.MainDialog()->resize(800, 600);
  app.MainDialog()->EndWithOk();
  ASSERT_TRUE(fs::exists(config_));
  EXPECT_EQ(StoredInt(u"cx"), 800);
  EXPECT_EQ(StoredInt(u"cy"), 600);
  EXPECT_EQ(StoredInt(u"x pos"), 40);
  SettingsStore s(config_);
  EXPECT_EQ(ToUtf8(s.GetString(u"Settings", u"Last Sub")), sample.string());
}

// --movie goes the way of Open AVI: the movie becomes the last one and the window starts on
// Play Movie, while the user's own "Reload AVI" is what is written back.
TEST_F(MainWindowTest, MovieOptionStartsOnPlayMovieWithItAsTheLastMovie) {
  const fs::path sample = WriteSample("film.srt", 3);
  const fs::path movie = dir_ / "film.avi";
  WriteSettings([](SettingsStore& s) { s.WriteInt(u"Settings", u"Start tab", 100); });
  CTesseraApp& app = Start({"--movie", movie.string(), sample.string()});
  EXPECT_EQ(app.MainDialog()->ActivePage(), 5);
  EXPECT_EQ(ToUtf8(app.Settings().last_avi), movie.string());
  EXPECT_EQ(app.Settings().reload_avi, 1);
  EXPECT_EQ(app.Doc().Count(), 3);
  app.MainDialog()->EndWithOk();
  SettingsStore s(config_);
  EXPECT_EQ(ToUtf8(s.GetString(u"Settings", u"Last AVI")), movie.string());
  EXPECT_EQ(s.GetInt(u"Settings", u"Reload AVI", -1), 0);
}

TEST_F(MainWindowTest, RelativeCommandLinePathIsRememberedWhole) {
  const fs::path sample = WriteSample("relative.srt", 2);
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  CTesseraApp& app = Start({"./relative.srt"});
  fs::current_path(before);
  EXPECT_EQ(app.Doc().Count(), 2);
  app.MainDialog()->EndWithOk();
  SettingsStore s(config_);
  EXPECT_EQ(ToUtf8(s.GetString(u"Settings", u"Last Sub")), sample.string());
}

TEST_F(MainWindowTest, StoredPositionIsRestoredAndReloadSubLoadsLastFile) {
  fs::path sample = WriteSample("last.srt", 4);
  WriteSettings([&](SettingsStore& s) {
    s.WriteInt(u"Settings", u"x pos", 30);
    s.WriteInt(u"Settings", u"y pos", 20);
    s.WriteInt(u"Settings", u"cx", 700);
    s.WriteInt(u"Settings", u"cy", 500);
    s.WriteInt(u"Settings", u"Reload Sub", 1);
    s.WriteString(u"Settings", u"Last Sub", FromUtf8(sample.string()));
    s.WriteInt(u"Settings", u"Last Selected", 2);
  });
  CTesseraApp& app = Start();
  EXPECT_EQ(app.MainDialog()->size(), QSize(700, 500));
  EXPECT_EQ(app.Doc().Count(), 4);
  EXPECT_EQ(app.Doc().CurrentRow(), 2);
  const std::vector<std::string> log = testing::LogLines(app.Doc());
  EXPECT_NE(
      std::find(log.begin(), log.end(), "Reloading last used subtitle file " + sample.string()),
      log.end());
  app.MainDialog()->close();
}

TEST_F(MainWindowTest, StartTabIsUsedAndTheLastPageRemembered) {
  WriteSettings([](SettingsStore& s) { s.WriteInt(u"Settings", u"Start tab", 3); });
  CTesseraApp& app = Start();
  EXPECT_EQ(app.MainDialog()->ActivePage(), 3);
  app.MainDialog()->SetActivePage(4);
  app.MainDialog()->EndWithOk();
  EXPECT_EQ(StoredInt(u"Start tab"), 4);
}

TEST_F(MainWindowTest, StartTabHundredStaysWhateverPageWasActive) {
  WriteSettings([](SettingsStore& s) { s.WriteInt(u"Settings", u"Start tab", 100); });
  CTesseraApp& app = Start();
  EXPECT_EQ(app.MainDialog()->ActivePage(), 0);
  app.MainDialog()->SetActivePage(6);
  app.MainDialog()->EndWithOk();
  EXPECT_EQ(StoredInt(u"Start tab"), 100);
}

TEST_F(MainWindowTest, ClosePromptForAChangedDocument) {
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    CTesseraApp& app = Start();
    int saves = 0;
    app.MainDialog()->SetSaveDocumentHook([&] { return ++saves, 1; });
    app.Doc().SetChanged(true);
    prompter_.ExpectChoice(kChangedQuestion, yes ? PromptAnswer::Yes : PromptAnswer::No);
    app.MainDialog()->close();
    EXPECT_TRUE(app.Finished());
    EXPECT_EQ(saves, yes ? 1 : 0);
    app_.reset();
  }
}

TEST_F(MainWindowTest, DutchCaptionsAfterALanguageChange) {
  CTesseraApp& app = Start();
  ASSERT_TRUE(app.Lang().Available(1)) << "languages/Dutch.lng missing from the build folder";
  CMainDialog* w = app.MainDialog();
  w->SetActivePage(0);
  ASSERT_TRUE(app.Lang().SelectLanguage(1));
  w->RefreshTexts();
  const QString dutch = ToQ(app.Lang().Lookup(1100));
  EXPECT_NE(dutch.toStdString(), "File Operations");
  EXPECT_EQ(w->TabTitle(0), dutch);
  EXPECT_EQ(w->Page(0)->Header()->Title(), ToQ(app.Lang().Lookup(1101)));
  w->close();
}

TEST_F(MainWindowTest, UpdateCheckRunsOnceAfterTheWindowOpens) {
  testing::PageServer server(testing::PageAnnouncing("0.72"));
  version_url_ = server.Url().toString().toStdString();
  CTesseraApp& app = Start();
  ASSERT_TRUE(app.UpdateCheck());
  // Nothing is fetched before the window's event loop runs.
  EXPECT_TRUE(server.Requests().empty());
  prompter_.ExpectQuestion(
      u"A new version (V0.72) of Tessera is available.\n\r\n\rWould you like to visit the "
      u"Tessera web site?",
      false);
  QEventLoop loop;
  QObject::connect(app.UpdateCheck(), &QtUpdateFetch::Finished, &loop, &QEventLoop::quit);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_FALSE(prompter_.Pending());
  // Opening the window again does not check again: a second question would fail the test.
  app.MainDialog()->Open();
  QEventLoop wait;
  QTimer::singleShot(100, &wait, &QEventLoop::quit);
  wait.exec();
  app.MainDialog()->close();
}

TEST_F(MainWindowTest, KeysReachThePagesAsTheyDeclareThem) {
  EXPECT_EQ(CMainDialog::KeyCombination(Qt::Key_F, Qt::ControlModifier),
            (Qt::CTRL | Qt::Key_F).toCombined());
  EXPECT_EQ(CMainDialog::KeyCombination(Qt::Key_Delete, Qt::NoModifier), Qt::Key_Delete);
  EXPECT_EQ(CMainDialog::KeyCombination(Qt::Key_Enter, Qt::KeypadModifier), Qt::Key_Return);
  EXPECT_EQ(CMainDialog::KeyCombination(Qt::Key_S, Qt::ControlModifier | Qt::KeypadModifier),
            (Qt::CTRL | Qt::Key_S).toCombined());
}

TEST_F(MainWindowTest, IdentitySocketAnswersTheRequest) {
  with_identity_ = true;
  Start();
  QLocalSocket s;
  s.connectToServer(IdentityServerName());
  ASSERT_TRUE(s.waitForConnected(2000));
  char req[4];
  qToLittleEndian<quint32>(kIdentityRequest, req);
  s.write(req, 4);
  s.flush();
  QByteArray answer;
  for (int i = 0; i < 100 && answer.size() < 4; ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    s.waitForReadyRead(20);
    answer += s.readAll();
  }
  ASSERT_EQ(answer.size(), 4);
  EXPECT_EQ(qFromLittleEndian<quint32>(answer.constData()), kIdentityAnswer);
  app_->MainDialog()->close();
}

// Play Movie at the window's default and minimum sizes, with and without a growing movie: every
// control keeps at least its own smallest height, nothing overlaps or is cut, and the picture
// gives way before the sound strip does.
TEST_F(MainWindowTest, PlayMovieFitsAtDefaultAndMinimumSize) {
  const fs::path film = WriteSample("film.srt", 200);
  for (const int grows : {0, 1}) {
    SCOPED_TRACE(grows);
    WriteSettings([&](SettingsStore& s) { s.WriteInt(u"Settings", u"ResizeMovieWindow", grows); });
    CTesseraApp& app = Start({film.string()});
    CMainDialog* w = app.MainDialog();
    w->SetActivePage(StartPageIndex(101));
    w->show();
    CSheetPage* page = w->Page(StartPageIndex(101));
    for (const QSize size : {QSize(960, 700), w->minimumSize()}) {
      SCOPED_TRACE(size.height());
      w->resize(size);
      QApplication::processEvents();
      ASSERT_EQ(w->size(), size);
      std::vector<QWidget*> parts{page->findChild<QWidget*>(QStringLiteral("moviePanel")),
                                  page->findChild<QWidget*>(QStringLiteral("waveform")),
                                  page->findChild<QWidget*>(QStringLiteral("positionBar")),
                                  page->List()};
      for (const char* name : {"play", "playLine", "line1", "line2", "startSpin", "auto"})
        parts.push_back(page->findChild<QWidget*>(QString::fromLatin1(name)));
      std::vector<QRect> rects;
      for (QWidget* part : parts) {
        ASSERT_NE(part, nullptr);
        const QRect r(part->mapTo(page, QPoint(0, 0)), part->size());
        EXPECT_TRUE(page->rect().contains(r)) << part->objectName().toStdString();
        const int smallest =
            part->minimumHeight() > 0 ? part->minimumHeight() : part->minimumSizeHint().height();
        EXPECT_GE(r.height(), smallest) << part->objectName().toStdString();
        for (const QRect& other : rects)
          EXPECT_FALSE(r.intersects(other)) << part->objectName().toStdString();
        rects.push_back(r);
      }
      // The button row keeps every caption whole.
      for (QPushButton* b : page->findChildren<QPushButton*>()) {
        if (b->parentWidget() != page) continue;
        EXPECT_GE(b->width(), b->fontMetrics().horizontalAdvance(b->text().remove(u'&')))
            << b->objectName().toStdString();
      }
      const int picture = parts[0]->height(), strip = parts[1]->height();
      EXPECT_GE(page->List()->height(), page->List()->minimumSizeHint().height());
      EXPECT_GE(picture, PictureStripLayout::kSmallestPicture);
      EXPECT_GE(page->findChild<QWidget*>(QStringLiteral("line1"))->width(), 150);
      if (strip < PictureStripLayout::kStripHeight) {
        EXPECT_EQ(picture, PictureStripLayout::kSmallestPicture);
      }
      if (size.height() == 700) {
        EXPECT_EQ(strip, PictureStripLayout::kStripHeight);
      }
    }
    w->close();
    app_.reset();
  }
}

// Renders the window with the sample; the picture is left in the build folder to look at.
TEST_F(MainWindowTest, ScreenshotWithTheSample) {
  CTesseraApp& app = Start({std::string(TESSERA_SOURCE_DIR) + "/assets/sample.srt"});
  app.MainDialog()->SetActivePage(0);
  app.MainDialog()->resize(960, 640);
  QApplication::processEvents();
  const QPixmap shot = app.MainDialog()->grab();
  EXPECT_EQ(shot.size(), QSize(960, 640));
  EXPECT_TRUE(shot.save(QStringLiteral(TESSERA_BINARY_DIR "/tessera-window.png")));
  app.MainDialog()->close();
}

}  // namespace
}  // namespace tessera
