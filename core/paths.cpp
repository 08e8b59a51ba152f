#include "core/paths.h"

#ifndef TESSERA_DATADIR
#define TESSERA_DATADIR "/usr/local/share/tessera"
#endif

namespace tessera {

std::filesystem::path ExecutablePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "tessera";
  return p;
}

std::filesystem::path ExecutableDir() {
  return ExecutablePath().parent_path();
}

std::filesystem::path InstalledDataDir() {
  std::error_code ec;
  // Relative to the program first, so a package installed under another prefix still works.
  const auto relative = ExecutableDir().parent_path() / "share" / "tessera";
  if (std::filesystem::is_directory(relative / "languages", ec)) return relative;
  const std::filesystem::path configured = TESSERA_DATADIR;
  if (ExecutableDir() == configured.parent_path().parent_path() / "bin" &&
      std::filesystem::is_directory(configured, ec))
    return configured;
  return {};
}

std::filesystem::path FindDataPath(const std::filesystem::path& relative) {
  std::error_code ec;
  auto beside = ExecutableDir() / relative;
  if (std::filesystem::exists(beside, ec)) return beside;
  for (const std::filesystem::path& dir :
       {InstalledDataDir(), std::filesystem::path(TESSERA_DATADIR)}) {
    if (dir.empty()) continue;
    auto installed = dir / relative;
    if (std::filesystem::exists(installed, ec)) return installed;
  }
  return beside;
}

}  // namespace tessera
