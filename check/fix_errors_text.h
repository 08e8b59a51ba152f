// The text repairs of the Fix Errors run, each on one row of the working table.
#pragma once

#include <string>

#include "check/fix_errors.h"

namespace tessera {

// Whether the line holds a number written with a space inside ("1 997"); with `repair` set those
// spaces are removed.
bool CheckNumberNotationLine(std::u16string& line, bool repair);
// The same over lines 1-3 of a row.
bool CheckNumberNotation(FixWorkTable& table, int row, bool repair);

}  // namespace tessera
