// How long a subtitle line is: in characters (fixed method) or in pixels of the subtitle font
// on the configured screen (dynamic method). Shared by the Fix Errors run and the analysis.
#pragma once

#include <string_view>

#include "core/app_settings.h"
#include "core/services.h"

namespace tessera {

inline constexpr int kSplitDynamic = 0;
inline constexpr int kSplitFixed = 1;

class LineMeasure {
 public:
  // split_method: kSplitDynamic or kSplitFixed; fixed_count: the character limit of the fixed
  // method. Without a measurer the dynamic method falls back to counting characters.
  LineMeasure(TextMeasurer* measurer, const AppSettings& app, int split_method, int fixed_count);

  bool Dynamic() const { return dynamic_; }
  // Pixel width of the text in the subtitle font; 0 for the empty text.
  int MeasureTextWidth(std::u16string_view text) const;
  // Fixed: characters. Dynamic: (width + width of "...") x WidthFactor, fraction dropped.
  int LineExtent(std::u16string_view text) const;
  // Fixed: the character count. Dynamic: screen width minus both margins.
  int LineLimit() const { return limit_; }
  bool Fits(std::u16string_view text) const { return LineExtent(text) <= limit_; }
  // Fixed: characters. Dynamic: width x WidthFactor, fraction dropped, without "...".
  int Weight(std::u16string_view text) const;
  // False when not even an empty line fits (a limit below one character, or below the width of
  // "..."), so that splitting could never end.
  bool LimitReachable() const;

 private:
  TextMeasurer* measurer_;
  FontSpec font_;
  bool dynamic_;
  int limit_;
  double width_factor_;
  int dots_width_ = 0;
};

}  // namespace tessera
