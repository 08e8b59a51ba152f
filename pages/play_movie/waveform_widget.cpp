#include "pages/play_movie/waveform_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <map>

#include "core/qt_text_qt.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"
#include "sound/sound_loader_qt.h"

namespace tessera {
namespace {

constexpr int kEdgeGrip = 4;  // pixels either side of a box edge that grab the edge
const QColor kBackground(24, 28, 36);
const QColor kWave(120, 200, 140);
const QColor kRulerBack(222, 222, 222);
const QColor kBox(90, 140, 230, 70);
const QColor kBoxEdge(120, 170, 255);
const QColor kCurrentBox(255, 200, 60, 90);
const QColor kCurrentEdge(255, 210, 80);
const QColor kPosition(255, 70, 70);

// A ruler label: hours, minutes and seconds, with tenths when the ticks are closer than 1 s.
QString RulerLabel(double t, double step) {
  const auto tenths = static_cast<int64_t>(std::llround(t * 10));
  const int64_t s = tenths / 10;
  QString text = QStringLiteral("%1:%2:%3")
                     .arg(s / 3600)
                     .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                     .arg(s % 60, 2, 10, QLatin1Char('0'));
  if (step < 1) text += QStringLiteral(".%1").arg(tenths % 10);
  return text;
}

// One subtitle box as an accessible child of the strip.
class SubtitleBoxAccessible : public QAccessibleInterface {
 public:
  SubtitleBoxAccessible(WaveformStrip* strip, int row) : strip_(strip), row_(row) {}
  bool isValid() const override { return strip_ != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return strip_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(strip_);
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QStringLiteral("Subtitle %1").arg(row_ + 1);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QRect r = strip_->BoxRect(row_);
    return QRect(strip_->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override { return QAccessible::Graphic; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.focusable = false;
    return s;
  }

 private:
  WaveformStrip* strip_;
  int row_;
};

class WaveformStripAccessible : public QAccessibleWidget {
 public:
  explicit WaveformStripAccessible(WaveformStrip* strip)
      : QAccessibleWidget(strip, QAccessible::Graphic, QStringLiteral("Waveform")) {}
  ~WaveformStripAccessible() override {
    for (const auto& [row, id] : children_) QAccessible::deleteAccessibleInterface(id);
  }
  WaveformStrip* Strip() const { return static_cast<WaveformStrip*>(widget()); }
  int childCount() const override { return static_cast<int>(Strip()->RowsInView().size()); }
  QAccessibleInterface* child(int index) const override {
    const std::vector<int> rows = Strip()->RowsInView();
    if (index < 0 || index >= static_cast<int>(rows.size())) return nullptr;
    return Box(rows[index]);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<int> rows = Strip()->RowsInView();
    for (size_t i = 0; i < rows.size(); ++i)
      if (Box(rows[i]) == child) return static_cast<int>(i);
    return -1;
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint p = Strip()->mapFromGlobal(QPoint(x, y));
    for (int row : Strip()->RowsInView())
      if (Strip()->BoxRect(row).contains(p)) return Box(row);
    return nullptr;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return QStringLiteral("Waveform");
    if (t == QAccessible::Description) return Strip()->DescriptionText();
    return QAccessibleWidget::text(t);
  }

 private:
  // Each row's interface is made once and kept, so its identity stays while it is in view.
  QAccessibleInterface* Box(int row) const {
    auto it = children_.find(row);
    if (it != children_.end()) return QAccessible::accessibleInterface(it->second);
    auto* box = new SubtitleBoxAccessible(Strip(), row);
    children_[row] = QAccessible::registerAccessibleInterface(box);
    return box;
  }
  mutable std::map<int, QAccessible::Id> children_;
};

QAccessibleInterface* StripAccessibleFactory(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("tessera::WaveformStrip") && object && object->isWidgetType())
    return new WaveformStripAccessible(static_cast<WaveformStrip*>(object));
  return nullptr;
}

}  // namespace

WaveformStrip::WaveformStrip(SoundLoader& sound, const SubtitleDocument& doc, QWidget* parent)
    : QWidget(parent), sound_(sound), doc_(doc) {
  static const bool installed = (QAccessible::installFactory(StripAccessibleFactory), true);
  (void)installed;
  setObjectName(QStringLiteral("waveform"));
  setAccessibleName(QStringLiteral("Waveform"));
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  no_movie_ = QStringLiteral("No movie loaded");
  no_sound_ = QStringLiteral("No sound");
  reading_ = QStringLiteral("Reading the sound");
  connect(&sound_, &SoundLoader::Progressed, this, &WaveformStrip::SoundArrived);
  connect(&sound_, &SoundLoader::Finished, this, &WaveformStrip::SoundArrived);
  ViewChanged();
}

void WaveformStrip::SetTexts(const QString& no_movie, const QString& no_sound,
                             const QString& reading) {
  no_movie_ = no_movie;
  no_sound_ = no_sound;
  reading_ = reading;
  update();
}

void WaveformStrip::SetMovieLength(double seconds) {
  movie_length_ = std::max(0.0, seconds);
  begin_ = 0;
  span_ = kDefaultSpan;
  position_ = 0;
  dragging_ = false;
  press_ = Press::None;
  SetView(0, kDefaultSpan);
}

double WaveformStrip::Length() const {
  return std::max(movie_length_, sound_.Seconds());
}

bool WaveformStrip::TakesInput() const {
  const SoundLoader::State s = sound_.GetState();
  return movie_length_ > 0 && (s == SoundLoader::State::Loading || s == SoundLoader::State::Ready);
}

void WaveformStrip::SetView(double begin, double span) {
  const double length = Length();
  const double shortest = std::min(kMinSpan, length > 0 ? length : kMinSpan);
  span_ = std::clamp(span, shortest, std::max(shortest, length));
  begin_ = std::clamp(begin, 0.0, std::max(0.0, length - span_));
  ViewChanged();
}

void WaveformStrip::Zoom(int steps, double anchor) {
  const double fraction = span_ > 0 ? (anchor - begin_) / span_ : 0.5;
  const double span = span_ * std::pow(0.5, steps);
  SetView(anchor - fraction * std::clamp(span, kMinSpan, std::max(kMinSpan, Length())), span);
}

void WaveformStrip::SetPosition(double seconds, bool follow) {
  const double old = position_;
  position_ = seconds;
  if (seconds < begin_ || seconds >= begin_ + span_) {
    // While playing, the view turns whole pages; a jump elsewhere puts the position near the
    // left, so that what follows is in view.
    if (follow && seconds >= begin_ + span_ && seconds < begin_ + 2 * span_)
      SetView(begin_ + span_, span_);
    else
      SetView(seconds - (follow ? 0.0 : span_ / 4), span_);
  } else if (old != seconds) {
    const int x0 = static_cast<int>(XAt(old)), x1 = static_cast<int>(XAt(seconds));
    update(QRect(std::min(x0, x1) - 2, 0, std::abs(x1 - x0) + 5, height()));
  }
}

void WaveformStrip::SetCurrentRow(int row) {
  if (row == current_) return;
  current_ = row;
  update();
}

void WaveformStrip::SubtitlesChanged() {
  const int n = doc_.Count();
  times_.resize(n);
  for (int i = 0; i < n; ++i) times_[i] = {doc_.Time(i, kStart), doc_.Time(i, kEnd)};
  if (dragging_ && drag_.row < n) times_[drag_.row] = dragged_;
  update();
}

void WaveformStrip::ViewChanged() {
  setAccessibleDescription(DescriptionText());
  if (QAccessible::isActive()) {
    QAccessibleEvent e(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&e);
  }
  update();
}

void WaveformStrip::SoundArrived() {
  // The container's length may grow the view's range once the real length is known.
  if (span_ > Length() || begin_ + span_ > Length()) SetView(begin_, span_);
  setAccessibleDescription(DescriptionText());
  update();
}

QString WaveformStrip::DescriptionText() const {
  if (!TakesInput()) return QStringLiteral("No sound");
  return QStringLiteral("from %1 to %2")
      .arg(ToQ(FormatTimeText(begin_ + 0.0005)), ToQ(FormatTimeText(begin_ + span_ + 0.0005)));
}

int WaveformStrip::RulerHeight() const {
  return fontMetrics().height() + 6;
}

QRect WaveformStrip::WaveRect() const {
  return QRect(0, RulerHeight(), width(), std::max(1, height() - RulerHeight()));
}

double WaveformStrip::TimeAt(double x) const {
  return begin_ + x * span_ / std::max(1, width());
}

double WaveformStrip::XAt(double seconds) const {
  return (seconds - begin_) * width() / span_;
}

std::vector<int> WaveformStrip::RowsInView() const {
  std::vector<int> rows;
  if (!TakesInput()) return rows;
  const double end = begin_ + span_;
  for (int i = 0; i < static_cast<int>(times_.size()); ++i)
    if (times_[i].end > begin_ && times_[i].start < end) rows.push_back(i);
  return rows;
}

QRect WaveformStrip::BoxRect(int row) const {
  if (row < 0 || row >= static_cast<int>(times_.size())) return {};
  const QRect wave = WaveRect();
  const int x0 = static_cast<int>(std::floor(XAt(times_[row].start)));
  const int x1 = static_cast<int>(std::ceil(XAt(times_[row].end)));
  return QRect(QPoint(std::max(x0, -1), wave.top()), QPoint(std::min(x1, width()), wave.bottom()));
}

WaveformStrip::Hit WaveformStrip::HitAt(QPointF p) const {
  Hit best;
  if (!WaveRect().contains(p.toPoint())) return best;
  int best_distance = kEdgeGrip + 1;
  for (int row : RowsInView()) {
    const QRect r = BoxRect(row);
    const int dl = std::abs(static_cast<int>(p.x()) - r.left());
    const int dr = std::abs(static_cast<int>(p.x()) - r.right());
    // Edges first, so that a short box can still be widened.
    if (dl <= kEdgeGrip && dl < best_distance) {
      best = {row, StripPart::Start};
      best_distance = dl;
    }
    if (dr <= kEdgeGrip && dr < best_distance) {
      best = {row, StripPart::End};
      best_distance = dr;
    }
    if (best.part == StripPart::None && r.contains(p.toPoint())) best = {row, StripPart::Middle};
  }
  return best;
}

// ---- Painting

void WaveformStrip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  wave_ = QPixmap();
}

void WaveformStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect wave = WaveRect();
  p.fillRect(rect(), kBackground);
  if (!TakesInput()) {
    p.setPen(QColor(200, 200, 200));
    p.drawText(rect(), Qt::AlignCenter, movie_length_ > 0 ? no_sound_ : no_movie_);
    return;
  }
  PaintWave(p, wave);
  PaintRuler(p, QRect(0, 0, width(), RulerHeight()));
  PaintBoxes(p);
  // The position.
  const double x = XAt(position_);
  if (x >= 0 && x < width()) {
    p.setPen(QPen(kPosition, 1));
    p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, height()));
  }
  if (dragging_ && pointer_time_ >= 0) {
    const QString text = ToQ(FormatTimeText(pointer_time_ + 0.0005));
    const QFontMetrics fm = fontMetrics();
    const int w = fm.horizontalAdvance(text) + 8;
    const int px = std::clamp(static_cast<int>(XAt(pointer_time_)) + 6, 0, width() - w);
    const QRect box(px, wave.bottom() - fm.height() - 4, w, fm.height() + 2);
    p.fillRect(box, QColor(0, 0, 0, 200));
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
  }
  if (sound_.GetState() == SoundLoader::State::Loading) {
    const QString text =
        QStringLiteral("%1 %2%").arg(reading_).arg(static_cast<int>(sound_.Fraction() * 100));
    const QFontMetrics fm = fontMetrics();
    const QRect box(width() - fm.horizontalAdvance(text) - 12, wave.top() + 2,
                    fm.horizontalAdvance(text) + 8, fm.height() + 2);
    p.fillRect(box, QColor(0, 0, 0, 160));
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

void WaveformStrip::PaintWave(QPainter& p, const QRect& r) {
  int64_t samples = 0;
  sound_.Read([&](const SoundAnalysis& a) { samples = a.sample_count; });
  const qreal dpr = devicePixelRatioF();
  if (wave_.isNull() || wave_begin_ != begin_ || wave_span_ != span_ || wave_samples_ != samples ||
      wave_.size() != r.size() * dpr) {
    wave_ = QPixmap(r.size() * dpr);
    wave_.setDevicePixelRatio(dpr);
    wave_.fill(kBackground);
    QPainter w(&wave_);
    const int columns = static_cast<int>(r.width() * dpr);
    const double mid = r.height() / 2.0, half = r.height() / 2.0 - 1;
    const double per_column = span_ * kAnalysisRate / std::max(1, columns);
    const int level = PeakPyramid::LevelFor(per_column);
    std::vector<QLineF> lines;
    lines.reserve(columns);
    sound_.Read([&](const SoundAnalysis& a) {
      for (int c = 0; c < columns; ++c) {
        const double t = begin_ * kAnalysisRate + c * per_column;
        const auto first = static_cast<int64_t>(t);
        const auto last = std::max(first + 1, static_cast<int64_t>(t + per_column));
        float lo, hi;
        if (first < 0 || !a.peaks.Range(level, first, last, lo, hi)) continue;
        const double x = (c + 0.5) / dpr;
        // At least a pixel, so silence still shows as a line.
        lines.emplace_back(x, mid - hi * half - 0.5, x, mid - lo * half + 0.5);
      }
    });
    w.setPen(QPen(kWave, 1.0 / dpr));
    w.drawLine(QPointF(0, mid), QPointF(r.width(), mid));
    w.drawLines(lines.data(), static_cast<int>(lines.size()));
    wave_begin_ = begin_;
    wave_span_ = span_;
    wave_samples_ = samples;
  }
  p.drawPixmap(r.topLeft(), wave_);
}

void WaveformStrip::PaintRuler(QPainter& p, const QRect& r) {
  p.fillRect(r, kRulerBack);
  const QFontMetrics fm = fontMetrics();
  const int label = fm.horizontalAdvance(QStringLiteral("0:00:00.0")) + 16;
  static const double kSteps[] = {0.1, 0.2, 0.5, 1,   2,   5,    10,   15,  30,
                                  60,  120, 300, 600, 900, 1800, 3600, 7200};
  double step = kSteps[std::size(kSteps) - 1];
  for (double s : kSteps) {
    if (s * width() / span_ >= label) {
      step = s;
      break;
    }
  }
  p.setPen(QColor(60, 60, 60));
  const double minor = step / 5;
  for (double t = std::floor(begin_ / minor) * minor; t < begin_ + span_; t += minor) {
    const double x = XAt(t);
    const bool major = std::abs(std::remainder(t, step)) < minor / 2;
    p.drawLine(QPointF(x, r.bottom() - (major ? 6 : 3)), QPointF(x, r.bottom()));
    if (major) p.drawText(QPointF(x + 3, r.top() + fm.ascent() + 2), RulerLabel(t, step));
  }
}

void WaveformStrip::PaintBoxes(QPainter& p) {
  const QFontMetrics fm = fontMetrics();
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics bold_fm(bold);
  const QRect wave = WaveRect();
  // Boxes a few pixels wide (a long span) are drawn as runs, one fill for those that touch, so
  // thousands of subtitles in view cost what the pixels do.
  int run_left = 0, run_right = -2;
  const auto end_run = [&] {
    if (run_right >= run_left)
      p.fillRect(QRect(run_left, wave.top(), run_right - run_left + 1, wave.height()), kBox);
    run_right = -2;
  };
  for (int row : RowsInView()) {
    const QRect r = BoxRect(row);
    const bool current = row == current_;
    if (r.width() < 4 && !current) {
      if (r.left() > run_right + 1) {
        end_run();
        run_left = r.left();
      }
      run_right = std::max(run_right, r.right());
      continue;
    }
    end_run();
    p.fillRect(r, current ? kCurrentBox : kBox);
    p.setPen(current ? kCurrentEdge : kBoxEdge);
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.drawLine(r.topRight(), r.bottomRight());
    if (r.width() < 14) continue;
    const QString number = QString::number(row + 1);
    const QRect text(r.left() + 3, wave.top() + 2, r.width() - 6, fm.height());
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, number);
    const int used = bold_fm.horizontalAdvance(number) + 5;
    p.setFont(font());
    if (text.width() > used + 8)
      p.drawText(text.adjusted(used, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                 fm.elidedText(ToQ(doc_.Line(row, 0)), Qt::ElideRight, text.width() - used));
  }
  end_run();
}

// ---- Input

void WaveformStrip::mousePressEvent(QMouseEvent* event) {
  if (!TakesInput() || event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  press_at_ = event->position();
  press_begin_ = begin_;
  dragging_ = false;
  if (event->position().y() < RulerHeight()) {
    press_ = Press::Ruler;
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  press_ = Press::Wave;
  const Hit hit = HitAt(event->position());
  drag_ = TimingDrag();
  if (hit.row >= 0) {
    drag_ = {hit.row, hit.part, times_[hit.row].start, times_[hit.row].end,
             TimeAt(event->position().x())};
    dragged_ = {drag_.start, drag_.end};
  }
}

void WaveformStrip::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (press_ == Press::None) {
    if (!TakesInput()) return unsetCursor();
    const Hit hit = HitAt(at);
    if (at.y() < RulerHeight())
      setCursor(Qt::OpenHandCursor);
    else if (hit.part == StripPart::Start || hit.part == StripPart::End)
      setCursor(Qt::SizeHorCursor);
    else if (hit.part == StripPart::Middle)
      setCursor(Qt::SizeAllCursor);
    else
      unsetCursor();
    return;
  }
  if (!dragging_ && (at - press_at_).manhattanLength() < QApplication::startDragDistance()) return;
  dragging_ = true;
  if (press_ == Press::Ruler) {
    // The view follows the hand: dragging right brings earlier sound in.
    SetView(press_begin_ - (at.x() - press_at_.x()) * span_ / std::max(1, width()), span_);
    return;
  }
  if (drag_.row < 0 || drag_.row >= doc_.Count()) return;
  const double pointer = TimeAt(at.x());
  SubtitleTimes t;
  if (event->modifiers() & Qt::ShiftModifier)
    sound_.Read([&](const SoundAnalysis& a) { t = DragTimes(doc_, drag_, pointer, &a); });
  else
    t = DragTimes(doc_, drag_, pointer);
  pointer_time_ = drag_.part == StripPart::End ? t.end : t.start;
  if (t.start != dragged_.start || t.end != dragged_.end) {
    dragged_ = t;
    times_[drag_.row] = t;
    emit TimingChanged(drag_.row, t.start, t.end);
  }
  update();
}

void WaveformStrip::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || press_ == Press::None) return;
  const Press press = press_;
  const bool dragged = dragging_;
  press_ = Press::None;
  dragging_ = false;
  pointer_time_ = -1;
  unsetCursor();
  update();
  if (press == Press::Wave && !dragged) {
    emit SeekRequested(std::max(0.0, TimeAt(event->position().x())));
  } else if (press == Press::Wave && drag_.row >= 0) {
    const int row = drag_.row;
    drag_ = TimingDrag();
    emit TimingFinished(row);
  }
}

void WaveformStrip::mouseDoubleClickEvent(QMouseEvent* event) {
  if (!TakesInput() || event->button() != Qt::LeftButton) return;
  const Hit hit = HitAt(event->position());
  if (hit.row >= 0) emit SubtitleActivated(hit.row);
}

void WaveformStrip::wheelEvent(QWheelEvent* event) {
  if (!TakesInput()) return event->ignore();
  const QPoint d = event->angleDelta();
  if (event->modifiers() & Qt::ControlModifier) {
    // Away from the user zooms in, about the time under the pointer.
    if (d.y() != 0) Zoom(d.y() > 0 ? 1 : -1, TimeAt(event->position().x()));
  } else {
    const int notches = d.x() != 0 ? -d.x() : -d.y();
    SetView(begin_ + notches / 120.0 * span_ / 8, span_);
  }
  event->accept();
}

void WaveformStrip::keyPressEvent(QKeyEvent* event) {
  if (!TakesInput()) return QWidget::keyPressEvent(event);
  const double anchor =
      position_ >= begin_ && position_ < begin_ + span_ ? position_ : begin_ + span_ / 2;
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      Zoom(1, anchor);
      return;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
      Zoom(-1, anchor);
      return;
    case Qt::Key_Escape:
      if (press_ == Press::Wave && dragging_ && drag_.row >= 0) {
        // Back to where the drag began; the release then records nothing.
        dragged_ = {drag_.start, drag_.end};
        times_[drag_.row] = dragged_;
        emit TimingChanged(drag_.row, drag_.start, drag_.end);
        update();
        return;
      }
      break;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tessera
