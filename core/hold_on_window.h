// The small modeless window long runs show on the UI thread: caption, bar and two lines, and a
// Cancel button for the runs that can stop halfway.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include "core/services.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tessera {

class CHoldOnDialog : public QDialog, public ProgressSink {
  Q_OBJECT
 public:
  explicit CHoldOnDialog(QWidget* owner = nullptr);

  void Open(const std::u16string& caption) override;
  void SetPercent(int percent) override;
  void SetLines(const std::u16string& line1, const std::u16string& line2) override;
  void Close() override;
  void OfferCancel() override;
  // While a cancel is offered: lets the window hear its button a few times a second (input for
  // every other window is dropped meanwhile, so that nothing else starts halfway through the run).
  bool Cancelled() override;

  // The window it stays above and is centred on.
  void SetOwner(QWidget* owner);
  bool Running() const { return running_; }
  // The state last set, shown or about to be.
  int Percent() const { return percent_; }
  QString Line(int i) const { return lines_text_[i]; }
  // What the window shows now, and how often it has repainted since it was opened.
  int ShownPercent() const;
  QString ShownLine(int i) const;
  int Repaints() const { return repaints_; }
  QPushButton* CancelButton() const { return cancel_; }

  // The clock drawn on the window's background.
  static QPixmap ClockPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  // Shows the state last set when it differs from what is shown and the last repaint is at least
  // a frame ago, or at once when `now`.
  void Show(bool now);

  QPixmap clock_;
  QLabel* lines_[2] = {};
  QProgressBar* bar_ = nullptr;
  QPushButton* cancel_ = nullptr;
  bool running_ = false;
  bool offering_cancel_ = false;
  bool cancel_asked_ = false;
  QElapsedTimer since_poll_;
  int percent_ = 0;
  QString lines_text_[2];
  QElapsedTimer since_repaint_;
  QTimer pending_;  // shows a held-back state once an event loop runs (a message box)
  int repaints_ = 0;
};

}  // namespace tessera
