// User-interface texts by four-digit id: English built in, Dutch from languages/Dutch.lng.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessera {

// The id of the Fix Errors count message "  %d incorrect displayed numbers corrected.".
inline constexpr int kIncorrectNumbersMessageId = 2016;

class LanguageTable {
 public:
  LanguageTable();

  // Finds languages/<name>.lng in `languages_dir` for every language after English (read when the
  // language is selected), then sets the built-in English texts.
  void Build(const std::filesystem::path& languages_dir);

  // The text of `id` in the current language (English when it has none), "???" for unknown ids.
  const std::u16string& Lookup(int id) const;

  // The caption a control should show: takes the control's current caption, which becomes the
  // English text when the id has none, and returns the current language's text or the caption.
  std::u16string ApplyCaption(int id, const std::u16string& current_caption);

  void SetDefault(int id, std::u16string text);
  bool SelectLanguage(int index);
  int CurrentLanguage() const { return current_; }
  int LanguageCount() const { return 2; }
  bool Available(int index) const;
  std::u16string LanguageName(int index) const;

  static const std::vector<int>& KeyList();
  // Texts from a language file's content (already decoded, CR LF lines), indexed like KeyList().
  static std::vector<std::u16string> ParseLanguageText(const std::u16string& text);

 private:
  int IndexOf(int id) const;
  // Reads the language's file once; false when it holds nothing.
  bool Load(int index);

  int current_ = 0;
  std::vector<bool> available_, loaded_;
  std::vector<std::filesystem::path> files_;
  std::vector<std::vector<std::u16string>> texts_;  // [language][key index]
};

}  // namespace tessera
