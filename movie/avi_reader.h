// The stream headers of an AVI file, read from its RIFF structure: the first video and the
// first audio stream's header (strh) and format (strf), and the file size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessera {

struct AviStreamHeader {
  uint32_t handler = 0;  // codec code, lowest byte first in the file
  uint32_t scale = 0;
  uint32_t rate = 0;
  uint32_t length = 0;                               // in units of scale / rate
  int16_t left = 0, top = 0, right = 0, bottom = 0;  // frame rectangle
};

struct AviBitmapFormat {
  int32_t width = 0;
  int32_t height = 0;  // negative for top-down pictures
  uint16_t bit_count = 0;
  uint32_t compression = 0;
};

struct AviWaveFormat {
  uint16_t format_tag = 0;
  uint16_t channels = 0;
  uint32_t samples_per_second = 0;
  uint32_t average_bytes_per_second = 0;
  uint16_t block_align = 0;
  uint16_t bits_per_sample = 0;
};

struct AviHeaders {
  uint64_t file_size = 0;
  bool has_video = false;
  AviStreamHeader video;
  bool has_video_format = false;
  AviBitmapFormat video_format;
  bool has_audio = false;
  AviStreamHeader audio;
  bool has_audio_format = false;
  AviWaveFormat audio_format;
};

// False when the bytes are not an AVI file with a header list. Any bytes are safe.
bool ParseAviHeaders(std::string_view file_bytes, AviHeaders& out);
// Reads only the header list, however large the file. False when it cannot be read as AVI.
bool ReadAviHeaders(const std::u16string& path, AviHeaders& out);

}  // namespace tessera
