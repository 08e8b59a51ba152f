// Documents built from rows for the tests of every module, and their cells and log as UTF-8 for
// readable comparisons.
#pragma once

#include <string>
#include <vector>

#include "core/subtitle_document.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera::testing {

// A row given by its time texts; lines are UTF-8.
struct TextRow {
  const char* start;
  const char* end;
  const char* line1 = "";
  const char* line2 = "";
  const char* line3 = "";
};

// A row given by its times in seconds; lines are UTF-8.
struct TimedRow {
  double start, end;
  const char* line1 = "";
  const char* line2 = "";
  const char* line3 = "";
};

// Replaces the rows of `doc`; its log and flags stay.
inline void Fill(SubtitleDocument& doc, const std::vector<TextRow>& rows) {
  doc.Empty();
  for (const TextRow& r : rows)
    doc.AddRow(FromUtf8(r.start), FromUtf8(r.end), FromUtf8(r.line1), FromUtf8(r.line2),
               FromUtf8(r.line3));
}

inline SubtitleDocument MakeDocument(const std::vector<TextRow>& rows) {
  SubtitleDocument doc;
  Fill(doc, rows);
  return doc;
}

inline SubtitleDocument MakeDocument(const std::vector<TimedRow>& rows) {
  SubtitleDocument doc;
  for (const TimedRow& r : rows)
    doc.AddRow(FormatTimeText(r.start), FormatTimeText(r.end), FromUtf8(r.line1), FromUtf8(r.line2),
               FromUtf8(r.line3));
  return doc;
}

inline std::string StartOf(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.Start(row));
}
inline std::string EndOf(const SubtitleDocument& doc, int row) {
  return ToUtf8(doc.End(row));
}
inline std::string LineOf(const SubtitleDocument& doc, int row, int k) {
  return ToUtf8(doc.Line(row, k));
}

// All five cells of a row.
inline std::vector<std::string> Row(const SubtitleDocument& doc, int row) {
  std::vector<std::string> out;
  for (int c = 0; c < kTextColumns; ++c) out.push_back(ToUtf8(doc.Cell(row, c)));
  return out;
}

inline std::vector<std::string> LogLines(const SubtitleDocument& doc) {
  std::vector<std::string> out;
  for (const auto& l : doc.Log().Lines()) out.push_back(ToUtf8(l));
  return out;
}

}  // namespace tessera::testing
