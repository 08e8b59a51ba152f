#include "check/text_measurer_qt.h"

#include <cmath>

namespace tessera {

namespace {
constexpr size_t kMaxCachedWidths = 1 << 16;
}

QFont QtTextMeasurer::MakeFont(const FontSpec& font) {
  QFont f(QString::fromStdU16String(font.face));
  f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.point_size * 96.0 / 72.0))));
  f.setBold(font.bold);
  return f;
}

int QtTextMeasurer::MeasureWidth(const std::u16string& text, const FontSpec& font) {
  if (text.empty()) return 0;
  if (!cached_spec_ || cached_spec_->face != font.face ||
      cached_spec_->point_size != font.point_size || cached_spec_->bold != font.bold) {
    metrics_ = std::make_unique<QFontMetrics>(MakeFont(font));
    cached_spec_ = font;
    widths_.clear();
  }
  if (auto it = widths_.find(text); it != widths_.end()) return it->second;
  const QString view = QString::fromRawData(reinterpret_cast<const QChar*>(text.data()),
                                            static_cast<qsizetype>(text.size()));
  const int width = metrics_->horizontalAdvance(view);
  if (widths_.size() >= kMaxCachedWidths) widths_.clear();
  widths_.emplace(text, width);
  return width;
}

}  // namespace tessera
