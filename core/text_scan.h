// Scans over whole files: sixteen bytes at a time where the processor has SSE2 (every x86-64),
// one at a time elsewhere. Loading and saving a large file pass over its text several times.
#pragma once

#include <cstddef>
#include <string_view>

namespace tessera {

// Index of the first unit equal to `c` at or after `from`; npos when there is none.
size_t FindUnit(std::u16string_view s, char16_t c, size_t from = 0);
// Index of the first unit below `limit` at or after `from` (with 0x20: the first control
// character); npos when there is none.
size_t FindUnitBelow(std::u16string_view s, char16_t limit, size_t from = 0);

// How many units (bytes) at the start are ASCII.
size_t AsciiPrefix(std::u16string_view s);
size_t AsciiPrefix(std::string_view s);

// Each byte becomes the unit of the same value; `out` has room for s.size() units.
void WidenBytes(std::string_view s, char16_t* out);
// Each unit, all of them ASCII, becomes its byte; `out` has room for s.size() bytes.
void NarrowAscii(std::u16string_view s, char* out);

}  // namespace tessera
