// The command-line front end: shared context and command registration.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera::cli {

// Message boxes and questions become lines on standard error.
class CliPrompter final : public Prompter {
 public:
  void MessageBox(const std::u16string& text, const std::u16string& caption,
                  PromptIcon icon) override;
  bool AskYesNo(const std::u16string& text, const std::u16string& caption,
                PromptIcon icon) override;
  void Beep() override {}
  std::optional<double> AskLoadFrameRate() override { return load_frame_rate; }

  bool answer_yes = false;
  double load_frame_rate = 23.976;
};

struct CliContext {
  SubtitleDocument doc;
  SettingsStore settings;
  AppSettings app;
  CliPrompter prompter;
  LanguageTable lang;  // built with the language file, the "Language" setting selected
  TextMeasurer* measurer = nullptr;       // loaded by LoadTextMeasurer
  std::optional<std::string> lists_file;  // --lists
  std::string encoding;                   // --encoding: the reading encoding, empty: detected
  std::string output_format;              // --format: the type written to "-", empty: the input's
  int log_listener = 0;                   // the listener printing log lines on stdout
};

// Loads the Qt text measurer module into ctx.measurer when the measuring method is the dynamic
// one. False (said on standard error) when the module cannot be loaded.
bool LoadTextMeasurer(CliContext& ctx, int split_method);

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using CommandFn = int (*)(CliContext& ctx, std::vector<std::string>& args);

struct CommandInfo {
  const char* name;
  const char* usage;  // the arguments after the name
  CommandFn run;
  // What `tessera-cli NAME --help` prints after the usage line: what the command does and its
  // options, one "  --option  meaning" line each.
  const char* help = nullptr;
};

// Each command file registers itself with a static CommandRegistration.
struct CommandRegistration {
  explicit CommandRegistration(CommandInfo info);
};
const std::vector<CommandInfo>& Commands();

// Prints the usage text on standard error and returns kExitUsage.
int UsageError(const std::string& message);

// Removes "--name VALUE" from args. Returns false (and a usage message) when the value is missing.
bool TakeOption(std::vector<std::string>& args, const std::string& name,
                std::optional<std::string>& value);
// Removes "--name" from args; true when it was there.
bool TakeFlag(std::vector<std::string>& args, const std::string& name);
// A real number from a whole argument, or nothing.
std::optional<double> ParseNumber(const std::string& text);

// Message box text as one line: every line break (LF, CR or both) becomes one space.
std::string OneLine(const std::u16string& text);

}  // namespace tessera::cli
