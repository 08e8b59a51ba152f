// fix: the Fix Errors page's "Fix Now" over a file.
#include <cstdio>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "cli/cli.h"
#include "cli/cli_io.h"
#include "cli/cli_progress.h"

namespace tessera::cli {
namespace {

int RunFix(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> answer;
  if (!TakeOption(args, "--answer", answer)) return UsageError("--answer needs yes or no");
  if (answer && *answer != "yes" && *answer != "no") return UsageError("--answer needs yes or no");
  if (args.size() != 2) return UsageError("fix needs IN and OUT");
  ctx.prompter.answer_yes = answer && *answer == "yes";

  CheckLists lists;
  const std::filesystem::path lists_path =
      ctx.lists_file ? std::filesystem::path(*ctx.lists_file) : DefaultCheckListsPath();
  if (!LoadCheckLists(lists_path, lists, ctx.doc.Log(), &ctx.lang) && ctx.lists_file) {
    std::fprintf(stderr, "tessera-cli: cannot read the lists file '%s'\n", ctx.lists_file->c_str());
  }
  if (!LoadInput(ctx, args[0])) return kExitFailed;

  FixErrorsOptions options = LoadFixErrorsOptions(ctx.settings, ctx.app);
  // The page starts with "Add missing periods." off; the command line takes the stored value.
  ReadOption(ctx.settings, ctx.app, *FindOption(FixErrorsBindings(), "addPoints"), options);
  if (!LoadTextMeasurer(ctx, options.split_method)) return kExitFailed;
  TerminalProgress progress;
  FixRunServices services;
  services.app = &ctx.app;
  services.lists = &lists;
  services.language = &ctx.lang;
  services.measurer = ctx.measurer;
  services.prompter = &ctx.prompter;
  services.progress = &progress;
  RunFixErrors(ctx.doc, options, services);
  return SaveOutput(ctx, args[1]) ? kExitOk : kExitFailed;
}

const CommandRegistration reg(
    {"fix", "IN OUT [--answer yes|no]", &RunFix,
     "Runs Fix Errors over IN with the stored options and saves the result as OUT; each repair\n"
     "is a log line. Progress is shown on standard error when it is a terminal.\n"
     "\n"
     "Options:\n"
     "  --answer yes|no   the answer to the questions a repair asks (default no)\n"});

}  // namespace
}  // namespace tessera::cli
