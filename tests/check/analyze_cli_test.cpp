// Runs `tessera-cli analyze` as a user would.
#include <gtest/gtest.h>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::CliRun;
using testing::Quote;
using testing::RunCli;

CliRun Analyze(const std::string& args) {
  return RunCli(args, "/nonexistent/none.cfg");
}

TEST(AnalyzeCommand, PrintsTheFieldsAndEveryMessage) {
  testing::ScratchDir dir;
  testing::WriteBytes(dir.Path("in.srt"),
                      "1\r\n00:00:01,000 --> 00:00:02,000\r\n- Hi there\r\n"
                      "this line is much too long for a limit of twenty\r\n\r\n"
                      "2\r\n00:00:01,500 --> 00:00:05,000\r\nIt cost 11 997 euro\r\n\r\n"
                      "3\r\n00:00:06,000 --> 00:00:09,000\r\nShort\r\n\r\n");
  CliRun r = Analyze(
      "--set SplitMethod=1 --set MaxNumberCharacters=20 --set \"Analize Items=31\" "
      "analyze " +
      Quote(dir.Path("in.srt").string()));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out,
            "Subtitles: 3\n"
            "Lines: 4\n"
            "Words: 20\n"
            "Characters: 82\n"
            "Too long lines: 1\n"
            "Too short durations: 1\n"
            "Empty subs: 0\n"
            "Too fast: 0\n"
            "Longest line: Line 1 has 48 characters.\n"
            "Shortest line: Line 3 has 5 characters.\n"
            "Longest duration: Line 2 is displayed for 3.500 seconds.\n"
            "Shortest Duration: Line 1 is displayed for 1.000 seconds.\n"
            "1: ERROR: One or more lines are too long: 48 characters. | ERROR: Time is overlapping "
            "the next subtitle. | ERROR: Subtitle is shown too short.\n"
            "2: ERROR: Invalid displayed number.\n");

  // Reading speed: row 1 has 58 characters in one second.
  const std::string speed = "--set SplitMethod=1 --set \"Analize Items=32\" ";
  const std::string in = Quote(dir.Path("in.srt").string());
  r = Analyze(speed + "analyze " + in);
  EXPECT_NE(r.out.find("Too fast: 1\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1: ERROR: Too fast: 58.0 characters per second\n"), std::string::npos);
  EXPECT_NE(Analyze(speed + "--set MaxCPS=60 analyze " + in).out.find("Too fast: 0\n"),
            std::string::npos);

  EXPECT_EQ(Analyze("analyze " + Quote(dir.Path("missing.srt").string())).code, 1);
  EXPECT_EQ(Analyze("analyze").code, 2);
}

}  // namespace
}  // namespace tessera
