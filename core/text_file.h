// Whole-file text input and output: the size limit, the UTF-16 and UTF-8 signatures, legacy code
// pages, CR LF lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_write.h"
#include "core/text_scan.h"

namespace tessera {

// Real subtitle files with embedded fonts or many hours of film pass one megabyte.
inline constexpr long long kMaxTextFileSize = 64LL * 1024 * 1024;

enum ReadResult : int {
  kReadOpenFailed = -1,
  kReadTooLarge = -2,
  kRead8Bit = 0,
  kReadUtf16 = 1,
  kReadUtf8 = 2,
  kReadRepaired = 3,
};

// "Encoding" setting values.
enum TextEncoding : int { kEncoding8Bit = 0, kEncodingUtf16 = 1, kEncodingUtf8 = 2 };

// How a file's bytes were, or are to be, turned into characters.
struct TextDecoding {
  // An iconv encoding name to read the bytes in instead of detecting one; empty: detect.
  std::string forced;
  // Out: the legacy code page the text was read in ("WINDOWS-1251"), so that saving can write it
  // back the same way; empty for UTF-8, UTF-16 and pure ASCII.
  std::string code_page;
  // Out: the text holds no control character but its CR LF line ends (so it is surely no binary).
  bool plain = false;
};

// Reads a whole file into `text`, every line ending in CR LF. Returns a ReadResult.
int ReadTextFile(const std::filesystem::path& path, std::u16string& text,
                 TextDecoding* decoding = nullptr);

// Decodes file bytes as ReadTextFile does (no size limit). With repair off, the CR CR LF /
// LF LF CR repair is skipped. Returns kRead8Bit, kReadUtf16, kReadUtf8 or kReadRepaired.
int DecodeTextBytes(std::string_view bytes, std::u16string& text, bool repair = true,
                    TextDecoding* decoding = nullptr);

struct WriteOutcome {
  bool ok = false;
  // Why the file could not be written, in the system's words.
  std::string reason;
};

// The bytes WriteTextFileEx writes for `text` (CR LF lines) in the given encoding. The 8-bit form
// writes `code_page` (the one the document was read in) when every character fits, else UTF-8
// without a signature.
std::string EncodeText(std::u16string_view text, int encoding, std::string_view code_page = {});

class CodePageEncoder;

// EncodeText for a text given in pieces, so that a large file is written without ever being held
// whole: the bytes of all the pieces are those EncodeText gives for the whole text, wherever the
// pieces were cut.
class TextEncoder {
 public:
  TextEncoder(int encoding, std::string_view code_page);
  ~TextEncoder();
  // Appends the bytes of the next piece to `bytes`. False when the code page cannot hold one of its
  // characters: the whole text must then be written from its start with an encoder for UTF-8
  // without a signature (kEncoding8Bit and no code page), as EncodeText does.
  bool Add(std::u16string_view piece, std::string& bytes);
  // Appends the bytes that end the text; false as Add.
  bool Finish(std::string& bytes);

 private:
  bool Put(std::u16string_view units, std::string& bytes);
  int encoding_;
  std::unique_ptr<CodePageEncoder> code_page_;
  bool started_ = false;
  char16_t last_ = 0;  // the unit before this piece, for an LF that a piece begins with
  char16_t held_ = 0;  // a high surrogate that the last piece ended in, waiting for its pair
  std::u16string with_cr_;
};

// Writes `text` (CR LF lines) in the given encoding with WriteFileAtomically, so a failed write
// leaves the old file intact.
WriteOutcome WriteTextFileEx(const std::filesystem::path& path, std::u16string_view text,
                             int encoding, std::string_view code_page = {});
// 1 when the file was written, 0 when it could not be.
int WriteTextFile(const std::filesystem::path& path, std::u16string_view text, int encoding,
                  std::string_view code_page = {});

// Gives the memory of a text that a reader walks once, front to back, back to the system behind it
// (whole pages, a few megabytes at a time), while the text itself lives on: what was given back
// reads as zeros. So a large decoded file and the rows built from it are never held whole at once.
// Does nothing unless `on`.
class TextGiveBack {
 public:
  TextGiveBack(std::u16string_view text, bool on);
  // Nothing before text[pos] is read again.
  void ReadUpTo(size_t pos);

 private:
  std::u16string_view text_;
  uintptr_t given_ = 0;  // the address up to which the pages went back
  bool on_;
};

// Walks the lines of a text one at a time, without splitting it up front. Every CR LF ends a
// line, and a last line without CR LF is visited too: "a\r\nb" gives a and b. A text that ends in
// CR LF has no empty line after it: "a\r\n" gives a alone, the empty text gives nothing.
class LineWalk {
 public:
  explicit LineWalk(std::u16string_view text) : text_(text) {}
  // The next line (without its CR LF); false when the text is used up. Inline: readers call it
  // for every line of a file.
  bool Next(std::u16string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t e = FindUnit(text_, u'\r', pos_);
    while (e != std::u16string_view::npos && (e + 1 >= text_.size() || text_[e + 1] != u'\n'))
      e = FindUnit(text_, u'\r', e + 1);
    if (e == std::u16string_view::npos) e = text_.size();
    line = text_.substr(pos_, e - pos_);
    pos_ = e + 2;
    return true;
  }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

// How many lines LineWalk visits at most: one more than the LFs. For reserving rows once.
size_t CountLines(std::u16string_view text);

// Every line of `text` as LineWalk visits them.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// `text` up to and including its last CR LF, so that a walk over it leaves out a last line
// without CR LF; empty when there is no CR LF. For the callers that count only ended lines.
std::u16string_view EndedLines(std::u16string_view text);

// The n-th line (from 0) that a CR LF ends. Returns 1 and sets `line`, else 0, line untouched.
int GetTextLine(std::u16string_view text, int n, std::u16string& line);

}  // namespace tessera
