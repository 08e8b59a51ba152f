// SubStation Alpha (.ssa) and Advanced SubStation Alpha (.ass) scripts: one "Dialogue:" line per
// subtitle.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

// Appends one row per Dialogue line, its fields found through the Format line of [Events] (without
// one, the text starts after "!Effect,"). "\N" and "\n" break lines; override blocks stay in the
// text. Returns 1.
// `give_back` as ReadSubRip's.
int ReadSubStationAlpha(SubtitleDocument& doc, std::u16string_view text, bool give_back = false);

// Rows first..last (-1: the whole document) with the header of the "SsaVersion" setting.
std::u16string SubStationAlphaText(const SubtitleDocument& doc, int first, int last,
                                   const AppSettings& settings);
void PutSubStationAlpha(const SubtitleDocument& doc, int first, int last,
                        const AppSettings& settings, TextSink& sink);
// Rows first..last as a v4.00+ script with one Default style from the font and margin settings.
void PutAdvancedSubStationAlpha(const SubtitleDocument& doc, int first, int last,
                                const AppSettings& settings, TextSink& sink);
// 1 when written, 0 when the file could not be written.
int WriteSubStationAlpha(const SubtitleDocument& doc, const std::filesystem::path& path, int first,
                         int last, const AppSettings& settings);

}  // namespace tessera
