// Where the program finds the files that live beside it.
#pragma once

#include <filesystem>

namespace tessera {

std::filesystem::path ExecutablePath();
std::filesystem::path ExecutableDir();

// The data folder of an installed program: <prefix>/share/tessera beside <prefix>/bin, wherever
// the prefix is; empty when the program runs from a build folder.
std::filesystem::path InstalledDataDir();

// `relative` beside the executable when it exists there, else in the installed data folder
// (share/tessera); the path beside the executable when neither exists.
std::filesystem::path FindDataPath(const std::filesystem::path& relative);

}  // namespace tessera
