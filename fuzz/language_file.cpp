#include "core/language_table.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  std::u16string text;
  DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data), size), text, false);
  std::vector<std::u16string> texts = LanguageTable::ParseLanguageText(text);
  if (texts.size() != LanguageTable::KeyList().size()) __builtin_trap();
  return 0;
}
