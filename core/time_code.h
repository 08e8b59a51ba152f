// Times as real seconds and their three text forms.
#pragma once

#include <string>
#include <string_view>

namespace tessera {

enum TimeForm : int {
  kSubRipForm = 0,     // 00:01:02,345
  kSsaForm = 1,        // 0:01:02.34
  kCanonicalForm = 5,  // 0:01:02.345 (any other code)
};

// Seconds plus half a millisecond, so that FormatTimeText, which truncates, writes the same
// milliseconds back.
double ParseTimeText(std::u16string_view text);
// The same seconds without that half millisecond, for a time used as a distance: added to a time
// that ParseTimeText read, it must not bring its own half millisecond, or the sum is written one
// millisecond late.
double ParseTimeOffset(std::u16string_view text);
// A negative time is written as zero.
std::u16string FormatTimeText(double seconds, int form = kCanonicalForm);

}  // namespace tessera
