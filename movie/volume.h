// The computer's master output volume behind the "Volume:" slider of the Play Movie page, and
// the slider's mapping. The PulseAudio implementation lives in pulse_volume_qt.h.
#pragma once

#include <cstdint>
#include <string>

namespace tessera {

class IVolume {
 public:
  // Called with the new value when the volume was changed outside the program.
  using Listener = void (*)(int64_t value, void* context);

  virtual ~IVolume() = default;
  virtual bool IsVolumeAvailable() = 0;
  // Un-mutes the master output / mutes it.
  virtual bool SwitchLineOn() = 0;
  virtual bool SwitchLineOff() = 0;
  // -1 each when no volume control is available (and CurrentVolume also on error).
  virtual int64_t VolumeSteps() = 0;
  virtual int64_t LowestVolume() = 0;
  virtual int64_t HighestVolume() = 0;
  virtual int64_t CurrentVolume() = 0;
  // Sets every channel; ignored when unavailable or outside lowest..highest.
  virtual void SetVolume(uint32_t value) = 0;
  virtual void SetVolumeListener(Listener listener, void* context) = 0;
};

// The 0-100 slider and the volume, both taken as unsigned 32-bit numbers (so an unavailable
// volume, -1 and -1, puts the slider at 100).
int VolumeSliderPosition(int64_t highest, int64_t current);
uint32_t VolumeForSliderPosition(int position, int64_t highest);
// "Volume %3d".
std::u16string VolumeText(int position);

}  // namespace tessera
