#include "tools/frame_rate.h"

#include <cmath>

#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {

void ChosenFrameRates(const FrameRateChoice& choice, double& from, double& to) {
  if (choice.use_custom) {
    from = ToReal(choice.custom_original);
    to = ToReal(choice.custom_new);
    return;
  }
  auto rate = [](int index) {
    return index >= 0 && index < kStandardFrameRateCount ? kStandardFrameRates[index].rate : 0.0;
  };
  from = rate(choice.original_index);
  to = rate(choice.new_index);
}

void ConvertFrameRate(SubtitleDocument& doc, double from, double to) {
  const double factor = from / to;
  for (int row = 0; row < doc.Count(); ++row) {
    for (int column : {kStart, kEnd}) doc.SetTime(row, column, doc.Time(row, column) * factor);
  }
}

bool RunFrameRateConversion(SubtitleDocument& doc, double from, double to, Prompter& prompter) {
  auto usable = [](double rate) { return std::isfinite(rate) && rate > 0; };
  if (!usable(from) || !usable(to)) {
    constexpr char16_t kRefused[] = u"ERROR: Enter two frame rates greater than 0.";
    doc.AppendLog(kRefused);
    prompter.MessageBox(kRefused, {}, PromptIcon::Error);
    return false;
  }
  doc.SetChanged(true);
  doc.SetFrameRateConverted(true);
  doc.AppendLog(Format("Converting Framerate from %6.3f to %6.3f...", from, to));
  ConvertFrameRate(doc, from, to);
  doc.AppendLog(u"Done.");
  return true;
}

}  // namespace tessera
