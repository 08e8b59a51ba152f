// One page built alone on a test workbench with the Qt progress window, process runner and text
// measurer, and the clicks, keys and selections a test drives it with.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <memory>

#include "check/text_measurer_qt.h"
#include "core/hold_on_window.h"
#include "core/process_runner_qt.h"
#include "core/qt_text_qt.h"
#include "tests/support/documents.h"
#include "tests/support/test_workbench.h"
#include "ui/sheet_page.h"
#include "ui/subtitle_list_view.h"

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

// The workbench of a page test: the scripted services of TestWorkbench, the Qt ones where a page
// needs the real thing.
struct TestPageContext : TestWorkbench {
  explicit TestPageContext(const std::string& prefix = "tessera-page") : TestWorkbench(prefix) {}
  RecordingHost host;
  CHoldOnDialog progress;  // the page's progress window, in place of the workbench's none
  QtProcessRunner runner;
  QtTextMeasurer qt_measurer;
  PageContext ctx{
      {{prompter, dialogs, progress, runner, qt_measurer}, doc, store, app, lang, history}, &host};
};

template <typename Page>
class PageFixture : public ::testing::Test, public TestPageContext {
 protected:
  ~PageFixture() override { page.reset(); }

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

  std::unique_ptr<Page> page;
};

}  // namespace tessera::testing
