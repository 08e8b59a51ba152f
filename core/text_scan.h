// Scans over whole files: sixteen bytes at a time where the processor has SSE2 (every x86-64),
// one at a time elsewhere. Loading and saving a large file pass over its text several times.
#pragma once

#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tessera {

// Index of the first unit equal to `c` at or after `from`; npos when there is none.
size_t FindUnit(std::u16string_view s, char16_t c, size_t from = 0);

// Calls visit(i) for every index i, in order, where s[i] == c. For splitting a whole text at a
// mark without a call per piece.
template <typename Visit>
void ForEachUnit(std::u16string_view s, char16_t c, Visit visit) {
  const char16_t* p = s.data();
  size_t i = 0;
  const size_t n = s.size();
#if defined(__SSE2__)
  const __m128i needle = _mm_set1_epi16(static_cast<short>(c));
  for (; i + 8 <= n; i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    // Two mask bits per unit: keep the low one of each pair.
    unsigned mask = _mm_movemask_epi8(_mm_cmpeq_epi16(units, needle)) & 0x5555;
    for (; mask != 0; mask &= mask - 1) visit(i + static_cast<size_t>(__builtin_ctz(mask)) / 2);
  }
#endif
  for (; i < n; ++i)
    if (p[i] == c) visit(i);
}

// Index of the first control character (a unit below 0x20) at or after `from` that is not half of
// a CR LF pair; npos when there is none. A decoded text ends its lines in CR LF, so this finds
// what is unusual in it without stopping at every line.
size_t FindOddControl(std::u16string_view s, size_t from = 0);
// The same over bytes, each byte one character.
size_t FindOddControl(std::string_view s, size_t from = 0);

// How many units (bytes) at the start are ASCII.
size_t AsciiPrefix(std::u16string_view s);
size_t AsciiPrefix(std::string_view s);

// Each byte becomes the unit of the same value; `out` has room for s.size() units.
void WidenBytes(std::string_view s, char16_t* out);
// Each unit, all of them ASCII, becomes its byte; `out` has room for s.size() bytes.
void NarrowAscii(std::u16string_view s, char* out);
// The units at the start of `s` that are printable ASCII (0x20-0x7F) become their bytes in `out`,
// which has room for s.size() bytes; returns how many there were. Bytes after those may be
// written too.
size_t NarrowPrintable(std::u16string_view s, char* out);

}  // namespace tessera
