// Runs the built tessera-cli as a user would.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::CliRun;
using testing::ReadBytes;
using testing::WriteBytes;

class CliTest : public testing::CliFixture {
 protected:
  CliTest() {
    WriteBytes(dir.Path("in.srt"),
               "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n"
               "2\r\n00:00:05,000 --> 00:00:06,000\r\nTwo\r\n\r\n"
               "3\r\n00:00:09,000 --> 00:00:10,000\r\nThree\r\n\r\n");
    WriteBytes(dir.Path("in.sub"), "{25}{50}Hi\r\n");
  }
};

TEST_F(CliTest, ConvertLogsAndWritesByExtension) {
  CliRun r = Cli("convert " + P("in.srt") + " " + P("out.ssa"));
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Trying to open the file '" + dir.Path("in.srt").string() +
                       "'...\nDetected SubRip format.\nLoading...\nOk.\nSaving Sub Station Alpha "
                       "file '" +
                       dir.Path("out.ssa").string() + "'...\nOk.\n");
  EXPECT_NE(ReadBytes(dir.Path("out.ssa")).find("!Effect,Three\r\n"), std::string::npos);

  r = Cli("convert --fps 25 " + P("in.sub") + " " + P("out.srt"));
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(ReadBytes(dir.Path("out.srt")).starts_with("1\r\n00:00:01,000 --> 00:00:02,000"));

  r = Cli("--set SubFramerate=23976 --set Encoding=2 convert " + P("in.srt") + " " + P("o.sub"));
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(ReadBytes(dir.Path("o.sub")).find("\r\n{23}{47}One\r\n"), std::string::npos);
  EXPECT_TRUE(ReadBytes(dir.Path("o.sub")).starts_with("\xEF\xBB\xBF{1}{1}23.976\r\n{23}{47}"));
}

TEST_F(CliTest, SavingOntoSomethingElseThanAFileIsRefusedWithTheReason) {
  ASSERT_EQ(::mkfifo(dir.Path("fifo.srt").c_str(), 0600), 0);
  CliRun r = Cli("convert " + P("in.srt") + " " + P("fifo.srt"));
  EXPECT_EQ(r.code, 1);
  const std::string error = "ERROR: Could not write the file '" + dir.Path("fifo.srt").string() +
                            "': Not a regular file.";
  EXPECT_NE(r.out.find(error + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("tessera-cli: " + error + "\n"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("fifo.srt")));
}

TEST_F(CliTest, BrokenSettingsFallBackToTheirDefaults) {
  CliRun r = Cli("--set FontSize=0 convert " + P("in.srt") + " " + P("out.ssa"));
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(
      r.out.starts_with("WARNING: The setting \"FontSize\" (0) is out of range; 23 is used.\n"))
      << r.out;
  EXPECT_NE(ReadBytes(dir.Path("out.ssa")).find("Style: Default,Arial,23,"), std::string::npos);
}

TEST_F(CliTest, AppendAndSplit) {
  CliRun r = Cli("append " + P("in.srt") + " " + P("in.srt") + " " + P("both.srt"));
  EXPECT_EQ(r.code, 0);
  std::string both = ReadBytes(dir.Path("both.srt"));
  // Appended after the end of the last subtitle, to the millisecond, as the page appends.
  EXPECT_NE(both.find("4\r\n00:00:11,000 --> 00:00:12,000\r\nOne\r\n"), std::string::npos);
  EXPECT_NE(
      r.out.find("Ok.\nAppending SubRip file '" + dir.Path("in.srt").string() + "'...\nDone.\n"),
      std::string::npos);

  r = Cli("append --offset 100 " + P("in.srt") + " " + P("in.sub") + " " + P("both2.srt"));
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(ReadBytes(dir.Path("both2.srt")).find("00:01:41,042"), std::string::npos);

  r = Cli("split " + P("in.srt") + " " + P("part.srt") + " --at 2");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(ReadBytes(dir.Path("parta.srt")).find("One"), std::string::npos);
  EXPECT_EQ(ReadBytes(dir.Path("parta.srt")).find("Two"), std::string::npos);
  EXPECT_TRUE(ReadBytes(dir.Path("partb.srt")).starts_with("1\r\n00:00:02,000 --> 00:00:03,000"));

  r = Cli("split " + P("in.srt") + " " + P("first.srt") + " --at 1");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("ERROR:"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("firsta.srt")));
}

TEST_F(CliTest, ExitCodesForBadInputAndUsage) {
  WriteBytes(dir.Path("big.srt"), std::string(1048577, '1'));
  WriteBytes(dir.Path("mpl2.sub"), "[0][6]Hello\r\n[7][9]{y}{z}\r\n");
  WriteBytes(dir.Path("junk.srt"), std::string("\x01\x02\xFE\x00\xC3", 5));
  WriteBytes(dir.Path("odd.srt"), std::string("\xFF\xFE"
                                              "1\0\r",
                                              5));
  struct Case {
    std::string args;
    int code;
  } cases[] = {
      {"convert " + P("missing.srt") + " " + P("x.srt"), 1},
      {"convert " + P("big.srt") + " " + P("x.srt"), 1},
      {"convert " + P("junk.srt") + " " + P("x.srt"), 1},
      {"convert " + P("odd.srt") + " " + P("x.srt"), 1},
      {"convert " + P("mpl2.sub") + " " + P("x.srt"), 1},  // taken for MicroDVD, nothing read
      {"--encoding NO-SUCH-CODE convert " + P("in.srt") + " " + P("x.srt"), 2},
      {"convert " + P("in.srt") + " " + P("no/folder/x.srt"), 1},
      {"append " + P("in.srt") + " " + P("missing.srt") + " " + P("x.srt"), 1},
      {"append " + P("in.srt") + " " + P("junk.srt") + " " + P("x.srt"), 1},
      {"split " + P("in.srt") + " " + P("no/folder/x.srt") + " --at 2", 1},
      {"convert " + P("in.srt"), 2},
      {"convert " + P("in.srt") + " " + P("x.doc"), 2},
      {"convert --fps zero " + P("in.srt") + " " + P("x.srt"), 2},
      {"append --offset " + P("in.srt") + " " + P("in.srt") + " " + P("x.srt"), 2},
      {"split " + P("in.srt") + " " + P("x.srt"), 2},
      {"split " + P("in.srt") + " " + P("x.srt") + " --at 0", 2},
      {"split " + P("in.srt") + " " + P("x.srt") + " --at 9", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.args).code, c.code) << c.args;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("x.srt")));
}

TEST_F(CliTest, EncodingForcedAndKept) {
  WriteBytes(dir.Path("koi.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xea\xcf\xd4\r\n");
  CliRun r = Cli("--encoding KOI8-R convert " + P("koi.srt") + " " + P("koi.vtt"));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(ReadBytes(dir.Path("koi.vtt")).find("\r\n\xea\xcf\xd4\r\n"), std::string::npos);
  r = Cli("--encoding KOI8-R --set Encoding=2 convert " + P("koi.srt") + " " + P("u.srt"));
  EXPECT_NE(ReadBytes(dir.Path("u.srt")).find("\xd0\x99\xd0\xbe\xd1\x82"), std::string::npos);
}

TEST_F(CliTest, DashReadsStandardInputAndWritesStandardOutput) {
  WriteBytes(dir.Path("junk.srt"), std::string("\x01\x02\xFE\x00\xC3", 5));
  const std::string in = " < " + P("in.srt");
  struct Case {
    std::string args;
    int code;
    std::string out_starts;  // standard output carries the file alone
  } cases[] = {
      {"convert - -" + in, 0, "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n"},
      {"--format vtt convert - -" + in, 0, "WEBVTT\r\n"},
      {"--format ssa convert " + P("in.srt") + " -", 0, "[Script Info]"},
      {"fix - -" + in, 0, "1\r\n00:00:01,000 --> 00:00:03,000\r\nOne\r\n"},
      {"move - - --by 1" + in, 0, "1\r\n00:00:02,000 --> 00:00:03,000\r\n"},
      {"replace - - --find Two --with Deux" + in, 0, "1\r\n"},
      {"convert - -" + std::string(" < ") + P("junk.srt"), 1, ""},
      {"--format doc convert - -" + in, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun r = Cli(c.args);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_TRUE(r.out.starts_with(c.out_starts)) << r.out;
    if (c.out_starts.empty()) {
      EXPECT_EQ(r.out, "");
    }
  }
  // The log and the command's result go to standard error instead.
  CliRun r = Cli("replace - - --find Two --with Deux" + in);
  EXPECT_NE(r.out.find("\r\nDeux\r\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Detected SubRip format."), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("Detected"), std::string::npos);
  // A named output still gets the log on standard output when the input is a pipe.
  r = Cli("convert - " + P("piped.ssa") + in);
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(ReadBytes(dir.Path("piped.ssa")).find("!Effect,Three\r\n"), std::string::npos);
}

TEST_F(CliTest, HelpDescribesEveryCommandAndItsOptions) {
  CliRun r = Cli("--help");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("Exit codes: 0"), std::string::npos) << r.out;
  EXPECT_EQ(Cli("--version").out, "tessera-cli 0.71\n");
  // The command list: "  name      usage" lines between the usage line and the blank line.
  std::vector<std::string> commands;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line) && !line.empty())
    commands.push_back(line.substr(2, line.find(' ', 2) - 2));
  EXPECT_GE(commands.size(), 10u);
  for (const std::string& name : commands) {
    SCOPED_TRACE(name);
    const CliRun help = Cli(name + " --help");
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.starts_with("usage: tessera-cli [OPTIONS] " + name + " ")) << help.out;
    EXPECT_NE(help.out.find("Exit codes: 0"), std::string::npos);
    // Every option of the usage line has a line of its own that says what it does.
    const std::string usage = help.out.substr(0, help.out.find('\n'));
    for (size_t at = usage.find("--"); at != std::string::npos; at = usage.find("--", at + 2)) {
      const std::string option = usage.substr(at, usage.find_first_of(" ]", at) - at);
      EXPECT_NE(help.out.find("\n  " + option), std::string::npos) << option;
    }
  }
}

}  // namespace
}  // namespace tessera
