// spell: the unknown words of a file with the dictionary's suggestions.
#include <cstdio>

#include "cli/cli.h"
#include "cli/cli_io.h"
#include "cli/cli_progress.h"
#include "core/text_util.h"
#include "spelling/spelling_run.h"

namespace tessera::cli {
namespace {

int RunSpell(CliContext& ctx, std::vector<std::string>& args) {
  std::optional<std::string> language;
  if (!TakeOption(args, "--language", language)) return UsageError("--language needs xx_YY");
  if (args.size() != 1) return UsageError("spell needs IN");
  // Standard output carries only the report; the loading log goes to standard error.
  ctx.doc.Log().RemoveListener(ctx.log_listener);
  ctx.doc.Log().AddListener(
      [](const std::u16string& line) { std::fprintf(stderr, "%s\n", ToUtf8(line).c_str()); });

  const std::filesystem::path folder = DictionaryFolder();
  std::string lang = language ? *language : ToUtf8(ctx.app.spelling_language);
  if (lang.empty()) lang = DefaultSpellingLanguage(InstalledDictionaries(folder));
  SpellChecker checker;
  std::string error;
  if (!checker.Open(folder, lang, &error)) {
    std::fprintf(stderr, "ERROR: %s\n", error.c_str());
    return kExitFailed;
  }
  std::vector<std::u16string> words;
  int skipped = 0;
  const std::filesystem::path list = PersonalWordListPath();
  if (!ReadWordList(list, words, &skipped, &error))
    std::fprintf(stderr, "WARNING: The personal word list %s %s.\n", list.c_str(), error.c_str());
  else if (skipped > 0)
    std::fprintf(stderr, "WARNING: %d lines of the personal word list %s are no words; skipped.\n",
                 skipped, list.c_str());
  checker.AcceptAll(words);

  if (!LoadInput(ctx, args[0])) return kExitFailed;
  TerminalProgress progress;
  progress.Open(u"Checking spelling");
  const SpellingReport report = CheckDocumentSpelling(
      ctx.doc, checker, [&](int done, int total) { progress.SetPercent(done * 100 / total); });
  progress.Close();
  for (const std::u16string& line : report.lines) std::printf("%s\n", ToUtf8(line).c_str());
  std::fflush(stdout);
  return kExitOk;
}

const CommandRegistration reg(
    {"spell", "IN [--language xx_YY]", &RunSpell,
     "Prints \"N: word -> suggestion, ...\" for every word of IN the dictionary does not know\n"
     "(at most five suggestions), then \"N unknown words in M subtitles.\". The personal word\n"
     "list $XDG_CONFIG_HOME/tessera/words.txt counts as known. Exit 1 when IN cannot be read or\n"
     "the dictionary is not installed (DICPATH names another dictionary folder).\n"
     "\n"
     "Options:\n"
     "  --language xx_YY  the dictionary (default: the SpellingLanguage setting, else the\n"
     "                    system's language, else en_US)\n"});

}  // namespace
}  // namespace tessera::cli
