// tessera-cli fix, run as a user would, with the real Qt measurer.
#include <gtest/gtest.h>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::CliRun;
using testing::ReadBytes;
using testing::WriteBytes;

using FixCli = testing::CliFixture;

TEST_F(FixCli, RepairsPrintsPromptsAndAnswers) {
  WriteBytes(dir.Path("in.srt"),
             "1\r\n00:00:01,000 --> 00:00:04,000\r\nSubtitles by Someone\r\n\r\n"
             "2\r\n00:00:05,000 --> 00:00:08,000\r\nl'm here!!\r\n\r\n"
             "3\r\n00:00:09,000 --> 00:00:12,000\r\nSync by me\r\n\r\n"
             "4\r\n00:00:13,000 --> 00:00:13,200\r\nThis is a line long enough to be "
             "broken in two when it is measured on screen\r\n\r\n");
  WriteBytes(dir.Path("lists.ini"),
             "CREDITS_01 = \"subtitles by \"\r\nCREDITS_02 = \"sync by \" ASK\r\n"
             "OCR_01 = \"l'm \",\"I'm \"\r\n");
  for (const char* answer : {"no", "yes"}) {
    SCOPED_TRACE(answer);
    CliRun r = Cli("--lists " + P("lists.ini") + " --set WarnLongDuration=0 fix " + P("in.srt") +
                   " " + P("out.srt") + " --answer " + answer);
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Found 2 possible credit entries...\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  1 OCR errors ... corrected...\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  1 to long subtitles split...\n"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("QUESTION: Line 2: Sync by me  looks like an unwanted subtitle "
                         "credit... Remove it?\n"),
              std::string::npos)
        << r.err;
    const std::string out = ReadBytes(dir.Path("out.srt"));
    EXPECT_EQ(out.find("Subtitles by"), std::string::npos);
    EXPECT_NE(out.find("I'm here.\r\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("Sync by me") == std::string::npos, std::string(answer) == "yes");
  }
  EXPECT_EQ(Cli("fix " + P("missing.srt") + " " + P("o.srt")).code, 1);
  EXPECT_EQ(Cli("fix " + P("in.srt") + " " + P("o.srt") + " --answer maybe").code, 2);
}

}  // namespace
}  // namespace tessera
