#include "core/ui_texts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "core/language_table.h"
#include "core/text_file.h"
#include "core/text_util.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

// The English text of every id: built in, or the control's designed caption.
std::vector<std::u16string> EnglishTexts() {
  LanguageTable english;
  english.Build(fs::temp_directory_path() / "tessera-no-languages-here");
  std::vector<std::u16string> out;
  for (int id : LanguageTable::KeyList()) {
    std::u16string text = english.Lookup(id);
    if (text.empty() && EnglishCaption(id)) text = EnglishCaption(id);
    out.push_back(text);
  }
  return out;
}

std::string DutchFileBytes() {
  std::ifstream in(fs::path(TESSERA_SOURCE_DIR) / "languages" / "Dutch.lng", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// printf conversions and "&" mnemonics, which a translation must keep.
std::string Markers(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') out += "&";
    if (text[i] != u'%') continue;
    size_t j = i + 1;
    while (j < text.size() &&
           std::u16string_view(u"-+ #0123456789.").find(text[j]) != std::u16string_view::npos)
      ++j;
    if (j < text.size()) out += ToUtf8(text.substr(i, j + 1 - i)) + " ";
    i = j;
  }
  return out;
}

TEST(UiTexts, CaptionsCoverOnlyControlIdsWithoutBuiltInText) {
  LanguageTable english;
  english.Build(fs::temp_directory_path() / "tessera-no-languages-here");
  const auto& keys = LanguageTable::KeyList();
  std::set<int> keyed(keys.begin(), keys.end());
  int captions = 0;
  for (int id = 0; id < 10000; ++id) {
    const char16_t* c = EnglishCaption(id);
    if (!c) continue;
    ++captions;
    EXPECT_TRUE(keyed.count(id)) << id << " is not in the key list";
    EXPECT_NE(*c, u'\0') << id;
    EXPECT_TRUE(english.Lookup(id).empty()) << id << " already has a built-in text";
  }
  EXPECT_GT(captions, 0);
  for (int id : {1000, 1100, 1905, 1909, 1910, 2002}) EXPECT_EQ(EnglishCaption(id), nullptr) << id;
  // No control carries the first key or the Options page's unused ids; every other id has a text.
  const std::set<int> without_text = {1000, 1905, 1909, 1910};
  std::vector<std::u16string> texts = EnglishTexts();
  for (size_t i = 0; i < keys.size(); ++i)
    EXPECT_EQ(texts[i].empty(), without_text.count(keys[i]) == 1) << keys[i];
  EXPECT_EQ(std::u16string(EnglishCaption(1108)), u"Exit");
  EXPECT_EQ(std::u16string(EnglishCaption(1611)), u"&Play");
}

TEST(UiTexts, DutchFileTranslatesEveryEnglishText) {
  std::string bytes = DutchFileBytes();
  ASSERT_FALSE(bytes.empty());
  std::u16string text;
  EXPECT_EQ(DecodeTextBytes(bytes, text, false), kRead8Bit) << "the file must be 8-bit text";
  std::vector<std::u16string> dutch = LanguageTable::ParseLanguageText(text);
  std::vector<std::u16string> english = EnglishTexts();
  const auto& keys = LanguageTable::KeyList();
  ASSERT_EQ(dutch.size(), keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    if (english[i].empty()) {
      EXPECT_TRUE(dutch[i].empty()) << keys[i] << " has no English text to translate";
      continue;
    }
    EXPECT_FALSE(dutch[i].empty()) << keys[i] << " \"" << ToUtf8(english[i]) << "\"";
    EXPECT_EQ(Markers(dutch[i]), Markers(english[i])) << keys[i];
    EXPECT_EQ(dutch[i].starts_with(u"  "), english[i].starts_with(u"  ")) << keys[i];
  }

  // Every numbered line belongs to a translated id, and none is given twice.
  std::set<int> seen;
  for (std::u16string_view l : SplitLines(text)) {
    if (l.size() < 5 || l[4] != u'=') continue;
    int id = static_cast<int>(ToInteger(l.substr(0, 4)));
    EXPECT_TRUE(seen.insert(id).second) << id << " appears twice";
    auto k = std::find(keys.begin(), keys.end(), id);
    EXPECT_TRUE(k != keys.end() && !english[k - keys.begin()].empty()) << id << " is not used";
  }
}

TEST(UiTexts, DutchIsAvailableBesideTheBuiltPrograms) {
  LanguageTable t;
  t.Build(fs::path(TESSERA_BINARY_DIR) / "languages");
  ASSERT_TRUE(t.SelectLanguage(1));
  EXPECT_EQ(t.Lookup(1100), u"Bestandsbewerkingen");
  EXPECT_EQ(t.Lookup(1300), u"Fouten herstellen");
  EXPECT_EQ(t.Lookup(1500), u"Synchroniseren");
  EXPECT_EQ(t.LanguageName(1), u"Nederlands");
  EXPECT_EQ(t.ApplyCaption(1103, EnglishCaption(1103)), u"Openen");
}

}  // namespace
}  // namespace tessera
