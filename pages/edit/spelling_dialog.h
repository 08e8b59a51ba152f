// The Edit page's spelling run: a modeless dialog that walks through the document's unknown
// words from the current subtitle, wrapping once to the start, and offers Replace, Replace all,
// Ignore, Ignore all, Add to dictionary and Close.
#pragma once

#include <QDialog>
#include <optional>

#include "spelling/spelling_run.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessera {

class LanguageTable;
class SpellingSession;

// What the run asks of its page: changes go through the page, one undo step each.
class SpellingRunClient {
 public:
  virtual ~SpellingRunClient() = default;
  // The list shows the subtitle being checked.
  virtual void ShowSpellingRow(int row) = 0;
  // "Spelling: word -> replacement"; false when the line no longer holds the word there.
  virtual bool ReplaceSpelling(const UnknownWord& at, const std::u16string& replacement) = 0;
  // Every occurrence of the word in the document, as one step. Returns the count.
  virtual int ReplaceSpellingEverywhere(const std::u16string& word,
                                        const std::u16string& replacement) = 0;
};

class CSpellingDialog : public QDialog {
  Q_OBJECT
 public:
  CSpellingDialog(const SubtitleDocument& doc, SpellingSession& session, LanguageTable& lang,
                  SpellingRunClient& client, int start_row, QWidget* parent = nullptr);

  // The word shown now; nothing when the run is complete.
  const std::optional<UnknownWord>& Current() const { return current_; }
  QPushButton* Button(const char* object_name) const;
  QLineEdit* ReplacementField() const { return replacement_; }

 private:
  // Finds the next unknown word from (row, line, from) and shows it.
  void Advance(int row, int line, size_t from);
  void ShowCurrent();
  void Replace();
  void ReplaceAll();
  void IgnoreOnce();
  void IgnoreAll();
  void AddToDictionary();
  QPushButton* MakeButton(const char* name, int id);

  const SubtitleDocument& doc_;
  SpellingSession& session_;
  LanguageTable& lang_;
  SpellingRunClient& client_;
  int start_row_ = 0;
  bool wrapped_ = false;
  std::optional<UnknownWord> current_;
  QLabel* context_ = nullptr;
  QLineEdit* replacement_ = nullptr;
  QListWidget* suggestions_ = nullptr;
};

}  // namespace tessera
