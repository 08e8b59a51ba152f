#include "sound/sound_analysis.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <system_error>

#include "core/atomic_write.h"

namespace tessera {
namespace {

constexpr char kMagic[8] = {'T', 'S', 'S', 'O', 'U', 'N', 'D', '1'};

float Decibels(double mean_square) {
  if (mean_square <= 1e-10) return SoundAnalysis::kFloorDb;
  return std::max(SoundAnalysis::kFloorDb, static_cast<float>(10.0 * std::log10(mean_square)));
}

int16_t ToPeak(float x) {
  const float v = std::clamp(x, -1.0f, 1.0f) * 32767.0f;
  return static_cast<int16_t>(std::lround(v));
}

int64_t CeilDiv(int64_t a, int64_t b) {
  return (a + b - 1) / b;
}

// A hash of the whole cache file, eight bytes at a time, so a damaged file is told apart.
uint64_t Checksum(const char* data, size_t size) {
  uint64_t h = 0xcbf29ce484222325ull;
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    h = (h ^ word) * 0x100000001b3ull;
    h ^= h >> 29;
  }
  for (; i < size; ++i) h = (h ^ static_cast<unsigned char>(data[i])) * 0x100000001b3ull;
  return h;
}

// What identifies the movie a cache file belongs to.
struct MovieKey {
  std::string path;
  uint64_t size = 0;
  int64_t mtime_ns = 0;
};

bool KeyOf(const std::string& movie, MovieKey& key) {
  std::error_code ec;
  std::filesystem::path abs = std::filesystem::absolute(movie, ec);
  if (ec) return false;
  struct stat st;
  if (::stat(abs.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  key.path = abs.lexically_normal().string();
  key.size = static_cast<uint64_t>(st.st_size);
  key.mtime_ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

class Writer {
 public:
  template <typename T>
  void Put(const T& v) {
    bytes.append(reinterpret_cast<const char*>(&v), sizeof v);
  }
  void PutString(const std::string& s) {
    Put(static_cast<uint32_t>(s.size()));
    bytes.append(s);
  }
  template <typename T>
  void PutVector(const std::vector<T>& v) {
    Put(static_cast<uint64_t>(v.size()));
    bytes.append(reinterpret_cast<const char*>(v.data()), v.size() * sizeof(T));
  }
  std::string bytes;
};

class Reader {
 public:
  Reader(const char* data, size_t size) : p_(data), end_(data + size) {}
  template <typename T>
  bool Get(T& v) {
    if (size_t(end_ - p_) < sizeof v) return false;
    std::memcpy(&v, p_, sizeof v);
    p_ += sizeof v;
    return true;
  }
  bool GetString(std::string& s, size_t limit) {
    uint32_t n;
    if (!Get(n) || n > limit || size_t(end_ - p_) < n) return false;
    s.assign(p_, n);
    p_ += n;
    return true;
  }
  // A vector whose length must be `expected`, as the sample count implies.
  template <typename T>
  bool GetVector(std::vector<T>& v, uint64_t expected) {
    uint64_t n;
    if (!Get(n) || n != expected || (end_ - p_) / sizeof(T) < n) return false;
    v.resize(n);
    std::memcpy(v.data(), p_, n * sizeof(T));
    p_ += n * sizeof(T);
    return true;
  }
  bool AtEnd() const { return p_ == end_; }

 private:
  const char* p_;
  const char* end_;
};

}  // namespace

int64_t PeakPyramid::BlockSamples(int level) {
  int64_t n = kBaseBlock;
  for (int i = 0; i < level; ++i) n *= kLevelFactor;
  return n;
}

int PeakPyramid::LevelFor(double samples_per_pixel) {
  int level = 0;
  while (level + 1 < kLevels && BlockSamples(level + 1) <= samples_per_pixel) ++level;
  return level;
}

bool PeakPyramid::Range(int level, int64_t first, int64_t last, float& lo, float& hi) const {
  if (level < 0 || level >= static_cast<int>(levels.size()) || last <= first) return false;
  const int64_t block = BlockSamples(level);
  const int64_t blocks = Blocks(level);
  int64_t b0 = std::max<int64_t>(0, first / block);
  int64_t b1 = std::min(blocks, std::max(b0 + 1, CeilDiv(last, block)));
  if (b0 >= b1) return false;
  const int16_t* v = levels[level].data();
  int mn = 32767, mx = -32767;
  for (int64_t b = b0; b < b1; ++b) {
    mn = std::min<int>(mn, v[2 * b]);
    mx = std::max<int>(mx, v[2 * b + 1]);
  }
  lo = mn / 32767.0f;
  hi = mx / 32767.0f;
  return true;
}

size_t SoundAnalysis::MemoryBytes() const {
  size_t n = (energy_db.capacity() + voice_db.capacity()) * sizeof(float);
  for (const auto& level : peaks.levels) n += level.capacity() * sizeof(int16_t);
  return n + warning.capacity() + sizeof *this;
}

SoundAnalyzer::SoundAnalyzer(SoundAnalysis& out) : out_(out) {
  out_ = SoundAnalysis();
  out_.peaks.levels.resize(PeakPyramid::kLevels);
  // Second-order Butterworth high-pass at 300 Hz and low-pass at 3400 Hz: the voice band.
  const auto design = [](double f, bool high) {
    const double w = 2 * std::numbers::pi * f / kAnalysisRate;
    const double alpha = std::sin(w) / std::numbers::sqrt2;  // Q = 1/sqrt(2)
    const double c = std::cos(w);
    const double a0 = 1 + alpha;
    Biquad q{};
    if (high) {
      q.b0 = (1 + c) / 2 / a0;
      q.b1 = -(1 + c) / a0;
    } else {
      q.b0 = (1 - c) / 2 / a0;
      q.b1 = (1 - c) / a0;
    }
    q.b2 = q.b0;
    q.a1 = -2 * c / a0;
    q.a2 = (1 - alpha) / a0;
    return q;
  };
  high_pass_ = design(300, true);
  low_pass_ = design(3400, false);
}

void SoundAnalyzer::OnStart(int64_t expected_samples) {
  // The container's length is a hint; a little room over it spares a copy at the end.
  if (expected_samples <= 0 || expected_samples > int64_t(24) * 3600 * kAnalysisRate) return;
  const int64_t n = expected_samples + expected_samples / 64;
  out_.energy_db.reserve(n / SoundAnalysis::kFrameSamples + 1);
  out_.voice_db.reserve(n / SoundAnalysis::kFrameSamples + 1);
  for (int level = 0; level < PeakPyramid::kLevels; ++level)
    out_.peaks.levels[level].reserve(2 * (n / PeakPyramid::BlockSamples(level) + 1));
}

void SoundAnalyzer::OnSamples(const float* samples, size_t count) {
  static_assert(SoundAnalysis::kFrameSamples % PeakPyramid::kBaseBlock == 0,
                "a frame ends where a base block ends");
  // The filters and sums are worked on in locals: kept in members, every step would go through
  // memory, as the compiler cannot tell the members apart from the vectors written here.
  Biquad hp = high_pass_, lp = low_pass_;
  double frame_sum = frame_sum_, voice_sum = voice_sum_;
  float lo = block_lo_, hi = block_hi_;
  while (count > 0) {
    // The samples up to the end of the base block being filled, in one tight loop.
    const size_t n = std::min<size_t>(count, PeakPyramid::kBaseBlock - block_fill_);
    for (size_t i = 0; i < n; ++i) {
      const float x = samples[i];
      const double v = lp.Step(hp.Step(x));
      frame_sum += double(x) * x;
      voice_sum += v * v;
      lo = std::min(lo, x);
      hi = std::max(hi, x);
    }
    samples += n;
    count -= n;
    out_.sample_count += static_cast<int64_t>(n);
    frame_fill_ += static_cast<int>(n);
    block_fill_ += static_cast<int>(n);
    if (block_fill_ < PeakPyramid::kBaseBlock) break;
    block_lo_ = lo;
    block_hi_ = hi;
    EndBaseBlock();
    lo = block_lo_;
    hi = block_hi_;
    if (frame_fill_ == SoundAnalysis::kFrameSamples) {
      frame_sum_ = frame_sum;
      voice_sum_ = voice_sum;
      EndFrame();
      frame_sum = voice_sum = 0;
    }
  }
  // Denormals from the filters' tails after long silences would slow everything down.
  for (Biquad* q : {&hp, &lp})
    if (std::abs(q->y1) < 1e-30 && std::abs(q->y2) < 1e-30) q->y1 = q->y2 = 0;
  high_pass_ = hp;
  low_pass_ = lp;
  frame_sum_ = frame_sum;
  voice_sum_ = voice_sum;
  block_lo_ = lo;
  block_hi_ = hi;
}

void SoundAnalyzer::EndBaseBlock() {
  const int16_t lo = ToPeak(block_lo_), hi = ToPeak(block_hi_);
  block_lo_ = 1.0f;
  block_hi_ = -1.0f;
  block_fill_ = 0;
  EndBlock(0, lo, hi);
}

void SoundAnalyzer::EndFrame() {
  out_.energy_db.push_back(Decibels(frame_sum_ / frame_fill_));
  out_.voice_db.push_back(Decibels(voice_sum_ / frame_fill_));
  frame_sum_ = voice_sum_ = 0;
  frame_fill_ = 0;
}

void SoundAnalyzer::EndBlock(int level, int16_t lo, int16_t hi) {
  auto& v = out_.peaks.levels[level];
  v.push_back(lo);
  v.push_back(hi);
  if (level + 1 >= PeakPyramid::kLevels) return;
  Open& up = open_[level + 1];
  up.lo = std::min<int>(up.lo, lo);
  up.hi = std::max<int>(up.hi, hi);
  if (++up.fill == PeakPyramid::kLevelFactor) {
    const int16_t ulo = up.lo, uhi = up.hi;
    up = Open();
    EndBlock(level + 1, ulo, uhi);
  }
}

void SoundAnalyzer::Finish() {
  if (frame_fill_ > 0) EndFrame();
  if (block_fill_ > 0) {
    auto& v = out_.peaks.levels[0];
    v.push_back(ToPeak(block_lo_));
    v.push_back(ToPeak(block_hi_));
    if (PeakPyramid::kLevels > 1) {
      Open& up = open_[1];
      up.lo = std::min<int>(up.lo, v[v.size() - 2]);
      up.hi = std::max<int>(up.hi, v.back());
      ++up.fill;
    }
    block_fill_ = 0;
  }
  // Close the partial blocks from the bottom up, so each level's last block includes the ones
  // below it.
  for (int level = 1; level < PeakPyramid::kLevels; ++level) {
    Open& o = open_[level];
    if (o.fill == 0) continue;
    const int16_t lo = o.lo, hi = o.hi;
    o = Open();
    auto& v = out_.peaks.levels[level];
    v.push_back(lo);
    v.push_back(hi);
    if (level + 1 < PeakPyramid::kLevels) {
      Open& up = open_[level + 1];
      up.lo = std::min<int>(up.lo, lo);
      up.hi = std::max<int>(up.hi, hi);
      ++up.fill;
    }
  }
  for (auto& level : out_.peaks.levels) level.shrink_to_fit();
  out_.energy_db.shrink_to_fit();
  out_.voice_db.shrink_to_fit();
}

std::filesystem::path SoundCacheDir() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && *xdg == '/') return std::filesystem::path(xdg) / "tessera";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home && *home ? home : "/tmp") / ".cache" / "tessera";
}

std::filesystem::path SoundCachePath(const std::string& movie) {
  MovieKey key;
  std::string name = movie;
  if (KeyOf(movie, key)) name = key.path;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx",
                static_cast<unsigned long long>(Checksum(name.data(), name.size())));
  return SoundCacheDir() / (std::string(hex) + ".sound");
}

bool WriteSoundCache(const std::string& movie, const SoundAnalysis& a, std::string* reason) {
  MovieKey key;
  if (!KeyOf(movie, key)) {
    if (reason) *reason = "the movie is not a readable file";
    return false;
  }
  Writer w;
  w.bytes.reserve(a.MemoryBytes() + 4096);
  w.bytes.append(kMagic, sizeof kMagic);
  w.Put(uint32_t(kAnalysisRate));
  w.Put(uint32_t(PeakPyramid::kBaseBlock));
  w.Put(uint32_t(PeakPyramid::kLevelFactor));
  w.Put(uint32_t(a.peaks.levels.size()));
  w.Put(uint32_t(SoundAnalysis::kFrameSamples));
  w.PutString(key.path);
  w.Put(key.size);
  w.Put(key.mtime_ns);
  w.PutString(a.warning);
  w.Put(a.sample_count);
  for (const auto& level : a.peaks.levels) w.PutVector(level);
  w.PutVector(a.energy_db);
  w.PutVector(a.voice_db);
  w.Put(Checksum(w.bytes.data(), w.bytes.size()));
  std::error_code ec;
  const auto dir = SoundCacheDir();
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    if (reason) *reason = dir.string() + ": " + ec.message();
    return false;
  }
  return WriteFileAtomically(SoundCachePath(movie), w.bytes, reason);
}

bool ReadSoundCache(const std::string& movie, SoundAnalysis& out) {
  MovieKey key;
  if (!KeyOf(movie, key)) return false;
  std::ifstream in(SoundCachePath(movie), std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < std::streamoff(sizeof kMagic + 8) || size > (std::streamoff(1) << 32)) return false;
  std::string bytes(static_cast<size_t>(size), '\0');
  in.seekg(0);
  if (!in.read(bytes.data(), size)) return false;
  const size_t body = bytes.size() - 8;
  uint64_t stored;
  std::memcpy(&stored, bytes.data() + body, 8);
  if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 ||
      Checksum(bytes.data(), body) != stored)
    return false;

  Reader r(bytes.data() + sizeof kMagic, body - sizeof kMagic);
  uint32_t rate, block, factor, levels, frame;
  MovieKey stored_key;
  SoundAnalysis a;
  if (!r.Get(rate) || !r.Get(block) || !r.Get(factor) || !r.Get(levels) || !r.Get(frame) ||
      rate != kAnalysisRate || block != PeakPyramid::kBaseBlock ||
      factor != PeakPyramid::kLevelFactor || levels != PeakPyramid::kLevels ||
      frame != SoundAnalysis::kFrameSamples)
    return false;
  if (!r.GetString(stored_key.path, 1 << 16) || !r.Get(stored_key.size) ||
      !r.Get(stored_key.mtime_ns) || stored_key.path != key.path || stored_key.size != key.size ||
      stored_key.mtime_ns != key.mtime_ns)
    return false;
  if (!r.GetString(a.warning, 1 << 12) || !r.Get(a.sample_count) || a.sample_count < 0)
    return false;
  a.peaks.levels.resize(levels);
  for (uint32_t level = 0; level < levels; ++level)
    if (!r.GetVector(a.peaks.levels[level],
                     2 * CeilDiv(a.sample_count, PeakPyramid::BlockSamples(level))))
      return false;
  const uint64_t frames = CeilDiv(a.sample_count, SoundAnalysis::kFrameSamples);
  if (!r.GetVector(a.energy_db, frames) || !r.GetVector(a.voice_db, frames) || !r.AtEnd())
    return false;
  const auto sane = [](float db) { return db >= SoundAnalysis::kFloorDb && db <= 10.0f; };
  if (!std::all_of(a.energy_db.begin(), a.energy_db.end(), sane) ||
      !std::all_of(a.voice_db.begin(), a.voice_db.end(), sane))
    return false;
  out = std::move(a);
  return true;
}

SoundStatus AnalyzeSound(const std::string& path, SoundAnalysis& out, std::string& message,
                         SoundProgress* progress) {
  message.clear();
  if (ReadSoundCache(path, out)) {
    message = out.warning;
    return SoundStatus::Ok;
  }
  SoundAnalysis a;
  SoundAnalyzer analyzer(a);
  const SoundStatus status = DecodeSound(path, analyzer, message, progress);
  if (status != SoundStatus::Ok) return status;
  analyzer.Finish();
  a.warning = message;
  // A cache that cannot be written only costs the next opening a decode.
  WriteSoundCache(path, a);
  out = std::move(a);
  return SoundStatus::Ok;
}

}  // namespace tessera
