#include "tools/edit_operations.h"

#include <algorithm>
#include <cmath>

#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {
namespace {

// 9 999 hours: the end of time for the last subtitle.
constexpr double kLastPossibleTime = 35996400.0;
constexpr double kMinimumGap = 0.05;

// Times are whole milliseconds; sums of them must compare equal when they are.
bool Before(double a, double b) {
  return a < b - 1e-6;
}

}  // namespace

int EditAdd(SubtitleDocument& doc) {
  double start = 1.0;
  if (doc.Count() > 0) start = doc.Time(doc.Count() - 1, kEnd) + 0.5;
  doc.AddRow(FormatTimeText(start), FormatTimeText(start + 1.0));
  int row = doc.Count() - 1;
  doc.SetCurrentRow(row);
  doc.SetChanged(true);
  return row;
}

int EditInsert(SubtitleDocument& doc, int row, Prompter& prompter) {
  if (doc.Count() == 0) return EditAdd(doc);
  if (!doc.IsRow(row)) {
    prompter.Beep();
    return -1;
  }
  const double start = doc.Time(row, kStart);
  const double previous_end = row == 0 ? 0.0 : doc.Time(row - 1, kEnd);
  const double new_start = previous_end + (start - previous_end) * 0.5;
  const double new_end = new_start + 1.0;
  if (Before(start, new_end)) {
    const double pushed = new_end + kMinimumGap;
    if (Before(doc.Time(row, kEnd) - pushed, 1.0)) {
      prompter.MessageBox(u"Can't insert sub here because next sub will be too short...", {},
                          PromptIcon::Exclamation);
      return -1;
    }
    doc.SetTime(row, kStart, pushed);
  }
  doc.InsertRow(row, FormatTimeText(new_start), FormatTimeText(new_end));
  doc.SetChanged(true);
  return row;
}

bool EditDelete(SubtitleDocument& doc, std::vector<int> rows, Prompter& prompter) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [&](int r) { return !doc.IsRow(r); });
  if (rows.empty()) {
    prompter.Beep();
    return false;
  }
  std::u16string question;
  if (rows.size() == 1) {
    const int r = rows[0];
    question = u"Are you sure to remove this subtitle?\n\r\n\r" + doc.Line(r, 0) + u"\n\r" +
               doc.Line(r, 1) + u"\n\r" + doc.Line(r, 2);
  } else {
    question = u"Are you sure to remove the selected subtitles?";
  }
  if (!prompter.AskYesNo(question)) return false;

  // Compact the kept rows to the front, then cut the tail: one pass however many are removed.
  int write = rows[0];
  size_t next_removed = 0;
  for (int read = rows[0]; read < doc.Count(); ++read) {
    if (next_removed < rows.size() && rows[next_removed] == read) {
      ++next_removed;
      continue;
    }
    doc.SetEntry(write, doc.Entry(read));
    doc.SetSelected(write, doc.Selected(read));
    ++write;
  }
  while (doc.Count() > write) doc.RemoveRow(doc.Count() - 1);

  doc.SetCurrentRow(rows[0]);
  doc.ClampCurrentRow();
  doc.SetChanged(true);
  return true;
}

bool EditRemoveAll(SubtitleDocument& doc, Prompter& prompter) {
  if (!prompter.AskYesNo(u"Are you REALY sure to remove all subtitles ???")) return false;
  doc.Empty();
  doc.SetCurrentRow(-1);
  return true;
}

void EditSetLine(SubtitleDocument& doc, int row, int line, std::u16string text) {
  if (!doc.IsRow(row) || line < 0 || line > 2) return;
  doc.SetCell(row, kLine1 + line, std::move(text));
  doc.SetChanged(true);
}

void EditAuto(SubtitleDocument& doc, int row, double minimum_duration, double seconds_per_char) {
  if (!doc.IsRow(row)) return;
  const double start = doc.Time(row, kStart);
  const double limit =
      (row + 1 < doc.Count() ? doc.Time(row + 1, kStart) : kLastPossibleTime) - kMinimumGap;
  const size_t characters = doc.Line(row, 0).size() + doc.Line(row, 1).size();
  const double duration =
      std::max(minimum_duration, static_cast<double>(characters) * seconds_per_char);
  doc.SetTime(row, kEnd, std::min(start + duration, limit));
  doc.SetChanged(true);
}

bool EditSpinTime(SubtitleDocument& doc, int row, EditSpin spin, bool increase,
                  Prompter& prompter) {
  if (!doc.IsRow(row)) {
    prompter.Beep();
    return false;
  }
  const bool last = row + 1 >= doc.Count();
  double start = doc.Time(row, kStart);
  double end = doc.Time(row, kEnd);
  auto before_next = [&](double new_end) {
    return last || Before(new_end, doc.Time(row + 1, kStart) - kMinimumGap);
  };
  bool allowed;
  if (spin == EditSpin::kStart) {
    const double step = increase ? 0.1 : -0.1;
    start += step;
    end += step;
    if (increase)
      allowed = before_next(end);
    else
      allowed = row == 0 ? Before(0, start) : Before(doc.Time(row - 1, kEnd) + kMinimumGap, start);
  } else {
    end += (spin == EditSpin::kDurationSeconds ? 1.0 : 0.1) * (increase ? 1 : -1);
    allowed = increase ? before_next(end) : Before(start + 0.1, end);
  }
  if (!allowed) {
    prompter.Beep();
    return false;
  }
  if (spin == EditSpin::kStart) doc.SetTime(row, kStart, start);
  doc.SetTime(row, kEnd, end);
  doc.SetChanged(true);
  return true;
}

EditTimeTexts EditTimeDisplay(const SubtitleDocument& doc, int row) {
  if (!doc.IsRow(row)) return {};
  return TimeDisplay(doc.Start(row), doc.End(row));
}

}  // namespace tessera
