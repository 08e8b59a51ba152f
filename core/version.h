// The program's version, as the build states it (the CMake project version).
#pragma once

namespace tessera {

// "0.71": the text of the window caption and of the comment lines in written files.
const char* VersionText();

}  // namespace tessera
