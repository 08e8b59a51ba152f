// Spelling in the window: underlines in the line fields, the context menu, the Spelling run of
// the Edit page, and the reading-speed column of the subtitle lists.
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "spelling/spelling_session.h"
#include "tests/gui/tool_page_fixture.h"
#include "pages/edit/edit_page.h"
#include "ui/spelling_marker.h"

namespace tessera {
namespace {

using testing::TimedRow;

struct SpellingPageTest : testing::ToolPageTest<CEditPage> {
  SpellingPageTest() {
    std::filesystem::create_directories(scratch.Path("dicts"));
    testing::WriteBytes(scratch.Path("dicts/xx.aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
    testing::WriteBytes(scratch.Path("dicts/xx.dic"), "6\nthe\ncat\nsat\nhello\nworld\ndog\n");
    app.spelling_language = u"xx";
    ctx.spelling = &session;
    Make();
  }
  // The page goes before the session it checks with.
  ~SpellingPageTest() override { page.reset(); }
  std::vector<std::string> Marked(int line) const {
    const std::u16string text = FromQ(page->LineField(line)->text());
    std::vector<std::string> out;
    for (const WordSpan& w : page->LineMarker(line)->Marked())
      out.push_back(ToUtf8(text.substr(w.start, w.length)));
    return out;
  }
  QAction* MenuAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
      if (a->text() == text || a->objectName() == text) return a;
    ADD_FAILURE() << "no action " << text.toStdString();
    return nullptr;
  }
  CSpellingDialog* StartRun() {
    Click("spelling");
    CSpellingDialog* d = page->SpellingDialog();
    EXPECT_NE(d, nullptr);
    return d;
  }
  std::string Context(CSpellingDialog* d) {
    return d->findChild<QLabel*>(QStringLiteral("context"))->text().toStdString();
  }

  SpellingSession session{scratch.Path("dicts"), scratch.Path("config/words.txt")};
};

TEST_F(SpellingPageTest, UnknownWordsAreUnderlinedAsTheUserTypes) {
  Show({{1, 2, "the cat", "<i>teh</i> dgo"}, {3, 4, "hello"}}, 0);
  EXPECT_TRUE(Marked(0).empty());
  EXPECT_EQ(Marked(1), (std::vector<std::string>{"teh", "dgo"}));
  page->LineField(0)->setFocus();
  page->LineField(0)->insert(QStringLiteral(" stas"));
  EXPECT_EQ(Marked(0), std::vector<std::string>{"stas"});
  page->LineField(0)->backspace();
  page->LineField(0)->insert(QStringLiteral("t"));
  EXPECT_EQ(Marked(0), std::vector<std::string>{"stat"});
  // Another subtitle: the fields are checked again.
  Select({1});
  EXPECT_TRUE(Marked(0).empty());
  // A hidden field is not checked until it is shown.
  page->hide();
  page->LineField(2)->setText(QStringLiteral("zzz"));
  EXPECT_TRUE(Marked(2).empty());
  page->show();
  EXPECT_EQ(Marked(2), std::vector<std::string>{"zzz"});
}

TEST_F(SpellingPageTest, ASuggestionIsOneUndoStepAndTheMenuAddsAndIgnores) {
  Show({{1, 2, "hello wrold", "wrold"}}, 0);
  page->LineField(0)->setFocus();
  page->LineField(0)->insert(QStringLiteral("!"));  // typing: one step
  ASSERT_EQ(history.Steps(), 1u);
  std::unique_ptr<QMenu> menu(page->LineMarker(0)->MakeMenu(8));
  MenuAction(menu.get(), QStringLiteral("world"))->trigger();
  EXPECT_EQ(ToUtf8(doc.Line(0, 0)), "hello world!");
  EXPECT_EQ(history.Steps(), 2u);
  history.Undo(doc);
  page->ShowDocument();
  EXPECT_EQ(ToUtf8(doc.Line(0, 0)), "hello wrold!");
  EXPECT_EQ(page->LineField(0)->text(), QStringLiteral("hello wrold!"));

  // Away from an unknown word the menu is the field's own.
  menu.reset(page->LineMarker(0)->MakeMenu(1));
  for (QAction* a : menu->actions()) EXPECT_NE(a->objectName(), "addToDictionary");

  menu.reset(page->LineMarker(1)->MakeMenu(2));
  MenuAction(menu.get(), QStringLiteral("ignoreWord"))->trigger();
  EXPECT_TRUE(Marked(0).empty());
  EXPECT_TRUE(Marked(1).empty());
  EXPECT_FALSE(std::filesystem::exists(scratch.Path("config/words.txt")));

  page->LineField(2)->setText(QStringLiteral("tessera"));
  menu.reset(page->LineMarker(2)->MakeMenu(0));
  EXPECT_FALSE(MenuAction(menu.get(), SpellingText(lang, 2103))->isEnabled());
  MenuAction(menu.get(), QStringLiteral("addToDictionary"))->trigger();
  EXPECT_TRUE(Marked(2).empty());
  EXPECT_EQ(testing::ReadBytes(scratch.Path("config/words.txt")), "tessera\n");
}

TEST_F(SpellingPageTest, TheSpellingRunFollowsTheListAndEachButtonDoesWhatItSays) {
  Show({{1, 2, "hello"},
        {3, 4, "teh cat"},
        {5, 6, "teh world", "dgo"},
        {7, 8, "qqq xyzzy"},
        {9, 10, "xyzzy"},
        {11, 12, "plugh"}},
       1);
  CSpellingDialog* d = StartRun();
  ASSERT_TRUE(d->Current());
  EXPECT_EQ(d->Current()->row, 1);
  EXPECT_EQ(page->List()->FirstSelectedRow(), 1);
  EXPECT_NE(Context(d).find("<b><font color=\"#c00000\">teh</font></b> cat"), std::string::npos);
  EXPECT_EQ(d->findChild<QListWidget*>(QStringLiteral("suggestions"))->item(0)->text(), "the");
  EXPECT_EQ(d->ReplacementField()->text(), "the");

  d->Button("replace")->click();  // row 2 only
  EXPECT_EQ(ToUtf8(doc.Line(1, 0)), "the cat");
  EXPECT_EQ(ToUtf8(doc.Line(2, 0)), "teh world");
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Spelling: teh -> the");
  EXPECT_EQ(d->Current()->row, 2);
  EXPECT_EQ(page->List()->FirstSelectedRow(), 2);

  d->Button("ignore")->click();  // this "teh" stays
  EXPECT_EQ(ToUtf8(d->Current()->word), "dgo");
  d->ReplacementField()->setText(QStringLiteral("dog"));
  d->Button("replaceAll")->click();
  EXPECT_EQ(ToUtf8(doc.Line(2, 1)), "dog");
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Spelling: dgo -> dog");
  EXPECT_EQ(ToUtf8(d->Current()->word), "qqq");

  d->Button("addToDictionary")->click();
  EXPECT_EQ(testing::ReadBytes(scratch.Path("config/words.txt")), "qqq\n");
  EXPECT_EQ(ToUtf8(d->Current()->word), "xyzzy");
  d->Button("ignoreAll")->click();  // row 5's "xyzzy" too
  EXPECT_EQ(ToUtf8(d->Current()->word), "plugh");
  EXPECT_EQ(d->Current()->row, 5);
  d->Button("ignore")->click();
  // Wrapped to the start: row 1 had nothing, then the run ends where it began.
  EXPECT_FALSE(d->Current());
  EXPECT_FALSE(d->Button("replace")->isEnabled());
  EXPECT_NE(Context(d).find("complete"), std::string::npos);
  const size_t steps = history.Steps();
  EXPECT_EQ(steps, 2u);
  d->Button("close")->click();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(page->SpellingDialog(), nullptr);

  // A new run from the top finds what was ignored once, and nothing ignored for all or added.
  Select({0});
  d = StartRun();
  ASSERT_TRUE(d->Current());
  EXPECT_EQ(d->Current()->row, 2);
  d->Button("ignore")->click();
  ASSERT_TRUE(d->Current());
  EXPECT_EQ(ToUtf8(d->Current()->word), "plugh");
  d->Button("ignore")->click();
  EXPECT_FALSE(d->Current());
  d->Button("close")->click();
}

TEST_F(SpellingPageTest, WithoutDictionariesNothingIsMarkedAndTheLogSaysWhy) {
  SpellingSession none{scratch.Path("empty"), scratch.Path("config/words.txt")};
  page.reset();
  ctx.spelling = &none;
  Make();
  Show({{1, 2, "qqq zzz"}}, 0);
  EXPECT_TRUE(page->LineMarker(0)->Marked().empty());
  EXPECT_NE(LastLog().find("Spelling is not checked"), std::string::npos) << LastLog();
  CSpellingDialog* d = StartRun();
  EXPECT_FALSE(d->Current());
  d->close();
  page.reset();
}

TEST_F(SpellingPageTest, TheSpeedColumnMarksRowsAboveTheLimit) {
  Show({{0, 1, "Far too many words for one second"}, {2, 6, "Fine"}, {7, 7, "zero"}}, 0);
  QAbstractItemModel* m = page->List()->Model();
  const int cps = SubtitleListModel::kCpsCol;
  EXPECT_EQ(m->headerData(cps, Qt::Horizontal).toString(), "CPS");
  EXPECT_EQ(m->index(0, cps).data().toString(), "33.0");
  EXPECT_EQ(m->index(1, cps).data().toString(), "1.0");
  EXPECT_EQ(m->index(2, cps).data().toString(), "-");
  EXPECT_TRUE(m->index(0, cps).data(SubtitleListModel::kTooFastRole).toBool());
  EXPECT_TRUE(m->index(0, cps).data(Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(m->index(1, cps).data(SubtitleListModel::kTooFastRole).toBool());
  // The mark is its own colour whatever the row colour.
  const QColor mark = m->index(0, cps).data(Qt::BackgroundRole).value<QColor>();
  EXPECT_NE(mark, m->index(1, cps).data(Qt::BackgroundRole).value<QColor>());
  EXPECT_FALSE(page->List()->isColumnHidden(cps));

  app.max_cps = 40;
  app.show_cps_column = 0;
  page->OnDeactivate();
  page->OnActivate();
  EXPECT_FALSE(m->index(0, cps).data(SubtitleListModel::kTooFastRole).toBool());
  EXPECT_TRUE(page->List()->isColumnHidden(cps));
  app.max_cps = 5;
  app.show_cps_column = 1;
  page->OnDeactivate();
  page->OnActivate();
  EXPECT_FALSE(page->List()->isColumnHidden(cps));
  EXPECT_TRUE(m->index(0, cps).data(SubtitleListModel::kTooFastRole).toBool());
  EXPECT_FALSE(m->index(1, cps).data(SubtitleListModel::kTooFastRole).toBool());
}

}  // namespace
}  // namespace tessera
