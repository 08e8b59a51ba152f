// The Edit page's operations on single subtitles. `row` is the page's selected row (-1: none);
// `rows` are all its selected rows.
#pragma once

#include <string>
#include <vector>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"

namespace tessera {

// Appends a one-second subtitle 0.5 s after the last one (1 s to 2 s in an empty document) and
// makes it the current row. Returns its row.
int EditAdd(SubtitleDocument& doc);

// Places a one-second subtitle before `row`, pushing that one's start back when needed; an empty
// document gets an Add. Beeps without a selection; refuses with a message box when the pushed
// subtitle would last under a second. Returns the row to select, or -1 when nothing changed.
int EditInsert(SubtitleDocument& doc, int row, Prompter& prompter);

// Removes the selected rows after a Yes to the question. Beeps without a selection. The first
// selected row (kept inside the document) becomes the current row. Returns true when removed.
bool EditDelete(SubtitleDocument& doc, std::vector<int> rows, Prompter& prompter);

// Empties the document after a Yes. Leaves the changed flag as it is.
bool EditRemoveAll(SubtitleDocument& doc, Prompter& prompter);

// A line field typed into: the entry's line (0..2) takes the text.
void EditSetLine(SubtitleDocument& doc, int row, int line, std::u16string text);

// Ends the subtitle after its reading time (lines 1 and 2), at least `minimum_duration`, at most
// up to 0.05 s before the next start. Sets the changed flag: a re-timed subtitle must not be lost
// without the question when the window closes.
void EditAuto(SubtitleDocument& doc, int row, double minimum_duration, double seconds_per_char);

enum class EditSpin { kStart, kDurationSeconds, kDurationMilliseconds };

// One spin-arrow step of the start (moves the whole subtitle by 0.1 s) or of the duration (1 s or
// 0.1 s). A step that would come within 0.05 s of a neighbour, or leave 0.1 s or less of
// duration, beeps and changes nothing. A step sets the changed flag, as Auto does. True when
// stepped.
bool EditSpinTime(SubtitleDocument& doc, int row, EditSpin spin, bool increase, Prompter& prompter);

// The texts of the start display and the two duration displays; empty without a row.
using EditTimeTexts = TimeDisplayTexts;
EditTimeTexts EditTimeDisplay(const SubtitleDocument& doc, int row);

}  // namespace tessera
