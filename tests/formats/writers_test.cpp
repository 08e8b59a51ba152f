#include <gtest/gtest.h>

#include "core/version.h"
#include "formats/microdvd.h"
#include "formats/simple_formats.h"
#include "formats/subrip.h"
#include "formats/substation.h"
#include "formats/webvtt.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

std::string U8(const std::u16string& s) {
  return ToUtf8(s);
}

// Rows starting at 2, 10, 14, 20, 30 s, each 1.5 s long, with two lines.
SubtitleDocument FiveRows() {
  SubtitleDocument doc;
  const char16_t* starts[] = {u"0:00:02.000", u"0:00:10.000", u"0:00:14.000", u"0:00:20.000",
                              u"0:00:30.000"};
  const char16_t* ends[] = {u"0:00:03.500", u"0:00:11.500", u"0:00:15.500", u"0:00:21.500",
                            u"0:00:31.500"};
  for (int i = 0; i < 5; ++i)
    doc.AddRow(starts[i], ends[i], Format("Row %d", i + 1), i == 1 ? u"" : u"second",
               i == 1 ? u"third" : u"");
  return doc;
}

TEST(SubRipWriter, WholeDocumentRangesAndShift) {
  SubtitleDocument doc = FiveRows();
  std::string all = U8(SubRipText(doc, -1, -1));
  EXPECT_TRUE(all.starts_with(
      "1\r\n00:00:02,000 --> 00:00:03,500\r\nRow 1\r\nsecond\r\n\r\n2\r\n00:00:10"));
  // Empty middle line: no gap between the lines.
  EXPECT_NE(all.find("Row 2\r\nthird\r\n\r\n3\r\n"), std::string::npos);

  // Rows 3 to 5 (indexes 2-4): numbered 1-3, moved 12 s earlier (halfway between 10 and 14).
  EXPECT_EQ(U8(SubRipText(doc, 2, 4)),
            "1\r\n00:00:02,000 --> 00:00:03,500\r\nRow 3\r\nsecond\r\n\r\n"
            "2\r\n00:00:08,000 --> 00:00:09,500\r\nRow 4\r\nsecond\r\n\r\n"
            "3\r\n00:00:18,000 --> 00:00:19,500\r\nRow 5\r\nsecond\r\n\r\n");
  EXPECT_EQ(SubRipText(doc, 3, 2), u"");
  EXPECT_EQ(SubRipText(SubtitleDocument(), -1, -1), u"");
}

TEST(SubRipWriter, SelectionKeepsNumbersAndNegativeTimesAreZero) {
  SubtitleDocument doc = FiveRows();
  doc.SetSelected(2, true);
  doc.SetSelected(4, true);
  std::string sel = U8(SubRipSelectionText(doc));
  EXPECT_TRUE(sel.starts_with("3\r\n00:00:14,000"));
  EXPECT_NE(sel.find("\r\n5\r\n00:00:30,000 --> 00:00:31,500\r\n"), std::string::npos);
  EXPECT_EQ(sel.find("\r\n1\r\n"), std::string::npos);

  SubtitleDocument neg;
  neg.AddRow(u"0:00:05.000", u"0:00:06.000", u"a");
  neg.AddRow(u"0:00:01.000", u"0:00:02.000", u"b");  // starts before the shift point
  EXPECT_TRUE(U8(SubRipText(neg, 1, 1)).starts_with("1\r\n00:00:00,000 --> 00:00:00,000\r\n"));
}

TEST(MicroDvdWriter, CommentBlockFramesAndLines) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"", u"", u"Third");
  doc.AddRow(u"0:00:04.000", u"0:00:08.000", u"", u"Second");
  doc.AddRow(u"0:00:10.000", u"0:00:11.000", u"A", u"B", u"C");
  AppSettings s;  // 25 frames per second
  std::string text = U8(MicroDvdText(doc, -1, -1, false, s));
  const std::string rule =
      ";-----------------------------------------------------------------------------------\r\n";
  // The frame-rate line first, the comment block last, where no reader stumbles over it.
  EXPECT_EQ(text,
            "{1}{1}25\r\n{25}{50}|Third\r\n{100}{200}|Second\r\n{250}{275}A|B|C\r\n"
            ";Created with Tessera " +
                std::string(VersionText()) +
                ", the Ultimate Subtitle Tool...\r\n"
                ";-------------------------------- L O G G I N G "
                "------------------------------------"
                "\r\n" +
                rule);

  doc.AppendLog(u"Loading...");
  s.sub_framerate = 23.976;
  text = U8(MicroDvdText(doc, 2, 2, false, s));
  EXPECT_TRUE(text.starts_with("{1}{1}23.976\r\n{239}{263}A|B|C\r\n;"));
  EXPECT_TRUE(text.ends_with("\r\n; Loading...\r\n" + rule));

  // Times far beyond any film stay within the frame number's range.
  SubtitleDocument huge;
  huge.AddRow(u"99999999999:00:00.000", u"0:00:01.000");
  EXPECT_NE(U8(MicroDvdText(huge, -1, -1, false, s)).find("{2147483647}{23}"), std::string::npos);
}

// Each writer turns the marks of other formats into its own or drops them: players show marks
// they do not know as text.
TEST(MarkupWriters, MarksOfOtherFormatsBecomeTheTargetsOwn) {
  const struct Case {
    std::vector<std::u16string> lines;
    std::string vtt, ssa, sub;  // the cue (timing line from its settings), Text field, entry text
  } cases[] = {
      {{u"{\\i1}Hello{\\i0} you"},
       "<i>Hello</i> you",
       "{\\i1}Hello{\\i0} you",
       "{\\i1}Hello{\\i0} you"},
      {{u"{\\an8}Top", u"line"}, " line:0\r\nTop\r\nline", "{\\an8}Top\\nline", "{\\an8}Top|line"},
      {{u"{\\a6}{\\b1}Old top"},
       " line:0\r\n<b>Old top</b>",
       "{\\a6}{\\b1}Old top",
       "{\\a6}{\\b1}Old top"},
      {{u"{\\pos(10,20)\\c&H00FF00&}Green"},
       "Green",
       "{\\pos(10,20)\\c&H00FF00&}Green",
       "{\\pos(10,20)\\c&H00FF00&}Green"},
      {{u"{y:i}Slanted", u"plain"},
       "<i>Slanted</i>\r\nplain",
       "{y:i}Slanted\\nplain",
       "{y:i}Slanted|plain"},
      {{u"{Y:b}{c:$0000FF}Both", u"lines"},
       "<b>Both\r\nlines</b>",
       "{Y:b}{c:$0000FF}Both\\nlines",
       "{Y:b}{c:$0000FF}Both|lines"},
      {{u"<i>Whole</i>", u"<b>half</b> line"},
       "<i>Whole</i>\r\n<b>half</b> line",
       "{\\i1}Whole{\\i0}\\n{\\b1}half{\\b0} line",
       "{y:i}Whole|half line"},
      {{u"<i>Two", u"lines</i>"},
       "<i>Two\r\nlines</i>",
       "{\\i1}Two\\nlines{\\i0}",
       "{y:i}Two|{y:i}lines"},
      {{u"<v Bob><c.loud>Hey</c> <00:00:01.500>you"},
       "<v Bob><c.loud>Hey</c> <00:00:01.500>you",
       "Hey you",
       "Hey you"},
      {{u"<font color=\"red\">R&D</font> a<b --> c"},
       "R&amp;D a&lt;b -> c",
       "R&D a<b --> c",
       "R&D a<b --> c"},
  };
  AppSettings s;
  for (const Case& c : cases) {
    SubtitleDocument doc;
    doc.AddRow(u"0:00:01.000", u"0:00:02.000", c.lines[0], c.lines.size() > 1 ? c.lines[1] : u"");
    const std::string what = U8(c.lines[0]);
    const std::string vtt = U8(WebVttText(doc, -1, -1));
    const std::string timing = "00:00:01.000 --> 00:00:02.000";
    const std::string cue = vtt.substr(vtt.find(timing) + timing.size());
    EXPECT_EQ(cue, (c.vtt.starts_with(" ") ? "" : "\r\n") + c.vtt + "\r\n\r\n") << what;
    const std::string ssa = U8(SubStationAlphaText(doc, -1, -1, s));
    EXPECT_TRUE(ssa.ends_with(",!Effect," + c.ssa + "\r\n")) << what << "\n" << ssa;
    const std::string sub = U8(MicroDvdText(doc, -1, -1, false, s));
    EXPECT_NE(sub.find("{25}{50}" + c.sub + "\r\n"), std::string::npos) << what << "\n" << sub;
  }
}

TEST(MicroDvdWriter, EncoderInputFile) {
  SubtitleDocument doc;
  AppSettings s;
  s.font_name = u"Arial";
  s.font_size = 23;
  s.font_bold = 1;
  s.sub_framerate = 23.976;
  const std::string rule =
      ";-----------------------------------------------------------------------------------\r\n";
  std::string header =
      "FrameW=720\r\nFrameH=576\r\nFrameRate=25\r\nDelay=0\r\nFontName=Arial\r\n"
      "FontCharSet=0\r\nFontSize=23\r\nFontStyle=BOLD\r\nContour=2\r\n"
      "Palette=3210\r\nAlpha=FFF0\r\nOnTop=0\r\nJustify=C\r\nIndent=40\r\n"
      "DynamicSize=1\r\nRightToLeft=0\r\nShowBitmap=0\r\n" +
      rule + ";Created with Tessera " + VersionText() + ", the Ultimate Subtitle Tool...\r\n";
  std::string empty = U8(MicroDvdText(doc, -1, -1, true, s));
  EXPECT_TRUE(empty.starts_with(header));
  EXPECT_TRUE(empty.ends_with("L O G G I N G ------------------------------------\r\n" + rule));
  EXPECT_EQ(empty.find(rule, empty.find(rule) + 1), empty.size() - rule.size());

  s.font_bold = 0;
  doc.AddRow(u"0:00:10.000", u"0:00:12.000", u"x");
  std::string one = U8(MicroDvdText(doc, -1, -1, true, s));
  EXPECT_NE(one.find("FontStyle=REGULAR\r\n"), std::string::npos);
  EXPECT_TRUE(one.ends_with(rule + "{239}{287}x\r\n"));
}

TEST(SubStationAlphaWriter, BothHeaderStylesAndDialogue) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:01.000", u"0:00:03.500", u"Hello", u"World", u"");
  doc.AddRow(u"0:00:01.999", u"0:00:02.000", u"A", u"", u"C");
  AppSettings s;
  s.ssa_version = 1;
  std::string v4 = U8(SubStationAlphaText(doc, -1, -1, s));
  EXPECT_NE(v4.find("\r\n[V4 Styles]\r\n"), std::string::npos);
  EXPECT_NE(
      v4.find("\r\nStyle: Default,Arial,23,16777215,0,16777215,0,0,0,1,1,1,2,25,25,20,0,0\r\n\r\n"
              "[Events]\r\n"),
      std::string::npos);
  EXPECT_NE(v4.find("Dialogue: Marked=0,0:00:01.00,0:00:03.50,Default,NTP,0000,0000,0000,"
                    "!Effect,Hello\\nWorld\r\n"),
            std::string::npos);
  EXPECT_NE(v4.find(",0:00:01.99,0:00:02.00,Default,NTP,0000,0000,0000,!Effect,A\\nC\r\n"),
            std::string::npos);

  s.ssa_version = 0;
  std::string old = U8(SubStationAlphaText(doc, -1, -1, s));
  EXPECT_EQ(old.find("[Events]"), std::string::npos);
  const std::string block_end =
      "!-----------------------------------------------------------------------------------\r\n"
      "Synch Point: Side 1 0m00s\r\n";
  EXPECT_NE(old.find(block_end), std::string::npos);

  // What is written reads back the same.
  SubtitleDocument back;
  ReadSubStationAlpha(back, SubStationAlphaText(doc, -1, -1, s));
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(testing::Row(back, 0), testing::Row(doc, 0));
  EXPECT_EQ(testing::Row(back, 1)[3], "C");
}

TEST(FlatTextWriter, LinesAndEmptyRows) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"Hi", u"", u"There");
  doc.AddRow(u"0:00:03.000", u"0:00:04.000");
  EXPECT_EQ(U8(FlatText(doc)), "Hi\r\nThere\r\n\r\n\r\n");
}

}  // namespace
}  // namespace tessera
