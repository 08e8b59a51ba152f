#include "core/time_code.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/text_util.h"

namespace tessera {

namespace {

constexpr double kParseBias = 0.0005;

}  // namespace

namespace {

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
  double fraction = 0;
  if (c != npos) {
    double scale = 0.1;
    for (size_t i = c + 1; i < text.size() && i <= c + 3 && IsDigit(text[i]); ++i) {
      fraction += (text[i] - u'0') * scale;
      scale /= 10;
    }
  }
  return static_cast<double>(hours) * 3600 + static_cast<double>(minutes) * 60 +
         static_cast<double>(secs) + fraction;
}

double ParseTimeText(std::u16string_view text) {
  return ParseTimeOffset(text) + kParseBias;
}

size_t WriteTimeText(char16_t* buf, double seconds, int form) {
  int hour_width = 1, frac_width = 3;
  char sep = '.';
  if (form == kSubRipForm) {
    hour_width = 2;
    sep = ',';
  } else if (form == kSsaForm) {
    frac_width = 2;
  }
  double d = seconds + 0.00001;
  if (!(d > 0) || !std::isfinite(d)) d = 0;  // negative, NaN or infinite: zero
  if (d > 9.0e15) d = 9.0e15;                // keeps the whole seconds within 64 bits
  int64_t whole = static_cast<int64_t>(d);
  int64_t ms = static_cast<int64_t>((d - static_cast<double>(whole)) * 1000);
  if (ms > 999) ms = 999;
  // Written by hand: this runs twice per subtitle on every load and save.
  char16_t* o = buf;
  auto digit = [&o](int64_t v) { *o++ = static_cast<char16_t>(u'0' + v); };
  const int64_t hours = whole / 3600;
  if (hours < 10) {
    if (hour_width == 2) digit(0);
    digit(hours);
  } else {
    char16_t tmp[24];
    int k = 0;
    for (int64_t v = hours; v > 0; v /= 10) tmp[k++] = static_cast<char16_t>(u'0' + v % 10);
    while (k > 0) *o++ = tmp[--k];
  }
  const int64_t minutes = whole % 3600 / 60, secs = whole % 60;
  *o++ = u':';
  digit(minutes / 10);
  digit(minutes % 10);
  *o++ = u':';
  digit(secs / 10);
  digit(secs % 10);
  *o++ = static_cast<char16_t>(sep);
  digit(ms / 100);
  digit(ms / 10 % 10);
  if (frac_width == 3) digit(ms % 10);
  return static_cast<size_t>(o - buf);
}

void AppendTimeText(std::u16string& out, double seconds, int form) {
  char16_t buf[kMaxTimeText];
  out.append(buf, WriteTimeText(buf, seconds, form));
}

namespace {

size_t WriteTimeTextAs(char16_t* buf, std::u16string_view text, int form) {
  // "H:MM:SS" or "HH:MM:SS" with minutes and seconds below 60, then "." or "," and one to three
  // digits: the forms of every file and of the document, whose fields stand as they are written.
  const char16_t* t = text.data();
  const size_t n = text.size();
  const size_t h = n > 2 && t[1] == u':' ? 1 : 2;
  const auto in = [](char16_t c, char16_t lo, char16_t hi) {
    return static_cast<unsigned>(c - lo) <= static_cast<unsigned>(hi - lo);
  };
  // Tested all at once (& rather than &&): nearly every text passes.
  bool usual = n >= h + 8 && n <= h + 10;
  if (usual)
    usual = in(t[0], u'0', u'9') & in(t[h - 1], u'0', u'9') & (t[h] == u':') &
            in(t[h + 1], u'0', u'5') & in(t[h + 2], u'0', u'9') & (t[h + 3] == u':') &
            in(t[h + 4], u'0', u'5') & in(t[h + 5], u'0', u'9') &
            ((t[h + 6] == u'.') | (t[h + 6] == u','));
  char16_t fraction[3] = {u'0', u'0', u'0'};
  for (size_t k = h + 7; usual && k < n; ++k) {
    usual = in(t[k], u'0', u'9');
    fraction[k - (h + 7)] = t[k];
  }
  if (!usual) return WriteTimeText(buf, ParseTimeText(text), form);
  char16_t* o = buf;
  if (form == kSubRipForm)
    *o++ = h == 1 ? u'0' : t[0];
  else if (h == 2 && t[0] != u'0')
    *o++ = t[0];
  *o++ = t[h - 1];
  std::copy(t + h, t + h + 6, o);  // ":MM:SS"
  o += 6;
  *o++ = form == kSubRipForm ? u',' : u'.';
  *o++ = fraction[0];
  *o++ = fraction[1];
  if (form != kSsaForm) *o++ = fraction[2];
  return static_cast<size_t>(o - buf);
}

}  // namespace

void AppendTimeTextAs(std::u16string& out, std::u16string_view text, int form) {
  char16_t buf[kMaxTimeText];
  out.append(buf, WriteTimeTextAs(buf, text, form));
}

std::u16string TimeTextAs(std::u16string_view text, int form) {
  char16_t buf[kMaxTimeText];
  return std::u16string(buf, WriteTimeTextAs(buf, text, form));
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
