#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "core/hold_on_window.h"

namespace tessera {
namespace {

// A run calls once per subtitle; the window repaints only a few of those times, and shows the
// last state before it closes.
TEST(HoldOnDialog, RepaintsSeldomAndShowsTheLastStateWhenClosing) {
  CHoldOnDialog d;
  ProgressSink& sink = d;
  sink.Open(u"Checking...");
  constexpr int kRows = 20000;
  for (int n = 0; n < kRows; ++n) {
    sink.SetPercent(n * 100 / kRows);
    const std::u16string line = u"row " + std::u16string(1, u'a' + n % 26);
    sink.SetLines(line, u"second");
  }
  sink.SetPercent(100);
  sink.SetLines(u"last row", u"");
  EXPECT_LT(d.Repaints(), kRows / 10);
  EXPECT_EQ(d.Percent(), 100);
  sink.Close();
  EXPECT_EQ(d.ShownPercent(), 100);
  EXPECT_EQ(d.ShownLine(0).toStdString(), "last row");
  EXPECT_EQ(d.ShownLine(1).toStdString(), "");

  // The same state again repaints nothing.
  sink.Open(u"Checking...");
  const int after_open = d.Repaints();
  for (int n = 0; n < 1000; ++n) {
    sink.SetPercent(0);
    sink.SetLines(u"", u"");
  }
  EXPECT_EQ(d.Repaints(), after_open);
  sink.Close();
}

// A run that offers to stop hears the Cancel button and Escape; meanwhile the user's typing in
// another window is dropped, so nothing else starts in the middle of the run.
TEST(HoldOnDialog, CancelIsHeardWhileInputForOtherWindowsIsDropped) {
  QLineEdit other;
  other.show();
  CHoldOnDialog d;
  ProgressSink& sink = d;
  for (const bool by_escape : {false, true}) {
    SCOPED_TRACE(by_escape ? "Escape" : "button");
    sink.Open(u"Checking...");
    EXPECT_TRUE(d.CancelButton()->isHidden());
    EXPECT_FALSE(sink.Cancelled());  // not offered: never asked
    sink.OfferCancel();
    EXPECT_FALSE(d.CancelButton()->isHidden());
    QCoreApplication::postEvent(
        &other, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x")));
    EXPECT_FALSE(sink.Cancelled());
    EXPECT_EQ(other.text(), QString());
    if (by_escape)
      QMetaObject::invokeMethod(&d, "reject");
    else
      d.CancelButton()->click();
    EXPECT_TRUE(sink.Cancelled());
    EXPECT_TRUE(d.isVisible());
    sink.Close();
    EXPECT_TRUE(d.CancelButton()->isHidden());
    EXPECT_FALSE(sink.Cancelled());
  }
}

}  // namespace
}  // namespace tessera
