// Moving and stretching the times of all subtitles or of a selected block.
#pragma once

#include <optional>
#include <string_view>

#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

enum class SyncScope : int { kAll = 0, kSelection = 1 };

// Zero-based rows first..last; empty when last < first.
struct RowRange {
  int first = 0;
  int last = -1;
  bool Empty() const { return first < 0 || last < first; }
};

// Move works on the first contiguous block of selected rows.
RowRange MoveRange(const SubtitleDocument& doc, SyncScope scope);
// Stretch starts at the first selected row and is as long as the selection, contiguous or not.
RowRange StretchRange(const SubtitleDocument& doc, SyncScope scope);

// Seconds, signed: negative is sooner.
struct MoveAmount {
  int minutes = 0, seconds = 0, milliseconds = 0;
  bool later = false;
  double Seconds() const;
};

struct StretchAmount {
  int seconds = 0, milliseconds = 0;
  bool negative = false;
  double Seconds() const;
  // Whole milliseconds of a signed amount in seconds.
  static StretchAmount FromSeconds(double seconds);
};

// Adds `amount` seconds to the start and end of the range's entries (only selected ones in the
// Selection scope). A move that would make the range touch or overlap a neighbour, or start
// before 0, is refused with a message box. The changed flag is set even then. Returns true when
// the times were moved.
bool MoveEntries(SubtitleDocument& doc, RowRange range, double amount, SyncScope scope,
                 Prompter& prompter);

// Rescales the range's times so that its first start stays and its last start moves by the
// amount. A range whose first and last starts are equal, and an amount that would reverse or
// collapse the times (StretchReversesTimes), are refused with a message box (the latter also with
// an "ERROR:" log line) and change nothing. Returns true when the times were changed.
bool StretchEntries(SubtitleDocument& doc, RowRange range, const StretchAmount& amount,
                    Prompter& prompter);

// Whether moving the last start of a range `span` seconds after its first start by `amount`
// seconds would put it at or before the first start (a negative span: at or after).
bool StretchReversesTimes(double span, double amount);

// Logs `text` and shows it in an error box: a stretch that is refused.
void RefuseStretch(SubtitleDocument& doc, const std::u16string& text, Prompter& prompter);

enum class SyncField { kMinutes, kSeconds, kMilliseconds, kStretchSeconds, kStretchMilliseconds };

// One spin-arrow step of a number field; a bound that is hit beeps and gives the bound's value.
int SpinSyncField(SyncField field, int value, bool up, Prompter& prompter);

}  // namespace tessera
