// Detection, loading and appending of whole subtitle files, and writing finished file texts.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

class TextSink;

// Which format `text` (CR LF lines) holds, tried in a fixed order.
SubtitleFormat DetectSubtitleFormat(std::u16string_view text);
// "SubRip", "MicroDVD", ... for messages.
const char* SubtitleFormatName(SubtitleFormat format);

// Replaces the rows with the file's content and logs its progress. `prompter` may ask for the
// MicroDVD frame rate; nullptr never asks (23.976 is assumed). Does not set the file path, the
// loaded format or the changed flag: `format` receives the detected format for the caller.
// Returns 1 when subtitles were read. Otherwise (a missing, too large, binary or unrecognised
// file, or one without a single subtitle) the log says why and the document and `format` stay.
// `encoding` (an iconv name) forces the reading encoding; the code page a legacy file was read
// in becomes the document's, for saving.
int LoadSubtitleFile(SubtitleDocument& doc, const std::u16string& path, SubtitleFormat& format,
                     const LanguageTable& lang, Prompter* prompter, std::string_view encoding = {});

// Adds the file's rows after the existing ones, SubRip and MicroDVD moved later by `offset`
// seconds; a binary file counts as unrecognised. Returns 0 when the file cannot be opened, else 1;
// `detected` (optional) receives the format, so a caller can tell that nothing could be appended.
int AppendSubtitleFile(SubtitleDocument& doc, const std::u16string& path, double offset,
                       Prompter* prompter, SubtitleFormat* detected = nullptr,
                       std::string_view encoding = {});

// The writer named by the path's extension (".srt", ".ssa", ".ass", ".vtt", ".sub", ".txt",
// exact case).
bool IsWritableExtension(const std::u16string& path);

// Writes a finished file text in the "Encoding" setting (with 0, in the document's code page when
// the text fits it, else UTF-8) and logs an "ERROR:" line with the system's reason when the file
// could not be written. Returns 1 or 0.
int WriteSubtitleText(SubtitleDocument& doc, const std::u16string& path, std::u16string_view text,
                      int encoding);

// WriteSubtitleText for the text that `put` hands to its sink in blocks: each block is encoded
// and written as it comes, so that a large file is never held whole. `put` runs a second time,
// from the start, when the document's code page lacks a character and the file goes as UTF-8.
int WriteSubtitleFile(SubtitleDocument& doc, const std::u16string& path,
                      const std::function<void(TextSink&)>& put, int encoding);

// A file name and the text to write into it.
struct SubtitleText {
  std::u16string path;
  std::u16string_view text;
};
// WriteSubtitleText for a set of files that belong together: all are written or none.
int WriteSubtitleTexts(SubtitleDocument& doc, std::span<const SubtitleText> files, int encoding);

// The part of the path from its last "." on, or empty.
std::u16string PathExtension(const std::u16string& path);
// The folder part of a path without the trailing separator; empty when there is none.
std::u16string PathFolder(const std::u16string& path);

}  // namespace tessera
