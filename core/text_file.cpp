#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "core/text_util.h"

namespace tessera {
namespace {

// True when the bytes are valid UTF-8 and hold at least one multi-byte sequence.
bool LooksLikeUtf8(std::string_view b) {
  bool multi = false;
  const auto* p = reinterpret_cast<const unsigned char*>(b.data());
  size_t n = b.size(), i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len;
    char32_t cp;
    if ((c & 0xE0) == 0xC0)
      len = 2, cp = c & 0x1F;
    else if ((c & 0xF0) == 0xE0)
      len = 3, cp = c & 0x0F;
    else if ((c & 0xF8) == 0xF0)
      len = 4, cp = c & 0x07;
    else
      return false;
    if (i + len > n) return false;
    for (int k = 1; k < len; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    multi = true;
    i += len;
  }
  return multi;
}

// Splits decoded characters into CR LF lines: CR LF and a lone LF end a line, a lone CR is an
// ordinary character. A zero character drops the rest of its line, and a line that begins with
// one ends the reading.
void AppendLines(std::u16string_view chars, std::u16string& text) {
  text.reserve(text.size() + chars.size() + chars.size() / 16 + 2);
  size_t i = 0, n = chars.size();
  while (i < n) {
    size_t start = i;
    size_t end = n;   // end of line content
    size_t next = n;  // start of next line
    for (size_t k = i; k < n; ++k) {
      if (chars[k] == u'\n') {
        end = k > start && chars[k - 1] == u'\r' ? k - 1 : k;
        next = k + 1;
        break;
      }
    }
    std::u16string_view line = chars.substr(start, end - start);
    size_t zero = line.find(u'\0');
    if (zero == 0) return;
    if (zero != std::u16string_view::npos) line = line.substr(0, zero);
    text.append(line);
    text.append(kCrLf);
    i = next;
  }
}

bool Repair(std::u16string& text) {
  int a = ReplaceAll(text, u"\r\r\n", u"\r\n");
  int b = ReplaceAll(text, u"\n\n\r", u"\r\n");
  return a + b > 0;
}

}  // namespace

int DecodeTextBytes(std::string_view bytes, std::u16string& text, bool repair) {
  text.clear();
  int result;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units((bytes.size() - 2) / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                       (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    // UTF-16 splits as the 8-bit forms do: keeping the CR of a CR LF would make every such
    // file look repaired.
    AppendLines(units, text);
    result = kReadUtf16;
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    AppendLines(FromUtf8(bytes.substr(3)), text);
    result = kReadUtf8;
  } else if (LooksLikeUtf8(bytes)) {
    AppendLines(FromUtf8(bytes), text);
    result = kReadUtf8;
  } else {
    AppendLines(FromLatin1(bytes), text);
    result = kRead8Bit;
  }
  if (repair && Repair(text)) result = kReadRepaired;
  return result;
}

int ReadTextFile(const std::filesystem::path& path, std::u16string& text) {
  text.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return kReadOpenFailed;
  std::ifstream in(path, std::ios::binary);
  if (!in) return kReadOpenFailed;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) return kReadOpenFailed;
  if (size > kMaxTextFileSize) return kReadTooLarge;
  in.seekg(0, std::ios::beg);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0 && !in.read(bytes.data(), size)) {
    bytes.resize(static_cast<size_t>(in.gcount()));
  }
  return DecodeTextBytes(bytes, text, true);
}

std::string EncodeText(std::u16string_view text, int encoding, bool* fell_back_to_utf8) {
  if (fell_back_to_utf8) *fell_back_to_utf8 = false;
  std::string bytes;
  if (encoding == kEncodingUtf16) {
    bytes.reserve(text.size() * 2 + 4);
    bytes += "\xFF\xFE";
    for (char16_t c : text) {
      bytes.push_back(static_cast<char>(c & 0xFF));
      bytes.push_back(static_cast<char>(c >> 8));
    }
    bytes.append(2, '\0');
    return bytes;
  }
  // CR LF stays, a lone LF becomes CR LF.
  std::u16string lines;
  lines.reserve(text.size() + 16);
  bool wide = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c == u'\n' && (i == 0 || text[i - 1] != u'\r')) lines.push_back(u'\r');
    lines.push_back(c);
    if (c > 0xFF) wide = true;
  }
  if (encoding == kEncodingUtf8 || wide) {
    if (fell_back_to_utf8) *fell_back_to_utf8 = encoding != kEncodingUtf8;
    return "\xEF\xBB\xBF" + ToUtf8(lines);
  }
  bytes.resize(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) bytes[i] = static_cast<char>(lines[i]);
  return bytes;
}

WriteOutcome WriteTextFileEx(const std::filesystem::path& path, std::u16string_view text,
                             int encoding) {
  WriteOutcome outcome;
  const std::string bytes = EncodeText(text, encoding, &outcome.fell_back_to_utf8);
  outcome.ok = WriteFileAtomically(path, bytes, &outcome.reason);
  return outcome;
}

int WriteTextFile(const std::filesystem::path& path, std::u16string_view text, int encoding) {
  return WriteTextFileEx(path, text, encoding).ok ? 1 : 0;
}

bool LineWalk::Next(std::u16string_view& line) {
  if (pos_ >= text_.size()) return false;
  size_t e = text_.find(kCrLf, pos_);
  if (e == std::u16string_view::npos) e = text_.size();
  line = text_.substr(pos_, e - pos_);
  pos_ = e + 2;
  return true;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  lines.reserve(text.size() / 20 + 1);
  LineWalk walk(text);
  std::u16string_view line;
  while (walk.Next(line)) lines.push_back(line);
  return lines;
}

std::u16string_view EndedLines(std::u16string_view text) {
  size_t e = text.rfind(kCrLf);
  return e == std::u16string_view::npos ? std::u16string_view() : text.substr(0, e + 2);
}

int GetTextLine(std::u16string_view text, int n, std::u16string& line) {
  LineWalk walk(EndedLines(text));
  std::u16string_view found;
  for (int i = 0; i <= n || i == 0; ++i)
    if (!walk.Next(found)) return 0;
  line.assign(found);
  return 1;
}

}  // namespace tessera
