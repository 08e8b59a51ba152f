// Loading the input and saving the output of a command, as the File Operations page does.
#pragma once

#include <string>

#include "cli/cli.h"

namespace tessera::cli {

// Logs "Trying to open the file '%s'..." and loads the file (MicroDVD at the prompter's rate,
// without asking). Sets the file path and loaded format, clears the changed flag. False when
// the file could not be loaded.
bool LoadInput(CliContext& ctx, const std::string& path);

// SaveSubtitleAs: the format is the one the extension names. False when nothing was written.
bool SaveOutput(CliContext& ctx, const std::string& path);

}  // namespace tessera::cli
