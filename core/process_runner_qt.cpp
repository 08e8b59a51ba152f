#include "core/process_runner_qt.h"

#include <QStringList>

#include "core/qt_text_qt.h"

namespace tessera {

QtProcessRunner::QtProcessRunner() {
  // The encoder's console output is of no use to us; it is read only so that the pipes
  // never fill up and block the child.
  QObject::connect(&process_, &QProcess::readyReadStandardOutput, &process_,
                   [this] { process_.readAllStandardOutput(); });
  QObject::connect(&process_, &QProcess::readyReadStandardError, &process_,
                   [this] { process_.readAllStandardError(); });
}

QtProcessRunner::~QtProcessRunner() {
  Stop();
}

bool QtProcessRunner::Start(const std::u16string& program,
                            const std::vector<std::u16string>& arguments) {
  if (process_.state() != QProcess::NotRunning) return false;
  QStringList args;
  for (const auto& a : arguments) args << ToQ(a);
  process_.setProgram(ToQ(program));
  process_.setArguments(args);
  process_.start();
  if (!process_.waitForStarted(5000)) return false;
  process_.closeWriteChannel();
  return true;
}

bool QtProcessRunner::IsRunning() {
  return process_.state() != QProcess::NotRunning;
}

bool QtProcessRunner::WaitForEnd(int ms) {
  if (process_.state() == QProcess::NotRunning) return true;
  return process_.waitForFinished(ms) || process_.state() == QProcess::NotRunning;
}

void QtProcessRunner::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(1000)) {
    process_.kill();
    process_.waitForFinished(1000);
  }
}

}  // namespace tessera
