#include "autosync/sync_progress_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <thread>

namespace tessera {

CSyncProgressWindow::CSyncProgressWindow(const QString& caption, Texts texts, QWidget* parent)
    : QDialog(parent), texts_(std::move(texts)) {
  setObjectName(QStringLiteral("autoSyncProgress"));
  setWindowTitle(caption);
  setModal(true);
  stage_ = new QLabel(texts_.decoding, this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 1000);
  bar_->setTextVisible(false);
  cancel_button_ = new QPushButton(tr("Cancel"), this);
  cancel_button_->setObjectName(QStringLiteral("cancel"));
  connect(cancel_button_, &QPushButton::clicked, this, &CSyncProgressWindow::reject);
  auto* v = new QVBoxLayout(this);
  v->addWidget(stage_);
  v->addWidget(bar_);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(cancel_button_);
  v->addLayout(row);
  setMinimumWidth(360);
  poll_.setInterval(40);
  connect(&poll_, &QTimer::timeout, this, &CSyncProgressWindow::Poll);
}

void CSyncProgressWindow::Run(const std::function<void(const SyncStageProgress&)>& job) {
  cancel_ = false;
  finished_ = false;
  const SyncStageProgress progress = [this](SyncStage stage, double fraction) {
    stage_now_ = static_cast<int>(stage);
    permille_ = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 1000);
    return !cancel_.load();
  };
  std::thread worker([&] {
    job(progress);
    finished_ = true;
  });
  poll_.start();
  exec();
  poll_.stop();
  worker.join();
}

void CSyncProgressWindow::Poll() {
  if (finished_) {
    accept();
    return;
  }
  if (!cancel_)
    stage_->setText(stage_now_ == static_cast<int>(SyncStage::kFitting) ? texts_.fitting
                                                                        : texts_.decoding);
  bar_->setValue(permille_);
}

void CSyncProgressWindow::reject() {
  // The window stays until the job has noticed: closing it earlier would leave the job running.
  cancel_ = true;
  cancel_button_->setEnabled(false);
  stage_->setText(texts_.cancelling);
}

}  // namespace tessera
