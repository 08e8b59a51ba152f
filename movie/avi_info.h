// The texts of the AVI Info page: what an AVI file contains, one text per box.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "movie/avi_reader.h"

namespace tessera {

struct AviInfoTexts {
  std::u16string filename, size, aspect_ratio, framerate, length;
  std::u16string fourcc, codec, vendor, avg_bitrate;
  std::u16string audio_codec, audio_bitrate, sampling_frequency;
};

// The box texts for a file whose headers were read.
AviInfoTexts DescribeAvi(const std::u16string& path, const AviHeaders& headers);
// Reads the file's headers and describes it. False, and `out` untouched, when the file cannot
// be read as AVI.
bool DescribeAviFile(const std::u16string& path, AviInfoTexts& out);

// (English label, box text) in the page's order.
std::vector<std::pair<std::u16string, std::u16string>> AviInfoLines(const AviInfoTexts& texts);

// Helpers shown on their own elsewhere too.
std::u16string FourCcText(uint32_t code);
std::u16string AudioFormatName(uint16_t format_tag);

}  // namespace tessera
