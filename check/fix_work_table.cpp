#include <algorithm>

#include "check/fix_work_table.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {

double FixWorkTable::StartSeconds(int row) const {
  return ParseTimeText(Cell(row, kFixStart));
}
double FixWorkTable::EndSeconds(int row) const {
  return ParseTimeText(Cell(row, kFixEnd));
}
void FixWorkTable::SetStartSeconds(int row, double seconds) {
  Cell(row, kFixStart) = FormatTimeText(seconds);
}
void FixWorkTable::SetEndSeconds(int row, double seconds) {
  Cell(row, kFixEnd) = FormatTimeText(seconds);
}
void FixWorkTable::UpdateDuration(int row) {
  Cell(row, kFixDuration) =
      DurationText(EndSeconds(row) - StartSeconds(row), DurationForm::kLeadingZeroDropped);
}

void FixWorkTable::MoveGap(size_t pos) {
  if (GapSize() == 0) {
    // Nothing to move; moving rows onto themselves would empty them.
    gap_begin_ = gap_end_ = pos;
  } else if (pos < gap_begin_) {
    const size_t n = gap_begin_ - pos;
    std::move_backward(rows_.begin() + pos, rows_.begin() + gap_begin_, rows_.begin() + gap_end_);
    gap_begin_ -= n;
    gap_end_ -= n;
  } else if (pos > gap_begin_) {
    const size_t n = pos - gap_begin_;
    std::move(rows_.begin() + gap_end_, rows_.begin() + gap_end_ + n, rows_.begin() + gap_begin_);
    gap_begin_ += n;
    gap_end_ += n;
  }
}

void FixWorkTable::InsertRow(int index) {
  const size_t pos = static_cast<size_t>(std::clamp(index, 0, Count()));
  if (GapSize() == 0) {
    // Regrow with a fresh gap at the insertion point.
    const size_t count = rows_.size();
    const size_t gap = std::max<size_t>(64, count / 4);
    std::vector<Row> grown(count + gap);
    std::move(rows_.begin(), rows_.begin() + pos, grown.begin());
    std::move(rows_.begin() + pos, rows_.end(), grown.begin() + pos + gap);
    rows_ = std::move(grown);
    gap_begin_ = pos;
    gap_end_ = pos + gap;
  } else {
    MoveGap(pos);
  }
  rows_[gap_begin_] = Row{};
  ++gap_begin_;
}

void FixWorkTable::RemoveRow(int index) {
  if (!IsRow(index)) return;
  MoveGap(static_cast<size_t>(index));
  rows_[gap_end_] = Row{};
  ++gap_end_;
}

void FixWorkTable::Clear() {
  rows_.clear();
  gap_begin_ = gap_end_ = 0;
}

void FixWorkTable::FillFrom(const SubtitleDocument& doc) {
  Clear();
  const int count = doc.Count();
  rows_.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    Row& r = rows_[static_cast<size_t>(i)];
    r[kFixNr] = Format("%d", i + 1);
    r[kFixStart] = doc.Start(i);
    r[kFixEnd] = doc.End(i);
    r[kFixDuration] =
        DurationText(doc.Time(i, kEnd) - doc.Time(i, kStart), DurationForm::kLeadingZeroDropped);
    for (int k = 0; k < 3; ++k) r[kFixLine1 + k] = doc.Line(i, k);
  }
  gap_begin_ = gap_end_ = rows_.size();
}

void FixWorkTable::WriteTo(SubtitleDocument& doc) const {
  doc.Empty();
  const int count = Count();
  doc.Reserve(count);
  for (int i = 0; i < count; ++i) {
    doc.AddRow(Cell(i, kFixStart), Cell(i, kFixEnd), Line(i, 0), Line(i, 1), Line(i, 2));
  }
}

}  // namespace tessera
