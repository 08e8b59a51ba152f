// Start-up of the window program: languages, settings, the services, the main window with its
// pages, the file to reload, and the settings written back when the window ends through Exit.
#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "spelling/spelling_session.h"

class QLocalServer;

namespace tessera {

class CHoldOnDialog;
class CVMR9Graph;
class CVolumeOutMaster;
class QtDialogService;
class QtProcessRunner;
class QtPrompter;
class QtTextMeasurer;
class QtUpdateFetch;

struct StartOptions {
  std::optional<std::filesystem::path> config;  // --config FILE
  std::u16string path;                          // the subtitle file, quotes removed
  std::u16string movie;                         // --movie FILE: opened as Open AVI would
  std::filesystem::path languages_dir;          // empty: beside the executable or installed
  bool identity = true;                         // answer on the per-user local socket
  // The update check's pages; an empty version page turns the check off.
  std::string version_url = TESSERA_VERSION_URL;
  std::string website_url = TESSERA_WEBSITE_URL;
  // --help and --version: printed on standard output instead of starting.
  std::string print;
};

// `tessera [--config FILE] [--movie FILE] [PATH]`. Returns nothing and sets `error` on a bad
// command line.
std::optional<StartOptions> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error);
inline constexpr char kUsage[] = "usage: tessera [--config FILE] [--movie FILE] [PATH]";

// The local socket through which other programs recognise a running window.
QString IdentityServerName();
inline constexpr quint32 kIdentityRequest = 0x00000400;
inline constexpr quint32 kIdentityAnswer = 0x534B0000;

// Services a test puts in place of the Qt ones; null members get the Qt ones.
struct ServiceOverrides {
  Prompter* prompter = nullptr;
  DialogService* dialogs = nullptr;
  ProgressSink* progress = nullptr;
  ProcessRunner* processes = nullptr;
  TextMeasurer* measurer = nullptr;
  MoviePlayer* player = nullptr;
  IVolume* volume = nullptr;
};

// The one composition root: builds every service once and every page from one table.
class CTesseraApp : public QObject {
  Q_OBJECT
 public:
  explicit CTesseraApp(StartOptions options, ServiceOverrides overrides = {});
  ~CTesseraApp() override;

  // Creates what the window needs and opens it; the event loop then runs it.
  void InitInstance();
  // InitInstance, then the event loop until the window has closed. Returns 0.
  int Run();

  CMainDialog* MainDialog() const { return window_.get(); }
  // The update check; null when it is turned off.
  QtUpdateFetch* UpdateCheck() const { return update_; }
  SubtitleDocument& Doc() { return doc_; }
  SettingsStore& Store() { return store_; }
  AppSettings& Settings() { return app_; }
  LanguageTable& Lang() { return lang_; }
  UndoHistory& History() { return history_; }
  bool Finished() const { return finished_; }

 signals:
  void WindowFinished(bool ok);

 private:
  void BuildPages();
  void OnFinished(bool ok);
  void StartIdentityServer();
  void StartUpdateCheck();
  void LoadStartFile();
  void TakeStartMovie();
  int SaveDocument();

  StartOptions options_;
  SubtitleDocument doc_;
  SettingsStore store_;
  AppSettings app_;
  LanguageTable lang_;
  UndoHistory history_;
  SpellingSession spelling_;
  std::unique_ptr<QtPrompter> qt_prompter_;
  std::unique_ptr<QtDialogService> qt_dialogs_;
  std::unique_ptr<CHoldOnDialog> qt_progress_;
  std::unique_ptr<QtProcessRunner> qt_processes_;
  std::unique_ptr<QtTextMeasurer> qt_measurer_;
  std::unique_ptr<CVMR9Graph> qt_player_;
  std::unique_ptr<CVolumeOutMaster> qt_volume_;
  std::unique_ptr<PageContext> ctx_;
  std::unique_ptr<CMainDialog> window_;
  QLocalServer* identity_ = nullptr;
  QtUpdateFetch* update_ = nullptr;
  bool finished_ = false;
  int stored_reload_avi_ = -1;  // the user's "Reload AVI" while --movie borrows it
};

}  // namespace tessera
