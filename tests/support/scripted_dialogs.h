// A scripted dialog service for the file and window tests: it expects a queue of dialogs with
// their answers, like the scripted prompter.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>

#include "core/services.h"
#include "core/text_util.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"

namespace tessera::testing {

// Each expected dialog names its title and the answer (nothing = cancel); the request is kept
// so that a test can look at what the dialog was asked to show.
class ScriptedDialogs final : public DialogService {
 public:
  ~ScriptedDialogs() override { Verify(); }
  void ExpectOpen(std::u16string title, std::optional<std::u16string> path) {
    queue_.push_back({false, std::move(title), std::move(path)});
  }
  void ExpectSave(std::u16string title, std::optional<std::u16string> path) {
    queue_.push_back({true, std::move(title), std::move(path)});
  }
  // The folder browser answers `path` (nothing = cancel).
  void ExpectFolder(std::optional<std::u16string> path) { folders_.push_back(std::move(path)); }
  // The font dialog answers `choice` (nothing = cancel).
  void ExpectFont(std::optional<FontChoice> choice) { fonts_.push_back(std::move(choice)); }
  void Verify() {
    for (const auto& e : queue_) ADD_FAILURE() << "dialog never shown: " << ToUtf8(e.title);
    if (!folders_.empty()) ADD_FAILURE() << folders_.size() << " folder browser(s) never shown";
    if (!fonts_.empty()) ADD_FAILURE() << fonts_.size() << " font dialog(s) never shown";
    queue_.clear();
    folders_.clear();
    fonts_.clear();
  }
  FileDialogRequest last_request;
  FontChoice last_font_request;

  std::optional<FileDialogAnswer> OpenFile(const FileDialogRequest& r) override {
    return Answer(false, r);
  }
  std::optional<FileDialogAnswer> SaveFile(const FileDialogRequest& r) override {
    return Answer(true, r);
  }
  std::optional<std::u16string> BrowseFolder(const std::u16string& title,
                                             const std::u16string&) override {
    if (folders_.empty()) {
      ADD_FAILURE() << "unexpected folder browser: " << ToUtf8(title);
      return std::nullopt;
    }
    std::optional<std::u16string> answer = folders_.front();
    folders_.pop_front();
    return answer;
  }
  std::optional<FontChoice> ChooseFont(const FontChoice& initial) override {
    last_font_request = initial;
    if (fonts_.empty()) {
      ADD_FAILURE() << "unexpected font dialog";
      return std::nullopt;
    }
    std::optional<FontChoice> answer = fonts_.front();
    fonts_.pop_front();
    return answer;
  }

 private:
  struct Expected {
    bool save;
    std::u16string title;
    std::optional<std::u16string> path;
  };
  std::optional<FileDialogAnswer> Answer(bool save, const FileDialogRequest& r) {
    last_request = r;
    if (queue_.empty()) {
      ADD_FAILURE() << "unexpected dialog: " << ToUtf8(r.title);
      return std::nullopt;
    }
    Expected e = queue_.front();
    queue_.pop_front();
    EXPECT_EQ(e.save, save) << ToUtf8(r.title);
    EXPECT_EQ(ToUtf8(e.title), ToUtf8(r.title));
    if (!e.path) return std::nullopt;
    return FileDialogAnswer{*e.path, r.selected_filter};
  }
  std::deque<Expected> queue_;
  std::deque<std::optional<std::u16string>> folders_;
  std::deque<std::optional<FontChoice>> fonts_;
};

}  // namespace tessera::testing
