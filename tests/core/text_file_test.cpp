#include "core/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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
      {"a\r\nb", kRead8Bit, u"a\r\nb\r\n"},              // a last line without an end is read
      {"a\n\nb\n", kRead8Bit, u"a\r\n\r\nb\r\n"},        // lone LF ends a line, empty lines stay
      {"a\rb\r\n", kRead8Bit, u"a\rb\r\n"},              // a lone CR is an ordinary character
      {"a\rb\r\rc", kRead8Bit, u"a\r\nb\r\n\r\nc\r\n"},  // ... except in a file without LF
      {"caf\xe9\r\n", kRead8Bit, u"caf\u00e9\r\n"},      // bytes are Latin-1 characters
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
  EXPECT_EQ(Read("gr\xfc\xdf\n", text), kRead8Bit);  // not valid UTF-8: a code page
  EXPECT_EQ(text, u"gr\u00fc\u00df\r\n");
  EXPECT_EQ(Read("\xc0\xaf\n", text), kRead8Bit);  // overlong form is not UTF-8

  // Big-endian UTF-16 after FE FF.
  EXPECT_EQ(Read("\xFE\xFF\0a\0\r\0\n\x4e\x2d"s, text), kReadUtf16);
  EXPECT_EQ(text, u"a\r\n\u4e2d\r\n");
}

// Legacy 8-bit files are read in their own code page, which the caller learns for saving.
TEST_F(TextFile, CodePagesAreDetectedOrForced) {
  const std::string cyrillic =  // "Привет, как дела? Это тест." in windows-1251, three times
      "\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee \xf2\xe5\xf1\xf2.\r\n";
  const struct {
    std::string bytes;
    const char* forced;
    int result;
    const char* code_page;
    std::u16string starts;
  } cases[] = {
      {cyrillic + cyrillic + cyrillic, "", kRead8Bit, "WINDOWS-1251", u"\u041f\u0440\u0438"},
      {"plain ASCII\r\n", "", kRead8Bit, "", u"plain ASCII\r\n"},
      {"caf\xe9\r\n", "", kRead8Bit, nullptr, u"caf\u00e9"},
      // Forced: the bytes are read as told, whatever they look like.
      {"\xe9\r\n", "CP1251", kRead8Bit, "CP1251", u"\u0439\r\n"},
      {"\xc3\xa9\r\n", "ISO-8859-1", kRead8Bit, "ISO-8859-1", u"\u00c3\u00a9\r\n"},
      {"\xc3\xa9\r\n", "UTF-8", kReadUtf8, "", u"\u00e9\r\n"},
      {"a\xff\r\n", "UTF-8", kReadUtf8, "", u"a\ufffd\r\n"},  // bad bytes are marked, not lost
  };
  for (const auto& c : cases) {
    TextDecoding decoding{c.forced, "stale"};
    std::u16string text;
    EXPECT_EQ(ReadTextFile(Put("cp.srt", c.bytes), text, &decoding), c.result) << c.bytes;
    EXPECT_TRUE(text.starts_with(c.starts)) << c.bytes << " gave " << ToUtf8(text);
    if (c.code_page)
      EXPECT_EQ(decoding.code_page, c.code_page) << c.bytes;
    else
      EXPECT_FALSE(decoding.code_page.empty()) << c.bytes;
  }
}

TEST_F(TextFile, WritesEachEncoding) {
  fs::path p = dir_ / "out.srt";
  ASSERT_EQ(WriteTextFile(p, u"x", kEncodingUtf16), 1);
  EXPECT_EQ(Bytes(p), std::string("\xFF\xFE\x78\0\0\0", 6));

  // "ANSI" is UTF-8 without a signature, unless the text came from a code page it still fits.
  const struct {
    std::u16string text;
    const char* code_page;
    std::string bytes;
  } ansi[] = {
      {u"caf\u00e9\r\nb\nc", "", "caf\xc3\xa9\r\nb\r\nc"},
      {u"caf\u00e9\r\n", "ISO-8859-1", "caf\xe9\r\n"},
      {u"\u0416\u0443\u043a\r\n", "WINDOWS-1251", "\xc6\xf3\xea\r\n"},
      {u"\u0161\u0165\r\n", "WINDOWS-1250", "\x9a\x9d\r\n"},
      {u"\u4e2d\u6587\r\n", "ISO-8859-1", "\xe4\xb8\xad\xe6\x96\x87\r\n"},  // does not fit
      {u"a\r\n", "no-such-code-page", "a\r\n"},
  };
  for (const auto& c : ansi) {
    ASSERT_EQ(WriteTextFile(p, c.text, kEncoding8Bit, c.code_page), 1);
    EXPECT_EQ(Bytes(p), c.bytes) << c.code_page;
  }
  ASSERT_EQ(WriteTextFile(p, u"a\r\n", 7), 1);  // unknown values are the 8-bit form
  EXPECT_EQ(Bytes(p), "a\r\n");

  WriteOutcome o = WriteTextFileEx(p, u"\u00fc\r\n", kEncodingUtf8, "ISO-8859-1");
  EXPECT_TRUE(o.ok);
  EXPECT_EQ(Bytes(p), "\xEF\xBB\xBF\xC3\xBC\r\n");
}

// A text saved in blocks: wherever the blocks are cut (inside CR LF, before a lone LF, inside a
// surrogate pair, after a character the code page lacks), the bytes are those of the whole text.
TEST(TextEncoderPieces, GiveTheBytesOfTheWholeText) {
  const struct {
    std::u16string text;
    int encoding;
    const char* code_page;
  } cases[] = {
      {u"\ncaf\u00e9\r\nb\nc\n\r\n", kEncoding8Bit, ""},
      {u"x\U0001F600y\r\n\u4e2d\r\n", kEncodingUtf8, ""},
      {u"x\U0001F600y\r\n", kEncoding8Bit, ""},
      {u"a\xD83D", kEncoding8Bit, ""},  // a lone surrogate at the very end
      {u"\u0416\u0443\r\n\n\u043a\r\n", kEncoding8Bit, "WINDOWS-1251"},
      {u"\u0416\u0443\r\n\u043a \u00e9\r\n", kEncoding8Bit, "WINDOWS-1251"},  // é misfits
      {u"\u0416\U0001F600\r\n", kEncoding8Bit, "WINDOWS-1251"},
      {u"a\r\n\U0001F600\n", kEncodingUtf16, ""},
  };
  // Pieces cut at `cuts`, with the caller's fallback to UTF-8 when the code page misfits.
  auto in_pieces = [](const auto& c, const std::vector<size_t>& cuts) {
    auto encode = [&](TextEncoder& e, std::string& bytes) {
      bool ok = true;
      size_t at = 0;
      for (size_t cut : cuts) {
        ok = e.Add(std::u16string_view(c.text).substr(at, cut - at), bytes) && ok;
        at = cut;
      }
      ok = e.Add(std::u16string_view(c.text).substr(at), bytes) && ok;
      return e.Finish(bytes) && ok;
    };
    std::string bytes;
    TextEncoder first(c.encoding, c.code_page);
    if (encode(first, bytes)) return bytes;
    bytes.clear();
    TextEncoder utf8(kEncoding8Bit, {});
    EXPECT_TRUE(encode(utf8, bytes));
    return bytes;
  };
  for (const auto& c : cases) {
    const std::string whole = EncodeText(c.text, c.encoding, c.code_page);
    std::vector<size_t> every;
    for (size_t cut = 0; cut <= c.text.size(); ++cut) {
      EXPECT_EQ(in_pieces(c, {cut}), whole) << ToUtf8(c.text) << " cut at " << cut;
      every.push_back(cut);
    }
    EXPECT_EQ(in_pieces(c, every), whole) << ToUtf8(c.text) << " one unit a piece";
  }
}

// A long text of every kind of unit, in UTF-8: the bytes are those a plain loop gives, whatever
// the pieces.
TEST(TextEncoderPieces, Utf8OfALongMixedText) {
  std::u16string text;
  const std::u16string kinds[] = {u"plain words ", u"\r\n",      u"\n",           u"\r",
                                  u"\t",           u"caf\u00e9", u"\u4e2d\u6587", u"\U0001F600",
                                  u"\xD83D",       u"\xDE00",    u"~\x7F"};
  for (int i = 0; i < 5000; ++i) text += kinds[(i * 7 + i / 3) % std::size(kinds)];
  std::u16string with_cr;
  for (size_t k = 0; k < text.size(); ++k) {
    if (text[k] == u'\n' && (k == 0 || text[k - 1] != u'\r')) with_cr += u'\r';
    with_cr += text[k];
  }
  const std::string expected = ToUtf8(with_cr);
  for (size_t step : {text.size(), size_t{4096}, size_t{777}, size_t{7}}) {
    TextEncoder encoder(kEncoding8Bit, {});
    std::string bytes;
    for (size_t at = 0; at < text.size(); at += step)
      ASSERT_TRUE(encoder.Add(std::u16string_view(text).substr(at, step), bytes));
    ASSERT_TRUE(encoder.Finish(bytes));
    EXPECT_EQ(bytes, expected) << "pieces of " << step;
  }
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
  int r;
  {
    testing::FileSizeLimit limit(4);
    ASSERT_TRUE(limit.Ok());
    r = WriteTextFile(p, u"new contents that do not fit", 0);
  }
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

TEST(TextLines, SplitLinesAndLineWalkAgreeAcrossBlockEdges) {
  // Every text of up to 7 marks drawn from these pieces, so that lone CRs, CR CR LF and CR LF
  // pairs fall on every place of a 16-unit block.
  const std::u16string pieces[] = {u"\r\n", u"\r", u"\n", u"abcde", u"x"};
  for (int code = 0; code < 5 * 5 * 5 * 5 * 5 * 5 * 5; ++code) {
    std::u16string text;
    for (int c = code, k = 0; k < 7; ++k, c /= 5) text += pieces[c % 5];
    std::vector<std::u16string_view> walked;
    LineWalk walk(text);
    for (std::u16string_view line; walk.Next(line);) walked.push_back(line);
    ASSERT_EQ(SplitLines(text), walked) << code;
  }
}

}  // namespace
}  // namespace tessera
