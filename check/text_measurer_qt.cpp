#include "check/text_measurer_qt.h"

#include <cmath>

namespace tessera {

QFont QtTextMeasurer::MakeFont(const FontSpec& font) {
  QFont f(QString::fromStdU16String(font.face));
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.point_size * 96.0 / 72.0))));
  f.setBold(font.bold);
  return f;
}

int QtTextMeasurer::MeasureWidth(const std::u16string& text, const FontSpec& font) {
  if (!cached_spec_ || cached_spec_->face != font.face ||
      cached_spec_->point_size != font.point_size || cached_spec_->bold != font.bold) {
    metrics_ = std::make_unique<QFontMetrics>(MakeFont(font));
    cached_spec_ = font;
  }
  return metrics_->horizontalAdvance(QString::fromStdU16String(text));
}

}  // namespace tessera
