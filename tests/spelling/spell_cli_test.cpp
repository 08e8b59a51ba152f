// Runs `tessera-cli spell` as a user would, on dictionaries the test writes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::Quote;
using testing::ScratchDir;
using testing::WriteBytes;

class SpellCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(dir.Path("dicts"));
    WriteBytes(dir.Path("dicts/xx_XX.aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
    WriteBytes(dir.Path("dicts/xx_XX.dic"), "4\ncafé\nhello\nworld\nthere\n");
    WriteBytes(dir.Path("dicts/yy.aff"), "SET UTF-8\n");
    WriteBytes(dir.Path("dicts/yy.dic"), "1\ncafe\n");
    setenv("DICPATH", dir.Path("dicts").c_str(), 1);
    setenv("XDG_CONFIG_HOME", dir.Path("config").c_str(), 1);
    WriteBytes(dir.Path("in.srt"),
               "1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>Hello cafe</i>\r\nworld\r\n\r\n"
               "2\r\n00:00:03,000 --> 00:00:04,000\r\nHello there\r\n\r\n"
               "3\r\n00:00:05,000 --> 00:00:06,000\r\nqqqq at 12:30\r\nwww.x.org cafe\r\n\r\n");
  }
  void TearDown() override {
    unsetenv("DICPATH");
    unsetenv("XDG_CONFIG_HOME");
  }
  testing::CliRun Spell(const std::string& args) {
    return testing::RunCli("spell " + args, dir.Path("none.cfg"), dir.Path("err.txt"));
  }
  ScratchDir dir;
};

TEST_F(SpellCommand, PrintsEveryUnknownWordWithSuggestions) {
  testing::CliRun r = Spell(Quote(dir.Path("in.srt").string()) + " --language xx_XX");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "1: cafe -> café\n"
            "3: qqqq ->\n"
            "3: at ->\n"
            "3: cafe -> café\n"
            "4 unknown words in 2 subtitles.\n");

  // The personal list is shared with the window; the setting picks the language.
  std::filesystem::create_directories(dir.Path("config/tessera"));
  WriteBytes(dir.Path("config/tessera/words.txt"), "qqqq\nat\n");
  WriteBytes(dir.Path("lang.cfg"), "[Settings]\nSpellingLanguage=\"yy\"\n");
  r = testing::RunCli("spell " + Quote(dir.Path("in.srt").string()), dir.Path("lang.cfg"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "1: Hello ->\n"
            "1: world ->\n"
            "2: Hello ->\n"
            "2: there ->\n"
            "4 unknown words in 2 subtitles.\n");
}

TEST_F(SpellCommand, FailsWithAMessageNamingTheInstalledLanguages) {
  testing::CliRun r = Spell(Quote(dir.Path("in.srt").string()) + " --language de_DE");
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("ERROR: The dictionary \"de_DE\" is not installed"), std::string::npos);
  EXPECT_NE(r.err.find("installed: xx_XX, yy."), std::string::npos) << r.err;

  r = Spell(Quote(dir.Path("missing.srt").string()) + " --language xx_XX");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("ERROR"), std::string::npos) << r.err;

  setenv("DICPATH", dir.Path("empty").c_str(), 1);
  r = Spell(Quote(dir.Path("in.srt").string()));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("installed: none."), std::string::npos) << r.err;

  EXPECT_EQ(Spell("").code, 2);
  EXPECT_EQ(Spell(Quote(dir.Path("in.srt").string()) + " --language").code, 2);
}

TEST_F(SpellCommand, BinaryInputEndsWithAReport) {
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk.push_back(static_cast<char>((i * 7919) % 256));
  WriteBytes(dir.Path("junk.srt"), junk);
  testing::CliRun r = Spell(Quote(dir.Path("junk.srt").string()) + " --language xx_XX");
  EXPECT_LE(r.code, 1);
  if (r.code == 0) {
    EXPECT_TRUE(r.out.ends_with(" subtitles.\n")) << r.out.substr(0, 200);
  }
}

}  // namespace
}  // namespace tessera
