// The File Operations page's own rules, without the widgets: Save Sel. and the save dialog it
// and Split share, and when the buttons are enabled.
#pragma once

#include <string>
#include <vector>

#include "workbench/workbench.h"

namespace tessera {

// The first contiguous block of `selected_rows` (any order); the whole document when empty.
void FirstSelectedBlock(const SubtitleDocument& doc, const std::vector<int>& selected_rows,
                        int& first, int& last);
// Save Sel.: ".srt" writes the first selected block as SubRip (renumbered, moved to the block's
// start), ".ssa" the whole document as SubStation Alpha; once written, remembers the folder under
// "Save". Returns 1 when written; any other extension writes nothing and logs an "ERROR:" line.
int SaveSelectedBlock(Workbench& wb, const std::vector<int>& selected_rows,
                      const std::u16string& path);

// Button rules: Append, Save and Split need subtitles; the encoder export also needs both folders.
bool HasSubtitles(const SubtitleDocument& doc);
bool CanExport(const SubtitleDocument& doc, const AppSettings& settings);

// The two file types of Save Sel. and Split (SubRip preselected).
std::vector<FileFilter> SelectionSaveFilters();
// The save dialog of Save Sel. and Split, titled `title`: those two types with SubRip preselected,
// starting in the "Save" folder. A name typed without an extension gets the chosen type's.
// Empty when cancelled.
std::u16string AskSelectionSaveName(Workbench& wb, const std::u16string& title);

}  // namespace tessera
