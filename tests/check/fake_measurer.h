// A measurer with predictable widths: 10 pixels a character, 20 for 'W'.
#pragma once

#include <string>

#include "core/services.h"

namespace tessera::testing {

class FakeMeasurer final : public tessera::TextMeasurer {
 public:
  int MeasureWidth(const std::u16string& text, const tessera::FontSpec& font) override {
    ++calls;
    last_font = font;
    int w = 0;
    for (char16_t c : text) w += c == u'W' ? wide : 10;
    return w;
  }
  int wide = 20;
  int calls = 0;
  tessera::FontSpec last_font;
};

}  // namespace tessera::testing
