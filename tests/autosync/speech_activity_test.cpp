// The detector on generated loudness tracks: speech over room noise and over a music bed.
#include "autosync/speech_activity.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tessera {
namespace {

struct Bed {
  const char* name;
  float floor_db;   // the bed's voice-band level
  float tilt_db;    // how much louder the full band is than the voice band
  float ripple_db;  // the bed's own wobble
  float speech_db;  // the talk's voice-band level
};

class SpeechTest : public ::testing::TestWithParam<Bed> {};

TEST_P(SpeechTest, FindsTalkOverTheBed) {
  const Bed& bed = GetParam();
  // 60 s: talk from 10 s to 14 s and from 30 s to 33 s, syllables every 200 ms with short dips.
  const int n = 6000;
  std::vector<float> energy(n), voice(n);
  auto talking = [](int i) { return (i >= 1000 && i < 1400) || (i >= 3000 && i < 3300); };
  for (int i = 0; i < n; ++i) {
    float v = bed.floor_db + bed.ripple_db * std::sin(i * 0.013f);
    float e = v + bed.tilt_db;
    if (talking(i) && i % 20 >= 4) {
      const float speech = bed.speech_db;
      v = 10 * std::log10(std::pow(10.0f, v / 10) + std::pow(10.0f, speech / 10));
      e = 10 * std::log10(std::pow(10.0f, e / 10) + std::pow(10.0f, (speech + 1) / 10));
    }
    energy[i] = e;
    voice[i] = v;
  }
  const std::vector<float> p = DetectSpeech(energy, voice);
  ASSERT_EQ(p.size(), energy.size());
  int hits = 0, talk = 0, false_alarms = 0, quiet = 0;
  for (int i = 0; i < n; ++i) {
    if (talking(i)) {
      ++talk;
      hits += p[i] >= 0.5f;
    } else {
      ++quiet;
      false_alarms += p[i] >= 0.5f;
    }
  }
  EXPECT_GT(hits, talk * 9 / 10);
  EXPECT_LT(false_alarms, quiet / 50);
}

INSTANTIATE_TEST_SUITE_P(Beds, SpeechTest,
                         ::testing::Values(Bed{"RoomNoise", -55, 3, 1, -40},
                                           Bed{"MusicBed", -30, 8, 3, -17},
                                           Bed{"Silence", -100, 0, 0, -25}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpeechTest, EmptyAndUnevenTracks) {
  EXPECT_TRUE(DetectSpeech({}, {}).empty());
  const std::vector<float> e(10, -20), v(7, -20);
  EXPECT_EQ(DetectSpeech(e, v).size(), 7u);
}

}  // namespace
}  // namespace tessera
