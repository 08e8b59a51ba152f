// The one grammar of number fields on every page: what a field's text must be to count as a
// whole or a real number, how a field shows its value, and the prompts that refuse a text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

}  // namespace tessera
