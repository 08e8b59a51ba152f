// The bash completion reads the commands and options from tessera-cli's own help, so what it
// offers follows the program; this runs it in a real bash with bash-completion loaded.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

namespace {

constexpr char kBashCompletion[] = "/usr/share/bash-completion/bash_completion";

QString Complete(const QString& words) {
  const QString script =
      QStringLiteral(
          "source %1; source %2; COMP_WORDS=(%3); COMP_CWORD=$((${#COMP_WORDS[@]}-1)); "
          "COMP_LINE=\"${COMP_WORDS[*]}\"; COMP_POINT=${#COMP_LINE}; "
          "COMPREPLY=(); case ${COMP_WORDS[0]} in *tessera-cli) _tessera_cli;; *) _tessera;; esac; "
          "echo \"${COMPREPLY[*]}\"")
          .arg(kBashCompletion, TESSERA_SOURCE_DIR "/assets/tessera.bash-completion", words);
  QProcess bash;
  bash.setWorkingDirectory(TESSERA_SOURCE_DIR);
  bash.start("bash", {"-c", script});
  bash.waitForFinished(30000);
  return QString::fromUtf8(bash.readAllStandardOutput()).trimmed();
}

TEST(CompletionTest, OffersCommandsOptionsValuesAndFiles) {
  if (!QFile::exists(kBashCompletion)) GTEST_SKIP() << "bash-completion is not installed";
  const QString cli = QStringLiteral(TESSERA_BINARY_DIR "/tessera-cli");
  struct Case {
    QString words, expected;
  } cases[] = {
      {cli + " f", "fix framerate"},
      {cli + " --config x.cfg mo", "move"},
      {cli + " --", "--config --lists --encoding --set --format --help --version"},
      {cli + " move a.srt --", "--by --rows"},
      {cli + " --format ''", "srt ssa ass vtt sub txt"},
      {cli + " fix --answer ''", "yes no"},
      {cli + " convert assets/sample.s", "assets/sample.srt"},
      {"tessera --m", "--movie"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Complete(c.words).toStdString(), c.expected.toStdString()) << c.words.toStdString();
}

}  // namespace
