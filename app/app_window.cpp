#include "app/app_window.h"

#include <unistd.h>
#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTabWidget>
#include <QtEndian>

#include "check/text_measurer_qt.h"
#include "core/dialogs_qt.h"
#include "core/hold_on_window.h"
#include "core/paths.h"
#include "core/process_runner_qt.h"
#include "core/prompter_qt.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "core/update_fetch_qt.h"
#include "core/version.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "movie/mpv_player_qt.h"
#include "movie/pulse_volume_qt.h"
#include "pages/page_table.h"
#include "workbench/save_dialogs.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitTesseraResources() {
  Q_INIT_RESOURCE(tessera);
}

namespace tessera {

std::optional<StartOptions> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error) {
  StartOptions o;
  std::string path;
  bool have_path = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      o.print = std::string(kUsage) +
                "\n\nOpens the subtitle file PATH, or the last one when \"Reload Sub\" is set.\n"
                "  --config FILE  read and write the settings in FILE\n"
                "  --movie FILE   start on the Play Movie page with the movie FILE, as Open AVI\n"
                "                 would (it becomes the \"Last AVI\")\n"
                "  --help         show this text\n  --version      show the version\n";
      return o;
    }
    if (a == "--version") {
      o.print = std::string("Tessera ") + VersionText() + "\n";
      return o;
    }
    if (a == "--config") {
      if (i + 1 >= args.size()) {
        error = "--config needs a file name";
        return std::nullopt;
      }
      o.config = std::filesystem::path(args[++i]);
    } else if (a.rfind("--config=", 0) == 0) {
      o.config = std::filesystem::path(a.substr(9));
    } else if (a == "--movie") {
      if (i + 1 >= args.size()) {
        error = "--movie needs a file name";
        return std::nullopt;
      }
      o.movie = FromUtf8(args[++i]);
    } else if (a.rfind("--movie=", 0) == 0) {
      o.movie = FromUtf8(a.substr(8));
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (have_path) {
      error = "one subtitle file at a time";
      return std::nullopt;
    } else {
      path = a;
      have_path = true;
    }
  }
  std::u16string p = FromUtf8(path);
  ReplaceAll(p, u"\"", u"");
  o.path = std::move(p);
  return o;
}

QString IdentityServerName() {
  return QStringLiteral("Tessera-%1").arg(static_cast<qulonglong>(getuid()));
}

CTesseraApp::CTesseraApp(StartOptions options, ServiceOverrides overrides)
    : options_(std::move(options)) {
  Prompter* prompter = overrides.prompter;
  if (!prompter) prompter = (qt_prompter_ = std::make_unique<QtPrompter>()).get();
  DialogService* dialogs = overrides.dialogs;
  if (!dialogs) dialogs = (qt_dialogs_ = std::make_unique<QtDialogService>()).get();
  ProgressSink* progress = overrides.progress;
  if (!progress) progress = (qt_progress_ = std::make_unique<CHoldOnDialog>()).get();
  ProcessRunner* processes = overrides.processes;
  if (!processes) processes = (qt_processes_ = std::make_unique<QtProcessRunner>()).get();
  TextMeasurer* measurer = overrides.measurer;
  if (!measurer) measurer = (qt_measurer_ = std::make_unique<QtTextMeasurer>()).get();
  MoviePlayer* player = overrides.player;
  if (!player) player = (qt_player_ = std::make_unique<CVMR9Graph>()).get();
  IVolume* volume = overrides.volume;
  if (!volume) volume = (qt_volume_ = std::make_unique<CVolumeOutMaster>()).get();
  ctx_ = std::unique_ptr<PageContext>(
      new PageContext{{*prompter, *dialogs, *progress, *processes, *measurer, player, volume},
                      doc_,
                      store_,
                      app_,
                      lang_,
                      history_});
  ctx_->spelling = &spelling_;
}

CTesseraApp::~CTesseraApp() {
  // The check uses the prompter, which goes before the QObject children would.
  delete update_;
  update_ = nullptr;
  // The progress window belongs to the window on screen but to us in memory.
  if (qt_progress_) qt_progress_->SetOwner(nullptr);
  window_.reset();
}

void CTesseraApp::BuildPages() {
  for (const PageEntry& e : PageTable())
    window_->AddPage(e.make(*ctx_, window_->Tabs()), e.tab_id, e.tab_title);
  window_->SetActivePage(StartPageIndex(options_.movie.empty() ? app_.start_tab : 101));
}

void CTesseraApp::InitInstance() {
  InitTesseraResources();
  QApplication::setApplicationName(QStringLiteral("Tessera"));
  QApplication::setOrganizationName(QStringLiteral("Larch & Pine Inc."));
  QGuiApplication::setDesktopFileName(QStringLiteral("Tessera"));
  QApplication::setWindowIcon(
      QIcon::fromTheme(QStringLiteral("tessera"), QIcon(QStringLiteral(":/tessera.svg"))));

  lang_.Build(options_.languages_dir.empty() ? FindDataPath("languages") : options_.languages_dir);
  store_ = SettingsStore(options_.config ? *options_.config : DefaultSettingsPath());
  lang_.SelectLanguage(store_.GetInt(u"Settings", u"Language", 0));
  LoadAppSettings(store_, app_, &doc_.Log());
  TakeStartMovie();

  window_ = std::make_unique<CMainDialog>(*ctx_);
  if (qt_prompter_) qt_prompter_->SetParent(window_.get());
  if (qt_dialogs_) qt_dialogs_->SetParent(window_.get());
  if (qt_progress_) qt_progress_->SetOwner(window_.get());
  BuildPages();
  connect(window_.get(), &CMainDialog::Finished, this, &CTesseraApp::OnFinished);
  window_->SetSaveDocumentHook([this] { return SaveDocument(); });

  StartUpdateCheck();
  LoadStartFile();
  if (options_.identity) StartIdentityServer();
  window_->Open();
}

int CTesseraApp::SaveDocument() {
  if (!SaveSubtitleDialog(doc_, store_, app_, ctx_->dialogs)) return 0;
  window_->SetCurrentFile(doc_.FilePath());
  return 1;
}

void CTesseraApp::StartUpdateCheck() {
  if (options_.version_url.empty()) return;
  const QUrl page(QString::fromStdString(options_.version_url));
  // The answer decides whether the user is sent to a web site, so it must not be forged on the
  // way; only the machine itself is trusted without TLS.
  const bool loopback = page.host() == QStringLiteral("127.0.0.1") ||
                        page.host() == QStringLiteral("localhost") ||
                        page.host() == QStringLiteral("::1");
  if (page.scheme() != QStringLiteral("https") &&
      !(page.scheme() == QStringLiteral("http") && loopback)) {
    doc_.AppendLog(Format("WARNING: The update check needs an https address, not '%s'.",
                          options_.version_url.c_str()));
    return;
  }
  update_ = new QtUpdateFetch(ctx_->prompter, page,
                              QUrl(QString::fromStdString(options_.website_url)), this);
  window_->SetUpdateCheckHook([this] { update_->Start(); });
}

// The movie of the command line goes the way of Open AVI: it becomes the "Last AVI", and the
// Play Movie page opens it when first shown, as "Reload AVI" does. The user's own "Reload AVI"
// is what is written back.
void CTesseraApp::TakeStartMovie() {
  if (options_.movie.empty()) return;
  std::error_code ec;
  const std::filesystem::path whole = std::filesystem::absolute(ToPath(options_.movie), ec);
  app_.last_avi = ec ? options_.movie : FromPath(whole.lexically_normal());
  RememberFolder(store_, u"Movie", app_.last_avi);
  stored_reload_avi_ = app_.reload_avi;
  app_.reload_avi = 1;
}

void CTesseraApp::LoadStartFile() {
  std::u16string path;
  if (!options_.path.empty()) {
    // Remembered as "Last Sub", so a path relative to the shell's folder is made whole.
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(ToUtf8(options_.path), ec);
    path = ec ? options_.path : FromPath(whole.lexically_normal());
    doc_.AppendLog(WithArgument(u"'%s' is started from an explorer window.", path));
  } else if (app_.reload_sub != 0 && !app_.last_sub.empty()) {
    path = app_.last_sub;
    doc_.AppendLog(WithArgument(lang_.Lookup(2013), path));
  } else {
    return;
  }
  app_.last_sub = path;
  SubtitleFormat format = doc_.LoadedFormat();
  // Quiet: a MicroDVD file is read at 23.976 without asking. A file that cannot be loaded leaves
  // the window untitled, as it would be without one.
  if (!LoadSubtitleFile(doc_, path, format, lang_, nullptr)) return;
  doc_.SetFilePath(path);
  doc_.SetLoadedFormat(format);
  if (app_.last_selected < doc_.Count()) doc_.SetCurrentRow(app_.last_selected);
  window_->SetCurrentFile(path);
}

int CTesseraApp::Run() {
  InitInstance();
  if (!finished_) {
    QEventLoop loop;
    connect(this, &CTesseraApp::WindowFinished, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return 0;
}

void CTesseraApp::OnFinished(bool ok) {
  finished_ = true;
  if (ok) {
    app_.last_sub = doc_.FilePath();
    app_.last_selected = doc_.CurrentRow();
    if (stored_reload_avi_ >= 0) app_.reload_avi = stored_reload_avi_;
    SaveAppSettings(store_, app_);
  }
  if (identity_) identity_->close();
  emit WindowFinished(ok);
}

void CTesseraApp::StartIdentityServer() {
  identity_ = new QLocalServer(this);
  identity_->setSocketOptions(QLocalServer::UserAccessOption);
  const QString name = IdentityServerName();
  if (!identity_->listen(name)) {
    // A socket left by a program that ended abnormally is taken over; a running one is kept.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(200)) return;
    QLocalServer::removeServer(name);
    if (!identity_->listen(name)) return;
  }
  connect(identity_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* s = identity_->nextPendingConnection()) {
      connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
      connect(s, &QLocalSocket::readyRead, s, [s] {
        while (s->bytesAvailable() >= 4) {
          const QByteArray req = s->read(4);
          if (qFromLittleEndian<quint32>(req.constData()) != kIdentityRequest) continue;
          char out[4];
          qToLittleEndian<quint32>(kIdentityAnswer, out);
          s->write(out, 4);
          s->flush();
        }
      });
    }
  });
}

}  // namespace tessera
