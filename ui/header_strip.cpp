#include "ui/header_strip.h"

#include <QLinearGradient>
#include <QPainter>

namespace tessera {

HeaderStrip::HeaderStrip(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HeaderStrip::SetTexts(const QString& title, const QString& description) {
  title_ = title;
  description_ = description;
  update();
}

QSize HeaderStrip::sizeHint() const {
  return QSize(400, 2 * fontMetrics().height() + 22);
}

void HeaderStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QLinearGradient g(0, 0, width(), 0);
  g.setColorAt(0, QColor(255, 255, 255));
  g.setColorAt(1, QColor(222, 231, 245));
  p.fillRect(rect(), g);
  p.setPen(QColor(160, 170, 190));
  p.drawLine(0, height() - 1, width(), height() - 1);

  // A small mark of the program's own: four tiles of a subtitle strip.
  const int tile = 9, gap = 2;
  const int x0 = width() - 2 * tile - gap - 14, y0 = (height() - 2 * tile - gap) / 2;
  const QColor tiles[] = {QColor(46, 94, 170), QColor(240, 176, 40), QColor(240, 176, 40),
                          QColor(46, 94, 170)};
  for (int i = 0; i < 4; ++i)
    p.fillRect(x0 + (i % 2) * (tile + gap), y0 + (i / 2) * (tile + gap), tile, tile, tiles[i]);

  QFont bold = font();
  bold.setBold(true);
  bold.setPointSizeF(font().pointSizeF() * 1.15);
  p.setFont(bold);
  p.setPen(QColor(20, 30, 60));
  const int text_w = x0 - 28;
  p.drawText(QRect(14, 6, text_w, height() / 2 - 4), Qt::AlignLeft | Qt::AlignVCenter, title_);
  p.setFont(font());
  p.setPen(QColor(70, 80, 100));
  p.drawText(QRect(26, height() / 2, text_w - 12, height() / 2 - 6),
             Qt::AlignLeft | Qt::AlignVCenter, description_);
}

}  // namespace tessera
