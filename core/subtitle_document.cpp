#include "core/subtitle_document.h"

#include <algorithm>

#include "core/time_code.h"

namespace tessera {

size_t ColumnView::size() const {
  return static_cast<size_t>(doc_->Count());
}

const std::u16string& ColumnView::operator[](size_t row) const {
  return doc_->Cell(static_cast<int>(row), column_);
}

bool ColumnView::operator==(const std::vector<std::u16string>& cells) const {
  return size() == cells.size() && std::equal(cells.begin(), cells.end(), begin());
}

uint32_t SubtitleDocument::NewSlot(std::u16string&& text) {
  if (text.empty()) return 0;
  if (free_slots_.empty()) {
    texts_.push_back(std::move(text));
    return static_cast<uint32_t>(texts_.size());
  }
  const uint32_t slot = free_slots_.back();
  free_slots_.pop_back();
  texts_[slot - 1] = std::move(text);
  return slot;
}

void SubtitleDocument::FreeSlot(uint32_t slot) {
  if (slot == 0) return;
  texts_[slot - 1] = std::u16string();
  free_slots_.push_back(slot);
}

void SubtitleDocument::FreeSlots(int first, int count) {
  for (auto& column : slots_)
    for (int r = first; r < first + count; ++r) FreeSlot(column[r]);
}

void SubtitleDocument::SetCell(int row, int column, std::u16string text) {
  if (column < kLine2) {
    cols_[column][row] = std::move(text);
    return;
  }
  uint32_t& slot = slots_[column - kLine2][row];
  if (slot != 0 && !text.empty()) {
    texts_[slot - 1] = std::move(text);
    return;
  }
  FreeSlot(slot);
  slot = NewSlot(std::move(text));
}

double SubtitleDocument::Time(int row, int column) const {
  return ParseTimeText(Cell(row, column));
}

void SubtitleDocument::SetTime(int row, int column, double seconds) {
  char16_t buf[kMaxTimeText];
  const size_t n = WriteTimeText(buf, seconds);
  if (column >= kLine2)
    SetCell(row, column, std::u16string(buf, n));
  else
    cols_[column][row].assign(buf, n);
}

SubtitleEntry SubtitleDocument::Entry(int row) const {
  return {Cell(row, kStart), Cell(row, kEnd),   Cell(row, kLine1),
          Cell(row, kLine2), Cell(row, kLine3), selected_[row] != 0};
}

void SubtitleDocument::SetEntry(int row, const SubtitleEntry& e) {
  SetCell(row, kStart, e.start);
  SetCell(row, kEnd, e.end);
  SetCell(row, kLine1, e.line1);
  SetCell(row, kLine2, e.line2);
  SetCell(row, kLine3, e.line3);
}

void SubtitleDocument::AddRow(std::u16string start, std::u16string end, std::u16string line1,
                              std::u16string line2, std::u16string line3) {
  // Readers append every row of a file here: one push onto each column.
  cols_[kStart].push_back(std::move(start));
  cols_[kEnd].push_back(std::move(end));
  cols_[kLine1].push_back(std::move(line1));
  slots_[0].push_back(NewSlot(std::move(line2)));
  slots_[1].push_back(NewSlot(std::move(line3)));
  selected_.push_back(0);
}

void SubtitleDocument::InsertRow(int index, std::u16string start, std::u16string end,
                                 std::u16string line1, std::u16string line2, std::u16string line3) {
  if (index < 0) index = 0;
  if (index > Count()) index = Count();
  std::u16string* texts[] = {&start, &end, &line1};
  for (int c = 0; c < kLine2; ++c) cols_[c].insert(cols_[c].begin() + index, std::move(*texts[c]));
  slots_[0].insert(slots_[0].begin() + index, NewSlot(std::move(line2)));
  slots_[1].insert(slots_[1].begin() + index, NewSlot(std::move(line3)));
  selected_.insert(selected_.begin() + index, 0);
}

void SubtitleDocument::RemoveRow(int index) {
  if (!IsRow(index)) return;
  FreeSlots(index, 1);
  for (auto& col : cols_) col.erase(col.begin() + index);
  for (auto& col : slots_) col.erase(col.begin() + index);
  selected_.erase(selected_.begin() + index);
}

void SubtitleDocument::ReplaceRows(int first, int count, std::vector<SubtitleEntry> rows) {
  first = std::clamp(first, 0, Count());
  count = std::clamp(count, 0, Count() - first);
  static constexpr std::u16string SubtitleEntry::*kFields[kTextColumns] = {
      &SubtitleEntry::start, &SubtitleEntry::end, &SubtitleEntry::line1, &SubtitleEntry::line2,
      &SubtitleEntry::line3};
  const size_t n = rows.size();
  for (int c = 0; c < kLine2; ++c) {
    auto& col = cols_[c];
    col.erase(col.begin() + first, col.begin() + first + count);
    col.insert(col.begin() + first, n, std::u16string());
    for (size_t i = 0; i < n; ++i) col[first + i] = std::move(rows[i].*kFields[c]);
  }
  FreeSlots(first, count);
  for (int c = kLine2; c < kTextColumns; ++c) {
    auto& col = slots_[c - kLine2];
    col.erase(col.begin() + first, col.begin() + first + count);
    col.insert(col.begin() + first, n, 0);
    for (size_t i = 0; i < n; ++i) col[first + i] = NewSlot(std::move(rows[i].*kFields[c]));
  }
  selected_.erase(selected_.begin() + first, selected_.begin() + first + count);
  selected_.insert(selected_.begin() + first, n, 0);
  for (size_t i = 0; i < n; ++i) selected_[first + i] = rows[i].selected ? 1 : 0;
}

void SubtitleDocument::Empty() {
  for (auto& col : cols_) col.clear();
  for (auto& col : slots_) col.clear();
  texts_.clear();
  free_slots_.clear();
  selected_.clear();
}

void SubtitleDocument::TakeRows(SubtitleDocument& from) {
  for (int c = 0; c < kLine2; ++c) {
    cols_[c].swap(from.cols_[c]);
    from.cols_[c].clear();
  }
  for (auto c = 0u; c < slots_.size(); ++c) {
    slots_[c].swap(from.slots_[c]);
    from.slots_[c].clear();
  }
  texts_.swap(from.texts_);
  from.texts_.clear();
  free_slots_.swap(from.free_slots_);
  from.free_slots_.clear();
  from.selected_.clear();
  ResetSelection();
}

void SubtitleDocument::ResetSelection() {
  selected_.assign(cols_[kStart].size(), 0);
}

void SubtitleDocument::Reserve(int rows) {
  for (auto& col : cols_) col.reserve(rows);
  for (auto& col : slots_) col.reserve(rows);
  selected_.reserve(rows);
}

void SubtitleDocument::ClampCurrentRow() {
  if (current_row_ >= Count()) current_row_ = Count() - 1;
  if (current_row_ < -1) current_row_ = -1;
}

}  // namespace tessera
