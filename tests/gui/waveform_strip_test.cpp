// The waveform strip on the Play Movie page with a scripted player and a sound file the test
// writes: the span it describes through zoom and scroll, seeking, timing by dragging, Play line.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

#include "check/text_measurer_qt.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "pages/play_movie/play_movie_page.h"
#include "pages/play_movie/waveform_widget.h"
#include "sound/sound_loader_qt.h"
#include "tests/gui/page_fixture.h"
#include "tests/support/movie_files.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_player.h"
#include "tests/support/sound_files.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

using testing::ScriptedPlayer;

constexpr int64_t At(double seconds) {
  return static_cast<int64_t>(seconds * 10000000 + 0.5);
}

struct WaveformStripTest : ::testing::Test {
  WaveformStripTest() {
    setenv("XDG_CACHE_HOME", scratch.Path("cache").c_str(), 1);
    store.LoadFromText(u"");
    lang.Build(scratch.Path("no-languages"));
    // Subtitles at 10-12, 20-22, 30-32 s; speech in the sound from 19.73 s to 22.4 s.
    testing::WriteBytes(scratch.Path("film.srt"),
                        "1\r\n00:00:10,000 --> 00:00:12,000\r\nfirst\r\n\r\n"
                        "2\r\n00:00:20,000 --> 00:00:22,000\r\nsecond\r\n\r\n"
                        "3\r\n00:00:30,000 --> 00:00:32,000\r\nthird\r\n\r\n");
    testing::WriteWav(scratch.Path("movie.wav"), 60, {{19.73, 22.4, 700}}, 16000, 1);
    player.duration = At(60);
  }
  ~WaveformStripTest() override {
    page.reset();
    unsetenv("XDG_CACHE_HOME");
  }

  WaveformStrip& Open() {
    page = std::make_unique<CTranslatePage>(ctx);
    page->resize(1000, 700);
    page->show();
    page->OnActivate();
    dialogs.ExpectOpen(u"Open Subtitle file", FromUtf8(scratch.Path("film.srt").string()));
    page->findChild<QPushButton*>(QStringLiteral("openSub"))->click();
    dialogs.ExpectOpen(u"Select Movie", FromUtf8(scratch.Path("movie.wav").string()));
    page->findChild<QPushButton*>(QStringLiteral("openAvi"))->click();
    EXPECT_TRUE(testing::WaitUntil(
        [this] { return page->Sound().GetState() == SoundLoader::State::Ready; }));
    player.TakeCalls();
    return *page->Strip();
  }
  std::string Description() const { return page->Strip()->accessibleDescription().toStdString(); }
  QPointF Point(double seconds, double height_fraction = 0.6) const {
    WaveformStrip* s = page->Strip();
    return {s->XAt(seconds), s->WaveRect().top() + s->WaveRect().height() * height_fraction};
  }
  void Mouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, page->Strip()->mapToGlobal(at), Qt::LeftButton, buttons, mods);
    QApplication::sendEvent(page->Strip(), &e);
  }
  void Drag(QPointF from, QPointF to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, from, mods);
    Mouse(QEvent::MouseMove, (from + to) / 2, mods);
    Mouse(QEvent::MouseMove, to, mods);
    Mouse(QEvent::MouseButtonRelease, to, mods);
  }
  void Key(int key) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(page->Strip(), &e);
  }
  void Wheel(int delta, Qt::KeyboardModifiers mods) {
    const QPointF at = Point(page->Strip()->ViewBegin());
    QWheelEvent e(at, page->Strip()->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, mods,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(page->Strip(), &e);
  }
  std::string Times(int row) const { return ToUtf8(doc.Start(row)) + "-" + ToUtf8(doc.End(row)); }

  testing::ScratchDir scratch{"tessera-strip"};
  SubtitleDocument doc;
  SettingsStore store;
  AppSettings app;
  LanguageTable lang;
  testing::ScriptedPrompter prompter;
  testing::ScriptedDialogs dialogs;
  ScriptedPlayer player;
  testing::ScriptedVolume volume;
  testing::RecordingHost host;
  NullProgressSink progress;
  QtProcessRunner runner;
  QtTextMeasurer measurer;
  UndoHistory history;
  PageContext ctx{{{prompter, dialogs, progress, runner, measurer, &player, &volume},
                   doc,
                   store,
                   app,
                   lang,
                   history},
                  &host};
  std::unique_ptr<CTranslatePage> page;
};

TEST_F(WaveformStripTest, WithoutSoundItSaysSoAndTakesNoInput) {
  page = std::make_unique<CTranslatePage>(ctx);
  page->OnActivate();
  WaveformStrip* strip = page->Strip();
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->accessibleName(), "Waveform");
  EXPECT_EQ(Description(), "No sound");
  EXPECT_FALSE(strip->TakesInput());
  // A file the player opens but whose sound cannot be read.
  testing::WriteBytes(scratch.Path("pictures.avi"), "no sound in here");
  dialogs.ExpectOpen(u"Select Movie", FromUtf8(scratch.Path("pictures.avi").string()));
  page->findChild<QPushButton*>(QStringLiteral("openAvi"))->click();
  ASSERT_TRUE(testing::WaitUntil(
      [this] { return page->Sound().GetState() == SoundLoader::State::NoSound; }));
  EXPECT_EQ(Description(), "No sound");
  EXPECT_FALSE(strip->TakesInput());
  ASSERT_FALSE(doc.Log().Lines().empty());
  EXPECT_EQ(ToUtf8(doc.Log().Lines().back()).rfind("Cannot read the sound of ", 0), 0u);
}

TEST_F(WaveformStripTest, ZoomAndScrollKeepTheSpanDescribed) {
  WaveformStrip& strip = Open();
  page->SeekTo(0);
  EXPECT_EQ(Description(), "from 0:00:00.000 to 0:00:10.000");
  struct Step {
    std::function<void()> act;
    const char* expected;
  };
  const std::vector<Step> steps = {
      {[&] { Key(Qt::Key_Plus); }, "from 0:00:00.000 to 0:00:05.000"},
      {[&] { Key(Qt::Key_Plus); }, "from 0:00:00.000 to 0:00:02.500"},
      {[&] { Key(Qt::Key_Plus); }, "from 0:00:00.000 to 0:00:02.000"},  // 2 s at least
      {[&] { Key(Qt::Key_Minus); }, "from 0:00:00.000 to 0:00:04.000"},
      {[&] { Wheel(-120, Qt::ControlModifier); }, "from 0:00:00.000 to 0:00:08.000"},
      {[&] { Wheel(-120, Qt::NoModifier); }, "from 0:00:01.000 to 0:00:09.000"},
      {[&] { Wheel(120, Qt::ControlModifier); }, "from 0:00:01.000 to 0:00:05.000"},
      {[&] { strip.SetView(0, 1000); }, "from 0:00:00.000 to 0:01:00.000"},  // the whole movie
      {[&] { strip.SetView(50, 10); }, "from 0:00:50.000 to 0:01:00.000"},
      {[&] { strip.SetView(55, 10); }, "from 0:00:50.000 to 0:01:00.000"},  // not past the end
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].act();
    EXPECT_EQ(Description(), steps[i].expected) << i;
  }
  // Dragging the ruler by a fifth of the width brings a fifth of the span earlier in.
  strip.SetView(20, 10);
  const double y = strip.WaveRect().top() / 2.0;
  Drag({strip.width() * 0.5, y}, {strip.width() * 0.7, y});
  EXPECT_EQ(Description(), "from 0:00:18.000 to 0:00:28.000");
  EXPECT_EQ(player.position, At(0));  // the ruler seeks nothing
}

TEST_F(WaveformStripTest, ClickSeeksAndDoubleClickSelects) {
  WaveformStrip& strip = Open();
  strip.SetView(8, 10);
  const auto click = [&](double seconds) {
    Mouse(QEvent::MouseButtonPress, Point(seconds));
    Mouse(QEvent::MouseButtonRelease, Point(seconds));
  };
  click(15.0);
  EXPECT_NEAR(player.position / 1e7, 15.0, 0.02);
  EXPECT_FALSE(player.playing);
  EXPECT_EQ(page->State(), PlayState::Stopped);

  QMouseEvent dbl(QEvent::MouseButtonDblClick, Point(11), strip.mapToGlobal(Point(11)),
                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&strip, &dbl);
  EXPECT_EQ(page->List()->FirstSelectedRow(), 0);
  EXPECT_EQ(page->CurrentSubtitle(), 0);
}

TEST_F(WaveformStripTest, DraggingTimesExactlyThatSubtitleInOneUndoStep) {
  WaveformStrip& strip = Open();
  strip.SetView(8, 28);
  struct Case {
    const char* name;
    double from, to;
    Qt::KeyboardModifiers mods;
    int row;
    const char* times;
  };
  const Case cases[] = {
      {"start earlier", 20.0, 18.504, Qt::NoModifier, 1, "0:00:18.500-0:00:22.000"},
      {"end later", 22.0, 24.0, Qt::NoModifier, 1, "0:00:20.000-0:00:24.000"},
      {"middle", 21.0, 24.0, Qt::NoModifier, 1, "0:00:23.000-0:00:25.000"},
      {"end past the next start", 12.0, 25.0, Qt::NoModifier, 0, "0:00:10.000-0:00:20.000"},
      {"start past its end", 10.0, 14.0, Qt::NoModifier, 0, "0:00:11.990-0:00:12.000"},
      {"end before its start", 12.0, 9.0, Qt::NoModifier, 0, "0:00:10.000-0:00:10.010"},
      {"middle into the previous", 21.0, 12.0, Qt::NoModifier, 1, "0:00:12.000-0:00:14.000"},
      {"middle into the next", 21.0, 31.0, Qt::NoModifier, 1, "0:00:28.000-0:00:30.000"},
      {"start with Shift snaps to speech", 20.0, 19.5, Qt::ShiftModifier, 1,
       "0:00:19.730-0:00:22.000"},
      // The voice filter's tail lasts into the frame after the speech.
      {"end with Shift snaps to speech", 22.0, 22.7, Qt::ShiftModifier, 1,
       "0:00:20.000-0:00:22.410"},
  };
  for (const Case& c : cases) {
    page->Strip()->SubtitlesChanged();
    const std::string before[3] = {Times(0), Times(1), Times(2)};
    doc.SetChanged(false);
    Drag(Point(c.from), Point(c.to), c.mods);
    EXPECT_EQ(Times(c.row), c.times) << c.name;
    for (int other = 0; other < 3; ++other) {
      if (other == c.row) continue;
      EXPECT_EQ(Times(other), before[other]) << c.name;
    }
    EXPECT_TRUE(doc.Changed()) << c.name;
    EXPECT_EQ(ToUtf8(history.UndoLabel()), "Time line " + std::to_string(c.row + 1)) << c.name;
    const QModelIndex cell = page->List()->Model()->index(c.row, 1);
    EXPECT_EQ(ToUtf8(FromQ(page->List()->Model()->data(cell, Qt::DisplayRole).toString())),
              ToUtf8(doc.Start(c.row)))
        << c.name;
    ASSERT_TRUE(history.Undo(doc)) << c.name;
    page->ShowDocument();
    EXPECT_EQ(Times(c.row), before[c.row]) << c.name;
  }
  // A subtitle at the very start never goes below 0.
  doc.SetTime(0, kStart, 0.5);
  doc.SetTime(0, kEnd, 1.5);
  page->ShowDocument();
  strip.SetView(0, 20);
  Drag(Point(1.0), Point(0.2));
  EXPECT_EQ(Times(0), "0:00:00.000-0:00:01.000");
}

TEST_F(WaveformStripTest, BoxesAreAccessibleChildrenCoveringTheMiddle) {
  WaveformStrip& strip = Open();
  strip.SetView(15, 20);
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&strip);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->text(QAccessible::Name), "Waveform");
  EXPECT_EQ(a->text(QAccessible::Description), "from 0:00:15.000 to 0:00:35.000");
  ASSERT_EQ(a->childCount(), 2);
  EXPECT_EQ(a->child(0)->text(QAccessible::Name), "Subtitle 2");
  EXPECT_EQ(a->child(1)->text(QAccessible::Name), "Subtitle 3");
  const QRect box = a->child(0)->rect();
  const QPoint middle =
      strip.mapToGlobal(QPoint(static_cast<int>(strip.XAt(21)), strip.height() / 2));
  EXPECT_TRUE(box.contains(middle));
  EXPECT_EQ(a->childAt(middle.x(), middle.y()), a->child(0));
  EXPECT_EQ(a->indexOfChild(a->child(1)), 1);
}

TEST_F(WaveformStripTest, PlayLinePlaysTheCurrentSubtitleAndPausesAtItsEnd) {
  Open();
  page->SeekTo(At(20.5));
  ASSERT_EQ(page->CurrentSubtitle(), 1);
  player.TakeCalls();
  page->findChild<QPushButton*>(QStringLiteral("playLine"))->click();
  EXPECT_EQ(player.position, At(20));
  EXPECT_TRUE(player.playing);
  EXPECT_EQ(page->State(), PlayState::Playing);
  player.position = At(21);
  page->RefreshFromPosition();
  EXPECT_EQ(page->State(), PlayState::Playing);
  player.position = At(22);
  page->RefreshFromPosition();
  EXPECT_EQ(page->State(), PlayState::Paused);
  // Ctrl+Space does the same.
  page->SeekTo(At(20.5));
  EXPECT_TRUE(page->OnShortcut(CtrlKey(Qt::Key_Space)));
  EXPECT_EQ(player.position, At(20));
  EXPECT_EQ(page->State(), PlayState::Playing);
}

}  // namespace
}  // namespace tessera
