// The export to the external DVD subtitle encoder: its input file, the run with a progress
// estimate, its log, the learned time per subtitle and the copy beside the source file.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

struct DvdExportPaths {
  std::u16string program;  // the encoder
  std::u16string input;    // written here
  std::u16string output;   // deleted before each run
  std::u16string log;      // read after the run
};
DvdExportPaths DvdExportPathsFor(const AppSettings& settings);

// Beside the source file, with its last extension replaced by ".sub"; empty without a source.
std::u16string ExportCopyTarget(const std::u16string& source);

inline constexpr char16_t kExportCaption[] = u"Converting to IfoEdit format...";
inline constexpr char16_t kExportFailedText[] =
    u"An error occured during exporting.\n\rCheck the logging for details...";
inline constexpr char16_t kExportCopyFailedText[] = u"Creating backup of exportfile failed.";
// Time per subtitle used when nothing sensible was learned, in seconds.
inline constexpr double kDefaultExportFactor = 0.07;

// One export at a time. Begin starts the encoder; the caller then calls Poll every kPassMs
// milliseconds from its event loop until it returns false.
class DvdExport {
 public:
  static constexpr int kPassMs = 25;
  using Clock = std::function<double()>;  // milliseconds

  DvdExport(SubtitleDocument& doc, AppSettings& settings, ProcessRunner& runner,
            ProgressSink& progress, Prompter& prompter, Clock clock = {});

  // Writes the input file, starts the encoder and shows the first estimate. False when no
  // encoder runs; the log says why.
  bool Begin();
  // One progress pass while the encoder runs. Once it has ended: closes the progress window,
  // reads the encoder's log, reports failure or learns the estimate and makes the copy, and
  // returns false.
  bool Poll();
  bool Running() const { return running_; }
  // For closing the window: waits up to `wait_ms` for the encoder and finishes, else stops it.
  void FinishOrStop(int wait_ms);

 private:
  void Pass();
  void Finish();
  void CopyBesideSource();

  SubtitleDocument& doc_;
  AppSettings& settings_;
  ProcessRunner& runner_;
  ProgressSink& progress_;
  Prompter& prompter_;
  Clock clock_;

  // Taken at Begin, so edits elsewhere during the run cannot disturb it.
  DvdExportPaths paths_;
  std::u16string source_;
  std::vector<std::u16string> line1_, line2_;
  bool running_ = false;
  double t0_ = 0, t1_ = 0;
  int passes_ = 0;
};

}  // namespace tessera
