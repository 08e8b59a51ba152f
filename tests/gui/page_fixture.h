// One page built alone on a PageContext with scripted prompts and dialogs, and the clicks and
// keys a test drives it with.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <memory>

#include "check/text_measurer_qt.h"
#include "core/hold_on_window.h"
#include "core/process_runner_qt.h"
#include "core/qt_text_qt.h"
#include "tests/support/documents.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"
#include "ui/sheet_page.h"

namespace tessera::testing {

class RecordingHost final : public MainWindowHost {
 public:
  void SetCurrentFile(const std::u16string& path) override { caption = path; }
  void EndWithOk() override { ++ended; }
  void HistoryChanged() override { ++history_changes; }
  std::u16string caption;
  int ended = 0;
  int history_changes = 0;
};

template <typename Page>
class PageFixture : public ::testing::Test {
 protected:
  PageFixture() {
    store.LoadFromText(u"");
    lang.Build(scratch.Dir() / "no-languages");
  }
  ~PageFixture() override { page.reset(); }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* w = page->template findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  bool Enabled(const char* name) const { return Find(name)->isEnabled(); }
  bool Checked(const char* name) const { return Find<QAbstractButton>(name)->isChecked(); }
  std::string Text(const char* name) const { return Find<QLineEdit>(name)->text().toStdString(); }
  // Types the text into a field and presses Return, as a user finishes a number.
  void Type(const char* name, const char* text) {
    auto* field = Find<QLineEdit>(name);
    field->setText(QString::fromUtf8(text));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
  }
  std::vector<std::string> Log() const { return LogLines(doc); }

  ScratchDir scratch{"tessera-page"};
  SubtitleDocument doc;
  SettingsStore store;
  AppSettings app;
  LanguageTable lang;
  ScriptedPrompter prompter;
  ScriptedDialogs dialogs;
  RecordingHost host;
  CHoldOnDialog progress;
  QtProcessRunner runner;
  QtTextMeasurer measurer;
  UndoHistory history;
  PageContext ctx{
      {prompter, dialogs, progress, runner, measurer}, doc, store, app, lang, history, &host};
  std::unique_ptr<Page> page;
};

}  // namespace tessera::testing
