#include "core/subtitle_document.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

std::vector<std::u16string> Starts(const SubtitleDocument& d) {
  return d.ColumnCells(kStart);
}

TEST(SubtitleDocument, StartsEmpty) {
  SubtitleDocument d;
  EXPECT_EQ(d.Count(), 0);
  EXPECT_EQ(d.CurrentRow(), -1);
  EXPECT_EQ(d.FirstVisibleRow(), 0);
  EXPECT_FALSE(d.Changed());
  EXPECT_TRUE(d.FilePath().empty());
  EXPECT_EQ(d.LoadedFormat(), SubtitleFormat::SubRip);
  EXPECT_EQ(d.Log().Size(), 0);
  d.RemoveRow(0);  // nothing to remove: no effect
  EXPECT_EQ(d.Count(), 0);
}

TEST(SubtitleDocument, InsertAndRemoveKeepColumnsAndSelectionAligned) {
  SubtitleDocument d;
  d.AddRow(u"0:00:01.000", u"0:00:02.000", u"a1", u"a2");
  d.AddRow(u"0:00:03.000", u"0:00:04.000", u"c1");
  d.SetSelected(1, true);
  d.InsertRow(1, u"0:00:02.500", u"0:00:02.900", u"b1", u"", u"b3");
  d.InsertRow(d.Count(), u"0:00:05.000", u"0:00:06.000", u"d1");  // index == count appends

  ASSERT_EQ(d.Count(), 4);
  EXPECT_EQ(Starts(d), (std::vector<std::u16string>{u"0:00:01.000", u"0:00:02.500", u"0:00:03.000",
                                                    u"0:00:05.000"}));
  for (int c = 0; c < kTextColumns; ++c) EXPECT_EQ(d.ColumnCells(c).size(), 4u);
  EXPECT_EQ(d.Line(1, 2), u"b3");
  EXPECT_FALSE(d.Selected(1));
  EXPECT_TRUE(d.Selected(2));  // the selected row moved down with its texts

  d.RemoveRow(1);
  EXPECT_EQ(d.Line(1, 0), u"c1");
  EXPECT_TRUE(d.Selected(1));
  SubtitleEntry e = d.Entry(0);
  EXPECT_EQ(e.line2, u"a2");
  EXPECT_FALSE(e.selected);
}

TEST(SubtitleDocument, RemovingTheLastRowClampsTheCurrentRowToNone) {
  SubtitleDocument d;
  d.AddRow(u"0:00:01.000", u"0:00:02.000", u"x");
  d.SetCurrentRow(0);
  d.RemoveRow(0);
  d.ClampCurrentRow();
  EXPECT_EQ(d.Count(), 0);
  EXPECT_EQ(d.CurrentRow(), -1);

  for (int i = 0; i < 5; ++i) d.AddRow(u"0:00:01.000", u"0:00:02.000");
  d.SetCurrentRow(4);
  d.RemoveRow(4);
  d.RemoveRow(3);
  d.ClampCurrentRow();
  EXPECT_EQ(d.CurrentRow(), 2);
}

TEST(SubtitleDocument, EmptyingAndRefillingLeavesNoStaleSelection) {
  SubtitleDocument d;
  for (int i = 0; i < 3; ++i) d.AddRow(u"0:00:01.000", u"0:00:02.000");
  d.SetSelected(2, true);
  d.Empty();
  EXPECT_EQ(d.Count(), 0);
  for (int i = 0; i < 4; ++i) d.AddRow(u"0:00:01.000", u"0:00:02.000");
  d.SetSelected(0, true);
  d.ResetSelection();
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(d.Selected(i)) << i;
}

TEST(MessageLog, ListenersSeeEveryLineEvenWhenOneAppendsInTurn) {
  MessageLog log;
  std::vector<std::u16string> seen;
  int echo = log.AddListener([&](const std::u16string& line) {
    if (line == u"first") log.Append(u"echo of first");
  });
  int record = log.AddListener([&](const std::u16string& line) { seen.push_back(line); });
  log.Append(u"first");
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"echo of first", u"first"}));

  log.RemoveListener(echo);
  log.RemoveListener(record);
  log.Append(u"quiet");
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_EQ(log.Lines(), (std::vector<std::u16string>{u"first", u"echo of first", u"quiet"}));
}

}  // namespace
}  // namespace tessera
