#include "core/subtitle_document.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

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

// Second and third lines are held apart from the rows and their room is used again: after any
// mix of edits every row still reads its own texts, as a plain list of rows would.
TEST(SubtitleDocument, EveryEditKeepsEachRowsOwnLines) {
  SubtitleDocument d;
  std::vector<SubtitleEntry> model;
  std::mt19937 random(7);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto text = [&]() -> std::u16string {
    // Canonical times are kept as numbers, every other text as it is: both in every column.
    static const char16_t* const kTexts[] = {u"",
                                             u"",
                                             u"a",
                                             u"bb",
                                             u"a much longer line of text",
                                             u"0:00:01.000",
                                             u"12:34:56.789",
                                             u"00:00:01,000"};
    return kTexts[pick(8)];
  };
  auto entry = [&] { return SubtitleEntry{text(), text(), text(), text(), text()}; };
  for (int step = 0; step < 4000; ++step) {
    const int n = d.Count();
    switch (pick(n < 3 ? 2 : 7)) {
      case 0:
      case 1: {
        SubtitleEntry e = entry();
        const int at = pick(n + 1);
        d.InsertRow(at, e.start, e.end, e.line1, e.line2, e.line3);
        model.insert(model.begin() + at, e);
        break;
      }
      case 2: {
        const int row = pick(n);
        d.RemoveRow(row);
        model.erase(model.begin() + row);
        break;
      }
      case 3:
      case 4: {
        const int row = pick(n), column = pick(kTextColumns);
        const std::u16string t = text();
        d.SetCell(row, column, t);
        std::u16string SubtitleEntry::*fields[] = {&SubtitleEntry::start, &SubtitleEntry::end,
                                                   &SubtitleEntry::line1, &SubtitleEntry::line2,
                                                   &SubtitleEntry::line3};
        model[row].*fields[column] = t;
        if (column < kLine1) {
          EXPECT_EQ(d.Time(row, column), ParseTimeText(t));
        }
        break;
      }
      case 5: {
        const int first = pick(n), count = pick(n - first + 1);
        std::vector<SubtitleEntry> rows(static_cast<size_t>(pick(4)));
        for (auto& e : rows) e = entry();
        model.erase(model.begin() + first, model.begin() + first + count);
        model.insert(model.begin() + first, rows.begin(), rows.end());
        d.ReplaceRows(first, count, rows);
        break;
      }
      case 6: {
        SubtitleDocument other;
        other.TakeRows(d);
        d.TakeRows(other);
        EXPECT_EQ(other.Count(), 0);
        break;
      }
    }
    ASSERT_EQ(d.Count(), static_cast<int>(model.size()));
    for (int r = 0; r < d.Count(); ++r) {
      const SubtitleEntry e = d.Entry(r);
      ASSERT_EQ(
          std::tie(e.start, e.end, e.line1, e.line2, e.line3),
          std::tie(model[r].start, model[r].end, model[r].line1, model[r].line2, model[r].line3))
          << "step " << step << " row " << r;
    }
  }
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
