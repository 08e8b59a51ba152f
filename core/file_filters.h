// What a save dialog's answer means when the user typed a name without an extension.
#pragma once

#include <string>
#include <string_view>

#include "core/services.h"

namespace tessera {

// ".ssa" for "*.ssa", "srt" or ".srt"; empty for anything that is not one plain extension
// ("*", "*.srt;*.sub", "<<NOT SUPPORTED>>").
std::u16string PlainExtension(std::u16string_view pattern);

// The extension a name typed without one gets: that of the file type at `filter_index`, or else
// the request's default extension; empty when neither names one.
std::u16string TypedNameExtension(const FileDialogRequest& request, int filter_index);

// The path a save dialog's answer stands for: a file name without an extension gets the one of
// the file type chosen in the dialog, or else the request's default extension.
std::u16string ChosenSavePath(const FileDialogRequest& request, const FileDialogAnswer& answer);

}  // namespace tessera
