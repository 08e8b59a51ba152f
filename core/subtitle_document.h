// The one list of timed subtitles the whole process works on, held column-wise.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/message_log.h"
#include "core/time_code.h"

namespace tessera {

enum class SubtitleFormat : int {
  SubRip = 0,
  SubStationAlpha = 1,
  MicroDvd = 2,
  SubViewer = 3,
  Sami = 4,
  Unrecognised = 6,
  WebVtt = 7,
  AdvancedSubStationAlpha = 8,  // v4.00+ (.ass)
};

// Text columns of a row.
enum Column : int { kStart = 0, kEnd = 1, kLine1 = 2, kLine2 = 3, kLine3 = 4 };
inline constexpr int kTextColumns = 5;

// One row read across the columns.
struct SubtitleEntry {
  std::u16string start, end, line1, line2, line3;
  bool selected = false;
};

class SubtitleDocument;

// Room for a time cell's text, which the document writes from the time it keeps.
struct TimeBuffer {
  char16_t units[kMaxTimeText];
};

// The cells of one column, read-only, in row order, each a copy.
class ColumnView {
 public:
  class Iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = std::u16string;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::u16string;
    Iterator() = default;
    Iterator(const ColumnView* view, size_t row) : view_(view), row_(row) {}
    reference operator*() const { return (*view_)[row_]; }
    Iterator& operator++() {
      ++row_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++row_;
      return before;
    }
    bool operator==(const Iterator& o) const { return row_ == o.row_; }

   private:
    const ColumnView* view_ = nullptr;
    size_t row_ = 0;
  };

  ColumnView(const SubtitleDocument& doc, int column) : doc_(&doc), column_(column) {}
  size_t size() const;
  std::u16string operator[](size_t row) const;
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }
  operator std::vector<std::u16string>() const { return {begin(), end()}; }
  bool operator==(const std::vector<std::u16string>& cells) const;

 private:
  const SubtitleDocument* doc_;
  int column_;
};

class SubtitleDocument {
 public:
  int Count() const { return static_cast<int>(times_[kStart].size()); }
  bool IsRow(int row) const { return row >= 0 && row < Count(); }

  // The text of any cell. A time cell's is written from the time the document keeps, so loops
  // over many rows read CellView or Time instead.
  std::u16string Cell(int row, int column) const {
    TimeBuffer buf;
    return column < kLine1 ? std::u16string(TimeView(row, column, buf)) : LineCell(row, column);
  }
  // The text of any cell without a copy: a line's own text, or a time cell's written to `buf`.
  std::u16string_view CellView(int row, int column, TimeBuffer& buf) const {
    return column < kLine1 ? TimeView(row, column, buf) : LineCell(row, column);
  }
  // A time cell's text in `form` (TimeForm), as TimeTextAs(Cell(row, column), form) writes it.
  std::u16string_view TimeViewAs(int row, int column, int form, TimeBuffer& buf) const {
    const int64_t time = times_[column][row];
    const size_t n = time >= 0
                         ? WriteClockText(buf.units, time, form)
                         : WriteTimeTextAs(buf.units, Slot(static_cast<uint32_t>(-1 - time)), form);
    return {buf.units, n};
  }
  void SetCell(int row, int column, std::u16string text);
  // A time cell (kStart or kEnd) in seconds, as ParseTimeText reads it.
  double Time(int row, int column) const;
  // Writes the time in the canonical form into the cell.
  void SetTime(int row, int column, double seconds);
  std::u16string Start(int row) const { return Cell(row, kStart); }
  std::u16string End(int row) const { return Cell(row, kEnd); }
  // line: 0, 1 or 2.
  const std::u16string& Line(int row, int line) const { return LineCell(row, kLine1 + line); }
  ColumnView ColumnCells(int column) const { return {*this, column}; }

  bool Selected(int row) const { return selected_[row] != 0; }
  void SetSelected(int row, bool on) { selected_[row] = on ? 1 : 0; }

  SubtitleEntry Entry(int row) const;
  void SetEntry(int row, const SubtitleEntry& e);  // leaves the selected flag as it is

  void AddRow(std::u16string start, std::u16string end, std::u16string line1 = {},
              std::u16string line2 = {}, std::u16string line3 = {});
  // The same with the two times as clocks (CanonicalClock), which readers have at hand.
  void AddTimedRow(int64_t start, int64_t end, std::u16string line1 = {}, std::u16string line2 = {},
                   std::u16string line3 = {});
  // Rows at and after index move down; index == Count() appends. The new row is not selected.
  void InsertRow(int index, std::u16string start, std::u16string end, std::u16string line1 = {},
                 std::u16string line2 = {}, std::u16string line3 = {});
  void RemoveRow(int index);
  // Replaces `count` rows from `first` by `rows` (texts and selection flags) in one pass, so
  // restoring a large range does not shift the columns once per row.
  void ReplaceRows(int first, int count, std::vector<SubtitleEntry> rows);
  // Removes every row (text columns and selection).
  void Empty();
  void ResetSelection();
  void Reserve(int rows);
  // Replaces every row by the rows of `from` (left empty), without copying their texts.
  void TakeRows(SubtitleDocument& from);

  const std::u16string& FilePath() const { return file_path_; }
  void SetFilePath(std::u16string path) { file_path_ = std::move(path); }
  // The legacy code page the file was read in, which saving keeps; empty for UTF-8 and new text.
  const std::string& CodePage() const { return code_page_; }
  void SetCodePage(std::string name) { code_page_ = std::move(name); }
  SubtitleFormat LoadedFormat() const { return loaded_format_; }
  void SetLoadedFormat(SubtitleFormat f) { loaded_format_ = f; }
  bool Changed() const { return changed_; }
  void SetChanged(bool on) { changed_ = on; }
  int CurrentRow() const { return current_row_; }
  void SetCurrentRow(int row) { current_row_ = row; }
  // Keeps the current row valid after rows were removed: at most Count()-1, -1 when empty.
  void ClampCurrentRow();
  int FirstVisibleRow() const { return first_visible_row_; }
  void SetFirstVisibleRow(int row) { first_visible_row_ = row; }

  // Process-wide values kept beside the document.
  bool FrameRateConverted() const { return frame_rate_converted_; }
  void SetFrameRateConverted(bool on) { frame_rate_converted_ = on; }
  // Length of the movie last opened, in 100-nanosecond units; 0 when none.
  int64_t MovieLength() const { return movie_length_; }
  void SetMovieLength(int64_t length) { movie_length_ = length; }

  MessageLog& Log() { return log_; }
  const MessageLog& Log() const { return log_; }
  void AppendLog(std::u16string line) { log_.Append(std::move(line)); }

 private:
  // Most subtitles have one or two lines, and an empty cell still takes a string's 32 bytes: a
  // large file's document would be more than four times the file. So the second and third lines
  // are held as slot numbers (0: empty) into `texts_`, whose strings never move, and the slot of a
  // line that became empty is used again. A time cell is its clock (CanonicalClock), 8 bytes
  // instead of a string and its own block; the rare text that is not in the canonical form (typed,
  // or beyond the clock's hours) is held in a slot, as -1 - slot.
  const std::u16string& Slot(uint32_t slot) const { return slot ? texts_[slot - 1] : kNoText; }
  const std::u16string& LineCell(int row, int column) const {
    return column == kLine1 ? line1_[row] : Slot(slots_[column - kLine2][row]);
  }
  std::u16string_view TimeView(int row, int column, TimeBuffer& buf) const {
    const int64_t time = times_[column][row];
    if (time < 0) return Slot(static_cast<uint32_t>(-1 - time));
    return {buf.units, WriteClockText(buf.units, time)};
  }
  uint32_t NewSlot(std::u16string&& text);
  void FreeSlot(uint32_t slot);
  int64_t NewTime(std::u16string&& text);
  void FreeTime(int64_t time) {
    if (time < 0) FreeSlot(static_cast<uint32_t>(-1 - time));
  }
  // Gives back the slots of rows [first, first + count).
  void FreeRows(int first, int count);

  inline static const std::u16string kNoText;
  std::array<std::vector<int64_t>, 2> times_;
  std::vector<std::u16string> line1_;
  std::array<std::vector<uint32_t>, kTextColumns - kLine2> slots_;
  std::deque<std::u16string> texts_;
  std::vector<uint32_t> free_slots_;
  std::vector<unsigned char> selected_;
  std::u16string file_path_;
  std::string code_page_;
  SubtitleFormat loaded_format_ = SubtitleFormat::SubRip;
  bool changed_ = false;
  int current_row_ = -1;
  int first_visible_row_ = 0;
  bool frame_rate_converted_ = false;
  int64_t movie_length_ = 0;
  MessageLog log_;
};

}  // namespace tessera
