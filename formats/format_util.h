// Small pieces the format readers and writers share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/subtitle_document.h"
#include "core/version.h"

namespace tessera {

// text.substr(pos, count) that never throws: an out-of-range start gives the empty text.
inline std::u16string_view Sub(std::u16string_view text, size_t pos,
                               size_t count = std::u16string_view::npos) {
  if (pos >= text.size()) return {};
  return text.substr(pos, count);
}

// The text between `from` and `to` (empty when to <= from).
inline std::u16string_view Between(std::u16string_view text, size_t from, size_t to) {
  if (to <= from) return {};
  return Sub(text, from, to - from);
}

// The document keeps three lines per subtitle. Adds `line` as the next of them: a line of blanks
// only is dropped (peers end a subtitle at it), and beyond the third the text joins the third
// after a space. `count` is the number of lines taken so far.
void AddTextLine(std::u16string_view line, std::u16string* lines[3], int& count);

// Splits `text` at every `separator` into three lines as AddTextLine takes them; an empty line
// before a separator keeps its place.
void SplitThree(std::u16string_view text, std::u16string_view separator, std::u16string& line1,
                std::u16string& line2, std::u16string& line3);

// Some tools write times before 0 after a shift. A time text with a minus sign is read as 0 and
// counted; true when it had one.
bool IsNegativeTime(std::u16string_view time);
// The "WARNING:" line for `count` times read as 0; nothing when there were none.
void LogClampedTimes(SubtitleDocument& doc, int count);

// Position of `needle` in `text`, letters A-Z compared without case; npos when absent.
size_t FindIgnoreCase(std::u16string_view text, std::u16string_view needle, size_t from = 0);

// A clock time "H:MM:SS", "H:MM:SS,mmm" or "MM:SS.mmm": digits in at least `min_colons` + 1
// groups separated by ":", then optionally "," or "." and more digits.
bool IsClockTime(std::u16string_view text, int min_colons);

// The line with every absolute path reduced to its file name: a log line copied into a file that
// is shared must not show the user's folders. A path after a quote runs to the closing quote,
// any other one to the next blank.
std::u16string WithoutFolders(std::u16string_view line);

// Resolves -1 (and out-of-range values) to a row range; empty when first > last.
void ResolveRange(const SubtitleDocument& doc, int& first, int& last);

// Where a writer puts its text: handed on in blocks of whole entries, so that saving a large
// document never holds the whole file, nor its bytes.
class TextSink {
 public:
  // Takes what `out` holds and leaves it empty, its room kept for the next block.
  virtual void Take(std::u16string& out) = 0;

 protected:
  ~TextSink() = default;
};

// A writer hands its text on once a block holds this many units (64 KiB).
inline constexpr size_t kTextBlock = 32 * 1024;
inline void TakeBlock(std::u16string& out, TextSink& sink) {
  if (out.size() >= kTextBlock) sink.Take(out);
}

// Gathers a writer's whole text.
class WholeText final : public TextSink {
 public:
  void Take(std::u16string& out) override {
    text += out;
    out.clear();
  }
  std::u16string text;
};

// The whole text that `put(sink)` hands on in blocks, for callers that want it at once.
template <typename Put>
std::u16string WholeTextOf(Put put) {
  WholeText whole;
  put(whole);
  return std::move(whole.text);
}

}  // namespace tessera
