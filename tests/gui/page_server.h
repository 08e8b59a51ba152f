// A tiny HTTP server on 127.0.0.1 for the update check's tests.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <memory>
#include <vector>

namespace tessera::testing {

// Answers every request on 127.0.0.1 with one page, then closes the connection.
class PageServer {
 public:
  explicit PageServer(QByteArray body) : body_(std::move(body)) {
    EXPECT_TRUE(server_.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        auto request = std::make_shared<QByteArray>();
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, request] {
          if (request->contains("\r\n\r\n")) return;
          *request += s->readAll();
          if (!request->contains("\r\n\r\n")) return;
          requests_.push_back(*request);
          s->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
          s->write(body_);
          s->disconnectFromHost();
        });
      }
    });
  }
  QUrl Url() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/version.html").arg(server_.serverPort()));
  }
  // The requests answered so far.
  const std::vector<QByteArray>& Requests() const { return requests_; }

 private:
  QTcpServer server_;
  QByteArray body_;
  std::vector<QByteArray> requests_;
};

inline QByteArray PageAnnouncing(const char* version, int filler_before = 40) {
  return "<html><head>" + QByteArray(filler_before, ' ') + "<meta name=\"version\" content=\"" +
         version + "\">\n</head><body>Tessera</body></html>\n";
}

}  // namespace tessera::testing
