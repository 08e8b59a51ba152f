#include "core/language_table.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/text_file.h"
#include "core/text_util.h"

namespace tessera {
namespace {

const char16_t* const kLanguageNames[] = {u"English", u"Dutch"};

std::vector<int> MakeKeyList() {
  std::vector<int> keys;
  auto range = [&](int a, int b) {
    for (int i = a; i <= b; ++i) keys.push_back(i);
  };
  range(1000, 1002);
  range(1100, 1108);
  range(1200, 1200);
  range(1300, 1323);
  range(1400, 1400);
  range(1500, 1523);
  range(1600, 1621);
  range(1700, 1717);
  range(1800, 1810);
  range(1900, 1919);
  range(2000, 2015);
  range(kIncorrectNumbersMessageId, kIncorrectNumbersMessageId);
  range(2100, 2111);
  range(3000, 3000);
  range(8000, 8006);
  range(9000, 9001);
  return keys;
}

const std::u16string& Unknown() {
  static const std::u16string s = u"???";
  return s;
}

}  // namespace

const std::vector<int>& LanguageTable::KeyList() {
  static const std::vector<int> keys = MakeKeyList();
  return keys;
}

LanguageTable::LanguageTable()
    : available_{true, false},
      loaded_{true, false},
      files_(2),
      texts_(2, std::vector<std::u16string>(KeyList().size())) {}

int LanguageTable::IndexOf(int id) const {
  const auto& keys = KeyList();
  auto it = std::lower_bound(keys.begin(), keys.end(), id);
  if (it == keys.end() || *it != id) return -1;
  return static_cast<int>(it - keys.begin());
}

std::vector<std::u16string> LanguageTable::ParseLanguageText(const std::u16string& text) {
  std::vector<std::u16string> out;
  out.reserve(KeyList().size());
  // Where each "NNNN=" first occurs, in one pass: looking for every key in turn would read the
  // file once per key, on every start of the program.
  std::vector<size_t> first(10000, std::u16string::npos);
  const auto digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  for (size_t q = text.find(u'=', 4); q != std::u16string::npos; q = text.find(u'=', q + 1)) {
    if (!digit(text[q - 4]) || !digit(text[q - 3]) || !digit(text[q - 2]) || !digit(text[q - 1]))
      continue;
    const int id = static_cast<int>(ToInteger(std::u16string_view(text).substr(q - 4, 4)));
    if (first[id] == std::u16string::npos) first[id] = q - 4;
  }
  for (int id : KeyList()) {
    size_t p = first[id];
    if (p == std::u16string::npos) {
      out.emplace_back();
      continue;
    }
    size_t e = text.find(kCrLf, p);
    std::u16string line = text.substr(p, e == std::u16string::npos ? std::u16string::npos : e - p);
    ReplaceAll(line, u"\\r", u"\r");
    ReplaceAll(line, u"\\t", u"\t");
    ReplaceAll(line, u"\\n", u"\n");
    line.resize(TrimEnd(line).size());
    out.push_back(line.size() > 5 ? line.substr(5) : std::u16string());
  }
  return out;
}

void LanguageTable::Build(const std::filesystem::path& languages_dir) {
  // A language's file is read when it is chosen: most runs never show another language.
  for (size_t lang = 1; lang < std::size(kLanguageNames); ++lang) {
    files_[lang] = languages_dir / (ToUtf8(kLanguageNames[lang]) + std::string(".lng"));
    std::error_code ec;
    available_[lang] = std::filesystem::file_size(files_[lang], ec) > 0 && !ec;
    loaded_[lang] = false;
  }
  static const std::pair<int, const char16_t*> kBuiltIn[] = {
      {1001, u"Undo"},
      {1002, u"Redo"},
      {1100, u"File Operations"},
      {1200, u"Analyze"},
      {1300, u"Fix Errors"},
      {1400, u"Edit"},
      {1500, u"Synchronize"},
      {1600, u"Play Movie"},
      {1700, u"AVI Info"},
      {1800, u"FrameRate"},
      {1900, u"Options"},
      {2000, u"Loading..."},
      {2001, u"Detected SubViewer V2.0 format."},
      {2002, u"Detected SubRip format."},
      {2003, u"Detected MicroDVD format."},
      {2004, u"Detected SubStation Alpha format."},
      {2005, u"Detected SAMI Captioning format."},
      {2006, u"Unknown format. Unable to load..."},
      {2007, u"Reading configuration file:"},
      {2008, u"Found %d OCR error entries..."},
      {2009, u"Found %d possible credit entries..."},
      {2010, u"Detected Unicode file format."},
      {2011, u"Error reading file."},
      {2012, u"Ok."},
      {2013, u"Reloading last used subtitle file %s"},
      {2014, u"Trying to open the file '%s'..."},
      {2015, u"File is too large. Can't be a valid subtitle file."},
      {kIncorrectNumbersMessageId, u"  %d incorrect displayed numbers corrected."},
      {3000, u"Cannot find the requested text."},
      {8000, u"Nr."},
      {8001, u"Start"},
      {8002, u"End"},
      {8003, u"Duration"},
      {8004, u"Line 1"},
      {8005, u"Line 2"},
      {8006, u"CPS"},
      {9000, u"English"},
      {9001, u"Dutch"},
  };
  for (const auto& [id, text] : kBuiltIn) SetDefault(id, text);
}

const std::u16string& LanguageTable::Lookup(int id) const {
  if (!Available(current_)) return Unknown();
  int i = IndexOf(id);
  if (i < 0) return Unknown();
  const std::u16string& t = texts_[current_][i];
  return t.empty() ? texts_[0][i] : t;
}

std::u16string LanguageTable::ApplyCaption(int id, const std::u16string& current_caption) {
  int i = IndexOf(id);
  if (i < 0) return current_caption;
  if (texts_[0][i].empty()) texts_[0][i] = current_caption;
  const std::u16string& t = texts_[current_][i];
  return t.empty() ? current_caption : t;
}

void LanguageTable::SetDefault(int id, std::u16string text) {
  int i = IndexOf(id);
  if (i >= 0) texts_[0][i] = std::move(text);
}

bool LanguageTable::SelectLanguage(int index) {
  if (!Available(index) || !Load(index)) return false;
  current_ = index;
  return true;
}

bool LanguageTable::Load(int index) {
  if (index == 0 || loaded_[index]) return true;
  std::ifstream in(files_[index], std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::u16string text;
  DecodeTextBytes(bytes, text, /*repair=*/false);
  if (text.empty()) {
    available_[index] = false;
    return false;
  }
  texts_[index] = ParseLanguageText(text);
  loaded_[index] = true;
  return true;
}

bool LanguageTable::Available(int index) const {
  return index >= 0 && index < static_cast<int>(available_.size()) && available_[index];
}

std::u16string LanguageTable::LanguageName(int index) const {
  return Lookup(9000 + index);
}

}  // namespace tessera
