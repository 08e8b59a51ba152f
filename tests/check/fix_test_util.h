// Shared helpers of the Fix Errors tests: options with nothing on, the count lines of a run.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "core/subtitle_document.h"
#include "tests/check/fake_measurer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"

namespace tessera::fixtest {

// Every repair and warning off, fixed measuring: tests switch on what they look at.
inline FixErrorsOptions NoRepairs() {
  FixErrorsOptions o;
  SelectAllRepairs(o, 0);
  o.smart_duration = 0;
  o.split_line_separators = 0;
  o.warn_short_duration = 0;
  o.warn_long_duration = 0;
  o.split_method = 1;
  return o;
}

// The count lines of the last run.
inline std::vector<std::string> CountLines(const SubtitleDocument& doc) {
  std::vector<std::string> out;
  for (const auto& l : testing::LogLines(doc)) {
    if (l == "Start checking for selected errors...") out.clear();
    if (l.starts_with("  ")) out.push_back(l);
  }
  return out;
}

}  // namespace tessera::fixtest
