// The menu entry and the MIME package installed for desktops must agree with each other and
// with the program: every type the entry claims has a glob, and every format Tessera reads is
// claimed.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <map>
#include <set>

namespace {

const QString kAssets = QStringLiteral(TESSERA_SOURCE_DIR "/assets/");

QString ReadAll(const QString& path) {
  QFile f(path);
  EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
  return QString::fromUtf8(f.readAll());
}

std::map<QString, QString> DesktopKeys() {
  std::map<QString, QString> keys;
  for (const QString& line : ReadAll(kAssets + "tessera.desktop").split('\n')) {
    int eq = line.indexOf('=');
    if (eq > 0) keys[line.left(eq)] = line.mid(eq + 1);
  }
  return keys;
}

TEST(DesktopFiles, EntryMatchesTheProgramAndTheMimePackage) {
  auto keys = DesktopKeys();
  EXPECT_EQ(keys["Name"], "Tessera");
  EXPECT_EQ(keys["Exec"], "tessera %f");
  EXPECT_EQ(keys["StartupWMClass"], "Tessera");
  EXPECT_EQ(keys["Icon"], "tessera");

  std::map<QString, std::set<QString>> glob_of;
  QXmlStreamReader xml(ReadAll(kAssets + "tessera-mime.xml"));
  QString type;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    if (xml.name() == u"mime-type") type = xml.attributes().value("type").toString();
    if (xml.name() == u"glob") glob_of[type].insert(xml.attributes().value("pattern").toString());
  }
  ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();

  std::set<QString> globs;
  for (const QString& t : keys["MimeType"].split(';', Qt::SkipEmptyParts)) {
    SCOPED_TRACE(t.toStdString());
    ASSERT_TRUE(glob_of.count(t));
    globs.insert(glob_of[t].begin(), glob_of[t].end());
  }
  EXPECT_EQ(globs, (std::set<QString>{"*.srt", "*.ssa", "*.ass", "*.sub", "*.smi", "*.vtt"}));
}

TEST(DesktopFiles, EntryPassesTheDesktopValidator) {
  QString validator = QStandardPaths::findExecutable("desktop-file-validate");
  if (validator.isEmpty()) GTEST_SKIP() << "desktop-file-validate is not installed";
  QProcess p;
  p.start(validator, {kAssets + "tessera.desktop"});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardOutput().toStdString()
                             << p.readAllStandardError().toStdString();
}

}  // namespace
