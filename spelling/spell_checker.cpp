#include "spelling/spell_checker.h"

#include <hunspell.hxx>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/atomic_write.h"
#include "core/text_encoding.h"
#include "core/text_util.h"
#include "spelling/words.h"

namespace tessera {
namespace fs = std::filesystem;

namespace {

std::string Joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out.empty() ? "none" : out;
}

bool IsListWord(std::u16string_view w) {
  if (w.empty() || w.size() > kLongestWord) return false;
  for (char16_t c : w)
    if (c < 0x20 || c == u' ' || c == 0x7F || c == 0xFFFD) return false;
  return true;
}

// The typographic apostrophe as the dictionaries spell it.
std::u16string Normalised(std::u16string_view word) {
  std::u16string w(word);
  std::replace(w.begin(), w.end(), u'\u2019', u'\'');
  return w;
}

}  // namespace

fs::path DictionaryFolder() {
  const char* env = std::getenv("DICPATH");
  if (env && *env) {
    const std::string first = std::string(env).substr(0, std::string(env).find(':'));
    if (!first.empty()) return first;
  }
  return "/usr/share/hunspell";
}

std::vector<std::string> InstalledDictionaries(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (p.extension() != ".dic") continue;
    fs::path aff = p;
    aff.replace_extension(".aff");
    std::error_code e1, e2;
    if (fs::is_regular_file(p, e1) && fs::is_regular_file(aff, e2))
      names.push_back(p.stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string LocaleLanguage(std::string_view locale) {
  const size_t cut = locale.find_first_of(".@");
  std::string name(locale.substr(0, cut));
  if (name == "C" || name == "POSIX") return {};
  return name;
}

std::string DefaultSpellingLanguage(const std::vector<std::string>& installed) {
  if (installed.empty()) return {};
  const auto has = [&](const std::string& n) {
    return std::find(installed.begin(), installed.end(), n) != installed.end();
  };
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(var);
    if (!value || !*value) continue;
    const std::string lang = LocaleLanguage(value);
    if (lang.empty()) break;
    if (has(lang)) return lang;
    const std::string base = lang.substr(0, lang.find('_'));
    if (has(base)) return base;
    for (const std::string& n : installed)
      if (n.rfind(base + "_", 0) == 0) return n;
    break;
  }
  return has("en_US") ? "en_US" : installed.front();
}

std::string AffixEncoding(const fs::path& aff) {
  std::ifstream in(aff, std::ios::binary);
  std::string line;
  for (int n = 0; n < 1000 && std::getline(in, line); ++n) {
    if (line.rfind("SET", 0) != 0 || line.size() < 4 || (line[3] != ' ' && line[3] != '\t'))
      continue;
    std::string name = line.substr(4);
    name.erase(0, name.find_first_not_of(" \t"));
    name.erase(name.find_last_not_of(" \t\r") + 1);
    // Hunspell's names for the Windows code pages.
    if (name.rfind("microsoft-", 0) == 0) name = name.substr(10);
    if (!name.empty()) return name;
  }
  return "ISO8859-1";
}

fs::path PersonalWordListPath() {
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return fs::path(xdg) / "tessera" / "words.txt";
  const char* home = std::getenv("HOME");
  return fs::path(home && *home ? home : ".") / ".config" / "tessera" / "words.txt";
}

bool ReadWordList(const fs::path& path, std::vector<std::u16string>& words, int* skipped,
                  std::string* reason) {
  words.clear();
  if (skipped) *skipped = 0;
  std::error_code ec;
  if (!fs::exists(path, ec)) return true;
  std::ifstream in(path, std::ios::binary);
  if (!in || fs::is_directory(path, ec)) {
    if (reason) *reason = "cannot be read";
    return false;
  }
  std::string line;
  // A list is a few thousand words; a huge file is not one.
  constexpr size_t kMostWords = 1000000;
  while (std::getline(in, line) && words.size() < kMostWords) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::u16string word = Trim(FromUtf8(line));
    if (word.empty()) continue;
    if (IsListWord(word))
      words.push_back(word);
    else if (skipped)
      ++*skipped;
  }
  return true;
}

SpellChecker::SpellChecker() = default;
SpellChecker::~SpellChecker() = default;

bool SpellChecker::Open(const fs::path& folder, const std::string& language, std::string* error) {
  hunspell_.reset();
  known_.clear();
  language_ = language;
  const std::vector<std::string> installed = InstalledDictionaries(folder);
  if (std::find(installed.begin(), installed.end(), language) == installed.end()) {
    if (error)
      *error = "The dictionary \"" + language + "\" is not installed in " + folder.string() +
               "; installed: " + Joined(installed) + ".";
    return false;
  }
  const fs::path aff = folder / (language + ".aff"), dic = folder / (language + ".dic");
  encoding_ = AffixEncoding(aff);
  utf8_ = encoding_ == "UTF-8" || encoding_ == "utf-8";
  if (!utf8_ && !IsKnownEncoding(encoding_)) {
    if (error)
      *error = "The dictionary \"" + language + "\" uses the encoding " + encoding_ +
               ", which this system cannot convert.";
    return false;
  }
  hunspell_ = std::make_unique<Hunspell>(aff.c_str(), dic.c_str());
  // What the personal list and Ignore added stays known under the new dictionary.
  for (const std::u16string& w : accepted_) {
    std::string bytes;
    if (Encode(w, bytes)) hunspell_->add(bytes);
  }
  return true;
}

bool SpellChecker::Encode(std::u16string_view word, std::string& out) const {
  const std::u16string w = Normalised(word);
  if (utf8_) {
    out = ToUtf8(w);
    return true;
  }
  return EncodeWithEncoding(w, encoding_, out);
}

bool SpellChecker::Check(std::u16string_view word) {
  if (!hunspell_ || word.empty()) return true;
  const std::u16string key(word);
  if (accepted_.count(key)) return true;
  if (auto it = known_.find(key); it != known_.end()) return it->second;
  std::string bytes;
  const bool known = word.size() <= kLongestWord && Encode(word, bytes) && hunspell_->spell(bytes);
  known_.emplace(key, known);
  return known;
}

std::vector<std::u16string> SpellChecker::Suggest(std::u16string_view word, size_t max) {
  std::vector<std::u16string> out;
  std::string bytes;
  if (!hunspell_ || word.size() > kLongestWord || !Encode(word, bytes)) return out;
  for (const std::string& s : hunspell_->suggest(bytes)) {
    if (out.size() >= max) break;
    std::u16string text;
    if (utf8_)
      text = FromUtf8(s);
    else if (!DecodeWithEncoding(s, encoding_, text))
      continue;
    out.push_back(std::move(text));
  }
  return out;
}

void SpellChecker::Ignore(std::u16string_view word) {
  if (!word.empty()) accepted_.emplace(word);
}

void SpellChecker::Accept(std::u16string_view word) {
  if (word.empty()) return;
  accepted_.emplace(word);
  std::string bytes;
  // Hunspell's own list also takes the capitalised forms ("tessera" accepts "Tessera").
  if (hunspell_ && word.size() <= kLongestWord && Encode(word, bytes)) hunspell_->add(bytes);
  known_.clear();
}

void SpellChecker::AcceptAll(const std::vector<std::u16string>& words) {
  for (const std::u16string& w : words) Accept(w);
}

bool AddToPersonalList(SpellChecker& checker, const fs::path& path, std::u16string_view word,
                       std::string* reason) {
  checker.Accept(word);
  std::vector<std::u16string> words;
  if (!ReadWordList(path, words, nullptr, reason)) return false;
  if (std::find(words.begin(), words.end(), word) != words.end()) return true;
  // Appended to the bytes as they are, so lines this program does not understand stay.
  std::string bytes;
  std::error_code ec;
  if (fs::exists(path, ec)) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
      if (reason) *reason = "cannot be read";
      return false;
    }
  }
  if (!bytes.empty() && bytes.back() != '\n') bytes.push_back('\n');
  bytes += ToUtf8(word) + "\n";
  fs::create_directories(path.parent_path(), ec);
  return WriteFileAtomically(path, bytes, reason);
}

}  // namespace tessera
