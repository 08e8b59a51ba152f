// tessera-cli autosync as a user runs it: what it finds, its exit codes, and bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <regex>

#include "tests/autosync/talk_sound.h"
#include "tests/support/movie_files.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using ::tessera::testing::ReadBytes;
using ::tessera::testing::SubRipOf;
using ::tessera::testing::TalkSpans;
using ::tessera::testing::WriteBytes;

std::vector<double> Starts(const std::string& srt) {
  std::vector<double> out;
  static const std::regex stamp(R"((\d+):(\d\d):(\d\d),(\d\d\d) -->)");
  for (auto it = std::sregex_iterator(srt.begin(), srt.end(), stamp); it != std::sregex_iterator();
       ++it)
    out.push_back(std::stoi((*it)[1]) * 3600 + std::stoi((*it)[2]) * 60 + std::stoi((*it)[3]) +
                  std::stoi((*it)[4]) / 1000.0);
  return out;
}

class AutoSyncCliTest : public ::tessera::testing::CliFixture {
 protected:
  AutoSyncCliTest() : spans(TalkSpans(3, 40, 6.0)) {
    // The sound cache of these runs stays in the scratch folder.
    setenv("XDG_CACHE_HOME", dir.Path("cache").c_str(), 1);
    ::tessera::testing::WriteTalk(dir.Path("film.wav"), spans, spans.back().second + 10);
    WriteBytes(dir.Path("truth.srt"), SubRipOf(spans, [](int) { return 0.0; }));
  }
  std::string Run(const std::string& in, const std::string& source, const std::string& extra = "") {
    last = Cli("autosync " + P(in) + " " + P("out.srt") + " --to " + P(source) + extra);
    // The line that says what was found, before the save's lines.
    const size_t at = last.out.find("\nOffset ");
    return at == std::string::npos ? "" : last.out.substr(at + 1, last.out.find('\n', at + 1) - at);
  }
  double WorstError() {
    const std::vector<double> got = Starts(ReadBytes(dir.Path("out.srt")));
    EXPECT_EQ(got.size(), spans.size());
    double worst = 0;
    for (size_t i = 0; i < std::min(got.size(), spans.size()); ++i)
      worst = std::max(worst, std::fabs(got[i] - spans[i].first));
    return worst;
  }
  bool Written() { return std::filesystem::exists(dir.Path("out.srt")); }

  std::vector<std::pair<double, double>> spans;
  ::tessera::testing::CliRun last;
};

TEST_F(AutoSyncCliTest, FindsTheOffsetFromTheSound) {
  WriteBytes(dir.Path("in.srt"), SubRipOf(spans, [](int) { return -2.5; }));
  const std::string line = Run("in.srt", "film.wav");
  ASSERT_EQ(last.code, 0) << last.out << last.err;
  EXPECT_TRUE(std::regex_match(
      line, std::regex(R"(Offset \+2\.[45]\d\d s, rate none, no splits, score [01]\.\d\d\.\n)")))
      << line;
  EXPECT_LT(WorstError(), 0.1);
  // Piped: no progress on standard error.
  EXPECT_EQ(last.err, "");
}

// The README's first steps: the sample film's subtitles come 2 s late and Auto sync finds it.
TEST_F(AutoSyncCliTest, TheSampleFilmIsFitted) {
  const std::string movie = std::string(TESSERA_BINARY_DIR) + "/sample/sample.avi";
  if (!std::filesystem::exists(movie)) GTEST_SKIP() << "the build made no sample film";
  const std::string line = Run(std::string(TESSERA_SOURCE_DIR) + "/assets/sample.srt", movie);
  ASSERT_EQ(last.code, 0) << last.err;
  EXPECT_TRUE(
      std::regex_search(line, std::regex(R"(^Offset -(1\.9[5-9]|2\.0[0-4])\d s, rate none)")))
      << line;
}

TEST_F(AutoSyncCliTest, SplitsAgainstASubtitleReferenceUnlessTold) {
  WriteBytes(dir.Path("in.srt"), SubRipOf(spans, [](int row) { return row < 25 ? 4.0 : -30.0; }));
  std::string line = Run("in.srt", "truth.srt");
  ASSERT_EQ(last.code, 0) << last.out << last.err;
  EXPECT_EQ(line.substr(0, 40), "Offset -4.000 s, rate none, 1 split at 0");
  EXPECT_LT(WorstError(), 0.02);

  std::filesystem::remove(dir.Path("out.srt"));
  line = Run("in.srt", "truth.srt", " --no-splits");
  ASSERT_EQ(last.code, 0) << last.out;
  EXPECT_EQ(line.substr(0, 41), "Offset -4.000 s, rate none, no splits, sc");
}

TEST_F(AutoSyncCliTest, AnotherFilmIsRefusedAndNothingWritten) {
  WriteBytes(dir.Path("other.srt"), SubRipOf(TalkSpans(77, 40, 6.0), [](int) { return 0.0; }));
  Run("other.srt", "film.wav");
  EXPECT_EQ(last.code, 1) << last.out;
  EXPECT_NE(last.err.find("ERROR: The subtitles do not fit the source (score"), std::string::npos)
      << last.err;
  EXPECT_FALSE(Written());
}

TEST_F(AutoSyncCliTest, BadInputSaysWhyAndWritesNothing) {
  WriteBytes(dir.Path("in.srt"), SubRipOf(spans, [](int) { return 1.0; }));
  WriteBytes(dir.Path("empty.srt"), "");
  WriteBytes(dir.Path("garbage.mkv"), std::string(5000, '\x07'));
  WriteBytes(dir.Path("nosubs.srt"), "just some words\r\nand more\r\n");
  ::tessera::testing::MakeMovie(dir.Path("silent.avi"),
                                "-f lavfi -i color=c=black:s=64x48:r=5:d=3 -c:v mpeg4");
  struct Case {
    const char* in;
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"in.srt", "missing.wav", "ERROR: Cannot read the source"},
      {"in.srt", "garbage.mkv", "ERROR: Cannot read the source"},
      {"in.srt", "silent.avi", "has no sound"},
      {"in.srt", "nosubs.srt", "ERROR: The reference"},
      {"empty.srt", "film.wav", ""},
  };
  for (const Case& c : cases) {
    Run(c.in, c.source);
    EXPECT_EQ(last.code, 1) << c.source;
    EXPECT_NE(last.err.find(c.error), std::string::npos) << c.source << ": " << last.err;
    EXPECT_FALSE(Written()) << c.source;
  }
}

TEST_F(AutoSyncCliTest, UsageErrors) {
  for (const char* args :
       {"autosync in.srt out.srt", "autosync in.srt --to film.wav", "autosync in.srt out.srt --to"})
    EXPECT_EQ(Cli(args).code, 2) << args;
}

}  // namespace
}  // namespace tessera
