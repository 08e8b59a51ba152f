#include "core/update_fetch_qt.h"

#include <QDesktopServices>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "core/qt_text_qt.h"
#include "core/update_check.h"

namespace tessera {

namespace {
constexpr qint64 kBlockSize = 512;
}

QtUpdateFetch::QtUpdateFetch(Prompter& prompter, QUrl version_url, QUrl website_url,
                             QObject* parent, BrowserOpener open_browser)
    : QObject(parent),
      prompter_(prompter),
      version_url_(std::move(version_url)),
      website_url_(std::move(website_url)),
      open_browser_(std::move(open_browser)) {
  if (!open_browser_) open_browser_ = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

QtUpdateFetch::~QtUpdateFetch() {
  // A fetch still under way must not report into a half-destroyed object.
  if (reply_) {
    reply_->disconnect(this);
    reply_->abort();
  }
}

void QtUpdateFetch::Start() {
  if (started_) return;
  started_ = true;
  if (!version_url_.isValid() || version_url_.isEmpty()) {
    done_ = true;
    emit Finished();
    return;
  }
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  QNetworkRequest request(version_url_);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  // A site that never answers must not keep the check alive for the whole run.
  request.setTransferTimeout(30000);
  reply_ = net_.get(request);
  connect(reply_, &QNetworkReply::readyRead, this, &QtUpdateFetch::ReadBlocks);
  connect(reply_, &QNetworkReply::finished, this, &QtUpdateFetch::OnReplyFinished);
}

void QtUpdateFetch::ReadBlocks() {
  if (!reply_) return;
  // Blocks of 512 bytes until more than the limit has come; the rest is never downloaded.
  while (bytes_.size() <= kVersionPageLimit && reply_->bytesAvailable() > 0)
    bytes_ += reply_->read(kBlockSize);
  if (bytes_.size() > kVersionPageLimit) reply_->abort();
}

void QtUpdateFetch::OnReplyFinished() {
  if (done_ || !reply_) return;
  QNetworkReply* reply = reply_;
  ReadBlocks();
  const bool too_long = bytes_.size() > kVersionPageLimit;
  const bool failed = reply->error() != QNetworkReply::NoError &&
                      reply->error() != QNetworkReply::OperationCanceledError;
  reply->deleteLater();
  reply_ = nullptr;
  done_ = true;

  // A failed read reports nothing, except when enough of the page came before the failure.
  if (!failed || too_long) {
    page_ = QString::fromLatin1(bytes_);
    if (page_.size() > kVersionPageLimit) page_.truncate(kVersionPageLimit);
    if (auto question = UpdateQuestion(FromQ(page_))) {
      if (prompter_.AskYesNo(*question, {}, PromptIcon::Question)) open_browser_(website_url_);
    }
  }
  emit Finished();
}

}  // namespace tessera
