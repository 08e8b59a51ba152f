// Turns fuzzer bytes into the decoded text the readers get from a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/subtitle_document.h"
#include "core/text_file.h"

namespace tessera::fuzz {

inline std::u16string Decode(const uint8_t* data, size_t size) {
  std::u16string text;
  DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data), size), text);
  return text;
}

// Every column must keep the length of the others.
inline void CheckColumns(const SubtitleDocument& doc) {
  for (int c = 0; c < kTextColumns; ++c)
    if (static_cast<int>(doc.ColumnCells(c).size()) != doc.Count()) __builtin_trap();
}

}  // namespace tessera::fuzz
