// The styling marks of one format written in another: a subtitle keeps the marks of the file it
// came from, and a player shows marks of another format as text.
#pragma once

#include <string>
#include <string_view>

#include "core/subtitle_document.h"

namespace tessera {

// The lines of `row` as WebVTT cue text: SubStation override blocks ({\i1}, {\b0}, ...) and
// MicroDVD codes ({y:i}, {Y:b}) become <i>, <b> and <u>, other marks of theirs are dropped, and
// "&" and a "<" that opens no WebVTT tag are escaped. A SubStation position at the top or the
// middle ({\an8}, {\a6}) becomes the cue setting `settings` ("line:0" or "line:50%").
void WebVttCueLines(const SubtitleDocument& doc, int row, std::u16string lines[3],
                    std::u16string& settings);

// `line` with the <i>, <b> and <u> tags of SubRip and WebVTT as SubStation override blocks, and
// WebVTT's other tags (voices, classes, timestamps) and <font> removed. Appended to `out`.
void AppendSubStationLine(std::u16string& out, std::u16string_view line);

// The same for MicroDVD, which styles whole lines only: a line wholly inside <i>, <b> or <u>
// starts with {y:i}, {y:b} or {y:u}; every other tag of SubRip and WebVTT is removed. `open`
// carries the styles a line leaves open to the next line of its subtitle (0 for a first line).
void AppendMicroDvdLine(std::u16string& out, std::u16string_view line, unsigned& open);

}  // namespace tessera
