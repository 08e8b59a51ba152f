// A scripted dialog service for the file, window and page tests: it expects a queue of dialogs
// with their answers, like the scripted prompter.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

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
    queue_.push_back(FileDialog(false, std::move(title), std::move(path)));
  }
  // `filter`: the file type the user picks (nothing: the preselected one stays).
  void ExpectSave(std::u16string title, std::optional<std::u16string> path,
                  std::optional<int> filter = std::nullopt) {
    Expected e = FileDialog(true, std::move(title), std::move(path));
    e.filter = filter;
    queue_.push_back(std::move(e));
  }
  // The Find dialog, left with `answer` by Find Next (nothing: Cancel).
  void ExpectFind(std::optional<SearchDialogFields> answer) {
    Expected e;
    e.kind = Kind::kFind;
    e.title = u"Find";
    e.answer = std::move(answer);
    queue_.push_back(std::move(e));
  }
  // The Replace dialog: its buttons pressed in order, each with the fields the dialog then holds.
  // A press of Replace All or Cancel closes it; a script without either ends with Cancel.
  enum class ReplaceButton { kFindNext, kReplace, kReplaceAll, kCancel };
  struct ReplacePress {
    ReplaceButton button;
    SearchDialogFields fields;
  };
  void ExpectReplace(std::vector<ReplacePress> presses) {
    Expected e;
    e.kind = Kind::kReplace;
    e.title = u"Replace";
    e.presses = std::move(presses);
    queue_.push_back(std::move(e));
  }
  // What the last Find or Replace dialog opened with.
  SearchDialogFields last_search_fields;
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
  std::optional<SearchDialogFields> FindText(const SearchDialogFields& initial) override {
    last_search_fields = initial;
    std::optional<Expected> e = TakeSearch(Kind::kFind);
    return e ? e->answer : std::nullopt;
  }
  std::optional<SearchDialogFields> ReplaceText(const SearchDialogFields& initial,
                                                ReplaceDialogClient& client) override {
    last_search_fields = initial;
    std::optional<Expected> e = TakeSearch(Kind::kReplace);
    if (!e) return std::nullopt;
    for (const ReplacePress& p : e->presses) {
      switch (p.button) {
        case ReplaceButton::kFindNext:
          client.FindNextPressed(p.fields);
          break;
        case ReplaceButton::kReplace:
          client.ReplacePressed(p.fields);
          break;
        case ReplaceButton::kReplaceAll:
          return p.fields;
        case ReplaceButton::kCancel:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

 private:
  enum class Kind { kFile, kFind, kReplace };
  struct Expected {
    Kind kind = Kind::kFile;
    bool save = false;
    std::u16string title;
    std::optional<std::u16string> path;
    std::optional<int> filter;
    std::optional<SearchDialogFields> answer;
    std::vector<ReplacePress> presses;
  };
  static Expected FileDialog(bool save, std::u16string title, std::optional<std::u16string> path) {
    Expected e;
    e.save = save;
    e.title = std::move(title);
    e.path = std::move(path);
    return e;
  }
  std::optional<Expected> TakeSearch(Kind kind) {
    const char* name = kind == Kind::kFind ? "Find" : "Replace";
    if (queue_.empty() || queue_.front().kind != kind) {
      ADD_FAILURE() << "unexpected dialog: " << name
                    << (queue_.empty() ? "" : "\n  expected: " + ToUtf8(queue_.front().title));
      return std::nullopt;
    }
    Expected e = queue_.front();
    queue_.pop_front();
    return e;
  }
  std::optional<FileDialogAnswer> Answer(bool save, const FileDialogRequest& r) {
    last_request = r;
    if (queue_.empty() || queue_.front().kind != Kind::kFile) {
      ADD_FAILURE() << "unexpected dialog: " << ToUtf8(r.title);
      return std::nullopt;
    }
    Expected e = queue_.front();
    queue_.pop_front();
    EXPECT_EQ(e.save, save) << ToUtf8(r.title);
    EXPECT_EQ(ToUtf8(e.title), ToUtf8(r.title));
    if (!e.path) return std::nullopt;
    return FileDialogAnswer{*e.path, e.filter.value_or(r.selected_filter)};
  }
  std::deque<Expected> queue_;
  std::deque<std::optional<std::u16string>> folders_;
  std::deque<std::optional<FontChoice>> fonts_;
};

}  // namespace tessera::testing
