#include "core/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

#include "core/text_util.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class TextFile : public ::testing::Test {
 protected:
  fs::path Put(const std::string& name, const std::string& bytes) {
    fs::path p = dir_ / name;
    testing::WriteBytes(p, bytes);
    return p;
  }
  static std::string Bytes(const fs::path& p) { return testing::ReadBytes(p); }
  int Read(const std::string& bytes, std::u16string& text) {
    return ReadTextFile(Put("in.txt", bytes), text);
  }

  testing::ScratchDir scratch_;
  const fs::path dir_ = scratch_.Dir();
};

TEST_F(TextFile, SizeLimitAndOpenFailures) {
  std::u16string text = u"stale";
  EXPECT_EQ(ReadTextFile(dir_ / "missing.srt", text), kReadOpenFailed);
  EXPECT_TRUE(text.empty());
  text = u"stale";
  EXPECT_EQ(ReadTextFile(dir_, text), kReadOpenFailed);
  EXPECT_TRUE(text.empty());

  EXPECT_EQ(Read(std::string(kMaxTextFileSize, 'a'), text), kRead8Bit);
  EXPECT_EQ(text.size(), static_cast<size_t>(kMaxTextFileSize) + 2);
  EXPECT_EQ(Read(std::string(kMaxTextFileSize + 1, 'a'), text), kReadTooLarge);
  EXPECT_TRUE(text.empty());
}

TEST_F(TextFile, EightBitLinesAndZeroCharacters) {
  const struct {
    std::string bytes;
    int result;
    std::u16string text;
  } cases[] = {
      {"a\r\nb", kRead8Bit, u"a\r\nb\r\n"},          // a last line without an end is read
      {"a\n\nb\n", kRead8Bit, u"a\r\n\r\nb\r\n"},    // lone LF ends a line, empty lines stay
      {"a\rb\r\n", kRead8Bit, u"a\rb\r\n"},          // a lone CR is an ordinary character
      {"caf\xe9\r\n", kRead8Bit, u"caf\u00e9\r\n"},  // bytes are Latin-1 characters
      {"a\r\r\nb\r\r\n", kReadRepaired, u"a\r\nb\r\n"},
      {"ab\0cd\r\nef"s, kRead8Bit, u"ab\r\nef\r\n"},  // a zero drops the rest of its line
      {"ab\r\n\0cd\r\nef"s, kRead8Bit, u"ab\r\n"},    // a line starting with zero ends reading
      {"", kRead8Bit, u""},
  };
  for (const auto& c : cases) {
    std::u16string text;
    std::string bytes = c.bytes;
    EXPECT_EQ(Read(bytes, text), c.result) << bytes;
    EXPECT_EQ(text, c.text) << bytes;
  }
}

TEST_F(TextFile, Utf16AndUtf8) {
  // UTF-16 little-endian after FF FE, from the code units given.
  auto utf16 = [](std::u16string_view units, bool odd_byte = false) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : units) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    if (odd_byte) bytes += 'x';
    return bytes;
  };
  const struct {
    std::string bytes;
    int result;
    std::u16string text;
  } cases[] = {
      // CR LF is the usual line end of UTF-16 files too: nothing is reported as repaired.
      {utf16(u"a\r\nb"), kReadUtf16, u"a\r\nb\r\n"},
      {utf16(u"a\r\r\n"), kReadRepaired, u"a\r\n"},  // a doubled CR is, as in 8-bit text
      {utf16(u"a\n\u4e2d"), kReadUtf16, u"a\r\n\u4e2d\r\n"},
      {utf16(u"a", true), kReadUtf16, u"a\r\n"},  // an odd byte is dropped
  };
  std::u16string text;
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.bytes, text), c.result) << ToUtf8(c.text);
    EXPECT_EQ(text, c.text);
  }

  // The signature is dropped, so the first SubRip number stays intact.
  EXPECT_EQ(Read("\xEF\xBB\xBF"
                 "1\r\n00:00:01,000",
                 text),
            kReadUtf8);
  EXPECT_EQ(text, u"1\r\n00:00:01,000\r\n");
  EXPECT_EQ(Read("gr\xc3\xbc\xc3\x9f\n", text), kReadUtf8);
  EXPECT_EQ(text, u"gr\u00fc\u00df\r\n");
  EXPECT_EQ(Read("gr\xfc\xdf\n", text), kRead8Bit);  // not valid UTF-8: Latin-1
  EXPECT_EQ(text, u"gr\u00fc\u00df\r\n");
  EXPECT_EQ(Read("\xc0\xaf\n", text), kRead8Bit);  // overlong form is not UTF-8
}

TEST_F(TextFile, WritesEachEncoding) {
  fs::path p = dir_ / "out.srt";
  ASSERT_EQ(WriteTextFile(p, u"x", kEncodingUtf16), 1);
  EXPECT_EQ(Bytes(p), std::string("\xFF\xFE\x78\0\0\0", 6));

  ASSERT_EQ(WriteTextFile(p, u"caf\u00e9\r\nb\nc", kEncoding8Bit), 1);
  EXPECT_EQ(Bytes(p), "caf\xe9\r\nb\r\nc");
  ASSERT_EQ(WriteTextFile(p, u"a\r\n", 7), 1);  // unknown values are the 8-bit form
  EXPECT_EQ(Bytes(p), "a\r\n");

  WriteOutcome o = WriteTextFileEx(p, u"\u00fc\r\n", kEncodingUtf8);
  EXPECT_TRUE(o.ok);
  EXPECT_FALSE(o.fell_back_to_utf8);
  EXPECT_EQ(Bytes(p), "\xEF\xBB\xBF\xC3\xBC\r\n");

  // Characters the 8-bit form cannot hold are kept by writing UTF-8 instead.
  o = WriteTextFileEx(p, u"\u4e2d\u6587\r\n\u00e9\r\n", kEncoding8Bit);
  EXPECT_TRUE(o.ok);
  EXPECT_TRUE(o.fell_back_to_utf8);
  std::u16string back;
  EXPECT_EQ(ReadTextFile(p, back), kReadUtf8);
  EXPECT_EQ(back, u"\u4e2d\u6587\r\n\u00e9\r\n");
}

TEST_F(TextFile, WhatIsWrittenReadsBackTheSame) {
  const std::u16string text = u"1\r\n00:00:01,000 --> 00:00:02,000\r\n\u00c7a va\r\n\r\n";
  fs::path p = dir_ / "round.srt";
  for (int enc : {kEncoding8Bit, kEncodingUtf16, kEncodingUtf8}) {
    ASSERT_EQ(WriteTextFile(p, text, enc), 1);
    std::u16string back;
    int r = ReadTextFile(p, back);
    EXPECT_NE(r, kReadOpenFailed);
    EXPECT_EQ(back, text) << "encoding " << enc;
  }
}

TEST_F(TextFile, FailedWritesLeaveTheOldFileAlone) {
  EXPECT_EQ(WriteTextFile(dir_ / "no" / "such" / "folder.srt", u"x", 0), 0);
  EXPECT_FALSE(fs::exists(dir_ / "no"));
  EXPECT_EQ(WriteTextFile(dir_, u"x", 0), 0);  // a folder is not overwritten

  fs::path p = Put("keep.srt", "old contents");
  // Make the write itself fail midway (works even for root): files may not grow past 4 bytes.
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  int r = WriteTextFile(p, u"new contents that do not fit", 0);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(Bytes(p), "old contents");
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1) << "the temporary file was left behind";

  if (::geteuid() != 0) {
    fs::permissions(p, fs::perms::owner_read);
    EXPECT_EQ(WriteTextFile(p, u"x", 0), 0);
    EXPECT_EQ(Bytes(p), "old contents");
  }
}

TEST_F(TextFile, SavingKeepsPermissionsAndFollowsLinks) {
  fs::path p = Put("private.srt", "old");
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(WriteTextFile(p, u"new", 0), 1);
  EXPECT_EQ(Bytes(p), "new");
  EXPECT_EQ(fs::status(p).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  fs::path longest = dir_ / (std::string(251, 'n') + ".srt");  // at the name limit of 255
  EXPECT_EQ(WriteTextFile(longest, u"x", 0), 1);
  EXPECT_EQ(Bytes(longest), "x");

  fs::path link = dir_ / "link.srt";
  fs::create_symlink(p, link);
  ASSERT_EQ(WriteTextFile(link, u"through link", 0), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Bytes(p), "through link");
}

TEST(TextLines, GetTextLineCountsOnlyEndedLines) {
  std::u16string line = u"unchanged";
  EXPECT_EQ(GetTextLine(u"a\r\nb", 0, line), 1);
  EXPECT_EQ(line, u"a");
  EXPECT_EQ(GetTextLine(u"a\r\nb", 1, line), 0);
  EXPECT_EQ(line, u"a");
  EXPECT_EQ(GetTextLine(u"a\r\n\r\nc\r\n", 2, line), 1);
  EXPECT_EQ(line, u"c");
  EXPECT_EQ(GetTextLine(u"", 0, line), 0);
  EXPECT_EQ(GetTextLine(u"a\r\n", 5, line), 0);
}

TEST(TextLines, SplitLinesVisitsALastLineWithoutEnd) {
  EXPECT_EQ(SplitLines(u"a\r\n\r\nb"), (std::vector<std::u16string_view>{u"a", u"", u"b"}));
  EXPECT_EQ(SplitLines(u"a\r\n"), (std::vector<std::u16string_view>{u"a"}));
  EXPECT_EQ(SplitLines(u"\r\n"), (std::vector<std::u16string_view>{u""}));
  EXPECT_TRUE(SplitLines(u"").empty());
  // Callers that count only ended lines walk EndedLines.
  EXPECT_EQ(SplitLines(EndedLines(u"a\r\n\r\nb")), (std::vector<std::u16string_view>{u"a", u""}));
  EXPECT_TRUE(EndedLines(u"no end").empty());
}

}  // namespace
}  // namespace tessera
