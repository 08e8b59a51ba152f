#include "cli/cli_io.h"

#include "core/text_util.h"
#include "formats/format_util.h"
#include "formats/loading.h"

namespace tessera::cli {

bool LoadInput(CliContext& ctx, const std::string& path) {
  std::u16string name = FromUtf8(path);
  ctx.doc.SetChanged(false);
  ctx.doc.SetFilePath(name);
  ctx.doc.SetFrameRateConverted(false);
  ctx.doc.AppendLog(WithArgument(ctx.lang.Lookup(2014), name));
  SubtitleFormat format = ctx.doc.LoadedFormat();
  int ok = LoadSubtitleFile(ctx.doc, name, format, ctx.lang, &ctx.prompter, ctx.encoding);
  ctx.doc.SetLoadedFormat(format);
  return ok == 1;
}

bool SaveOutput(CliContext& ctx, const std::string& path) {
  return SaveSubtitleAs(ctx.doc, FromUtf8(path), ctx.settings, ctx.app) == 1;
}

}  // namespace tessera::cli
