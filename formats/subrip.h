// SubRip (.srt): numbered entries with a "-->" time line and up to three text lines.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

// A time line holds "-->" with a time on each side: "00:00:01,000 --> 00:00:02,500", and also
// "0:00:1,5  -->  0:00:03,00". Sets the two time texts (for ParseTimeText).
bool SplitSubRipTimeLine(std::u16string_view line, std::u16string_view& start,
                         std::u16string_view& end);
bool IsSubRipTimeLine(std::u16string_view line);

// Appends one row per entry, every time moved later by `offset` seconds. An entry number that
// no time line follows adds no row. With `give_back`, for a text nobody reads again, the memory
// of what was read is given back on the way (TextGiveBack), so that a large file's text and
// its rows are not held whole at once. Returns 1.
int ReadSubRip(SubtitleDocument& doc, std::u16string_view text, double offset,
               bool give_back = false);

// Rows first..last (-1: 0 and Count()-1), numbered from 1. When first > 0 every time is moved
// earlier by the point halfway between the starts of rows first-1 and first.
std::u16string SubRipText(const SubtitleDocument& doc, int first, int last);
void PutSubRip(const SubtitleDocument& doc, int first, int last, TextSink& sink);
// The selected rows, keeping their numbers in the whole document, unshifted.
std::u16string SubRipSelectionText(const SubtitleDocument& doc);
void PutSubRipSelection(const SubtitleDocument& doc, TextSink& sink);

// 1 when written, 0 when the file could not be written.
int WriteSubRip(const SubtitleDocument& doc, const std::filesystem::path& path, int first, int last,
                const AppSettings& settings);
int WriteSubRipSelection(const SubtitleDocument& doc, const std::filesystem::path& path,
                         const AppSettings& settings);

}  // namespace tessera
