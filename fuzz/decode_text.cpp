// Code-page detection and conversion: any bytes decode, and a text read in a code page that is
// written back in it gives the same text.
#include "core/text_encoding.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  if (size == 0) return 0;
  static const char* const kForced[] = {"",         "",          "CP1250",  "CP1251",
                                        "UTF-16BE", "SHIFT_JIS", "GB18030", "UTF-8"};
  TextDecoding decoding{kForced[data[0] % 8], {}};
  std::u16string text;
  DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), text, true,
                  &decoding);
  if (!decoding.code_page.empty()) {
    std::string bytes;
    if (EncodeWithEncoding(text, decoding.code_page, bytes)) {
      std::u16string back;
      if (!DecodeWithEncoding(bytes, decoding.code_page, back)) __builtin_trap();
    }
  }
  return 0;
}
