#include "core/subtitle_document.h"

#include <algorithm>

#include "core/time_code.h"

namespace tessera {

size_t ColumnView::size() const {
  return static_cast<size_t>(doc_->Count());
}

std::u16string ColumnView::operator[](size_t row) const {
  return doc_->Cell(static_cast<int>(row), column_);
}

bool ColumnView::operator==(const std::vector<std::u16string>& cells) const {
  if (size() != cells.size()) return false;
  TimeBuffer buf;
  for (size_t r = 0; r < cells.size(); ++r)
    if (doc_->CellView(static_cast<int>(r), column_, buf) != cells[r]) return false;
  return true;
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

int64_t SubtitleDocument::NewTime(std::u16string&& text) {
  const int64_t clock = CanonicalClock(text);
  return clock >= 0 ? clock : -1 - static_cast<int64_t>(NewSlot(std::move(text)));
}

void SubtitleDocument::FreeRows(int first, int count) {
  for (int r = first; r < first + count; ++r) {
    for (auto& column : times_) FreeTime(column[r]);
    for (auto& column : slots_) FreeSlot(column[r]);
  }
}

void SubtitleDocument::SetCell(int row, int column, std::u16string text) {
  if (column < kLine1) {
    int64_t& time = times_[column][row];
    FreeTime(time);
    time = NewTime(std::move(text));
    return;
  }
  if (column == kLine1) {
    line1_[row] = std::move(text);
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
  if (column >= kLine1) return ParseTimeText(LineCell(row, column));
  const int64_t time = times_[column][row];
  return time >= 0 ? ClockSeconds(time) : ParseTimeText(Slot(static_cast<uint32_t>(-1 - time)));
}

void SubtitleDocument::SetTime(int row, int column, double seconds) {
  const int64_t clock = column < kLine1 ? TimeClock(seconds) : -1;
  if (clock < 0) {
    SetCell(row, column, FormatTimeText(seconds));
    return;
  }
  FreeTime(times_[column][row]);
  times_[column][row] = clock;
}

SubtitleEntry SubtitleDocument::Entry(int row) const {
  return {Cell(row, kStart), Cell(row, kEnd), line1_[row],
          Line(row, 1),      Line(row, 2),    selected_[row] != 0};
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
  const int64_t start_time = NewTime(std::move(start));
  AddTimedRow(start_time, NewTime(std::move(end)), std::move(line1), std::move(line2),
              std::move(line3));
}

void SubtitleDocument::AddTimedRow(int64_t start, int64_t end, std::u16string line1,
                                   std::u16string line2, std::u16string line3) {
  // Readers append every row of a file here: one push onto each column.
  times_[kStart].push_back(start);
  times_[kEnd].push_back(end);
  line1_.push_back(std::move(line1));
  slots_[0].push_back(NewSlot(std::move(line2)));
  slots_[1].push_back(NewSlot(std::move(line3)));
  selected_.push_back(0);
}

void SubtitleDocument::InsertRow(int index, std::u16string start, std::u16string end,
                                 std::u16string line1, std::u16string line2, std::u16string line3) {
  if (index < 0) index = 0;
  if (index > Count()) index = Count();
  times_[kStart].insert(times_[kStart].begin() + index, NewTime(std::move(start)));
  times_[kEnd].insert(times_[kEnd].begin() + index, NewTime(std::move(end)));
  line1_.insert(line1_.begin() + index, std::move(line1));
  slots_[0].insert(slots_[0].begin() + index, NewSlot(std::move(line2)));
  slots_[1].insert(slots_[1].begin() + index, NewSlot(std::move(line3)));
  selected_.insert(selected_.begin() + index, 0);
}

void SubtitleDocument::RemoveRow(int index) {
  if (!IsRow(index)) return;
  FreeRows(index, 1);
  for (auto& col : times_) col.erase(col.begin() + index);
  line1_.erase(line1_.begin() + index);
  for (auto& col : slots_) col.erase(col.begin() + index);
  selected_.erase(selected_.begin() + index);
}

void SubtitleDocument::ReplaceRows(int first, int count, std::vector<SubtitleEntry> rows) {
  first = std::clamp(first, 0, Count());
  count = std::clamp(count, 0, Count() - first);
  FreeRows(first, count);
  const size_t n = rows.size();
  // Each column: the old range out, room for the new one, then the new cells moved in.
  auto replace = [&](auto& col, auto fill, auto cell) {
    col.erase(col.begin() + first, col.begin() + first + count);
    col.insert(col.begin() + first, n, fill);
    for (size_t i = 0; i < n; ++i) col[first + i] = cell(rows[i]);
  };
  replace(times_[kStart], int64_t{0},
          [&](SubtitleEntry& e) { return NewTime(std::move(e.start)); });
  replace(times_[kEnd], int64_t{0}, [&](SubtitleEntry& e) { return NewTime(std::move(e.end)); });
  replace(line1_, std::u16string(), [](SubtitleEntry& e) { return std::move(e.line1); });
  replace(slots_[0], uint32_t{0}, [&](SubtitleEntry& e) { return NewSlot(std::move(e.line2)); });
  replace(slots_[1], uint32_t{0}, [&](SubtitleEntry& e) { return NewSlot(std::move(e.line3)); });
  replace(selected_, static_cast<unsigned char>(0),
          [](SubtitleEntry& e) { return static_cast<unsigned char>(e.selected ? 1 : 0); });
}

void SubtitleDocument::Empty() {
  for (auto& col : times_) col.clear();
  line1_.clear();
  for (auto& col : slots_) col.clear();
  texts_.clear();
  free_slots_.clear();
  selected_.clear();
}

void SubtitleDocument::TakeRows(SubtitleDocument& from) {
  Empty();
  times_.swap(from.times_);
  line1_.swap(from.line1_);
  slots_.swap(from.slots_);
  texts_.swap(from.texts_);
  free_slots_.swap(from.free_slots_);
  from.selected_.clear();
  ResetSelection();
}

void SubtitleDocument::ResetSelection() {
  selected_.assign(times_[kStart].size(), 0);
}

void SubtitleDocument::Reserve(int rows) {
  for (auto& col : times_) col.reserve(rows);
  line1_.reserve(rows);
  for (auto& col : slots_) col.reserve(rows);
  selected_.reserve(rows);
}

void SubtitleDocument::ClampCurrentRow() {
  if (current_row_ >= Count()) current_row_ = Count() - 1;
  if (current_row_ < -1) current_row_ = -1;
}

}  // namespace tessera
