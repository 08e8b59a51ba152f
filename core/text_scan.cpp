#include "core/text_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessera {

#if defined(__SSE2__)
namespace {

__m128i Load(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

// The index of the first unit whose bit pair is set in a _mm_movemask_epi8 result.
size_t FirstUnit(unsigned mask) {
  return static_cast<size_t>(__builtin_ctz(mask)) / 2;
}

}  // namespace
#endif

size_t FindUnit(std::u16string_view s, char16_t c, size_t from) {
  const char16_t* p = s.data();
  size_t i = from, n = s.size();
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
  for (; i + 8 <= n; i += 8) {
    unsigned mask = _mm_movemask_epi8(_mm_cmpeq_epi16(Load(p + i), needle));
    if (mask) return i + FirstUnit(mask);
  }
#endif
  for (; i < n; ++i)
    if (p[i] == c) return i;
  return std::u16string_view::npos;
}

namespace {

// FindOddControl over units of either width: eight wide units or sixteen bytes a block.
template <typename Unit>
size_t FindOddControlIn(const Unit* p, size_t n, size_t from) {
  auto odd = [p, n](size_t i) {
    const Unit c = p[i];
    if (c >= 0x20) return false;
    if (c == '\r') return i + 1 >= n || p[i + 1] != '\n';
    if (c == '\n') return i == 0 || p[i - 1] != '\r';
    return true;
  };
  size_t i = from;
  if (i == 0 && n > 0) {
    if (odd(0)) return 0;
    i = 1;
  }
#if defined(__SSE2__)
  constexpr bool kWide = sizeof(Unit) == 2;
  constexpr size_t kBlock = 16 / sizeof(Unit);
  auto set1 = [](int v) {
    return kWide ? _mm_set1_epi16(static_cast<short>(v)) : _mm_set1_epi8(static_cast<char>(v));
  };
  auto eq = [](__m128i a, __m128i b) {
    return kWide ? _mm_cmpeq_epi16(a, b) : _mm_cmpeq_epi8(a, b);
  };
  auto below = [](__m128i a, __m128i b) {
    return kWide ? _mm_subs_epu16(a, b) : _mm_subs_epu8(a, b);
  };
  // Each block is compared with itself shifted one unit either way, to tell pairs apart.
  const __m128i space = set1(0x20), zero = _mm_setzero_si128();
  const __m128i cr = set1('\r'), lf = set1('\n');
  for (; i + kBlock + 1 <= n; i += kBlock) {
    const __m128i v = Load(p + i);
    const __m128i not_control = eq(below(space, v), zero);
    if (_mm_movemask_epi8(not_control) == 0xFFFF) continue;  // most blocks: no line end
    const __m128i control = _mm_andnot_si128(not_control, _mm_set1_epi8(-1));
    const __m128i cr_lf = _mm_and_si128(eq(v, cr), eq(Load(p + i + 1), lf));
    const __m128i lf_after_cr = _mm_and_si128(eq(v, lf), eq(Load(p + i - 1), cr));
    const __m128i odd_units = _mm_andnot_si128(_mm_or_si128(cr_lf, lf_after_cr), control);
    const unsigned mask = _mm_movemask_epi8(odd_units);
    if (mask) return i + static_cast<size_t>(__builtin_ctz(mask)) / sizeof(Unit);
  }
#endif
  for (; i < n; ++i)
    if (odd(i)) return i;
  return std::string_view::npos;
}

}  // namespace

size_t FindOddControl(std::u16string_view s, size_t from) {
  return FindOddControlIn(s.data(), s.size(), from);
}

size_t FindOddControl(std::string_view s, size_t from) {
  return FindOddControlIn(reinterpret_cast<const unsigned char*>(s.data()), s.size(), from);
}

size_t AsciiPrefix(std::u16string_view s) {
  const char16_t* p = s.data();
  size_t i = 0, n = s.size();
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(Load(p + i), high), zero);
    unsigned mask = ~static_cast<unsigned>(_mm_movemask_epi8(ascii)) & 0xFFFF;
    if (mask) return i + FirstUnit(mask);
  }
#endif
  while (i < n && p[i] < 0x80) ++i;
  return i;
}

size_t AsciiPrefix(std::string_view s) {
  const char* p = s.data();
  size_t i = 0, n = s.size();
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    unsigned mask = _mm_movemask_epi8(Load(p + i));
    if (mask) return i + static_cast<size_t>(__builtin_ctz(mask));
  }
#endif
  while (i < n && static_cast<unsigned char>(p[i]) < 0x80) ++i;
  return i;
}

void WidenBytes(std::string_view s, char16_t* out) {
  const char* p = s.data();
  size_t i = 0, n = s.size();
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= n; i += 16) {
    __m128i v = Load(p + i);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
  }
#endif
  for (; i < n; ++i) out[i] = static_cast<unsigned char>(p[i]);
}

void NarrowAscii(std::u16string_view s, char* out) {
  const char16_t* p = s.data();
  size_t i = 0, n = s.size();
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    __m128i bytes = _mm_packus_epi16(Load(p + i), Load(p + i + 8));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
  }
#endif
  for (; i < n; ++i) out[i] = static_cast<char>(p[i]);
}

size_t NarrowPrintable(std::u16string_view s, char* out) {
  const char16_t* p = s.data();
  size_t i = 0, n = s.size();
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi16(0x20), last = _mm_set1_epi16(0x7F);
  const __m128i zero = _mm_setzero_si128();
  for (; i + 8 <= n; i += 8) {
    const __m128i v = Load(p + i);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    const __m128i outside = _mm_or_si128(_mm_subs_epu16(v, last), _mm_subs_epu16(space, v));
    const unsigned mask = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(outside, zero)));
    if (mask & 0xFFFF) return i + FirstUnit(mask);
  }
#endif
  for (; i < n && p[i] >= 0x20 && p[i] <= 0x7F; ++i) out[i] = static_cast<char>(p[i]);
  return i;
}

}  // namespace tessera
