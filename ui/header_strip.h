// The strip across the top of a page: a title and a one-line description.
#pragma once

#include <QWidget>

namespace tessera {

class HeaderStrip : public QWidget {
  Q_OBJECT
 public:
  explicit HeaderStrip(QWidget* parent = nullptr);
  void SetTexts(const QString& title, const QString& description);
  QString Title() const { return title_; }
  QString Description() const { return description_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  QString description_;
};

}  // namespace tessera
