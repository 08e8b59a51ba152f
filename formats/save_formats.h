// The file types Tessera writes: one row each for the extension that picks the writer, the name
// the log uses, the save dialogs' file type and the writer itself.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_settings.h"
#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

struct SaveFormat {
  std::u16string_view extension;    // ".srt": compared exactly, with case
  const char* log_name;             // "SubRip" in "Saving SubRip file '%s'..."
  std::u16string_view description;  // "SubRip files (*.srt)"
  // The file text for rows first..last (-1, -1: all), handed to the sink in blocks; flat text
  // always holds every row.
  void (*put)(const SubtitleDocument& doc, int first, int last, const AppSettings& settings,
              TextSink& sink);

  // The whole file text, as `put` gives it.
  std::u16string text(const SubtitleDocument& doc, int first, int last,
                      const AppSettings& settings) const;

  FileFilter Filter() const;
};

// Every writable type, in the order the save dialog lists them.
std::span<const SaveFormat> SaveFormats();
// The type the path's extension names, or nullptr.
const SaveFormat* FindSaveFormat(const std::u16string& path);
// The type a document loaded in `loaded` is saved as unless the user picks another: its own, or
// SubRip for the formats Tessera only reads.
const SaveFormat& DefaultSaveFormat(SubtitleFormat loaded);
// The save dialog's file types, in table order.
std::vector<FileFilter> SaveFilters();
// "Saving SubRip file '<path>'..."
std::u16string SavingLine(const SaveFormat& format, const std::u16string& path);
// ".ssa, .sub, .srt or .txt", for messages about names that name no type.
std::string SaveExtensionList();

// Save Sel. and Split offer two of the types: SubStation Alpha (the whole document) and SubRip
// (the rows in question). nullptr for any other extension.
const SaveFormat* FindSelectionSaveFormat(const std::u16string& path);
bool IsSubRip(const SaveFormat& format);

}  // namespace tessera
