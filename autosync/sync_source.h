// One automatic synchronization from start to end: the reference read from a movie's sound or a
// subtitle file, then the fit. Shared by the command line and the Synchronize page.
#pragma once

#include <functional>
#include <string>

#include "autosync/auto_sync.h"
#include "core/language_table.h"
#include "core/subtitle_document.h"

namespace tessera {

enum class SyncStage { kDecoding, kFitting };
// The stage and its fraction done 0..1; false cancels. Called on the thread that runs the job.
using SyncStageProgress = std::function<bool(SyncStage, double)>;

// Subtitle files are told by their extension; anything else is a movie or sound file.
bool IsSubtitleSource(const std::u16string& path);

enum class AutoSyncStatus { kOk, kCancelled, kFailed };

struct AutoSyncOutcome {
  AutoSyncStatus status = AutoSyncStatus::kFailed;
  SyncFit fit;             // with kOk: accepted or not
  std::u16string error;    // with kFailed: the "ERROR:" line
  std::u16string warning;  // a damaged stream whose readable part was used
};

// Reads the reference of `source` and fits `doc`'s times to it; `doc` is only read, so the job can
// run on a worker thread while the window shows the document. A fit below the threshold is kOk
// with an unaccepted fit; RefusalText says why.
AutoSyncOutcome RunAutoSync(const SubtitleDocument& doc, const std::u16string& source,
                            const LanguageTable& lang, const SyncFitOptions& options,
                            const SyncStageProgress& progress = {});

// "ERROR: The subtitles do not fit the source (score 0.12, at least 0.30 needed): ..."
std::u16string RefusalText(const SyncFit& fit, const SyncFitOptions& options);

}  // namespace tessera
