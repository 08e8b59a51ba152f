#include "core/search_dialogs_qt.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "core/qt_text_qt.h"
#include "core/text_util.h"

namespace tessera {
namespace {

SearchDialogFields Remembered() {
  SearchDialogFields f;
  f.find = u"cat";
  f.replace = u"dog";
  f.whole_word = true;
  f.direction = -1;  // never shown: the Find dialog opens on Down
  return f;
}

template <class W>
W* Child(QWidget& dialog, const char* name) {
  W* w = dialog.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

TEST(SearchDialog, OpensOnTheRememberedFieldsAndDown) {
  CSearchDialog d(Remembered());
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Find"));
  auto* find = Child<QLineEdit>(d, "findWhat");
  EXPECT_EQ(find->text(), QStringLiteral("cat"));
  EXPECT_EQ(find->selectedText(), QStringLiteral("cat"));
  EXPECT_TRUE(Child<QCheckBox>(d, "wholeWord")->isChecked());
  EXPECT_FALSE(Child<QCheckBox>(d, "matchCase")->isChecked());
  EXPECT_TRUE(Child<QRadioButton>(d, "down")->isChecked());
  EXPECT_EQ(d.Fields().direction, +1);

  find->setText(QStringLiteral("Bird"));
  Child<QCheckBox>(d, "matchCase")->setChecked(true);
  Child<QRadioButton>(d, "up")->setChecked(true);
  Child<QPushButton>(d, "findNext")->click();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  const SearchDialogFields f = d.Fields();
  EXPECT_EQ(f.find, u"Bird");
  EXPECT_TRUE(f.match_case && f.whole_word);
  EXPECT_EQ(f.direction, -1);

  CSearchDialog cancelled(Remembered());
  Child<QPushButton>(cancelled, "cancel")->click();
  EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

struct Recorder final : ReplaceDialogClient {
  void FindNextPressed(const SearchDialogFields& f) override {
    calls.push_back("find " + ToUtf8(f.find));
  }
  void ReplacePressed(const SearchDialogFields& f) override {
    calls.push_back("replace " + ToUtf8(f.find) + " " + ToUtf8(f.replace));
  }
  std::vector<std::string> calls;
};

TEST(ReplaceDialog, FindNextAndReplaceCallThePageAndReplaceAllCloses) {
  Recorder page;
  CReplaceDialog d(Remembered(), page);
  EXPECT_EQ(d.windowTitle(), QStringLiteral("Replace"));
  EXPECT_EQ(Child<QLineEdit>(d, "findWhat")->selectedText(), QStringLiteral("cat"));
  EXPECT_EQ(Child<QLineEdit>(d, "replaceWith")->text(), QStringLiteral("dog"));
  EXPECT_TRUE(Child<QCheckBox>(d, "wholeWord")->isChecked());
  d.show();
  Child<QPushButton>(d, "findNext")->click();
  Child<QLineEdit>(d, "replaceWith")->setText(QStringLiteral("cow"));
  Child<QPushButton>(d, "replace")->click();
  EXPECT_TRUE(d.isVisible());  // both leave the dialog open
  EXPECT_EQ(page.calls, (std::vector<std::string>{"find cat", "replace cat cow"}));
  Child<QPushButton>(d, "replaceAll")->click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.Fields().replace, u"cow");
  EXPECT_EQ(page.calls.size(), 2u);
}

}  // namespace
}  // namespace tessera
