// SubViewer 2.0 and SAMI (read only) and flat text (written only).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

// Time lines "00:00:01.50,00:00:03.00" each followed by a text line split at "[br]". Returns 1.
int ReadSubViewer(SubtitleDocument& doc, std::u16string_view text);
// "<SYNC Start=ms><P>text" lines, "<br>" between the lines; the next start or a line ending in
// "<P><br>" gives the end. Returns 1.
int ReadSami(SubtitleDocument& doc, std::u16string_view text);

// The non-empty lines of every row, one empty line after each row.
std::u16string FlatText(const SubtitleDocument& doc);
// 1 when written, 0 when the file could not be written.
int WriteFlatText(const SubtitleDocument& doc, const std::filesystem::path& path,
                  const AppSettings& settings);

}  // namespace tessera
