// The panel of the Play Movie page that shows the movie: the picture letter-boxed on the
// background colour, the subtitle overlay over its bottom fifth, and a placeholder picture of
// our own until a movie is chosen.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <string>

#include "core/app_settings.h"
#include "core/services.h"
#include "movie/movie_player.h"

namespace tessera {

// The overlay's key colour: pixels of exactly this colour are transparent.
inline constexpr QRgb kOverlayKey = 0xFFFAFAFA;
inline constexpr int kOverlayHeight = 100;
inline constexpr double kOverlayOpacity = 0.99;

// The overlay bitmap: `width` x 100 of the key colour, `upper` and `lower` drawn white, bold and
// without antialiasing, centred, their tops at 0 and 40. Text wider than the picture is cut at
// both sides, text below row 100 is cut.
QImage MakeOverlayImage(const std::u16string& upper, const std::u16string& lower, int width,
                        const FontSpec& font);
// The same with the key colour made transparent.
QImage KeyedOverlay(const QImage& overlay);

// Where a picture of `native` size goes inside `area`: as large as fits, keeping its
// proportions, centred (bars above and below or at the sides).
QRect LetterBox(QSize native, const QRect& area);

class CMyMoviePanel : public QWidget {
  Q_OBJECT
 public:
  CMyMoviePanel(MoviePlayer& player, const AppSettings& app, QWidget* parent = nullptr);
  ~CMyMoviePanel() override;

  void SetBackgroundColour(const QColor& colour);
  // While set, the placeholder is shown instead of the movie.
  void SetShowPictures(bool show);
  bool ShowPictures() const { return show_pictures_; }

  // Where the picture is drawn now, in panel coordinates; empty without a picture size.
  QRect PictureRect() const;
  // The panel as it would be painted now.
  QImage Composed();

  QSize sizeHint() const override { return {320, 240}; }
  // The time spent painting so far, for measurements.
  double PaintSeconds() const { return paint_seconds_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlayerChanged();
  void Paint(QPainter& painter);
  void PaintPlaceholder(QPainter& painter);
  const QImage& ScaledOverlay(const QRect& picture);

  MoviePlayer& player_;
  const AppSettings& app_;
  QColor background_;
  QRect painted_picture_;
  double paint_seconds_ = 0;
  bool show_pictures_ = true;
  // The overlay as last built, and scaled to the picture it was last drawn over.
  std::u16string overlay_upper_, overlay_lower_;
  int overlay_width_ = 0;
  FontSpec overlay_font_;
  QImage overlay_;
  QImage scaled_overlay_;
};

}  // namespace tessera
