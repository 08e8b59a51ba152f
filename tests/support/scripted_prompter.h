// A prompter that expects a script of prompts, each with its answer. It fails the test on a
// prompt nobody expected, on one that differs from the script, and on an expected one that never
// came. Texts match exactly, or by a part of them where the script says so.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

#include "core/services.h"
#include "core/text_util.h"

namespace tessera::testing {

class ScriptedPrompter final : public Prompter {
 public:
  ~ScriptedPrompter() override { Verify(); }

  ScriptedPrompter& ExpectMessage(const std::string& text) {
    return Add(Kind::kMessage, text, false, false);
  }
  ScriptedPrompter& ExpectMessage(const std::u16string& text) {
    return ExpectMessage(ToUtf8(text));
  }
  ScriptedPrompter& ExpectMessageWith(const std::string& part) {
    return Add(Kind::kMessage, part, false, true);
  }
  ScriptedPrompter& ExpectQuestion(const std::string& text, bool yes) {
    return Add(Kind::kQuestion, text, yes, false);
  }
  ScriptedPrompter& ExpectQuestion(const std::u16string& text, bool yes) {
    return ExpectQuestion(ToUtf8(text), yes);
  }
  ScriptedPrompter& ExpectQuestionWith(const std::string& part, bool yes) {
    return Add(Kind::kQuestion, part, yes, true);
  }
  // A Yes/No/Cancel question and the button to press.
  ScriptedPrompter& ExpectChoice(const std::u16string& text, PromptAnswer answer) {
    Add(Kind::kChoice, ToUtf8(text), false, false);
    script_.back().choice = answer;
    return *this;
  }
  // A message box offering an opt-out check box, and whether the user ticks it. A plain
  // ExpectMessage also matches such a box, left unticked.
  ScriptedPrompter& ExpectOptOut(const std::string& part, bool tick) {
    return Add(Kind::kOptOut, part, tick, true);
  }
  ScriptedPrompter& ExpectBeep() { return Add(Kind::kBeep, "(beep)", false, false); }
  ScriptedPrompter& ExpectExclamationBeep() {
    return Add(Kind::kExclamationBeep, "(exclamation beep)", false, false);
  }
  // The frame-rate prompt of a frame-based file, answered with `rate` (nothing: cancelled).
  ScriptedPrompter& ExpectFrameRate(std::optional<double> rate) {
    Add(Kind::kFrameRate, "(frame rate)", false, false);
    script_.back().rate = rate;
    return *this;
  }

  bool Pending() const { return !script_.empty(); }
  void Verify() {
    for (const Step& s : script_) ADD_FAILURE() << "expected prompt never came: " << s.text;
    script_.clear();
  }

  void MessageBox(const std::u16string& text, const std::u16string&, PromptIcon) override {
    Take(Kind::kMessage, ToUtf8(text));
  }
  bool MessageBoxOptOut(const std::u16string& text, const std::u16string&, const std::u16string&,
                        PromptIcon) override {
    const bool plain = !script_.empty() && script_.front().kind == Kind::kMessage;
    return Take(plain ? Kind::kMessage : Kind::kOptOut, ToUtf8(text)).answer;
  }
  bool AskYesNo(const std::u16string& text, const std::u16string&, PromptIcon) override {
    return Take(Kind::kQuestion, ToUtf8(text)).answer;
  }
  PromptAnswer AskYesNoCancel(const std::u16string& text, const std::u16string&,
                              PromptIcon) override {
    return Take(Kind::kChoice, ToUtf8(text)).choice;
  }
  void Beep() override { Take(Kind::kBeep, "(beep)"); }
  void ExclamationBeep() override { Take(Kind::kExclamationBeep, "(exclamation beep)"); }
  std::optional<double> AskLoadFrameRate() override {
    return Take(Kind::kFrameRate, "(frame rate)").rate;
  }

 private:
  enum class Kind { kMessage, kQuestion, kChoice, kBeep, kExclamationBeep, kFrameRate, kOptOut };
  struct Step {
    Kind kind;
    std::string text;
    bool answer = false;
    bool part = false;
    std::optional<double> rate;
    PromptAnswer choice = PromptAnswer::Cancel;
  };
  ScriptedPrompter& Add(Kind kind, const std::string& text, bool answer, bool part) {
    script_.push_back({kind, text, answer, part, std::nullopt, PromptAnswer::Cancel});
    return *this;
  }
  Step Take(Kind kind, const std::string& text) {
    const bool fits = !script_.empty() && script_.front().kind == kind &&
                      (script_.front().part ? text.find(script_.front().text) != std::string::npos
                                            : text == script_.front().text);
    if (!fits) {
      ADD_FAILURE() << "unexpected prompt: " << text
                    << (script_.empty() ? "" : "\n  expected: " + script_.front().text);
      return {};
    }
    Step s = script_.front();
    script_.pop_front();
    return s;
  }
  std::deque<Step> script_;
};

}  // namespace tessera::testing
