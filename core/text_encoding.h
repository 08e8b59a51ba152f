// Legacy 8-bit code pages: detection with uchardet, conversion with iconv.
#pragma once

#include <string>
#include <string_view>

namespace tessera {

// The code page uchardet finds for bytes that are neither UTF-8 nor UTF-16, as an iconv name
// ("WINDOWS-1250"); empty for pure ASCII and for text it cannot place.
std::string DetectCodePage(std::string_view bytes);

// True when iconv knows the encoding `name`.
bool IsKnownEncoding(std::string_view name);

// True for the Unicode encodings (UTF-8, UTF-16, UTF-32, UCS-2/4), which are not code pages.
bool IsUnicodeEncoding(std::string_view name);

// Decodes bytes in `name` into UTF-16; a byte sequence the encoding does not define becomes
// U+FFFD. False (and `out` empty) when iconv does not know the name.
bool DecodeWithEncoding(std::string_view bytes, std::string_view name, std::u16string& out);

// Encodes UTF-16 text in `name`. False when the name is unknown or a character has no place in
// the code page: the caller then writes UTF-8 instead, so nothing is lost.
bool EncodeWithEncoding(std::u16string_view text, std::string_view name, std::string& out);

// EncodeWithEncoding for a text given in pieces, with one conversion state throughout, so that the
// bytes are those of the whole text. A piece must not end inside a surrogate pair.
class CodePageEncoder {
 public:
  explicit CodePageEncoder(std::string_view name);
  ~CodePageEncoder();
  CodePageEncoder(const CodePageEncoder&) = delete;
  CodePageEncoder& operator=(const CodePageEncoder&) = delete;

  // Appends the bytes of `text` to `out`. False when the name is unknown or a character has no
  // place in the code page.
  bool Encode(std::u16string_view text, std::string& out);

 private:
  void* cd_;
};

}  // namespace tessera
