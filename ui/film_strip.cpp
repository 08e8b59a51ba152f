#include "ui/film_strip.h"

#include <QPainter>

namespace tessera {

FilmStrip::FilmStrip(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(sizeHint().height());
}

void FilmStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), QColor(38, 42, 52));

  // Sprocket holes along both edges, and frames between them in the header mark's colours.
  const int hole_w = 6, hole_h = 4, pitch = 14;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(232, 234, 238));
  for (int x = 4; x + hole_w < width(); x += pitch) {
    p.drawRoundedRect(QRectF(x, 2, hole_w, hole_h), 1.2, 1.2);
    p.drawRoundedRect(QRectF(x, height() - 2 - hole_h, hole_w, hole_h), 1.2, 1.2);
  }
  const QColor frames[] = {QColor(46, 94, 170, 150), QColor(240, 176, 40, 130)};
  const int frame_w = 5 * pitch, top = 2 + hole_h + 2, h = height() - 2 * top;
  for (int x = 6, i = 0; x + frame_w - 4 < width(); x += frame_w, ++i)
    p.fillRect(QRect(x, top, frame_w - 4, h), frames[i % 2]);
}

}  // namespace tessera
