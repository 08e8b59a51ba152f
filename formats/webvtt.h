// WebVTT (.vtt), the subtitle format of the web: "WEBVTT", then cues of a time line
// "00:01.000 --> 00:04.000" and text lines, separated by empty lines.
#pragma once

#include <string>
#include <string_view>

#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

// The text opens with "WEBVTT" on a line of its own (a title may follow after a blank).
bool LooksLikeWebVtt(std::u16string_view text);

// Appends one row per cue, every time moved later by `offset` seconds. The header, NOTE, STYLE
// and REGION blocks and cue settings are skipped; identifiers are optional, and so are hours.
// Lines beyond the third join the third. Returns 1.
// `give_back` as ReadSubRip's.
int ReadWebVtt(SubtitleDocument& doc, std::u16string_view text, double offset,
               bool give_back = false);

// Rows first..last (-1: the whole document): "WEBVTT", an empty line, one cue per row.
std::u16string WebVttText(const SubtitleDocument& doc, int first, int last);
void PutWebVtt(const SubtitleDocument& doc, int first, int last, TextSink& sink);

}  // namespace tessera
