#include "pages/edit/edit_page.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "tests/gui/tool_page_fixture.h"
#include "ui/cd_player_display.h"
#include "ui/spin_arrows.h"

namespace tessera {
namespace {

using testing::ScriptedDialogs;
using testing::TimedRow;

constexpr char kTooShort[] = "Can't insert sub here because next sub will be too short...";
constexpr char kNotFound[] = "Cannot find the requested text.";

struct EditPageTest : testing::ToolPageTest<CEditPage> {
  EditPageTest() { Make(); }
  std::string Line(int k) const { return page->LineField(k)->text().toStdString(); }
  QString Shown(CCDPlayerDisplay* d) const { return d->Lines().value(0); }
  SpinArrows* Spin(const char* name) { return Find<SpinArrows>(name); }
  SearchDialogFields Fields(const char* find, const char* replace = "", int direction = +1) {
    SearchDialogFields f;
    f.find = FromUtf8(find);
    f.replace = FromUtf8(replace);
    f.direction = direction;
    return f;
  }
};

TEST_F(EditPageTest, InsertBeforeTheFirstOrRefused) {
  Show({{4, 6, "first"}}, 0);
  Click("insert");
  ASSERT_EQ(doc.Count(), 2);
  EXPECT_EQ(testing::StartOf(doc, 0), "0:00:02.000");
  EXPECT_EQ(testing::EndOf(doc, 0), "0:00:03.000");
  EXPECT_EQ(testing::StartOf(doc, 1), "0:00:04.000");
  EXPECT_EQ(page->List()->FirstSelectedRow(), 0);
  EXPECT_EQ(Line(0), "");
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Insert");

  Show({{0, 0.8}, {1, 2.5, "second"}}, 1);
  prompter.ExpectMessage(kTooShort);
  Click("insert");
  EXPECT_EQ(doc.Count(), 2);
  EXPECT_FALSE(doc.Changed());
  EXPECT_FALSE(history.CanUndo());
}

TEST_F(EditPageTest, AddOnAnEmptyDocumentSelectsTheNewSubtitle) {
  EXPECT_FALSE(Find("insert")->isEnabled());
  EXPECT_FALSE(page->LineField(0)->isEnabled());
  Click("add");
  ASSERT_EQ(doc.Count(), 1);
  EXPECT_EQ(testing::StartOf(doc, 0), "0:00:01.000");
  EXPECT_EQ(testing::EndOf(doc, 0), "0:00:02.000");
  EXPECT_EQ(page->List()->FirstSelectedRow(), 0);
  EXPECT_TRUE(page->LineField(0)->isEnabled());
  EXPECT_TRUE(Find("insert")->isEnabled());
  EXPECT_EQ(Shown(page->StartDisplay()), QStringLiteral("0:00:01.000"));
  EXPECT_EQ(Shown(page->SecondsDisplay()), QStringLiteral(" 1"));
  EXPECT_EQ(Shown(page->MillisecondsDisplay()), QStringLiteral("000"));
}

TEST_F(EditPageTest, DeleteAsksAndRemovesTheSelectedRows) {
  struct Case {
    std::initializer_list<int> rows;
    const char* question;
    bool yes;
    int count_after;
    int selected_after;
  };
  const Case cases[] = {
      {{1}, "Are you sure to remove this subtitle?\n\r\n\rb\n\rb2\n\r", false, 4, 1},
      {{1}, "Are you sure to remove this subtitle?\n\r\n\rb\n\rb2\n\r", true, 3, 1},
      {{3}, "Are you sure to remove this subtitle?\n\r\n\rd\n\r\n\r", true, 3, 2},  // the last
      {{0, 2}, "Are you sure to remove the selected subtitles?", false, 4, 0},
      {{0, 2}, "Are you sure to remove the selected subtitles?", true, 2, 0},
  };
  for (const Case& c : cases) {
    Show({{1, 2, "a"}, {3, 4, "b", "b2"}, {5, 6, "c"}, {7, 8, "d"}});
    Select(c.rows);
    prompter.ExpectQuestion(c.question, c.yes);
    Click("delete");
    EXPECT_EQ(doc.Count(), c.count_after) << c.question;
    EXPECT_EQ(doc.Changed(), c.yes);
    EXPECT_EQ(page->List()->FirstSelectedRow(), c.selected_after);
  }
  // The Delete key: the subtitle from the list, a character in a line field; a beep without a
  // selection.
  Show({{1, 2, "a"}, {3, 4, "b"}}, 0);
  page->LineField(0)->setFocus();
  EXPECT_FALSE(page->OnShortcut(kCmdDelete));
  page->List()->setFocus();
  prompter.ExpectQuestion("Are you sure to remove this subtitle?\n\r\n\ra\n\r\n\r", true);
  EXPECT_TRUE(page->OnShortcut(kCmdDelete));
  EXPECT_EQ(doc.Count(), 1);
  Select({});
  prompter.ExpectBeep();
  EXPECT_TRUE(page->OnShortcut(kCmdDelete));
}

TEST_F(EditPageTest, RemoveAllKeepsTheChangedFlag) {
  Show({{1, 2, "a"}, {3, 4, "b"}}, 1);
  prompter.ExpectQuestion("Are you REALY sure to remove all subtitles ???", true);
  Click("removeAll");
  EXPECT_EQ(doc.Count(), 0);
  EXPECT_FALSE(doc.Changed());
  EXPECT_EQ(doc.CurrentRow(), -1);
  EXPECT_EQ(Line(0), "");
  EXPECT_FALSE(page->LineField(0)->isEnabled());
  EXPECT_TRUE(Shown(page->StartDisplay()).isEmpty());
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Remove All");
}

TEST_F(EditPageTest, AutoAndTheSpinsAreUndoStepsThatMarkTheDocumentChanged) {
  const std::string forty(40, 'x');
  Show({{10, 11, forty.c_str()}, {20, 25}}, 0);
  Click("auto");
  EXPECT_EQ(testing::EndOf(doc, 0), "0:00:13.400");  // 40 x 0.085 s
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(Shown(page->SecondsDisplay()), QStringLiteral(" 3"));
  EXPECT_EQ(Shown(page->MillisecondsDisplay()), QStringLiteral("400"));
  EXPECT_EQ(page->List()->Model()->index(0, 2).data().toString(), QStringLiteral("0:00:13.400"));

  Spin("startSpin")->Up()->click();
  EXPECT_EQ(testing::StartOf(doc, 0), "0:00:10.100");
  EXPECT_EQ(Shown(page->StartDisplay()), QStringLiteral("0:00:10.100"));
  Spin("millisecondsSpin")->Down()->click();
  EXPECT_EQ(testing::EndOf(doc, 0), "0:00:13.400");
  EXPECT_EQ(history.Steps(), 3u);
  history.Undo(doc);
  history.Undo(doc);
  EXPECT_EQ(testing::StartOf(doc, 0), "0:00:10.000");
}

TEST_F(EditPageTest, EachSpinAtItsLimitBeepsAndChangesNothing) {
  struct Case {
    const char* spin;
    bool up;
    int row;
  };
  // 0.0-1.0, 1.1-1.2, 1.3-2.0: no room anywhere but after the last.
  const Case cases[] = {{"startSpin", false, 0},       {"startSpin", true, 0},
                        {"secondsSpin", true, 0},      {"secondsSpin", false, 0},
                        {"millisecondsSpin", true, 1}, {"millisecondsSpin", false, 1},
                        {"startSpin", true, 1},        {"startSpin", false, 1},
                        {"secondsSpin", false, 2},     {"startSpin", false, 2}};
  for (const Case& c : cases) {
    Show({{0, 1}, {1.1, 1.2}, {1.3, 2}}, c.row);
    const std::vector<std::u16string> starts = doc.ColumnCells(kStart);
    const std::vector<std::u16string> ends = doc.ColumnCells(kEnd);
    prompter.ExpectBeep();
    auto* spin = Spin(c.spin);
    (c.up ? spin->Up() : spin->Down())->click();
    EXPECT_EQ(doc.ColumnCells(kStart), starts) << c.spin << c.row;
    EXPECT_EQ(doc.ColumnCells(kEnd), ends) << c.spin << c.row;
    EXPECT_FALSE(doc.Changed()) << c.spin << c.row;
    EXPECT_FALSE(history.CanUndo()) << c.spin << c.row;
  }
}

TEST_F(EditPageTest, TypingWritesAtOnceAndEnterMovesBetweenTheFields) {
  Show({{1, 2, "a"}, {3, 4, "b"}}, 1);
  EXPECT_EQ(Line(0), "b");
  page->LineField(0)->setFocus();
  page->LineField(0)->insert(QStringLiteral("e"));
  page->LineField(0)->insert(QStringLiteral("d"));
  page->LineField(2)->setText(QStringLiteral("third"));
  EXPECT_EQ(ToUtf8(doc.Line(1, 0)), "bed");
  EXPECT_EQ(ToUtf8(doc.Line(1, 2)), "third");
  EXPECT_EQ(page->List()->Model()->index(1, 4).data().toString(), QStringLiteral("bed"));
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(history.Steps(), 2u);  // one per field
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Edit line 3");

  EXPECT_TRUE(page->LineField(0)->hasFocus());
  for (int next : {1, 2, 0}) {
    EXPECT_TRUE(page->OnShortcut(kCmdEnter));
    EXPECT_TRUE(page->LineField(next)->hasFocus()) << next;
  }
  page->List()->setFocus();
  EXPECT_FALSE(page->OnShortcut(kCmdEnter));
}

TEST_F(EditPageTest, FindDownAndUpWithTheNotFoundBox) {
  Show({{1, 2, "one"}, {3, 4, "two"}, {5, 6, "three", "", "Needle in line 3"}, {7, 8, "four"}});
  // Nothing selected: the search starts beside row 0, downwards.
  dialogs.ExpectFind(Fields("needle"));
  Click("find");
  EXPECT_EQ(doc.CurrentRow(), 2);
  EXPECT_EQ(page->List()->FirstSelectedRow(), 2);
  EXPECT_EQ(Line(2), "Needle in line 3");
  EXPECT_EQ(ToUtf8(store.GetString(u"SearchOptions", u"SearchString")), "needle");

  // F3 goes on down and finds nothing more; the row stays.
  prompter.ExpectMessage(kNotFound);
  EXPECT_TRUE(page->OnShortcut(kCmdFindNext));
  EXPECT_EQ(doc.CurrentRow(), 2);

  // Up from the last row, opened through Ctrl+F on the remembered text.
  Select({3});
  dialogs.ExpectFind(Fields("needle", "", -1));
  EXPECT_TRUE(page->OnShortcut(kCmdFind));
  EXPECT_EQ(ToUtf8(dialogs.last_search_fields.find), "needle");
  EXPECT_EQ(dialogs.last_search_fields.direction, +1);
  EXPECT_EQ(doc.CurrentRow(), 2);

  // Match case: no other row has it.
  SearchDialogFields cased = Fields("needle");
  cased.match_case = true;
  dialogs.ExpectFind(cased);
  prompter.ExpectMessage(kNotFound);
  Click("find");
  EXPECT_EQ(store.GetInt(u"SearchOptions", u"CaseSensitive", 0), 1);
  EXPECT_FALSE(doc.Changed());
}

TEST_F(EditPageTest, ReplaceInTheDialogAndReplaceAll) {
  using Press = ScriptedDialogs::ReplacePress;
  using B = ScriptedDialogs::ReplaceButton;
  Show({{1, 2, "a cat"}, {3, 4, "no"}, {5, 6, "cat", "", "cat and cat"}, {7, 8, "cat"}}, 0);
  // Find Next finds row 2; Replace replaces there (3 times) and finds row 3; Cancel keeps it.
  dialogs.ExpectReplace({Press{B::kFindNext, Fields("cat", "dog")},
                         Press{B::kReplace, Fields("cat", "dog")}, Press{B::kCancel, {}}});
  Click("replace");
  EXPECT_EQ(testing::LineOf(doc, 2, 0), "dog");
  EXPECT_EQ(testing::LineOf(doc, 2, 2), "dog and dog");
  EXPECT_EQ(testing::LineOf(doc, 0, 0), "a cat");
  EXPECT_EQ(doc.CurrentRow(), 3);
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Replace");
  EXPECT_TRUE(store.GetString(u"SearchOptions", u"ReplaceString").empty());  // not Replace All

  // Replace All of "a" by "aa" ends, and keeps the current row.
  dialogs.ExpectReplace({Press{B::kReplaceAll, Fields("a", "aa")}});
  prompter.ExpectMessage("Replaced 4 occurences.");
  Click("replace");
  EXPECT_EQ(testing::LineOf(doc, 0, 0), "aa caat");
  EXPECT_EQ(testing::LineOf(doc, 2, 2), "dog aand dog");
  EXPECT_EQ(testing::LineOf(doc, 3, 0), "caat");
  EXPECT_EQ(doc.CurrentRow(), 3);
  EXPECT_EQ(ToUtf8(store.GetString(u"SearchOptions", u"ReplaceString")), "aa");
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Replace All");

  dialogs.ExpectReplace({Press{B::kReplaceAll, Fields("zebra", "x")}});
  prompter.ExpectMessage("Found no occurences.");
  EXPECT_TRUE(page->OnShortcut(kCmdReplace));
  EXPECT_EQ(ToUtf8(dialogs.last_search_fields.find), "a");
}

}  // namespace
}  // namespace tessera
