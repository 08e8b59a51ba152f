#include "core/undo_history.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>

namespace tessera {
namespace {

constexpr unsigned kAllColumns = (1u << kTextColumns) - 1;
// What the allocator keeps beside each block it hands out.
constexpr size_t kBlockOverhead = 16;

void PutNumber(std::u16string& out, uint32_t n) {
  if (n < 0x8000) {
    out.push_back(static_cast<char16_t>(n));
  } else {
    out.push_back(static_cast<char16_t>(0x8000 | (n >> 16)));
    out.push_back(static_cast<char16_t>(n & 0xFFFF));
  }
}

uint32_t GetNumber(const char16_t*& p) {
  const uint32_t u = *p++;
  if (!(u & 0x8000)) return u;
  return ((u & 0x7FFF) << 16) | *p++;
}

struct Record {
  int32_t row = 0;
  unsigned mask = 0;
  std::u16string_view cells[kTextColumns];
};

class Packer {
 public:
  // `cell(c)` gives the text of column c of `row`.
  template <typename CellOf>
  void Add(int32_t row, unsigned mask, CellOf cell) {
    PutNumber(out_, static_cast<uint32_t>(row - prev_ - 1));
    prev_ = row;
    out_.push_back(static_cast<char16_t>(mask));
    for (int c = 0; c < kTextColumns; ++c) {
      if (!(mask & (1u << c))) continue;
      const std::u16string_view text = cell(c);
      PutNumber(out_, static_cast<uint32_t>(text.size()));
      out_.append(text);
    }
  }
  std::u16string Take() {
    out_.shrink_to_fit();
    return std::move(out_);
  }

 private:
  std::u16string out_;
  int32_t prev_ = -1;
};

template <typename F>
void ForEachRecord(const std::u16string& packed, F f) {
  const char16_t* p = packed.data();
  const char16_t* end = p + packed.size();
  Record r;
  r.row = -1;
  while (p < end) {
    r.row += static_cast<int32_t>(GetNumber(p)) + 1;
    r.mask = *p++;
    for (int c = 0; c < kTextColumns; ++c) {
      if (!(r.mask & (1u << c))) {
        r.cells[c] = {};
        continue;
      }
      const uint32_t len = GetNumber(p);
      r.cells[c] = std::u16string_view(p, len);
      p += len;
    }
    f(r);
  }
}

std::vector<Record> Records(const std::u16string& packed) {
  std::vector<Record> out;
  ForEachRecord(packed, [&](const Record& r) { out.push_back(r); });
  return out;
}

// Equality by bytes: char16_t's traits compare one unit at a time.
bool Same(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(char16_t)) == 0;
}

uint64_t Hash(std::u16string_view packed) {
  return std::hash<std::u16string_view>{}(packed);
}

// Selected rows as runs [start, end).
std::vector<uint32_t> SelectionRuns(const SubtitleDocument& doc) {
  std::vector<uint32_t> runs;
  const int n = doc.Count();
  for (int i = 0; i < n;) {
    if (!doc.Selected(i)) {
      ++i;
      continue;
    }
    const int start = i;
    while (i < n && doc.Selected(i)) ++i;
    runs.push_back(static_cast<uint32_t>(start));
    runs.push_back(static_cast<uint32_t>(i));
  }
  return runs;
}

void ApplySelectionRuns(SubtitleDocument& doc, const std::vector<uint32_t>& runs) {
  doc.ResetSelection();
  const uint32_t n = static_cast<uint32_t>(doc.Count());
  for (size_t k = 0; k + 1 < runs.size(); k += 2)
    for (uint32_t i = runs[k]; i < runs[k + 1] && i < n; ++i)
      doc.SetSelected(static_cast<int>(i), true);
}

// Gives the heap back; assigning {} would keep the capacity.
template <typename T>
void Release(T& x) {
  T().swap(x);
}

size_t HeapOf(const std::u16string& s) {
  const auto* data = reinterpret_cast<const char*>(s.data());
  const auto* self = reinterpret_cast<const char*>(&s);
  if (data >= self && data < self + sizeof s) return 0;  // kept inside the object
  return (s.capacity() + 1) * sizeof(char16_t) + kBlockOverhead;
}

template <typename T>
size_t HeapOf(const std::vector<T>& v) {
  return v.capacity() ? v.capacity() * sizeof(T) + kBlockOverhead : 0;
}

// The document's side of a step holding `held`, packed the same way.
std::u16string DocSide(const std::u16string& held, bool splice, int32_t first, int32_t doc_rows,
                       const SubtitleDocument& doc) {
  Packer packer;
  TimeBuffer buf;  // each cell is packed before the next is read
  if (splice) {
    for (int32_t r = first; r < first + doc_rows; ++r)
      packer.Add(r, kAllColumns, [&](int c) { return doc.CellView(r, c, buf); });
  } else {
    ForEachRecord(held, [&](const Record& rec) {
      packer.Add(rec.row, rec.mask, [&](int c) { return doc.CellView(rec.row, c, buf); });
    });
  }
  return packer.Take();
}

}  // namespace

UndoHistory::UndoHistory(size_t max_steps) : max_steps_(max_steps) {}

void UndoHistory::Observe(const SubtitleDocument& doc, bool beginning) {
  const auto here = static_cast<std::ptrdiff_t>(done_);
  if (!doc.Changed()) {
    // Typing after a save starts a new step, so the saved state stays reachable.
    if (beginning && clean_ != here) mergeable_ = false;
    clean_ = here;
  } else if (clean_ == here) {
    clean_ = -1;
  }
}

void UndoHistory::DropPending() {
  pending_ = PendingKind::kNone;
  Release(snap_text_);
  Release(snap_ends_);
  Release(snap_selection_);
  for (auto& cell : snap_row_cells_) Release(cell);
}

void UndoHistory::Begin(const SubtitleDocument& doc) {
  DropPending();
  Observe(doc, true);
  pending_ = PendingKind::kDocument;
  snap_count_ = doc.Count();
  snap_current_ = doc.CurrentRow();
  // The lines' own sizes and the usual time's 11 units ("0:00:00.000"): a longer time text only
  // grows the room once more.
  size_t total = static_cast<size_t>(snap_count_) * 2 * 11;
  for (int r = 0; r < snap_count_; ++r)
    for (int k = 0; k < 3; ++k) total += doc.Line(r, k).size();
  snap_text_.reserve(total);
  snap_ends_.reserve(static_cast<size_t>(snap_count_) * kTextColumns);
  TimeBuffer buf;
  for (int r = 0; r < snap_count_; ++r) {
    for (int c = 0; c < kTextColumns; ++c) {
      snap_text_ += doc.CellView(r, c, buf);
      snap_ends_.push_back(snap_text_.size());
    }
  }
  snap_selection_ = SelectionRuns(doc);
}

void UndoHistory::BeginRow(const SubtitleDocument& doc, int row) {
  if (!doc.IsRow(row)) {
    Begin(doc);
    return;
  }
  DropPending();
  Observe(doc, true);
  pending_ = PendingKind::kRow;
  snap_count_ = doc.Count();
  snap_current_ = doc.CurrentRow();
  snap_row_ = row;
  for (int c = 0; c < kTextColumns; ++c) snap_row_cells_[c] = doc.Cell(row, c);
}

bool UndoHistory::Commit(const SubtitleDocument& doc, std::u16string label,
                         std::u16string merge_key) {
  if (pending_ == PendingKind::kNone) return false;
  Step step;
  Packer packer;
  TimeBuffer buf;
  bool any = false;
  if (pending_ == PendingKind::kRow) {
    unsigned mask = 0;
    if (doc.Count() == snap_count_) {
      for (int c = 0; c < kTextColumns; ++c)
        if (!Same(doc.CellView(snap_row_, c, buf), snap_row_cells_[c])) mask |= 1u << c;
    }
    if (mask) {
      packer.Add(snap_row_, mask, [&](int c) { return std::u16string_view(snap_row_cells_[c]); });
      any = true;
    }
  } else {
    const int32_t n0 = snap_count_;
    const int32_t n1 = doc.Count();
    auto snap_cell = [&](int32_t row, int c) {
      const size_t i = static_cast<size_t>(row) * kTextColumns + c;
      const size_t begin = i ? snap_ends_[i - 1] : 0;
      return std::u16string_view(snap_text_).substr(begin, snap_ends_[i] - begin);
    };
    auto differing = [&](int32_t r0, int32_t r1) {
      unsigned mask = 0;
      for (int c = 0; c < kTextColumns; ++c)
        if (!Same(snap_cell(r0, c), doc.CellView(r1, c, buf))) mask |= 1u << c;
      return mask;
    };
    const int32_t shorter = std::min(n0, n1);
    int32_t prefix = 0;
    while (prefix < shorter && !differing(prefix, prefix)) ++prefix;
    int32_t suffix = 0;
    while (suffix < shorter - prefix && !differing(n0 - 1 - suffix, n1 - 1 - suffix)) ++suffix;
    if (n0 == n1) {
      for (int32_t r = prefix; r < n0 - suffix; ++r) {
        if (const unsigned mask = differing(r, r)) {
          packer.Add(r, mask, [&](int c) { return snap_cell(r, c); });
          any = true;
        }
      }
    } else {
      step.splice = true;
      step.first = prefix;
      step.held_rows = n0 - prefix - suffix;
      step.doc_rows = n1 - prefix - suffix;
      for (int32_t r = prefix; r < prefix + step.held_rows; ++r)
        packer.Add(r, kAllColumns, [&](int c) { return snap_cell(r, c); });
      any = true;
    }
    step.has_selection = true;
    step.selection_before = std::move(snap_selection_);
    step.selection_after = SelectionRuns(doc);
  }
  step.count_before = snap_count_;
  step.current_before = snap_current_;
  DropPending();
  if (!any) {
    Observe(doc, false);
    return false;
  }
  step.rows = packer.Take();
  step.check = Hash(DocSide(step.rows, step.splice, step.first, step.doc_rows, doc));
  step.count_after = doc.Count();
  step.current_after = doc.CurrentRow();
  step.label = std::move(label);
  step.merge_key = std::move(merge_key);

  bool recorded = false;
  if (!step.merge_key.empty() && mergeable_ && done_ > 0 && done_ == steps_.size() &&
      steps_.back().merge_key == step.merge_key) {
    recorded = Merge(steps_.back(), step, doc);
  }
  if (!recorded) {
    const bool keyed = !step.merge_key.empty();
    recorded = Push(std::move(step));
    mergeable_ = recorded && keyed;
  }
  Observe(doc, false);
  return recorded;
}

bool UndoHistory::Push(Step step) {
  if (max_steps_ == 0) return false;
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(done_), steps_.end());
  if (clean_ > static_cast<std::ptrdiff_t>(done_)) clean_ = -1;
  steps_.push_back(std::move(step));
  ++done_;
  if (steps_.size() > max_steps_) {
    steps_.erase(steps_.begin());
    --done_;
    if (clean_ >= 0) --clean_;
  }
  return true;
}

// Folds `next` into `top` when both keep the row count: `top` keeps its own earlier texts and
// takes those of `next` for the cells it did not hold yet.
bool UndoHistory::Merge(Step& top, Step& next, const SubtitleDocument& doc) {
  if (top.splice || next.splice || top.count_after != next.count_before) return false;
  const std::vector<Record> a = Records(top.rows);
  const std::vector<Record> b = Records(next.rows);
  Packer packer;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (j == b.size() || (i < a.size() && a[i].row < b[j].row)) {
      const Record& r = a[i++];
      packer.Add(r.row, r.mask, [&](int c) { return r.cells[c]; });
    } else if (i == a.size() || b[j].row < a[i].row) {
      const Record& r = b[j++];
      packer.Add(r.row, r.mask, [&](int c) { return r.cells[c]; });
    } else {
      const Record& old = a[i++];
      const Record& more = b[j++];
      packer.Add(old.row, old.mask | more.mask,
                 [&](int c) { return (old.mask & (1u << c)) ? old.cells[c] : more.cells[c]; });
    }
  }
  top.rows = packer.Take();
  top.check = Hash(DocSide(top.rows, false, 0, 0, doc));
  top.count_after = next.count_after;
  top.current_after = next.current_after;
  top.label = std::move(next.label);
  if (next.has_selection) {
    if (!top.has_selection) top.selection_before = std::move(next.selection_before);
    top.has_selection = true;
    top.selection_after = std::move(next.selection_after);
  }
  return true;
}

void UndoHistory::Abandon() {
  DropPending();
}

bool UndoHistory::Pending() const {
  return pending_ != PendingKind::kNone;
}

void UndoHistory::SealMerge() {
  mergeable_ = false;
}

bool UndoHistory::CanUndo() const {
  return done_ > 0;
}

bool UndoHistory::CanRedo() const {
  return done_ < steps_.size();
}

std::u16string UndoHistory::UndoLabel() const {
  return CanUndo() ? steps_[done_ - 1].label : std::u16string();
}

std::u16string UndoHistory::RedoLabel() const {
  return CanRedo() ? steps_[done_].label : std::u16string();
}

bool UndoHistory::Swap(Step& step, SubtitleDocument& doc, bool undo) {
  if (doc.Count() != (undo ? step.count_after : step.count_before)) return false;
  std::u16string mine = DocSide(step.rows, step.splice, step.first, step.doc_rows, doc);
  if (Hash(mine) != step.check) return false;
  if (step.splice) {
    std::vector<SubtitleEntry> entries;
    entries.reserve(static_cast<size_t>(step.held_rows));
    ForEachRecord(step.rows, [&](const Record& r) {
      entries.push_back({std::u16string(r.cells[kStart]), std::u16string(r.cells[kEnd]),
                         std::u16string(r.cells[kLine1]), std::u16string(r.cells[kLine2]),
                         std::u16string(r.cells[kLine3]), false});
    });
    doc.ReplaceRows(step.first, step.doc_rows, std::move(entries));
    std::swap(step.held_rows, step.doc_rows);
  } else {
    ForEachRecord(step.rows, [&](const Record& r) {
      for (int c = 0; c < kTextColumns; ++c)
        if (r.mask & (1u << c)) doc.SetCell(r.row, c, std::u16string(r.cells[c]));
    });
  }
  step.check = Hash(step.rows);
  step.rows = std::move(mine);
  if (step.has_selection)
    ApplySelectionRuns(doc, undo ? step.selection_before : step.selection_after);
  doc.SetCurrentRow(undo ? step.current_before : step.current_after);
  return true;
}

bool UndoHistory::Undo(SubtitleDocument& doc) {
  DropPending();
  if (!CanUndo()) return false;
  Observe(doc, false);
  if (!Swap(steps_[done_ - 1], doc, true)) {
    Clear();
    return false;
  }
  --done_;
  doc.SetChanged(clean_ != static_cast<std::ptrdiff_t>(done_));
  mergeable_ = false;
  return true;
}

bool UndoHistory::Redo(SubtitleDocument& doc) {
  DropPending();
  if (!CanRedo()) return false;
  Observe(doc, false);
  if (!Swap(steps_[done_], doc, false)) {
    Clear();
    return false;
  }
  ++done_;
  doc.SetChanged(clean_ != static_cast<std::ptrdiff_t>(done_));
  mergeable_ = false;
  return true;
}

void UndoHistory::Clear() {
  DropPending();
  Release(steps_);
  done_ = 0;
  clean_ = -1;
  mergeable_ = false;
}

size_t UndoHistory::Steps() const {
  return done_;
}

size_t UndoHistory::MemoryBytes() const {
  size_t bytes = HeapOf(steps_);
  for (const Step& s : steps_) {
    bytes += HeapOf(s.label) + HeapOf(s.merge_key) + HeapOf(s.rows) + HeapOf(s.selection_before) +
             HeapOf(s.selection_after);
  }
  bytes += HeapOf(snap_text_) + HeapOf(snap_ends_) + HeapOf(snap_selection_);
  for (const auto& cell : snap_row_cells_) bytes += HeapOf(cell);
  return bytes;
}

}  // namespace tessera
