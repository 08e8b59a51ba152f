// Hunspell with the system's dictionaries and the user's personal word list.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class Hunspell;

namespace tessera {

// The dictionary folder: the first folder of DICPATH (Hunspell's own variable) when it is set,
// else /usr/share/hunspell, where Debian installs them.
std::filesystem::path DictionaryFolder();

// The languages ("en_US", "nl") that have both an .aff and a .dic file in `folder`, sorted;
// empty for a folder that does not exist or holds none.
std::vector<std::string> InstalledDictionaries(const std::filesystem::path& folder);

// The language of a locale name: "nl_NL.UTF-8@euro" -> "nl_NL"; empty for "C" and "POSIX".
std::string LocaleLanguage(std::string_view locale);

// The dictionary for the system locale (LC_ALL, LC_MESSAGES, LANG): that language when it is
// installed, else one of the same language ("nl" for nl_NL), else en_US, else the first one;
// empty when none is installed.
std::string DefaultSpellingLanguage(const std::vector<std::string>& installed);

// The encoding the SET line of an affix file names, as iconv spells it; Hunspell's default
// ISO8859-1 when there is none.
std::string AffixEncoding(const std::filesystem::path& aff);

// $XDG_CONFIG_HOME/tessera/words.txt, else ~/.config/tessera/words.txt.
std::filesystem::path PersonalWordListPath();

// The personal word list: one word a line, UTF-8. Lines that are no word (binary, invalid
// UTF-8, blanks inside, over 100 characters) are left out and counted in `skipped`. A missing
// file is an empty list; false (and the reason) when the file exists but cannot be read.
bool ReadWordList(const std::filesystem::path& path, std::vector<std::u16string>& words,
                  int* skipped = nullptr, std::string* reason = nullptr);

// Words longer than this are never handed to Hunspell (it refuses them anyway): unknown.
inline constexpr size_t kLongestWord = 100;

class SpellChecker {
 public:
  SpellChecker();
  ~SpellChecker();
  SpellChecker(const SpellChecker&) = delete;
  SpellChecker& operator=(const SpellChecker&) = delete;

  // Loads `language` from `folder`. False with a message ("The dictionary \"xx\" is not
  // installed; installed: en_US, nl.") when it cannot; the checker then has no dictionary.
  bool Open(const std::filesystem::path& folder, const std::string& language,
            std::string* error = nullptr);
  bool IsOpen() const { return hunspell_ != nullptr; }
  const std::string& Language() const { return language_; }
  const std::string& Encoding() const { return encoding_; }

  // True when the dictionary, the personal list or an Ignore knows the word. Without a
  // dictionary every word is known, so nothing is marked.
  bool Check(std::u16string_view word);
  // At most `max` suggestions, best first.
  std::vector<std::u16string> Suggest(std::u16string_view word, size_t max = 8);

  // Known from now on, for this checker only.
  void Ignore(std::u16string_view word);
  // Known from now on, without touching the personal list file (see AddToPersonalList).
  void Accept(std::u16string_view word);
  // Accepts every word of the list.
  void AcceptAll(const std::vector<std::u16string>& words);

 private:
  // The word in the dictionary's encoding; false when it has no place there.
  bool Encode(std::u16string_view word, std::string& out) const;

  std::unique_ptr<Hunspell> hunspell_;
  std::string language_;
  std::string encoding_;
  bool utf8_ = true;
  std::unordered_set<std::u16string> accepted_;
  std::unordered_map<std::u16string, bool> known_;  // Hunspell's answers, asked once per word
};

// "Add to dictionary": the checker accepts the word, and it is added to the end of the personal
// list at `path` (written atomically; the folder is made when missing). False (and the reason) when
// the list cannot be written; the checker still accepts the word for this session.
bool AddToPersonalList(SpellChecker& checker, const std::filesystem::path& path,
                       std::u16string_view word, std::string* reason = nullptr);

}  // namespace tessera
