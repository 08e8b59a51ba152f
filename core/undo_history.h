// Undo and redo of document operations, kept beside the document.
//
// A step holds only the rows an operation changed (common leading and trailing rows are not
// stored), each packed into one string, and only one side of the change at a time: the side
// the document does not hold. Undo and Redo swap that side with the document's, after checking
// by a hash that the document still holds the other side.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/subtitle_document.h"

namespace tessera {

class UndoHistory {
 public:
  explicit UndoHistory(size_t max_steps = 200);
  // Remembers the whole document as it is before an operation.
  void Begin(const SubtitleDocument& doc);
  // Cheaper Begin for an operation that changes only the cells of `row` and keeps the row count
  // (typing in a line field). Such a step leaves the selection flags alone on Undo and Redo. A
  // row that does not exist falls back to Begin.
  void BeginRow(const SubtitleDocument& doc, int row);
  // Ends the operation begun last. Records one step labelled `label` when any cell or the row
  // count differs from Begin (selection-flag, current-row or changed-flag changes alone record
  // nothing). A non-empty `merge_key` equal to the last step's extends that step instead
  // (typing), unless SealMerge, Undo, Redo or a step with another key came in between.
  // Returns true when a step was recorded or extended. Without Begin it does nothing. After
  // BeginRow, a changed row count records nothing: the step could not be undone exactly.
  bool Commit(const SubtitleDocument& doc, std::u16string label, std::u16string merge_key = {});
  // Forgets the Begin without recording.
  void Abandon();
  bool Pending() const;  // between Begin and Commit/Abandon
  // The next Commit starts a new step even with the same merge key (focus left a field).
  void SealMerge();
  bool CanUndo() const;
  bool CanRedo() const;
  std::u16string UndoLabel() const;  // empty when nothing to undo
  std::u16string RedoLabel() const;
  // Restore the document exactly as before / after the step: all five text columns, the row
  // count, the selection flags, the current row, and the changed flag. Return false when there
  // is nothing to undo/redo.
  //
  // The changed flag is false only on the state last seen unchanged (loaded or saved), so
  // undoing past a save marks the document changed instead of claiming the file holds it.
  // A pending Begin is abandoned first. When the document no longer holds what the step
  // expects (it was changed without a step), the document is left alone, the history is
  // cleared and false is returned.
  bool Undo(SubtitleDocument& doc);
  bool Redo(SubtitleDocument& doc);
  void Clear();                // loading a file clears the history
  size_t Steps() const;        // steps that can be undone
  size_t MemoryBytes() const;  // an honest estimate of the heap the history holds
                               // (string capacities included)

  size_t RedoSteps() const { return steps_.size() - done_; }
  size_t MaxSteps() const { return max_steps_; }

 private:
  // Packed rows: for each row, the distance from the previous stored row, a mask of the stored
  // columns, then per stored column its length and its characters. Numbers take one unit below
  // 0x8000, two otherwise.
  struct Step {
    std::u16string label;
    std::u16string merge_key;
    std::u16string rows;    // the side the document does not hold
    uint64_t check = 0;     // hash of the side the document holds, packed the same way
    bool splice = false;    // row count differs: a range of whole rows is replaced
    int32_t first = 0;      // splice: first row of the range
    int32_t held_rows = 0;  // splice: rows of the range in `rows`
    int32_t doc_rows = 0;   // splice: rows of the range in the document
    int32_t count_before = 0, count_after = 0;
    int32_t current_before = -1, current_after = -1;
    bool has_selection = false;                               // false for steps begun with BeginRow
    std::vector<uint32_t> selection_before, selection_after;  // runs: start, end, start, end...
  };

  void Observe(const SubtitleDocument& doc, bool beginning);
  bool Swap(Step& step, SubtitleDocument& doc, bool undo);
  bool Push(Step step);
  bool Merge(Step& top, Step& next, const SubtitleDocument& doc);
  void DropPending();

  size_t max_steps_;
  std::vector<Step> steps_;
  size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
  // The history position whose state was last seen with the changed flag off; -1 when none.
  std::ptrdiff_t clean_ = -1;
  bool mergeable_ = false;

  // The operation under way.
  enum class PendingKind { kNone, kDocument, kRow };
  PendingKind pending_ = PendingKind::kNone;
  int32_t snap_count_ = 0;
  int32_t snap_current_ = -1;
  // kDocument: every cell, row by row, with the end offset of each cell.
  std::u16string snap_text_;
  std::vector<size_t> snap_ends_;
  std::vector<uint32_t> snap_selection_;
  // kRow: the cells of one row.
  int32_t snap_row_ = 0;
  std::u16string snap_row_cells_[kTextColumns];
};

}  // namespace tessera
