#include "check/measure.h"

#include <cmath>

namespace tessera {

namespace {

int Truncate(double v) {
  if (!(v > -2e9 && v < 2e9)) return v > 0 ? 2000000000 : -2000000000;
  return static_cast<int>(std::trunc(v));
}

}  // namespace

LineMeasure::LineMeasure(TextMeasurer* measurer, const AppSettings& app, int split_method,
                         int fixed_count)
    : measurer_(measurer),
      dynamic_(split_method != kSplitFixed && measurer != nullptr),
      width_factor_(app.width_factor) {
  font_.face = app.font_name;
  font_.point_size = app.font_size;
  font_.bold = app.font_bold == 1;
  limit_ = dynamic_ ? app.screen_width - app.right_margin - app.left_margin : fixed_count;
  if (dynamic_) dots_width_ = MeasureTextWidth(u"...");
}

int LineMeasure::MeasureTextWidth(std::u16string_view text) const {
  if (text.empty() || !measurer_) return 0;
  return measurer_->MeasureWidth(std::u16string(text), font_);
}

int LineMeasure::LineExtent(std::u16string_view text) const {
  if (!dynamic_) return static_cast<int>(text.size());
  return Truncate((static_cast<double>(MeasureTextWidth(text)) + dots_width_) * width_factor_);
}

int LineMeasure::Weight(std::u16string_view text) const {
  if (!dynamic_) return static_cast<int>(text.size());
  return Truncate(MeasureTextWidth(text) * width_factor_);
}

bool LineMeasure::LimitReachable() const {
  if (!dynamic_) return limit_ >= 1;
  return LineExtent(u"") <= limit_;
}

}  // namespace tessera
