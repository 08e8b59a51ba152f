#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tessera
