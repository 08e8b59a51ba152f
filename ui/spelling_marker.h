// Red wavy underlines under the unknown words of a line field, drawn again as the user types,
// and the field's context menu with the suggestions, "Add to dictionary" and "Ignore".
#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "spelling/words.h"

class QLineEdit;
class QMenu;

namespace tessera {

class LanguageTable;
class SpellingSession;

// The text of a spelling caption id (2100-2111) in the current language.
QString SpellingText(LanguageTable& lang, int id);

class SpellingMarker : public QObject {
  Q_OBJECT
 public:
  // Marks `field` with `session`'s checker; a null session marks nothing.
  SpellingMarker(QLineEdit* field, SpellingSession* session, LanguageTable& lang);

  // Checks the field again, only while it is visible (a hidden field is checked when shown).
  void Remark();
  // The unknown words underlined now.
  const std::vector<WordSpan>& Marked() const { return marked_; }
  // The field's context menu for a click at character `position`: with the suggestions, "Add to
  // dictionary" and "Ignore" first when an unknown word is there. The caller owns the menu.
  QMenu* MakeMenu(int position);

 signals:
  // The user chose `replacement` for the word at [start, start + length).
  void ReplaceRequested(int start, int length, const QString& replacement);
  // A word was added or ignored: every field should be checked again.
  void KnownWordsChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetUnderlines(const std::vector<WordSpan>& words);

  QLineEdit* field_;
  SpellingSession* session_;
  LanguageTable& lang_;
  std::vector<WordSpan> marked_;
  unsigned generation_ = 0;
  QString checked_text_;
};

// Up to eight suggestions in the context menu.
inline constexpr int kMenuSuggestions = 8;

}  // namespace tessera
