// A prompter that expects a given sequence of prompts and fails the test on any other.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera::testing {

class ScriptedPrompter final : public Prompter {
 public:
  ScriptedPrompter& ExpectMessage(std::string text) {
    script_.push_back({Kind::kMessage, std::move(text), false});
    return *this;
  }
  ScriptedPrompter& ExpectQuestion(std::string text, bool answer) {
    script_.push_back({Kind::kQuestion, std::move(text), answer});
    return *this;
  }
  ScriptedPrompter& ExpectBeep() {
    script_.push_back({Kind::kBeep, {}, false});
    return *this;
  }
  ~ScriptedPrompter() override {
    for (const Step& s : script_) ADD_FAILURE() << "expected prompt never came: " << s.text;
  }

  void MessageBox(const std::u16string& text, const std::u16string&, PromptIcon) override {
    Take(Kind::kMessage, ToUtf8(text));
  }
  bool AskYesNo(const std::u16string& text, const std::u16string&, PromptIcon) override {
    return Take(Kind::kQuestion, ToUtf8(text));
  }
  void Beep() override { Take(Kind::kBeep, "(beep)"); }
  std::optional<double> AskLoadFrameRate() override {
    ADD_FAILURE() << "unexpected frame-rate prompt";
    return std::nullopt;
  }

 private:
  enum class Kind { kMessage, kQuestion, kBeep };
  struct Step {
    Kind kind;
    std::string text;
    bool answer;
  };
  bool Take(Kind kind, const std::string& text) {
    if (script_.empty() || script_.front().kind != kind ||
        (kind != Kind::kBeep && script_.front().text != text)) {
      ADD_FAILURE() << "unexpected prompt: " << text;
      return false;
    }
    bool answer = script_.front().answer;
    script_.pop_front();
    return answer;
  }
  std::deque<Step> script_;
};

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

inline std::vector<std::string> LogLines(const SubtitleDocument& doc) {
  std::vector<std::string> out;
  for (const auto& l : doc.Log().Lines()) out.push_back(ToUtf8(l));
  return out;
}

}  // namespace tessera::testing
