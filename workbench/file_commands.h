// The document's file commands: open (from the open dialog, a drop, at start-up or from the
// command line), append, ask-and-save, save as, quick save, save the selected rows, split, and
// the remembered folders. Every page, the window and tessera-cli call these.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workbench/workbench.h"

namespace tessera {

// How a file comes to be opened. Only the log line before loading and the frame-rate prompt
// differ; every way checks the path, loads and makes the file the document's alike.
enum class OpenWay {
  kChosen,   // chosen in the open dialog or named on the command line: "Trying to open..." is
             // logged, a MicroDVD file is read at the rate the prompter answers
  kDropped,  // dropped on the page: the drop's own log line
  kStartUp,  // at start-up: the caller has said why; a MicroDVD file is read at 23.976 unasked
  kStandardInput,  // `path` is a private copy of standard input: logged and kept as the file
                   // "-", its folder is not remembered; otherwise as kChosen
};

// Checks that `path` is a readable file, logs and loads it; when that worked, makes it the
// document's file (path, loaded format, clear changed flag) and remembers its folder under
// "Open". Returns 1 then. A path that cannot be loaded (missing, a folder, unreadable, binary,
// unrecognised, too large) changes nothing but the log, which says why, and returns 0.
// `encoding` (an iconv name) forces the reading encoding.
int OpenDocument(Workbench& wb, const std::u16string& path, OpenWay way,
                 std::string_view encoding = {});

// The open dialog titled `title` in the "Open" folder; `with_archives` offers archives too.
// Empty when cancelled.
std::u16string AskOpenName(Workbench& wb, const std::u16string& title, bool with_archives);
// "Open Subtitle file": asks, then OpenDocument. -1 when cancelled, else OpenDocument's result.
int AskAndOpenDocument(Workbench& wb);

// Where appended subtitles begin: the open movie's whole seconds, else the last end time.
double AppendOffset(const SubtitleDocument& doc);
// Appends the file after the document, its times moved by `offset` seconds (none: AppendOffset;
// a MicroDVD file is read at the rate the prompter answers). Sets the changed flag when rows were
// added and logs "Done.". Returns 1 when the file could be read and appended.
int AppendFile(Workbench& wb, const std::u16string& path,
               std::optional<double> offset = std::nullopt, std::string_view encoding = {});

// Writes the whole document in the format of the path's extension, logging "Saving <format>
// file '<path>'..." and "Ok." or an "ERROR:" line. Only when the file was written does `path`
// become the document's file path, its folder the "Directories"/"Save" setting, and the changed
// flag clear. Returns 1 then; 0 when the extension names no writable format or the write failed.
int SaveDocumentAs(Workbench& wb, const std::u16string& path);
// Asks for a name (type preselected by the loaded format; a name typed without an extension gets
// the chosen type's), then SaveDocumentAs. Returns 1 when written, 0 when cancelled or not.
int AskAndSaveDocument(Workbench& wb);
// Ctrl+S: SaveDocumentAs to the document's own file, with a beep for done and the warning sound
// for no file or a failed write. Returns 1 when written.
int QuickSave(Workbench& wb);
// Asks for a name and writes the document's selected rows as SubRip, keeping their numbers,
// with a log line before and "Ok." or an "ERROR:" line after. The file path and changed flag
// stay. Returns 1 when written, 0 when cancelled or not written.
int AskAndSaveSelection(Workbench& wb);

// `split_row` is the current row (-1: none). For a chosen "film.srt" it writes "filma.srt" with
// the rows before the split row and "filmb.srt" with the rest, renumbered and moved earlier to
// the midpoint between the two starts; a ".ssa" name gets the whole document unsplit; any other
// extension writes nothing and logs an "ERROR:" line. Logs as the page does and, once written,
// remembers the folder under "Directories"/"Save". With nothing before the split point (row 0 or
// none) nothing is written and an "ERROR:" line says so. The two files are written together or
// not at all. Returns 1 when both files (or the script) were written.
int SplitDocument(Workbench& wb, int split_row, const std::u16string& chosen);
// Whether splitting at `row` (the current row; -1: none) gives two parts: a subtitle before it
// and one from it on. When not, `why` (optional) receives the log line that says so; the page
// shows it before it asks for a file name.
bool CanSplitAt(const SubtitleDocument& doc, int row, std::u16string* why = nullptr);
// The chosen name with `letter` inserted before its last ".".
std::u16string SplitPartName(const std::u16string& chosen, char16_t letter);

// Stores the folder of `path` under "Directories"/`key` ("Open", "Save", "Movie") when it has
// one.
void RememberFolder(SettingsStore& store, const char16_t* key, const std::u16string& path);

// The open dialogs' file types.
std::vector<FileFilter> OpenFileFilters(bool with_archives);
// The save dialogs' default extension for the format the document was loaded from: that of the
// type the save dialog preselects ("*.ssa", "*.sub", else SubRip's ".srt").
std::u16string SaveDefaultExtension(SubtitleFormat format);

}  // namespace tessera
