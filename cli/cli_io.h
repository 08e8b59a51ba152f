// Loading the input and saving the output of a command, with the document's file commands.
#pragma once

#include <string>

#include "cli/cli.h"

namespace tessera::cli {

// OpenDocument as the open dialog does (MicroDVD at the prompter's rate, the --encoding given).
// False when the file could not be loaded.
bool LoadInput(CliContext& ctx, const std::string& path);

// SaveDocumentAs: the format is the one the extension names. False when nothing was written.
bool SaveOutput(CliContext& ctx, const std::string& path);

}  // namespace tessera::cli
