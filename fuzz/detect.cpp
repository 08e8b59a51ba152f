#include "formats/loading.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  std::u16string text = fuzz::Decode(data, size);
  SubtitleFormat f = DetectSubtitleFormat(text);
  if (static_cast<int>(f) < 0 || static_cast<int>(f) > 6) __builtin_trap();
  return 0;
}
