// The page skeleton: every page of the main window is built from a declaration of what it
// shares with the others (header strip, button rows with Exit at the right, subtitle list, log
// panel), and every change a page makes to the document runs through one place that records
// the undo step, refreshes what the change touched and recomputes the buttons.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "workbench/change_set.h"
#include "workbench/workbench.h"

class QPushButton;
class QVBoxLayout;

namespace tessera {

class HeaderStrip;
class SpellingSession;
class LogPanel;
class SubtitleListView;

// The main window as the pages see it.
class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  // The caption's file name.
  virtual void SetCurrentFile(const std::u16string& path) = 0;
  // What an Exit button does: the window ends with OK, so the settings are written.
  virtual void EndWithOk() = 0;
  // The undo history changed (a step was recorded, undone, redone or the history cleared).
  virtual void HistoryChanged() {}
  // Asks the close prompt's question before the document is replaced. True when the caller may
  // go on: nothing to save, No, or Yes and the save succeeded.
  virtual bool MayReplaceDocument() { return true; }
  // The current language changed: the caption and the tab titles show it at once.
  virtual void LanguageChanged() {}
};

// Everything a page is handed: the workbench and the window it sits in.
struct PageContext : Workbench {
  MainWindowHost* host = nullptr;
  SpellingSession* spelling = nullptr;  // none: nothing is checked
};

using PageAction = std::function<unsigned()>;

// What a key press of a command does in the page's present state.
enum class KeyUse {
  kRun,      // run the command
  kPass,     // leave the key to the focused control (a line field deletes a character)
  kSwallow,  // do nothing at all
};

// A command's keyboard shortcut: the key with its modifiers, as QKeyCombination::toCombined()
// gives them (Qt::Key_Delete, Qt::CTRL | Qt::Key_S). A key runs its command whether or not the
// button is enabled; `use` (null: always run) says when it does not.
struct PageKey {
  PageKey(int key = 0, std::function<KeyUse()> use = {}) : key(key), use(std::move(use)) {}
  int key;  // 0: none
  std::function<KeyUse()> use;
};
constexpr int CtrlKey(Qt::Key key) {
  return (Qt::CTRL | key).toCombined();
}

// One command of a page: a button of its button rows, or (in PageLayout::keys) a command only
// a key reaches. The one declaration gives caption, key, enabled-when, action and undo label.
struct PageButton {
  const char* object_name;        // null for a command without a button
  int caption_id;                 // language-table id; 0 keeps `english`
  const char16_t* english;        // the designed caption
  std::function<bool()> enabled;  // null: always enabled while the page is idle
  PageAction action;
  // The undo step the action records when it changes the document; null records none.
  const char16_t* undo_label = nullptr;
  PageKey key = {};
};

// What a page shares with the others.
struct PageLayout {
  int title_id = 0, description_id = 0;  // 0: the fixed English texts below
  const char16_t* title = nullptr;
  const char16_t* description = nullptr;
  std::vector<std::vector<PageButton>> buttons;  // rows; the first row gets Exit at its right
  std::vector<PageButton> keys;                  // the commands only a key reaches
  bool list = false;
  bool log = false;
  bool split_log_lines = false;  // each CR LF piece of an appended text is its own log line
};

class CSheetPage : public QWidget {
  Q_OBJECT
 public:
  CSheetPage(PageContext& ctx, PageLayout layout, QWidget* parent = nullptr);

  // The page became the visible page / another page became visible.
  virtual void OnActivate();
  virtual void OnDeactivate();
  // Another page or Exit was chosen: false keeps this page active (it has told the user why).
  virtual bool MayLeave() { return true; }
  // The main window is closing: a page finishes or stops what still runs.
  virtual void OnWindowClosing() {}
  // A key pressed while this page is active (key and modifiers combined, as PageKey has them):
  // runs the command declared with that key. True when the page took the key.
  bool OnShortcut(int key);
  // The document was replaced behind the page's back (undo, redo): show it again.
  void ShowDocument() { Apply(kRefreshAll); }

  // Runs a change of the document: records it as one undo step labelled `undo_label` (none when
  // null), then refreshes what the action reports and recomputes the buttons.
  void Run(const PageAction& action, const char16_t* undo_label = nullptr);
  // Typing into line field `line` (0-2) of `row`: every key is applied at once, and all the keys
  // typed into one field of one subtitle make one undo step until EndTyping (focus left).
  void RunTyped(int row, int line, const PageAction& action);
  void EndTyping() { ctx_.history.SealMerge(); }

  HeaderStrip* Header() const { return header_; }
  SubtitleListView* List() const { return list_; }
  LogPanel* Log() const { return log_; }
  QPushButton* Button(const char* object_name) const;
  PageContext& Context() { return ctx_; }

 protected:
  // The page's own controls go above the list, or between the list and the log. On a page
  // without list and log, a control added above with a stretch takes all the height left.
  void AddAboveList(QWidget* widget, int stretch = 0);
  void AddBelowList(QWidget* widget, int stretch = 0);
  // Applies what an action changed and recomputes the buttons.
  void Apply(unsigned refresh);
  // False while the page is busy (e.g. an export runs): every button but those a page keeps
  // enabled itself is then disabled.
  virtual bool Idle() const { return true; }
  // Called after the buttons were recomputed, for controls that are not buttons.
  virtual void AfterRefresh() {}
  // The caption a control of this page shows for `id`, with the designed English default.
  QString Caption(int id, const QString& designed = {});

  PageContext& ctx_;

 private:
  void ApplyCaptions();
  void UpdateButtons();

  PageLayout layout_;
  HeaderStrip* header_ = nullptr;
  SubtitleListView* list_ = nullptr;
  LogPanel* log_ = nullptr;
  QVBoxLayout* above_list_ = nullptr;
  QVBoxLayout* below_list_ = nullptr;
  QVBoxLayout* body_ = nullptr;
  int filler_ = -1;  // the stretch under the controls of a page without list and log
  struct Made {
    const PageButton* declared;
    QPushButton* button;
  };
  std::vector<Made> buttons_;
  QPushButton* exit_ = nullptr;
};

}  // namespace tessera
