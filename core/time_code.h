// Times as real seconds and their three text forms.
#pragma once

#include <cstdint>
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
// FormatTimeText's text written to `buf`, which has room for kMaxTimeText units; returns its
// length. For callers that put it in place of a text they already hold.
inline constexpr size_t kMaxTimeText = 40;
size_t WriteTimeText(char16_t* buf, double seconds, int form = kCanonicalForm);
// FormatTimeText's text added to the end of `out`, for writers that build a whole file.
void AppendTimeText(std::u16string& out, double seconds, int form = kCanonicalForm);
// A time text in the given form, exactly as AppendTimeText(out, ParseTimeText(text), form) and
// FormatTimeText(ParseTimeText(text), form) write it. Readers and writers turn every time of a
// file from one form into another, so the usual texts are rewritten without the arithmetic.
void AppendTimeTextAs(std::u16string& out, std::u16string_view text, int form = kCanonicalForm);
std::u16string TimeTextAs(std::u16string_view text, int form = kCanonicalForm);
// TimeTextAs's text written to `buf`, which has room for kMaxTimeText units; returns its length.
size_t WriteTimeTextAs(char16_t* buf, std::u16string_view text, int form = kCanonicalForm);

// A time as the document keeps it: the milliseconds since zero of a text in the canonical form,
// which FormatTimeText writes, with at most kMaxClockHourDigits hour digits. Such a text and its
// clock give each other back exactly; CanonicalClock gives -1 for every other text.
inline constexpr size_t kMaxClockHourDigits = 8;
int64_t CanonicalClock(std::u16string_view text);
// The clock's text in `form`, exactly as TimeTextAs(canonical text, form) writes it, to `buf`
// (kMaxTimeText units); returns its length.
size_t WriteClockText(char16_t* buf, int64_t clock, int form = kCanonicalForm);
// ParseTimeText of the clock's text, to the last bit.
double ClockSeconds(int64_t clock);
// The clock of FormatTimeText(seconds), or -1 when that text has none.
int64_t TimeClock(double seconds);
// The clock of TimeTextAs(text), or -1 when that text has none.
int64_t TimeTextClock(std::u16string_view text);

enum class DurationForm {
  kTwoDigitSeconds,    // the lists' "Duration" column: "12.500", "00.800"
  kLeadingZeroDropped  // the Fix Errors table and its warnings: "12.500", "0.800"
};
// A duration as the seconds field of the canonical form with its milliseconds; minutes and hours
// are left out (75 s reads "15.000") and a negative duration reads as zero.
std::u16string DurationText(double seconds, DurationForm form = DurationForm::kTwoDigitSeconds);
// End minus start of two time texts, in the lists' form.
std::u16string DurationText(std::u16string_view start, std::u16string_view end);

// The start display and the two duration displays of the Edit and Play Movie pages: the start
// text as it stands, the whole seconds of the duration within the minute as "%2d" and its
// milliseconds as "%03d" (2.5 s shows " 2" and "500", 75.25 s "15" and "250").
struct TimeDisplayTexts {
  std::u16string start, seconds, milliseconds;
};
TimeDisplayTexts TimeDisplay(std::u16string_view start, std::u16string_view end);

}  // namespace tessera
