// Helpers of the movie tests: a prompter that expects its prompts in order, and documents.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_util.h"

namespace tessera::testing {

// Fails the test on a prompt nobody expected, and on an expected one that never came.
class StrictPrompter final : public Prompter {
 public:
  ~StrictPrompter() override {
    for (const Expected& e : queue_) ADD_FAILURE() << "expected prompt never came: " << e.text;
  }
  void ExpectBeep() { queue_.push_back({Kind::kBeep, "(beep)"}); }
  void ExpectMessage(const std::string& text) { queue_.push_back({Kind::kMessage, text}); }

  void MessageBox(const std::u16string& text, const std::u16string&, PromptIcon) override {
    Take(Kind::kMessage, ToUtf8(text));
  }
  bool AskYesNo(const std::u16string& text, const std::u16string&, PromptIcon) override {
    ADD_FAILURE() << "unexpected question: " << ToUtf8(text);
    return false;
  }
  void Beep() override { Take(Kind::kBeep, "(beep)"); }
  std::optional<double> AskLoadFrameRate() override {
    ADD_FAILURE() << "unexpected frame-rate prompt";
    return std::nullopt;
  }

 private:
  enum class Kind { kBeep, kMessage };
  struct Expected {
    Kind kind;
    std::string text;
  };
  void Take(Kind kind, const std::string& text) {
    if (queue_.empty() || queue_.front().kind != kind || queue_.front().text != text) {
      ADD_FAILURE() << "unexpected prompt: " << text
                    << (queue_.empty() ? "" : " (expected: " + queue_.front().text + ")");
      return;
    }
    queue_.pop_front();
  }
  std::deque<Expected> queue_;
};

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
