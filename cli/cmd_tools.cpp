// framerate, move, stretch and replace: the FrameRate and Synchronize pages and Replace All.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "cli/cli.h"
#include "cli/cli_io.h"
#include "core/text_util.h"
#include "tools/find_replace.h"
#include "tools/frame_rate.h"
#include "tools/synchronize.h"

namespace tessera::cli {
namespace {

// "A-B", 1-based and A <= B.
bool ParseRows(const std::string& text, int& a, int& b) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto first = std::from_chars(begin, end, a);
  if (first.ec != std::errc() || first.ptr == end || *first.ptr != '-') return false;
  auto second = std::from_chars(first.ptr + 1, end, b);
  return second.ec == std::errc() && second.ptr == end && a >= 1 && a <= b;
}

// The shared options of move and stretch. `seconds` comes rounded to whole milliseconds, as the
// pages' fields give it. Returns 0 when they are fine, else the exit code.
int TakeSyncOptions(std::vector<std::string>& args, const char* name, double& seconds,
                    std::optional<std::pair<int, int>>& rows) {
  std::optional<std::string> by, rows_text;
  if (!TakeOption(args, "--by", by) || !by)
    return UsageError(std::string(name) + " needs --by SECONDS");
  std::optional<double> amount = ParseNumber(*by);
  if (!amount || !(std::fabs(*amount) < 1e9)) return UsageError("--by needs a number of seconds");
  seconds = std::round(*amount * 1000) / 1000;
  if (!TakeOption(args, "--rows", rows_text)) return UsageError("--rows needs A-B");
  if (rows_text) {
    int a = 0, b = 0;
    if (!ParseRows(*rows_text, a, b)) return UsageError("--rows needs A-B, numbered from 1");
    rows = std::make_pair(a, b);
  }
  if (args.size() != 2) return UsageError(std::string(name) + " needs IN and OUT");
  return 0;
}

// Selects the rows of --rows as a block. False when they lie outside the document.
bool SelectRows(CliContext& ctx, const std::pair<int, int>& rows) {
  if (rows.second > ctx.doc.Count()) {
    std::fprintf(stderr, "tessera-cli: --rows %d-%d goes beyond the last subtitle (%d)\n",
                 rows.first, rows.second, ctx.doc.Count());
    return false;
  }
  ctx.doc.ResetSelection();
  for (int row = rows.first - 1; row < rows.second; ++row) ctx.doc.SetSelected(row, true);
  return true;
}

int RunFrameRate(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> from_text, to_text;
  if (!TakeOption(args, "--from", from_text) || !TakeOption(args, "--to", to_text) || !from_text ||
      !to_text)
    return UsageError("framerate needs --from F and --to T");
  if (args.size() != 2) return UsageError("framerate needs IN and OUT");
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  // As the custom fields: what is not a number counts as 0 and is refused.
  double from = ParseNumber(*from_text).value_or(0);
  double to = ParseNumber(*to_text).value_or(0);
  if (!RunFrameRateConversion(ctx.doc, from, to, ctx.prompter)) return kExitFailed;
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

int RunMove(CliContext& ctx, std::vector<std::string>& args) {
  double seconds = 0;
  std::optional<std::pair<int, int>> rows;
  if (int code = TakeSyncOptions(args, "move", seconds, rows)) return code;
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  if (rows && !SelectRows(ctx, *rows)) return kExitUsage;
  SyncScope scope = rows ? SyncScope::kSelection : SyncScope::kAll;
  if (!MoveEntries(ctx.doc, MoveRange(ctx.doc, scope), seconds, scope, ctx.prompter))
    return kExitFailed;
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

int RunStretch(CliContext& ctx, std::vector<std::string>& args) {
  double seconds = 0;
  std::optional<std::pair<int, int>> rows;
  if (int code = TakeSyncOptions(args, "stretch", seconds, rows)) return code;
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  if (rows && !SelectRows(ctx, *rows)) return kExitUsage;
  SyncScope scope = rows ? SyncScope::kSelection : SyncScope::kAll;
  if (!StretchEntries(ctx.doc, StretchRange(ctx.doc, scope), StretchAmount::FromSeconds(seconds),
                      ctx.prompter))
    return kExitFailed;
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

// The information box of Replace All is the command's result: it goes to standard output.
// With the file itself on standard output, the count goes to standard error.
class ResultPrompter final : public Prompter {
 public:
  ResultPrompter(Prompter& other, FILE* to) : other_(other), to_(to) {}
  void MessageBox(const std::u16string& text, const std::u16string&, PromptIcon) override {
    std::fprintf(to_, "%s\n", OneLine(text).c_str());
    std::fflush(to_);
  }
  bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                PromptIcon icon) override {
    return other_.AskYesNo(text, caption, icon);
  }
  void Beep() override { other_.Beep(); }
  std::optional<double> AskLoadFrameRate() override { return other_.AskLoadFrameRate(); }

 private:
  Prompter& other_;
  FILE* to_;
};

int RunReplace(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> find, with;
  if (!TakeOption(args, "--find", find) || !TakeOption(args, "--with", with) || !find || !with)
    return UsageError("replace needs --find TEXT and --with TEXT");
  MatchRules rules;
  rules.match_case = TakeFlag(args, "--match-case");
  rules.whole_word = TakeFlag(args, "--whole-word");
  if (args.size() != 2) return UsageError("replace needs IN and OUT");
  if (!LoadInput(ctx, args[0])) return kExitFailed;
  ResultPrompter result(ctx.prompter, args[1] == kStdStream ? stderr : stdout);
  ReplaceAll(ctx.doc, FromUtf8(*find), FromUtf8(*with), rules, result);
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

CommandRegistration framerate_reg({"framerate", "IN OUT --from F --to T", &RunFrameRate,
                                   "Converts the times of IN from one frame rate to another.\n"
                                   "\n"
                                   "Options:\n"
                                   "  --from F          the frame rate the times were made for\n"
                                   "  --to T            the frame rate they are converted to\n"});
CommandRegistration move_reg({"move", "IN OUT --by SECONDS [--rows A-B]", &RunMove,
                              "Moves the subtitles by SECONDS (negative: earlier).\n"
                              "\n"
                              "Options:\n"
                              "  --by SECONDS      how far, to the millisecond\n"
                              "  --rows A-B        only the subtitles numbered A to B (from 1)\n"});
CommandRegistration stretch_reg(
    {"stretch", "IN OUT --by SECONDS [--rows A-B]", &RunStretch,
     "Stretches the subtitles so that the last one moves by SECONDS and\n"
     "the first stays.\n"
     "\n"
     "Options:\n"
     "  --by SECONDS      how far the last subtitle moves\n"
     "  --rows A-B        only the subtitles numbered A to B (from 1)\n"});
CommandRegistration replace_reg({"replace",
                                 "IN OUT --find TEXT --with TEXT [--match-case] [--whole-word]",
                                 &RunReplace,
                                 "Replaces every TEXT found and prints how many were replaced.\n"
                                 "\n"
                                 "Options:\n"
                                 "  --find TEXT       what to look for\n"
                                 "  --with TEXT       what to put in its place\n"
                                 "  --match-case      tell upper from lower case\n"
                                 "  --whole-word      only whole words\n"});

}  // namespace
}  // namespace tessera::cli
