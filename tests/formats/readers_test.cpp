#include <gtest/gtest.h>

#include "core/text_util.h"
#include "formats/microdvd.h"
#include "formats/simple_formats.h"
#include "formats/subrip.h"
#include "formats/substation.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::Row;
using Cells = std::vector<std::string>;

std::u16string Lines(std::initializer_list<const char*> lines) {
  std::u16string t;
  for (const char* l : lines) {
    t += FromUtf8(l);
    t += u"\r\n";
  }
  return t;
}

void ExpectEqualColumns(const SubtitleDocument& doc) {
  for (int c = 0; c < kTextColumns; ++c)
    EXPECT_EQ(static_cast<int>(doc.ColumnCells(c).size()), doc.Count()) << "column " << c;
}

TEST(SubRipReader, EntriesLinesAndNumbers) {
  SubtitleDocument doc;
  ReadSubRip(doc,
             Lines({"1",
                    "00:00:01,000 --> 00:00:02,500",
                    "Hello",
                    "",
                    "2",
                    "00:00:03,000 --> 00:00:04,000",
                    "Ann",
                    "Bob",
                    "Cy",
                    "Dropped",
                    "",
                    "3",
                    "00:00:05,000 --> 00:00:06,000",
                    "4",
                    "00:00:07,000 --> 00:00:08,000",
                    "1984",
                    "more",
                    "",
                    "5",
                    "00:00:09,000 --> 00:00:10,000",
                    "1984",
                    "00:00:11,000 --> 00:00:12,000",
                    "x"}),
             0);
  ASSERT_EQ(doc.Count(), 6);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:01.000", "0:00:02.500", "Hello", "", ""}));
  // The document keeps three lines: a fourth joins the third.
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:03.000", "0:00:04.000", "Ann", "Bob", "Cy Dropped"}));
  EXPECT_EQ(Row(doc, 2), (Cells{"0:00:05.000", "0:00:06.000", "", "", ""}));
  EXPECT_EQ(Row(doc, 3), (Cells{"0:00:07.000", "0:00:08.000", "1984", "more", ""}));
  // A number followed by a time line starts an entry even inside the text.
  EXPECT_EQ(Row(doc, 4), (Cells{"0:00:09.000", "0:00:10.000", "", "", ""}));
  EXPECT_EQ(Row(doc, 5), (Cells{"0:00:11.000", "0:00:12.000", "x", "", ""}));
  ExpectEqualColumns(doc);
}

// Runs of empty lines are halved (at the very start rounded up); an empty line kept inside an
// entry is a line of its text only where a line follows it.
TEST(SubRipReader, RunsOfEmptyLines) {
  SubtitleDocument doc;
  ReadSubRip(doc,
             u"\r\n\r\n\r\n1\r\n00:00:01,000 --> "
             u"00:00:02,000\r\na\r\n\r\n\r\nb\r\n\r\n\r\n\r\nc\r\n\r\n2\r\n"
             u"00:00:03,000 --> 00:00:04,000\r\nd\r\n\r\n\r\n\r\n",
             0);
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:01.000", "0:00:02.000", "a", "b", "c"}));
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:03.000", "0:00:04.000", "d", "", ""}));
}

// A reader that gives the text's memory back on the way reads what it reads without.
TEST(SubRipReader, GivingBackTheTextChangesNothing) {
  std::u16string text;
  for (int i = 1; i <= 100000; ++i)
    text += Format("%d\r\n00:%02d:%02d,000 --> 00:%02d:%02d,500\r\nLine %d of a long film\r\n\r\n",
                   i, i / 60 % 60, i % 60, i / 60 % 60, i % 60, i);
  ASSERT_GT(text.size() * 2, 10u << 20);  // past the first steps of memory given back
  SubtitleDocument kept, given;
  ReadSubRip(kept, text, 0);
  ReadSubRip(given, text, 0, true);
  ASSERT_EQ(given.Count(), 100000);
  for (int r = 0; r < given.Count(); ++r)
    for (int c = 0; c < kTextColumns; ++c) ASSERT_EQ(given.Cell(r, c), kept.Cell(r, c)) << r;
}

TEST(SubRipReader, OffsetAndAppendAfterExistingRows) {
  SubtitleDocument doc;
  doc.AddRow(u"0:00:00.000", u"0:00:00.500", u"old");
  ReadSubRip(doc, Lines({"1", "00:00:01,000 --> 00:00:02,000", "New"}), 10);
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:11.000", "0:00:12.000", "New", "", ""}));
}

TEST(SubRipReader, NumberWithoutTimeLineAddsNoRow) {
  for (const char* tail : {"7", "7\r\nnot a time line\r\nstill not"}) {
    SubtitleDocument doc;
    std::u16string text = Lines({"1", "00:00:01,000 --> 00:00:02,000", "A", ""}) + FromUtf8(tail);
    ReadSubRip(doc, text, 0);
    EXPECT_EQ(doc.Count(), 1) << tail;
    ExpectEqualColumns(doc);
  }
  SubtitleDocument foreign;
  ReadSubRip(foreign, Lines({"[INFORMATION]", "12", "00:00:01.50,00:00:03.00", "Text"}), 0);
  EXPECT_EQ(foreign.Count(), 0);
  ExpectEqualColumns(foreign);
}

TEST(SubRipReader, ShortAndOddLinesNeverReadOutOfRange) {
  SubtitleDocument doc;
  ReadSubRip(doc, Lines({"1", "-->", "             -->", "2", "             -->x"}), 0);
  ExpectEqualColumns(doc);
  // "             -->" is a time line without digits: it reads as zero.
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(Row(doc, 0)[0], "0:00:00.000");
}

TEST(MicroDvdReader, FramesLinesAndOddLines) {
  SubtitleDocument doc;
  ReadMicroDvd(doc,
               Lines({";comment", "FrameW=720", "{100}{200}Hello|World", "{100}{200}|Second",
                      "{100}{200}", "{100}Hello", "{1}{2}a|b|c|d", "{5}{6", "x{1}{2}no"}),
               25);
  ASSERT_EQ(doc.Count(), 6);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:04.000", "0:00:08.000", "Hello", "World", ""}));
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:04.000", "0:00:08.000", "", "Second", ""}));
  EXPECT_EQ(Row(doc, 2), (Cells{"0:00:04.000", "0:00:08.000", "", "", ""}));
  EXPECT_EQ(Row(doc, 3), (Cells{"0:00:04.000", "0:00:00.000", "Hello", "", ""}));
  EXPECT_EQ(Row(doc, 4), (Cells{"0:00:00.040", "0:00:00.080", "a", "b", "c d"}));
  EXPECT_EQ(Row(doc, 5), (Cells{"0:00:00.200", "0:00:00.240", "", "", ""}));

  SubtitleDocument ntsc;
  ReadMicroDvd(ntsc, Lines({"{24}{48}x"}), 23.976, 2);
  EXPECT_EQ(Row(ntsc, 0)[0], "0:00:03.001");  // 1.001 s moved by the offset
}

TEST(SubStationAlphaReader, DialogueLines) {
  SubtitleDocument doc;
  ReadSubStationAlpha(
      doc, Lines({"[Events]", "Comment: Marked=0,0:00:00.00,0:00:01.00,Default,NTP,0,0,0,!Effect,x",
                  "Dialogue: Marked=0,0:00:01.00,0:00:03.50,Default,NTP,0000,0000,0000,!Effect,"
                  "Hello\\nWorld",
                  "Dialogue: Marked=0,0:00:01.00,0:00:02.00,Default,NTP,0,0,0,!Effect,One\\NTwo\\N"
                  "Three\\nFour",
                  "Dialogue: no commas", "Dialogue:"}));
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:01.000", "0:00:03.500", "Hello", "World", ""}));
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:01.000", "0:00:02.000", "One", "Two", "Three Four"}));
  EXPECT_EQ(Row(doc, 2), (Cells{"0:00:00.000", "0:00:00.000", "e: no commas", "", ""}));
  EXPECT_EQ(Row(doc, 3), (Cells{"0:00:00.000", "0:00:00.000", "e:", "", ""}));
}

TEST(SubViewerReader, TimeAndTextLines) {
  SubtitleDocument doc;
  ReadSubViewer(doc, Lines({"[INFORMATION]", "[TITLE]x", "[END INFORMATION]", "", "[br]",
                            "00:00:01.50,00:00:03.00", "One[br]Two[br]Three[br]Four",
                            "00:00:04.00,00:00:05.00", "", "00:00:06.00,00:00:07.00", "Solo",
                            "00:00:08.00"}));
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:01.500", "0:00:03.000", "One", "Two", "Three Four"}));
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:06.000", "0:00:07.000", "Solo", "", ""}));
}

TEST(SamiReader, StartAndEndLines) {
  SubtitleDocument doc;
  ReadSami(doc, Lines({"<SAMI>", "<SYNC Start=0><P>At zero", "<SYNC Start=1000><P>Hello<br>World",
                       "<SYNC Start=3500><P><br>", "<SYNC Start=4000><P>A", "<SYNC Start=2500><P>B",
                       "<SYNC Start="}));
  ASSERT_EQ(doc.Count(), 4);
  EXPECT_EQ(Row(doc, 0), (Cells{"0:00:00.000", "0:00:01.000", "At zero", "", ""}));
  EXPECT_EQ(Row(doc, 1), (Cells{"0:00:01.000", "0:00:03.500", "Hello", "World", ""}));
  EXPECT_EQ(Row(doc, 2), (Cells{"0:00:04.000", "0:00:02.500", "A", "", ""}));
  // A SYNC without a time is no SYNC; the last subtitle shows for the file's median duration
  // (1 s here), at least 2 s.
  EXPECT_EQ(Row(doc, 3), (Cells{"0:00:02.500", "0:00:04.500", "B", "", ""}));
}

}  // namespace
}  // namespace tessera
