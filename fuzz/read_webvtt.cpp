#include "formats/webvtt.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  return fuzz::FuzzReader(data, size, [](SubtitleDocument& doc, const std::u16string& text) {
    ReadWebVtt(doc, text, 1.5);
    (void)WebVttText(doc, -1, -1);
  });
}
