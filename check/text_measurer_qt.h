// Text widths from Qt's font metrics, with points turned into pixels at a fixed 96 dots per inch
// so that the checks give the same result on every monitor. Needs a QGuiApplication.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/services.h"

namespace tessera {

class QtTextMeasurer final : public TextMeasurer {
 public:
  int MeasureWidth(const std::u16string& text, const FontSpec& font) override;

  static QFont MakeFont(const FontSpec& font);

 private:
  std::optional<FontSpec> cached_spec_;
  std::unique_ptr<QFontMetrics> metrics_;
  // Shaping a text costs microseconds and a repair run measures the same line several times.
  std::unordered_map<std::u16string, int> widths_;
};

}  // namespace tessera
