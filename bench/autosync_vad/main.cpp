// Compares the two voice activity detectors on a movie whose true subtitles are known: Tessera's
// own on the loudness tracks, and WebRTC's. Both timelines come from one decoding pass; each is
// then fitted to the truth moved by a few offsets, and the start errors are printed.
//
//     tessera_autosync_vad_bench MOVIE TRUTH.srt
#include <webrtc/modules/audio_processing/include/audio_processing.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "autosync/auto_sync.h"
#include "autosync/speech_activity.h"
#include "core/language_table.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "sound/sound_analysis.h"

namespace {

using namespace tessera;

// WebRTC's detector on 10 ms frames of the decoded sound.
class WebRtcVad final : public SampleSink {
 public:
  WebRtcVad() : apm_(webrtc::AudioProcessing::Create()) {
    apm_->voice_detection()->Enable(true);
    apm_->voice_detection()->set_likelihood(webrtc::VoiceDetection::kModerateLikelihood);
    apm_->voice_detection()->set_frame_size_ms(10);
  }
  void OnSamples(const float* s, size_t n) override {
    for (size_t i = 0; i < n; ++i) {
      frame_[fill_++] = s[i];
      if (fill_ == kFrame) {
        const float* in[1] = {frame_};
        float out_buf[kFrame];
        float* out[1] = {out_buf};
        const webrtc::StreamConfig config(kAnalysisRate, 1);
        apm_->ProcessStream(in, config, config, out);
        voice.push_back(apm_->voice_detection()->stream_has_voice() ? 1.0f : 0.0f);
        fill_ = 0;
      }
    }
  }
  std::vector<float> voice;

 private:
  static constexpr int kFrame = kAnalysisRate / 100;
  std::unique_ptr<webrtc::AudioProcessing> apm_;
  float frame_[kFrame];
  int fill_ = 0;
};

class Tee final : public SampleSink {
 public:
  Tee(SampleSink& a, SampleSink& b) : a_(a), b_(b) {}
  void OnStart(int64_t n) override {
    a_.OnStart(n);
    b_.OnStart(n);
  }
  void OnSamples(const float* s, size_t n) override {
    a_.OnSamples(s, n);
    b_.OnSamples(s, n);
  }

 private:
  SampleSink &a_, &b_;
};

double Percentile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(std::lround(q * (v.size() - 1))))];
}

void Report(const char* name, const SyncTimeline& speech, const SubtitleDocument& truth) {
  for (double offset : {0.0, 3.7, -42.3}) {
    SubtitleDocument doc;
    for (int i = 0; i < truth.Count(); ++i) {
      doc.AddRow(truth.Start(i), truth.End(i));
      doc.SetTime(i, kStart, truth.Time(i, kStart) - offset);
      doc.SetTime(i, kEnd, truth.Time(i, kEnd) - offset);
    }
    const SyncFit fit = FitSubtitles(doc, speech);
    ApplyFit(doc, fit);
    std::vector<double> err;
    for (int i = 0; i < truth.Count(); ++i)
      err.push_back(std::fabs(doc.Time(i, kStart) - truth.Time(i, kStart)));
    std::printf("%-8s offset %+7.2f  median %.3f  p95 %.3f  score %.2f  segments %zu\n", name,
                offset, Percentile(err, 0.5), Percentile(err, 0.95), fit.score,
                fit.segments.size());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s MOVIE TRUTH.srt\n", argv[0]);
    return 2;
  }
  SoundAnalysis analysis;
  SoundAnalyzer analyzer(analysis);
  WebRtcVad webrtc;
  Tee tee(analyzer, webrtc);
  std::string message;
  if (DecodeSound(argv[1], tee, message) != SoundStatus::Ok) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
  }
  analyzer.Finish();
  SubtitleDocument truth;
  LanguageTable lang;
  SubtitleFormat format{};
  if (LoadSubtitleFile(truth, FromUtf8(argv[2]), format, lang, nullptr) != 1) return 1;
  Report("own", DetectSpeech(analysis.energy_db, analysis.voice_db), truth);
  Report("webrtc", webrtc.voice, truth);
  return 0;
}
