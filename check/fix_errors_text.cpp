#include "check/fix_errors_text.h"

namespace tessera {
namespace {

bool IsNumberChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'.';
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

bool CheckNumberNotationLine(std::u16string& line, bool repair) {
  bool found = false;
  // A space in the first position is never inside a number.
  for (size_t m = 1; m + 1 < line.size(); ++m) {
    if (line[m] != u' ' || !IsNumberChar(line[m + 1]) || !IsNumberChar(line[m - 1])) continue;
    if (m >= 2) {
      const char16_t before = line[m - 1];
      const char16_t two_before = line[m - 2];
      const bool ok = before == u'.' ? IsDigit(two_before) : IsNumberChar(two_before);
      if (!ok) continue;
    }
    found = true;
    if (repair) line.erase(m, 1);
  }
  return found;
}

bool CheckNumberNotation(FixWorkTable& table, int row, bool repair) {
  bool found = false;
  for (int k = 0; k < 3; ++k) {
    if (CheckNumberNotationLine(table.Line(row, k), repair)) found = true;
  }
  return found;
}

}  // namespace tessera
