// Start-up of the window program: languages, settings, the main window, the file to reload,
// and the settings written back when the window ends through an Exit button.
#pragma once

#include <QObject>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/main_window.h"

class QLocalServer;

namespace tessera {

class QtUpdateFetch;

struct StartOptions {
  std::optional<std::filesystem::path> config;  // --config FILE
  std::u16string path;                          // the subtitle file, quotes removed
  std::filesystem::path languages_dir;          // empty: beside the executable or installed
  bool identity = true;                         // answer on the per-user local socket
  // The update check's pages; an empty version page turns the check off.
  std::string version_url = TESSERA_VERSION_URL;
  std::string website_url = TESSERA_WEBSITE_URL;
};

// `tessera [--config FILE] [PATH]`. Returns nothing and sets `error` on a bad command line.
std::optional<StartOptions> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error);

// The local socket through which other programs recognise a running window.
QString IdentityServerName();
inline constexpr quint32 kIdentityRequest = 0x00000400;
inline constexpr quint32 kIdentityAnswer = 0x534B0000;

class CTesseraApp : public QObject {
  Q_OBJECT
 public:
  // Null services get the Qt ones.
  explicit CTesseraApp(StartOptions options, Prompter* prompter = nullptr,
                       DialogService* dialogs = nullptr);
  ~CTesseraApp() override;

  // Builds the File Operations page; set before InitInstance.
  void SetFilesPageFactory(CMainDialog::PageFactory factory) { files_page_ = std::move(factory); }
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
  bool Finished() const { return finished_; }

 signals:
  void WindowFinished(bool ok);

 private:
  void OnFinished(bool ok);
  void StartIdentityServer();
  void LoadStartFile();

  StartOptions options_;
  SubtitleDocument doc_;
  SettingsStore store_;
  AppSettings app_;
  LanguageTable lang_;
  std::unique_ptr<Prompter> own_prompter_;
  std::unique_ptr<DialogService> own_dialogs_;
  Prompter* prompter_;
  DialogService* dialogs_;
  std::unique_ptr<PageContext> ctx_;
  CMainDialog::PageFactory files_page_;
  std::unique_ptr<CMainDialog> window_;
  QLocalServer* identity_ = nullptr;
  QtUpdateFetch* update_ = nullptr;
  bool finished_ = false;
};

}  // namespace tessera
