#include "core/time_code.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/text_util.h"

namespace tessera {

namespace {

constexpr double kParseBias = 0.0005;

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// The fields of the forms files and the document use, "H:MM:SS", then "." or "," and digits, read
// in one pass; false for anything else, which the general reading takes.
bool ReadClockFields(std::u16string_view text, long long& hours, long long& minutes,
                     long long& secs, size_t& fraction) {
  size_t i = 0;
  hours = 0;
  while (i < text.size() && i < 9 && IsDigit(text[i])) hours = hours * 10 + (text[i++] - u'0');
  if (i == 0 || i + 6 > text.size() || text[i] != u':' || text[i + 3] != u':') return false;
  auto two = [&text](size_t at, long long& v) {
    if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) return false;
    v = (text[at] - u'0') * 10 + (text[at + 1] - u'0');
    return true;
  };
  if (!two(i + 1, minutes) || !two(i + 4, secs)) return false;
  i += 6;
  fraction = std::u16string_view::npos;
  if (i == text.size()) return true;
  if (text[i] != u'.' && text[i] != u',') return false;
  fraction = i;
  for (++i; i < text.size(); ++i)
    if (!IsDigit(text[i])) return false;
  return true;
}

// The one sum of a time's fields, so that a time kept as a clock reads as its text does, to the
// last bit.
double ClockFieldSeconds(long long hours, long long minutes, long long secs, const int* digits,
                         int n) {
  double fraction = 0;
  double scale = 0.1;
  for (int i = 0; i < n; ++i) {
    fraction += digits[i] * scale;
    scale /= 10;
  }
  return static_cast<double>(hours) * 3600 + static_cast<double>(minutes) * 60 +
         static_cast<double>(secs) + fraction;
}

}  // namespace

double ParseTimeOffset(std::u16string_view text) {
  const auto npos = std::u16string_view::npos;
  long long hours, minutes, secs;
  size_t c;
  if (!ReadClockFields(text, hours, minutes, secs, c)) {
    // Read as if "0" stood before the text, so that the hours of a text that starts with
    // anything but a digit are 0.
    size_t a = text.find(u':');
    size_t b = text.find(u':', a == npos ? 0 : a + 1);
    c = text.find(u'.', b == npos ? 0 : b + 1);
    if (c == npos) c = text.find(u',', b == npos ? 0 : b + 1);
    auto field = [&](size_t colon) -> long long {
      if (colon == npos) return !text.empty() && IsDigit(text[0]) ? ToInteger(text) : 0;
      return ToInteger(text.substr(colon + 1));
    };
    hours = field(npos);
    minutes = field(a);
    secs = field(b);
  }
  int digits[3];
  int n = 0;
  if (c != npos)
    for (size_t i = c + 1; i < text.size() && i <= c + 3 && IsDigit(text[i]); ++i)
      digits[n++] = text[i] - u'0';
  return ClockFieldSeconds(hours, minutes, secs, digits, n);
}

double ParseTimeText(std::u16string_view text) {
  return ParseTimeOffset(text) + kParseBias;
}

namespace {

// The clock fields in the given form; `ms` within 0-999. Written by hand: each time the tools
// compute (moves, stretches, frame rates) is written through here.
size_t WriteClock(char16_t* buf, int64_t hours, int64_t minutes, int64_t secs, int64_t ms,
                  int form) {
  char16_t* o = buf;
  auto digit = [&o](int64_t v) { *o++ = static_cast<char16_t>(u'0' + v); };
  if (hours < 10) {
    if (form == kSubRipForm) digit(0);
    digit(hours);
  } else {
    char16_t tmp[24];
    int k = 0;
    for (int64_t v = hours; v > 0; v /= 10) tmp[k++] = static_cast<char16_t>(u'0' + v % 10);
    while (k > 0) *o++ = tmp[--k];
  }
  *o++ = u':';
  digit(minutes / 10);
  digit(minutes % 10);
  *o++ = u':';
  digit(secs / 10);
  digit(secs % 10);
  *o++ = form == kSubRipForm ? u',' : u'.';
  digit(ms / 100);
  digit(ms / 10 % 10);
  if (form != kSsaForm) digit(ms % 10);
  return static_cast<size_t>(o - buf);
}

// The whole seconds and milliseconds that the text of `seconds` shows.
void SplitSeconds(double seconds, int64_t& whole, int64_t& ms) {
  double d = seconds + 0.00001;
  if (!(d > 0) || !std::isfinite(d)) d = 0;  // negative, NaN or infinite: zero
  if (d > 9.0e15) d = 9.0e15;                // keeps the whole seconds within 64 bits
  whole = static_cast<int64_t>(d);
  ms = static_cast<int64_t>((d - static_cast<double>(whole)) * 1000);
  if (ms > 999) ms = 999;
}

}  // namespace

size_t WriteTimeText(char16_t* buf, double seconds, int form) {
  int64_t whole, ms;
  SplitSeconds(seconds, whole, ms);
  return WriteClock(buf, whole / 3600, whole % 3600 / 60, whole % 60, ms, form);
}

int64_t TimeClock(double seconds) {
  int64_t whole, ms;
  SplitSeconds(seconds, whole, ms);
  constexpr int64_t kClockHours = 100'000'000;  // kMaxClockHourDigits
  return whole < kClockHours * 3600 ? whole * 1000 + ms : -1;
}

void AppendTimeText(std::u16string& out, double seconds, int form) {
  char16_t buf[kMaxTimeText];
  out.append(buf, WriteTimeText(buf, seconds, form));
}

namespace {

// "H:MM:SS" or "HH:MM:SS", minutes and seconds below 60, "." or "," and one to three fraction
// digits: the forms of every file and of the document, whose fields are taken as they stand
// (tested against the arithmetic). Gives the hour and fraction digits; false for anything else,
// which takes the arithmetic.
bool IsUsualTime(std::u16string_view text, size_t& h, size_t& digits) {
  const char16_t* t = text.data();
  const size_t n = text.size();
  h = n > 1 && t[1] == u':' ? 1 : 2;
  digits = n - h - 7;  // wraps when too short
  auto sixty = [](char16_t tens, char16_t ones) {
    return tens >= u'0' && tens <= u'5' && IsDigit(ones);
  };
  bool usual = n >= h + 8 && digits <= 3 && IsDigit(t[0]) && IsDigit(t[h - 1]) && t[h] == u':' &&
               sixty(t[h + 1], t[h + 2]) && t[h + 3] == u':' && sixty(t[h + 4], t[h + 5]) &&
               (t[h + 6] == u'.' || t[h + 6] == u',');
  for (size_t k = h + 7; usual && k < n; ++k) usual = IsDigit(t[k]);
  return usual;
}

}  // namespace

size_t WriteTimeTextAs(char16_t* buf, std::u16string_view text, int form) {
  size_t h, digits;
  if (!IsUsualTime(text, h, digits)) return WriteTimeText(buf, ParseTimeText(text), form);
  const char16_t* t = text.data();
  char16_t* o = buf;
  if (h == 2 && t[0] != u'0')
    *o++ = t[0];
  else if (form == kSubRipForm)
    *o++ = u'0';
  *o++ = t[h - 1];
  std::memcpy(o, t + h, 6 * sizeof(char16_t));  // ":MM:SS"
  o[6] = form == kSubRipForm ? u',' : u'.';
  o[7] = t[h + 7];
  o[8] = digits > 1 ? t[h + 8] : u'0';
  if (form == kSsaForm) return static_cast<size_t>(o + 9 - buf);
  o[9] = digits > 2 ? t[h + 9] : u'0';
  return static_cast<size_t>(o + 10 - buf);
}

void AppendTimeTextAs(std::u16string& out, std::u16string_view text, int form) {
  char16_t buf[kMaxTimeText];
  out.append(buf, WriteTimeTextAs(buf, text, form));
}

std::u16string TimeTextAs(std::u16string_view text, int form) {
  char16_t buf[kMaxTimeText];
  return std::u16string(buf, WriteTimeTextAs(buf, text, form));
}

int64_t CanonicalClock(std::u16string_view text) {
  const size_t n = text.size();
  if (n < 11 || n > kMaxClockHourDigits + 10 || !IsDigit(text[0])) return -1;
  const size_t h = n - 10;  // hour digits
  if (h > 1 && text[0] == u'0') return -1;
  int64_t hours = 0;
  for (size_t i = 0; i < h; ++i) {
    if (!IsDigit(text[i])) return -1;
    hours = hours * 10 + (text[i] - u'0');
  }
  const char16_t* t = text.data() + h;
  auto digit = [](char16_t c, char16_t last) { return c >= u'0' && c <= last; };
  if (t[0] != u':' || !digit(t[1], u'5') || !digit(t[2], u'9') || t[3] != u':' ||
      !digit(t[4], u'5') || !digit(t[5], u'9') || t[6] != u'.' || !digit(t[7], u'9') ||
      !digit(t[8], u'9') || !digit(t[9], u'9'))
    return -1;
  const int64_t minutes = (t[1] - u'0') * 10 + (t[2] - u'0');
  const int64_t secs = (t[4] - u'0') * 10 + (t[5] - u'0');
  const int64_t ms = (t[7] - u'0') * 100 + (t[8] - u'0') * 10 + (t[9] - u'0');
  return ((hours * 60 + minutes) * 60 + secs) * 1000 + ms;
}

size_t WriteClockText(char16_t* buf, int64_t clock, int form) {
  if (clock < 10 * 3600 * 1000) {
    // One hour digit, as nearly every film: the fields in 32 bits, written in place.
    const auto c = static_cast<uint32_t>(clock);
    const uint32_t whole = c / 1000, ms = c % 1000, minutes = whole / 60 % 60, secs = whole % 60;
    char16_t* o = buf;
    if (form == kSubRipForm) *o++ = u'0';
    auto digit = [](uint32_t v) { return static_cast<char16_t>(u'0' + v); };
    o[0] = digit(whole / 3600);
    o[1] = u':';
    o[2] = digit(minutes / 10);
    o[3] = digit(minutes % 10);
    o[4] = u':';
    o[5] = digit(secs / 10);
    o[6] = digit(secs % 10);
    o[7] = form == kSubRipForm ? u',' : u'.';
    o[8] = digit(ms / 100);
    o[9] = digit(ms / 10 % 10);
    if (form == kSsaForm) return static_cast<size_t>(o + 10 - buf);
    o[10] = digit(ms % 10);
    return static_cast<size_t>(o + 11 - buf);
  }
  const int64_t whole = clock / 1000;
  if (whole >= 100 * 3600 && form != kCanonicalForm) {
    // Beyond the usual forms' two hour digits TimeTextAs takes the arithmetic.
    char16_t text[kMaxTimeText];
    return WriteTimeTextAs(buf, {text, WriteClockText(text, clock)}, form);
  }
  return WriteClock(buf, whole / 3600, whole % 3600 / 60, whole % 60, clock % 1000, form);
}

double ClockSeconds(int64_t clock) {
  const int64_t whole = clock / 1000;
  const int ms = static_cast<int>(clock % 1000);
  const int digits[3] = {ms / 100, ms / 10 % 10, ms % 10};
  return ClockFieldSeconds(whole / 3600, whole % 3600 / 60, whole % 60, digits, 3) + kParseBias;
}

int64_t TimeTextClock(std::u16string_view text) {
  size_t h, digits;
  if (!IsUsualTime(text, h, digits)) {
    char16_t buf[kMaxTimeText];
    return CanonicalClock({buf, WriteTimeText(buf, ParseTimeText(text))});
  }
  auto d = [&text](size_t i) -> int64_t { return text[i] - u'0'; };
  const int64_t hours = h == 1 ? d(0) : d(0) * 10 + d(1);
  int64_t ms = d(h + 7) * 100;
  if (digits > 1) ms += d(h + 8) * 10;
  if (digits > 2) ms += d(h + 9);
  return ((hours * 60 + d(h + 1) * 10 + d(h + 2)) * 60 + d(h + 4) * 10 + d(h + 5)) * 1000 + ms;
}

std::u16string FormatTimeText(double seconds, int form) {
  std::u16string out;
  out.reserve(24);
  AppendTimeText(out, seconds, form);
  return out;
}

std::u16string DurationText(double seconds, DurationForm form) {
  std::u16string text = FormatTimeText(seconds);
  text.erase(0, text.size() - 6);  // "SS.mmm"
  if (form == DurationForm::kLeadingZeroDropped && text[0] == u'0') text.erase(0, 1);
  return text;
}

std::u16string DurationText(std::u16string_view start, std::u16string_view end) {
  return DurationText(ParseTimeText(end) - ParseTimeText(start));
}

TimeDisplayTexts TimeDisplay(std::u16string_view start, std::u16string_view end) {
  const double duration = ParseTimeText(end) - ParseTimeText(start);
  const double magnitude = std::fabs(duration);
  const double whole = std::floor(magnitude);
  long long seconds = static_cast<long long>(std::fmod(whole, 60.0));
  long long milliseconds = static_cast<long long>((magnitude - whole + 0.0005) * 1000);
  if (milliseconds > 999) milliseconds = 999;
  if (duration < 0) seconds = -seconds;
  return {std::u16string(start), Format("%2lld", seconds), Format("%03lld", milliseconds)};
}

}  // namespace tessera
