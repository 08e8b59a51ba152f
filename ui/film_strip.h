// A decorative band of film between a page's list and its log.
#pragma once

#include <QWidget>

namespace tessera {

class FilmStrip : public QWidget {
  Q_OBJECT
 public:
  explicit FilmStrip(QWidget* parent = nullptr);
  QSize sizeHint() const override { return {200, 24}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessera
