// The Options page in the whole window: what it stores and when, the refused numbers, the font
// dialog and folder browsers, the colours and the language.
#include "pages/options/options_page.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "core/dialogs_qt.h"
#include "core/qt_text_qt.h"
#include "tests/gui/window_fixture.h"
#include "ui/header_strip.h"
#include "ui/subtitle_list_model.h"
#include "ui/subtitle_list_view.h"
#include "ui/subtitle_preview.h"

namespace tessera {
namespace {

using testing::MainWindowTest;

constexpr int kOptionsPage = 8;
constexpr int kFilesPage = 0;

class SettingsPageTest : public MainWindowTest {
 protected:
  // The window on the Options page.
  CTesseraApp& StartOnOptions() {
    CTesseraApp& app = Start();
    app.MainDialog()->SetActivePage(kOptionsPage);
    return app;
  }
  CSettingsPage* Page() const {
    return static_cast<CSettingsPage*>(app_->MainDialog()->Page(kOptionsPage));
  }
  template <typename W>
  W* Child(const char* name) const {
    W* w = Page()->findChild<W*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  QLineEdit* Edit(const char* name) const { return Child<QLineEdit>(name); }
  QComboBox* Combo(const char* name) const { return Child<QComboBox>(name); }
  // A choice made by the user, not by the program.
  void Choose(const char* combo, int index) {
    QComboBox* c = Combo(combo);
    c->setCurrentIndex(index);
    emit c->activated(index);
  }
  void Click(const char* name) { Child<QAbstractButton>(name)->click(); }
  int ActivePage() const { return app_->MainDialog()->ActivePage(); }
  // A text setting as it is, a number as its decimal text.
  std::u16string Stored(const char16_t* key) {
    SettingsStore s(config_);
    if (!s.Has(u"Settings", key)) return u"(none)";
    const std::u16string k = key;
    if (k == u"FontName" || k.ends_with(u"Folder")) return s.GetString(u"Settings", key);
    return FromUtf8(std::to_string(s.GetInt(u"Settings", key, 0)));
  }
};

// One number box, check box or choice with the value the file holds, what the page shows, the
// value the user gives it and what Exit writes.
struct FieldCase {
  const char* control;
  const char16_t* key;
  const char* stored;
  QString shown;
  QString typed;  // edit boxes: the text; choices and check boxes: the button to press
  const char* written;
};

const FieldCase kFields[] = {
    {"leftMargin", u"LeftMargin", "10", "10", "30", "30"},
    {"rightMargin", u"RightMargin", "11", "11", "31", "31"},
    {"bottomMargin", u"BottomMargin", "12", "12", "32", "32"},
    {"widthFactor", u"WidthFactor", "1250", "1.25", "0.9", "900"},
    {"subFramerate", u"SubFramerate", "23976", "23.976", "29.97", "29970"},
    {"dvdSupEncodeFolder", u"DVDSupEncodeFolder", "/opt/enc", "/opt/enc", "/usr/enc", "/usr/enc"},
    {"mySubtitleFolder", u"MySubtitleFolder", "/home/subs", "/home/subs", "/srv/subs", "/srv/subs"},
    {"ssaVersion", u"SsaVersion", "1", "ssaVersion1", "ssaVersion0", "0"},
    {"encoding", u"Encoding", "2", "encoding2", "encoding1", "1"},
    {"resizeMovieWindow", u"ResizeMovieWindow", "1", "resizeMovieWindow1", "resizeMovieWindow0",
     "0"},
    {"createCopy", u"CreateCopyWhenExporting", "0", "off", "createCopy", "1"},
    {"reloadSub", u"Reload Sub", "1", "on", "reloadSub", "0"},
    {"reloadAvi", u"Reload AVI", "1", "on", "reloadAvi", "0"},
    {"maxCps", u"MaxCPS", "20", "20", "25", "25"},
    {"showCpsColumn", u"ShowCPSColumn", "0", "off", "showCpsColumn", "1"},
};

TEST_F(SettingsPageTest, EveryFieldIsShownAndWrittenOnlyWhenTheWindowEndsThroughExit) {
  for (bool exit : {false, true}) {
    SCOPED_TRACE(exit ? "Exit" : "closed");
    WriteSettings([](SettingsStore& s) {
      for (const FieldCase& f : kFields) {
        if (f.stored[0] == '/')
          s.WriteString(u"Settings", f.key, FromUtf8(f.stored));
        else
          s.WriteInt(u"Settings", f.key, std::stoi(f.stored));
      }
      s.WriteInt(u"Settings", u"ScreenWidth", 352);
      s.WriteInt(u"Settings", u"Start tab", 100);
    });
    const std::string before = Settings();
    StartOnOptions();
    for (const FieldCase& f : kFields) {
      SCOPED_TRACE(f.control);
      if (auto* edit = Page()->findChild<QLineEdit*>(f.control)) {
        EXPECT_EQ(edit->text(), f.shown);
        edit->setText(f.typed);
      } else if (auto* group = Page()->findChild<QButtonGroup*>(f.control)) {
        EXPECT_TRUE(Child<QAbstractButton>(f.shown.toLatin1().constData())->isChecked());
        Click(f.typed.toLatin1().constData());
        EXPECT_EQ(group->checkedButton()->objectName(), f.typed);
      } else {
        auto* box = Child<QCheckBox>(f.control);
        EXPECT_EQ(box->isChecked(), f.shown == "on");
        box->click();
      }
    }
    EXPECT_EQ(Combo("screenWidth")->currentIndex(), 2);
    EXPECT_EQ(Combo("startTab")->currentIndex(), 0);
    Choose("screenWidth", 1);
    Choose("startTab", 1);
    if (!exit) {
      app_->MainDialog()->close();
      EXPECT_EQ(Settings(), before);
      app_.reset();
      continue;
    }
    Click("exit");
    ASSERT_TRUE(app_->Finished());
    for (const FieldCase& f : kFields) EXPECT_EQ(ToUtf8(Stored(f.key)), f.written) << f.control;
    EXPECT_EQ(ToUtf8(Stored(u"ScreenWidth")), "720");
    EXPECT_EQ(ToUtf8(Stored(u"Start Tab")), "101");
    app_.reset();
  }
}

TEST_F(SettingsPageTest, FieldsTakeEffectWhenThePageIsLeftAndTheFixedListsAtOnce) {
  WriteSettings([](SettingsStore& s) { s.WriteInt(u"Settings", u"ScreenWidth", 600); });
  CTesseraApp& app = StartOnOptions();
  // A width no entry names shows the first entry and stays until an entry is chosen.
  EXPECT_EQ(Combo("screenWidth")->currentText(), "SVCD (480 x 480/576)");
  Edit("leftMargin")->setText("40");
  EXPECT_EQ(app.Settings().left_margin, 25);
  app.MainDialog()->SetActivePage(kFilesPage);
  EXPECT_EQ(app.Settings().left_margin, 40);
  EXPECT_EQ(app.Settings().screen_width, 600);
  app.MainDialog()->SetActivePage(kOptionsPage);
  Choose("screenWidth", 3);
  EXPECT_EQ(app.Settings().screen_width, 480);
  Choose("startTab", 2);
  EXPECT_EQ(app.Settings().start_tab, 0);
  Choose("startTab", 0);
  EXPECT_EQ(app.Settings().start_tab, 100);
  Choose("startTab", 2);
  // "Last used tab": the window remembers the page it was left on.
  Click("exit");
  EXPECT_EQ(ToUtf8(Stored(u"Start Tab")), std::to_string(kOptionsPage));
  EXPECT_EQ(ToUtf8(Stored(u"ScreenWidth")), "480");
  EXPECT_EQ(ToUtf8(Stored(u"LeftMargin")), "40");
}

TEST_F(SettingsPageTest, ARefusedNumberKeepsThePageActiveUntilItIsCorrected) {
  struct Case {
    const char* control;
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"leftMargin", "12a", "Enter an integer."},
      {"bottomMargin", "", "Enter an integer."},
      {"widthFactor", "1,5", "Enter a number."},
      {"subFramerate", "none", "Enter a number."},
      {"maxCps", "61", "Enter an integer from 5 to 60."},
      {"maxCps", "4", "Enter an integer from 5 to 60."},
  };
  CTesseraApp& app = StartOnOptions();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    const QString good = Edit(c.control)->text();
    Edit(c.control)->setText(c.text);
    prompter_.ExpectMessage(c.message);
    app.MainDialog()->SetActivePage(kFilesPage);
    EXPECT_EQ(ActivePage(), kOptionsPage);
    prompter_.ExpectMessage(c.message);
    Click("exit");
    EXPECT_FALSE(app.Finished());
    prompter_.Verify();
    Edit(c.control)->setText(good);
  }
  Edit("leftMargin")->setText("7");
  app.MainDialog()->SetActivePage(kFilesPage);
  EXPECT_EQ(ActivePage(), kFilesPage);
  EXPECT_EQ(app.Settings().left_margin, 7);
  // Closing without Exit writes nothing, so a bad number is not asked about then.
  app.MainDialog()->SetActivePage(kOptionsPage);
  Edit("leftMargin")->setText("x");
  app.MainDialog()->close();
  EXPECT_TRUE(app.Finished());
  EXPECT_EQ(app.Settings().left_margin, 7);
}

TEST_F(SettingsPageTest, TheFontDialogSetsTheFontAtOnceAndTheSampleLinesColour) {
  CTesseraApp& app = StartOnOptions();
  auto* label = Child<QLabel>("currentFont");
  EXPECT_EQ(label->text(), "Arial, 23 pt  Bold");
  for (CSubtitle* preview : {Page()->Preview(0), Page()->Preview(1)}) {
    EXPECT_EQ(preview->Face(), "Arial");
    EXPECT_EQ(preview->Points(), 18);
    EXPECT_EQ(preview->TextColor(), QColor(Qt::white));
    EXPECT_EQ(preview->Background(), QColor(Qt::black));
  }
  EXPECT_EQ(Page()->Preview(0)->Text(), "The quick brown fox jumps over the lazy dog.");
  EXPECT_EQ(Page()->Preview(1)->Text(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");

  dialogs_.ExpectFont(std::nullopt);
  Click("font");
  EXPECT_EQ(ToUtf8(dialogs_.last_font_request.font.face), "Arial");
  EXPECT_EQ(dialogs_.last_font_request.font.point_size, 23);
  EXPECT_EQ(dialogs_.last_font_request.weight, 700);
  EXPECT_EQ(dialogs_.last_font_request.color, 0xFFFFFF);
  EXPECT_EQ(label->text(), "Arial, 23 pt  Bold");
  EXPECT_EQ(app.Settings().font_bold, 1);

  FontChoice heavy;
  heavy.font = {u"DejaVu Serif", 30, true};
  heavy.weight = 800;
  heavy.color = 0x0000FF;
  dialogs_.ExpectFont(heavy);
  Click("font");
  EXPECT_EQ(label->text(), "DejaVu Serif, 30 pt ");
  EXPECT_EQ(ToUtf8(app.Settings().font_name), "DejaVu Serif");
  EXPECT_EQ(app.Settings().font_size, 30);
  EXPECT_EQ(app.Settings().font_bold, 0);
  EXPECT_EQ(Page()->Preview(1)->Face(), "DejaVu Serif");
  EXPECT_EQ(Page()->Preview(1)->Points(), 24);
  EXPECT_EQ(Page()->Preview(1)->TextColor(), QColor(Qt::red));

  // The dialog opens with the colour chosen last; the colour is not a setting.
  dialogs_.ExpectFont(std::nullopt);
  Click("font");
  EXPECT_EQ(dialogs_.last_font_request.color, 0x0000FF);
  EXPECT_EQ(dialogs_.last_font_request.weight, 400);
  Click("exit");
  EXPECT_EQ(ToUtf8(Stored(u"FontName")), "DejaVu Serif");
  EXPECT_EQ(ToUtf8(Stored(u"FontBold")), "0");
}

TEST_F(SettingsPageTest, AFolderBrowserFillsItsFieldAndKeepsWhatWasTypedElsewhere) {
  CTesseraApp& app = StartOnOptions();
  Edit("mySubtitleFolder")->setText("/typed");
  Edit("rightMargin")->setText("33");
  dialogs_.ExpectFolder(std::nullopt);
  Click("browseDvdSupEncode");
  EXPECT_EQ(Edit("dvdSupEncodeFolder")->text(), "");
  dialogs_.ExpectFolder(u"/opt/dvdsupencode");
  Click("browseDvdSupEncode");
  EXPECT_EQ(Edit("dvdSupEncodeFolder")->text(), "/opt/dvdsupencode");
  EXPECT_EQ(Edit("mySubtitleFolder")->text(), "/typed");
  EXPECT_EQ(Edit("rightMargin")->text(), "33");
  EXPECT_TRUE(app.Settings().dvd_sup_encode_folder.empty());
  app.MainDialog()->SetActivePage(kFilesPage);
  EXPECT_EQ(ToUtf8(app.Settings().dvd_sup_encode_folder), "/opt/dvdsupencode");
  EXPECT_EQ(ToUtf8(app.Settings().my_subtitle_folder), "/typed");
  app.MainDialog()->SetActivePage(kOptionsPage);
  dialogs_.ExpectFolder(u"/home/me/subs");
  Click("browseMySubtitles");
  EXPECT_EQ(Edit("mySubtitleFolder")->text(), "/home/me/subs");
  app.MainDialog()->close();
}

TEST_F(SettingsPageTest, ColoursTakeEffectAtOnceAndDefaultRestoresThem) {
  CTesseraApp& app = StartOnOptions();
  const char* const boxes[] = {"evenColor", "oddColor", "selectionColor"};
  for (const char* box : boxes) {
    QComboBox* c = Combo(box);
    EXPECT_GE(c->count(), 2) << box;
    // Every entry shows its colour.
    for (int i = 0; i < c->count(); ++i) EXPECT_FALSE(c->itemIcon(i).isNull()) << box;
    Choose(box, c->count() - 1);
  }
  const int even = Combo("evenColor")->currentData().toInt();
  EXPECT_EQ(app.Settings().even_color, even);
  EXPECT_EQ(app.Settings().odd_color, Combo("oddColor")->currentData().toInt());
  EXPECT_EQ(app.Settings().selection_color, Combo("selectionColor")->currentData().toInt());
  EXPECT_NE(even, kDefaultColorScheme.even);

  // The File Operations list shows them at its next refill.
  app.Doc().AddRow(u"0:00:01.000", u"0:00:02.000", u"one", u"", u"");
  app.MainDialog()->SetActivePage(kFilesPage);
  QAbstractItemModel* model = app.MainDialog()->Page(kFilesPage)->List()->model();
  EXPECT_EQ(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), ColorFromSetting(even));

  app.MainDialog()->SetActivePage(kOptionsPage);
  Click("defaultColors");
  EXPECT_EQ(app.Settings().even_color, kDefaultColorScheme.even);
  EXPECT_EQ(app.Settings().odd_color, kDefaultColorScheme.odd);
  EXPECT_EQ(app.Settings().selection_color, kDefaultColorScheme.selection);
  EXPECT_EQ(Combo("evenColor")->currentData().toInt(), kDefaultColorScheme.even);
  EXPECT_EQ(Combo("selectionColor")->currentData().toInt(), kDefaultColorScheme.selection);
  app.Doc().SetChanged(false);
  Click("exit");
  EXPECT_EQ(ToUtf8(Stored(u"Even Color")), "15794160");
}

TEST_F(SettingsPageTest, ChoosingALanguageChangesTheWindowAndThisPageAtOnce) {
  CTesseraApp& app = StartOnOptions();
  ASSERT_TRUE(app.Lang().Available(1)) << "languages/Dutch.lng missing from the build folder";
  CMainDialog* w = app.MainDialog();
  QComboBox* list = Combo("language");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), " English");
  EXPECT_EQ(list->itemText(1), " Dutch");
  EXPECT_TRUE(list->itemData(1, Qt::FontRole).value<QFont>().bold());

  Choose("language", 1);
  EXPECT_EQ(app.Lang().CurrentLanguage(), 1);
  EXPECT_EQ(app.Settings().language, 1);
  EXPECT_EQ(w->TabTitle(kFilesPage), "Bestandsbewerkingen");
  EXPECT_EQ(w->TabTitle(kOptionsPage), "Opties");
  EXPECT_EQ(Child<QPushButton>("font")->text(), "Lettertype");
  EXPECT_EQ(Child<QPushButton>("defaultColors")->text(), "Standaard");
  EXPECT_EQ(Child<QPushButton>("exit")->text(), ToQ(app.Lang().Lookup(1108)));
  EXPECT_EQ(list->itemText(0), " Engels");
  EXPECT_EQ(list->currentIndex(), 1);
  // Other pages take the language when they are next shown.
  w->SetActivePage(kFilesPage);
  EXPECT_EQ(w->Page(kFilesPage)->Header()->Title(), ToQ(app.Lang().Lookup(1101)));
  EXPECT_NE(w->Page(kFilesPage)->Header()->Title(), "File Operations");

  w->SetActivePage(kOptionsPage);
  Choose("language", 0);
  EXPECT_EQ(w->TabTitle(kFilesPage), "File Operations");
  EXPECT_EQ(Child<QPushButton>("font")->text(), "Font");
  EXPECT_EQ(list->itemText(1), " Dutch");
  Click("exit");
  EXPECT_EQ(ToUtf8(Stored(u"Language")), "0");
}

// The real font dialog: preset with the font and colour, it answers the exact weight and the
// colour chosen in its colour box.
TEST(QtFontDialog, AnswersWeightAndColour) {
  QtDialogService dialogs;
  FontChoice initial;
  initial.font = {u"DejaVu Sans", 20, false};
  initial.weight = 400;
  initial.color = 0x123456;  // no colour of the box: offered as well
  int offered = -1;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* colors = dialog->findChild<QComboBox*>(QStringLiteral("fontColor"));
    ASSERT_NE(colors, nullptr);
    offered = colors->currentData().toInt();
    colors->setCurrentIndex(colors->findText(QStringLiteral("Red")));
    QFont heavy(QStringLiteral("DejaVu Sans"), 14);
    heavy.setWeight(QFont::Bold);
    dialog->findChild<QFontDialog*>()->setCurrentFont(heavy);
    dialog->accept();
  });
  std::optional<FontChoice> chosen = dialogs.ChooseFont(initial);
  EXPECT_EQ(offered, 0x123456);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(ToUtf8(chosen->font.face), "DejaVu Sans");
  EXPECT_EQ(chosen->font.point_size, 14);
  EXPECT_EQ(chosen->weight, 700);
  EXPECT_TRUE(chosen->font.bold);
  EXPECT_EQ(chosen->color, 0x0000FF);

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_FALSE(dialogs.ChooseFont(initial));

  // OK without touching the font keeps it, even a face this machine does not have.
  initial.font = {u"No Such Face", 23, true};
  initial.weight = 700;
  QTimer::singleShot(0,
                     [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
  chosen = dialogs.ChooseFont(initial);
  ASSERT_TRUE(chosen);
  EXPECT_EQ(ToUtf8(chosen->font.face), "No Such Face");
  EXPECT_EQ(chosen->weight, 700);
  EXPECT_EQ(chosen->color, 0x123456);
}

}  // namespace
}  // namespace tessera
