// MicroDVD (.sub): "{start frame}{end frame}line 1|line 2|line 3", and the input file of the
// external DVD subtitle encoder, which is a MicroDVD file behind a picture and font header.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

inline constexpr double kAssumedFrameRate = 23.976;

// Appends one row per line that starts with "{", frames converted at `rate` frames per second
// and every time moved later by `offset` seconds. Returns 1.
int ReadMicroDvd(SubtitleDocument& doc, std::u16string_view text, double rate, double offset = 0);

// Rows first..last (-1: the whole document) at the "SubFramerate" setting, behind the comment
// block with the message log. With `encoder` the encoder header comes first.
std::u16string MicroDvdText(const SubtitleDocument& doc, int first, int last, bool encoder,
                            const AppSettings& settings);
// 1 when written, 0 when the file could not be written.
int WriteMicroDvd(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                  int last, bool encoder, const AppSettings& settings);

}  // namespace tessera
