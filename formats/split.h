// Writing the document as two files split at a row, as the File Operations page's Split does.
#pragma once

#include <string>

#include "core/app_settings.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

// `split_row` is the current row (-1: none). For a chosen "film.srt" it writes "filma.srt" with
// the rows before the split row and "filmb.srt" with the rest, renumbered and moved earlier to
// the midpoint between the two starts; a ".ssa" name gets the whole document unsplit; any other
// extension writes nothing and logs an "ERROR:" line. Logs as the page does and, once written,
// remembers the folder under "Directories"/"Save". With nothing before the split point (row 0 or
// none) nothing is written and an "ERROR:" line says so. The two files are written together or
// not at all. Returns 1 when both files (or the script) were written.
int SplitSubtitleFile(SubtitleDocument& doc, int split_row, const std::u16string& chosen,
                      SettingsStore& store, const AppSettings& settings);

// Whether splitting at `row` (the current row; -1: none) gives two parts: a subtitle before it
// and one from it on. When not, `why` (optional) receives the log line that says so; the page
// shows it before it asks for a file name.
bool CanSplitAt(const SubtitleDocument& doc, int row, std::u16string* why = nullptr);

// The chosen name with `letter` inserted before its last ".".
std::u16string SplitPartName(const std::u16string& chosen, char16_t letter);

}  // namespace tessera
