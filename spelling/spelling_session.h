// The program's one spelling checker: the dictionary the setting names, opened when first
// needed, the personal word list, and what was ignored in this session.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/message_log.h"
#include "spelling/spell_checker.h"

namespace tessera {

class SpellingSession {
 public:
  explicit SpellingSession(std::filesystem::path folder = DictionaryFolder(),
                           std::filesystem::path word_list = PersonalWordListPath());

  // Makes `setting` (a dictionary name, empty for the system's) the language. The dictionary is
  // opened, and the personal list read, on the first Checker() after a change; problems become
  // "WARNING:" lines in `log`, once per language.
  void Use(const std::u16string& setting, MessageLog* log);
  // Without an installed dictionary, a checker that knows every word.
  SpellChecker& Checker();
  std::vector<std::string> Installed() const { return InstalledDictionaries(folder_); }
  // The language in use, or the one the system's locale picks.
  std::string Language() const;

  // "Add to dictionary": known at once, and in the personal list (a failure to write it is
  // logged). "Ignore all": known until the program ends.
  void Add(std::u16string_view word);
  void Ignore(std::u16string_view word);
  // Changes whenever the known words or the language change, so marks can be drawn again.
  unsigned Generation() const { return generation_; }

 private:
  std::filesystem::path folder_;
  std::filesystem::path word_list_;
  std::u16string setting_;
  MessageLog* log_ = nullptr;
  bool opened_ = false;
  SpellChecker checker_;
  std::vector<std::u16string> ignored_;
  unsigned generation_ = 0;
};

}  // namespace tessera
