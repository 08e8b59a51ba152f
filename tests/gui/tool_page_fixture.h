// One page of the timing and editing tools built alone on a context of scripted services, with
// helpers to fill the document, select rows and find the page's controls.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QItemSelectionModel>
#include <memory>

#include "check/text_measurer_qt.h"
#include "core/process_runner_qt.h"
#include "tests/gui/page_fixture.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"
#include "ui/subtitle_list_view.h"

namespace tessera::testing {

template <class Page>
class ToolPageTest : public ::testing::Test {
 protected:
  ToolPageTest() {
    store.LoadFromText(u"");
    lang.Build(scratch.Dir() / "no-languages");
  }
  ~ToolPageTest() override { page.reset(); }

  // Builds the page, shown and active, on the document as it is.
  Page& Make() {
    page = std::make_unique<Page>(ctx);
    page->resize(960, 640);
    page->show();
    QApplication::setActiveWindow(page.get());
    page->OnActivate();
    return *page;
  }
  // The document takes `rows` and the page shows it as after a page switch.
  void Show(const std::vector<TimedRow>& rows, int current = -1) {
    page->OnDeactivate();
    doc.Empty();
    for (const TimedRow& r : rows)
      doc.AddRow(FormatTimeText(r.start), FormatTimeText(r.end), FromUtf8(r.line1),
                 FromUtf8(r.line2), FromUtf8(r.line3));
    doc.SetCurrentRow(current);
    doc.SetChanged(false);
    history.Clear();
    page->OnActivate();
    page->List()->setFocus();
  }
  template <class W = QAbstractButton>
  W* Find(const char* name) const {
    W* w = page->template findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  void Select(std::initializer_list<int> rows) {
    auto* sel = page->List()->selectionModel();
    sel->clearSelection();
    for (int r : rows)
      sel->select(page->List()->Model()->index(r, 0),
                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  std::string LastLog() const {
    return doc.Log().Size() ? ToUtf8(doc.Log().Lines().back()) : std::string();
  }

  ScratchDir scratch{"tessera-tools-page"};
  SubtitleDocument doc;
  SettingsStore store;
  AppSettings app;
  LanguageTable lang;
  ScriptedPrompter prompter;
  ScriptedDialogs dialogs;
  RecordingHost host;
  NullProgressSink progress;
  QtProcessRunner runner;
  QtTextMeasurer measurer;
  UndoHistory history;
  PageContext ctx{
      {prompter, dialogs, progress, runner, measurer}, doc, store, app, lang, history, &host};
  std::unique_ptr<Page> page;
};

}  // namespace tessera::testing
