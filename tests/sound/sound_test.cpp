// Decoding, analysis and cache of a movie's sound, on sound the tests write.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <numbers>
#include <vector>

#include "sound/sound_analysis.h"
#include "sound/sound_decoder.h"
#include "tests/support/movie_files.h"
#include "tests/support/sound_files.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::ScratchDir;

using testing::Burst;
using testing::WriteWav;

struct CountingProgress : SoundProgress {
  int calls = 0;
  int cancel_after = -1;
  bool Continue(double) override {
    ++calls;
    return cancel_after < 0 || calls <= cancel_after;
  }
};

class SoundTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("XDG_CACHE_HOME", dir_.Path("cache").c_str(), 1); }
  void TearDown() override { unsetenv("XDG_CACHE_HOME"); }
  ScratchDir dir_{"tessera-sound"};
};

// The first and last 10 ms frame louder than `db` in each run of loud frames, in seconds.
std::vector<std::pair<double, double>> LoudRuns(const std::vector<float>& db, float threshold) {
  std::vector<std::pair<double, double>> runs;
  for (size_t i = 0; i < db.size(); ++i) {
    if (db[i] <= threshold) continue;
    size_t j = i;
    while (j + 1 < db.size() && db[j + 1] > threshold) ++j;
    runs.push_back({i * 0.01, (j + 1) * 0.01});
    i = j;
  }
  return runs;
}

TEST_F(SoundTest, EnergyFindsBurstsWithinOneFrameAndVoiceBandTellsPitch) {
  const auto wav = dir_.Path("bursts.wav");
  // 1 kHz is speech-like; 7 kHz lies above the voice band.
  WriteWav(wav, 6.0, {{1.0, 1.5, 1000}, {2.37, 2.905, 1000}, {4.0, 4.5, 7000}});
  SoundAnalysis a;
  std::string message;
  ASSERT_EQ(AnalyzeSound(wav.string(), a, message), SoundStatus::Ok) << message;
  EXPECT_EQ(message, "");
  EXPECT_NEAR(a.Seconds(), 6.0, 0.01);
  ASSERT_EQ(a.energy_db.size(), static_cast<size_t>((a.sample_count + 159) / 160));

  const auto runs = LoudRuns(a.energy_db, -40);
  ASSERT_EQ(runs.size(), 3u);
  const double expected[3][2] = {{1.0, 1.5}, {2.37, 2.905}, {4.0, 4.5}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(runs[i].first, expected[i][0], 0.0101) << i;
    EXPECT_NEAR(runs[i].second, expected[i][1], 0.0101) << i;
  }
  EXPECT_EQ(a.energy_db[50], SoundAnalysis::kFloorDb);         // silence
  EXPECT_NEAR(a.energy_db[120], 10 * std::log10(0.125), 0.5);  // sine of amplitude 0.5
  // The voice band keeps the 1 kHz bursts and drops the 7 kHz one by far.
  EXPECT_GT(a.voice_db[120], a.energy_db[120] - 1);
  EXPECT_LT(a.voice_db[420], a.energy_db[420] - 20);
}

TEST(PeakPyramidTest, EveryLevelHoldsTheMinAndMaxOfItsBlocks) {
  // An irregular signal whose length is no multiple of any block.
  std::vector<float> x(300007);
  uint32_t seed = 12345;
  for (size_t i = 0; i < x.size(); ++i) {
    seed = seed * 1664525u + 1013904223u;
    const float envelope = 0.1f + 0.8f * float(i % 70000) / 70000.0f;
    x[i] = envelope * (float(seed >> 8) / float(1 << 24) * 2 - 1);
  }
  SoundAnalysis a;
  SoundAnalyzer analyzer(a);
  for (size_t i = 0; i < x.size(); i += 1000)
    analyzer.OnSamples(x.data() + i, std::min<size_t>(1000, x.size() - i));
  analyzer.Finish();
  ASSERT_EQ(a.sample_count, int64_t(x.size()));
  ASSERT_EQ(a.peaks.levels.size(), size_t(PeakPyramid::kLevels));
  const auto q = [](float v) { return std::lround(v * 32767.0f) / 32767.0f; };
  for (int level = 0; level < PeakPyramid::kLevels; ++level) {
    const int64_t block = PeakPyramid::BlockSamples(level);
    ASSERT_EQ(a.peaks.Blocks(level), (int64_t(x.size()) + block - 1) / block) << level;
    for (int64_t b = 0; b < a.peaks.Blocks(level); b += 1 + a.peaks.Blocks(level) / 50) {
      const size_t from = b * block, to = std::min<size_t>(x.size(), from + block);
      const float lo = *std::min_element(x.begin() + from, x.begin() + to);
      const float hi = *std::max_element(x.begin() + from, x.begin() + to);
      float got_lo, got_hi;
      ASSERT_TRUE(a.peaks.Range(level, from, to, got_lo, got_hi));
      EXPECT_NEAR(got_lo, q(lo), 1e-6) << level << " " << b;
      EXPECT_NEAR(got_hi, q(hi), 1e-6) << level << " " << b;
    }
  }
  // A pixel of N samples draws from the coarsest level of whole blocks.
  EXPECT_EQ(PeakPyramid::LevelFor(10), 0);
  EXPECT_EQ(PeakPyramid::LevelFor(64), 1);
  EXPECT_EQ(PeakPyramid::LevelFor(1000), 2);
  EXPECT_EQ(PeakPyramid::LevelFor(1e12), PeakPyramid::kLevels - 1);
}

// The decoder hands samples on in pieces of whatever size the resampler makes: the result must
// not depend on where the pieces end, within a block, at a block's or a frame's end.
TEST(SoundAnalyzerTest, PiecesOfAnySizeGiveTheSameAnalysis) {
  std::vector<float> x(48000 + 123);
  for (size_t i = 0; i < x.size(); ++i)
    x[i] = 0.6f * std::sin(2 * std::numbers::pi * 900 * double(i) / kAnalysisRate) *
           float(i % 5000) / 5000.0f;
  SoundAnalysis whole, cut;
  SoundAnalyzer one(whole);
  one.OnSamples(x.data(), x.size());
  one.Finish();
  SoundAnalyzer pieces(cut);
  const size_t sizes[] = {1, 15, 16, 17, 0, 159, 160, 161, 3, 1000, 2047};
  for (size_t i = 0, k = 0; i < x.size(); ++k) {
    const size_t n = std::min(sizes[k % std::size(sizes)], x.size() - i);
    pieces.OnSamples(x.data() + i, n);
    i += n;
  }
  pieces.Finish();
  EXPECT_EQ(cut.sample_count, whole.sample_count);
  EXPECT_EQ(cut.energy_db, whole.energy_db);
  EXPECT_EQ(cut.voice_db, whole.voice_db);
  EXPECT_EQ(cut.peaks.levels, whole.peaks.levels);
  EXPECT_GT(whole.energy_db[280], -20.0f);  // there is sound to analyse
  EXPECT_GT(whole.voice_db[280], -20.0f);
}

TEST_F(SoundTest, BadInputsSayWhy) {
  // A WAV that claims more than it holds is its readable part, as FFmpeg reads it.
  const auto short_wav = dir_.Path("short.wav");
  WriteWav(short_wav, 3.0, {{0.5, 2.5, 440}}, 48000, 1, 10.0);
  const auto garbage = dir_.Path("garbage.mkv");
  {
    std::ofstream out(garbage, std::ios::binary);
    for (int i = 0; i < 50000; ++i) out.put(static_cast<char>((i * 7919) >> 3));
  }
  const auto text = dir_.Path("notes.txt");
  std::ofstream(text) << "1\n00:00:01,000 --> 00:00:02,000\nHello\n";
  struct Case {
    std::filesystem::path path;
    SoundStatus status;
    std::string message;
  };
  std::vector<Case> cases = {
      {short_wav, SoundStatus::Ok, ""},
      {garbage, SoundStatus::Unreadable, "Cannot read the sound of " + garbage.string() + ": "},
      {text, SoundStatus::NoSound, "No sound in " + text.string() + ": "},
      {dir_.Path("missing.avi"), SoundStatus::Unreadable,
       "Cannot read the sound of " + dir_.Path("missing.avi").string() +
           ": No such file or directory"},
  };
  if (testing::HaveProgram("ffmpeg")) {
    const auto silent = testing::MakeMovie(dir_.Path("silent.mkv"),
                                           "-f lavfi -i color=c=blue:s=64x48:r=10:d=2 -c:v mpeg4");
    ASSERT_FALSE(silent.empty());
    cases.push_back({silent, SoundStatus::NoSound,
                     "No sound in " + silent.string() + ": the file has no audio stream"});
    // A Matroska file cut at 40 %: its header still says 10 s.
    const auto full = testing::MakeMovie(dir_.Path("full.mkv"),
                                         "-f lavfi -i color=c=blue:s=64x48:r=10:d=10 -f lavfi -i "
                                         "sine=f=440:d=10 -c:v mpeg4 -c:a aac -shortest");
    ASSERT_FALSE(full.empty());
    const std::string bytes = testing::ReadBytes(full);
    const auto cut = dir_.Path("cut.mkv");
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() * 4 / 10);
    cases.push_back({cut, SoundStatus::Ok, "The sound of " + cut.string() + " ends at "});
  }
  for (const Case& c : cases) {
    SoundAnalysis a;
    std::string message;
    EXPECT_EQ(AnalyzeSound(c.path.string(), a, message), c.status) << c.path;
    EXPECT_EQ(message.substr(0, c.message.size()), c.message) << c.path;
    if (c.path == short_wav) {
      EXPECT_NEAR(a.Seconds(), 3.0, 0.01);
    }
  }
}

TEST_F(SoundTest, MovieContainersDecodeOnlyTheirSound) {
  if (!testing::HaveProgram("ffmpeg")) GTEST_SKIP() << "no ffmpeg";
  // Stereo AAC at 48 kHz beside a picture; the sound has a 0.5 s burst at 1 s.
  const auto movie = testing::MakeMovie(
      dir_.Path("movie.mp4"),
      "-f lavfi -i color=c=red:s=64x48:r=25:d=3 -f lavfi -i "
      "\"aevalsrc='if(between(t,1,1.5),0.5*sin(2*PI*800*t),0)|if(between(t,1,1.5),0.5*sin(2*PI*"
      "800*t),0)':s=48000:d=3\" -c:v mpeg4 -c:a aac -shortest");
  ASSERT_FALSE(movie.empty());
  SoundAnalysis a;
  std::string message;
  ASSERT_EQ(AnalyzeSound(movie.string(), a, message), SoundStatus::Ok) << message;
  EXPECT_NEAR(a.Seconds(), 3.0, 0.1);
  const auto runs = LoudRuns(a.energy_db, -40);
  ASSERT_EQ(runs.size(), 1u);
  // AAC's priming delay is taken off by the decoder; allow one frame besides.
  EXPECT_NEAR(runs[0].first, 1.0, 0.02);
  EXPECT_NEAR(runs[0].second, 1.5, 0.02);
}

TEST_F(SoundTest, CacheIsReusedAndADamagedOneReplaced) {
  const auto wav = dir_.Path("speech.wav");
  WriteWav(wav, 4.0, {{1.0, 2.0, 500}});
  CountingProgress progress;
  SoundAnalysis first;
  std::string message;
  ASSERT_EQ(AnalyzeSound(wav.string(), first, message, &progress), SoundStatus::Ok);
  EXPECT_GT(progress.calls, 0);
  const auto cache = SoundCachePath(wav.string());
  EXPECT_EQ(cache.parent_path(), dir_.Path("cache") / "tessera");
  ASSERT_TRUE(std::filesystem::exists(cache));

  const auto again = [&](const char* why) {
    progress.calls = 0;
    SoundAnalysis a;
    EXPECT_EQ(AnalyzeSound(wav.string(), a, message, &progress), SoundStatus::Ok) << why;
    EXPECT_EQ(a.sample_count, first.sample_count) << why;
    EXPECT_EQ(a.energy_db, first.energy_db) << why;
    EXPECT_EQ(a.peaks.levels, first.peaks.levels) << why;
    return progress.calls > 0;  // decoded
  };
  EXPECT_FALSE(again("cached"));

  const auto damage = [&](auto change) {
    std::string bytes = testing::ReadBytes(cache);
    change(bytes);
    std::ofstream(cache, std::ios::binary | std::ios::trunc) << bytes;
  };
  damage([](std::string& b) { b[b.size() / 2] ^= 0x40; });
  EXPECT_TRUE(again("one byte flipped"));
  EXPECT_FALSE(again("rewritten after the flip"));
  damage([](std::string& b) { b.resize(b.size() - 100); });
  EXPECT_TRUE(again("cut short"));
  damage([](std::string& b) { b = "not a cache at all"; });
  EXPECT_TRUE(again("foreign"));
  // The same path with other contents is another movie.
  std::filesystem::last_write_time(wav,
                                   std::filesystem::last_write_time(wav) + std::chrono::seconds(5));
  EXPECT_TRUE(again("movie changed"));
}

TEST_F(SoundTest, CancelStopsAtOnceAndCachesNothing) {
  const auto wav = dir_.Path("long.wav");
  WriteWav(wav, 20.0, {{1, 19, 300}});
  CountingProgress progress;
  progress.cancel_after = 3;
  SoundAnalysis a;
  std::string message;
  EXPECT_EQ(AnalyzeSound(wav.string(), a, message, &progress), SoundStatus::Cancelled);
  EXPECT_LE(progress.calls, 5);
  EXPECT_FALSE(std::filesystem::exists(SoundCachePath(wav.string())));
}

}  // namespace
}  // namespace tessera
