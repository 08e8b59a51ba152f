#include "core/version.h"

namespace tessera {

// Defined by the build for this library only, so that a new version rebuilds one file.
const char* VersionText() {
  return TESSERA_VERSION_TEXT;
}

}  // namespace tessera
