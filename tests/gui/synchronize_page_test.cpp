#include "pages/synchronize/synchronize_page.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "tests/gui/tool_page_fixture.h"
#include "ui/spin_arrows.h"

namespace tessera {
namespace {

using testing::StartOf;

constexpr char kOverlap[] = "ERROR: Movement will cause overlapping subtitles.";

struct SyncPageTest : testing::ToolPageTest<CSyncPage> {
  SyncPageTest() {
    Make();
    // Ten subtitles, 10 s apart and 5 s long.
    std::vector<testing::TimedRow> rows;
    for (int i = 0; i < 10; ++i) rows.push_back({i * 10.0, i * 10.0 + 5});
    Show(rows);
  }
  void Type(SyncField f, const char* text) { page->Field(f)->setText(QString::fromLatin1(text)); }
  bool Checked(const char* name) { return Find<QRadioButton>(name)->isChecked(); }
};

TEST_F(SyncPageTest, MoveASelectedBlockButNotOntoItsNeighbour) {
  Select({3, 4, 5, 8});
  EXPECT_TRUE(Checked("moveSelection"));
  Click("later");
  Type(SyncField::kSeconds, "5");  // the block's last end would touch row 6
  prompter.ExpectMessage(kOverlap);
  Click("move");
  EXPECT_EQ(StartOf(doc, 3), "0:00:30.000");
  EXPECT_TRUE(doc.Changed());
  EXPECT_FALSE(history.CanUndo());

  Type(SyncField::kSeconds, "4");
  Click("smallMove");
  EXPECT_EQ(StartOf(doc, 3), "0:00:34.000");
  EXPECT_EQ(StartOf(doc, 5), "0:00:54.000");
  EXPECT_EQ(StartOf(doc, 8), "0:01:20.000");  // outside the first block
  EXPECT_EQ(LastLog(), "Done.");
  EXPECT_EQ(ToUtf8(doc.Log().Lines()[doc.Log().Size() - 2]),
            "Moving selection 3 - 5 4.000 seconds to the end...");
  EXPECT_EQ(page->List()->Model()->index(3, 1).data().toString(), QStringLiteral("0:00:34.000"));
  EXPECT_EQ(page->List()->FirstSelectedRow(), 3);  // the selection stays for the next move
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Move");

  // All subtitles sooner by exactly the first start is allowed; nothing selected in the
  // Selection scope moves nothing.
  Click("moveAll");
  Click("sooner");
  Type(SyncField::kSeconds, "0");
  Show({{2.5, 3}, {4, 5}});
  Type(SyncField::kSeconds, "2");
  Type(SyncField::kMilliseconds, "500");
  Click("move");
  EXPECT_EQ(StartOf(doc, 0), "0:00:00.000");
  Click("moveSelection");
  Select({});
  Click("move");
  EXPECT_EQ(StartOf(doc, 1), "0:00:01.500");
}

TEST_F(SyncPageTest, StretchANonContiguousSelection) {
  Select({3, 4, 5, 8});
  Click("stretchSelection");
  Type(SyncField::kStretchSeconds, "2");
  Click("stretch");
  // Rows 3 to 6: as many rows as are selected, from the first selected one.
  EXPECT_EQ(StartOf(doc, 3), "0:00:30.000");
  EXPECT_EQ(StartOf(doc, 6), "0:01:02.000");
  EXPECT_EQ(StartOf(doc, 8), "0:01:20.000");
  EXPECT_EQ(ToUtf8(doc.Log().Lines()[doc.Log().Size() - 2]),
            "Stretching subs 3 to 6 - 2 sec 0 milliseconds...");

  // Negative half a second over everything.
  Click("stretchAll");
  Type(SyncField::kStretchSeconds, "0");
  Type(SyncField::kStretchMilliseconds, "500");
  Find<QCheckBox>("negative")->setChecked(true);
  Click("smallStretch");
  EXPECT_EQ(StartOf(doc, 0), "0:00:00.000");
  EXPECT_EQ(StartOf(doc, 9), "0:01:29.500");
}

TEST_F(SyncPageTest, ScopeSwitchesToSelectionWithMoreThanOneRow) {
  EXPECT_TRUE(Checked("moveAll"));
  Select({2});
  EXPECT_TRUE(Checked("moveAll"));
  Select({2, 3});
  EXPECT_TRUE(Checked("moveSelection"));
  Select({2});
  EXPECT_TRUE(Checked("moveSelection"));
  EXPECT_TRUE(Checked("stretchAll"));
}

TEST_F(SyncPageTest, ButtonsFollowTheFields) {
  const char* buttons[] = {"move", "smallMove", "stretch", "smallStretch"};
  for (const char* b : buttons) EXPECT_FALSE(Find(b)->isEnabled()) << b;
  Type(SyncField::kMilliseconds, "100");
  EXPECT_TRUE(Find("move")->isEnabled());
  EXPECT_TRUE(Find("smallMove")->isEnabled());
  EXPECT_FALSE(Find("stretch")->isEnabled());
  Type(SyncField::kStretchSeconds, "x");
  EXPECT_FALSE(Find("stretch")->isEnabled());
  Type(SyncField::kStretchSeconds, "1");
  EXPECT_TRUE(Find("smallStretch")->isEnabled());

  // A field that is not a whole number stops the operation.
  Type(SyncField::kMinutes, "1.5");
  prompter.ExpectMessage("Enter an integer.");
  Click("move");
  EXPECT_FALSE(doc.Changed());
}

TEST_F(SyncPageTest, SpinArrowsStepWithinTheirBounds) {
  struct Case {
    SyncField field;
    const char* before;
    bool up;
    const char* after;
    bool beep;
  };
  const Case cases[] = {
      {SyncField::kMinutes, "0", true, "1", false},
      {SyncField::kMinutes, "0", false, "0", true},
      {SyncField::kSeconds, "59", true, "59", true},
      {SyncField::kSeconds, "12", false, "11", false},
      {SyncField::kMilliseconds, "900", true, "900", true},
      {SyncField::kMilliseconds, "50", false, "0", true},
      {SyncField::kStretchSeconds, "999", true, "900", true},
      {SyncField::kStretchMilliseconds, "300", true, "400", false},
  };
  const char* spins[] = {"minutesSpin", "secondsSpin", "millisecondsSpin", "stretchSecondsSpin",
                         "stretchMillisecondsSpin"};
  for (const Case& c : cases) {
    Type(c.field, c.before);
    if (c.beep) prompter.ExpectBeep();
    auto* spin = Find<SpinArrows>(spins[static_cast<int>(c.field)]);
    (c.up ? spin->Up() : spin->Down())->click();
    EXPECT_EQ(page->Field(c.field)->text().toStdString(), c.after) << c.before;
    prompter.Verify();
  }
  Type(SyncField::kSeconds, "");
  prompter.ExpectMessage("Enter an integer.");
  Find<SpinArrows>("minutesSpin")->Up()->click();
  EXPECT_EQ(page->Field(SyncField::kMinutes)->text().toStdString(), "0");
}

TEST_F(SyncPageTest, TheListShowsAndKeepsTheSelectionFlags) {
  page->OnDeactivate();
  doc.ResetSelection();
  doc.SetSelected(2, true);
  doc.SetSelected(3, true);
  doc.SetSelected(7, true);
  doc.SetCurrentRow(2);
  page->OnActivate();
  for (int row = 0; row < 10; ++row)
    EXPECT_EQ(page->List()->IsRowSelected(row), row == 2 || row == 3 || row == 7) << row;
  EXPECT_TRUE(Checked("moveSelection"));

  Select({5, 6});
  page->OnDeactivate();
  for (int row = 0; row < 10; ++row) EXPECT_EQ(doc.Selected(row), row == 5 || row == 6) << row;
  EXPECT_EQ(doc.CurrentRow(), 5);
}

}  // namespace
}  // namespace tessera
