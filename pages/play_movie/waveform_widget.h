// The waveform strip under the movie: the sound around the playback position with a time ruler,
// the subtitles of that span as boxes whose edges and middles can be dragged to time them, and
// the position as a line.
#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>
#include <vector>

#include "sound/strip_timing.h"

namespace tessera {

class SoundLoader;
class SubtitleDocument;

class WaveformStrip : public QWidget {
  Q_OBJECT
 public:
  static constexpr double kMinSpan = 2.0;
  static constexpr double kDefaultSpan = 10.0;

  WaveformStrip(SoundLoader& sound, const SubtitleDocument& doc, QWidget* parent = nullptr);

  // The one-line texts of the strip without a waveform, in the user's language.
  void SetTexts(const QString& no_movie, const QString& no_sound, const QString& reading);
  // The movie's length in seconds (0: no movie loaded).
  void SetMovieLength(double seconds);
  // The playback position; with `follow` (playing) the view turns a page when it leaves it.
  void SetPosition(double seconds, bool follow);
  void SetCurrentRow(int row);
  // The document's times changed: read them again.
  void SubtitlesChanged();

  // The span shown: [ViewBegin, ViewBegin + Span).
  double ViewBegin() const { return begin_; }
  double Span() const { return span_; }
  void SetView(double begin, double span);
  // Halves (steps > 0) or doubles the span per step, keeping the time `anchor` in place.
  void Zoom(int steps, double anchor);
  // There is a waveform to show and work on.
  bool TakesInput() const;
  // The length the view can show, in seconds.
  double Length() const;

  // The subtitles in view and their boxes (widget coordinates), for painting and accessibility.
  std::vector<int> RowsInView() const;
  QRect BoxRect(int row) const;
  QRect WaveRect() const;
  double TimeAt(double x) const;
  double XAt(double seconds) const;
  QString DescriptionText() const;

 signals:
  void SeekRequested(double seconds);
  void SubtitleActivated(int row);
  // While a box is dragged, each change of its times; Finished once the button is let go.
  void TimingChanged(int row, double start, double end);
  void TimingFinished(int row);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QSize sizeHint() const override { return {400, 100}; }
  QSize minimumSizeHint() const override { return {120, 60}; }

 private:
  struct Hit {
    int row = -1;
    StripPart part = StripPart::None;
  };
  Hit HitAt(QPointF p) const;
  int RulerHeight() const;
  void PaintWave(QPainter& p, const QRect& r);
  void PaintRuler(QPainter& p, const QRect& r);
  void PaintBoxes(QPainter& p);
  void ViewChanged();
  void SoundArrived();

  SoundLoader& sound_;
  const SubtitleDocument& doc_;
  std::vector<SubtitleTimes> times_;  // of every row, read once per change
  QString no_movie_, no_sound_, reading_;
  double movie_length_ = 0;
  double begin_ = 0, span_ = kDefaultSpan;
  double position_ = 0;
  int current_ = -1;

  // The waveform as last drawn, and what it was drawn for.
  QPixmap wave_;
  double wave_begin_ = -1, wave_span_ = 0;
  int64_t wave_samples_ = -1;

  // Mouse: what the press was on, and the drag that followed.
  enum class Press { None, Ruler, Wave };
  Press press_ = Press::None;
  QPointF press_at_;
  double press_begin_ = 0;
  bool dragging_ = false;
  TimingDrag drag_;
  SubtitleTimes dragged_;
  double pointer_time_ = -1;  // shown while dragging
};

}  // namespace tessera
