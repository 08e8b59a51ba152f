// The once-per-run update check: reads the start of the version page without blocking the
// window, and offers to open the web site when a newer version is announced.
#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>

#include "core/services.h"

class QNetworkReply;

namespace tessera {

class QtUpdateFetch : public QObject {
  Q_OBJECT
 public:
  using BrowserOpener = std::function<void(const QUrl&)>;

  // The default opener is the user's browser.
  QtUpdateFetch(Prompter& prompter, QUrl version_url, QUrl website_url, QObject* parent = nullptr,
                BrowserOpener open_browser = {});
  ~QtUpdateFetch() override;

  // Starts the fetch; the answer arrives through the event loop. Only the first call counts.
  void Start();

  // The page as read: at most the first 750 characters.
  const QString& Page() const { return page_; }

 signals:
  // Emitted once the check has ended, whatever its outcome.
  void Finished();

 private:
  void ReadBlocks();
  void OnReplyFinished();

  Prompter& prompter_;
  QUrl version_url_, website_url_;
  BrowserOpener open_browser_;
  QNetworkAccessManager net_;
  QPointer<QNetworkReply> reply_;
  QByteArray bytes_;
  QString page_;
  bool started_ = false;
  bool done_ = false;
};

}  // namespace tessera
