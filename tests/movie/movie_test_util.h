// Helpers of the movie tests: a prompter that expects its prompts in order, and documents.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_util.h"
#include "tests/support/scripted_prompter.h"

namespace tessera::testing {

struct TestRow {
  const char* start;
  const char* end;
  const char* line1 = "";
  const char* line2 = "";
  const char* line3 = "";
};

inline SubtitleDocument MakeDocument(const std::vector<TestRow>& rows) {
  SubtitleDocument doc;
  for (const TestRow& r : rows)
    doc.AddRow(FromUtf8(r.start), FromUtf8(r.end), FromUtf8(r.line1), FromUtf8(r.line2),
               FromUtf8(r.line3));
  doc.ResetSelection();
  return doc;
}

// Start and end of every row, "start-end".
inline std::vector<std::string> Times(const SubtitleDocument& doc) {
  std::vector<std::string> out;
  for (int i = 0; i < doc.Count(); ++i) out.push_back(ToUtf8(doc.Start(i) + u"-" + doc.End(i)));
  return out;
}

inline std::vector<std::string> Row(const SubtitleDocument& doc, int row) {
  std::vector<std::string> out;
  for (int c = 0; c < kTextColumns; ++c) out.push_back(ToUtf8(doc.Cell(row, c)));
  return out;
}

}  // namespace tessera::testing
