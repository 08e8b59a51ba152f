// The AVI header reader and the info texts on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "movie/avi_info.h"
#include "movie/avi_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessera::AviHeaders headers;
  if (tessera::ParseAviHeaders(std::string_view(reinterpret_cast<const char*>(data), size),
                               headers))
    tessera::DescribeAvi(u"fuzz.avi", headers);
  return 0;
}
