#include "core/text_file.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>

#include "core/text_encoding.h"
#include "core/text_scan.h"
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
      i += AsciiPrefix(b.substr(i));  // runs of ASCII, the bulk of a subtitle file
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

// Whether the lines of `chars` end in CR alone: one style per file, the one of most lines, so that
// a CR file whose last line ends in CR LF is still a CR file.
bool CrEndsLines(std::u16string_view chars) {
  size_t lone_cr = 0, lf = 0;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] == u'\n') ++lf;
    if (chars[i] == u'\r' && (i + 1 == chars.size() || chars[i + 1] != u'\n')) ++lone_cr;
  }
  return lone_cr > lf;
}

// Splits decoded characters into CR LF lines: CR LF and a lone LF end a line, a lone CR is an
// ordinary character, except in a file whose lines end in CR alone (CrEndsLines), where CR and CR
// LF end them. A zero character drops the rest of its line, and a line that begins with one ends
// the reading.
void AppendLines(std::u16string_view chars, std::u16string& text) {
  text.reserve(text.size() + chars.size() + chars.size() / 16 + 2);
  const char16_t end_mark = CrEndsLines(chars) ? u'\r' : u'\n';
  size_t i = 0, n = chars.size();
  while (i < n) {
    size_t start = i;
    size_t end = n;   // end of line content
    size_t next = n;  // start of next line
    size_t k = chars.find(end_mark, i);
    if (k != std::u16string_view::npos) {
      end = end_mark == u'\n' && k > start && chars[k - 1] == u'\r' ? k - 1 : k;
      next = end_mark == u'\r' && k + 1 < n && chars[k + 1] == u'\n' ? k + 2 : k + 1;
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

// Decoded characters that are already CR LF lines become the text without a copy. True when they
// hold no control character but the CRs and LFs of CR LF pairs. `first_odd` is
// FindOddControl(chars), found by the caller.
bool TakeLines(std::u16string&& chars, std::u16string& text, size_t first_odd) {
  bool has_cr = false, odd = false;
  for (size_t i = first_odd; i != std::u16string::npos; i = FindOddControl(chars, i + 1)) {
    const char16_t c = chars[i];
    if (c == u'\0' || c == u'\n') {  // a zero, or an LF without its CR
      AppendLines(chars, text);
      return false;
    }
    has_cr |= c == u'\r';
    odd = true;
  }
  // A CR without an LF: lines may end in CR alone.
  if (has_cr && CrEndsLines(chars)) {
    AppendLines(chars, text);
    return false;
  }
  text = std::move(chars);
  if (!text.empty() && !text.ends_with(kCrLf)) text.append(kCrLf);
  return !odd;
}

bool HasHighBytes(std::string_view b) {
  return AsciiPrefix(b) != b.size();
}

std::u16string FromUtf16(std::string_view b, bool big_endian) {
  std::u16string units;
  units.reserve(b.size() / 2 + 2);  // room for the CR LF a last line may lack
  units.resize(b.size() / 2);
  const int lo = big_endian ? 1 : 0, hi = 1 - lo;
  for (size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(b[2 * i + lo]) |
                                     (static_cast<unsigned char>(b[2 * i + hi]) << 8));
  return units;
}

bool Repair(std::u16string& text) {
  // One look for either mark first: nearly every file has neither. Each holds a CR or LF that is
  // not half of a CR LF pair, so only those places are looked at.
  const std::u16string_view view = text;
  bool found = false;
  for (size_t i = FindOddControl(view); i != std::u16string::npos && !found;
       i = FindOddControl(view, i + 1)) {
    for (size_t start = i >= 2 ? i - 2 : 0; start <= i && !found; ++start) {
      const std::u16string_view at = view.substr(start, 3);
      found = at == u"\r\r\n" || at == u"\n\n\r";
    }
  }
  if (!found) return false;
  int a = ReplaceAll(text, u"\r\r\n", u"\r\n");
  int b = ReplaceAll(text, u"\n\n\r", u"\r\n");
  return a + b > 0;
}

// `units` as UTF-8 added to `bytes`, an LF that does not follow a CR (`before` is the unit before
// the first) as CR LF. The usual text, printable ASCII and CR LF pairs, is narrowed eight units a
// step in one pass; the rest of a line from its first other character goes through AppendUtf8.
void AppendUtf8Lines(std::u16string_view units, char16_t before, std::string& bytes) {
  char chunk[4096];
  constexpr size_t kUnits = sizeof chunk / 2;  // room for a CR before every unit
  size_t i = 0;
  const size_t n = units.size();
  while (i < n) {
    const std::u16string_view part = units.substr(i, kUnits);
    size_t o = 0, k = 0;
    while (k < part.size()) {
      const size_t run = NarrowPrintable(part.substr(k), chunk + o);
      o += run;
      k += run;
      if (k == part.size() || part[k] >= 0x80) break;
      const char16_t c = part[k];
      if (c == u'\n' && (i + k == 0 ? before : units[i + k - 1]) != u'\r') chunk[o++] = '\r';
      chunk[o++] = static_cast<char>(c);
      ++k;
    }
    bytes.append(chunk, o);
    i += k;
    if (i < n && units[i] >= 0x80) {
      size_t e = i;
      while (e < n && units[e] >= 0x20) ++e;  // a pair of surrogates is never cut
      AppendUtf8(units.substr(i, e - i), bytes);
      i = e;
    }
  }
}

}  // namespace

int DecodeTextBytes(std::string_view bytes, std::u16string& text, bool repair,
                    TextDecoding* decoding) {
  text.clear();
  if (decoding) decoding->code_page.clear();
  int result;
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  std::u16string chars;
  // Where the decoded characters' first odd control is, when a branch found it on the way.
  std::optional<size_t> first_odd;
  if (decoding && !decoding->forced.empty() && DecodeWithEncoding(bytes, decoding->forced, chars)) {
    const bool unicode = IsUnicodeEncoding(decoding->forced);
    if (!unicode) decoding->code_page = decoding->forced;
    result = unicode ? kReadUtf8 : kRead8Bit;
  } else if (starts("\xFF\xFE") || starts("\xFE\xFF")) {
    // UTF-16 splits as the 8-bit forms do: keeping the CR of a CR LF would make every such
    // file look repaired.
    chars = FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
    result = kReadUtf16;
  } else if (starts("\xEF\xBB\xBF")) {
    chars = FromUtf8(bytes.substr(3));
    result = kReadUtf8;
  } else if (AsciiPrefix(bytes) == bytes.size()) {
    chars = FromLatin1(bytes);          // pure ASCII, the most common file of all
    first_odd = FindOddControl(bytes);  // the same places, found in half the memory
    result = kRead8Bit;
  } else if (LooksLikeUtf8(bytes)) {
    chars = FromUtf8(bytes);
    result = kReadUtf8;
  } else {
    std::string code_page = HasHighBytes(bytes) ? DetectCodePage(bytes) : std::string();
    if (code_page.empty() || !DecodeWithEncoding(bytes, code_page, chars)) {
      // Pure ASCII, or text no code page fits: each byte is the character of the same value.
      chars = FromLatin1(bytes);
      if (HasHighBytes(bytes)) code_page = "ISO-8859-1";
    }
    if (decoding) decoding->code_page = code_page;
    result = kRead8Bit;
  }
  const size_t odd = first_odd ? *first_odd : FindOddControl(chars);
  const bool plain = TakeLines(std::move(chars), text, odd);
  if (decoding) decoding->plain = plain;
  // The marks the repair looks for hold a CR or LF that is not half of a pair.
  if (repair && !plain && Repair(text)) result = kReadRepaired;
  return result;
}

int ReadTextFile(const std::filesystem::path& path, std::u16string& text, TextDecoding* decoding) {
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
  // Not zeroed first: the read writes every byte that is used.
  auto bytes = std::make_unique_for_overwrite<char[]>(static_cast<size_t>(size));
  in.read(bytes.get(), size);
  return DecodeTextBytes(std::string_view(bytes.get(), static_cast<size_t>(in.gcount())), text,
                         true, decoding);
}

TextEncoder::TextEncoder(int encoding, std::string_view code_page) : encoding_(encoding) {
  if (encoding != kEncodingUtf16 && encoding != kEncodingUtf8 && !code_page.empty())
    code_page_ = std::make_unique<CodePageEncoder>(code_page);
}

TextEncoder::~TextEncoder() = default;

bool TextEncoder::Put(std::u16string_view units, std::string& bytes) {
  if (code_page_) return code_page_->Encode(units, bytes);
  AppendUtf8(units, bytes);
  return true;
}

bool TextEncoder::Add(std::u16string_view piece, std::string& bytes) {
  if (!started_) {
    started_ = true;
    if (encoding_ == kEncodingUtf16)
      bytes += "\xFF\xFE";
    else if (encoding_ == kEncodingUtf8)
      bytes += "\xEF\xBB\xBF";
  }
  if (encoding_ == kEncodingUtf16) {
    const size_t at = bytes.size();
    bytes.resize(at + piece.size() * 2);
    char* o = bytes.data() + at;
    for (char16_t c : piece) {
      *o++ = static_cast<char>(c & 0xFF);
      *o++ = static_cast<char>(c >> 8);
    }
    return true;
  }
  if (piece.empty()) return true;
  char16_t before = last_;  // the unit before what is left of the piece
  last_ = piece.back();
  // A surrogate pair cut between two pieces is encoded whole, as in the whole text.
  bool ok = true;
  if (held_) {
    const char16_t pair[2] = {held_, piece.front()};
    held_ = 0;
    const bool whole = (pair[1] & 0xFC00) == 0xDC00;
    ok = Put(std::u16string_view(pair, whole ? 2 : 1), bytes);
    if (whole) {
      before = piece.front();
      piece.remove_prefix(1);
    }
  }
  if (!piece.empty() && (piece.back() & 0xFC00) == 0xD800) {
    held_ = piece.back();
    piece.remove_suffix(1);
  }
  if (!code_page_) {
    AppendUtf8Lines(piece, before, bytes);
    return ok;
  }
  // CR LF stays, a lone LF becomes CR LF; the usual text has none and is not copied.
  std::u16string_view lines = piece;
  for (size_t i = FindOddControl(piece); i != std::u16string_view::npos;
       i = FindOddControl(piece, i + 1)) {
    if (piece[i] != u'\n') continue;
    with_cr_.clear();
    with_cr_.reserve(piece.size() + 16);
    for (size_t k = 0; k < piece.size(); ++k) {
      if (piece[k] == u'\n' && (k == 0 ? before : piece[k - 1]) != u'\r') with_cr_.push_back(u'\r');
      with_cr_.push_back(piece[k]);
    }
    lines = with_cr_;
    break;
  }
  return Put(lines, bytes) && ok;
}

bool TextEncoder::Finish(std::string& bytes) {
  if (encoding_ == kEncodingUtf16) {
    if (!started_) bytes += "\xFF\xFE";
    started_ = true;
    bytes.append(2, '\0');
    return true;
  }
  if (!started_ && encoding_ == kEncodingUtf8) bytes += "\xEF\xBB\xBF";
  started_ = true;
  if (!held_) return true;
  const char16_t lone = held_;
  held_ = 0;
  return Put(std::u16string_view(&lone, 1), bytes);
}

std::string EncodeText(std::u16string_view text, int encoding, std::string_view code_page) {
  std::string bytes;
  TextEncoder encoder(encoding, code_page);
  if (encoder.Add(text, bytes) && encoder.Finish(bytes)) return bytes;
  // "ANSI" is the system's 8-bit-compatible encoding, UTF-8 on Linux; a file read in a legacy
  // code page goes back in it while every character fits.
  bytes.clear();
  TextEncoder utf8(kEncoding8Bit, {});
  utf8.Add(text, bytes);
  utf8.Finish(bytes);
  return bytes;
}

WriteOutcome WriteTextFileEx(const std::filesystem::path& path, std::u16string_view text,
                             int encoding, std::string_view code_page) {
  WriteOutcome outcome;
  const std::string bytes = EncodeText(text, encoding, code_page);
  outcome.ok = WriteFileAtomically(path, bytes, &outcome.reason);
  return outcome;
}

int WriteTextFile(const std::filesystem::path& path, std::u16string_view text, int encoding,
                  std::string_view code_page) {
  return WriteTextFileEx(path, text, encoding, code_page).ok ? 1 : 0;
}

namespace {
// Whole large pages (2 MiB on x86-64): the memory is used again once the text is freed, and a
// range given back in large pages comes back in large pages, not in thousands of small ones
// (a fix run after loading a 16 MB file was 15 % slower with small pages).
constexpr uintptr_t kPage = 2 << 20;
// One call per few megabytes, so the kernel's work is nothing beside the reading.
constexpr uintptr_t kGiveBackStep = 4 << 20;
}  // namespace

TextGiveBack::TextGiveBack(std::u16string_view text, bool on) : text_(text), on_(on) {
  given_ = (reinterpret_cast<uintptr_t>(text.data()) + kPage - 1) & ~(kPage - 1);
}

void TextGiveBack::ReadUpTo(size_t pos) {
  if (!on_) return;
  const uintptr_t to =
      (reinterpret_cast<uintptr_t>(text_.data() + std::min(pos, text_.size()))) & ~(kPage - 1);
  if (to < given_ + kGiveBackStep) return;
  // The pages of a block still in use: the allocator never looks inside it, and whoever reads
  // there again finds zeros, not freed memory.
  ::madvise(reinterpret_cast<void*>(given_), to - given_, MADV_DONTNEED);
  given_ = to;
}

size_t CountLines(std::u16string_view text) {
  size_t n = 1;
  ForEachUnit(text, u'\n', [&](size_t) { ++n; });
  return n;
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  std::vector<std::u16string_view> lines;
  // Room for lines of 16 units on average, CR LF included (subtitle files average about 20).
  lines.reserve(text.size() / 16 + 1);
  // As LineWalk visits them, in one pass over the text.
  size_t start = 0;
  ForEachUnit(text, u'\r', [&](size_t i) {
    if (i < start || i + 1 >= text.size() || text[i + 1] != u'\n') return;
    lines.push_back(text.substr(start, i - start));
    start = i + 2;
  });
  if (start < text.size()) lines.push_back(text.substr(start));
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
