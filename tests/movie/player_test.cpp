// The libmpv player and the movie panel on movies made by the tests: silent (ao=null), rendered
// in software, no display.
#include <gtest/gtest.h>

#include <QImage>

#include "core/text_util.h"
#include "movie/mpv_player_qt.h"
#include "pages/play_movie/movie_panel_widget.h"
#include "tests/support/movie_files.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::CountedFrame;
using testing::WaitUntil;

constexpr int64_t kSecond = 10000000;
constexpr int64_t kFrame = kSecond / 25;

class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!testing::HaveProgram("ffmpeg")) return;
    dir_ = new testing::ScratchDir("tessera-player");
    movie_ = testing::MakeCountingMovie(dir_->Path("count.avi"));
    wide_ = testing::MakeCountingMovie(dir_->Path("wide.avi"), 4, "320x180");
    sound_ = testing::MakeMovie(dir_->Path("sound.mp2"),
                                "-f lavfi -i sine=frequency=330:duration=3 -c:a mp2");
    testing::WriteBytes(dir_->Path("notes.avi"), "These are notes, not a movie.\n");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (movie_.empty()) GTEST_SKIP() << "ffmpeg is needed to make the test movies";
  }

  static std::u16string P(const fs::path& p) { return FromUtf8(p.string()); }
  // Waits for the next picture the player renders.
  bool NextPicture() {
    const int64_t before = player_.FramesRendered();
    return WaitUntil([&] { return player_.FramesRendered() > before; });
  }
  // The grey of the picture's centre.
  int CentreGrey() const {
    const PictureView v = player_.Picture();
    if (v.Empty()) return -1;
    const QImage image(v.pixels, v.width, v.height, v.stride, QImage::Format_RGB32);
    return qRed(image.pixel(v.width / 2, v.height / 2));
  }
  // Seeks while paused and waits until the picture shows the frame at the new position.
  int FrameAfterSeek(int64_t position) {
    player_.Seek(position);
    const int expected = static_cast<int>(position / kFrame) % 50;
    WaitUntil([&] { return std::abs(CountedFrame(CentreGrey()) - expected) <= 1; }, 5000);
    return CountedFrame(CentreGrey());
  }

  static inline testing::ScratchDir* dir_ = nullptr;
  static inline fs::path movie_, wide_, sound_;
  CVMR9Graph player_{"null"};
};

TEST_F(PlayerTest, LoadsAMovieAndShowsItsFirstFrame) {
  ASSERT_TRUE(player_.LoadSource(P(movie_))) << ToUtf8(player_.LastError());
  EXPECT_TRUE(player_.HasGraph());
  EXPECT_NEAR(static_cast<double>(player_.Duration()), 10.0 * kSecond, 0.1 * kSecond);
  int w = 0, h = 0;
  ASSERT_TRUE(player_.NativeVideoRect(w, h));
  EXPECT_EQ(160, w);
  EXPECT_EQ(120, h);
  player_.SetViewSize(w, h);
  ASSERT_TRUE(WaitUntil([&] { return !player_.Picture().Empty(); }));
  EXPECT_EQ(0, player_.Position() / kFrame);
}

TEST_F(PlayerTest, ShowsTheExactFrameAtAPausedPosition) {
  ASSERT_TRUE(player_.LoadSource(P(movie_)));
  player_.SetViewSize(160, 120);
  // Frame 180 is grey (not blank); the picture and the position agree within a frame.
  ASSERT_TRUE(player_.Seek(180 * kFrame));
  ASSERT_TRUE(player_.ShowFrame());
  ASSERT_TRUE(WaitUntil([&] { return CountedFrame(CentreGrey()) == 30; }, 5000))
      << "grey " << CentreGrey();
  EXPECT_GT(CentreGrey(), 100);
  EXPECT_NEAR(static_cast<double>(player_.Position()), 180.0 * kFrame, kFrame);

  // Table of seeks backwards and forwards, each within one frame.
  for (int frame : {12, 240, 101, 37, 238}) {
    EXPECT_NEAR(frame % 50, FrameAfterSeek(frame * kFrame), 1) << "frame " << frame;
    EXPECT_NEAR(static_cast<double>(player_.Position()), frame * static_cast<double>(kFrame),
                kFrame)
        << "frame " << frame;
  }
}

TEST_F(PlayerTest, PlaysPausesAndKeepsThePosition) {
  ASSERT_TRUE(player_.LoadSource(P(movie_)));
  player_.SetViewSize(160, 120);
  ASSERT_TRUE(player_.StartPlayback());
  ASSERT_TRUE(WaitUntil([&] { return player_.Position() > 8 * kFrame; }));
  ASSERT_TRUE(player_.Pause());
  WaitUntil([] { return false; }, 300);
  const int64_t paused = player_.Position();
  WaitUntil([] { return false; }, 300);
  EXPECT_EQ(paused, player_.Position());
  // HaltPlayback keeps the position and the movie loaded.
  ASSERT_TRUE(player_.HaltPlayback());
  EXPECT_TRUE(player_.HasGraph());
  EXPECT_EQ(paused, player_.Position());
}

TEST_F(PlayerTest, ASecondMovieReplacesTheFirstCompletely) {
  ASSERT_TRUE(player_.LoadSource(P(movie_)));
  player_.SetOverlayLines(u"from the first", u"");
  ASSERT_TRUE(player_.LoadSource(P(wide_)));
  int w = 0, h = 0;
  ASSERT_TRUE(player_.NativeVideoRect(w, h));
  EXPECT_EQ(320, w);
  EXPECT_EQ(180, h);
  EXPECT_NEAR(static_cast<double>(player_.Duration()), 4.0 * kSecond, 0.1 * kSecond);
  std::u16string upper, lower;
  player_.OverlayLines(upper, lower);
  EXPECT_TRUE(upper.empty() && lower.empty());
}

TEST_F(PlayerTest, SoundOnlyPlaysWithoutAPicture) {
  ASSERT_FALSE(sound_.empty());
  ASSERT_TRUE(player_.LoadSource(P(sound_))) << ToUtf8(player_.LastError());
  int w = 0, h = 0;
  EXPECT_FALSE(player_.NativeVideoRect(w, h));
  EXPECT_NE(std::u16string::npos, player_.LastError().find(u"Can't return video size, VMR error"));
  EXPECT_TRUE(player_.StartPlayback());
  EXPECT_TRUE(WaitUntil([&] { return player_.Position() > 0; }));
  EXPECT_TRUE(player_.Pause());
  EXPECT_TRUE(player_.Picture().Empty());
}

TEST_F(PlayerTest, FailuresReturnFalseAndRecordTheirText) {
  struct Case {
    const char* name;
    std::function<bool(CVMR9Graph&)> call;
    const char16_t* text;
  };
  const std::u16string notes = P(dir_->Path("notes.avi"));
  const Case cases[] = {
      {"play before loading", [](CVMR9Graph& g) { return g.StartPlayback(); },
       u"Can't play, no graph"},
      {"stop before loading", [](CVMR9Graph& g) { return g.HaltPlayback(); },
       u"Can't stop, no graph"},
      {"not a movie", [&](CVMR9Graph& g) { return g.LoadSource(notes); },
       u"Could not find a source filter for this file"},
      {"missing file", [&](CVMR9Graph& g) { return g.LoadSource(P(dir_->Path("gone.avi"))); },
       u"Could not find a source filter for this file"},
      {"no name", [](CVMR9Graph& g) { return g.LoadSource(u""); },
       u"Could not find a source filter for this file"},
  };
  for (const Case& c : cases) {
    CVMR9Graph graph("null");
    EXPECT_FALSE(c.call(graph)) << c.name;
    const std::string error = ToUtf8(graph.LastError());
    EXPECT_NE(std::string::npos, error.find(ToUtf8(c.text))) << c.name << ": " << error;
    EXPECT_EQ(0u, error.find("[ERROR in VMR9Graph, line ")) << error;
    EXPECT_FALSE(graph.HasGraph()) << c.name;
    EXPECT_EQ(0, graph.Position()) << c.name;
  }
}

// ---- The panel: letter-box and overlay

// Pixels that are white under the overlay's 0.99 opacity.
int WhitePixels(const QImage& image, int top, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (qRed(p) > 251 && qGreen(p) > 251 && qBlue(p) > 251) ++n;
    }
  return n;
}

TEST_F(PlayerTest, OverlayCoversTheBottomFifthAndClearsInAGap) {
  AppSettings app;
  CMyMoviePanel panel(player_, app);
  panel.SetBackgroundColour(Qt::black);
  panel.SetShowPictures(false);
  panel.resize(400, 200);
  ASSERT_TRUE(player_.LoadSource(P(movie_)));
  ASSERT_TRUE(player_.Seek(170 * kFrame));
  ASSERT_TRUE(player_.ShowFrame());
  // 160 x 120 letter-boxed into 400 x 200: 266 x 200, bars at the sides.
  const QRect picture = panel.PictureRect();
  EXPECT_EQ(QRect(67, 0, 266, 200), picture);
  ASSERT_TRUE(WaitUntil([&] {
    return player_.Picture().width == 266 && CountedFrame(CentreGrey()) == 20;
  })) << player_.Picture().width
      << " grey " << CentreGrey() << " frames " << player_.FramesRendered() << " at "
      << player_.Position();

  player_.SetOverlayLines(u"A subtitle line", u"");
  QImage shown = panel.Composed();
  const int fifth = picture.bottom() + 1 - picture.height() / 5;
  EXPECT_GT(WhitePixels(shown, fifth, picture.bottom() + 1), 50);
  EXPECT_EQ(0, WhitePixels(shown, 0, fifth));
  EXPECT_EQ(Qt::black, QColor(shown.pixel(10, 100)));  // the bar beside the picture

  player_.SetOverlayLines(u"", u"");
  shown = panel.Composed();
  EXPECT_EQ(0, WhitePixels(shown, 0, shown.height()));
  EXPECT_GT(qRed(shown.pixel(200, 100)), 50);  // the picture itself
}

TEST(MovieOverlay, TwoRowsOfHardWhiteTextOnTheKeyColour) {
  const FontSpec font{u"Arial", 23, false};
  const QImage one = MakeOverlayImage(u"", u"Hello", 300, font);
  ASSERT_EQ(QSize(300, 100), one.size());
  EXPECT_EQ(0, WhitePixels(one, 0, 40));
  EXPECT_GT(WhitePixels(one, 40, 100), 30);
  // Non-antialiased: every pixel is white or the key colour.
  for (int y = 0; y < one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) {
      const QRgb p = one.pixel(x, y);
      ASSERT_TRUE(p == kOverlayKey || p == 0xFFFFFFFF) << x << "," << y;
    }
  const QImage two = MakeOverlayImage(u"Upper", u"Lower", 300, font);
  EXPECT_GT(WhitePixels(two, 0, 40), 30);
  // Too wide a line is centred and cut at both sides.
  const QImage wide = MakeOverlayImage(u"", std::u16string(60, u'W'), 120, font);
  EXPECT_GT(WhitePixels(wide.copy(0, 40, 4, 60), 0, 60), 0);
  EXPECT_GT(WhitePixels(wide.copy(116, 40, 4, 60), 0, 60), 0);
  // The key colour becomes transparent, the text stays opaque.
  const QImage keyed = KeyedOverlay(one);
  EXPECT_EQ(0, qAlpha(keyed.pixel(0, 0)));
}

TEST(MovieOverlay, LetterBoxKeepsTheProportions) {
  struct Case {
    QSize native;
    QRect area, expected;
  };
  const Case cases[] = {
      {{720, 576}, {0, 0, 720, 576}, {0, 0, 720, 576}},
      {{720, 576}, {0, 0, 1000, 576}, {140, 0, 720, 576}},  // bars at the sides
      {{1920, 800}, {0, 0, 960, 700}, {0, 150, 960, 400}},  // bars above and below
      {{0, 0}, {0, 0, 100, 100}, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.expected, LetterBox(c.native, c.area)) << c.native.width();
}

}  // namespace
}  // namespace tessera
