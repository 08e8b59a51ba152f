// MicroDVD (.sub): "{start frame}{end frame}line 1|line 2|line 3", and the input file of the
// external DVD subtitle encoder, which is a MicroDVD file behind a picture and font header.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

inline constexpr double kAssumedFrameRate = 23.976;

// The rate of a frame-rate line "{1}{1}23.976" (or "{0}{0}25") that opens the entries, or nothing.
std::optional<double> MicroDvdHeaderRate(std::u16string_view text);
// "23.976", "25": a rate with at most three decimals and no trailing zeros.
std::string FrameRateText(double rate);

// Appends one row per line that starts with "{", frames converted at `rate` frames per second
// and every time moved later by `offset` seconds; a frame-rate line is no subtitle. Returns 1.
// `give_back` as ReadSubRip's.
int ReadMicroDvd(SubtitleDocument& doc, std::u16string_view text, double rate, double offset = 0,
                 bool give_back = false);

// Rows first..last (-1: the whole document) at the "SubFramerate" setting. A MicroDVD file opens
// with its frame-rate line and ends with the comment block (the log), where no reader trips over
// it; the encoder input file has the encoder header, then the comment block, then the rows.
std::u16string MicroDvdText(const SubtitleDocument& doc, int first, int last, bool encoder,
                            const AppSettings& settings);
void PutMicroDvd(const SubtitleDocument& doc, int first, int last, bool encoder,
                 const AppSettings& settings, TextSink& sink);
// 1 when written, 0 when the file could not be written.
int WriteMicroDvd(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                  int last, bool encoder, const AppSettings& settings);

}  // namespace tessera
