// The Play Movie page's picture with the sound strip under it. When height runs short the
// picture gives way first: the strip keeps its full height until the picture is at its smallest.
#pragma once

#include <QLayout>
#include <QSize>

namespace tessera {

class PictureStripLayout : public QLayout {
 public:
  // `grows`: the picture takes the room the page gives (ResizeMovieWindow); otherwise it is
  // at most `kPictureHeight` high and as wide as the movie's proportions make it.
  PictureStripLayout(QWidget* picture, QWidget* strip, bool grows);
  ~PictureStripLayout() override;

  static constexpr int kPictureHeight = 240;
  static constexpr int kSmallestPicture = 40;
  static constexpr int kStripHeight = 100;
  static constexpr int kSmallestStrip = 60;

  // The movie's width and height; 4:3 until a movie says otherwise.
  void SetProportions(int width, int height);

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  Qt::Orientations expandingDirections() const override;
  void setGeometry(const QRect& rect) override;

 private:
  int WidthFor(int height) const;

  QLayoutItem* picture_;
  QLayoutItem* strip_;
  bool grows_;
  int aspect_w_ = 4, aspect_h_ = 3;
};

}  // namespace tessera
