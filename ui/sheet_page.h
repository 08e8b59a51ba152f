// What every page of the main window shares: the services it is handed, the header strip,
// and the activation hooks the main window calls when the user switches tabs.
#pragma once

#include <QWidget>

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"

namespace tessera {

class HeaderStrip;
class LogPanel;

// The main window as the pages see it.
class MainWindowHost {
 public:
  virtual ~MainWindowHost() = default;
  // The caption's file name.
  virtual void SetCurrentFile(const std::u16string& path) = 0;
  // What an Exit button does: the window ends with OK, so the settings are written.
  virtual void EndWithOk() = 0;
};

struct PageContext {
  SubtitleDocument& doc;
  SettingsStore& store;
  AppSettings& app;
  LanguageTable& lang;
  Prompter& prompter;
  DialogService& dialogs;
  MainWindowHost* host = nullptr;
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

class CSheetPage : public QWidget {
  Q_OBJECT
 public:
  CSheetPage(PageContext& ctx, QWidget* parent = nullptr);

  // The page became the visible page / another page became visible.
  virtual void OnActivate();
  virtual void OnDeactivate() {}
  // The main window is closing: a page finishes or stops what still runs.
  virtual void OnWindowClosing() {}
  // A keyboard shortcut while this page is active; true when the page acted on it.
  virtual bool OnShortcut(int command) {
    (void)command;
    return false;
  }

  HeaderStrip* Header() const { return header_; }
  PageContext& Context() { return ctx_; }

 protected:
  // Header texts by language-table id (0: the fixed English text given).
  void SetHeaderIds(int title_id, int description_id, const char16_t* fixed_title = nullptr,
                    const char16_t* fixed_description = nullptr);
  // The caption a control of this page shows for `id`, with the designed English default.
  QString Caption(int id, const QString& designed = {});

  PageContext& ctx_;
  HeaderStrip* header_ = nullptr;

 private:
  int title_id_ = 0, description_id_ = 0;
  QString fixed_title_, fixed_description_;
};

}  // namespace tessera
