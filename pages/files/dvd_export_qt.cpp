#include "pages/files/dvd_export_qt.h"

namespace tessera {

DvdExportDriver::DvdExportDriver(DvdExport& run, QObject* parent) : QObject(parent), run_(run) {
  timer_.setInterval(DvdExport::kPassMs);
  connect(&timer_, &QTimer::timeout, this, &DvdExportDriver::Tick);
}

bool DvdExportDriver::Start() {
  if (run_.Running() || !run_.Begin()) return false;
  timer_.start();
  return true;
}

void DvdExportDriver::Tick() {
  // A message box shown while the export finishes runs its own event loop, in which this
  // timer may fire again.
  if (!run_.Running()) return;
  if (run_.Poll()) return;
  timer_.stop();
  emit Finished();
}

void DvdExportDriver::FinishOrStop(int wait_ms) {
  if (!run_.Running()) return;
  timer_.stop();
  run_.FinishOrStop(wait_ms);
  emit Finished();
}

}  // namespace tessera
