// The Play Movie page with a scripted player and volume: play states, the refresh that follows
// the position, navigation, editing at the position, files, search, keys and the volume slider.
#include "pages/play_movie/play_movie_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include "check/text_measurer_qt.h"
#include "core/process_runner_qt.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "pages/play_movie/movie_panel_widget.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_player.h"
#include "tests/support/test_workbench.h"
#include "ui/spin_arrows.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedDialogs;
using testing::ScriptedPlayer;
using testing::ScriptedPrompter;
using testing::ScriptedVolume;
using Calls = std::vector<std::string>;

constexpr int64_t At(double seconds) {
  return static_cast<int64_t>(seconds * 10000000 + 0.5);
}
std::string SeekTo(double seconds) {
  return "seek " + std::to_string(At(seconds));
}

class Host final : public MainWindowHost {
 public:
  void SetCurrentFile(const std::u16string& path) override { caption = path; }
  void EndWithOk() override {}
  bool MayReplaceDocument() override {
    ++asked;
    return allow_replace;
  }
  std::u16string caption;
  int asked = 0;
  bool allow_replace = true;
};

// Subtitles at 10, 20, ... 120 s, each 2 s long, "entry N" in line 1.
std::string TwelveEntries() {
  std::string s;
  for (int i = 1; i <= 12; ++i) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "%d\r\n00:%02d:%02d,000 --> 00:%02d:%02d,000\r\nentry %d\r\n\r\n", i,
                  (i * 10) / 60, (i * 10) % 60, (i * 10 + 2) / 60, (i * 10 + 2) % 60, i);
    s += buf;
  }
  return s;
}

struct TranslatePageTest : ::testing::Test, testing::TestWorkbench {
  TranslatePageTest() : TestWorkbench("tessera-movie-page") {
    testing::WriteBytes(dir / "film.srt", TwelveEntries());
    testing::WriteBytes(dir / "movie.avi", "a movie");
  }
  ~TranslatePageTest() override { page.reset(); }

  CTranslatePage& Make() {
    page = std::make_unique<CTranslatePage>(ctx);
    page->resize(960, 640);
    page->OnActivate();
    return *page;
  }
  // The page with the twelve subtitles loaded through Open Sub and the movie opened.
  CTranslatePage& MakeWithFilmAndMovie() {
    Make();
    OpenSub();
    OpenAvi();
    player.TakeCalls();
    return *page;
  }
  void OpenSub() {
    dialogs.ExpectOpen(u"Open Subtitle file", P("film.srt"));
    Click("openSub");
  }
  void OpenAvi() {
    dialogs.ExpectOpen(u"Select Movie", P("movie.avi"));
    Click("openAvi");
  }
  template <class W = QPushButton>
  W* Get(const char* name) const {
    W* w = page->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* name) { Get(name)->click(); }
  bool Enabled(const char* name) const {
    if (auto* b = page->findChild<QPushButton*>(QString::fromLatin1(name))) return b->isEnabled();
    if (auto* t = page->findChild<QToolButton*>(QString::fromLatin1(name))) return t->isEnabled();
    return Get<QWidget>(name)->isEnabled();
  }
  // The enabled state of Play, Pause, Stop and the editing controls, e.g. "PPS E".
  std::string Controls() const {
    std::string s;
    s += Enabled("play") ? 'P' : '-';
    s += Enabled("pause") ? 'P' : '-';
    s += Enabled("stop") ? 'S' : '-';
    const bool editing = Enabled("deleteLine");
    for (const char* name : {"splitLine", "auto", "startSpin", "secondsSpin", "millisecondsSpin"})
      EXPECT_EQ(editing, Enabled(name)) << name;
    return s + (editing ? " E" : " -");
  }
  std::string Line(int k) const {
    return FromQ(Get<QLineEdit>(k == 0 ? "line1" : "line2")->text()) == u""
               ? ""
               : ToUtf8(FromQ(Get<QLineEdit>(k == 0 ? "line1" : "line2")->text()));
  }
  void RefreshAt(double seconds) {
    player.position = At(seconds);
    page->RefreshFromPosition();
  }
  void SelectRow(int row) {
    auto* sel = page->List()->selectionModel();
    sel->setCurrentIndex(page->List()->Model()->index(row, 0),
                         QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
  std::string Overlay() const { return ToUtf8(player.upper + u"|" + player.lower); }

  const fs::path& dir = scratch.Dir();
  ScriptedPlayer player;
  ScriptedVolume volume;
  Host host;
  QtProcessRunner runner;
  QtTextMeasurer qt_measurer;
  PageContext ctx{{{prompter, dialogs, progress, runner, qt_measurer, &player, &volume},
                   doc,
                   store,
                   app,
                   lang,
                   history},
                  &host};
  std::unique_ptr<CTranslatePage> page;
};

TEST_F(TranslatePageTest, EachPlayStateEnablesItsControls) {
  Make();
  EXPECT_EQ("--- -", Controls());
  EXPECT_FALSE(Enabled("line1"));
  for (const char* always : {"openAvi", "insertLine", "shift", "stretch", "openSub", "saveSub",
                             "find", "replace", "exit"})
    EXPECT_TRUE(Enabled(always)) << always;

  // Opening a movie shows its first frame without playing.
  OpenSub();
  OpenAvi();
  EXPECT_EQ((Calls{"teardown", "load", "frame", SeekTo(10), "frame"}), player.TakeCalls());
  // Pause and Stop wait for Play; Open AVI paused first, which let the editing controls on.
  EXPECT_EQ("P-- E", Controls());
  EXPECT_EQ(PlayState::Stopped, page->State());
  EXPECT_EQ(player.duration, doc.MovieLength());

  Click("play");
  EXPECT_EQ(PlayState::Playing, page->State());
  EXPECT_EQ("PPS -", Controls());
  EXPECT_TRUE(page->PositionTimerRunning());
  Click("pause");
  EXPECT_EQ("PPS E", Controls());
  EXPECT_FALSE(page->PositionTimerRunning());
  Click("stop");
  EXPECT_EQ("P-S E", Controls());  // Stop leaves the editing controls as they were
  EXPECT_EQ(PlayState::Stopped, page->State());
  EXPECT_EQ(-1, page->List()->FirstSelectedRow());
  player.TakeCalls();

  // A movie that cannot be opened: Play off again, a beep.
  player.loads = false;
  prompter.ExpectBeep();
  OpenAvi();
  EXPECT_FALSE(Enabled("play"));
}

TEST_F(TranslatePageTest, RefreshFollowsThePositionATenthOfASecondAhead) {
  MakeWithFilmAndMovie();
  Click("play");
  Click("stop");  // back at 0, nothing current
  Click("play");
  RefreshAt(9.899);  // before the first subtitle
  EXPECT_EQ("|", Overlay());
  EXPECT_EQ(u"0:00:09.899", page->PositionDisplayText());
  RefreshAt(9.900);
  EXPECT_EQ(0, page->CurrentSubtitle());
  EXPECT_EQ("|entry 1", Overlay());
  EXPECT_EQ("entry 1", Line(0));
  EXPECT_EQ("43", ToUtf8(FromQ(Get<QLineEdit>("remaining1")->text())));
  EXPECT_EQ(u"0:00:10.000", page->StartDisplayText());
  EXPECT_EQ(u" 2", page->SecondsDisplayText());
  EXPECT_EQ(u"000", page->MillisecondsDisplayText());
  EXPECT_EQ(0, page->List()->FirstSelectedRow());
  EXPECT_EQ(0, doc.CurrentRow());
  RefreshAt(11.900);
  EXPECT_EQ("|entry 1", Overlay());

  // In the gap the overlay, the fields and the times are empty, the subtitle stays current.
  RefreshAt(11.901);
  EXPECT_EQ("|", Overlay());
  EXPECT_EQ("", Line(0));
  EXPECT_FALSE(Enabled("line1"));
  EXPECT_TRUE(page->StartDisplayText().empty());
  EXPECT_EQ(0, page->CurrentSubtitle());
  EXPECT_EQ(19, Get<QProgressBar>("positionBar")->value());  // 11.901 of 600 s
  // ">" counts from the last subtitle shown.
  player.TakeCalls();
  Click("forward1");
  EXPECT_EQ((Calls{SeekTo(20)}), player.TakeCalls());  // playing: no frame shown
  EXPECT_EQ(1, page->CurrentSubtitle());
}

TEST_F(TranslatePageTest, EmptyDocumentSaysSoInTheFirstLineField) {
  Make();
  OpenAvi();
  page->RefreshFromPosition();
  EXPECT_EQ("<<< NO SUBTITLE FILE LOADED >>>", Line(0));
}

TEST_F(TranslatePageTest, SeekButtonsAndTheirBeeps) {
  MakeWithFilmAndMovie();
  // Paused on subtitle 1 (Open AVI went to the first subtitle).
  EXPECT_EQ(0, page->CurrentSubtitle());
  struct Step {
    const char* button;
    double position;  // where the movie is when the button is pressed
    int expected;     // the subtitle then current; -1: a beep and no move
  };
  const Step steps[] = {
      {"forward1", 10.1, 1}, {"forward10", 20.1, 11}, {"forward1", 120.1, -1}, {"back10", 120.1, 1},
      {"back1", 25, 1},      {"back1", 20.5, 0},      {"back1", 10.5, -1},     {"back10", 10.5, -1},
  };
  for (const Step& s : steps) {
    const int before = page->CurrentSubtitle();
    player.position = At(s.position);
    if (s.expected < 0) prompter.ExpectBeep();
    Click(s.button);
    EXPECT_EQ(s.expected < 0 ? before : s.expected, page->CurrentSubtitle())
        << s.button << " at " << s.position;
  }
  // Nothing current, the position at 5.5 s: ">" goes to the first subtitle after 5 s.
  Click("play");
  Click("stop");
  player.position = At(5.5);
  Click("forward1");
  EXPECT_EQ(0, page->CurrentSubtitle());
}

TEST_F(TranslatePageTest, SelectingARowJumpsThereWhetherPlayingOrPaused) {
  MakeWithFilmAndMovie();
  Click("play");
  player.TakeCalls();
  SelectRow(4);
  EXPECT_EQ((Calls{SeekTo(50)}), player.TakeCalls());
  EXPECT_EQ(4, page->CurrentSubtitle());
  EXPECT_EQ("PPS -", Controls());
  Click("pause");
  player.TakeCalls();
  SelectRow(6);
  EXPECT_EQ((Calls{SeekTo(70), "frame"}), player.TakeCalls());
  EXPECT_EQ("entry 7", Line(0));
  EXPECT_EQ("PPS E", Controls());
}

TEST_F(TranslatePageTest, WithoutAMovieSelectingLeavesTheFieldsEmpty) {
  Make();
  OpenSub();
  SelectRow(3);
  EXPECT_EQ(-1, page->CurrentSubtitle());
  EXPECT_EQ("", Line(0));
  EXPECT_FALSE(Enabled("line1"));
  EXPECT_TRUE(player.calls.empty());
}

TEST_F(TranslatePageTest, OpenSubResetsTheMarksAndAsksBeforeReplacing) {
  MakeWithFilmAndMovie();
  SelectRow(3);
  Click("shift");  // not playing: row 3 becomes the first mark
  EXPECT_EQ(3, page->MarksState().first_mark);
  const QColor navy = page->List()
                          ->Model()
                          ->data(page->List()->Model()->index(3, 1), Qt::BackgroundRole)
                          .value<QColor>();
  EXPECT_EQ(QColor(0, 0, 128), navy);
  EXPECT_EQ(QColor(Qt::white), page->List()
                                   ->Model()
                                   ->data(page->List()->Model()->index(3, 1), Qt::ForegroundRole)
                                   .value<QColor>());
  doc.SetChanged(true);
  host.allow_replace = false;
  Click("openSub");  // the question was answered Cancel: nothing happens
  EXPECT_EQ(3, page->MarksState().first_mark);
  host.allow_replace = true;
  OpenSub();
  EXPECT_EQ(3, host.asked);
  EXPECT_EQ(0, page->MarksState().first_mark);
  EXPECT_EQ(11, page->MarksState().last_mark);
  EXPECT_EQ(0, doc.CurrentRow());
  EXPECT_FALSE(doc.Changed());
  EXPECT_EQ(P("film.srt"), host.caption);
}

TEST_F(TranslatePageTest, QuickSaveWithAndWithoutAPath) {
  Make();
  doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"new");
  doc.SetChanged(true);
  prompter.ExpectExclamationBeep();
  EXPECT_TRUE(page->OnShortcut(CtrlKey(Qt::Key_S)));
  EXPECT_TRUE(doc.Changed());
  doc.SetFilePath(P("quick.srt"));
  prompter.ExpectBeep();
  page->OnShortcut(CtrlKey(Qt::Key_S));
  EXPECT_FALSE(doc.Changed());
  EXPECT_NE(std::string::npos, testing::ReadBytes(dir / "quick.srt").find("new"));
}

TEST_F(TranslatePageTest, FindDoesNothingWhilePlayingAndSeeksWhilePaused) {
  MakeWithFilmAndMovie();
  Click("play");
  page->OnShortcut(CtrlKey(Qt::Key_F));  // no dialog at all: the scripted dialogs would fail on one
  page->Search().text = u"entry 5";
  page->OnShortcut(Qt::Key_F3);
  EXPECT_EQ(0, page->CurrentSubtitle());
  Click("stop");  // nothing current: Find starts at the first subtitle
  player.TakeCalls();
  SearchDialogFields find;
  find.find = u"ENTRY 5";
  dialogs.ExpectFind(find);
  page->OnShortcut(CtrlKey(Qt::Key_F));
  EXPECT_EQ(4, page->CurrentSubtitle());
  EXPECT_EQ((Calls{SeekTo(10), "frame", SeekTo(50), "frame"}), player.TakeCalls());
  EXPECT_EQ(u"ENTRY 5", store.GetString(u"SearchOptions", u"SearchString"));
  // F3 again finds nothing below: the message, nothing moves.
  prompter.ExpectMessage("Cannot find the requested text.");
  page->OnShortcut(Qt::Key_F3);
  EXPECT_EQ(4, page->CurrentSubtitle());
}

TEST_F(TranslatePageTest, ReplaceRunsWhilePlayingAndShowsOverThePicture) {
  MakeWithFilmAndMovie();
  Click("play");
  RefreshAt(10);
  ASSERT_EQ(0, page->CurrentSubtitle());
  SearchDialogFields fields;
  fields.find = u"entry";
  fields.replace = u"line";
  dialogs.ExpectReplace({{testing::ScriptedDialogs::ReplaceButton::kReplace, fields}});
  page->OnShortcut(CtrlKey(Qt::Key_H));
  EXPECT_EQ("line 1", testing::LineOf(doc, 0, 0));
  EXPECT_EQ("|line 1", Overlay());
  EXPECT_EQ("line 1", Line(0));
  dialogs.ExpectReplace({{testing::ScriptedDialogs::ReplaceButton::kReplaceAll, fields}});
  prompter.ExpectMessage("Replaced 11 occurences.");
  Click("replace");
  EXPECT_EQ("line 12", testing::LineOf(doc, 11, 0));
  EXPECT_EQ(u"Replace All", history.UndoLabel());
}

TEST_F(TranslatePageTest, LeavingThePagePausesAndComingBackSeeksToTheCurrentRow) {
  MakeWithFilmAndMovie();
  Click("play");
  page->OnDeactivate();
  EXPECT_EQ(PlayState::Paused, page->State());
  EXPECT_FALSE(page->PositionTimerRunning());
  EXPECT_EQ("pause", player.TakeCalls().back());
  doc.SetCurrentRow(8);
  page->OnActivate();
  EXPECT_EQ((Calls{SeekTo(90), "frame"}), player.TakeCalls());
  EXPECT_EQ(8, page->CurrentSubtitle());
}

TEST_F(TranslatePageTest, ReloadsTheLastMovieShortlyAfterStarting) {
  app.reload_avi = 1;
  app.last_avi = P("movie.avi");
  testing::Fill(doc,
                {{"0:00:10.000", "0:00:12.000", "one"}, {"0:00:20.000", "0:00:22.000", "two"}});
  doc.SetCurrentRow(1);
  page = std::make_unique<CTranslatePage>(ctx);
  page->OnActivate();                 // the page is shown
  EXPECT_TRUE(player.calls.empty());  // not yet: the window opens first
  QEventLoop loop;
  QTimer::singleShot(200, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ((Calls{"teardown", "load", "frame", SeekTo(20), "frame"}), player.TakeCalls());
  EXPECT_EQ(P("movie.avi"), player.path);
  EXPECT_EQ(1, page->CurrentSubtitle());
  EXPECT_TRUE(Enabled("play"));
  // The document present when the page was first shown has its marks on the first and last row.
  EXPECT_EQ(0, page->MarksState().first_mark);
  EXPECT_EQ(1, page->MarksState().last_mark);
}

TEST_F(TranslatePageTest, VolumeSliderStartsFromTheMixerAndOnlyADragSetsIt) {
  Make();
  auto* slider = Get<QSlider>("volume");
  EXPECT_EQ(49, slider->value());  // 32767 of 65535
  slider->setSliderDown(true);
  slider->setSliderPosition(75);
  slider->setSliderDown(false);
  EXPECT_EQ(std::vector<uint32_t>{49151}, volume.set);
  EXPECT_EQ(u"Volume  75", page->PositionDisplayText());
  // Keys and clicks in the track move the slider only.
  slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
  slider->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(1u, volume.set.size());
  // A change in the desktop's mixer moves the slider.
  volume.ChangeOutside(6553);
  EXPECT_EQ(9, slider->value());
}

TEST_F(TranslatePageTest, UnavailableVolumeStartsTheSliderAtTheTop) {
  volume.available = false;
  Make();
  EXPECT_EQ(100, Get<QSlider>("volume")->value());
}

TEST_F(TranslatePageTest, TypingEditsTheSubtitleAndTheOverlayAsOneUndoStep) {
  MakeWithFilmAndMovie();
  auto* line1 = Get<QLineEdit>("line1");
  ASSERT_TRUE(line1->isEnabled());
  line1->setText(QStringLiteral("entry 1!"));
  emit line1->textEdited(line1->text());
  line1->setText(QStringLiteral("entry 1!!"));
  emit line1->textEdited(line1->text());
  page->EndTyping();
  EXPECT_EQ("entry 1!!", testing::LineOf(doc, 0, 0));
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ("|entry 1!!", Overlay());
  EXPECT_EQ("frame", player.calls.back());
  EXPECT_EQ("41", ToUtf8(FromQ(Get<QLineEdit>("remaining1")->text())));
  EXPECT_EQ(1u, history.Steps());
  EXPECT_EQ(u"Edit line 1", history.UndoLabel());
}

TEST_F(TranslatePageTest, EditingAtThePosition) {
  MakeWithFilmAndMovie();  // paused on subtitle 1, 10.000-12.000
  // The start arrow moves the subtitle and the movie, keeping the duration.
  Get<SpinArrows>("startSpin")->Up()->click();
  EXPECT_EQ("0:00:10.100", testing::StartOf(doc, 0));
  EXPECT_EQ("0:00:12.100", testing::EndOf(doc, 0));
  EXPECT_EQ(SeekTo(10.1), player.calls.back());
  EXPECT_EQ(u"0:00:10.100", page->PositionDisplayText());
  Get<SpinArrows>("millisecondsSpin")->Down()->click();
  EXPECT_EQ("0:00:12.000", testing::EndOf(doc, 0));
  EXPECT_EQ(u"900", page->MillisecondsDisplayText());

  // Insert at the position: a new subtitle in the gap, the fields emptied for its text.
  player.position = At(15);
  Click("insertLine");
  ASSERT_EQ(13, doc.Count());
  EXPECT_EQ("0:00:15.000", testing::StartOf(doc, 1));
  EXPECT_EQ("0:00:17.000", testing::EndOf(doc, 1));
  EXPECT_EQ(1, page->CurrentSubtitle());
  EXPECT_EQ(1, page->List()->FirstSelectedRow());
  EXPECT_TRUE(Enabled("line1"));
  EXPECT_EQ("", Line(0));

  // Delete removes the selected row and goes back to its place.
  EXPECT_TRUE(page->OnShortcut(Qt::Key_Delete));
  EXPECT_EQ(12, doc.Count());
  EXPECT_EQ("entry 2", testing::LineOf(doc, 1, 0));

  // Playing, Delete does nothing at all; Insert pauses.
  Click("play");
  EXPECT_TRUE(page->OnShortcut(Qt::Key_Delete));
  EXPECT_EQ(12, doc.Count());
  // Move start, change duration, insert, delete.
  EXPECT_EQ(4u, history.Steps());
}

TEST_F(TranslatePageTest, ShiftWhilePlayingMovesEverySubtitle) {
  MakeWithFilmAndMovie();
  Click("play");
  player.position = At(60.123);
  doc.SetChanged(false);
  Click("shift");  // the first mark, row 0 at 10.000, now starts at 60.123
  EXPECT_EQ("0:01:00.123", testing::StartOf(doc, 0));
  EXPECT_EQ("0:01:50.123", testing::StartOf(doc, 5));
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(PlayState::Paused, page->State());
  EXPECT_EQ(0, page->CurrentSubtitle());
  EXPECT_EQ(SeekTo(60.123), player.calls[player.calls.size() - 2]);
}

TEST_F(TranslatePageTest, HomeEndAndEnterFollowTheFocus) {
  MakeWithFilmAndMovie();
  EXPECT_TRUE(page->OnShortcut(Qt::Key_End));
  EXPECT_EQ(11, page->CurrentSubtitle());
  EXPECT_TRUE(page->OnShortcut(Qt::Key_Home));
  EXPECT_EQ(0, page->CurrentSubtitle());
  // Enter goes from line 1 to line 2, then to line 1 of the next subtitle.
  page->show();
  page->activateWindow();
  QApplication::setActiveWindow(page.get());
  auto* line1 = Get<QLineEdit>("line1");
  auto* line2 = Get<QLineEdit>("line2");
  line1->setFocus();
  QApplication::processEvents();
  if (!line1->hasFocus()) GTEST_SKIP() << "no keyboard focus on this platform";
  EXPECT_FALSE(page->OnShortcut(Qt::Key_Home));  // Home goes to the field
  EXPECT_TRUE(page->OnShortcut(Qt::Key_Return));
  EXPECT_TRUE(line2->hasFocus());
  EXPECT_TRUE(page->OnShortcut(Qt::Key_Return));
  EXPECT_TRUE(line1->hasFocus());
  EXPECT_EQ(1, page->CurrentSubtitle());
}

TEST_F(TranslatePageTest, LayoutFollowsResizeMovieWindow) {
  // Off: the panel keeps its height and takes the movie's proportions; the list takes the room.
  Make();
  page->show();
  const int list_height = page->List()->height();
  OpenAvi();
  EXPECT_EQ(QSize(300, 240), page->Panel()->size());  // 720 x 576 at a height of 240
  page->resize(960, 800);
  QApplication::processEvents();
  EXPECT_EQ(QSize(300, 240), page->Panel()->size());
  EXPECT_GT(page->List()->height(), list_height);

  // On: the list keeps its height and the panel takes the extra room.
  page.reset();
  app.resize_movie_window = 1;
  Make();
  page->resize(960, 700);
  page->show();
  QApplication::processEvents();
  const QSize panel = page->Panel()->size();
  const int fixed_list = page->List()->height();
  page->resize(960, 800);
  QApplication::processEvents();
  EXPECT_EQ(fixed_list, page->List()->height());
  EXPECT_GT(page->Panel()->height(), panel.height());
}

}  // namespace
}  // namespace tessera
