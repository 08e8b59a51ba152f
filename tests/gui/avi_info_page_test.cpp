// The AVI Info page in the whole window, on movies made by ffmpeg.
#include "pages/avi_info/avi_info_page.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "core/qt_text_qt.h"
#include "tests/gui/window_fixture.h"
#include "ui/log_panel.h"

namespace tessera {
namespace {

using testing::MainWindowTest;
using testing::ScratchDir;
using testing::WriteBytes;

constexpr int kAviInfoPage = 6;
constexpr int kFilesPage = 0;

const char* const kBoxes[] = {"filename",   "size",       "aspectRatio",  "framerate",
                              "length",     "fourcc",     "codec",        "vendor",
                              "avgBitrate", "audioCodec", "audioBitrate", "samplingFrequency"};

class AviInfoPageTest : public MainWindowTest {
 protected:
  static void SetUpTestSuite() {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) return;
    movies_ = new ScratchDir("tessera-avi-page");
    auto make = [](const std::string& args, const std::string& name) {
      const std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" +
                              movies_->Path(name).string() + "' 2>/dev/null";
      return std::system(cmd.c_str()) == 0;
    };
    made_ =
        make(
            "-f lavfi -i testsrc=duration=2:size=320x240:rate=25 -f lavfi -i "
            "sine=duration=2 -c:v mpeg4 -vtag xvid -c:a pcm_s16le",
            "both.avi") &&
        make("-f lavfi -i testsrc=duration=3:size=720x576:rate=25 -c:v mpeg4 -an", "silent.avi");
    WriteBytes(movies_->Path("notes.avi"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nnot a movie\r\n");
  }
  static void TearDownTestSuite() {
    delete movies_;
    movies_ = nullptr;
  }
  void SetUp() override {
    if (!movies_) GTEST_SKIP() << "ffmpeg is not installed";
    ASSERT_TRUE(made_) << "ffmpeg could not make the test movies";
  }

  static std::u16string Movie(const std::string& name) { return movies_->Path16(name); }
  CAviInfoPage* Page() const {
    return static_cast<CAviInfoPage*>(app_->MainDialog()->Page(kAviInfoPage));
  }
  void Show(int page) { app_->MainDialog()->SetActivePage(page); }
  // Every box as the page shows it.
  std::vector<std::string> Boxes() const {
    std::vector<std::string> texts;
    for (const char* name : kBoxes) texts.push_back(Page()->BoxText(name).toStdString());
    return texts;
  }
  // Every box as the core describes the file (and `tessera-cli info` prints it).
  static std::vector<std::string> Described(const std::string& name) {
    AviInfoTexts t;
    EXPECT_TRUE(DescribeAviFile(Movie(name), t)) << name;
    std::vector<std::string> texts;
    for (const auto& [label, text] : AviInfoLines(t)) texts.push_back(ToUtf8(text));
    return texts;
  }
  void OpenAvi(const std::u16string& path) {
    dialogs_.ExpectOpen(u"Select Movie", path);
    Page()->Button("openAvi")->click();
  }

  static ScratchDir* movies_;
  static bool made_;
};
ScratchDir* AviInfoPageTest::movies_ = nullptr;
bool AviInfoPageTest::made_ = false;

TEST_F(AviInfoPageTest, ActivationDescribesTheLastMovieOncePerPath) {
  CTesseraApp& app = Start();
  Show(kAviInfoPage);
  for (const std::string& text : Boxes()) EXPECT_EQ(text, "");  // no movie yet

  app.Settings().last_avi = Movie("both.avi");
  Show(kFilesPage);
  Show(kAviInfoPage);
  EXPECT_EQ(Boxes(), Described("both.avi"));
  EXPECT_EQ(Page()->BoxText("filename"), ToQ(Movie("both.avi")));
  EXPECT_EQ(Page()->BoxText("framerate"), "25.000");
  EXPECT_EQ(Page()->BoxText("fourcc"), "xvid");
  EXPECT_EQ(Page()->BoxText("codec"), "XviD");
  EXPECT_EQ(Page()->BoxText("audioCodec"), "PCM");
  const QFont box_font = Page()->findChild<QLineEdit*>("size")->font();
  EXPECT_EQ(box_font.pointSize(), 10);
  EXPECT_EQ(Page()->Log()->font().pointSize(), 10);

  // The same path is not read again, even when the file has changed since.
  namespace fs = std::filesystem;
  fs::copy_file(movies_->Path("silent.avi"), movies_->Path("changing.avi"));
  app.Settings().last_avi = Movie("changing.avi");
  Show(kFilesPage);
  Show(kAviInfoPage);
  EXPECT_EQ(Page()->BoxText("audioCodec"), "NONE OR UNKNOWN");
  fs::copy_file(movies_->Path("both.avi"), movies_->Path("changing.avi"),
                fs::copy_options::overwrite_existing);
  Show(kFilesPage);
  Show(kAviInfoPage);
  EXPECT_EQ(Page()->BoxText("audioCodec"), "NONE OR UNKNOWN");
  app.MainDialog()->close();
}

TEST_F(AviInfoPageTest, OpenAviDescribesAnotherFileAndKeepsLastAvi) {
  CTesseraApp& app = Start();
  app.Settings().last_avi = Movie("both.avi");
  app.Store().WriteString(u"Directories", u"Movie", u"/media/films");
  Show(kAviInfoPage);
  OpenAvi(Movie("silent.avi"));
  const FileDialogRequest& r = dialogs_.last_request;
  EXPECT_EQ(ToUtf8(r.initial_folder), "/media/films");
  EXPECT_EQ(ToUtf8(r.default_extension), "*.avi");
  ASSERT_EQ(r.filters.size(), 2u);
  EXPECT_EQ(ToUtf8(r.filters[0].description), "Movie files (*.avi)");
  EXPECT_EQ(ToUtf8(r.filters[1].patterns), "*.*");

  EXPECT_EQ(Boxes(), Described("silent.avi"));
  EXPECT_EQ(Page()->BoxText("audioCodec"), "NONE OR UNKNOWN");
  EXPECT_EQ(Page()->BoxText("audioBitrate"), "");
  EXPECT_EQ(Page()->BoxText("samplingFrequency"), "");
  EXPECT_EQ(Page()->BoxText("aspectRatio"), "1.250 : 1  (720 x 576)");
  EXPECT_EQ(Page()->BoxText("length"), "0:00:03");
  EXPECT_EQ(app.Settings().last_avi, Movie("both.avi"));
  EXPECT_EQ(app.Store().GetString(u"Directories", u"Movie"), FromUtf8(movies_->Dir().string()));
  // Coming back keeps the chosen file while the Play Movie page has opened no other movie.
  Show(kFilesPage);
  Show(kAviInfoPage);
  EXPECT_EQ(Boxes(), Described("silent.avi"));

  // A cancelled dialog changes nothing.
  dialogs_.ExpectOpen(u"Select Movie", std::nullopt);
  Page()->Button("openAvi")->click();
  EXPECT_EQ(Boxes(), Described("silent.avi"));
  app.MainDialog()->close();
}

TEST_F(AviInfoPageTest, AFileThatIsNotAnAviChangesNothing) {
  CTesseraApp& app = Start();
  app.Settings().last_avi = Movie("both.avi");
  Show(kAviInfoPage);
  const std::vector<std::string> shown = Boxes();
  const size_t log_lines = app.Doc().Log().Lines().size();
  for (const char* name : {"notes.avi", "missing.avi"}) {
    OpenAvi(Movie(name));
    EXPECT_EQ(Boxes(), shown) << name;
  }
  EXPECT_EQ(app.Doc().Log().Lines().size(), log_lines);

  // A "Last AVI" that cannot be read is tried once and leaves the boxes as they were.
  app.Settings().last_avi = Movie("notes.avi");
  Show(kFilesPage);
  Show(kAviInfoPage);
  EXPECT_EQ(Boxes(), shown);
  app.MainDialog()->close();
}

}  // namespace
}  // namespace tessera
