#include "spelling/spelling_session.h"

#include "core/text_util.h"

namespace tessera {

SpellingSession::SpellingSession(std::filesystem::path folder, std::filesystem::path word_list)
    : folder_(std::move(folder)), word_list_(std::move(word_list)) {}

void SpellingSession::Use(const std::u16string& setting, MessageLog* log) {
  log_ = log;
  if (opened_ && setting == setting_) return;
  setting_ = setting;
  opened_ = false;
  ++generation_;
}

std::string SpellingSession::Language() const {
  return setting_.empty() ? DefaultSpellingLanguage(Installed()) : ToUtf8(setting_);
}

SpellChecker& SpellingSession::Checker() {
  if (opened_) return checker_;
  opened_ = true;
  const std::string language = Language();
  std::string error;
  if (language.empty()) {
    if (log_)
      log_->Append(FromUtf8("WARNING: No spelling dictionary is installed in " + folder_.string() +
                            "; spelling is not checked."));
    checker_.Open(folder_, language);
    return checker_;
  }
  if (!checker_.Open(folder_, language, &error) && log_)
    log_->Append(FromUtf8("WARNING: " + error + " Spelling is not checked."));
  std::vector<std::u16string> words;
  int skipped = 0;
  if (!ReadWordList(word_list_, words, &skipped, &error) && log_)
    log_->Append(
        FromUtf8("WARNING: The personal word list " + word_list_.string() + " " + error + "."));
  else if (skipped > 0 && log_)
    log_->Append(Format("WARNING: %d lines of the personal word list %s are no words; skipped.",
                        skipped, word_list_.c_str()));
  checker_.AcceptAll(words);
  for (const std::u16string& w : ignored_) checker_.Ignore(w);
  return checker_;
}

void SpellingSession::Add(std::u16string_view word) {
  std::string reason;
  if (!AddToPersonalList(Checker(), word_list_, word, &reason) && log_)
    log_->Append(FromUtf8("WARNING: The word \"" + ToUtf8(word) +
                          "\" could not be added to the personal word list " + word_list_.string() +
                          ": " + reason + "."));
  ++generation_;
}

void SpellingSession::Ignore(std::u16string_view word) {
  ignored_.emplace_back(word);
  Checker().Ignore(word);
  ++generation_;
}

}  // namespace tessera
