// The page skeleton: every page of the main window is built from a declaration of what it
// shares with the others (header strip, button rows with Exit at the right, subtitle list, log
// panel), and every change a page makes to the document runs through one place that records
// the undo step, refreshes what the change touched and recomputes the buttons.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"
#include "core/undo_history.h"

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

// Everything a page is handed: the services and the process-wide state.
struct PageContext : Services {
  SubtitleDocument& doc;
  SettingsStore& store;
  AppSettings& app;
  LanguageTable& lang;
  UndoHistory& history;
  MainWindowHost* host = nullptr;
  SpellingSession* spelling = nullptr;  // none: nothing is checked
};

// Command numbers of the keyboard shortcuts the main window routes to the active page.
enum ShortcutCommand : int {
  kCmdFindNext = 101,
  kCmdFind = 102,
  kCmdDelete = 103,
  kCmdInsert = 104,
  kCmdHome = 105,
  kCmdEnd = 106,
  kCmdEnter = 1105,
  kCmdQuickSave = 32779,
  kCmdReplace = 32781,
};

// What an action changed, so that one place refreshes just that. Buttons are recomputed after
// every action whatever it returns.
enum PageRefresh : unsigned {
  kRefreshNothing = 0,
  kRefreshRows = 1u << 0,        // cells of existing rows changed
  kRefreshRowCount = 1u << 1,    // rows were added or removed
  kRefreshCurrentRow = 1u << 2,  // the document's current row moved
  kRefreshLog = 1u << 3,         // the log panel shows the whole log again
  // A file was loaded: everything above, and the undo history starts afresh.
  kRefreshLoaded = 1u << 4,
  kRefreshCaption = 1u << 5,  // the document's file path changed
  kRefreshAll = kRefreshRows | kRefreshRowCount | kRefreshCurrentRow | kRefreshLog,
};

using PageAction = std::function<unsigned()>;

// One button of a page's button rows.
struct PageButton {
  const char* object_name;
  int caption_id;                 // language-table id; 0 keeps `english`
  const char16_t* english;        // the designed caption
  std::function<bool()> enabled;  // null: always enabled while the page is idle
  PageAction action;
  // The undo step the action records when it changes the document; null records none.
  const char16_t* undo_label = nullptr;
};

// What a page shares with the others.
struct PageLayout {
  int title_id = 0, description_id = 0;  // 0: the fixed English texts below
  const char16_t* title = nullptr;
  const char16_t* description = nullptr;
  std::vector<std::vector<PageButton>> buttons;  // rows; the first row gets Exit at its right
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
  // A keyboard shortcut while this page is active; true when the page acted on it.
  virtual bool OnShortcut(int command) {
    (void)command;
    return false;
  }
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
