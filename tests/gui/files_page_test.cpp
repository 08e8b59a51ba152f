#include "pages/files/files_page.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "check/text_measurer_qt.h"
#include "core/process_runner_qt.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "tests/gui/page_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/header_strip.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::ScriptedPrompter;
using testing::WriteBytes;

// Twelve entries ten seconds apart; the lines name their number.
std::string TwelveEntries() {
  std::string s;
  for (int i = 1; i <= 12; ++i) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "%d\r\n00:%02d:%02d,000 --> 00:%02d:%02d,000\r\nentry %d\r\n\r\n", i,
                  (i * 10) / 60, (i * 10) % 60, (i * 10 + 5) / 60, (i * 10 + 5) % 60, i);
    s += buf;
  }
  return s;
}

using FakeHost = testing::RecordingHost;

class NullProgress final : public ProgressSink {
 public:
  void Open(const std::u16string&) override { open = true; }
  void SetPercent(int) override {}
  void SetLines(const std::u16string&, const std::u16string&) override {}
  void Close() override { open = false; }
  bool open = false;
};

struct FilesPageTest : ::testing::Test {
  FilesPageTest() {
    store.LoadFromText(u"");
    lang.Build(dir / "no-languages");
    WriteBytes(dir / "film.srt", TwelveEntries());
    page = std::make_unique<CFilesPage>(ctx);
    page->OnActivate();
  }
  ~FilesPageTest() override { page.reset(); }
  std::u16string P(const std::string& name) const { return FromUtf8((dir / name).string()); }
  QPushButton* Button(const char* name) const {
    return page->findChild<QPushButton*>(QString::fromLatin1(name));
  }
  void Click(const char* name) { Button(name)->click(); }
  void OpenFilm() {
    dialogs.ExpectOpen(u"Open Subtitle file", P("film.srt"));
    Click("open");
  }
  void Select(std::initializer_list<int> rows) {
    auto* sel = page->List()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
      sel->select(page->List()->Model()->index(r, 0),
                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  // Drops load once the event loop runs again.
  void Drop(const QStringList& paths) {
    QEventLoop loop;
    QObject::connect(page.get(), &CFilesPage::DropHandled, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    const std::u16string before = doc.FilePath();
    page->DropPaths(paths);
    EXPECT_EQ(before, doc.FilePath());  // nothing is loaded inside the drop handler
    loop.exec();
  }
  std::string LastLog() const { return ToUtf8(doc.Log().Lines().back()); }

  testing::ScratchDir scratch{"tessera-page"};
  const fs::path& dir = scratch.Dir();
  SubtitleDocument doc;
  SettingsStore store;
  AppSettings app;
  LanguageTable lang;
  ScriptedPrompter prompter;
  ScriptedDialogs dialogs;
  FakeHost host;
  NullProgress progress;
  QtProcessRunner runner;
  QtTextMeasurer measurer;
  UndoHistory history;
  PageContext ctx{
      {prompter, dialogs, progress, runner, measurer}, doc, store, app, lang, history, &host};
  std::unique_ptr<CFilesPage> page;
};

TEST_F(FilesPageTest, OpenLoadsAndShowsTheFile) {
  doc.SetChanged(true);
  OpenFilm();
  EXPECT_EQ(12, doc.Count());
  EXPECT_EQ(12, page->List()->Model()->rowCount());
  EXPECT_FALSE(doc.Changed());
  EXPECT_EQ(P("film.srt"), host.caption);
  EXPECT_EQ(FromUtf8(dir.string()), store.GetString(u"Directories", u"Open"));
  EXPECT_EQ(doc.Log().Size(), page->Log()->count());
  EXPECT_EQ("Ok.", LastLog());

  // Cancelling changes nothing.
  int lines = doc.Log().Size();
  dialogs.ExpectOpen(u"Open Subtitle file", std::nullopt);
  Click("open");
  EXPECT_EQ(lines, doc.Log().Size());
  EXPECT_EQ(u"*.srt", dialogs.last_request.default_extension);
  EXPECT_EQ(FromUtf8(dir.string()), dialogs.last_request.initial_folder);
}

TEST_F(FilesPageTest, DropLoadsTheFirstFileOnly) {
  WriteBytes(dir / "other.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nother\r\n\r\n");
  Drop({QString::fromStdString((dir / "film.srt").string()),
        QString::fromStdString((dir / "other.srt").string())});
  EXPECT_EQ(12, doc.Count());
  EXPECT_EQ(P("film.srt"), doc.FilePath());
  EXPECT_TRUE(host.caption.empty());  // a drop leaves the caption alone
  EXPECT_TRUE(Button("save")->isEnabled());

  // A missing file or a folder keeps the document.
  fs::create_directories(dir / "folder");
  for (const char* name : {"missing.srt", "folder"}) {
    doc.SetChanged(true);
    Drop({QString::fromStdString((dir / name).string())});
    EXPECT_EQ(12, doc.Count()) << name;
    EXPECT_TRUE(doc.Changed()) << name;
    EXPECT_EQ(0u, LastLog().find("ERROR:")) << name;
  }
}

TEST_F(FilesPageTest, AppendStartsAtTheMovieLengthOrTheLastEnd) {
  WriteBytes(dir / "more.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nmore\r\n\r\n");
  OpenFilm();
  dialogs.ExpectOpen(u"Select Subtitle file to Append...", P("more.srt"));
  Click("append");
  ASSERT_EQ(13, doc.Count());
  EXPECT_EQ(0u, ToUtf8(doc.Start(12)).find("0:02:06.0"));  // last end 2:05 plus 1 s
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(13, page->List()->Model()->rowCount());

  doc.SetMovieLength(5400999LL * 10000);
  dialogs.ExpectOpen(u"Select Subtitle file to Append...", P("more.srt"));
  Click("append");
  ASSERT_EQ(14, doc.Count());
  EXPECT_EQ(0u, ToUtf8(doc.Start(13)).find("1:30:01.0"));  // 5,400 s plus 1 s
}

TEST_F(FilesPageTest, SaveWritesAndClearsTheChangedFlag) {
  OpenFilm();
  doc.SetChanged(true);
  dialogs.ExpectSave(u"Save Subtitle file", std::nullopt);
  Click("save");
  EXPECT_TRUE(doc.Changed());
  dialogs.ExpectSave(u"Save Subtitle file", P("copy.sub"));
  Click("save");
  EXPECT_FALSE(doc.Changed());
  EXPECT_EQ(P("copy.sub"), host.caption);
  EXPECT_EQ(0u, ReadBytes(dir / "copy.sub").find("{1}{1}25\r\n"));
  EXPECT_NE(std::string::npos, ReadBytes(dir / "copy.sub").find(";Created with Tessera"));
}

TEST_F(FilesPageTest, SaveSelectionWritesTheFirstSelectedBlock) {
  OpenFilm();
  Select({2, 3, 4, 7});
  dialogs.ExpectSave(u"Save Selection to file", P("block.srt"));
  Click("saveSelection");
  EXPECT_EQ(1, dialogs.last_request.selected_filter);
  std::string block = ReadBytes(dir / "block.srt");
  EXPECT_EQ(0u, block.find("1\r\n00:00:05,000 --> 00:00:10,000\r\nentry 3\r\n"));
  EXPECT_NE(std::string::npos, block.find("entry 5"));
  EXPECT_EQ(std::string::npos, block.find("entry 6"));
  EXPECT_EQ(std::string::npos, block.find("entry 8"));

  Select({});
  dialogs.ExpectSave(u"Save Selection to file", P("all.srt"));
  Click("saveSelection");
  EXPECT_EQ(0u,
            ReadBytes(dir / "all.srt").find("1\r\n00:00:10,000 --> 00:00:15,000\r\nentry 1\r\n"));

  Select({3});
  dialogs.ExpectSave(u"Save Selection to file", P("all.ssa"));
  Click("saveSelection");
  std::string ssa = ReadBytes(dir / "all.ssa");
  EXPECT_NE(std::string::npos, ssa.find("entry 1"));
  EXPECT_NE(std::string::npos, ssa.find("entry 12"));
  EXPECT_EQ(FromUtf8(dir.string()), store.GetString(u"Directories", u"Save"));
}

TEST_F(FilesPageTest, SplitAtTheCurrentRow) {
  OpenFilm();
  Select({5});  // the row numbered 6
  EXPECT_EQ(5, doc.CurrentRow());
  dialogs.ExpectSave(u"Split Subtitle file", P("film-part.srt"));
  Click("split");
  std::string a = ReadBytes(dir / "film-parta.srt"), b = ReadBytes(dir / "film-partb.srt");
  EXPECT_NE(std::string::npos, a.find("5\r\n00:00:50,000"));
  EXPECT_EQ(std::string::npos, a.find("entry 6"));
  // Entry 6 becomes 1, moved earlier by the midpoint of 50 s and 60 s.
  EXPECT_EQ(0u, b.find("1\r\n00:00:05,000 --> 00:00:10,000\r\nentry 6\r\n"));
  EXPECT_NE(std::string::npos, b.find("7\r\n"));
  EXPECT_EQ("Ok.", LastLog());
}

TEST_F(FilesPageTest, SplitAtTheFirstSubtitleSaysSoBeforeAskingForAName) {
  OpenFilm();
  Select({0});
  const int lines = doc.Log().Size();
  Click("split");  // no dialog is scripted: asking for a name would fail the test
  EXPECT_EQ(lines + 1, doc.Log().Size());
}

TEST_F(FilesPageTest, ButtonStates) {
  auto enabled = [&](const char* name) { return Button(name)->isEnabled(); };
  for (const char* name : {"open", "saveSelection", "exit"}) EXPECT_TRUE(enabled(name)) << name;
  for (const char* name : {"append", "save", "split", "dvdSupEnc"})
    EXPECT_FALSE(enabled(name)) << name;
  OpenFilm();
  for (const char* name : {"append", "save", "split"}) EXPECT_TRUE(enabled(name)) << name;
  EXPECT_FALSE(enabled("dvdSupEnc"));
  app.dvd_sup_encode_folder = u"/opt/enc";
  app.my_subtitle_folder = P("");
  page->OnActivate();
  EXPECT_TRUE(enabled("dvdSupEnc"));
  Click("exit");
  EXPECT_EQ(1, host.ended);
}

TEST_F(FilesPageTest, CaptionsFollowTheLanguage) {
  EXPECT_EQ(Button("open")->text(), "Open");
  EXPECT_EQ(Button("exit")->text(), "Exit");
  lang.Build(fs::path(TESSERA_BINARY_DIR) / "languages");
  ASSERT_TRUE(lang.SelectLanguage(1)) << "languages/Dutch.lng missing from the build folder";
  page->OnActivate();
  const std::pair<const char*, const char*> dutch[] = {
      {"open", "Openen"},      {"save", "Opslaan"},         {"split", "Splitsen"},
      {"append", "Toevoegen"}, {"dvdSupEnc", "DVDSupEnc."}, {"exit", "Afsluiten"}};
  for (auto [name, text] : dutch) EXPECT_EQ(Button(name)->text().toStdString(), text) << name;
  EXPECT_EQ(page->Header()->Title(), ToQ(lang.Lookup(1101)));
  lang.SelectLanguage(0);
  page->OnActivate();
  EXPECT_EQ(Button("split")->text(), "Split");
}

TEST_F(FilesPageTest, ExportDisablesTheButtonsWhileTheEncoderRuns) {
  OpenFilm();
  fs::create_directories(dir / "work");
  fs::create_directories(dir / "enc");
  WriteBytes(dir / "enc" / "DVDSupEncode",
             "#!/bin/sh\nsleep 0.3\nprintf 'Encoded\\r\\n' > \"$(dirname \"$1\")/dvd2svcd.log\"\n");
  fs::permissions(dir / "enc" / "DVDSupEncode", fs::perms::owner_all);
  app.dvd_sup_encode_folder = P("enc");
  app.my_subtitle_folder = P("work");
  page->OnActivate();

  QEventLoop loop;
  QObject::connect(page.get(), &CFilesPage::ExportFinished, &loop, &QEventLoop::quit);
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  Click("dvdSupEnc");
  EXPECT_TRUE(page->ExportRunning());
  EXPECT_TRUE(progress.open);
  for (const char* name : {"open", "append", "save", "saveSelection", "split", "dvdSupEnc", "exit"})
    EXPECT_FALSE(Button(name)->isEnabled()) << name;
  loop.exec();
  EXPECT_FALSE(page->ExportRunning());
  EXPECT_FALSE(progress.open);
  EXPECT_TRUE(Button("dvdSupEnc")->isEnabled());
  EXPECT_EQ("Encoded", LastLog());
  EXPECT_EQ(QString::fromUtf8("Encoded"), page->Log()->item(page->Log()->count() - 1)->text());
  EXPECT_EQ(ReadBytes(dir / "work" / "dvd2svcd.sub"), ReadBytes(dir / "film.sub"));
}

}  // namespace
}  // namespace tessera
