// The encoder export on the Qt event loop: the child process through QProcess and the
// progress passes from a timer, so the window stays responsive while the encoder runs.
#pragma once

#include <QObject>
#include <QProcess>
#include <QTimer>

#include "pages/files/dvd_export.h"

namespace tessera {

class QtProcessRunner final : public ProcessRunner {
 public:
  QtProcessRunner();
  ~QtProcessRunner() override;
  bool Start(const std::u16string& program, const std::vector<std::u16string>& arguments) override;
  bool IsRunning() override;
  bool WaitForEnd(int ms) override;
  void Stop() override;

 private:
  QProcess process_;
};

// Calls DvdExport::Poll every 25 ms until the export has finished, then emits Finished.
class DvdExportDriver : public QObject {
  Q_OBJECT

 public:
  explicit DvdExportDriver(DvdExport& run, QObject* parent = nullptr);
  // False when no encoder was started (the log says why); Finished is not emitted then.
  bool Start();
  bool Running() const { return run_.Running(); }
  // Waits up to `wait_ms` for the encoder, else stops it; emits Finished when one was running.
  void FinishOrStop(int wait_ms);

 signals:
  void Finished();

 private:
  void Tick();

  DvdExport& run_;
  QTimer timer_;
};

}  // namespace tessera
