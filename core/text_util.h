// Small UTF-16 text helpers shared by every module of the core.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessera {

inline constexpr std::u16string_view kCrLf = u"\r\n";

// UTF-8 <-> UTF-16. Invalid UTF-8 bytes become U+FFFD; lone surrogates are written as U+FFFD.
std::u16string FromUtf8(std::string_view s);
std::string ToUtf8(std::u16string_view s);
// ToUtf8's bytes added to the end of `out`.
void AppendUtf8(std::u16string_view s, std::string& out);
// Each byte becomes the character with the same value.
std::u16string FromLatin1(std::string_view s);

std::filesystem::path ToPath(std::u16string_view s);
std::u16string FromPath(const std::filesystem::path& p);

// printf into UTF-16, always with "." as the decimal point. The format and any %s arguments are
// UTF-8 (use ToUtf8 on u16 texts).
std::u16string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Letter case of A-Z/a-z only, as the checking rules require.
char16_t AsciiLower(char16_t c);
char16_t AsciiUpper(char16_t c);
std::u16string AsciiLowerCopy(std::u16string_view s);
bool EqualsIgnoreAsciiCase(std::u16string_view a, std::u16string_view b);

// Replace every occurrence of `from` (non-overlapping, left to right). Returns the count.
int ReplaceAll(std::u16string& s, std::u16string_view from, std::u16string_view to);

// The integer in decimal digits added to the end of `out` (Format("%lld") without printf, for
// writers that number every entry of a file).
void AppendInteger(std::u16string& out, long long v);

// `pattern` with its first "%s" or "%d" filled in. Translated texts never go through printf.
std::u16string WithArgument(std::u16string_view pattern, std::u16string_view arg);
std::u16string WithCount(std::u16string_view pattern, int count);

// Blank: space, tab, CR and LF, the white space a line may carry at its edges. Anything else,
// a no-break space included, is text.
bool IsBlank(char16_t c);
// The text without the blanks at its start, its end, or both.
std::u16string_view TrimStart(std::u16string_view s);
std::u16string_view TrimEnd(std::u16string_view s);
std::u16string_view TrimView(std::u16string_view s);
std::u16string Trim(std::u16string_view s);

// Standard base-10 text-to-integer reading: leading white space and a sign are allowed,
// reading stops at the first non-digit, no digits give 0. Saturates instead of overflowing.
long long ToInteger(std::u16string_view s);
// The real number a text begins with (like atof, always with "." as the decimal point); 0 when
// there is none or it is not finite.
double ToReal(std::u16string_view s);

}  // namespace tessera
