// analyze: the Analyze page's statistics and error marks as text.
#include <cstdio>

#include "check/analysis.h"
#include "cli/cli.h"
#include "cli/cli_io.h"
#include "core/text_util.h"

namespace tessera::cli {
namespace {

void PrintLine(const std::u16string& line) {
  std::string s = ToUtf8(line);
  s.push_back('\n');
  std::fwrite(s.data(), 1, s.size(), stdout);
}

int RunAnalyze(CliContext& ctx, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("analyze needs IN");
  // Standard output carries only the report; the loading log goes to standard error.
  ctx.doc.Log().RemoveListener(ctx.log_listener);
  ctx.doc.Log().AddListener(
      [](const std::u16string& line) { std::fprintf(stderr, "%s\n", ToUtf8(line).c_str()); });
  if (!LoadInput(ctx, args[0])) return kExitFailed;

  const AnalysisOptions options = LoadAnalysisOptions(ctx.settings, ctx.app);
  if (!LoadTextMeasurer(ctx, options.split_method)) return kExitFailed;
  const AnalysisResult result = RunAnalysis(ctx.doc, options, ctx.app, ctx.measurer);
  static const char* const kLabels[11] = {"Subtitles: ",
                                          "Lines: ",
                                          "Words: ",
                                          "Characters: ",
                                          "Too long lines: ",
                                          "Too short durations: ",
                                          "Empty subs: ",
                                          "Longest line: ",
                                          "Shortest line: ",
                                          "Longest duration: ",
                                          "Shortest Duration: "};
  const auto fields = AnalysisFieldTexts(result);
  for (int k = 0; k < 11; ++k) {
    PrintLine(FromUtf8(kLabels[k]) + fields[k]);
    // The reading-speed count stands with the other counts.
    if (k == 6) PrintLine(u"Too fast: " + fields[kTooFastField]);
  }
  for (int row = 0; row < ctx.doc.Count(); ++row) {
    if (result.flags[row] == 0) continue;
    std::u16string line = Format("%d: ", row + 1);
    const auto messages = RowMessages(ctx.doc, result.flags, row, options, ctx.app, ctx.measurer);
    for (size_t i = 0; i < messages.size(); ++i) {
      if (i > 0) line += u" | ";
      line += messages[i];
    }
    PrintLine(line);
  }
  std::fflush(stdout);
  return kExitOk;
}

CommandRegistration reg(
    {"analyze", "IN", &RunAnalyze,
     "Prints the statistics of Analyze, then one line for each marked subtitle\n"
     "(\"N: message | message\"). The loading log goes to standard error.\n"});

}  // namespace
}  // namespace tessera::cli
