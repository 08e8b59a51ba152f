// Runs the built tessera-cli's timing and replace commands as a user would.
#include <gtest/gtest.h>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using ::tessera::testing::CliRun;
using ::tessera::testing::ReadBytes;
using ::tessera::testing::WriteBytes;

class ToolsCliTest : public ::tessera::testing::CliFixture {
 protected:
  ToolsCliTest() {
    WriteBytes(dir.Path("in.srt"),
               "1\r\n00:00:04,000 --> 00:00:06,000\r\nthe cat\r\n\r\n"
               "2\r\n00:00:10,000 --> 00:00:12,000\r\nCat and cats\r\n\r\n"
               "3\r\n00:00:15,000 --> 00:00:17,000\r\nthree\r\n\r\n");
  }
  std::string Output() { return ReadBytes(dir.Path("out.srt")); }
  bool HasOutput() { return std::filesystem::exists(dir.Path("out.srt")); }
};

TEST_F(ToolsCliTest, FrameRateConvertsOrRefuses) {
  CliRun r = Cli("framerate " + P("in.srt") + " " + P("out.srt") + " --from 25 --to 23.976");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Converting Framerate from 25.000 to 23.976...\nDone.\n"),
            std::string::npos);
  EXPECT_NE(Output().find("00:00:04,171 --> 00:00:06,256"), std::string::npos);

  std::filesystem::remove(dir.Path("out.srt"));
  r = Cli("framerate " + P("in.srt") + " " + P("out.srt") + " --from 0 --to 25");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("MESSAGE: ERROR: Enter two frame rates greater than 0."), std::string::npos);
  EXPECT_FALSE(HasOutput());
}

TEST_F(ToolsCliTest, MoveRowsAndRefusal) {
  CliRun r = Cli("move " + P("in.srt") + " " + P("out.srt") + " --by 2.5 --rows 2-2");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Moving selection 1 - 1 2.500 seconds to the end...\nDone.\n"),
            std::string::npos);
  EXPECT_NE(Output().find("00:00:12,500 --> 00:00:14,500"), std::string::npos);

  std::filesystem::remove(dir.Path("out.srt"));
  r = Cli("move " + P("in.srt") + " " + P("out.srt") + " --by -4.001");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("MESSAGE: ERROR: Movement will cause overlapping subtitles."),
            std::string::npos);
  EXPECT_FALSE(HasOutput());

  EXPECT_EQ(Cli("move " + P("in.srt") + " " + P("out.srt") + " --by 1 --rows 2-9").code, 2);
  EXPECT_EQ(Cli("move " + P("in.srt") + " " + P("out.srt") + " --by 1 --rows 3-2").code, 2);
  EXPECT_EQ(Cli("move " + P("in.srt") + " " + P("out.srt")).code, 2);
}

TEST_F(ToolsCliTest, StretchAndItsZeroSpanRefusal) {
  CliRun r = Cli("stretch " + P("in.srt") + " " + P("out.srt") + " --by -0.5 --rows 1-3");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Stretching subs 0 to 2 - 0 sec 500 milliseconds..."), std::string::npos);
  EXPECT_NE(Output().find("00:00:04,000 --> 00:00:05,909"), std::string::npos);
  EXPECT_NE(Output().find("00:00:14,500 --> 00:00:16,409"), std::string::npos);

  std::filesystem::remove(dir.Path("out.srt"));
  r = Cli("stretch " + P("in.srt") + " " + P("out.srt") + " --by 1 --rows 2-2");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(
      r.err.find("MESSAGE: ERROR: Stretching needs two subtitles with different start times."),
      std::string::npos);
  EXPECT_FALSE(HasOutput());
}

TEST_F(ToolsCliTest, StretchThatWouldReverseTimesIsRefused) {
  // The span from the first to the last start is 11 s.
  CliRun r = Cli("stretch " + P("in.srt") + " " + P("out.srt") + " --by -11");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("MESSAGE: ERROR: Stretching by -11.000 seconds would move the last start "
                       "to or before the first one."),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(HasOutput());
}

TEST_F(ToolsCliTest, ReplacePrintsTheCount) {
  CliRun r =
      Cli("replace " + P("in.srt") + " " + P("out.srt") + " --find cat --with dog --whole-word");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Replaced 2 occurences.\n"), std::string::npos);
  EXPECT_NE(Output().find("the dog\r\n"), std::string::npos);
  EXPECT_NE(Output().find("dog and cats\r\n"), std::string::npos);

  r = Cli("replace " + P("in.srt") + " " + P("out.srt") + " --find CAT --with dog --match-case");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Found no occurences.\n"), std::string::npos);
}

}  // namespace
}  // namespace tessera
