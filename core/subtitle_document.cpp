#include "core/subtitle_document.h"

#include <algorithm>

#include "core/time_code.h"

namespace tessera {

double SubtitleDocument::Time(int row, int column) const {
  return ParseTimeText(cols_[column][row]);
}

void SubtitleDocument::SetTime(int row, int column, double seconds) {
  char16_t buf[kMaxTimeText];
  cols_[column][row].assign(buf, WriteTimeText(buf, seconds));
}

SubtitleEntry SubtitleDocument::Entry(int row) const {
  return {cols_[kStart][row], cols_[kEnd][row],   cols_[kLine1][row],
          cols_[kLine2][row], cols_[kLine3][row], selected_[row] != 0};
}

void SubtitleDocument::SetEntry(int row, const SubtitleEntry& e) {
  cols_[kStart][row] = e.start;
  cols_[kEnd][row] = e.end;
  cols_[kLine1][row] = e.line1;
  cols_[kLine2][row] = e.line2;
  cols_[kLine3][row] = e.line3;
}

void SubtitleDocument::AddRow(std::u16string start, std::u16string end, std::u16string line1,
                              std::u16string line2, std::u16string line3) {
  cols_[kStart].push_back(std::move(start));
  cols_[kEnd].push_back(std::move(end));
  cols_[kLine1].push_back(std::move(line1));
  cols_[kLine2].push_back(std::move(line2));
  cols_[kLine3].push_back(std::move(line3));
  selected_.push_back(0);
}

void SubtitleDocument::InsertRow(int index, std::u16string start, std::u16string end,
                                 std::u16string line1, std::u16string line2, std::u16string line3) {
  if (index < 0) index = 0;
  if (index > Count()) index = Count();
  std::u16string* texts[] = {&start, &end, &line1, &line2, &line3};
  for (int c = 0; c < kTextColumns; ++c)
    cols_[c].insert(cols_[c].begin() + index, std::move(*texts[c]));
  selected_.insert(selected_.begin() + index, 0);
}

void SubtitleDocument::RemoveRow(int index) {
  if (!IsRow(index)) return;
  for (auto& col : cols_) col.erase(col.begin() + index);
  selected_.erase(selected_.begin() + index);
}

void SubtitleDocument::ReplaceRows(int first, int count, std::vector<SubtitleEntry> rows) {
  first = std::clamp(first, 0, Count());
  count = std::clamp(count, 0, Count() - first);
  static constexpr std::u16string SubtitleEntry::*kFields[kTextColumns] = {
      &SubtitleEntry::start, &SubtitleEntry::end, &SubtitleEntry::line1, &SubtitleEntry::line2,
      &SubtitleEntry::line3};
  const size_t n = rows.size();
  for (int c = 0; c < kTextColumns; ++c) {
    auto& col = cols_[c];
    col.erase(col.begin() + first, col.begin() + first + count);
    col.insert(col.begin() + first, n, std::u16string());
    for (size_t i = 0; i < n; ++i) col[first + i] = std::move(rows[i].*kFields[c]);
  }
  selected_.erase(selected_.begin() + first, selected_.begin() + first + count);
  selected_.insert(selected_.begin() + first, n, 0);
  for (size_t i = 0; i < n; ++i) selected_[first + i] = rows[i].selected ? 1 : 0;
}

void SubtitleDocument::Empty() {
  for (auto& col : cols_) col.clear();
  selected_.clear();
}

void SubtitleDocument::TakeRows(SubtitleDocument& from) {
  for (int c = 0; c < kTextColumns; ++c) {
    cols_[c].swap(from.cols_[c]);
    from.cols_[c].clear();
  }
  from.selected_.clear();
  ResetSelection();
}

void SubtitleDocument::ResetSelection() {
  selected_.assign(cols_[kStart].size(), 0);
}

void SubtitleDocument::Reserve(int rows) {
  for (auto& col : cols_) col.reserve(rows);
  selected_.reserve(rows);
}

void SubtitleDocument::ClampCurrentRow() {
  if (current_row_ >= Count()) current_row_ = Count() - 1;
  if (current_row_ < -1) current_row_ = -1;
}

}  // namespace tessera
