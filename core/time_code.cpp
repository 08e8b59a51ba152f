#include "core/time_code.h"

#include <cmath>
#include <cstdint>

#include "core/text_util.h"

namespace tessera {

namespace {

constexpr double kParseBias = 0.0005;

}  // namespace

double ParseTimeOffset(std::u16string_view text) {
  // Read as if "0" stood before the text, so that the hours of a text that starts with anything
  // but a digit are 0; no copy, as this runs twice per subtitle on every load and save.
  const auto npos = std::u16string_view::npos;
  const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  size_t a = text.find(u':');
  size_t b = text.find(u':', a == npos ? 0 : a + 1);
  size_t c = text.find(u'.', b == npos ? 0 : b + 1);
  if (c == npos) c = text.find(u',', b == npos ? 0 : b + 1);

  auto field = [&](size_t colon) -> double {
    if (colon == npos) return !text.empty() && digit(text[0]) ? ToInteger(text) : 0;
    return static_cast<double>(ToInteger(text.substr(colon + 1)));
  };
  double hours = field(npos);
  double minutes = field(a);
  double secs = field(b);
  double fraction = 0;
  if (c != npos) {
    double scale = 0.1;
    for (size_t i = c + 1; i < text.size() && i <= c + 3 && digit(text[i]); ++i) {
      fraction += (text[i] - u'0') * scale;
      scale /= 10;
    }
  }
  return hours * 3600 + minutes * 60 + secs + fraction;
}

double ParseTimeText(std::u16string_view text) {
  return ParseTimeOffset(text) + kParseBias;
}

void AppendTimeText(std::u16string& out, double seconds, int form) {
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
  int64_t frac = frac_width == 2 ? ms / 10 : ms;
  // Written by hand: this runs twice per subtitle on every load and save.
  auto digits = [&out](int64_t v, int width) {
    char16_t tmp[24];
    int n = 0;
    do {
      tmp[n++] = static_cast<char16_t>(u'0' + v % 10);
      v /= 10;
    } while (v > 0);
    for (int k = n; k < width; ++k) out.push_back(u'0');
    while (n > 0) out.push_back(tmp[--n]);
  };
  digits(whole / 3600, hour_width);
  out.push_back(u':');
  digits((whole % 3600) / 60, 2);
  out.push_back(u':');
  digits(whole % 60, 2);
  out.push_back(static_cast<char16_t>(sep));
  digits(frac, frac_width);
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
