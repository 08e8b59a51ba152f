// The small modeless window long runs show on the UI thread: caption, bar and two lines.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>

#include "core/services.h"

class QLabel;
class QProgressBar;

namespace tessera {

class CHoldOnDialog : public QDialog, public ProgressSink {
  Q_OBJECT
 public:
  explicit CHoldOnDialog(QWidget* owner = nullptr);

  void Open(const std::u16string& caption) override;
  void SetPercent(int percent) override;
  void SetLines(const std::u16string& line1, const std::u16string& line2) override;
  void Close() override;

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
  bool running_ = false;
  int percent_ = 0;
  QString lines_text_[2];
  QElapsedTimer since_repaint_;
  QTimer pending_;  // shows a held-back state once an event loop runs (a message box)
  int repaints_ = 0;
};

}  // namespace tessera
