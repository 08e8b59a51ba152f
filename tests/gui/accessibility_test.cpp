// The window for a user who hears it or works it by keyboard: every field says what it is, apart
// from the other fields of its page, every button is reached with Tab, and a page that opens has
// the focus on its own first control.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <map>
#include <set>

#include "app/app_window.h"
#include "app/main_window.h"
#include "core/qt_text_qt.h"
#include "tests/gui/window_fixture.h"
#include "ui/cd_player_display.h"
#include "ui/sheet_page.h"

namespace tessera {
namespace {

using testing::MainWindowTest;

QString AccessibleName(QWidget* w) {
  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
  return a ? a->text(QAccessible::Name) : QString();
}

bool Shown(QWidget* w, QWidget* page) {
  return w->isVisibleTo(page) && w->isEnabled();
}

class AccessibilityTest : public MainWindowTest {
 protected:
  CMainDialog& Window() {
    Start({WriteSample("film.srt", 5).string()});
    CMainDialog* w = app_->MainDialog();
    w->Open();
    return *w;
  }
};

TEST_F(AccessibilityTest, EveryFieldHasItsOwnName) {
  CMainDialog& w = Window();
  for (int p = 0; p < w.PageCount(); ++p) {
    w.SetActivePage(p);
    QWidget* page = w.Page(p);
    const std::string title = w.TabTitle(p).toStdString();
    std::map<QString, int> seen;
    for (QWidget* field : page->findChildren<QWidget*>()) {
      const bool is_field = qobject_cast<QAbstractSpinBox*>(field) ||
                            (qobject_cast<QLineEdit*>(field) &&
                             !field->parentWidget()->inherits("QAbstractSpinBox")) ||
                            qobject_cast<QComboBox*>(field);
      if (!is_field || !field->isVisibleTo(page)) continue;
      const QString name = AccessibleName(field);
      EXPECT_FALSE(name.trimmed().isEmpty())
          << title << ": a " << field->metaObject()->className() << " has no name";
      if (!name.isEmpty()) ++seen[name];
    }
    for (const auto& [name, count] : seen)
      EXPECT_EQ(count, 1) << title << ": " << count << " fields are called \"" << name.toStdString()
                          << "\"";
  }
}

TEST_F(AccessibilityTest, TabReachesEveryButtonAndAPageOpensOnItsOwnControl) {
  CMainDialog& w = Window();
  for (int p = 0; p < w.PageCount(); ++p) {
    w.SetActivePage(p);
    QApplication::processEvents();
    QWidget* page = w.Page(p);
    const std::string title = w.TabTitle(p).toStdString();
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus && page->isAncestorOf(focus))
        << title << " opens with the focus on "
        << (focus ? focus->metaObject()->className() : "nothing");
    if (!focus) continue;
    // Tab round the window from there, as far as it goes before it comes back.
    std::set<QWidget*> reached;
    QWidget* at = focus;
    for (int k = 0; k < 400; ++k) {
      reached.insert(at);
      QWidget* next = at->nextInFocusChain();
      while (next != at &&
             (!(next->focusPolicy() & Qt::TabFocus) || !next->isVisible() || !next->isEnabled()))
        next = next->nextInFocusChain();
      if (next == focus) break;
      at = next;
    }
    for (QAbstractButton* b : page->findChildren<QAbstractButton*>()) {
      if (!Shown(b, page) || !b->isVisible()) continue;
      EXPECT_TRUE(reached.count(b) && (b->focusPolicy() & Qt::TabFocus))
          << title << ": Tab never reaches \"" << b->text().toStdString() << "\"";
    }
  }
}

// The drawn readouts say what they show: the position, or the start and duration of the
// current subtitle.
TEST_F(AccessibilityTest, DrawnTimesAreTheirDisplaysNames) {
  CMainDialog& w = Window();
  int pages = 0, shown = 0;
  for (int p = 0; p < w.PageCount(); ++p) {
    w.SetActivePage(p);
    const auto displays = w.Page(p)->findChildren<CCDPlayerDisplay*>();
    pages += !displays.isEmpty();
    for (CCDPlayerDisplay* d : displays) {
      const QString text = d->Lines().value(0).trimmed();
      const QString name = AccessibleName(d);
      EXPECT_FALSE(name.isEmpty()) << w.TabTitle(p).toStdString();
      if (text.isEmpty()) continue;
      ++shown;
      EXPECT_TRUE(name.endsWith(text) && name.size() > text.size())
          << w.TabTitle(p).toStdString() << ": \"" << name.toStdString() << "\" for "
          << text.toStdString();
    }
  }
  EXPECT_EQ(pages, 2);  // Edit and Play Movie
  EXPECT_GT(shown, 0);
}

}  // namespace
}  // namespace tessera
