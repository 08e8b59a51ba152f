#include "formats/microdvd.h"
#include "formats/subrip.h"
#include "formats/substation.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  std::u16string text = fuzz::Decode(data, size);
  SubtitleDocument doc;
  ReadSubStationAlpha(doc, text);
  fuzz::CheckColumns(doc);
  // What was read must be writable again.
  AppSettings settings;
  (void)SubRipText(doc, -1, -1);
  (void)SubStationAlphaText(doc, -1, -1, settings);
  (void)MicroDvdText(doc, 1, -1, true, settings);
  return 0;
}
