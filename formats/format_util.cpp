#include "formats/format_util.h"

#include "core/text_util.h"

namespace tessera {

void SplitThree(std::u16string_view text, std::u16string_view separator, std::u16string& line1,
                std::u16string& line2, std::u16string& line3) {
  line1.clear();
  line2.clear();
  line3.clear();
  const size_t n = separator.size();
  size_t a = text.find(separator);
  if (a == std::u16string_view::npos) {
    line1.assign(text);
    return;
  }
  line1.assign(text.substr(0, a));
  size_t b = text.find(separator, a + 1);
  if (b == std::u16string_view::npos || b < a + n) {
    line2.assign(Sub(text, a + n));
    return;
  }
  line2.assign(Between(text, a + n, b));
  line3.assign(Sub(text, b + n));
}

void ResolveRange(const SubtitleDocument& doc, int& first, int& last) {
  if (first < 0) first = 0;
  if (last == -1 || last > doc.Count() - 1) last = doc.Count() - 1;
}

}  // namespace tessera
