// The text repairs of the Fix Errors run, each on one row of the working table. Each returns
// how much its counter goes up.
#pragma once

#include <string>

#include "check/fix_work_table.h"

namespace tessera {

// Whether the line holds a number written with a space inside ("1 997"); with `repair` set those
// spaces are removed.
bool CheckNumberNotationLine(std::u16string& line, bool repair);
// The same over lines 1-3 of a row.
bool CheckNumberNotation(FixWorkTable& table, int row, bool repair);

// Dialogue dashes at the start of line 1: 1 when any were removed.
int RemoveLeadingDashes(FixWorkTable& table, int row);
// A comma ending a line before a capital becomes a period.
int FixEndingCommas(FixWorkTable& table, int row);
// "!!!", "!!" and "!" on lines 1 and 2 become ".".
int ReplaceExclamationMarks(FixWorkTable& table, int row);
// Removes "|" from the lines, or (split) breaks the lines at it.
int RemoveLineSeparators(FixWorkTable& table, int row, bool split);
// Adds or removes "..." by mode 0..3; counts go to `added` and `removed`.
void FixTriplePeriods(FixWorkTable& table, int row, int mode, int& added, int& removed);
int AddMissingSpaces(FixWorkTable& table, int row);
int RemoveUnnecessarySpaces(FixWorkTable& table, int row);
// Accents, doubled apostrophes and double quotes become one apostrophe.
int FixQuotes(FixWorkTable& table, int row);
// Tags of one to three characters between "<" and ">".
int RemoveFormatTags(FixWorkTable& table, int row);
// Exactly `spaces` spaces after a dash at the start of a line.
int FixDashFormat(FixWorkTable& table, int row, int spaces);
int AddMissingPeriods(FixWorkTable& table, int row);

}  // namespace tessera
