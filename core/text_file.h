// Whole-file text input and output: the 1,048,576-byte limit, the FF FE signature,
// UTF-8, CR LF lines.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/atomic_write.h"

namespace tessera {

inline constexpr long long kMaxTextFileSize = 1048576;

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

// Reads a whole file into `text`, every line ending in CR LF. Returns a ReadResult.
int ReadTextFile(const std::filesystem::path& path, std::u16string& text);

// Decodes file bytes as ReadTextFile does (no size limit). With repair off, the CR CR LF /
// LF LF CR repair is skipped. Returns kRead8Bit, kReadUtf16, kReadUtf8 or kReadRepaired.
int DecodeTextBytes(std::string_view bytes, std::u16string& text, bool repair = true);

struct WriteOutcome {
  bool ok = false;
  // The 8-bit form was asked for but the text holds a character above U+00FF: UTF-8 was written.
  bool fell_back_to_utf8 = false;
  // Why the file could not be written, in the system's words.
  std::string reason;
};

// The bytes WriteTextFileEx writes for `text` (CR LF lines) in the given encoding.
std::string EncodeText(std::u16string_view text, int encoding, bool* fell_back_to_utf8 = nullptr);

// Writes `text` (CR LF lines) in the given encoding with WriteFileAtomically, so a failed write
// leaves the old file intact.
WriteOutcome WriteTextFileEx(const std::filesystem::path& path, std::u16string_view text,
                             int encoding);
// 1 when the file was written, 0 when it could not be.
int WriteTextFile(const std::filesystem::path& path, std::u16string_view text, int encoding);

// Walks the lines of a text one at a time, without splitting it up front. Every CR LF ends a
// line, and a last line without CR LF is visited too: "a\r\nb" gives a and b. A text that ends in
// CR LF has no empty line after it: "a\r\n" gives a alone, the empty text gives nothing.
class LineWalk {
 public:
  explicit LineWalk(std::u16string_view text) : text_(text) {}
  // The next line (without its CR LF); false when the text is used up.
  bool Next(std::u16string_view& line);

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

// Every line of `text` as LineWalk visits them.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// `text` up to and including its last CR LF, so that a walk over it leaves out a last line
// without CR LF; empty when there is no CR LF. For the callers that count only ended lines.
std::u16string_view EndedLines(std::u16string_view text);

// The n-th line (from 0) that a CR LF ends. Returns 1 and sets `line`, else 0, line untouched.
int GetTextLine(std::u16string_view text, int n, std::u16string& line);

}  // namespace tessera
