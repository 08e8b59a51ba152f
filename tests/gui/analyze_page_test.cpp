#include "pages/analyze/analyze_page.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QMouseEvent>

#include "tests/gui/page_fixture.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

class AnalizePageTest : public testing::PageFixture<CAnalizePage> {
 protected:
  // Counted in characters, at most 10 to a line.
  AnalizePageTest() {
    store.LoadFromText(u"[Settings]\r\nSplitMethod=1\r\n");
    app.max_number_characters = 10;
    testing::Fill(doc, {{"0:00:01.000", "0:00:04.000", "Fine"},
                        {"0:00:05.000", "0:00:08.000", "Far too long", "- Hi there"},
                        {"0:00:09.000", "0:00:09.500", "Quick one"},
                        {"0:00:10.000", "0:00:12.000"},
                        {"0:00:13.000", "0:00:20.000", "Also fine"},
                        {"0:00:21.000", "0:00:24.000", "Ok"}});
    page = std::make_unique<CAnalizePage>(ctx);
    page->resize(900, 600);
    page->show();
    page->OnActivate();
  }
  SubtitleListView* List() { return page->List(); }
  int Selected() { return List()->FirstSelectedRow(); }
  void Select(std::initializer_list<int> rows) {
    List()->selectionModel()->clearSelection();
    for (int r : rows)
      List()->selectionModel()->select(List()->Model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  std::string Message(int i) { return page->MessageLine(i).toStdString(); }
};

TEST_F(AnalizePageTest, AnalysisShowsStatisticsFlagsAndMessages) {
  for (int i = 0; i < 11; ++i) EXPECT_EQ(page->FieldText(i).toStdString(), "---") << i;
  Click("analyze");
  // The half-second subtitle is read too fast as well.
  EXPECT_EQ(page->Flags(), (std::vector<int>{0, kFlagTooLong, kFlagTooShort | kFlagTooFast,
                                             kFlagEmpty, 0, 0}));
  const char* fields[] = {"6",
                          "6",
                          "12",
                          "46",
                          "1",
                          "1",
                          "1",
                          "Line 2 has 12 characters.",
                          "Line 6 has 2 characters.",
                          "Line 5 is displayed for 7.000 seconds.",
                          "Line 3 is displayed for 0.500 seconds."};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(page->FieldText(i).toStdString(), fields[i]) << i;
  EXPECT_EQ(page->FieldText(kTooFastField).toStdString(), "1");
  // Flagged rows are red and bold; the first of them is selected with its messages.
  QAbstractItemModel* m = List()->Model();
  for (int r = 0; r < 6; ++r) {
    EXPECT_EQ(m->data(m->index(r, 4), SubtitleListModel::kEmphasisRole).toBool(),
              page->Flags()[r] != 0)
        << r;
  }
  EXPECT_EQ(m->data(m->index(1, 0), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
  EXPECT_TRUE(m->data(m->index(1, 0), Qt::FontRole).value<QFont>().bold());
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Message(0), "ERROR: One or more lines are too long: 12 characters.");
  EXPECT_EQ(Message(1), "");

  const struct {
    int row;
    const char* first;
  } messages[] = {{2, "ERROR: Subtitle is shown too short."},
                  {3, "ERROR: Subtitle is empty."},
                  {0, "NO ERRORS ;-)"},
                  {-1, ""}};
  for (const auto& c : messages) {
    if (c.row < 0)
      List()->selectionModel()->clearSelection();
    else
      Select({c.row});
    EXPECT_EQ(Message(0), c.first) << c.row;
  }
  // With two rows selected the lines follow the first.
  Select({3, 2});
  EXPECT_EQ(Message(0), "ERROR: Subtitle is shown too short.");
}

TEST_F(AnalizePageTest, NavigationStepsThroughTheFlaggedRows) {
  Select({4});
  Click("next");  // nothing analysed yet: nothing to go to
  EXPECT_EQ(page->NavigationRow(), -1);
  Click("analyze");
  const struct {
    const char* button;
    int row;
  } steps[] = {{"next", 2},     {"next", 3}, {"next", 3},     {"previous", 2}, {"first", 1},
               {"previous", 1}, {"last", 3}, {"previous", 2}, {"previous", 1}};
  for (const auto& s : steps) {
    Click(s.button);
    EXPECT_EQ(page->NavigationRow(), s.row) << s.button;
    EXPECT_EQ(Selected(), s.row) << s.button;
    EXPECT_EQ(List()->selectionModel()->selectedRows().size(), 1) << s.button;
  }
  // A click on an extreme's label or value goes to its row.
  const std::pair<const char*, int> extremes[] = {{"label9", 4}, {"field10", 2}, {"field8", 5}};
  for (const auto& [name, row] : extremes) {
    QWidget* w = Find(name);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    EXPECT_EQ(Selected(), row) << name;
    EXPECT_EQ(page->NavigationRow(), row) << name;
  }
  Click("next");
  EXPECT_EQ(Selected(), 5);  // nothing flagged after the shortest line's row
  // Leaving and coming back fills the list again: the marks are gone.
  page->OnDeactivate();
  EXPECT_EQ(doc.CurrentRow(), 5);
  page->OnActivate();
  EXPECT_EQ(page->Flags(), std::vector<int>(6, 0));
  EXPECT_EQ(Message(0), "");
}

TEST_F(AnalizePageTest, OptionsArrowAndLeavingThePage) {
  EXPECT_TRUE(Checked("splitMethod1"));
  EXPECT_EQ(Text("fixedCount"), "10");
  EXPECT_TRUE(Checked("checkLength"));
  EXPECT_FALSE(Checked("checkNumbers"));
  EXPECT_FALSE(Enabled("fixSelected"));
  EXPECT_FALSE(Enabled("fixAll"));
  Click("fixedCountUp");
  Click("checkNumbers");
  Click("checkDuration");
  Click("splitMethod0");
  page->OnDeactivate();
  EXPECT_EQ(store.GetInt(u"Settings", u"SplitMethod", -1), 0);
  EXPECT_EQ(store.GetInt(u"Settings", u"Analize Items", -1), 30 | kCheckSpeed);
  EXPECT_EQ(app.max_number_characters, 11);

  // The count stops at 0 with a beep; text that is no whole number is refused.
  Type("fixedCount", "0");
  prompter.ExpectBeep();
  Click("fixedCountDown");
  EXPECT_EQ(Text("fixedCount"), "0");
  prompter.ExpectMessage(std::string("Enter an integer."));
  Type("fixedCount", "ten");
  EXPECT_EQ(Text("fixedCount"), "0");
}

TEST_F(AnalizePageTest, SaveSelectionWritesTheSelectedRows) {
  const struct {
    std::vector<int> rows;
    std::string file;
  } cases[] = {{{1, 4}, "two.srt"}, {{}, "none.srt"}};
  for (const auto& c : cases) {
    List()->selectionModel()->clearSelection();
    for (int r : c.rows)
      List()->selectionModel()->select(List()->Model()->index(r, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialogs.ExpectSave(u"Save Selection", scratch.Path16(c.file));
    Click("saveSelection");
    for (int r = 0; r < doc.Count(); ++r) {
      const bool selected = std::find(c.rows.begin(), c.rows.end(), r) != c.rows.end();
      EXPECT_EQ(doc.Selected(r), selected) << c.file << " " << r;
    }
  }
  const std::string two = testing::ReadBytes(scratch.Path("two.srt"));
  EXPECT_NE(two.find("Far too long"), std::string::npos);
  EXPECT_NE(two.find("Also fine"), std::string::npos);
  EXPECT_EQ(two.find("Quick"), std::string::npos);
}

}  // namespace
}  // namespace tessera
