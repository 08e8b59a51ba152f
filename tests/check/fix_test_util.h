// Shared helpers of the Fix Errors tests: a scripted prompter, a fake measurer, documents.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_util.h"
#include "tests/check/fake_measurer.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"

namespace tessera::fixtest {

using testing::FakeMeasurer;

using testing::LogLines;
using testing::ScriptedPrompter;

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

struct Row {
  const char* start;
  const char* end;
  const char* l1 = "";
  const char* l2 = "";
  const char* l3 = "";
};

inline void Fill(SubtitleDocument& doc, const std::vector<Row>& rows) {
  doc.Empty();
  for (const Row& r : rows) {
    doc.AddRow(FromUtf8(r.start), FromUtf8(r.end), FromUtf8(r.l1), FromUtf8(r.l2), FromUtf8(r.l3));
  }
}

inline std::string Line(const SubtitleDocument& doc, int row, int k) {
  return ToUtf8(doc.Line(row, k));
}
inline std::string Start(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.Start(row));
}
inline std::string End(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.End(row));
}  // The count lines of the last run.
inline std::vector<std::string> CountLines(const SubtitleDocument& doc) {
  std::vector<std::string> out;
  for (const auto& l : LogLines(doc)) {
    if (l == "Start checking for selected errors...") out.clear();
    if (l.starts_with("  ")) out.push_back(l);
  }
  return out;
}

}  // namespace tessera::fixtest
