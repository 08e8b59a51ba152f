// Turns fuzzer bytes into the decoded text the readers get from a file, and checks what a reader
// made of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"
#include "core/text_file.h"
#include "formats/microdvd.h"
#include "formats/subrip.h"
#include "formats/substation.h"

namespace tessera::fuzz {

inline std::u16string Decode(const uint8_t* data, size_t size) {
  std::u16string text;
  DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data), size), text);
  return text;
}

// Every column keeps the length of the others, and what was read can be written again.
inline void CheckReadDocument(const SubtitleDocument& doc) {
  for (int c = 0; c < kTextColumns; ++c)
    if (static_cast<int>(doc.ColumnCells(c).size()) != doc.Count()) __builtin_trap();
  AppSettings settings;
  (void)SubRipText(doc, -1, -1);
  (void)SubRipText(doc, 1, -1);
  (void)SubStationAlphaText(doc, -1, -1, settings);
  (void)MicroDvdText(doc, 1, -1, true, settings);
}

// Reads the decoded bytes with `read` into an empty document and checks the result.
template <typename Read>
int FuzzReader(const uint8_t* data, size_t size, Read read) {
  std::u16string text = Decode(data, size);
  SubtitleDocument doc;
  read(doc, text);
  CheckReadDocument(doc);
  return 0;
}

}  // namespace tessera::fuzz
