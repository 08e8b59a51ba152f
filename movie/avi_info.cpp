#include "movie/avi_info.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/text_util.h"

namespace tessera {
namespace {

struct CodecRow {
  const char16_t* fourcc;
  const char16_t* codec;
  const char16_t* vendor;
};

constexpr CodecRow kCodecs[] = {
    {u"div1", u"FFmpeg OpenDivX", u"?"},
    {u"div2", u"Microsoft MPEG-4 v1/v2", u"?"},
    {u"div3", u"DivX 3 Low-Motion", u"DivX"},
    {u"div4", u"DivX 3 Fast-Motion", u"DivX"},
    {u"div5", u"DivX 5.0", u"www.divx.com"},
    {u"div6", u"DivX ;-) (MS MPEG-4 v3)", u"?"},
    {u"divx", u"DivX 4 (OpenDivX)", u"Project Mayo"},
    {u"xvid", u"XviD", u"open source"},
};

constexpr char16_t kUnknownValue[] = u"---";

// Running times beyond this are damaged headers; keeps the text arithmetic in range.
constexpr double kLongestSeconds = 1e12;

std::u16string LengthText(double seconds) {
  if (!(seconds >= 0)) return kUnknownValue;
  double t = std::min(seconds, kLongestSeconds);
  double h = std::trunc(t / 3600);
  t -= 3600 * h;
  double m = std::trunc(t / 60);
  double s = std::trunc(t - 60 * m);
  return Format("%lld:%02lld:%02lld", static_cast<long long>(h), static_cast<long long>(m),
                static_cast<long long>(s));
}

std::u16string SizeText(uint64_t bytes) {
  return Format("%0.1f MB   (%llu,%03llu KB)", static_cast<double>(bytes) / 1048576.0,
                static_cast<unsigned long long>(bytes / 1000000),
                static_cast<unsigned long long>(bytes % 1000000 / 1000));
}

void DescribeVideo(const AviHeaders& h, AviInfoTexts& t) {
  const AviStreamHeader& v = h.video;
  t.fourcc = FourCcText(v.handler);
  if (t.fourcc.empty()) t.fourcc = u"UNKNOWN";
  for (const CodecRow& row : kCodecs) {
    if (t.fourcc == row.fourcc) {
      t.codec = row.codec;
      t.vendor = row.vendor;
    }
  }

  int64_t width = v.right, height = v.bottom;
  if (height == 0 && h.has_video_format) {
    width = h.video_format.width;
    height = std::llabs(static_cast<long long>(h.video_format.height));
  }
  if (height != 0)
    t.aspect_ratio = Format("%5.3f : 1  (%lld x %lld)", static_cast<double>(width) / height,
                            static_cast<long long>(width), static_cast<long long>(height));
  else
    t.aspect_ratio = kUnknownValue;

  if (v.scale == 0 || v.rate == 0) {
    t.framerate = t.length = kUnknownValue;
    return;
  }
  double fps = static_cast<double>(v.rate) / v.scale;
  t.framerate = Format("%6.3f", fps);
  double seconds = v.length / fps;
  t.length = LengthText(seconds);
  if (seconds > 0) {
    // The audio's share of the file is what it plays at its own average rate.
    double audio = h.has_audio && h.has_audio_format
                       ? static_cast<double>(h.audio_format.average_bytes_per_second) * seconds
                       : 0.0;
    double video = std::max(0.0, static_cast<double>(h.file_size) - audio);
    double kbps = std::min(video * 8 / 1000 / seconds, 1e15);
    t.avg_bitrate = Format("%lld kbps", static_cast<long long>(kbps));
  }
}

void DescribeAudio(const AviHeaders& h, AviInfoTexts& t) {
  t.audio_codec = u"NONE OR UNKNOWN";
  if (!h.has_audio) return;
  t.audio_codec = AudioFormatName(h.has_audio_format ? h.audio_format.format_tag : 0);
  if (h.has_audio_format) {
    const AviWaveFormat& w = h.audio_format;
    t.audio_bitrate =
        Format("%llu kbps", static_cast<unsigned long long>(w.average_bytes_per_second) * 8 / 1000);
    t.sampling_frequency = Format("%u Hz (%u ch)", static_cast<unsigned>(w.samples_per_second),
                                  static_cast<unsigned>(w.channels));
  }
  if (!h.has_video) {
    const AviStreamHeader& a = h.audio;
    if (a.rate != 0 && a.scale != 0)
      t.length = LengthText(static_cast<double>(a.length) * a.scale / a.rate);
    else
      t.length = kUnknownValue;
  }
}

}  // namespace

std::u16string FourCcText(uint32_t code) {
  std::u16string s;
  for (int i = 0; i < 4; ++i) {
    char16_t c = static_cast<char16_t>((code >> (8 * i)) & 0xFF);
    if (c != 0) s.push_back(c);
  }
  return s;
}

std::u16string AudioFormatName(uint16_t format_tag) {
  switch (format_tag) {
    case 0x0001:
      return u"PCM";
    case 0x0055:
      return u"MPEG-1 Layer 3";
    case 0x2000:
      return u"ac3 - Dolby Laboratories, Inc";
    default:
      return u"Unknown";
  }
}

AviInfoTexts DescribeAvi(const std::u16string& path, const AviHeaders& headers) {
  AviInfoTexts t;
  t.filename = path;
  t.size = SizeText(headers.file_size);
  if (headers.has_video) DescribeVideo(headers, t);
  DescribeAudio(headers, t);
  return t;
}

bool DescribeAviFile(const std::u16string& path, AviInfoTexts& out) {
  AviHeaders headers;
  if (!ReadAviHeaders(path, headers)) return false;
  out = DescribeAvi(path, headers);
  return true;
}

std::vector<std::pair<std::u16string, std::u16string>> AviInfoLines(const AviInfoTexts& t) {
  return {{u"Filename", t.filename},
          {u"Size", t.size},
          {u"Aspect Ratio:", t.aspect_ratio},
          {u"Framerate:", t.framerate},
          {u"Length:", t.length},
          {u"FourCC", t.fourcc},
          {u"Codec", t.codec},
          {u"Vendor", t.vendor},
          {u"Avg Bitrate", t.avg_bitrate},
          {u"Codec:", t.audio_codec},
          {u"Bitrate:", t.audio_bitrate},
          {u"Sampling frequency:", t.sampling_frequency}};
}

}  // namespace tessera
