#include "autosync/sync_source.h"

#include <cstdio>
#include <filesystem>

#include "autosync/speech_activity.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "sound/sound_analysis.h"

namespace tessera {
namespace {

class StageProgress final : public SoundProgress {
 public:
  explicit StageProgress(const SyncStageProgress& p) : p_(p) {}
  bool Continue(double fraction) override { return !p_ || p_(SyncStage::kDecoding, fraction); }

 private:
  const SyncStageProgress& p_;
};

std::u16string Quoted(const std::u16string& path) {
  return u"'" + path + u"'";
}

}  // namespace

bool IsSubtitleSource(const std::u16string& path) {
  std::u16string ext = PathExtension(path);
  for (char16_t& c : ext)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  for (const char16_t* known :
       {u".srt", u".ssa", u".ass", u".vtt", u".sub", u".smi", u".sami", u".txt"})
    if (ext == known) return true;
  return false;
}

AutoSyncOutcome RunAutoSync(const SubtitleDocument& doc, const std::u16string& source,
                            const LanguageTable& lang, const SyncFitOptions& options,
                            const SyncStageProgress& progress) {
  AutoSyncOutcome out;
  if (doc.Count() == 0) {
    out.error = u"ERROR: There are no subtitles to synchronize.";
    return out;
  }
  std::error_code ec;
  const std::filesystem::path fs_path(ToUtf8(source));
  if (!std::filesystem::is_regular_file(fs_path, ec)) {
    out.error = u"ERROR: Cannot read the source " + Quoted(source) + u": no such file.";
    return out;
  }
  SyncTimeline reference;
  if (IsSubtitleSource(source)) {
    SubtitleDocument ref;
    SubtitleFormat format = SubtitleFormat::SubRip;
    if (LoadSubtitleFile(ref, source, format, lang, nullptr) != 1) {
      // The loader's own reason is its last log line.
      const auto& lines = ref.Log().Lines();
      std::u16string why = lines.empty() ? u"" : lines.back();
      if (why.starts_with(u"ERROR: ")) why.erase(0, 7);
      out.error = u"ERROR: The reference " + Quoted(source) + u" holds no subtitles" +
                  (why.empty() ? u"." : u": " + why);
      return out;
    }
    reference = SubtitleTimeline(ref);
    if (reference.empty()) {
      out.error = u"ERROR: The reference " + Quoted(source) + u" holds no timed subtitles.";
      return out;
    }
  } else {
    SoundAnalysis analysis;
    std::string message;
    StageProgress decoding(progress);
    switch (AnalyzeSound(ToUtf8(source), analysis, message, &decoding)) {
      case SoundStatus::Ok:
        break;
      case SoundStatus::Cancelled:
        out.status = AutoSyncStatus::kCancelled;
        return out;
      case SoundStatus::NoSound:
        out.error = u"ERROR: The source " + Quoted(source) + u" has no sound" +
                    (message.empty() ? u"." : u": " + FromUtf8(message));
        return out;
      case SoundStatus::Unreadable:
        out.error = u"ERROR: Cannot read the source " + Quoted(source) +
                    (message.empty() ? u"." : u": " + FromUtf8(message));
        return out;
    }
    if (!message.empty()) out.warning = u"WARNING: " + FromUtf8(message);
    reference = DetectSpeech(analysis.energy_db, analysis.voice_db);
    double speech = 0;
    for (float v : reference) speech += v;
    // Less than a few seconds of speech in the whole sound: nothing to fit to.
    if (speech * kSyncFrameSeconds < 5.0) {
      out.error = u"ERROR: No speech was found in the sound of " + Quoted(source) + u".";
      return out;
    }
  }
  out.fit = FitSubtitles(doc, reference, options,
                         [&](double f) { return !progress || progress(SyncStage::kFitting, f); });
  out.status = out.fit.cancelled ? AutoSyncStatus::kCancelled : AutoSyncStatus::kOk;
  return out;
}

std::u16string RefusalText(const SyncFit& fit, const SyncFitOptions& options) {
  char buf[160];
  std::snprintf(buf, sizeof buf,
                "ERROR: The subtitles do not fit the source (score %.2f, at least %.2f needed): "
                "they may belong to another film or cut, or the source has too little speech.",
                fit.score, options.min_score);
  return FromUtf8(buf);
}

}  // namespace tessera
