// The encoder export on the Qt event loop: its progress passes run from a timer, so the window
// stays responsive while the encoder runs (the child process: core/process_runner_qt.h).
#pragma once

#include <QObject>
#include <QTimer>

#include "pages/files/dvd_export.h"

namespace tessera {

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
