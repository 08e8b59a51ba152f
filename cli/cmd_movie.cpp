// info: the AVI Info page's boxes for one movie file.
#include <cstdio>

#include "cli/cli.h"
#include "core/text_util.h"
#include "movie/avi_info.h"

namespace tessera::cli {
namespace {

int RunInfo(CliContext&, std::vector<std::string>& args) {
  if (args.size() != 1) return UsageError("info needs MOVIE");
  AviInfoTexts texts;
  if (!DescribeAviFile(FromUtf8(args[0]), texts)) {
    std::fprintf(stderr, "tessera-cli: '%s' cannot be read as an AVI file\n", args[0].c_str());
    return kExitFailed;
  }
  for (const auto& [label, value] : AviInfoLines(texts))
    std::printf("%s %s\n", ToUtf8(label).c_str(), ToUtf8(value).c_str());
  return kExitOk;
}

CommandRegistration info_reg({"info", "MOVIE", &RunInfo,
                              "Prints what the AVI Info page shows for the AVI file MOVIE.\n"});

}  // namespace
}  // namespace tessera::cli
