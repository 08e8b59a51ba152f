// tessera-cli [--config FILE] [--lists FILE] [--encoding NAME] [--set KEY=VALUE]... [--format TYPE]
//             COMMAND ARGS...
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>

#include "check/measure.h"
#include "cli/cli.h"
#include "cli/cli_io.h"
#include "core/paths.h"
#include "core/text_encoding.h"
#include "core/text_util.h"
#include "core/version.h"
#include "sound/sound_decoder.h"

namespace tessera::cli {
namespace {

std::vector<CommandInfo>& Registry() {
  static std::vector<CommandInfo> commands;
  return commands;
}

bool IsWholeNumber(const std::string& s) {
  size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (i >= s.size() || s.size() - i > 9) return false;
  for (; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// The module beside the executable (the build tree), else the installed one: in the module folder
// of the prefix that holds the executable, else in the configured folder.
std::string ModulePath(const char* name) {
  std::error_code ec;
  const std::filesystem::path dir = ExecutableDir();
  for (const auto& candidate : {dir / name, dir.parent_path() / TESSERA_MODULE_SUBDIR / name})
    if (std::filesystem::exists(candidate, ec)) return candidate.string();
  return std::string(TESSERA_MODULE_DIR) + "/" + name;
}

// The entry `symbol` of the module `name`, loaded once; null with the reason in `error`.
void* ModuleEntry(const char* name, const char* symbol, std::string& error) {
  void* module = dlopen(ModulePath(name).c_str(), RTLD_NOW | RTLD_LOCAL);
  void* entry = module ? dlsym(module, symbol) : nullptr;
  if (!entry) error = dlerror();
  return entry;
}

}  // namespace

bool LoadTextMeasurer(CliContext& ctx, int split_method) {
  if (split_method != kSplitDynamic || ctx.measurer) return true;
  std::string error;
  using Create = TextMeasurer* (*)();
  auto create = reinterpret_cast<Create>(
      ModuleEntry("tessera-measure.so", "TesseraCreateTextMeasurer", error));
  if (!create) {
    std::fprintf(stderr, "tessera-cli: cannot load the text measurer: %s\n", error.c_str());
    return false;
  }
  ctx.measurer = create();
  return ctx.measurer != nullptr;
}

}  // namespace tessera::cli

namespace tessera {

// The program's decoder is the module's, loaded at the first sound decoded.
SoundStatus DecodeSound(const std::string& path, SampleSink& sink, std::string& message,
                        SoundProgress* progress) {
  using Decode = SoundStatus (*)(const std::string&, SampleSink&, std::string&, SoundProgress*);
  static std::string error;
  static const auto decode =
      reinterpret_cast<Decode>(cli::ModuleEntry("tessera-sound.so", "TesseraDecodeSound", error));
  if (!decode) {
    message = "Cannot load the sound decoder: " + error;
    return SoundStatus::Unreadable;
  }
  return decode(path, sink, message, progress);
}

}  // namespace tessera

namespace tessera::cli {

CommandRegistration::CommandRegistration(CommandInfo info) {
  Registry().push_back(info);
}
const std::vector<CommandInfo>& Commands() {
  return Registry();
}

namespace {

constexpr char kUsageLine[] =
    "usage: tessera-cli [--config FILE] [--lists FILE] [--encoding NAME] [--set KEY=VALUE]... "
    "[--format TYPE] COMMAND ARGS...\n";

constexpr char kExitCodes[] =
    "\nExit codes: 0 done, 1 failed (the reason is on standard error), 2 wrong command line.\n";

void PrintUsage(FILE* to) {
  std::fputs(kUsageLine, to);
  for (const auto& c : Commands()) std::fprintf(to, "  %-9s %s\n", c.name, c.usage);
}

void PrintHelp() {
  PrintUsage(stdout);
  std::fputs(
      "\nOptions before the command:\n"
      "  --config FILE      read the settings from FILE (never written)\n"
      "  --lists FILE       read the credit and OCR lists of fix from FILE\n"
      "  --encoding NAME    read the input in NAME (see iconv --list) instead of detecting it\n"
      "  --set KEY=VALUE    use VALUE for the setting KEY in this run\n"
      "  --format TYPE      what '-' as OUT is written as: srt, ssa, ass, vtt, sub or txt\n"
      "                     (default: the type the input was read in)\n"
      "  --help, --version  this text, the version\n"
      "\nIN and OUT are subtitle files; OUT's extension names the type written. '-' reads\n"
      "standard input or writes standard output; with '-' the log goes to standard error.\n"
      "'tessera-cli COMMAND --help' describes a command.\n",
      stdout);
  std::fputs(kExitCodes, stdout);
}

void PrintCommandHelp(const CommandInfo& c) {
  std::printf("usage: tessera-cli [OPTIONS] %s %s\n", c.name, c.usage);
  if (c.help) std::printf("\n%s", c.help);
  std::fputs(kExitCodes, stdout);
}

}  // namespace

int UsageError(const std::string& message) {
  if (!message.empty()) std::fprintf(stderr, "tessera-cli: %s\n", message.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

bool TakeOption(std::vector<std::string>& args, const std::string& name,
                std::optional<std::string>& value) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != name) continue;
    if (i + 1 >= args.size()) return false;
    value = args[i + 1];
    args.erase(args.begin() + i, args.begin() + i + 2);
    return true;
  }
  return true;
}

bool TakeFlag(std::vector<std::string>& args, const std::string& name) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      args.erase(args.begin() + i);
      return true;
    }
  }
  return false;
}

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  // from_chars ignores the locale the toolkit installed: "23.976" always means 23.976.
  double v = 0;
  const char* last = text.data() + text.size();
  const char* first = text.data() + (text[0] == '+' ? 1 : 0);
  auto [end, ec] = std::from_chars(first, last, v);
  if (ec != std::errc() || end != last || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string OneLine(const std::u16string& text) {
  std::u16string t;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\r' || c == u'\n') {
      // CR LF, LF CR, or a lone one: one space.
      if (i + 1 < text.size() && (text[i + 1] == u'\r' || text[i + 1] == u'\n') && text[i + 1] != c)
        ++i;
      t.push_back(u' ');
    } else {
      t.push_back(c);
    }
  }
  return ToUtf8(t);
}

void CliPrompter::MessageBox(const std::u16string& text, const std::u16string&, PromptIcon) {
  std::fflush(stdout);
  std::fprintf(stderr, "MESSAGE: %s\n", OneLine(text).c_str());
}

bool CliPrompter::AskYesNo(const std::u16string& text, const std::u16string&, PromptIcon) {
  std::fflush(stdout);
  std::fprintf(stderr, "QUESTION: %s\n", OneLine(text).c_str());
  return answer_yes;
}

}  // namespace tessera::cli

int main(int argc, char** argv) {
  using namespace tessera;
  using namespace tessera::cli;

  std::vector<std::string> args(argv + 1, argv + argc);
  std::optional<std::string> config;
  std::optional<std::string> lists;
  std::optional<std::string> encoding;
  std::optional<std::string> format;
  std::vector<std::string> sets;
  size_t i = 0;
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--config" || a == "--lists" || a == "--set" || a == "--encoding" || a == "--format") {
      if (i + 1 >= args.size()) return UsageError(a + " needs a value");
      const std::string& v = args[++i];
      if (a == "--config")
        config = v;
      else if (a == "--lists")
        lists = v;
      else if (a == "--encoding")
        encoding = v;
      else if (a == "--format")
        format = v;
      else
        sets.push_back(v);
    } else if (a == "--help" || a == "-h") {
      PrintHelp();
      return kExitOk;
    } else if (a == "--version") {
      std::printf("tessera-cli %s\n", VersionText());
      return kExitOk;
    } else {
      break;
    }
  }
  if (i >= args.size()) return UsageError("no command given");
  std::string name = args[i];
  std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
  const CommandInfo* command = nullptr;
  for (const auto& c : Commands())
    if (name == c.name) command = &c;
  if (!command) return UsageError("unknown command '" + name + "'");
  if (std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
      std::find(rest.begin(), rest.end(), "-h") != rest.end()) {
    PrintCommandHelp(*command);
    return kExitOk;
  }
  if (encoding && !IsKnownEncoding(*encoding))
    return UsageError("unknown encoding '" + *encoding + "' (see iconv --list)");
  if (format && FormatExtension(*format).empty())
    return UsageError("unknown --format '" + *format + "' (srt, ssa, ass, vtt, sub or txt)");

  // Never destroyed: handing a large document back to the allocator cell by cell at exit only
  // costs time. Held by a static so that leak checkers see it as reachable.
  static CliContext* const context = new CliContext;
  CliContext& ctx = *context;
  ctx.lists_file = lists;
  ctx.encoding = encoding.value_or("");
  ctx.output_format = format.value_or("");
  // The CLI reads the settings file but never writes it.
  ctx.settings = SettingsStore(config ? std::filesystem::path(*config) : DefaultSettingsPath());
  for (const auto& s : sets) {
    size_t eq = s.find('=');
    if (eq == std::string::npos || eq == 0) return UsageError("--set needs KEY=VALUE");
    std::u16string key = FromUtf8(s.substr(0, eq));
    std::string value = s.substr(eq + 1);
    if (IsWholeNumber(value))
      ctx.settings.WriteInt(u"Settings", key, std::atoi(value.c_str()));
    else
      ctx.settings.WriteString(u"Settings", key, FromUtf8(value));
  }
  // A file on standard output leaves no room there for the log.
  FILE* const log_to =
      std::find(rest.begin(), rest.end(), kStdStream) != rest.end() ? stderr : stdout;
  ctx.log_listener = ctx.doc.Log().AddListener([log_to](const std::u16string& line) {
    std::string s = ToUtf8(line);
    std::fwrite(s.data(), 1, s.size(), log_to);
    std::fputc('\n', log_to);
    std::fflush(log_to);
    // Errors also go where scripts look for them.
    if (log_to != stderr && line.starts_with(u"ERROR:"))
      std::fprintf(stderr, "tessera-cli: %s\n", s.c_str());
  });
  LoadAppSettings(ctx.settings, ctx.app, &ctx.doc.Log());
  ctx.lang.Build(FindDataPath("languages"));
  ctx.lang.SelectLanguage(ctx.app.language);
  return command->run(ctx, rest);
}
