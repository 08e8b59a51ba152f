// Loading the input and saving the output of a command, as the File Operations page does.
#pragma once

#include <string>

#include "cli/cli.h"

namespace tessera::cli {

// The file name that stands for standard input or output.
inline constexpr char kStdStream[] = "-";

// Logs "Trying to open the file '%s'..." and loads the file (MicroDVD at the prompter's rate,
// without asking). Sets the file path and loaded format, clears the changed flag. False when
// the file could not be loaded. "-" reads standard input.
bool LoadInput(CliContext& ctx, const std::string& path);

// SaveSubtitleAs: the format is the one the extension names. False when nothing was written.
// "-" writes standard output in the --format type, else in the type the input was read in.
bool SaveOutput(CliContext& ctx, const std::string& path);

// The extension ".srt" for a --format name "srt", or empty when Tessera writes no such type.
std::u16string FormatExtension(const std::string& name);

}  // namespace tessera::cli
