// What the File Operations page does with files, without the widgets: opening, dropping,
// appending, saving the selected block, the remembered folders and the button rules.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"
#include "formats/loading.h"  // RememberFolder

namespace tessera {

// Open: logs and loads the file (the frame-rate prompt may appear); when that worked, makes it the
// document's file (path, loaded format, clear changed flag) and remembers its folder under
// "Open". Returns 1 then. A path that cannot be loaded (missing, a folder, unreadable, binary,
// unrecognised, too large) changes nothing but the log, which says why, and returns 0.
int OpenSubtitleFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                     const LanguageTable& lang, Prompter& prompter);
// The same for a file dropped on the page, with the drop's own log line.
int OpenDroppedFile(SubtitleDocument& doc, const std::u16string& path, SettingsStore& store,
                    const LanguageTable& lang, Prompter& prompter);

// Where appended subtitles begin: the open movie's whole seconds, else the last end time.
double AppendOffset(const SubtitleDocument& doc);
// Appends the file after the document, its times moved by `offset` seconds (none: AppendOffset;
// a MicroDVD file is read at the rate the prompter answers). Sets the changed flag when rows were
// added and logs "Done.". Returns 1 when the file could be read and appended. `encoding` forces
// the reading encoding (an iconv name).
int AppendFile(SubtitleDocument& doc, const std::u16string& path, Prompter& prompter,
               std::optional<double> offset = std::nullopt, std::string_view encoding = {});

// The first contiguous block of `selected_rows` (any order); the whole document when empty.
void FirstSelectedBlock(const SubtitleDocument& doc, const std::vector<int>& selected_rows,
                        int& first, int& last);
// Save Sel.: ".srt" writes the first selected block as SubRip (renumbered, moved to the block's
// start), ".ssa" the whole document as SubStation Alpha; once written, remembers the folder under
// "Save". Returns 1 when written; any other extension writes nothing and logs an "ERROR:" line.
int SaveSelectedBlock(SubtitleDocument& doc, const std::vector<int>& selected_rows,
                      const std::u16string& path, SettingsStore& store,
                      const AppSettings& settings);

// Button rules: Append, Save and Split need subtitles; the encoder export also needs both folders.
bool HasSubtitles(const SubtitleDocument& doc);
bool CanExport(const SubtitleDocument& doc, const AppSettings& settings);

// The open dialogs' file types.
std::vector<FileFilter> OpenFileFilters(bool with_archives);
// The two file types of Save Sel. and Split (SubRip preselected).
std::vector<FileFilter> SelectionSaveFilters();
// The save dialog of Save Sel. and Split, titled `title`: those two types with SubRip preselected,
// starting in the "Save" folder. A name typed without an extension gets the chosen type's.
// Empty when cancelled.
std::u16string AskSelectionSaveName(DialogService& dialogs, SettingsStore& store,
                                    const std::u16string& title);

}  // namespace tessera
