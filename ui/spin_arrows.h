// Two small arrow buttons, up over down, that step a value shown beside them. Holding an arrow
// repeats its step; a click takes no focus, so typing stays in the field it was in, and Tab
// reaches them.
#pragma once

#include <QWidget>

class QToolButton;

namespace tessera {

class SpinArrows : public QWidget {
  Q_OBJECT
 public:
  explicit SpinArrows(QWidget* parent = nullptr);
  // Named for tests and scripts: "<name>Arrows", with the arrows "<name>Up" and "<name>Down".
  explicit SpinArrows(const QString& name, QWidget* parent = nullptr);
  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }
  QSize sizeHint() const override;
  // The accessible names of the arrows: "<what>, up" and "<what>, down".
  void SetCaption(const QString& what);

 signals:
  // One step; `up` for the upper arrow.
  void Stepped(bool up);

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace tessera
