// Re-timing a whole document for another video frame rate.
#pragma once

#include <string>

#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

struct StandardFrameRate {
  double rate;
  const char16_t* label;
};
inline constexpr StandardFrameRate kStandardFrameRates[] = {
    {23.976, u"23.976 FPS  (NTSC)"},
    {25.0, u"25.000 FPS  (PAL)"},
    {29.97, u"29.970 FPS"},
};
inline constexpr int kStandardFrameRateCount = 3;

// What the FrameRate page's controls say.
struct FrameRateChoice {
  bool use_custom = false;
  int original_index = 0;  // into kStandardFrameRates
  int new_index = 1;
  std::u16string custom_original;
  std::u16string custom_new;
};

// The rates the choice names; text that is not a number gives 0.
void ChosenFrameRates(const FrameRateChoice& choice, double& from, double& to);

// Multiplies every start and end time by from / to.
void ConvertFrameRate(SubtitleDocument& doc, double from, double to);

// The page's conversion: sets the changed and the converted flags, logs and converts. Rates that
// are not positive finite numbers are refused with a message box and a log line and change
// nothing else. Returns true when converted.
bool RunFrameRateConversion(SubtitleDocument& doc, double from, double to, Prompter& prompter);

}  // namespace tessera
