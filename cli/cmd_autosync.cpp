// autosync: the subtitles' times fitted to a movie's sound or to a correctly timed subtitle file.
#include <cstdio>

#include "autosync/sync_source.h"
#include "cli/cli.h"
#include "cli/cli_io.h"
#include "cli/cli_progress.h"
#include "core/text_util.h"

namespace tessera::cli {
namespace {

int RunAutoSyncCommand(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> to;
  if (!TakeOption(args, "--to", to) || !to) return UsageError("autosync needs --to SOURCE");
  SyncFitOptions options;
  options.splits = !TakeFlag(args, "--no-splits");
  if (args.size() != 2) return UsageError("autosync needs IN and OUT");
  if (!LoadInput(ctx, args[0])) return kExitFailed;

  TerminalProgress progress;
  SyncStage shown = SyncStage::kDecoding;
  bool open = false;
  const AutoSyncOutcome out =
      RunAutoSync(ctx.doc, FromUtf8(*to), ctx.lang, options, [&](SyncStage stage, double f) {
        if (!open || stage != shown) {
          progress.Open(stage == SyncStage::kDecoding ? u"Decoding the sound" : u"Fitting");
          shown = stage;
          open = true;
        }
        progress.SetPercent(static_cast<int>(f * 100));
        return true;
      });
  progress.Close();
  if (!out.warning.empty()) ctx.doc.AppendLog(out.warning);
  if (out.status != AutoSyncStatus::kOk) {
    ctx.doc.AppendLog(out.error);
    return kExitFailed;
  }
  if (!out.fit.accepted) {
    ctx.doc.AppendLog(RefusalText(out.fit, options));
    return kExitFailed;
  }
  const std::u16string found = DescribeFit(ctx.doc, out.fit);
  ApplyFit(ctx.doc, out.fit);
  ctx.doc.SetChanged(true);
  ctx.doc.AppendLog(found);
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

const CommandRegistration reg(
    {"autosync", "IN OUT --to SOURCE [--no-splits]", &RunAutoSyncCommand,
     "Fits the times of IN to SOURCE and writes OUT: a movie or sound file (its speech) or a\n"
     "correctly timed subtitle file. Finds a constant offset (up to 10 minutes either way), a\n"
     "frame-rate change among 25, 24 and 23.976, and splits where the cut differs, then logs\n"
     "what it found: \"Offset +3.700 s, rate 25 -> 23.976, 1 split at 0:07:12.400, score 0.91.\"\n"
     "Only times change. Exit 1 with an ERROR line, writing nothing, when SOURCE cannot be read,\n"
     "has no usable sound, or the fit's score is too low.\n"
     "\n"
     "Options:\n"
     "  --to SOURCE   the movie, sound or subtitle file to fit to\n"
     "  --no-splits   one offset and a rate only\n"});

}  // namespace
}  // namespace tessera::cli
