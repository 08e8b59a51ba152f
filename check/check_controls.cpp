#include "check/check_controls.h"

#include <climits>

namespace tessera {

int ArrowStep(int value, bool up, bool& beep) {
  const long long v = static_cast<long long>(value) + (up ? 1 : -1);
  beep = v < 0;
  if (beep) return 0;
  return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

bool FixErrorsControlEnabled(const FixErrorsOptions& o, std::string_view control) {
  if (control == "smartDuration") return o.fix_short_duration != 0;
  if (control == "secondsPerCharacter") return o.fix_short_duration != 0 && o.smart_duration != 0;
  if (control == "minimumDuration") return o.smart_duration == 0;
  if (control == "triplePeriodsMode") return o.fix_triple_periods != 0;
  if (control == "splitMethod" || control == "fixedCount") return o.split_too_long != 0;
  if (control == "splitLineSeparators") return o.remove_line_separators != 0;
  if (control == "spacesAfterDash") return o.fix_dash_format != 0;
  // Set and cleared only by Select All and Select None.
  if (control == "addPoints" || control == "preset") return false;
  return true;
}

}  // namespace tessera
