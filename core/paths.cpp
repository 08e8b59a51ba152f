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

std::filesystem::path FindDataPath(const std::filesystem::path& relative) {
  std::error_code ec;
  auto beside = ExecutableDir() / relative;
  if (std::filesystem::exists(beside, ec)) return beside;
  auto installed = std::filesystem::path(TESSERA_DATADIR) / relative;
  if (std::filesystem::exists(installed, ec)) return installed;
  return beside;
}

}  // namespace tessera
