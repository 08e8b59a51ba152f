#include "pages/files/dvd_export.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "core/process_runner_qt.h"
#include "core/text_util.h"
#include "pages/files/dvd_export_qt.h"
#include "tests/support/scripted_dialogs.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScriptedPrompter;
using testing::WriteBytes;

class FakeRunner final : public ProcessRunner {
 public:
  bool Start(const std::u16string& program, const std::vector<std::u16string>& args) override {
    this->program = program;
    arguments = args;
    ++starts;
    return can_start;
  }
  bool IsRunning() override { return running; }
  bool WaitForEnd(int) override { return !running; }
  void Stop() override {
    running = false;
    stopped = true;
  }
  std::u16string program;
  std::vector<std::u16string> arguments;
  bool can_start = true, running = true, stopped = false;
  int starts = 0;
};

class RecordingProgress final : public ProgressSink {
 public:
  void Open(const std::u16string& c) override {
    caption = c;
    open = true;
    ++opened;
  }
  void SetPercent(int p) override { percent = p; }
  void SetLines(const std::u16string& a, const std::u16string& b) override {
    line1 = ToUtf8(a);
    line2 = ToUtf8(b);
  }
  void Close() override { open = false; }
  std::u16string caption;
  bool open = false;
  int opened = 0, percent = -1;
  std::string line1, line2;
};

// A document of `n` entries one second apart whose lines name their row.
void Fill(SubtitleDocument& doc, int n) {
  for (int i = 0; i < n; ++i)
    doc.AddRow(Format("0:00:%02d.000", i % 60), Format("0:00:%02d.500", i % 60),
               Format("first %d", i), Format("second %d", i));
}

struct ExportFixture : ::testing::Test {
  ExportFixture() {
    fs::create_directories(scratch.dir / "work");
    app.my_subtitle_folder = FromUtf8((scratch.dir / "work").string());
    app.dvd_sup_encode_folder = u"/opt/encoder";
    app.create_copy_when_exporting = 0;
  }
  DvdExport Make() {
    return DvdExport(doc, app, runner, progress, prompter, [this] { return now; });
  }
  fs::path Work(const std::string& name) const { return scratch.dir / "work" / name; }

  struct Scratch : testing::ScratchDir {
    Scratch() : ScratchDir("tessera export") {}
    const fs::path& dir = Dir();
  } scratch;
  SubtitleDocument doc;
  AppSettings app;
  FakeRunner runner;
  RecordingProgress progress;
  ScriptedPrompter prompter;
  double now = 1000;
};

TEST_F(ExportFixture, EstimatesProgressAndLearnsTheTimePerSubtitle) {
  Fill(doc, 600);
  WriteBytes(Work("dvd2svcd.sup"), "old output");
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  EXPECT_EQ(u"/opt/encoder/DVDSupEncode", runner.program);
  ASSERT_EQ(1u, runner.arguments.size());
  EXPECT_EQ(FromUtf8(Work("dvd2svcd.sub").string()), runner.arguments[0]);
  EXPECT_FALSE(fs::exists(Work("dvd2svcd.sup")));
  EXPECT_NE(std::string::npos, ReadBytes(Work("dvd2svcd.sub")).find("FrameW=720\r\n"));
  EXPECT_EQ(kExportCaption, progress.caption);
  EXPECT_EQ(0, progress.percent);
  EXPECT_EQ("first 0", progress.line1);

  now += 21001;  // 600 x 0.07 s = 42 s: half way
  EXPECT_TRUE(run.Poll());
  EXPECT_EQ(50, progress.percent);
  EXPECT_EQ("first 300", progress.line1);
  EXPECT_EQ("second 300", progress.line2);

  now += 42000;  // beyond the estimate: a full bar and the last entry
  EXPECT_TRUE(run.Poll());
  EXPECT_EQ(150, progress.percent);
  EXPECT_EQ("first 599", progress.line1);

  WriteBytes(Work("dvd2svcd.log"), "Encoding...\r\nAll fine\r\n");
  runner.running = false;
  now += 10;
  EXPECT_FALSE(run.Poll());
  EXPECT_FALSE(progress.open);
  EXPECT_FALSE(run.Running());
  auto& lines = doc.Log().Lines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(u"Encoding...", lines[lines.size() - 2]);
  EXPECT_EQ(u"All fine", lines.back());
  // Learned from the last pass: 63 s over 600 subtitles.
  EXPECT_NEAR(0.105, app.export_factor, 1e-5);
}

TEST_F(ExportFixture, OneEntryShowsItsLinesThroughout) {
  Fill(doc, 1);
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  for (double step : {10.0, 50.0, 5000.0}) {
    now += step;
    run.Poll();
    EXPECT_EQ("first 0", progress.line1);
    EXPECT_EQ("second 0", progress.line2);
  }
}

TEST_F(ExportFixture, EncoderEndingBeforeTheFirstPassLearnsFromItsRunTime) {
  Fill(doc, 10);
  runner.running = false;
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  now += 1200;
  EXPECT_FALSE(run.Poll());
  EXPECT_NEAR(0.12, app.export_factor, 1e-9);
}

TEST_F(ExportFixture, TinyOrBrokenEstimateIsReplacedBeforeTheRun) {
  for (double bad : {0.0, 1e-9, -3.0, std::nan("")}) {
    doc.Empty();
    Fill(doc, 100);
    app.export_factor = bad;
    DvdExport run = Make();
    ASSERT_TRUE(run.Begin());
    now += 3501;  // 100 x 0.07 s = 7 s
    run.Poll();
    EXPECT_EQ(50, progress.percent) << bad;
    runner.Stop();
    runner.running = true;
    run.FinishOrStop(0);
  }
}

TEST_F(ExportFixture, DetectedErrorsAnywhereInTheLogIsAFailure) {
  Fill(doc, 5);
  app.export_factor = 0.5;
  app.create_copy_when_exporting = 1;
  doc.SetFilePath(FromUtf8((scratch.dir / "movie.srt").string()));
  WriteBytes(Work("dvd2svcd.log"), "line one\r\nEncoder detected errors in 2 subs\r\nend\r\n");
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  runner.running = false;
  prompter.ExpectMessage(kExportFailedText);
  EXPECT_FALSE(run.Poll());
  EXPECT_EQ(u"end", doc.Log().Lines().back());
  EXPECT_DOUBLE_EQ(0.5, app.export_factor);
  EXPECT_FALSE(fs::exists(scratch.dir / "movie.sub"));
}

TEST_F(ExportFixture, EncoderThatCannotStartNamesTheCommand) {
  Fill(doc, 3);
  runner.can_start = false;
  WriteBytes(Work("dvd2svcd.sup"), "old");
  app.export_factor = 0.3;
  DvdExport run = Make();
  EXPECT_FALSE(run.Begin());
  EXPECT_FALSE(run.Running());
  EXPECT_FALSE(fs::exists(Work("dvd2svcd.sup")));
  EXPECT_EQ(0, progress.opened);
  std::string expected =
      "ERROR: Unable to start /opt/encoder/DVDSupEncode \"" + Work("dvd2svcd.sub").string() + "\"";
  EXPECT_EQ(expected, ToUtf8(doc.Log().Lines().back()));
  EXPECT_DOUBLE_EQ(0.3, app.export_factor);
}

TEST_F(ExportFixture, UnwritableInputStopsBeforeTheEncoder) {
  Fill(doc, 3);
  app.my_subtitle_folder = FromUtf8((scratch.dir / "missing").string());
  DvdExport run = Make();
  EXPECT_FALSE(run.Begin());
  EXPECT_EQ(0, runner.starts);
  EXPECT_EQ(0u, ToUtf8(doc.Log().Lines().back()).find("ERROR:"));
}

TEST_F(ExportFixture, CopyBesideTheSourceFile) {
  struct Case {
    std::string source;  // relative to the scratch folder
    std::string target;
    bool copied;
  };
  for (const Case& c : {Case{"films/movie.srt", "films/movie.sub", true},
                        Case{"films/movie.final.ssa", "films/movie.final.sub", true},
                        Case{"films.d/movie", "films.d/movie.sub", true}}) {
    fs::create_directories((scratch.dir / c.source).parent_path());
    WriteBytes(scratch.dir / c.target, "older copy");
    doc.Empty();
    Fill(doc, 2);
    app.create_copy_when_exporting = 1;
    doc.SetFilePath(FromUtf8((scratch.dir / c.source).string()));
    runner.running = false;
    DvdExport run = Make();
    ASSERT_TRUE(run.Begin());
    run.Poll();
    EXPECT_EQ(ReadBytes(Work("dvd2svcd.sub")), ReadBytes(scratch.dir / c.target)) << c.source;
  }
}

TEST_F(ExportFixture, CopyNeverOverwritesTheLoadedFile) {
  Fill(doc, 2);
  app.create_copy_when_exporting = 1;
  fs::path source = scratch.dir / "movie.sub";
  WriteBytes(source, "{1}{2}the user's own file\r\n");
  doc.SetFilePath(FromUtf8(source.string()));
  runner.running = false;
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  run.Poll();
  EXPECT_EQ("{1}{2}the user's own file\r\n", ReadBytes(source));
  EXPECT_EQ(0u, ToUtf8(doc.Log().Lines().back()).find("WARNING:"));
}

TEST_F(ExportFixture, FailedCopyIsReported) {
  Fill(doc, 2);
  app.create_copy_when_exporting = 1;
  fs::create_directories(scratch.dir / "movie.sub");  // a folder where the copy should go
  doc.SetFilePath(FromUtf8((scratch.dir / "movie.srt").string()));
  runner.running = false;
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  prompter.ExpectMessage(kExportCopyFailedText);
  run.Poll();
}

TEST_F(ExportFixture, ClosingStopsAnEncoderThatDoesNotEnd) {
  Fill(doc, 2);
  app.export_factor = 0.2;
  DvdExport run = Make();
  ASSERT_TRUE(run.Begin());
  run.FinishOrStop(10);
  EXPECT_TRUE(runner.stopped);
  EXPECT_FALSE(progress.open);
  EXPECT_FALSE(run.Running());
  EXPECT_DOUBLE_EQ(0.2, app.export_factor);
  EXPECT_EQ(0u, ToUtf8(doc.Log().Lines().back()).find("WARNING:"));
}

// ---- The real process runner against encoder scripts the test writes.

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "test_files";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

struct EncoderScriptFixture : ExportFixture {
  EncoderScriptFixture() {
    App();
    fs::path folder = scratch.dir / "encoder dir";
    fs::create_directories(folder);
    app.dvd_sup_encode_folder = FromUtf8(folder.string());
    encoder = folder / "DVDSupEncode";
  }
  void WriteEncoder(const std::string& body) {
    WriteBytes(encoder, "#!/bin/sh\n" + body);
    fs::permissions(encoder, fs::perms::owner_all);
  }
  // Runs the export on the event loop until it finishes (or 10 s pass).
  bool RunToEnd() {
    DvdExport run(doc, app, qt_runner, progress, prompter);
    DvdExportDriver driver(run);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&driver, &DvdExportDriver::Finished, &loop, [&] {
      finished = true;
      loop.quit();
    });
    if (!driver.Start()) return false;
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return finished;
  }
  fs::path encoder;
  QtProcessRunner qt_runner;
};

TEST_F(EncoderScriptFixture, SuccessfulRunReadsItsLogAndMakesTheCopy) {
  Fill(doc, 4);
  app.create_copy_when_exporting = 1;
  doc.SetFilePath(FromUtf8((scratch.dir / "movie.srt").string()));
  // The input path reaches the encoder as one argument, blanks included, and its output is
  // megabytes of noise on both streams, more than any pipe holds.
  WriteEncoder(
      "printf '%s' \"$1\" > \"$(dirname \"$1\")/argument\"\n"
      "head -c 3000000 /dev/zero; head -c 3000000 /dev/zero >&2\n"
      "sleep 0.2\n"
      "printf 'Read 4 subtitles\\r\\nFinished\\r\\n' > \"$(dirname \"$1\")/dvd2svcd.log\"\n");
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(Work("dvd2svcd.sub").string(), ReadBytes(Work("argument")));
  EXPECT_EQ(u"Finished", doc.Log().Lines().back());
  EXPECT_EQ(ReadBytes(Work("dvd2svcd.sub")), ReadBytes(scratch.dir / "movie.sub"));
  EXPECT_GT(app.export_factor, 0.01);  // at least 0.2 s over 4 subtitles
  EXPECT_FALSE(progress.open);
}

TEST_F(EncoderScriptFixture, DetectedErrorsShowsTheErrorBox) {
  Fill(doc, 2);
  app.export_factor = 0.25;
  WriteEncoder("printf 'Subtitle 2: detected errors\\r\\n' > \"$(dirname \"$1\")/dvd2svcd.log\"\n");
  prompter.ExpectMessage(kExportFailedText);
  ASSERT_TRUE(RunToEnd());
  EXPECT_DOUBLE_EQ(0.25, app.export_factor);
}

TEST_F(EncoderScriptFixture, MissingEncoderIsAnError) {
  Fill(doc, 2);
  EXPECT_FALSE(RunToEnd());
  EXPECT_EQ(0u, ToUtf8(doc.Log().Lines().back()).find("ERROR: Unable to start "));
  EXPECT_EQ(0, progress.opened);
}

TEST_F(EncoderScriptFixture, ClosingStopsAHangingEncoder) {
  Fill(doc, 2);
  WriteEncoder("exec sleep 30\n");
  DvdExport run(doc, app, qt_runner, progress, prompter);
  DvdExportDriver driver(run);
  ASSERT_TRUE(driver.Start());
  EXPECT_TRUE(driver.Running());
  driver.FinishOrStop(50);
  EXPECT_FALSE(driver.Running());
  EXPECT_FALSE(qt_runner.IsRunning());
}

}  // namespace
}  // namespace tessera
