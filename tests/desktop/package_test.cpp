// The Debian package: made by CPack from the build folder, it holds every file a desktop and a
// shell look for, passes the validators, and its programs run from wherever it is unpacked.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

struct Result {
  int code = -1;
  QString out;
};

Result RunTool(const QString& program, const QStringList& args, const QString& dir = {},
           int timeout_ms = 240000) {
  QProcess p;
  if (!dir.isEmpty()) p.setWorkingDirectory(dir);
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(timeout_ms)) return {-1, QStringLiteral("timed out")};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAll())};
}

class PackageTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (TESSERA_SANITIZED || QStandardPaths::findExecutable("dpkg-deb").isEmpty() ||
        QStandardPaths::findExecutable("dpkg-shlibdeps").isEmpty())
      return;
    dir_ = new QTemporaryDir;
    // CPack installs from the build folder as it is; nothing is built again.
    const Result made =
        RunTool(QStringLiteral(TESSERA_CPACK),
            {"--config", TESSERA_BINARY_DIR "/CPackConfig.cmake", "-B", dir_->path()});
    log_ = made.out;
    for (const QString& name : QDir(dir_->path()).entryList({"tessera_*.deb"}))
      deb_ = dir_->filePath(name);
    if (!deb_.isEmpty()) RunTool("dpkg-deb", {"-x", deb_, dir_->filePath("root")});
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    // What is shipped is the normal build; a sanitizer build would only take the time twice.
    if (TESSERA_SANITIZED) GTEST_SKIP() << "the package is made from the normal build";
    if (!dir_) GTEST_SKIP() << "dpkg-deb or dpkg-shlibdeps is not installed (scripts/setup-deps)";
    ASSERT_FALSE(deb_.isEmpty()) << log_.toStdString();
  }
  static QString Root(const QString& path) { return dir_->filePath("root") + path; }
  static QString Field(const char* name) {
    return RunTool("dpkg-deb", {"--field", deb_, name}).out.trimmed();
  }

  static QTemporaryDir* dir_;
  static QString deb_, log_;
};
QTemporaryDir* PackageTest::dir_ = nullptr;
QString PackageTest::deb_;
QString PackageTest::log_;

// One test: ctest runs each test in a process of its own, and making the package takes a while.
TEST_F(PackageTest, MadeInstalledAndValidated) {
  // Name and dependencies.
  const QString arch = RunTool("dpkg", {"--print-architecture"}).out.trimmed();
  EXPECT_EQ(QFileInfo(deb_).fileName(),
            QStringLiteral("tessera_%1_%2.deb").arg(TESSERA_VERSION_TEXT, arch));
  EXPECT_EQ(Field("Package"), "tessera");
  const QString depends = Field("Depends");
  // Found by dpkg-shlibdeps from the programs' libraries, not listed by hand.
  for (const char* library : {"libqt6widgets6", "libmpv", "libuchardet", "libc6"})
    EXPECT_TRUE(depends.contains(library)) << library << " in " << depends.toStdString();

  // Every file in its installed place.
  const char* const files[] = {
      "/usr/bin/tessera",
      "/usr/bin/tessera-cli",
      "/usr/" TESSERA_MODULE_SUBDIR "/tessera-measure.so",
      "/usr/" TESSERA_MODULE_SUBDIR "/tessera-sound.so",
      "/usr/share/tessera/Tessera.ini",
      "/usr/share/tessera/languages/Dutch.lng",
      "/usr/share/applications/Tessera.desktop",
      "/usr/share/icons/hicolor/scalable/apps/tessera.svg",
      "/usr/share/icons/hicolor/256x256/apps/tessera.png",
      "/usr/share/mime/packages/tessera.xml",
      "/usr/share/metainfo/com.larchandpine.Tessera.metainfo.xml",
      "/usr/share/man/man1/tessera.1.gz",
      "/usr/share/man/man1/tessera-cli.1.gz",
      "/usr/share/bash-completion/completions/tessera",
      "/usr/share/bash-completion/completions/tessera-cli",
      "/usr/share/doc/tessera/copyright",
      "/usr/share/doc/tessera/changelog.gz",
  };
  for (const char* f : files) EXPECT_TRUE(QFile::exists(Root(f))) << f;

  // The unpacked programs find their own files.
  const QString bin = Root("/usr/bin/");
  EXPECT_EQ(RunTool(bin + "tessera-cli", {"--version"}).out,
            QStringLiteral("tessera-cli %1\n").arg(TESSERA_VERSION_TEXT));
  EXPECT_EQ(RunTool(bin + "tessera", {"--version"}).out,
            QStringLiteral("Tessera %1\n").arg(TESSERA_VERSION_TEXT));
  // The lists, the language file and the measuring module come from the unpacked tree: the
  // program looks relative to itself before the build folder's configured places.
  QTemporaryDir work;
  QFile::copy(TESSERA_SOURCE_DIR "/assets/sample.srt", work.filePath("in.srt"));
  const Result fix = RunTool(
      bin + "tessera-cli",
      {"--config", work.filePath("none.cfg"), "--set", "Language=1", "fix", "in.srt", "out.srt"},
      work.path());
  EXPECT_EQ(fix.code, 0) << fix.out.toStdString();
  // Dutch texts: the language file was found; 15 entries: so was the lists file.
  EXPECT_TRUE(fix.out.contains("15 OCR-foutvermeldingen gevonden")) << fix.out.toStdString();
  EXPECT_FALSE(fix.out.contains("cannot load")) << fix.out.toStdString();
  EXPECT_TRUE(QFile::exists(work.filePath("out.srt")));

  // The validators.
  struct Check {
    const char* tool;
    QStringList args;
  };
  const Check checks[] = {
      {"desktop-file-validate", {Root("/usr/share/applications/Tessera.desktop")}},
      {"appstreamcli",
       {"validate", "--no-net", Root("/usr/share/metainfo/com.larchandpine.Tessera.metainfo.xml")}},
  };
  for (const Check& c : checks) {
    if (QStandardPaths::findExecutable(c.tool).isEmpty()) {
      std::printf("[  SKIPPED ] %s is not installed (scripts/setup-deps)\n", c.tool);
      continue;
    }
    const Result r = RunTool(c.tool, c.args);
    EXPECT_EQ(r.code, 0) << c.tool << ":\n" << r.out.toStdString();
  }
  if (QStandardPaths::findExecutable("lintian").isEmpty())
    GTEST_SKIP() << "lintian is not installed (scripts/setup-deps)";
  const Result lintian = RunTool("lintian", {deb_});
  for (const QString& line : lintian.out.split('\n'))
    EXPECT_FALSE(line.startsWith("E:")) << line.toStdString();
}

}  // namespace
