#include "core/undo_history.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tessera {
namespace {

std::u16string U(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

// Everything Undo must bring back.
struct State {
  std::array<std::vector<std::u16string>, kTextColumns> cols;
  std::vector<bool> selected;
  int current = -1;
  bool changed = false;
  bool operator==(const State&) const = default;
};

State Capture(const SubtitleDocument& d) {
  State s;
  for (int c = 0; c < kTextColumns; ++c) s.cols[c] = d.ColumnCells(c);
  for (int r = 0; r < d.Count(); ++r) s.selected.push_back(d.Selected(r));
  s.current = d.CurrentRow();
  s.changed = d.Changed();
  return s;
}

SubtitleDocument Rows(int n) {
  SubtitleDocument d;
  for (int i = 0; i < n; ++i) {
    const std::string k = std::to_string(i);
    d.AddRow(U("0:00:0" + k + ".000"), U("0:00:0" + k + ".900"), U("line " + k), U("second " + k));
  }
  d.SetSelected(6 % n, true);
  d.SetCurrentRow(1);
  return d;
}

// One typed change in row 2, first line.
bool Type(UndoHistory& h, SubtitleDocument& d, const std::u16string& text,
          const std::u16string& key = u"row 2 line 1") {
  h.BeginRow(d, 2);
  d.SetCell(2, kLine1, text);
  d.SetChanged(true);
  return h.Commit(d, u"Edit line 1", key);
}

struct RoundTrip {
  const char* name;
  int begin_row;  // -2: Begin, otherwise BeginRow with this row
  std::function<void(SubtitleDocument&)> op;
};

TEST(UndoHistory, UndoAndRedoRestoreTheDocumentExactly) {
  const RoundTrip cases[] = {
      {"typed cell", 3, [](SubtitleDocument& d) { d.SetCell(3, kLine1, u"edited"); }},
      {"insert", -2,
       [](SubtitleDocument& d) {
         d.InsertRow(2, u"0:00:01.500", u"0:00:01.800", u"new");
         d.SetCurrentRow(2);
       }},
      {"delete", -2,
       [](SubtitleDocument& d) {
         d.RemoveRow(4);
         d.RemoveRow(0);
         d.SetCurrentRow(0);
       }},
      {"append rows", -2,
       [](SubtitleDocument& d) {
         for (int i = 0; i < 3; ++i) d.AddRow(u"0:01:00.000", u"0:01:01.000", U(std::to_string(i)));
       }},
      {"whole document", -2,
       [](SubtitleDocument& d) {
         for (int r = 0; r < d.Count(); ++r) d.SetCell(r, kStart, U("1:00:0" + std::to_string(r)));
         d.ResetSelection();
         d.SetSelected(0, true);
         d.SetSelected(9, true);
         d.SetCurrentRow(9);
       }},
      {"both ends only", -2,
       [](SubtitleDocument& d) {
         d.SetCell(0, kLine3, u"third");
         d.SetCell(9, kLine2, u"");
       }},
      {"line longer than 32767 characters", 1,
       [](SubtitleDocument& d) { d.SetCell(1, kLine2, std::u16string(40000, u'x')); }},
      {"emptied", -2,
       [](SubtitleDocument& d) {
         d.Empty();
         d.SetCurrentRow(-1);
       }},
      {"BeginRow on no row falls back to Begin", -1,
       [](SubtitleDocument& d) { d.InsertRow(0, u"0:00:00.100", u"0:00:00.200"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SubtitleDocument d = Rows(10);
    const State before = Capture(d);
    UndoHistory h;
    if (c.begin_row == -2)
      h.Begin(d);
    else
      h.BeginRow(d, c.begin_row);
    c.op(d);
    d.SetChanged(true);
    const State after = Capture(d);
    ASSERT_TRUE(h.Commit(d, u"Op"));
    EXPECT_FALSE(h.Pending());
    EXPECT_EQ(h.UndoLabel(), u"Op");
    // Twice, so both sides of the step are swapped in and out.
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(h.Undo(d));
      EXPECT_TRUE(Capture(d) == before);
      EXPECT_FALSE(h.CanUndo());
      EXPECT_EQ(h.RedoLabel(), u"Op");
      ASSERT_TRUE(h.Redo(d));
      EXPECT_TRUE(Capture(d) == after);
      EXPECT_FALSE(h.CanRedo());
    }
  }
}

TEST(UndoHistory, ChangesOutsideTheCellsRecordNothing) {
  const std::pair<const char*, std::function<void(SubtitleDocument&)>> cases[] = {
      {"nothing", [](SubtitleDocument&) {}},
      {"selection", [](SubtitleDocument& d) { d.SetSelected(2, true); }},
      {"current row", [](SubtitleDocument& d) { d.SetCurrentRow(5); }},
      {"changed flag", [](SubtitleDocument& d) { d.SetChanged(true); }},
      {"same text again", [](SubtitleDocument& d) { d.SetCell(2, kLine1, u"line 2"); }},
  };
  for (const auto& [name, op] : cases) {
    SCOPED_TRACE(name);
    for (bool row : {false, true}) {
      SubtitleDocument d = Rows(10);
      UndoHistory h;
      row ? h.BeginRow(d, 2) : h.Begin(d);
      op(d);
      EXPECT_FALSE(h.Commit(d, u"Op"));
      EXPECT_FALSE(h.CanUndo());
    }
  }
}

TEST(UndoHistory, CommitWithoutAnOpenBeginOrAfterBeginRowChangedTheRowCountRecordsNothing) {
  SubtitleDocument d = Rows(10);
  UndoHistory h;
  h.Begin(d);
  h.Abandon();
  d.SetCell(1, kLine1, u"y");
  EXPECT_FALSE(h.Commit(d, u"Op"));
  h.BeginRow(d, 1);
  d.RemoveRow(5);
  EXPECT_FALSE(h.Commit(d, u"Op"));
  EXPECT_FALSE(h.CanUndo());
}

TEST(UndoHistory, ANewStepDropsTheRedoSteps) {
  SubtitleDocument d = Rows(10);
  UndoHistory h;
  for (const char* label : {"A", "B"}) {
    h.Begin(d);
    d.AddRow(u"0:01:00.000", u"0:01:01.000", U(label));
    h.Commit(d, U(label));
  }
  ASSERT_TRUE(h.Undo(d));
  EXPECT_EQ(h.RedoLabel(), u"B");
  h.Begin(d);
  d.SetCell(0, kLine1, u"C");
  ASSERT_TRUE(h.Commit(d, u"C"));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_EQ(h.Steps(), 2u);
  EXPECT_EQ(h.UndoLabel(), u"C");
  h.Undo(d);
  EXPECT_EQ(h.UndoLabel(), u"A");
}

TEST(UndoHistory, TypingMergesIntoOneStepUntilSomethingComesBetween) {
  const std::pair<const char*, std::function<void(UndoHistory&, SubtitleDocument&)>> cases[] = {
      {"nothing", nullptr},
      {"SealMerge", [](UndoHistory& h, SubtitleDocument&) { h.SealMerge(); }},
      {"Undo and Redo",
       [](UndoHistory& h, SubtitleDocument& d) {
         h.Undo(d);
         h.Redo(d);
       }},
      {"a step with another key",
       [](UndoHistory& h, SubtitleDocument& d) { Type(h, d, u"other", u"row 2 line 2"); }},
      {"a save", [](UndoHistory&, SubtitleDocument& d) { d.SetChanged(false); }},
  };
  for (const auto& [name, between] : cases) {
    SCOPED_TRACE(name);
    SubtitleDocument d = Rows(10);
    const State original = Capture(d);
    UndoHistory h;
    ASSERT_TRUE(Type(h, d, u"a"));
    ASSERT_TRUE(Type(h, d, u"ab"));
    EXPECT_EQ(h.Steps(), 1u);
    if (between) between(h, d);
    const size_t steps_before = h.Steps();
    ASSERT_TRUE(Type(h, d, u"abc"));
    EXPECT_EQ(h.Steps(), steps_before + (between ? 1 : 0));
    while (h.Undo(d)) {
    }
    EXPECT_EQ(Capture(d).cols, original.cols);
  }
}

TEST(UndoHistory, AMergedStepCoversEveryCellItsPartsChanged) {
  SubtitleDocument d = Rows(10);
  const State original = Capture(d);
  UndoHistory h;
  ASSERT_TRUE(Type(h, d, u"a", u"k"));
  h.BeginRow(d, 7);
  d.SetCell(7, kLine2, u"b");
  ASSERT_TRUE(h.Commit(d, u"Edit", u"k"));
  h.Begin(d);
  d.SetCell(2, kLine1, u"ac");
  d.SetCell(0, kStart, u"0:00:00.500");
  d.SetSelected(3, true);
  ASSERT_TRUE(h.Commit(d, u"Edit", u"k"));
  const State after = Capture(d);
  EXPECT_EQ(h.Steps(), 1u);
  ASSERT_TRUE(h.Undo(d));
  EXPECT_TRUE(Capture(d) == original);
  ASSERT_TRUE(h.Redo(d));
  EXPECT_TRUE(Capture(d) == after);
}

TEST(UndoHistory, BeyondMaxStepsTheOldestIsDropped) {
  SubtitleDocument d = Rows(10);
  UndoHistory h(3);
  std::vector<State> states{Capture(d)};
  for (int i = 0; i < 5; ++i) {
    h.Begin(d);
    d.SetCell(i, kLine1, u"step");
    d.SetChanged(true);
    h.Commit(d, U(std::to_string(i)));
    states.push_back(Capture(d));
  }
  EXPECT_EQ(h.Steps(), 3u);
  while (h.Undo(d)) {
  }
  EXPECT_TRUE(Capture(d) == states[2]);
  EXPECT_EQ(h.RedoLabel(), u"2");
}

TEST(UndoHistory, ClearForgetsEverything) {
  SubtitleDocument d = Rows(10);
  UndoHistory h;
  Type(h, d, u"a");
  h.Undo(d);
  Type(h, d, u"b", u"other");
  h.Begin(d);
  h.Clear();
  EXPECT_FALSE(h.CanUndo());
  EXPECT_FALSE(h.CanRedo());
  EXPECT_FALSE(h.Pending());
  EXPECT_EQ(h.Steps(), 0u);
  EXPECT_EQ(h.UndoLabel(), u"");
  EXPECT_EQ(h.MemoryBytes(), 0u);
  EXPECT_FALSE(h.Undo(d));
}

// The flag says whether the file holds what the window shows.
TEST(UndoHistory, UndoingPastASaveMarksTheDocumentChanged) {
  SubtitleDocument d = Rows(10);
  UndoHistory h;
  Type(h, d, u"a");
  d.SetChanged(false);  // saved
  ASSERT_TRUE(h.Undo(d));
  EXPECT_TRUE(d.Changed());
  ASSERT_TRUE(h.Redo(d));
  EXPECT_FALSE(d.Changed());
}

TEST(UndoHistory, ADocumentChangedWithoutAStepIsLeftAlone) {
  const std::pair<const char*, std::function<void(SubtitleDocument&)>> cases[] = {
      {"cell of the step", [](SubtitleDocument& d) { d.SetCell(2, kLine1, u"elsewhere"); }},
      {"row count", [](SubtitleDocument& d) { d.RemoveRow(9); }},
  };
  for (const auto& [name, sneak] : cases) {
    SCOPED_TRACE(name);
    SubtitleDocument d = Rows(10);
    UndoHistory h;
    Type(h, d, u"a");
    sneak(d);
    const State now = Capture(d);
    EXPECT_FALSE(h.Undo(d));
    EXPECT_TRUE(Capture(d) == now);
    EXPECT_FALSE(h.CanUndo());
  }
}

TEST(UndoHistory, AStepHoldsOnlyTheRowsItChanged) {
  SubtitleDocument d = Rows(2000);
  UndoHistory h;
  h.Begin(d);
  d.AddRow(u"1:00:00.000", u"1:00:01.000", u"appended");
  ASSERT_TRUE(h.Commit(d, u"Append"));
  EXPECT_LT(h.MemoryBytes(), 1000u);

  h.Clear();
  Type(h, d, u"typed");
  EXPECT_LT(h.MemoryBytes(), 1000u);

  h.Clear();
  h.Begin(d);
  for (int r = 0; r < d.Count(); ++r) d.SetCell(r, kStart, u"2:00:00.000");
  ASSERT_TRUE(h.Commit(d, u"Move"));
  EXPECT_GT(h.MemoryBytes(), 2000u * 11 * 2);      // every old start time is kept
  EXPECT_LT(h.MemoryBytes(), 2000u * 11 * 2 * 2);  // and little else
}

}  // namespace
}  // namespace tessera
