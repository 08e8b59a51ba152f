// The Fix Errors run's working table: the document's rows with their text and tag columns.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/subtitle_document.h"

namespace tessera {

// Columns of the working table.
enum FixColumn : int {
  kFixNr = 0,
  kFixStart = 1,
  kFixEnd = 2,
  kFixDuration = 3,
  kFixLine1 = 4,      // lines 1..3: kFixLine1 + k, k = 0..2
  kFixStartTag1 = 7,  // start tag of line k: kFixStartTag1 + 2k, stop tag: kFixStopTag1 + 2k
  kFixStopTag1 = 8,
  kFixColumnCount = 13,
};

// The run's working copy of the document, one row per subtitle, thirteen text columns.
// Rows are kept in a gap buffer: the run inserts and removes only near the row it is at, so
// each such change costs constant time instead of moving the whole tail.
class FixWorkTable {
 public:
  using Row = std::array<std::u16string, kFixColumnCount>;

  int Count() const { return static_cast<int>(rows_.size() - GapSize()); }
  bool IsRow(int row) const { return row >= 0 && row < Count(); }

  std::u16string& Cell(int row, int column) { return rows_[Phys(row)][column]; }
  const std::u16string& Cell(int row, int column) const { return rows_[Phys(row)][column]; }
  // k: 0, 1 or 2 for lines 1, 2 and 3.
  std::u16string& Line(int row, int k) { return Cell(row, kFixLine1 + k); }
  const std::u16string& Line(int row, int k) const { return Cell(row, kFixLine1 + k); }
  std::u16string& StartTag(int row, int k) { return Cell(row, kFixStartTag1 + 2 * k); }
  std::u16string& StopTag(int row, int k) { return Cell(row, kFixStopTag1 + 2 * k); }
  const std::u16string& StartTag(int row, int k) const { return Cell(row, kFixStartTag1 + 2 * k); }
  const std::u16string& StopTag(int row, int k) const { return Cell(row, kFixStopTag1 + 2 * k); }

  // Times in seconds (parsed from the canonical text) and written back in the canonical form.
  double StartSeconds(int row) const;
  double EndSeconds(int row) const;
  void SetStartSeconds(int row, double seconds);
  void SetEndSeconds(int row, double seconds);
  // Recomputes the duration column from the two times.
  void UpdateDuration(int row);

  // An empty row at `index` (0..Count()); rows from there move down.
  void InsertRow(int index);
  void RemoveRow(int index);
  void Clear();

  // Number, times, duration and lines from the document; tag columns empty.
  void FillFrom(const SubtitleDocument& doc);
  // Empties the document's text columns and appends every row's times and lines.
  void WriteTo(SubtitleDocument& doc) const;

 private:
  size_t GapSize() const { return gap_end_ - gap_begin_; }
  size_t Phys(int row) const {
    size_t r = static_cast<size_t>(row);
    return r < gap_begin_ ? r : r + GapSize();
  }
  void MoveGap(size_t pos);

  std::vector<Row> rows_;
  size_t gap_begin_ = 0;
  size_t gap_end_ = 0;
};

}  // namespace tessera
