// Scans over whole files: sixteen bytes at a time where the processor has SSE2 (every x86-64),
// one at a time elsewhere. Loading and saving a large file pass over its text several times.
#pragma once

#include <cstddef>
#include <string_view>

namespace tessera {

// Index of the first unit equal to `c` at or after `from`; npos when there is none.
size_t FindUnit(std::u16string_view s, char16_t c, size_t from = 0);

// Index of the first control character (a unit below 0x20) at or after `from` that is not half of
// a CR LF pair; npos when there is none. A decoded text ends its lines in CR LF, so this finds
// what is unusual in it without stopping at every line.
size_t FindOddControl(std::u16string_view s, size_t from = 0);

// How many units (bytes) at the start are ASCII.
size_t AsciiPrefix(std::u16string_view s);
size_t AsciiPrefix(std::string_view s);

// Each byte becomes the unit of the same value; `out` has room for s.size() units.
void WidenBytes(std::string_view s, char16_t* out);
// Each unit, all of them ASCII, becomes its byte; `out` has room for s.size() bytes.
void NarrowAscii(std::u16string_view s, char* out);

}  // namespace tessera
