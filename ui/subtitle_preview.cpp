#include "ui/subtitle_preview.h"

#include <QFontMetrics>
#include <QPainter>

namespace tessera {

CSubtitle::CSubtitle(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CSubtitle::SetFont(const QString& face, int points) {
  face_ = face;
  points_ = points;
  updateGeometry();
  update();
}

void CSubtitle::SetColors(const QColor& text, const QColor& background) {
  text_color_ = text;
  background_ = background;
  update();
}

void CSubtitle::SetText(const QString& text) {
  text_ = text;
  update();
}

QFont CSubtitle::SubtitleFont(const QString& face, int points, bool antialiased) {
  QFont font(face);
  font.setPointSize(points > 0 ? points : 1);
  font.setWeight(QFont::Bold);
  font.setStyleStrategy(antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
  return font;
}

void CSubtitle::DrawCentred(QPainter& painter, const QRect& area, const QString& text,
                            const QFont& font, const QColor& color) {
  const QFontMetrics metrics(font);
  const int x = area.left() + (area.width() - metrics.horizontalAdvance(text)) / 2;
  const int y = area.top() + (area.height() - metrics.height()) / 2;
  painter.save();
  painter.setClipRect(area);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(QPoint(x, y + metrics.ascent()), text);
  painter.restore();
}

QSize CSubtitle::sizeHint() const {
  // Room for the row at its size, so a large font is not cut.
  const QFontMetrics metrics(SubtitleFont(face_, points_, true));
  return {metrics.horizontalAdvance(text_) + 16, metrics.height() + 4};
}

QSize CSubtitle::minimumSizeHint() const {
  return {40, sizeHint().height()};
}

void CSubtitle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), background_);
  DrawCentred(painter, rect(), text_, SubtitleFont(face_, points_, true), text_color_);
}

}  // namespace tessera
