#include "core/app_window.h"

#include <unistd.h>
#include <QApplication>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

#include "core/dialogs_qt.h"
#include "core/paths.h"
#include "core/prompter_qt.h"
#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "core/update_fetch_qt.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "pages/files/save_dialogs.h"

namespace tessera {

std::optional<StartOptions> ParseCommandLine(const std::vector<std::string>& args,
                                             std::string& error) {
  StartOptions o;
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--config") {
      if (i + 1 >= args.size()) {
        error = "--config needs a file name";
        return std::nullopt;
      }
      o.config = std::filesystem::path(args[++i]);
    } else if (a.rfind("--config=", 0) == 0) {
      o.config = std::filesystem::path(a.substr(9));
    } else {
      // A file manager may hand over a path in pieces; the pieces make up one path.
      if (!path.empty()) path += ' ';
      path += a;
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

CTesseraApp::CTesseraApp(StartOptions options, Prompter* prompter, DialogService* dialogs)
    : options_(std::move(options)), prompter_(prompter), dialogs_(dialogs) {
  if (!prompter_) {
    own_prompter_ = std::make_unique<QtPrompter>();
    prompter_ = own_prompter_.get();
  }
  if (!dialogs_) {
    own_dialogs_ = std::make_unique<QtDialogService>();
    dialogs_ = own_dialogs_.get();
  }
}

CTesseraApp::~CTesseraApp() {
  // The check uses the prompter, which goes before the QObject children would.
  delete update_;
  update_ = nullptr;
  window_.reset();
}

void CTesseraApp::InitInstance() {
  QApplication::setApplicationName(QStringLiteral("Tessera"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tessera"));
  QApplication::setOrganizationName(QStringLiteral("Larch & Pine Inc."));
  QGuiApplication::setDesktopFileName(QStringLiteral("Tessera"));

  lang_.Build(options_.languages_dir.empty() ? FindDataPath("languages") : options_.languages_dir);
  store_ = SettingsStore(options_.config ? *options_.config : DefaultSettingsPath());
  lang_.SelectLanguage(store_.GetInt(u"Settings", u"Language", 0));
  LoadAppSettings(store_, app_);

  ctx_ = std::unique_ptr<PageContext>(
      new PageContext{doc_, store_, app_, lang_, *prompter_, *dialogs_, nullptr});
  window_ = std::make_unique<CMainDialog>(*ctx_, files_page_);
  if (auto* p = dynamic_cast<QtPrompter*>(prompter_)) p->SetParent(window_.get());
  if (auto* d = dynamic_cast<QtDialogService*>(dialogs_)) d->SetParent(window_.get());
  connect(window_.get(), &CMainDialog::Finished, this, &CTesseraApp::OnFinished);
  window_->SetSaveDocumentHook([this] {
    CMainDialog* w = window_.get();
    return SaveSubtitleDialog(doc_, store_, app_, *dialogs_,
                              [w](const std::u16string& path) { w->SetCurrentFile(path); });
  });

  if (!options_.version_url.empty()) {
    update_ = new QtUpdateFetch(*prompter_, QUrl(QString::fromStdString(options_.version_url)),
                                QUrl(QString::fromStdString(options_.website_url)), this);
    window_->SetUpdateCheckHook([this] { update_->Start(); });
  }

  LoadStartFile();
  if (options_.identity) StartIdentityServer();
  window_->Open();
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
  doc_.SetFilePath(path);
  SubtitleFormat format = doc_.LoadedFormat();
  // Quiet: a MicroDVD file is read at 23.976 without asking.
  LoadSubtitleFile(doc_, path, format, lang_, nullptr);
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
