// CSubtitle: a sample text drawn the way subtitles are drawn over a movie, in a chosen face,
// size and colours. The Options page previews the subtitle font with two of them; the movie
// overlay draws its rows with the same font and centring (SubtitleFont, DrawCentred).
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class QPainter;

namespace tessera {

class CSubtitle : public QWidget {
  Q_OBJECT
 public:
  explicit CSubtitle(const QString& text = {}, QWidget* parent = nullptr);

  // Face and size in points; redraws.
  void SetFont(const QString& face, int points);
  // Text and background colours; redraws.
  void SetColors(const QColor& text, const QColor& background);
  void SetText(const QString& text);

  QString Text() const { return text_; }
  QString Face() const { return face_; }
  int Points() const { return points_; }
  QColor TextColor() const { return text_color_; }
  QColor Background() const { return background_; }

  // The subtitle font: `points` points of `face`, always bold. The preview smooths its edges;
  // the movie overlay draws without smoothing so that its colour key stays exact.
  static QFont SubtitleFont(const QString& face, int points, bool antialiased);
  // Draws `text` as one row in `color`, centred in `area` both ways, without a background. A
  // text wider than the area is cut at both sides.
  static void DrawCentred(QPainter& painter, const QRect& area, const QString& text,
                          const QFont& font, const QColor& color);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  QString face_ = QStringLiteral("Comic Sans MS");
  int points_ = 16;
  QColor text_color_ = Qt::white;
  QColor background_ = Qt::black;
};

}  // namespace tessera
