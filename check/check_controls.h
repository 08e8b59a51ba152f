// Rules of the Fix Errors and Analyze pages' controls that do not need a window: the number
// fields, the small arrow controls and which Fix Errors controls are enabled.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "check/fix_errors.h"

namespace tessera {

// The prompts of a number field whose text is not a number of its kind.
inline constexpr char16_t kEnterNumber[] = u"Enter a number.";
inline constexpr char16_t kEnterInteger[] = u"Enter an integer.";

// A whole number: blanks around, an optional sign and digits, within the range of int.
std::optional<int> ParseWholeNumber(std::u16string_view text);
// A real number with "." as the decimal point and an optional exponent; nothing else.
std::optional<double> ParseRealNumber(std::u16string_view text);
// How a number field shows its value: whole numbers as they are, reals with three decimals.
std::u16string WholeNumberText(int value);
std::u16string RealNumberText(double value);

// A click on an arrow control: the up arrow adds 1, the other subtracts 1. A result below 0
// becomes 0 and sets `beep`; there is no upper bound.
int ArrowStep(int value, bool up, bool& beep);

// Whether the Fix Errors control bound to `control` (an object name of FixErrorsBindings(), or
// "preset") is enabled with these options. Labels, arrows and option buttons that belong to a
// bound control follow it.
bool FixErrorsControlEnabled(const FixErrorsOptions& options, std::string_view control);

}  // namespace tessera
