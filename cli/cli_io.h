// Loading the input and saving the output of a command, with the document's file commands.
#pragma once

#include <string>

#include "cli/cli.h"

namespace tessera::cli {

// The file name that stands for standard input or output.
inline constexpr char kStdStream[] = "-";

// OpenDocument as the open dialog does (MicroDVD at the prompter's rate, the --encoding given).
// "-" reads standard input. False when the file could not be loaded.
bool LoadInput(CliContext& ctx, const std::string& path);

// SaveDocumentAs: the format is the one the extension names. False when nothing was written.
// "-" writes standard output in the --format type, else in the type the input was read in.
bool SaveOutput(CliContext& ctx, const std::string& path);

// The extension ".srt" for a --format name "srt", or empty when Tessera writes no such type.
std::u16string FormatExtension(const std::string& name);

}  // namespace tessera::cli
