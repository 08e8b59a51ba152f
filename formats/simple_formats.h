// SubViewer 2.0 and SAMI (read only) and flat text (written only).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

// Time lines "00:00:01.50,00:00:03.00" each followed by a text line split at "[br]". Returns 1.
int ReadSubViewer(SubtitleDocument& doc, std::u16string_view text);
// SAMI as written in practice: each "<SYNC Start=ms>" (tags and attributes in any case) starts a
// subtitle that the next SYNC ends, its text up to that SYNC, over any number of lines; "<br>"
// breaks lines and entities are decoded. A SYNC without text (such as "&nbsp;") only ends the one
// before it. Of a file in several languages (paragraph classes) the first is read. Returns 1.
int ReadSami(SubtitleDocument& doc, std::u16string_view text);

// The non-empty lines of every row, one empty line after each row.
std::u16string FlatText(const SubtitleDocument& doc);
void PutFlatText(const SubtitleDocument& doc, TextSink& sink);
// 1 when written, 0 when the file could not be written.
int WriteFlatText(const SubtitleDocument& doc, const std::filesystem::path& path,
                  const AppSettings& settings);

}  // namespace tessera
