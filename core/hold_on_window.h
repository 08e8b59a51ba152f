// The small modeless window long runs show on the UI thread: caption, bar and two lines.
#pragma once

#include <QDialog>
#include <QPixmap>

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
  int Percent() const;
  QString Line(int i) const;

  // The clock drawn on the window's background.
  static QPixmap ClockPicture();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QPixmap clock_;
  QLabel* lines_[2] = {};
  QProgressBar* bar_ = nullptr;
  bool running_ = false;
};

}  // namespace tessera
