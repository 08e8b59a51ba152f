// Times as real seconds and their three text forms.
#pragma once

#include <string>
#include <string_view>

namespace tessera {

enum TimeForm : int {
  kSubRipForm = 0,     // 00:01:02,345
  kSsaForm = 1,        // 0:01:02.34
  kCanonicalForm = 5,  // 0:01:02.345 (any other code)
};

double ParseTimeText(std::u16string_view text);
// A negative time is written as zero.
std::u16string FormatTimeText(double seconds, int form = kCanonicalForm);

}  // namespace tessera
