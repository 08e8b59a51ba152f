#include "formats/loading.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  std::u16string text = fuzz::Decode(data, size);
  switch (DetectSubtitleFormat(text)) {
    case SubtitleFormat::SubRip:
    case SubtitleFormat::SubStationAlpha:
    case SubtitleFormat::MicroDvd:
    case SubtitleFormat::SubViewer:
    case SubtitleFormat::Sami:
    case SubtitleFormat::Unrecognised:
    case SubtitleFormat::WebVtt:
    case SubtitleFormat::AdvancedSubStationAlpha:
      return 0;
  }
  __builtin_trap();  // a value outside the enumeration
}
