#include "movie/volume.h"

#include "core/text_util.h"

namespace tessera {

int VolumeSliderPosition(int64_t highest, int64_t current) {
  const auto h = static_cast<uint32_t>(highest), c = static_cast<uint32_t>(current);
  if (h == 0) return 0;
  return static_cast<int>(static_cast<double>(c) / h * 100);
}

uint32_t VolumeForSliderPosition(int position, int64_t highest) {
  const auto h = static_cast<uint32_t>(highest);
  return static_cast<uint32_t>(position / 100.0 * h);
}

std::u16string VolumeText(int position) {
  return Format("Volume %3d", position);
}

}  // namespace tessera
