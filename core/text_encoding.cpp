#include "core/text_encoding.h"

#include <iconv.h>
#include <uchardet.h>

#include <cerrno>
#include <memory>

#include "core/text_util.h"

namespace tessera {
namespace {

struct IconvCloser {
  void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv OpenIconv(std::string_view to, std::string_view from) {
  iconv_t cd = iconv_open(std::string(to).c_str(), std::string(from).c_str());
  return Iconv(cd == reinterpret_cast<iconv_t>(-1) ? nullptr : cd);
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

}  // namespace

std::string DetectCodePage(std::string_view bytes) {
  uchardet_t detector = uchardet_new();
  if (!detector) return {};
  std::string name;
  if (uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0) {
    uchardet_data_end(detector);
    name = uchardet_get_charset(detector);
  }
  uchardet_delete(detector);
  if (name == "ASCII" || IsUnicodeEncoding(name) || !IsKnownEncoding(name)) return {};
  return name;
}

bool IsKnownEncoding(std::string_view name) {
  return !name.empty() && OpenIconv("UTF-16LE", name) != nullptr;
}

bool IsUnicodeEncoding(std::string_view name) {
  std::string u = Upper(name);
  return u.starts_with("UTF") || u.starts_with("UCS");
}

bool DecodeWithEncoding(std::string_view bytes, std::string_view name, std::u16string& out) {
  out.clear();
  Iconv cd = OpenIconv("UTF-16LE", name);
  if (!cd) return false;
  out.resize(bytes.size() + 16);
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  size_t used = 0;
  while (true) {
    // Every encoding iconv reads gives at most two UTF-16 units per byte.
    if (out.size() - used < in_left * 2 + 8) out.resize(used + in_left * 2 + 8);
    char* dst = reinterpret_cast<char*>(out.data() + used);
    size_t dst_left = (out.size() - used) * 2;
    size_t r =
        iconv(static_cast<iconv_t>(cd.get()), in_left ? &in : nullptr, &in_left, &dst, &dst_left);
    used = out.size() - dst_left / 2;
    if (r != static_cast<size_t>(-1)) {
      if (in_left == 0) break;
      continue;
    }
    if (errno == E2BIG) continue;
    // A byte the encoding does not define (EILSEQ) or a cut-off sequence at the end (EINVAL).
    out[used++] = u'\uFFFD';
    ++in;
    --in_left;
    if (in_left == 0) break;
  }
  out.resize(used);
  if (!out.empty() && out[0] == u'\uFEFF') out.erase(0, 1);
  return true;
}

CodePageEncoder::CodePageEncoder(std::string_view name)
    : cd_(OpenIconv(name, "UTF-16LE").release()) {}

CodePageEncoder::~CodePageEncoder() {
  if (cd_) iconv_close(static_cast<iconv_t>(cd_));
}

bool CodePageEncoder::Encode(std::u16string_view text, std::string& out) {
  if (!cd_) return false;
  const size_t begin = out.size();
  out.resize(begin + text.size() * 2 + 16);
  char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
  size_t in_left = text.size() * 2;
  char* dst = out.data() + begin;
  size_t dst_left = out.size() - begin;
  while (in_left > 0) {
    size_t r = iconv(static_cast<iconv_t>(cd_), &in, &in_left, &dst, &dst_left);
    if (r != static_cast<size_t>(-1)) {
      if (r != 0) return false;  // a character was replaced by a look-alike
      break;
    }
    if (errno != E2BIG) return false;
    size_t done = out.size() - dst_left;
    out.resize(out.size() * 2);
    dst = out.data() + done;
    dst_left = out.size() - done;
  }
  out.resize(out.size() - dst_left);
  return true;
}

bool EncodeWithEncoding(std::u16string_view text, std::string_view name, std::string& out) {
  out.clear();
  return CodePageEncoder(name).Encode(text, out);
}

}  // namespace tessera
