// convert, append and split: the File Operations page's Open, Append, Save and Split.
#include <cstdio>

#include "cli/cli.h"
#include "cli/cli_io.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "formats/split.h"
#include "workbench/file_commands.h"

namespace tessera::cli {
namespace {

// --fps RATE: the MicroDVD reading rate. False after a usage error.
bool TakeFrameRate(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> fps;
  if (!TakeOption(args, "--fps", fps)) return false;
  if (!fps) return true;
  std::optional<double> rate = ParseNumber(*fps);
  if (!rate || !(*rate > 0) || *rate > 1000) return false;
  ctx.prompter.load_frame_rate = *rate;
  return true;
}

bool CheckOutputName(const std::string& out) {
  if (out == kStdStream || IsWritableExtension(FromUtf8(out))) return true;
  std::fprintf(stderr, "tessera-cli: '%s' must end in %s\n", out.c_str(),
               SaveExtensionList().c_str());
  return false;
}

int RunConvert(CliContext& ctx, std::vector<std::string>& args) {
  if (!TakeFrameRate(ctx, args)) return UsageError("--fps needs a positive frame rate");
  if (args.size() != 2) return UsageError("convert needs IN and OUT");
  if (!CheckOutputName(args[1])) return UsageError("");
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

int RunAppend(CliContext& ctx, std::vector<std::string>& args) {
  if (!TakeFrameRate(ctx, args)) return UsageError("--fps needs a positive frame rate");
  std::optional<std::string> offset_text;
  if (!TakeOption(args, "--offset", offset_text)) return UsageError("--offset needs SECONDS");
  std::optional<double> offset;
  if (offset_text) {
    offset = ParseNumber(*offset_text);
    if (!offset) return UsageError("--offset needs a number of seconds");
  }
  if (args.size() != 3) return UsageError("append needs IN, ADD and OUT");
  if (!CheckOutputName(args[2])) return UsageError("");
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  if (!AppendFile(ctx.doc, FromUtf8(args[1]), ctx.prompter, offset, ctx.encoding))
    return kExitFailed;
  return SaveOutput(ctx, args[2]) ? kExitOk : kExitFailed;
}

int RunSplit(CliContext& ctx, std::vector<std::string>& args) {
  if (!TakeFrameRate(ctx, args)) return UsageError("--fps needs a positive frame rate");
  std::optional<std::string> at_text;
  if (!TakeOption(args, "--at", at_text) || !at_text) return UsageError("split needs --at N");
  std::optional<double> at = ParseNumber(*at_text);
  if (!at || *at < 1 || *at != static_cast<double>(static_cast<long long>(*at)) || *at > 1e9)
    return UsageError("--at needs a subtitle number from 1");
  if (args.size() != 2) return UsageError("split needs IN and OUT");
  std::u16string out = FromUtf8(args[1]);
  if (!FindSelectionSaveFormat(out)) {
    std::fprintf(stderr, "tessera-cli: '%s' must end in .srt or .ssa\n", args[1].c_str());
    return UsageError("");
  }
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  int row = static_cast<int>(*at) - 1;
  if (row >= ctx.doc.Count()) {
    std::fprintf(stderr, "tessera-cli: --at %d is beyond the last subtitle (%d)\n", row + 1,
                 ctx.doc.Count());
    return kExitUsage;
  }
  ctx.doc.SetCurrentRow(row);
  return SplitSubtitleFile(ctx.doc, row, out, ctx.settings, ctx.app) ? kExitOk : kExitFailed;
}

CommandRegistration convert_reg(
    {"convert", "IN OUT [--fps RATE]", &RunConvert,
     "Saves IN as OUT, in the type OUT's extension names.\n"
     "\n"
     "Options:\n"
     "  --fps RATE        the frame rate a MicroDVD input is read at (default 23.976)\n"});
CommandRegistration append_reg(
    {"append", "IN ADD OUT [--offset SECONDS] [--fps RATE]", &RunAppend,
     "Adds the subtitles of ADD after those of IN and saves both as OUT.\n"
     "\n"
     "Options:\n"
     "  --offset SECONDS  move ADD's subtitles later by SECONDS\n"
     "  --fps RATE        the frame rate a MicroDVD input is read at (default 23.976)\n"});
CommandRegistration split_reg(
    {"split", "IN OUT --at N [--fps RATE]", &RunSplit,
     "Writes the subtitles of IN from number N on to OUT (.srt or .ssa).\n"
     "\n"
     "Options:\n"
     "  --at N            the first subtitle of OUT, numbered from 1\n"
     "  --fps RATE        the frame rate a MicroDVD input is read at (default 23.976)\n"});

}  // namespace
}  // namespace tessera::cli
