#include "pages/frame_rate/frame_rate_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "tests/gui/tool_page_fixture.h"

namespace tessera {
namespace {

using testing::StartOf;

struct FrameRatePageTest : testing::ToolPageTest<CFrameRatePage> {
  FrameRatePageTest() {
    Make();
    Show({{60, 62, "one", "", "third line"}, {70, 71, "two"}, {80, 81, "three"}});
  }
  bool ConvertEnabled() { return Find("convert")->isEnabled(); }
  int Conversions() const {
    int n = 0;
    for (const std::u16string& line : doc.Log().Lines())
      n += line.rfind(u"Converting Framerate from", 0) == 0;
    return n;
  }
};

TEST_F(FrameRatePageTest, TheStandardListsAndTheirLabels) {
  auto* original = Find<QComboBox>("originalRate");
  auto* target = Find<QComboBox>("newRate");
  ASSERT_EQ(original->count(), 3);
  EXPECT_EQ(original->itemText(0), QStringLiteral("23.976 FPS  (NTSC)"));
  EXPECT_EQ(original->itemText(1), QStringLiteral("25.000 FPS  (PAL)"));
  EXPECT_EQ(original->itemText(2), QStringLiteral("29.970 FPS"));
  EXPECT_EQ(original->currentIndex(), 0);
  EXPECT_EQ(target->currentIndex(), 1);
  EXPECT_TRUE(ConvertEnabled());
  target->setCurrentIndex(0);
  EXPECT_FALSE(ConvertEnabled());
  target->setCurrentIndex(2);
  EXPECT_TRUE(ConvertEnabled());
  Click("convert");
  EXPECT_EQ(LastLog(), "Done.");
  EXPECT_EQ(ToUtf8(doc.Log().Lines()[doc.Log().Size() - 2]),
            "Converting Framerate from 23.976 to 29.970...");
}

TEST_F(FrameRatePageTest, Ntsc2PalTwiceConvertsTwiceWhateverTheCustomFields) {
  Find<QCheckBox>("useCustom")->setChecked(true);
  EXPECT_FALSE(Find<QComboBox>("originalRate")->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>("customNew")->isEnabled());
  Find<QLineEdit>("customOriginal")->setText(QStringLiteral("30"));
  Click("ntsc2pal");
  EXPECT_EQ(StartOf(doc, 0), "0:00:57.542");  // 60.0005 x 23.976 / 25
  EXPECT_EQ(ToUtf8(doc.Log().Lines()[doc.Log().Size() - 2]),
            "Converting Framerate from 23.976 to 25.000...");
  Click("ntsc2pal");
  EXPECT_EQ(StartOf(doc, 0), "0:00:55.185");
  EXPECT_EQ(Conversions(), 2);
  EXPECT_EQ(doc.Count(), 3);
  EXPECT_EQ(testing::LineOf(doc, 0, 2), "third line");
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "NTSC2PAL");
  EXPECT_EQ(Find<QComboBox>("originalRate")->currentIndex(), 0);
  EXPECT_EQ(Find<QComboBox>("newRate")->currentIndex(), 1);

  // PAL2NTSC brings the times back within a millisecond.
  Click("pal2ntsc");
  Click("pal2ntsc");
  EXPECT_EQ(StartOf(doc, 0), "0:01:00.000");
}

TEST_F(FrameRatePageTest, ConvertStaysOffAfterAConversionUntilANewLoad) {
  Click("convert");
  EXPECT_FALSE(ConvertEnabled());
  page->OnDeactivate();
  page->OnActivate();
  EXPECT_FALSE(ConvertEnabled());
  EXPECT_TRUE(Find("ntsc2pal")->isEnabled());
  // Loading a file clears the converted flag.
  page->OnDeactivate();
  doc.SetFrameRateConverted(false);
  page->OnActivate();
  EXPECT_TRUE(ConvertEnabled());
  EXPECT_EQ(Conversions(), 1);
}

TEST_F(FrameRatePageTest, CustomRatesThatAreNotPositiveAreRefused) {
  Find<QCheckBox>("useCustom")->setChecked(true);
  Find<QLineEdit>("customOriginal")->setText(QStringLiteral("25"));
  Find<QLineEdit>("customNew")->setText(QStringLiteral("abc"));
  prompter.ExpectMessage("ERROR: Enter two frame rates greater than 0.");
  Click("convert");
  EXPECT_EQ(StartOf(doc, 0), "0:01:00.000");
  EXPECT_EQ(LastLog(), "ERROR: Enter two frame rates greater than 0.");
  EXPECT_FALSE(doc.Changed());
  EXPECT_TRUE(ConvertEnabled());

  Find<QLineEdit>("customNew")->setText(QStringLiteral("23.976"));
  Click("convert");
  EXPECT_EQ(StartOf(doc, 0), "0:01:02.563");
}

TEST_F(FrameRatePageTest, TheListIsPaddedTo16RowsWithFixedColours) {
  SubtitleListModel* model = page->List()->Model();
  EXPECT_EQ(model->rowCount(), 16);
  EXPECT_EQ(model->index(15, 0).data().toString(), QString());
  for (int row : {0, 1, 14, 15})
    EXPECT_EQ(model->index(row, 0).data(Qt::BackgroundRole).value<QColor>(),
              row % 2 ? QColor(Qt::white) : QColor(240, 255, 240))
        << row;
  std::vector<testing::TimedRow> rows(20, {1, 2});
  Show(rows);
  EXPECT_EQ(model->rowCount(), 20);
  // Undo of a change of the row count pads again.
  Show({{1, 2}});
  EXPECT_EQ(model->rowCount(), 16);
}

}  // namespace
}  // namespace tessera
