#include "core/settings_store.h"

#include <unistd.h>

#include <cstdlib>

#include "core/paths.h"
#include "core/text_file.h"
#include "core/text_util.h"

namespace tessera {
namespace {

constexpr auto npos = std::u16string::npos;

std::u16string Header(std::u16string_view section) {
  std::u16string h = u"[";
  h += AsciiLowerCopy(section);
  h += u"]";
  return h;
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

void SettingsStore::LoadFromText(std::u16string text) {
  Adopt(std::move(text));
}

void SettingsStore::Adopt(std::u16string text) const {
  // A file that holds "ExportAsCSV" twice is a damaged one: start from the defaults.
  size_t first = text.find(u"ExportAsCSV");
  if (first != npos && text.find(u"ExportAsCSV", first + 1) != npos) text.clear();
  ReplaceAll(text, u"\r", u"");
  ReplaceAll(text, u"\n", u"\r\n");
  text_ = std::move(text);
  lower_ = AsciiLowerCopy(text_);
  loaded_ = true;
}

void SettingsStore::LoadSettings() const {
  if (loaded_) return;
  std::u16string text;
  if (!file_.empty()) ReadTextFile(file_, text);
  Adopt(std::move(text));
}

const std::u16string& SettingsStore::Text() const {
  LoadSettings();
  return text_;
}

size_t SettingsStore::FindKeyLine(std::u16string_view lower_key, size_t from, size_t until) const {
  std::u16string needle = u"\r\n";
  needle += lower_key;
  size_t v = lower_.find(needle, from);
  while (v != npos && v < until) {
    // Match the whole key only: optional blanks, then "=".
    size_t k = v + needle.size();
    while (k < lower_.size() && (lower_[k] == u' ' || lower_[k] == u'\t')) ++k;
    if (k < lower_.size() && lower_[k] == u'=') return v;
    v = lower_.find(needle, v + 1);
  }
  return npos;
}

bool SettingsStore::GetValue(std::u16string_view section, std::u16string_view key,
                             std::u16string& value) const {
  LoadSettings();
  size_t h = lower_.find(Header(section));
  if (h == npos) return false;
  size_t o = lower_.find(u'[', h + 1);
  if (o == npos) o = lower_.empty() ? 0 : lower_.size() - 1;
  size_t v = FindKeyLine(AsciiLowerCopy(key), h, o);
  if (v == npos) return false;
  size_t w = lower_.find(kCrLf, v + 2);
  if (w == npos) w = lower_.size();
  size_t e = lower_.find(u'=', v);
  if (e == npos || e > w) return false;
  std::u16string raw = Trim(std::u16string_view(text_).substr(e + 1, w - e - 1));
  ReplaceAll(raw, u"\r", u"");
  ReplaceAll(raw, u"\n", u"");
  value = std::move(raw);
  return true;
}

void SettingsStore::SetValue(std::u16string_view section, std::u16string_view key,
                             std::u16string_view value) {
  LoadSettings();
  std::u16string header = Header(section);
  size_t h = lower_.find(header);
  if (h == npos) {
    if (text_.size() >= 2 && text_.compare(text_.size() - 2, 2, kCrLf) != 0) text_ += kCrLf;
    if (!text_.empty()) text_ += kCrLf;
    h = text_.size();
    text_ += u"[";
    text_ += section;
    text_ += u"]\r\n";
    lower_ = AsciiLowerCopy(text_);
  }
  size_t c = lower_.find(u']', h);
  if (lower_.compare(c + 1, 2, kCrLf) != 0) {
    text_.insert(c + 1, kCrLf);
    lower_.insert(c + 1, kCrLf);
  }
  size_t header_end = c + 1;  // the CR LF that ends the header line
  size_t n = lower_.find(u'[', c + 3);
  if (n == npos) n = lower_.size();
  size_t v = FindKeyLine(AsciiLowerCopy(key), header_end, n);
  if (v != npos) {
    size_t line_start = v + 2;
    size_t line_end = lower_.find(kCrLf, line_start);
    line_end = line_end == npos ? lower_.size() : line_end + 2;
    text_.erase(line_start, line_end - line_start);
    lower_.erase(line_start, line_end - line_start);
  }
  std::u16string line(key);
  line += u" = ";
  // A line break would end the entry early and could start a false section; reading drops
  // line breaks from a value anyway.
  for (char16_t ch : value)
    if (ch != u'\r' && ch != u'\n') line.push_back(ch);
  line += kCrLf;
  text_.insert(c + 3, line);
  lower_.insert(c + 3, AsciiLowerCopy(line));
}

int SettingsStore::GetInt(std::u16string_view section, std::u16string_view key,
                          int default_value) const {
  std::u16string raw;
  if (!GetValue(section, key, raw)) return default_value;
  long long v = ToInteger(raw);
  if (v > 2147483647LL) v = 2147483647LL;
  if (v < -2147483647LL - 1) v = -2147483647LL - 1;
  return static_cast<int>(v);
}

bool SettingsStore::Has(std::u16string_view section, std::u16string_view key) const {
  std::u16string raw;
  return GetValue(section, key, raw);
}

std::u16string SettingsStore::GetString(std::u16string_view section, std::u16string_view key,
                                        std::u16string_view default_value) const {
  std::u16string raw;
  std::u16string value;
  if (GetValue(section, key, raw)) {
    if (raw.size() >= 2) value = raw.substr(1, raw.size() - 2);
    ReplaceAll(value, u"\\\"", u"\"");
  } else {
    value = default_value;
  }
  ReplaceAll(value, u"%5B", u"[");
  ReplaceAll(value, u"%5D", u"]");
  return value;
}

void SettingsStore::WriteInt(std::u16string_view section, std::u16string_view key, int value) {
  SetValue(section, key, Format("%d", value));
}

void SettingsStore::WriteString(std::u16string_view section, std::u16string_view key,
                                std::u16string_view value) {
  std::u16string v(value);
  ReplaceAll(v, u"[", u"%5B");
  ReplaceAll(v, u"]", u"%5D");
  ReplaceAll(v, u"\"", u"\\\"");
  SetValue(section, key, u"\"" + v + u"\"");
}

bool SettingsStore::SaveSettings() {
  LoadSettings();
  if (file_.empty()) return false;
  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  return WriteTextFile(file_, text_, kEncodingUtf16) == 1;
}

std::filesystem::path DefaultSettingsPath() {
  // The command-line program shares the window program's file.
  const std::filesystem::path name = "tessera.cfg";
  // Beside a program run from its build folder; an installed one never writes into its own
  // folder (for root, /usr/bin is writable), so removing the package leaves only this file.
  std::filesystem::path dir = ExecutableDir();
  if (!dir.empty() && InstalledDataDir().empty() && access(dir.c_str(), W_OK) == 0)
    return dir / name;
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    config = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    config = std::filesystem::path(home) / ".config";
  else
    config = "/tmp";
  return config / "tessera" / name;
}

}  // namespace tessera
