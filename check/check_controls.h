// Rules of the Fix Errors and Analyze pages' controls that do not need a window: the small arrow
// controls and which Fix Errors controls are enabled (the number fields: core/number_field.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "check/fix_errors_options.h"
#include "core/number_field.h"

namespace tessera {

// A click on an arrow control: the up arrow adds 1, the other subtracts 1. A result below 0
// becomes 0 and sets `beep`; there is no upper bound.
int ArrowStep(int value, bool up, bool& beep);

// Whether the Fix Errors control bound to `control` (an object name of FixErrorsBindings(), or
// "preset") is enabled with these options. Labels, arrows and option buttons that belong to a
// bound control follow it.
bool FixErrorsControlEnabled(const FixErrorsOptions& options, std::string_view control);

}  // namespace tessera
