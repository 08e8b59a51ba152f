#include <gtest/gtest.h>

#include <QAbstractItemModel>

#include "core/hold_on_window.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "tests/support/test_workbench.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

TEST(SubtitleList, DurationShowsSecondsAndMilliseconds) {
  struct Case {
    const char16_t *start, *end;
    const char* shown;
  } cases[] = {{u"0:00:01.000", u"0:00:13.500", "12.500"},
               {u"0:00:01.000", u"0:00:01.800", "00.800"},
               {u"0:00:00.000", u"0:01:15.000", "15.000"}};
  for (const Case& c : cases) EXPECT_EQ(ToUtf8(DurationText(c.start, c.end)), c.shown);
}

TEST(SubtitleList, RowsColoursAndCurrentRowSurviveAPageSwitch) {
  testing::TestWorkbench w;
  SubtitleDocument& doc = w.doc;
  const AppSettings& app = w.app;
  for (int i = 0; i < 30; ++i) doc.AddRow(u"0:00:01.000", u"0:00:02.000", u"one", u"two", u"three");
  SubtitleListView a(doc, w.app, w.lang), b(doc, w.app, w.lang);
  a.resize(600, 200);
  b.resize(600, 200);
  a.Activate();
  QAbstractItemModel* m = a.model();
  EXPECT_EQ(m->rowCount(), 30);
  EXPECT_EQ(m->headerData(0, Qt::Horizontal).toString().toStdString(), "Nr.");
  EXPECT_EQ(m->headerData(5, Qt::Horizontal).toString().toStdString(), "Line 2");
  EXPECT_EQ(m->data(m->index(0, 0)).toString().toStdString(), "1");
  EXPECT_EQ(m->data(m->index(0, 5)).toString().toStdString(), "two");
  EXPECT_EQ(m->data(m->index(0, 0), Qt::BackgroundRole).value<QColor>(),
            ColorFromSetting(app.even_color));
  EXPECT_EQ(m->data(m->index(1, 0), Qt::BackgroundRole).value<QColor>(),
            ColorFromSetting(app.odd_color));
  EXPECT_EQ(ColorFromSetting(0x0000FF).red(), 255);  // 0x00BBGGRR

  a.selectRow(7);
  EXPECT_EQ(doc.CurrentRow(), 7);
  a.Deactivate();
  b.Activate();
  EXPECT_EQ(b.FirstSelectedRow(), 7);
  EXPECT_EQ(doc.CurrentRow(), 7);

  // A refill after rows were removed reads the document again.
  for (int i = 0; i < 25; ++i) doc.RemoveRow(0);
  doc.ClampCurrentRow();
  b.Refill();
  EXPECT_EQ(b.model()->rowCount(), 5);
}

TEST(LogPanel, FileOperationsVariantSplitsAtCrLf) {
  MessageLog log;
  LogPanel plain(log), split(log, true);
  split.Append(u"first\r\nsecond");
  EXPECT_EQ(log.Size(), 2);
  plain.Append(u"a\r\nb");
  EXPECT_EQ(log.Size(), 3);
  EXPECT_EQ(plain.count(), 3);
  EXPECT_EQ(split.count(), 3);
  split.Refill();
  EXPECT_EQ(split.count(), 3);
  EXPECT_EQ(split.item(1)->text().toStdString(), "second");
}

TEST(HoldOnDialog, BarRestartsAndSaturates) {
  CHoldOnDialog d;
  ProgressSink& sink = d;
  sink.Open(u"Checking...");
  EXPECT_EQ(d.windowTitle().toStdString(), "Checking...");
  sink.SetPercent(150);
  EXPECT_EQ(d.Percent(), 100);
  sink.SetLines(u"line one", u"line two");
  EXPECT_EQ(d.Line(1).toStdString(), "line two");
  sink.Close();
  EXPECT_FALSE(d.isVisible());
  sink.Open(u"Again");
  EXPECT_EQ(d.Percent(), 0);
  sink.Close();
}

}  // namespace
}  // namespace tessera
