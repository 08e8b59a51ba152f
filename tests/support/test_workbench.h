// The workbench every test builds on: an empty settings store, the built-in English texts, a
// scratch folder, scripted prompts and dialogs, and inert progress, processes and measuring.
#pragma once

#include <string>

#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"
#include "workbench/workbench.h"

namespace tessera::testing {

// Ten pixels a character, for tests that do not measure.
class CharacterMeasurer final : public TextMeasurer {
 public:
  int MeasureWidth(const std::u16string& text, const FontSpec&) override {
    return static_cast<int>(text.size()) * 10;
  }
};

// The scripted services and the rest of a workbench, for a test that keeps its own document,
// settings store and settings.
struct TestServices {
  Workbench Over(SubtitleDocument& doc, SettingsStore& store, AppSettings& app) {
    return Workbench{
        {prompter, dialogs, progress, processes, measurer}, doc, store, app, lang, history};
  }

  LanguageTable lang;  // the built-in English texts
  UndoHistory history;
  ScriptedPrompter prompter;
  ScriptedDialogs dialogs;
  NullProgressSink progress;
  NoProcesses processes;
  CharacterMeasurer measurer;
};

class TestWorkbench : public TestServices {
 public:
  explicit TestWorkbench(const std::string& prefix = "tessera-test") : scratch(prefix) {
    store.LoadFromText(u"");
    lang.Build(scratch.Dir() / "no-languages");
  }
  TestWorkbench(const TestWorkbench&) = delete;
  TestWorkbench& operator=(const TestWorkbench&) = delete;

  // A path in the scratch folder.
  std::u16string P(const std::string& name) const { return scratch.Path16(name); }
  std::vector<std::string> Log() const { return LogLines(doc); }

  ScratchDir scratch;
  SubtitleDocument doc;
  SettingsStore store;
  AppSettings app;
  Workbench bench = Over(doc, store, app);
};

}  // namespace tessera::testing
