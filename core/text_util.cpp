#include "core/text_util.h"

#include <locale.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

#include "core/text_scan.h"

namespace tessera {
namespace {

// The toolkit installs the user's locale at start; numbers in files and messages must still use
// "." as the decimal point, so number formatting and reading run under the C locale.
class ScopedCLocale {
 public:
  ScopedCLocale() : old_(uselocale(CLocale())) {}
  ~ScopedCLocale() { uselocale(old_); }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

 private:
  static locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;  // when 0, uselocale only queries and nothing changes
  }
  locale_t old_;
};

}  // namespace

std::u16string FromUtf8(std::string_view s) {
  // Never more units than bytes: the room is taken once and cut to size at the end. Two units
  // to spare let a file's reader end its last line without moving the whole text.
  std::u16string out;
  out.reserve(s.size() + 2);
  out.resize(s.size());
  char16_t* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      const size_t run = AsciiPrefix(s.substr(i));
      WidenBytes(s.substr(i, run), o);
      o += run;
      i += run;
      continue;
    }
    int len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
      len = 2;
      cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
      len = 3;
      cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
      len = 4;
      cp = c & 0x07;
    }
    bool ok = len > 0 && i + len <= n;
    for (int k = 1; ok && k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80)
        ok = false;
      else
        cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if (ok) {
      // Reject overlong forms, surrogates and values past U+10FFFF.
      static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
      if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) ok = false;
    }
    if (!ok) {
      *o++ = 0xFFFD;
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
    i += len;
  }
  out.resize(static_cast<size_t>(o - out.data()));
  return out;
}

std::string ToUtf8(std::u16string_view s) {
  std::string out;
  AppendUtf8(s, out);
  return out;
}

void AppendUtf8(std::u16string_view s, std::string& out) {
  // Whole files pass through here: the exact size first, then written through a pointer, so that
  // no room is touched beyond what the text needs. ASCII runs are counted and copied in blocks.
  size_t size = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c < 0x80) {
      const size_t run = AsciiPrefix(s.substr(i));
      size += run;
      i += run - 1;
    } else if (c < 0x800) {
      size += 2;
    } else if ((c & 0xFC00) == 0xD800 && i + 1 < s.size() && (s[i + 1] & 0xFC00) == 0xDC00) {
      size += 4;
      ++i;
    } else {
      size += 3;  // the rest of the plane, and a lone surrogate as U+FFFD
    }
  }
  const size_t at = out.size();
  out.resize(at + size);
  char* o = out.data() + at;
  if (size == s.size()) {  // every unit ASCII: nothing else gives one byte per unit
    NarrowAscii(s, o);
    return;
  }
  auto put = [&o](unsigned v) { *o++ = static_cast<char>(v); };
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp < 0x80) {
      const size_t run = AsciiPrefix(s.substr(i));
      NarrowAscii(s.substr(i, run), o);
      o += run;
      i += run - 1;
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      put(0xC0 | (cp >> 6));
      put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      put(0xE0 | (cp >> 12));
      put(0x80 | ((cp >> 6) & 0x3F));
      put(0x80 | (cp & 0x3F));
    } else {  // a surrogate pair: two units in, four bytes out
      put(0xF0 | (cp >> 18));
      put(0x80 | ((cp >> 12) & 0x3F));
      put(0x80 | ((cp >> 6) & 0x3F));
      put(0x80 | (cp & 0x3F));
    }
  }
}

void AppendInteger(std::u16string& out, long long v) {
  char16_t buf[24];
  char16_t* end = buf + 24;
  char16_t* o = end;
  // Digits of the magnitude as unsigned, so that the smallest long long has one too.
  unsigned long long m = v < 0 ? 0ULL - static_cast<unsigned long long>(v) : v;
  do {
    *--o = static_cast<char16_t>(u'0' + m % 10);
    m /= 10;
  } while (m > 0);
  if (v < 0) *--o = u'-';
  out.append(o, static_cast<size_t>(end - o));
}

std::u16string FromLatin1(std::string_view s) {
  std::u16string out;
  out.reserve(s.size() + 2);  // as FromUtf8
  // Widened a piece at a time into a buffer the cache holds, so that the whole text is written
  // once, not zeroed first.
  char16_t piece[2048];
  for (size_t i = 0; i < s.size(); i += std::size(piece)) {
    const std::string_view part = s.substr(i, std::size(piece));
    WidenBytes(part, piece);
    out.append(piece, part.size());
  }
  return out;
}

std::filesystem::path ToPath(std::u16string_view s) {
  return std::filesystem::path(ToUtf8(s));
}

std::u16string FromPath(const std::filesystem::path& p) {
  return FromUtf8(p.native());
}

std::u16string Format(const char* fmt, ...) {
  ScopedCLocale c_locale;
  char small[512];
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::u16string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    out = FromUtf8(std::string_view(small, n));
  } else {
    std::vector<char> big(static_cast<size_t>(n) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, ap2);
    out = FromUtf8(std::string_view(big.data(), n));
  }
  va_end(ap2);
  return out;
}

char16_t AsciiLower(char16_t c) {
  return (c >= u'A' && c <= u'Z') ? c + 32 : c;
}
char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? c - 32 : c;
}

std::u16string AsciiLowerCopy(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = AsciiLower(c);
  return out;
}

bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

namespace {
std::u16string FillFirst(std::u16string_view pattern, std::u16string_view slot,
                         std::u16string_view value) {
  std::u16string out(pattern);
  const size_t at = out.find(slot);
  if (at != std::u16string::npos) out.replace(at, slot.size(), value);
  return out;
}
}  // namespace

std::u16string WithArgument(std::u16string_view pattern, std::u16string_view arg) {
  return FillFirst(pattern, u"%s", arg);
}

std::u16string WithCount(std::u16string_view pattern, int count) {
  return FillFirst(pattern, u"%d", Format("%d", count));
}

int ReplaceAll(std::u16string& s, std::u16string_view from, std::u16string_view to) {
  if (from.empty()) return 0;
  size_t pos = s.find(from);
  if (pos == std::u16string::npos) return 0;
  int count = 0;
  std::u16string out;
  out.reserve(s.size());
  size_t last = 0;
  while (pos != std::u16string::npos) {
    out.append(s, last, pos - last);
    out.append(to);
    last = pos + from.size();
    ++count;
    pos = s.find(from, last);
  }
  out.append(s, last, std::u16string::npos);
  s.swap(out);
  return count;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view TrimStart(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::u16string_view TrimEnd(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::u16string_view TrimView(std::u16string_view s) {
  return TrimEnd(TrimStart(s));
}

std::u16string Trim(std::u16string_view s) {
  return std::u16string(TrimView(s));
}

long long ToInteger(std::u16string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == u' ' || s[i] == u'\t' || s[i] == u'\n' || s[i] == u'\r' ||
                          s[i] == u'\v' || s[i] == u'\f'))
    ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) neg = s[i++] == u'-';
  long long v = 0;
  constexpr long long kMax = 1'000'000'000'000'000'000LL;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    int digit = s[i] - u'0';
    v = v > (kMax - digit) / 10 ? kMax : v * 10 + digit;
  }
  return neg ? -v : v;
}

double ToReal(std::u16string_view s) {
  std::string ascii;
  ascii.reserve(s.size() > 64 ? 64 : s.size());
  for (char16_t c : s) {
    if (ascii.size() >= 64 || c > 0x7F) break;
    ascii.push_back(static_cast<char>(c));
  }
  ScopedCLocale c_locale;
  double v = std::strtod(ascii.c_str(), nullptr);
  return std::isfinite(v) ? v : 0.0;
}

}  // namespace tessera
