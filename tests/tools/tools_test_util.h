// Shared helpers of the timing and editing tests: documents from times, their cells and log.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_util.h"
#include "core/time_code.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"

namespace tessera::testing {

// A document from (start, end, line 1) triples given in seconds.
struct TimedLine {
  double start, end;
  const char* line1 = "";
};
inline SubtitleDocument MakeDocument(std::initializer_list<TimedLine> rows) {
  SubtitleDocument doc;
  for (const TimedLine& r : rows)
    doc.AddRow(FormatTimeText(r.start), FormatTimeText(r.end), FromUtf8(r.line1));
  return doc;
}

inline std::string StartOf(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.Start(row));
}
inline std::string EndOf(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.End(row));
}

}  // namespace tessera::testing
