#include "pages/play_movie/picture_strip_layout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

namespace tessera {

PictureStripLayout::PictureStripLayout(QWidget* picture, QWidget* strip, bool grows)
    : picture_(new QWidgetItem(picture)), strip_(new QWidgetItem(strip)), grows_(grows) {
  setContentsMargins(0, 0, 0, 0);
  addChildWidget(picture);
  addChildWidget(strip);
}

PictureStripLayout::~PictureStripLayout() {
  delete picture_;
  delete strip_;
}

void PictureStripLayout::SetProportions(int width, int height) {
  if (width <= 0 || height <= 0) return;
  aspect_w_ = width;
  aspect_h_ = height;
  const QRect place = geometry();  // invalidate() forgets it
  invalidate();
  // The picture takes its new proportions now, not at the next layout pass.
  if (place.isValid()) setGeometry(place);
}

// Both items are made by the constructor; nothing else is added or taken.
void PictureStripLayout::addItem(QLayoutItem* item) {
  delete item;
}
int PictureStripLayout::count() const {
  return 2;
}
QLayoutItem* PictureStripLayout::itemAt(int index) const {
  return index == 0 ? picture_ : index == 1 ? strip_ : nullptr;
}
QLayoutItem* PictureStripLayout::takeAt(int) {
  return nullptr;
}

int PictureStripLayout::WidthFor(int height) const {
  return std::max(16, height * aspect_w_ / aspect_h_);
}

QSize PictureStripLayout::sizeHint() const {
  return {WidthFor(kPictureHeight), kPictureHeight + spacing() + kStripHeight};
}

QSize PictureStripLayout::minimumSize() const {
  return {WidthFor(kSmallestPicture), kSmallestPicture + spacing() + kSmallestStrip};
}

Qt::Orientations PictureStripLayout::expandingDirections() const {
  return grows_ ? Qt::Horizontal | Qt::Vertical : Qt::Horizontal;
}

void PictureStripLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  const int gap = spacing();
  const int strip =
      std::clamp(rect.height() - gap - kSmallestPicture, kSmallestStrip, kStripHeight);
  int picture = std::max(0, rect.height() - gap - strip);
  if (grows_) {
    picture_->setGeometry(QRect(rect.x(), rect.y(), rect.width(), picture));
  } else {
    // Never wider than the page: a wide movie is made lower instead.
    picture = std::min(picture, kPictureHeight);
    int width = WidthFor(picture);
    if (width > rect.width()) {
      width = rect.width();
      picture = width * aspect_h_ / aspect_w_;
    }
    picture_->setGeometry(QRect(rect.x() + (rect.width() - width) / 2, rect.y(), width, picture));
  }
  strip_->setGeometry(QRect(rect.x(), rect.y() + picture + gap, rect.width(), strip));
}

}  // namespace tessera
