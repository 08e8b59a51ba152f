#include "ui/cd_player_display.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tessera {
namespace {

TEST(CdPlayerDisplay, LinesGrowAndClear) {
  CCDPlayerDisplay d;
  d.SetLine(2, QStringLiteral("0:01:02.345"));
  EXPECT_EQ(d.Lines(), (QStringList{{}, {}, QStringLiteral("0:01:02.345")}));
  d.SetText(QStringLiteral("12"));
  d.Clear();
  EXPECT_EQ(d.Lines(), (QStringList{{}, {}, {}}));
  d.SetLine(-1, QStringLiteral("x"));
  EXPECT_EQ(d.Lines().size(), 3);
}

TEST(CdPlayerDisplay, GlyphPlaces) {
  // The third line is 34 pixels below the first; eight characters take 96 pixels.
  EXPECT_EQ(CCDPlayerDisplay::GlyphRect(2, 0).top() - CCDPlayerDisplay::GlyphRect(0, 0).top(), 34);
  EXPECT_EQ(CCDPlayerDisplay::GlyphRect(0, 8).left() - CCDPlayerDisplay::GlyphRect(0, 0).left(),
            96);
  EXPECT_EQ(CCDPlayerDisplay::GlyphRect(0, 0), QRect(4, 5, 12, 16));
  EXPECT_EQ(CCDPlayerDisplay::SheetRect(u' '), QRect(0, 0, 12, 16));
  EXPECT_EQ(CCDPlayerDisplay::SheetRect(u'5'), QRect(1 * 12, 1 * 16, 12, 16));  // 53 - 32 = 21
  EXPECT_EQ(CCDPlayerDisplay::SheetRect(131), QRect(19 * 12, 4 * 16, 12, 16));
  EXPECT_TRUE(CCDPlayerDisplay::SheetRect(31).isEmpty());
  EXPECT_TRUE(CCDPlayerDisplay::SheetRect(132).isEmpty());
}

TEST(CdPlayerDisplay, SheetFollowsThePixelRatio) {
  for (qreal ratio : {1.0, 2.0, 1.5}) {
    const QImage& sheet = CCDPlayerDisplay::GlyphSheet(ratio);
    EXPECT_EQ(sheet.size(), (QSizeF(240, 80) * ratio).toSize()) << ratio;
    EXPECT_EQ(sheet.devicePixelRatio(), ratio);
  }
}

TEST(CdPlayerDisplay, PaintsFrameBackgroundAndLitSegments) {
  CCDPlayerDisplay d(3);
  d.SetText(QStringLiteral("8 8"));
  d.resize(d.sizeHint());
  const QImage shot = d.grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(128, 128, 128));
  EXPECT_EQ(QColor(shot.pixel(1, 1)), QColor(Qt::black));
  EXPECT_EQ(QColor(shot.pixel(shot.width() - 1, shot.height() - 1)), QColor(Qt::white));
  EXPECT_EQ(QColor(shot.pixel(shot.width() - 2, shot.height() - 2)), QColor(192, 192, 192));
  // The middle of the top bar of the first 8 is lit; the blank beside it is background.
  const QPoint bar = CCDPlayerDisplay::GlyphRect(0, 0).topLeft() + QPoint(6, 2);
  const QColor lit(shot.pixel(bar));
  EXPECT_GT(lit.blue(), 200);
  EXPECT_EQ(QColor(shot.pixel(bar + QPoint(12, 0))), QColor(49, 49, 49));
  EXPECT_EQ(QColor(shot.pixel(bar + QPoint(24, 0))), lit);
}

}  // namespace
}  // namespace tessera
