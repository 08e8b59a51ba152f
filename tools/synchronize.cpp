#include "tools/synchronize.h"

#include <cmath>
#include <limits>

#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {
namespace {

int FirstSelected(const SubtitleDocument& doc) {
  for (int row = 0; row < doc.Count(); ++row)
    if (doc.Selected(row)) return row;
  return -1;
}

// Times are whole milliseconds; sums of them must compare equal when they are.
bool AtOrBefore(double a, double b) {
  return a <= b + 1e-6;
}

bool ValidRange(const SubtitleDocument& doc, RowRange range) {
  return !range.Empty() && range.last < doc.Count();
}

}  // namespace

RowRange MoveRange(const SubtitleDocument& doc, SyncScope scope) {
  if (scope == SyncScope::kAll) return {0, doc.Count() - 1};
  int first = FirstSelected(doc);
  if (first < 0) return {0, -1};
  int last = first;
  while (last + 1 < doc.Count() && doc.Selected(last + 1)) ++last;
  return {first, last};
}

RowRange StretchRange(const SubtitleDocument& doc, SyncScope scope) {
  if (scope == SyncScope::kAll) return {0, doc.Count() - 1};
  int first = FirstSelected(doc);
  if (first < 0) return {-1, -2};
  int selected = 0;
  for (int row = first; row < doc.Count(); ++row) selected += doc.Selected(row) ? 1 : 0;
  return {first, first + selected - 1};
}

double MoveAmount::Seconds() const {
  double s = minutes * 60.0 + seconds + milliseconds / 1000.0;
  return later ? s : -s;
}

double StretchAmount::Seconds() const {
  double s = milliseconds / 1000.0 + seconds;
  return negative ? -s : s;
}

StretchAmount StretchAmount::FromSeconds(double seconds) {
  StretchAmount a;
  a.negative = seconds < 0;
  double ms = std::round(std::fabs(seconds) * 1000);
  if (!(ms < 2.0e12)) ms = 2.0e12;  // keeps the whole seconds inside an int
  a.seconds = static_cast<int>(ms / 1000);
  a.milliseconds = static_cast<int>(ms - a.seconds * 1000.0);
  return a;
}

bool MoveEntries(SubtitleDocument& doc, RowRange range, double amount, SyncScope scope,
                 Prompter& prompter) {
  doc.SetChanged(true);
  if (!ValidRange(doc, range)) return false;
  const int first = range.first, last = range.last;
  const bool later = amount >= 0;
  bool overlap = false;
  if (!later) {
    // The parsed start carries half a millisecond, so a move to exactly 0 passes.
    double limit = first == 0 ? 0.0 : doc.Time(first - 1, kEnd);
    overlap = AtOrBefore(doc.Time(first, kStart) + amount, limit);
  } else if (last + 1 < doc.Count()) {
    overlap = AtOrBefore(doc.Time(last + 1, kStart), doc.Time(last, kEnd) + amount);
  }
  if (overlap) {
    prompter.MessageBox(u"ERROR: Movement will cause overlapping subtitles.", {},
                        PromptIcon::Error);
    return false;
  }
  const char* word = later ? "to the end" : "to the beginning";
  if (scope == SyncScope::kAll)
    doc.AppendLog(Format("Moving all subtitles %0.3f seconds %s...", std::fabs(amount), word));
  else
    doc.AppendLog(Format("Moving selection %d - %d %0.3f seconds %s...", first, last,
                         std::fabs(amount), word));
  for (int row = first; row <= last; ++row) {
    if (scope == SyncScope::kSelection && !doc.Selected(row)) continue;
    for (int column : {kStart, kEnd}) doc.SetTime(row, column, doc.Time(row, column) + amount);
  }
  doc.AppendLog(u"Done.");
  return true;
}

bool StretchEntries(SubtitleDocument& doc, RowRange range, const StretchAmount& amount,
                    Prompter& prompter) {
  if (!ValidRange(doc, range)) return false;
  const int first = range.first, last = range.last;
  const double t0 = doc.Time(first, kStart);
  const double span = doc.Time(last, kStart) - t0;
  if (span == 0) {
    prompter.MessageBox(u"ERROR: Stretching needs two subtitles with different start times.", {},
                        PromptIcon::Error);
    return false;
  }
  const double stretch = amount.Seconds();
  if (StretchReversesTimes(span, stretch)) {
    RefuseStretch(doc,
                  Format("ERROR: Stretching by %0.3f seconds would move the last start to or "
                         "before the first one.",
                         stretch),
                  prompter);
    return false;
  }
  doc.SetChanged(true);
  doc.AppendLog(Format("Stretching subs %d to %d - %d sec %d milliseconds...", first, last,
                       amount.seconds, amount.milliseconds));
  for (int row = first; row <= last; ++row) {
    for (int column : {kStart, kEnd}) {
      double t = doc.Time(row, column);
      doc.SetTime(row, column, t + (t - t0) / span * stretch);
    }
  }
  doc.AppendLog(u"Done.");
  return true;
}

bool StretchReversesTimes(double span, double amount) {
  return span > 0 ? AtOrBefore(span + amount, 0) : AtOrBefore(0, span + amount);
}

void RefuseStretch(SubtitleDocument& doc, const std::u16string& text, Prompter& prompter) {
  doc.AppendLog(text);
  prompter.MessageBox(text, {}, PromptIcon::Error);
}

int SpinSyncField(SyncField field, int value, bool up, Prompter& prompter) {
  int step = 1;
  int ceiling = std::numeric_limits<int>::max();  // at or above it: beep, show `top`
  int top = ceiling;
  switch (field) {
    case SyncField::kMinutes:
      break;
    case SyncField::kSeconds:
      ceiling = 60;
      top = 59;
      break;
    case SyncField::kMilliseconds:
    case SyncField::kStretchMilliseconds:
      step = 100;
      ceiling = 1000;
      top = 900;
      break;
    case SyncField::kStretchSeconds:
      ceiling = 1000;
      top = 900;
      break;
  }
  long long next = static_cast<long long>(value) + (up ? step : -step);
  if (next < 0) {
    prompter.Beep();
    return 0;
  }
  if (next >= ceiling) {
    prompter.Beep();
    return top;
  }
  return static_cast<int>(next);
}

}  // namespace tessera
