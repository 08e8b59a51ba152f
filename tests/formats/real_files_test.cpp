// Files as other programs and people write them, and files other programs must read.
#include <gtest/gtest.h>

#include "core/language_table.h"
#include "core/settings_store.h"
#include "core/text_file.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "tests/support/test_util.h"
#include "tests/support/test_workbench.h"
#include "workbench/file_commands.h"

namespace tessera {
namespace {

using testing::LogLines;
using testing::ReadBytes;
using testing::Row;
using testing::WriteBytes;
using Cells = std::vector<std::string>;
using Log = std::vector<std::string>;
using namespace std::string_literals;

std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    bytes += big_endian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return bytes;
}

class RealFiles : public ::testing::Test {
 protected:
  RealFiles() { lang.Build(dir.Dir()); }
  // Loads `bytes` as the file `name` into a fresh document.
  int Load(const std::string& name, const std::string& bytes, std::string_view encoding = {}) {
    WriteBytes(dir.Path(name), bytes);
    doc = SubtitleDocument();
    testing::ScriptedPrompter never_asked;  // a file that names its frame rate is not asked about
    return LoadSubtitleFile(doc, dir.Path16(name), format, lang, &never_asked, encoding);
  }
  testing::ScratchDir dir;
  LanguageTable lang;
  SubtitleDocument doc;
  SubtitleFormat format = SubtitleFormat::Unrecognised;
};

TEST_F(RealFiles, ReadsWhatOtherProgramsWrite) {
  const std::string sami_head =
      "<SAMI>\r\n<HEAD><STYLE TYPE=\"text/css\"><!--\r\nP { margin-left: 8pt; }\r\n"
      ".ENCC { Name: English; lang: en-US; }\r\n--></STYLE></HEAD>\r\n<BODY>\r\n";
  const struct Case {
    const char* what;
    std::string bytes;
    SubtitleFormat format;
    std::vector<Cells> rows;
  } cases[] = {
      {"SubRip: short fractions, one-digit fields, no number, number 0, spaced arrow",
       "1\r\n00:00:03,00 --> 00:00:04,5\r\nA\r\n\r\n"
       "0:00:5,500 --> 0:00:6,000\r\nB\r\n\r\n"
       "0\r\n00:00:07,000-->00:00:08,000\r\nC\r\n\r\n"
       "4\r\n00:00:09,000   -->   00:00:10,000  X1:10 X2:20\r\nD\r\nd\r\n\r\n"
       "00:00:11,000 --> 00:00:12,000\r\n1984\r\n",
       SubtitleFormat::SubRip,
       {{"0:00:03.000", "0:00:04.500", "A", "", ""},
        {"0:00:05.500", "0:00:06.000", "B", "", ""},
        {"0:00:07.000", "0:00:08.000", "C", "", ""},
        {"0:00:09.000", "0:00:10.000", "D", "d", ""},
        {"0:00:11.000", "0:00:12.000", "1984", "", ""}}},
      {"SubRip in UTF-16 big-endian",
       Utf16(u"1\r\n00:00:01,000 --> 00:00:02,000\r\n\u00c7a\r\n", true),
       SubtitleFormat::SubRip,
       {{"0:00:01.000", "0:00:02.000",
         "\xc3\x87"
         "a",
         "", ""}}},
      {"SubRip with CR line ends",
       "1\r00:00:01,000 --> 00:00:02,000\rA\r\r2\r"
       "00:00:03,000 --> 00:00:04,000\rB\r",
       SubtitleFormat::SubRip,
       {{"0:00:01.000", "0:00:02.000", "A", "", ""}, {"0:00:03.000", "0:00:04.000", "B", "", ""}}},
      {"SAMI in lower case, classes, text on later lines, entities, clearing lines",
       sami_head + "<sync start=1000><p class=ENCC>Hello &amp;\r\n  goodbye<br>World\r\n"
                   "<sync start=3500><p class=ENCC>&nbsp;\r\n"
                   "<SYNC Start=4000><P Class=ENCC>One<BR>Two<br/>Three<br>Four\r\n"
                   "<SYNC Start=6000><P Class=ENCC><i>It&#39;s</i> &lt;5&gt;\r\n"
                   "<SYNC Start=7000><P Class=ENCC>&nbsp;\r\n</BODY>\r\n</SAMI>\r\n",
       SubtitleFormat::Sami,
       {{"0:00:01.000", "0:00:03.500", "Hello & goodbye", "World", ""},
        {"0:00:04.000", "0:00:06.000", "One", "Two", "Three Four"},
        {"0:00:06.000", "0:00:07.000", "<i>It's</i> <5>", "", ""}}},
      {"SAMI in two languages: the first class is read",
       "<sami><body>\r\n<SYNC Start=1000><P Class=KRCC>Annyeong<P Class=ENCC>Hello\r\n"
       "<SYNC Start=2000><P Class=KRCC>&nbsp;<P Class=ENCC>&nbsp;\r\n</body></sami>\r\n",
       SubtitleFormat::Sami,
       {{"0:00:01.000", "0:00:02.000", "Annyeong", "", ""}}},
      {"SubStation Alpha with any Effect field, fields from the Format line",
       "[Script Info]\r\nScriptType: v4.00\r\n\r\n[Events]\r\n"
       "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n"
       "Dialogue: Marked=0,0:00:01.00,0:00:02.50,Default,,0000,0000,0000,,Hi, you\\Nthere\r\n"
       "Comment: Marked=0,0:00:03.00,0:00:04.00,Default,,0000,0000,0000,,not shown\r\n"
       "Dialogue: Marked=0,0:00:05.00,0:00:06.00,Default,,0000,0000,0000,Scroll up,x\r\n",
       SubtitleFormat::SubStationAlpha,
       {{"0:00:01.000", "0:00:02.500", "Hi, you", "there", ""},
        {"0:00:05.000", "0:00:06.000", "x", "", ""}}},
      {"Advanced SubStation Alpha, fields in their own order, override blocks kept",
       "[Script Info]\r\nScriptType: v4.00+\r\n\r\n[V4+ Styles]\r\nFormat: Name\r\n"
       "Style: Default\r\n\r\n[Events]\r\nFormat: Layer, Style, Start, End, Text\r\n"
       "Dialogue: 0,Default,0:00:01.00,0:00:02.00,{\\an8}{\\i1}Top{\\i0}\\nline\r\n",
       SubtitleFormat::AdvancedSubStationAlpha,
       {{"0:00:01.000", "0:00:02.000", "{\\an8}{\\i1}Top{\\i0}", "line", ""}}},
      {"WebVTT with header, NOTE, STYLE and REGION blocks, identifiers, settings, no hours",
       "WEBVTT - a film\r\nKind: captions\r\n\r\nNOTE a comment\r\nover lines\r\n\r\n"
       "STYLE\r\n::cue { color: red }\r\n\r\nREGION\r\nid:r1\r\n\r\n"
       "intro\r\n00:01.000 --> 00:03.500 align:start line:0\r\nHello &amp; <i>bye</i>\r\n"
       "World\r\n\r\n01:00:00.000 --> 01:00:01.250\r\nA\r\nB\r\nC\r\nD\r\n",
       SubtitleFormat::WebVtt,
       {{"0:00:01.000", "0:00:03.500", "Hello & <i>bye</i>", "World", ""},
        {"1:00:00.000", "1:00:01.250", "A", "B", "C D"}}},
      {"MicroDVD that names its frame rate",
       "{1}{1}25\r\n{25}{50}Hi|there\r\n",
       SubtitleFormat::MicroDvd,
       {{"0:00:01.000", "0:00:02.000", "Hi", "there", ""}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load("in.txt", c.bytes), 1) << c.what;
    EXPECT_EQ(format, c.format) << c.what;
    ASSERT_EQ(doc.Count(), static_cast<int>(c.rows.size())) << c.what;
    for (int i = 0; i < doc.Count(); ++i) EXPECT_EQ(Row(doc, i), c.rows[i]) << c.what;
  }
}

// Files that lost subtitles, lines or times, with the log line that says what was done.
TEST_F(RealFiles, NothingIsLostOfOddShapes) {
  const std::string clamped1 = "WARNING: 1 negative time read as 0:00:00.";
  const std::string clamped2 = "WARNING: 2 negative times read as 0:00:00.";
  const struct Case {
    const char* what;
    std::string bytes;
    std::vector<Cells> rows;
    std::string log;  // a line the log must hold
  } cases[] = {
      {"SAMI at Start=0, the last one shown for the file's typical time",
       "<SAMI><BODY>\r\n<SYNC Start=0><P>Hello\r\n<SYNC Start=1000><P>World\r\n"
       "<SYNC Start=2000><P>&nbsp;\r\n<SYNC Start=5000><P>Last\r\n</BODY></SAMI>\r\n",
       {{"0:00:00.000", "0:00:01.000", "Hello", "", ""},
        {"0:00:01.000", "0:00:02.000", "World", "", ""},
        {"0:00:05.000", "0:00:07.000", "Last", "", ""}},
       ""},
      {"SAMI whose only subtitle starts at 0 and has no end",
       "<SAMI><BODY><SYNC Start=0><P>Only</BODY></SAMI>\r\n",
       {{"0:00:00.000", "0:00:03.000", "Only", "", ""}},
       ""},
      {"SAMI paragraphs without a class belong to every language; two languages are logged",
       "<sami><body>\r\n<sync start=1000><p class=encc>Hello<p class=frcc>Bonjour\r\n"
       "<sync start=2000><p class=encc>&nbsp;\r\n<sync start=4000><p>Bye\r\n"
       "<sync start=9000><p class=ENCC>&nbsp;\r\n</body></sami>\r\n",
       {{"0:00:01.000", "0:00:02.000", "Hello", "", ""},
        {"0:00:04.000", "0:00:09.000", "Bye", "", ""}},
       "The file holds more than one language: class 'encc' is read, frcc left out."},
      {"SAMI of five lines, two of blanks only",
       "<SAMI><BODY><SYNC Start=1000><P>&nbsp;<br> <br>A<br>B<br>C<br>D\r\n"
       "<SYNC Start=2000><P>&nbsp;</BODY></SAMI>\r\n",
       {{"0:00:01.000", "0:00:02.000", "A", "B", "C D"}},
       ""},
      {"SubRip lines of blanks only and more than three lines",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\n \r\n  \r\nReal\r\n\r\n"
       "2\r\n00:00:03,000 --> 00:00:04,000\r\nA\r\nB\r\nC\r\nD\r\nE\r\n",
       {{"0:00:01.000", "0:00:02.000", "Real", "", ""},
        {"0:00:03.000", "0:00:04.000", "A", "B", "C D E"}},
       ""},
      {"SubRip with CR line ends and a final CR LF",
       "1\r00:00:01,000 --> 00:00:02,000\rHello\r\r2\r00:00:03,000 --> 00:00:04,000\r"
       "World\r\n",
       {{"0:00:01.000", "0:00:02.000", "Hello", "", ""},
        {"0:00:03.000", "0:00:04.000", "World", "", ""}},
       ""},
      {"SubRip negative times, first and later",
       "1\r\n-00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n"
       "2\r\n00:00:03,000 --> 00:00:04,000\r\nB\r\n\r\n"
       "3\r\n-00:00:05,000 --> -00:00:04,500\r\nC\r\n\r\n"
       "4\r\n00:00:06,000 --> 00:00:07,000\r\nD\r\n",
       {{"0:00:00.000", "0:00:02.000", "A", "", ""},
        {"0:00:03.000", "0:00:04.000", "B", "", ""},
        {"0:00:00.000", "0:00:00.000", "C", "", ""},
        {"0:00:06.000", "0:00:07.000", "D", "", ""}},
       "WARNING: 3 negative times read as 0:00:00."},
      {"SubStation negative times",
       "[Script Info]\r\n\r\n[Events]\r\nFormat: Layer, Start, End, Style, Text\r\n"
       "Dialogue: 0,-0:00:06.84,0:00:08.00,Default,A\\N \\NB\r\n"
       "Dialogue: 0,0:00:09.00,0:00:10.00,Default,C\r\n",
       {{"0:00:00.000", "0:00:08.000", "A", "B", ""}, {"0:00:09.000", "0:00:10.000", "C", "", ""}},
       clamped1},
      {"SubViewer negative times",
       "[INFORMATION]\r\n[END INFORMATION]\r\n-00:00:06.84,-00:00:01.00\r\nA[br]B\r\n\r\n"
       "00:00:09.00,00:00:10.00\r\nC\r\n",
       {{"0:00:00.000", "0:00:00.000", "A", "B", ""}, {"0:00:09.000", "0:00:10.000", "C", "", ""}},
       clamped2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load("in.txt", c.bytes), 1) << c.what;
    ASSERT_EQ(doc.Count(), static_cast<int>(c.rows.size())) << c.what;
    for (int i = 0; i < doc.Count(); ++i) EXPECT_EQ(Row(doc, i), c.rows[i]) << c.what;
    const Log log = LogLines(doc);
    if (!c.log.empty()) {
      EXPECT_NE(std::find(log.begin(), log.end(), c.log), log.end()) << c.what;
    }
  }
}

TEST_F(RealFiles, FrameRateLineIsTheFilesOwn) {
  Load("a.sub", "{1}{1}23.976\r\n{24}{48}x\r\n");
  EXPECT_EQ(LogLines(doc),
            (Log{"Detected MicroDVD format.", "Frame rate 23.976 fps taken from the file.",
                 "Loading...", "Ok."}));
  EXPECT_EQ(doc.Start(0), u"0:00:01.001");
}

// A file the detected reader gets nothing from is a failure that says which file and why.
TEST_F(RealFiles, NothingReadIsAFailure) {
  const char* cases[] = {"[0][6]Hello\r\n[7][9]{y}{z}\r\n", "WEBVTT\r\n\r\nno cues\r\n",
                         "<SAMI><BODY><SYNC Start=0><P>&nbsp;</BODY></SAMI>\r\n"};
  for (const char* bytes : cases) {
    doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"keep");
    WriteBytes(dir.Path("x.sub"), bytes);
    SubtitleFormat before = format;
    EXPECT_EQ(LoadSubtitleFile(doc, dir.Path16("x.sub"), format, lang, nullptr), 0) << bytes;
    EXPECT_EQ(format, before);
    EXPECT_EQ(doc.Line(doc.Count() - 1, 0), u"keep");
    Log log = LogLines(doc);
    ASSERT_GE(log.size(), 2u);
    EXPECT_TRUE(log.end()[-2].starts_with("ERROR: No subtitle could be read from '" +
                                          dir.Path("x.sub").string() + "'"))
        << log.end()[-2];
    EXPECT_EQ(log.back(), "Error reading file.");
  }
}

TEST_F(RealFiles, TooLargeSaysSoOnce) {
  EXPECT_EQ(Load("big.srt", std::string(kMaxTextFileSize + 1, 'a')), 0);
  EXPECT_EQ(LogLines(doc), (Log{"File is too large. Can't be a valid subtitle file."}));
}

TEST_F(RealFiles, FileKeepsItsEncoding) {
  SettingsStore store{std::filesystem::path("/nonexistent/tessera.cfg")};
  AppSettings settings;  // "Encoding" 0
  testing::TestServices services;
  Workbench bench = services.Over(doc, store, settings);
  // "Жук" in windows-1251 over a few lines, so that the detector is sure.
  const std::string cp1251 =
      "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea "
      "\xe4\xe5\xeb\xe0? \xdd\xf2\xee \xf2\xe5\xf1\xf2.\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000\r\n\xd1\xef\xe0\xf1\xe8\xe1\xee, \xe2\xf1\xe5 "
      "\xf5\xee\xf0\xee\xf8\xee.\r\n\r\n";
  const struct {
    const char* what;
    std::string bytes;
    std::string_view forced;
    std::u16string added;  // typed into row 0 before saving
    std::string saved_starts;
  } cases[] = {
      {"legacy code page goes back as it came", cp1251, "", u"",
       "1\r\n00:00:01,000 --> "
       "00:00:02,000\r\n\xcf\xf0"},
      {"a character the code page lacks: UTF-8", cp1251, "", u"\u4e2d",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xe4\xb8\xad"},
      {"UTF-8 stays UTF-8 without signature",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nCaf\xc3\xa9\r\n", "", u"",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nCaf\xc3\xa9"},
      {"forced code page", "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xea\r\n", "KOI8-R", u"",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xea"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Load("in.srt", c.bytes, c.forced), 1) << c.what;
    if (!c.added.empty()) doc.SetCell(0, kLine1, c.added);
    ASSERT_EQ(SaveDocumentAs(bench, dir.Path16("out.srt")), 1) << c.what;
    EXPECT_TRUE(ReadBytes(dir.Path("out.srt")).starts_with(c.saved_starts)) << c.what;
    EXPECT_EQ(LogLines(doc).back(), "Ok.");  // no warning about the encoding
  }
  EXPECT_EQ(Load("in.srt", cp1251), 1);
  EXPECT_EQ(doc.Line(0, 0).substr(0, 3), u"\u041f\u0440\u0438");
  EXPECT_EQ(doc.Line(1, 0).substr(0, 3), u"\u0421\u043f\u0430");
}

TEST(WrittenFiles, OpenWithTheirOwnFirstLineAndReadBack) {
  SubtitleDocument doc;
  doc.AppendLog(u"Trying to open the file '/home/someone/films/Film one.srt'...");
  doc.AppendLog(u"Saving SubRip file '/tmp/x/out.srt'...");
  doc.AddRow(u"0:00:01.000", u"0:00:02.500", u"Caf\u00e9", u"two");
  doc.AddRow(u"0:00:03.000", u"0:00:04.000", u"", u"second only");
  doc.AddRow(u"1:02:03.450", u"1:02:05.000", u"a --> b", u"", u"three");
  AppSettings settings;
  const struct {
    const char* ext;
    std::string starts;
    std::vector<std::string> holds;
  } cases[] = {
      {".ssa",
       "[Script Info]\r\n!Created with Tessera",
       {"\r\nScriptType: v4.00\r\n", "[Events]\r\nFormat: Marked, Start, End, Style, Name, ",
        "! Trying to open the file 'Film one.srt'...\r\n", "! Saving SubRip file 'out.srt'"}},
      {".ass",
       "[Script Info]\r\n!Created with Tessera",
       {"ScriptType: v4.00+\r\n", "PlayResX: 720\r\nPlayResY: 576\r\n",
        "Style: Default,Arial,23,&H00FFFFFF,", ",1,1,1,2,25,25,20,1\r\n",
        "[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, "
        "Text\r\nDialogue: 0,0:00:01.00,0:00:02.50,Default,,0,0,0,,Caf\xc3\xa9\\Ntwo\r\n"}},
      {".sub",
       "{1}{1}25\r\n{25}{62}Caf\xc3\xa9|two\r\n",
       {"|three\r\n;Created with Tessera", "; Trying to open the file 'Film one.srt'...\r\n"}},
      {".vtt",
       "WEBVTT\r\n\r\n00:00:01.000 --> 00:00:02.500\r\nCaf\xc3\xa9\r\ntwo\r\n\r\n",
       {"01:02:03.450 --> 01:02:05.000\r\na -> b\r\nthree\r\n\r\n"}},
  };
  testing::ScratchDir dir;
  LanguageTable lang;
  for (const auto& c : cases) {
    const SaveFormat* f = FindSaveFormat(FromUtf8(std::string("x") + c.ext));
    ASSERT_NE(f, nullptr) << c.ext;
    std::string text = ToUtf8(f->text(doc, -1, -1, settings));
    EXPECT_TRUE(text.starts_with(c.starts)) << c.ext << ":\n" << text;
    for (const auto& h : c.holds) EXPECT_NE(text.find(h), std::string::npos) << c.ext << ": " << h;
    EXPECT_EQ(text.find("/home"), std::string::npos) << c.ext;

    // Tessera reads back what it wrote.
    WriteBytes(dir.Path(std::string("back") + c.ext), text);
    SubtitleDocument back;
    SubtitleFormat format;
    ASSERT_EQ(
        LoadSubtitleFile(back, dir.Path16(std::string("back") + c.ext), format, lang, nullptr), 1)
        << c.ext;
    ASSERT_EQ(back.Count(), 3) << c.ext;
    EXPECT_EQ(back.Line(0, 0), u"Caf\u00e9") << c.ext;
    // WebVTT has no empty lines inside a cue, so its first line moves up.
    EXPECT_EQ(Row(back, 1)[2] + Row(back, 1)[3], "second only") << c.ext;
  }
}

TEST(WrittenFiles, LogLinesLoseTheirFolders) {
  const struct {
    const char* line;
    const char* shown;
  } cases[] = {
      {"Trying to open the file '/home/a/b c/x.srt'...", "Trying to open the file 'x.srt'..."},
      {"ERROR: '/tmp/y.txt' names no format", "ERROR: 'y.txt' names no format"},
      {"Saved /home/me/out.sub and /home/me/two.sub", "Saved out.sub and two.sub"},
      {"and/or 50 / 2 ok", "and/or 50 / 2 ok"},
      {"  12 empty subs removed...", "  12 empty subs removed..."},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(WithoutFolders(FromUtf8(c.line))), c.shown);
}

}  // namespace
}  // namespace tessera
