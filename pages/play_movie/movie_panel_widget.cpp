#include "pages/play_movie/movie_panel_widget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <chrono>

#include "check/text_measurer_qt.h"
#include "core/qt_text_qt.h"

namespace tessera {
namespace {

constexpr int kLowerRowTop = 40;

}  // namespace

QImage MakeOverlayImage(const std::u16string& upper, const std::u16string& lower, int width,
                        const FontSpec& font) {
  QImage image(std::max(1, width), kOverlayHeight, QImage::Format_RGB32);
  image.fill(kOverlayKey);
  QPainter p(&image);
  QFont f = QtTextMeasurer::MakeFont({font.face, font.point_size, true});
  // Antialiased edges would blend with the key colour and show as a grey fringe.
  f.setStyleStrategy(QFont::NoAntialias);
  p.setFont(f);
  p.setPen(QColor(255, 255, 255));
  const QFontMetrics metrics(f);
  const auto row = [&](const std::u16string& text, int top) {
    if (text.empty()) return;
    const QString q = ToQ(text);
    const int x = (width - metrics.horizontalAdvance(q)) / 2;
    p.drawText(QPoint(x, top + metrics.ascent()), q);
  };
  row(upper, 0);
  row(lower, kLowerRowTop);
  return image;
}

QImage KeyedOverlay(const QImage& overlay) {
  QImage keyed = overlay.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x)
      if (line[x] == kOverlayKey) line[x] = 0;
  }
  return keyed;
}

QRect LetterBox(QSize native, const QRect& area) {
  if (native.isEmpty() || area.isEmpty()) return {};
  const QSize fitted = native.scaled(area.size(), Qt::KeepAspectRatio);
  return QRect(area.x() + (area.width() - fitted.width()) / 2,
               area.y() + (area.height() - fitted.height()) / 2, fitted.width(), fitted.height());
}

CMyMoviePanel::CMyMoviePanel(MoviePlayer& player, const AppSettings& app, QWidget* parent)
    : QWidget(parent), player_(player), app_(app), background_(palette().color(QPalette::Button)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  player_.SetChangeListener([this] { PlayerChanged(); });
}

CMyMoviePanel::~CMyMoviePanel() {
  player_.SetChangeListener({});
}

void CMyMoviePanel::SetBackgroundColour(const QColor& colour) {
  background_ = colour;
  update();
}

void CMyMoviePanel::SetShowPictures(bool show) {
  show_pictures_ = show;
  update();
}

QRect CMyMoviePanel::PictureRect() const {
  int w = 0, h = 0;
  if (!player_.HasGraph() || !player_.NativeVideoRect(w, h)) return {};
  return LetterBox(QSize(w, h), rect());
}

void CMyMoviePanel::PlayerChanged() {
  // The movie's size may have become known: the player renders at the size it is shown.
  const QRect r = PictureRect();
  player_.SetViewSize(r.width(), r.height());
  // A new frame in the same place repaints the picture only, not the bars beside it.
  if (r == painted_picture_ && !show_pictures_)
    update(r);
  else
    update();
}

void CMyMoviePanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const QRect r = PictureRect();
  player_.SetViewSize(r.width(), r.height());
}

void CMyMoviePanel::paintEvent(QPaintEvent*) {
  const auto start = std::chrono::steady_clock::now();
  QPainter p(this);
  Paint(p);
  p.end();
  paint_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

QImage CMyMoviePanel::Composed() {
  QImage image(size(), QImage::Format_RGB32);
  QPainter p(&image);
  Paint(p);
  return image;
}

void CMyMoviePanel::Paint(QPainter& p) {
  const QRect picture = show_pictures_ ? QRect() : PictureRect();
  const PictureView view = player_.Picture();
  painted_picture_ = picture;
  // The picture covers its own rectangle; only the bars need the background.
  if (picture.isEmpty() || view.Empty())
    p.fillRect(rect(), background_);
  else
    for (const QRect& bar : QRegion(rect()).subtracted(picture)) p.fillRect(bar, background_);
  if (show_pictures_) {
    PaintPlaceholder(p);
    return;
  }
  if (picture.isEmpty()) return;
  if (!view.Empty()) {
    const QImage frame(view.pixels, view.width, view.height, view.stride, QImage::Format_RGB32);
    if (frame.size() == picture.size())
      p.drawImage(picture.topLeft(), frame);
    else
      p.drawImage(picture, frame);
  }
  const QImage& overlay = ScaledOverlay(picture);
  if (overlay.isNull()) return;
  p.drawImage(QPoint(picture.x(), picture.bottom() + 1 - overlay.height()), overlay);
}

const QImage& CMyMoviePanel::ScaledOverlay(const QRect& picture) {
  std::u16string upper, lower;
  player_.OverlayLines(upper, lower);
  int native_w = 0, native_h = 0;
  player_.NativeVideoRect(native_w, native_h);
  const FontSpec font{app_.font_name, app_.font_size, true};
  if (upper != overlay_upper_ || lower != overlay_lower_ || native_w != overlay_width_ ||
      font.face != overlay_font_.face || font.point_size != overlay_font_.point_size) {
    overlay_upper_ = upper;
    overlay_lower_ = lower;
    overlay_width_ = native_w;
    overlay_font_ = font;
    overlay_ = upper.empty() && lower.empty()
                   ? QImage()
                   : KeyedOverlay(MakeOverlayImage(upper, lower, native_w, font));
    scaled_overlay_ = QImage();
  }
  if (overlay_.isNull()) return overlay_;
  // The bottom fifth of the picture, full width; nearest-pixel scaling keeps the edges hard.
  const QSize target(picture.width(), std::max(1, (picture.height() + 2) / 5));
  if (scaled_overlay_.size() != target) {
    // Faded once here, premultiplied: drawn with an opacity, an overlay that is not premultiplied
    // would be converted and blended pixel by pixel on every frame.
    const QImage scaled = overlay_.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled_overlay_ = QImage(target, QImage::Format_ARGB32_Premultiplied);
    scaled_overlay_.fill(Qt::transparent);
    QPainter faded(&scaled_overlay_);
    faded.setOpacity(kOverlayOpacity);
    faded.drawImage(0, 0, scaled);
  }
  return scaled_overlay_;
}

void CMyMoviePanel::PaintPlaceholder(QPainter& p) {
  // A frame of film with a play sign, drawn rather than shipped.
  const int side = std::min(width(), height()) * 2 / 5;
  if (side < 24) return;
  const QRect frame((width() - side * 4 / 3) / 2, (height() - side) / 2, side * 4 / 3, side);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(58, 58, 64));
  p.drawRoundedRect(frame, side / 12.0, side / 12.0);
  p.setBrush(background_);
  const int hole = std::max(3, side / 14);
  for (int i = 0; i < 6; ++i) {
    const int x = frame.x() + frame.width() * (2 * i + 1) / 12 - hole / 2;
    p.drawRect(x, frame.y() + hole, hole, hole);
    p.drawRect(x, frame.bottom() - 2 * hole, hole, hole);
  }
  const QRect screen = frame.adjusted(hole, 3 * hole, -hole, -3 * hole);
  p.setBrush(QColor(24, 24, 28));
  p.drawRect(screen);
  QPainterPath play;
  const QPointF c = QRectF(screen).center();
  const double r = screen.height() / 3.0;
  play.moveTo(c.x() - r * 0.6, c.y() - r);
  play.lineTo(c.x() + r, c.y());
  play.lineTo(c.x() - r * 0.6, c.y() + r);
  play.closeSubpath();
  p.setBrush(QColor(200, 200, 210));
  p.drawPath(play);
  p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace tessera
