#include "core/update_fetch_qt.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTimer>
#include <memory>

#include "tests/gui/page_server.h"
#include "tests/support/scripted_dialogs.h"

namespace tessera {
namespace {

using testing::PageAnnouncing;
using testing::PageServer;
using testing::ScriptedPrompter;

const QUrl kSite(QStringLiteral("http://tessera.invalid/"));

std::u16string Question(const char16_t* version) {
  return u"A new version (V" + std::u16string(version) +
         u") of Tessera is available.\n\r\n\rWould you like to visit the Tessera web site?";
}

// Runs one check to its end; returns the addresses handed to the browser.
std::vector<QUrl> RunCheck(Prompter& prompter, const QUrl& url, QString* page = nullptr) {
  std::vector<QUrl> opened;
  QtUpdateFetch fetch(prompter, url, kSite, nullptr,
                      [&opened](const QUrl& u) { opened.push_back(u); });
  QEventLoop loop;
  bool finished = false;
  QObject::connect(&fetch, &QtUpdateFetch::Finished, &loop, [&] {
    finished = true;
    loop.quit();
  });
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  fetch.Start();
  if (!finished) loop.exec();
  EXPECT_TRUE(finished) << "the check never ended";
  if (page) *page = fetch.Page();
  return opened;
}

TEST(UpdateFetch, SameVersionAsksNothing) {
  PageServer server(PageAnnouncing("0.71"));
  ScriptedPrompter prompter;
  EXPECT_TRUE(RunCheck(prompter, server.Url()).empty());
  ASSERT_FALSE(server.Requests().empty());
  EXPECT_TRUE(server.Requests()[0].startsWith("GET /version.html HTTP/1.1\r\n"));
}

TEST(UpdateFetch, NewerVersionOffersTheSiteAndOpensItOnYes) {
  for (bool yes : {true, false}) {
    PageServer server(PageAnnouncing("0.72"));
    ScriptedPrompter prompter;
    prompter.ExpectQuestion(Question(u"0.72"), yes);
    auto opened = RunCheck(prompter, server.Url());
    if (yes) {
      ASSERT_EQ(opened.size(), 1u);
      EXPECT_EQ(opened[0], kSite);
    } else {
      EXPECT_TRUE(opened.empty());
    }
  }
  PageServer server(PageAnnouncing("1.00"));
  ScriptedPrompter prompter;
  prompter.ExpectQuestion(Question(u"1.00"), false);
  RunCheck(prompter, server.Url());
}

TEST(UpdateFetch, OnlyTheFirst750CharactersAreRead) {
  // The tag starts at character 731 and so runs past the limit.
  PageServer late(PageAnnouncing("0.99", 731 - 12));
  ScriptedPrompter prompter;
  QString page;
  EXPECT_TRUE(RunCheck(prompter, late.Url(), &page).empty());
  EXPECT_EQ(page.size(), 750);

  // A huge page is cut off early and still read for its tag.
  PageServer huge(PageAnnouncing("0.72") + QByteArray(4 << 20, 'x'));
  prompter.ExpectQuestion(Question(u"0.72"), false);
  RunCheck(prompter, huge.Url(), &page);
  EXPECT_EQ(page.size(), 750);
}

TEST(UpdateFetch, UnreadablePagesEndQuietly) {
  ScriptedPrompter prompter;
  // Nobody listens on the port of a server that has just closed.
  quint16 port;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
  }
  EXPECT_TRUE(
      RunCheck(prompter, QUrl(QStringLiteral("http://127.0.0.1:%1/v.html").arg(port))).empty());
  PageServer empty{QByteArray()};
  EXPECT_TRUE(RunCheck(prompter, empty.Url()).empty());
  static const char kBinary[] = "\0\xff\xfe<meta name=\"version\" content=\"x.yz\">";
  PageServer binary(QByteArray(kBinary, sizeof kBinary - 1));
  EXPECT_TRUE(RunCheck(prompter, binary.Url()).empty());
  EXPECT_TRUE(RunCheck(prompter, QUrl()).empty());
}

TEST(UpdateFetch, EndingTheProgramDuringAFetchIsQuiet) {
  QTcpServer silent;  // takes the connection and never answers
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
  ScriptedPrompter prompter;
  bool finished = false;
  {
    QtUpdateFetch fetch(prompter,
                        QUrl(QStringLiteral("http://127.0.0.1:%1/v.html").arg(silent.serverPort())),
                        kSite, nullptr, [](const QUrl&) { ADD_FAILURE() << "browser opened"; });
    QObject::connect(&fetch, &QtUpdateFetch::Finished, [&] { finished = true; });
    fetch.Start();
    QEventLoop loop;
    QObject::connect(&silent, &QTcpServer::newConnection, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  QCoreApplication::processEvents();
  EXPECT_FALSE(finished);
}

}  // namespace
}  // namespace tessera
