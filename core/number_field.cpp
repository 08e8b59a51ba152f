#include "core/number_field.h"

#include <charconv>
#include <climits>

#include "core/text_util.h"

namespace tessera {
namespace {

bool Digit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// Skips the digits from `i`; returns how many there were.
size_t Digits(std::u16string_view s, size_t& i) {
  const size_t from = i;
  while (i < s.size() && Digit(s[i])) ++i;
  return i - from;
}

}  // namespace

std::optional<int> ParseWholeNumber(std::u16string_view text) {
  const std::u16string_view s = TrimView(text);
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  if (Digits(s, i) == 0 || i != s.size()) return std::nullopt;
  const long long v = ToInteger(s);
  if (v < INT_MIN || v > INT_MAX) return std::nullopt;
  return static_cast<int>(v);
}

std::optional<double> ParseRealNumber(std::u16string_view text) {
  const std::u16string_view s = TrimView(text);
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t mantissa = Digits(s, i);
  if (i < s.size() && s[i] == u'.') {
    ++i;
    mantissa += Digits(s, i);
  }
  if (mantissa == 0) return std::nullopt;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    if (Digits(s, i) == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  // Checked above to be plain ASCII; from_chars ignores the locale, and refuses a number too
  // large to hold.
  std::string ascii(s.begin() + (s[0] == u'+' ? 1 : 0), s.end());
  double v = 0;
  const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
  if (error != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return v;
}

std::u16string WholeNumberText(int value) {
  return Format("%d", value);
}

std::u16string RealNumberText(double value) {
  return Format("%0.3f", value);
}

}  // namespace tessera
