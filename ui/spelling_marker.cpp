#include "ui/spelling_marker.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTextCharFormat>

#include "core/language_table.h"
#include "core/qt_text_qt.h"
#include "core/ui_texts.h"
#include "spelling/spelling_run.h"
#include "spelling/spelling_session.h"

namespace tessera {

QString SpellingText(LanguageTable& lang, int id) {
  const char16_t* english = EnglishCaption(id);
  return ToQ(lang.ApplyCaption(id, english ? english : u""));
}

SpellingMarker::SpellingMarker(QLineEdit* field, SpellingSession* session, LanguageTable& lang)
    : QObject(field), field_(field), session_(session), lang_(lang) {
  field_->installEventFilter(this);
  connect(field_, &QLineEdit::textChanged, this, &SpellingMarker::Remark);
}

void SpellingMarker::Remark() {
  if (!session_ || !field_->isVisible()) return;
  const QString text = field_->text();
  if (text == checked_text_ && generation_ == session_->Generation()) return;
  checked_text_ = text;
  generation_ = session_->Generation();
  SetUnderlines(field_->isEnabled() ? UnknownWords(session_->Checker(), FromQ(text))
                                    : std::vector<WordSpan>{});
}

void SpellingMarker::SetUnderlines(const std::vector<WordSpan>& words) {
  if (words.empty() && marked_.empty()) return;
  marked_ = words;
  // A line field draws formats only through an input method event; its ranges count from the
  // cursor.
  QTextCharFormat wavy;
  wavy.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
  wavy.setUnderlineColor(Qt::red);
  QList<QInputMethodEvent::Attribute> attributes;
  const int cursor = field_->cursorPosition();
  for (const WordSpan& w : marked_)
    attributes.append({QInputMethodEvent::TextFormat, static_cast<int>(w.start) - cursor,
                       static_cast<int>(w.length), wavy});
  QInputMethodEvent event(QString(), attributes);
  QCoreApplication::sendEvent(field_, &event);
}

QMenu* SpellingMarker::MakeMenu(int position) {
  QMenu* menu = field_->createStandardContextMenu();
  if (!session_) return menu;
  Remark();
  const WordSpan* hit = nullptr;
  for (const WordSpan& w : marked_)
    if (position >= static_cast<int>(w.start) && position <= static_cast<int>(w.start + w.length))
      hit = &w;
  if (!hit) return menu;
  const int start = static_cast<int>(hit->start), length = static_cast<int>(hit->length);
  const std::u16string word = FromQ(field_->text().mid(start, length));
  QAction* first = menu->actions().value(0);
  const auto add = [&](const QString& caption, auto slot) {
    auto* a = new QAction(caption, menu);
    connect(a, &QAction::triggered, this, slot);
    menu->insertAction(first, a);
    return a;
  };
  const std::vector<std::u16string> suggestions =
      session_->Checker().Suggest(word, kMenuSuggestions);
  for (const std::u16string& s : suggestions) {
    const QString replacement = ToQ(s);
    QAction* a = add(replacement, [this, start, length, replacement] {
      emit ReplaceRequested(start, length, replacement);
    });
    QFont bold = a->font();
    bold.setBold(true);
    a->setFont(bold);
  }
  if (suggestions.empty()) add(SpellingText(lang_, 2103), [] {})->setEnabled(false);
  menu->insertSeparator(first);
  add(SpellingText(lang_, 2101), [this, word] {
    session_->Add(word);
    emit KnownWordsChanged();
  })->setObjectName(QStringLiteral("addToDictionary"));
  add(SpellingText(lang_, 2102), [this, word] {
    session_->Ignore(word);
    emit KnownWordsChanged();
  })->setObjectName(QStringLiteral("ignoreWord"));
  menu->insertSeparator(first);
  return menu;
}

bool SpellingMarker::eventFilter(QObject* watched, QEvent* event) {
  if (watched == field_) {
    if (event->type() == QEvent::Show || event->type() == QEvent::EnabledChange) {
      checked_text_.clear();
      Remark();
    } else if (event->type() == QEvent::ContextMenu && session_) {
      auto* e = static_cast<QContextMenuEvent*>(event);
      QMenu* menu = MakeMenu(field_->cursorPositionAt(e->pos()));
      menu->setAttribute(Qt::WA_DeleteOnClose);
      menu->popup(e->globalPos());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tessera
