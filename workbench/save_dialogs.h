// The two save dialogs that ask for a file name and write the document through the loaders.
#pragma once

#include <functional>
#include <string>

#include "core/app_settings.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

// The dialogs' default extension for the format the document was loaded from: that of the type
// the save dialog preselects ("*.ssa", "*.sub", else SubRip's ".srt").
std::u16string SaveDefaultExtension(SubtitleFormat format);

// Asks for a name (type preselected by the loaded format; a name typed without an extension gets
// the chosen type's) and writes the whole document in the format of the chosen extension
// (SaveSubtitleAs: the path, the "Save" folder and the clear changed flag follow only a written
// file). Then `show_path` receives the path for the window caption. Returns 1 when the file was
// written, 0 when cancelled or not written.
int SaveSubtitleDialog(SubtitleDocument& doc, SettingsStore& store, const AppSettings& settings,
                       DialogService& dialogs,
                       const std::function<void(const std::u16string&)>& show_path = {});

// Asks for a name and writes the document's selected rows as SubRip, keeping their numbers,
// with a log line before and "Ok." or an "ERROR:" line after. The file path and changed flag
// stay. Returns 1 when written, 0 when cancelled or not written.
int SaveSelectionDialog(SubtitleDocument& doc, SettingsStore& store, const AppSettings& settings,
                        DialogService& dialogs);

}  // namespace tessera
