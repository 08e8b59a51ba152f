#include "core/settings_store.h"
#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  // The first bytes choose a key; the rest is the file.
  size_t split = size > 0 ? data[0] % 16 : 0;
  if (split + 1 > size) split = size > 0 ? size - 1 : 0;
  std::u16string key = fuzz::Decode(data + (size > 0 ? 1 : 0), split);
  while (!key.empty() && (key.back() == u'\r' || key.back() == u'\n')) key.pop_back();
  size_t rest = size > split + 1 ? size - split - 1 : 0;
  SettingsStore store{std::filesystem::path("/nonexistent/fuzz.cfg")};
  store.LoadFromText(fuzz::Decode(data + size - rest, rest));
  for (std::u16string_view section :
       {std::u16string_view(u"Settings"), std::u16string_view(u"Directories"),
        std::u16string_view(key)}) {
    (void)store.GetInt(section, key, 7);
    (void)store.GetString(section, key, u"d");
    store.WriteInt(section, key, -12);
    store.WriteString(section, u"Open", u"a [b] c");
    store.WriteString(section, key, u"x");
    (void)store.Has(section, key);
  }
  (void)store.Text();
  return 0;
}
