#include "movie/avi_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/text_util.h"

namespace tessera {
namespace {

// The header list of real files is a few kilobytes; a larger claim is a damaged file.
constexpr uint64_t kMaxHeaderList = 16u << 20;
// Top-level chunks before the header list; real files have one or two.
constexpr int kMaxTopLevelChunks = 100000;

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Bytes actually read; fewer at the end of the data.
  virtual size_t ReadAt(uint64_t offset, void* buffer, size_t n) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset >= bytes_.size()) return 0;
    n = std::min<uint64_t>(n, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }

 private:
  std::string_view bytes_;
};

class FileSource final : public ByteSource {
 public:
  FileSource(std::FILE* f, uint64_t size) : f_(f), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buffer, size_t n) override {
    if (offset > static_cast<uint64_t>(INT64_MAX) ||
        fseeko(f_, static_cast<off_t>(offset), SEEK_SET) != 0)
      return 0;
    return std::fread(buffer, 1, n, f_);
  }

 private:
  std::FILE* f_;
  uint64_t size_;
};

uint32_t U32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

bool IsId(const unsigned char* p, const char* id) {
  return std::memcmp(p, id, 4) == 0;
}

// A structure shorter than expected is read as if padded with zero bytes.
std::vector<unsigned char> Padded(std::string_view data, size_t size) {
  std::vector<unsigned char> v(size, 0);
  std::memcpy(v.data(), data.data(), std::min(size, data.size()));
  return v;
}

AviStreamHeader StreamHeader(std::string_view data) {
  std::vector<unsigned char> b = Padded(data, 56);
  AviStreamHeader h;
  h.handler = U32(&b[4]);
  h.scale = U32(&b[20]);
  h.rate = U32(&b[24]);
  h.length = U32(&b[32]);
  h.left = static_cast<int16_t>(U16(&b[48]));
  h.top = static_cast<int16_t>(U16(&b[50]));
  h.right = static_cast<int16_t>(U16(&b[52]));
  h.bottom = static_cast<int16_t>(U16(&b[54]));
  return h;
}

AviBitmapFormat BitmapFormat(std::string_view data) {
  std::vector<unsigned char> b = Padded(data, 20);
  AviBitmapFormat f;
  f.width = static_cast<int32_t>(U32(&b[4]));
  f.height = static_cast<int32_t>(U32(&b[8]));
  f.bit_count = U16(&b[14]);
  f.compression = U32(&b[16]);
  return f;
}

AviWaveFormat WaveFormat(std::string_view data) {
  std::vector<unsigned char> b = Padded(data, 16);
  AviWaveFormat f;
  f.format_tag = U16(&b[0]);
  f.channels = U16(&b[2]);
  f.samples_per_second = U32(&b[4]);
  f.average_bytes_per_second = U32(&b[8]);
  f.block_align = U16(&b[12]);
  f.bits_per_sample = U16(&b[14]);
  return f;
}

// Calls fn(id, body) for each chunk of a list body. A chunk that claims more than is left is
// cut to what is there.
template <typename Fn>
void ForEachChunk(std::string_view list, Fn fn) {
  size_t pos = 0;
  while (list.size() - pos >= 8) {
    auto p = reinterpret_cast<const unsigned char*>(list.data() + pos);
    uint64_t size = U32(p + 4);
    size_t avail = list.size() - pos - 8;
    std::string_view body = list.substr(pos + 8, std::min<uint64_t>(size, avail));
    fn(p, body);
    uint64_t step = 8 + size + (size & 1);
    if (step > list.size() - pos) break;
    pos += step;
  }
}

void ParseStreamList(std::string_view strl, AviHeaders& out) {
  std::string_view strh, strf;
  bool has_strh = false, has_strf = false;
  ForEachChunk(strl, [&](const unsigned char* id, std::string_view body) {
    if (IsId(id, "strh") && !has_strh) {
      strh = body;
      has_strh = true;
    } else if (IsId(id, "strf") && !has_strf) {
      strf = body;
      has_strf = true;
    }
  });
  if (!has_strh || strh.size() < 4) return;
  auto type = reinterpret_cast<const unsigned char*>(strh.data());
  if (IsId(type, "vids") && !out.has_video) {
    out.has_video = true;
    out.video = StreamHeader(strh);
    out.has_video_format = has_strf;
    if (has_strf) out.video_format = BitmapFormat(strf);
  } else if (IsId(type, "auds") && !out.has_audio) {
    out.has_audio = true;
    out.audio = StreamHeader(strh);
    out.has_audio_format = has_strf;
    if (has_strf) out.audio_format = WaveFormat(strf);
  }
}

void ParseHeaderList(std::string_view hdrl, AviHeaders& out) {
  ForEachChunk(hdrl, [&](const unsigned char* id, std::string_view body) {
    if (IsId(id, "LIST") && body.size() >= 4 &&
        IsId(reinterpret_cast<const unsigned char*>(body.data()), "strl"))
      ParseStreamList(body.substr(4), out);
  });
}

bool ParseSource(ByteSource& src, AviHeaders& out) {
  AviHeaders result;
  result.file_size = src.Size();
  unsigned char head[12];
  if (src.ReadAt(0, head, 12) != 12 || !IsId(head, "RIFF") || !IsId(head + 8, "AVI ")) return false;
  // The RIFF size is often wrong in files whose writing was cut off; the file size bounds the walk.
  uint64_t end = src.Size();
  uint64_t pos = 12;
  for (int n = 0; n < kMaxTopLevelChunks && end >= 12 && pos <= end - 12; ++n) {
    unsigned char chunk[12];
    if (src.ReadAt(pos, chunk, 12) != 12) return false;
    uint64_t size = U32(chunk + 4);
    if (IsId(chunk, "LIST") && IsId(chunk + 8, "hdrl")) {
      uint64_t body = std::min({size >= 4 ? size - 4 : 0, end - pos - 12, kMaxHeaderList});
      std::string bytes(static_cast<size_t>(body), '\0');
      bytes.resize(src.ReadAt(pos + 12, bytes.data(), bytes.size()));
      ParseHeaderList(bytes, result);
      out = result;
      return true;
    }
    pos += 8 + size + (size & 1);
  }
  return false;
}

}  // namespace

bool ParseAviHeaders(std::string_view file_bytes, AviHeaders& out) {
  MemorySource src(file_bytes);
  return ParseSource(src, out);
}

bool ReadAviHeaders(const std::u16string& path, AviHeaders& out) {
  std::error_code ec;
  std::filesystem::path p = ToPath(path);
  if (!std::filesystem::is_regular_file(p, ec)) return false;
  uint64_t size = std::filesystem::file_size(p, ec);
  if (ec) return false;
  std::FILE* f = std::fopen(p.c_str(), "rb");
  if (!f) return false;
  FileSource src(f, size);
  bool ok = ParseSource(src, out);
  std::fclose(f);
  return ok;
}

}  // namespace tessera
