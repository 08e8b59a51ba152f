// The progress window of an automatic synchronization: the job runs on a worker thread while the
// window shows its stage and percentage and stays responsive; Cancel stops the job at its next
// step.
#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <functional>

#include "autosync/sync_source.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessera {

class CSyncProgressWindow : public QDialog {
  Q_OBJECT
 public:
  // The texts of the two stages and of a cancel being carried out.
  struct Texts {
    QString decoding, fitting, cancelling;
  };
  CSyncProgressWindow(const QString& caption, Texts texts, QWidget* parent = nullptr);

  // Runs `job` on a worker thread, handing it the progress function to pass on; returns when the
  // job has ended. The window is modal meanwhile.
  void Run(const std::function<void(const SyncStageProgress&)>& job);
  bool CancelPressed() const { return cancel_; }

 protected:
  void reject() override;  // Escape and the title bar's close button cancel

 private:
  void Poll();

  Texts texts_;
  QLabel* stage_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QTimer poll_;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> finished_{false};
  std::atomic<int> stage_now_{0};
  std::atomic<int> permille_{0};
};

}  // namespace tessera
