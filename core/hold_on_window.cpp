#include "core/hold_on_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "core/qt_text_qt.h"

namespace tessera {
namespace {
constexpr int kClockSize = 48;
constexpr int kMargin = 10;
constexpr int kExposeWaitMs = 500;
constexpr int kCancelPollMs = 50;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

// Drops the user's input for everything but one window while it is installed.
class InputGate final : public QObject {
 public:
  explicit InputGate(QWidget* open) : open_(open) { qApp->installEventFilter(this); }
  ~InputGate() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!IsUserInput(event->type())) return false;
    if (auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() != open_;
    if (auto* window = qobject_cast<QWindow*>(watched)) return window != open_->windowHandle();
    return false;
  }

 private:
  QWidget* open_;
};
}  // namespace

QPixmap CHoldOnDialog::ClockPicture() {
  QPixmap pm(kClockSize, kClockSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QPointF c(kClockSize / 2.0, kClockSize / 2.0);
  const double r = kClockSize / 2.0 - 2;
  QRadialGradient face(c, r, c - QPointF(r / 3, r / 3));
  face.setColorAt(0, QColor(255, 255, 250));
  face.setColorAt(1, QColor(214, 222, 235));
  p.setPen(QPen(QColor(54, 78, 120), 2.5));
  p.setBrush(face);
  p.drawEllipse(c, r, r);
  p.setPen(QPen(QColor(54, 78, 120), 1.5));
  for (int i = 0; i < 12; ++i) {
    const double a = i * M_PI / 6;
    const double inner = (i % 3 == 0) ? r - 7 : r - 4;
    p.drawLine(QPointF(c.x() + inner * std::sin(a), c.y() - inner * std::cos(a)),
               QPointF(c.x() + (r - 2) * std::sin(a), c.y() - (r - 2) * std::cos(a)));
  }
  // Ten past ten, as clocks on display show.
  auto hand = [&](double angle, double length, double width, QColor colour) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x() + length * std::sin(angle), c.y() - length * std::cos(angle)));
  };
  hand(-M_PI / 3 + M_PI / 36, r * 0.5, 3, QColor(30, 30, 40));
  hand(M_PI / 3, r * 0.75, 2, QColor(30, 30, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(190, 40, 40));
  p.drawEllipse(c, 2.5, 2.5);
  return pm;
}

CHoldOnDialog::CHoldOnDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      clock_(ClockPicture()) {
  setModal(false);
  QFont mono(QStringLiteral("Courier New"), 10);
  mono.setStyleHint(QFont::Monospace);
  if (!QFontDatabase::families().contains(mono.family()))
    mono = QFontDatabase::systemFont(QFontDatabase::FixedFont), mono.setPointSize(10);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin + kClockSize + 12, kMargin, kMargin, kMargin);
  for (QLabel*& l : lines_) {
    l = new QLabel(this);
    l->setFont(mono);
    l->setTextFormat(Qt::PlainText);
    layout->addWidget(l);
  }
  layout->addStretch();
  bar_ = new QProgressBar(this);
  bar_->setRange(0, 100);
  bar_->setTextVisible(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("cancelRun"));
  cancel_->hide();
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel_asked_ = offering_cancel_; });
  auto* bar_row = new QHBoxLayout;
  bar_row->addWidget(bar_, 1);
  bar_row->addWidget(cancel_);
  layout->addLayout(bar_row);
  // The bar runs across the whole width, under the clock.
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  for (QLabel* l : lines_) l->setContentsMargins(kClockSize + 12, 0, 0, 0);
  setFixedSize(520, 120);
  pending_.setSingleShot(true);
  connect(&pending_, &QTimer::timeout, this, [this] {
    if (running_) Show(true);
  });
}

void CHoldOnDialog::Open(const std::u16string& caption) {
  percent_ = 0;
  lines_text_[0].clear();
  lines_text_[1].clear();
  setWindowTitle(ToQ(caption));
  // Centred on its owner, else on the screen.
  QRect area;
  if (parentWidget() && parentWidget()->isVisible())
    area = parentWidget()->frameGeometry();
  else if (QScreen* screen = QApplication::primaryScreen())
    area = screen->geometry();
  if (area.isValid())
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
  running_ = true;
  repaints_ = 0;
  show();
  // Painting waits until the window system has exposed the window, which it reports through
  // the event loop; the run that opened the window does not return to it.
  QElapsedTimer waiting;
  waiting.start();
  while (windowHandle() && !windowHandle()->isExposed() && waiting.elapsed() < kExposeWaitMs)
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  Show(true);
}

void CHoldOnDialog::SetPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  Show(false);
}

void CHoldOnDialog::SetLines(const std::u16string& line1, const std::u16string& line2) {
  // A row the run processes again sets the same lines; they are not converted again.
  if (lines_text_[0] != QStringView(line1) || lines_text_[1] != QStringView(line2)) {
    lines_text_[0] = ToQ(line1);
    lines_text_[1] = ToQ(line2);
  }
  Show(false);
}

void CHoldOnDialog::Show(bool now) {
  // The caller's loop does not return to the event loop between steps, so the window is
  // repainted here; a run calls once per row, far more often than anyone can see.
  constexpr int kFrameMs = 33;
  const bool changed = bar_->value() != percent_ || lines_[0]->text() != lines_text_[0] ||
                       lines_[1]->text() != lines_text_[1];
  if (!changed && !now) return;
  if (!now && since_repaint_.isValid() && since_repaint_.elapsed() < kFrameMs) {
    if (!pending_.isActive()) pending_.start(kFrameMs);
    return;
  }
  pending_.stop();
  bar_->setValue(percent_);
  for (int i = 0; i < 2; ++i)
    if (lines_[i]->text() != lines_text_[i]) lines_[i]->setText(lines_text_[i]);
  if (isVisible()) {
    repaint();
    ++repaints_;
  }
  since_repaint_.start();
}

void CHoldOnDialog::Close() {
  // The last state is shown before the window goes.
  Show(true);
  running_ = false;
  const bool took_keyboard = offering_cancel_;
  offering_cancel_ = false;
  cancel_->hide();
  hide();
  // The keyboard goes back to the window the run was started from.
  if (took_keyboard && parentWidget()) parentWidget()->activateWindow();
}

void CHoldOnDialog::OfferCancel() {
  offering_cancel_ = running_;
  cancel_asked_ = false;
  cancel_->setVisible(offering_cancel_);
  since_poll_.invalidate();
  // Escape and Enter reach the button only when the window has the keyboard.
  if (offering_cancel_) {
    activateWindow();
    cancel_->setFocus();
  }
}

bool CHoldOnDialog::Cancelled() {
  if (!offering_cancel_) return false;
  if (!cancel_asked_ && (!since_poll_.isValid() || since_poll_.elapsed() >= kCancelPollMs)) {
    since_poll_.start();
    const InputGate gate(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return cancel_asked_;
}

void CHoldOnDialog::SetOwner(QWidget* owner) {
  setParent(owner, windowFlags());
}

void CHoldOnDialog::reject() {
  // Escape would hide the window while the run it reports goes on; it asks a run that can stop
  // to stop instead.
  if (offering_cancel_) cancel_asked_ = true;
  if (!running_) QDialog::reject();
}

void CHoldOnDialog::closeEvent(QCloseEvent* event) {
  if (running_)
    event->ignore();
  else
    QDialog::closeEvent(event);
}

int CHoldOnDialog::ShownPercent() const {
  return bar_->value();
}

QString CHoldOnDialog::ShownLine(int i) const {
  return lines_[i]->text();
}

void CHoldOnDialog::paintEvent(QPaintEvent*) {
  // Widgets are double-buffered, so the background does not flicker while the bar moves.
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Button));
  p.drawPixmap(kMargin, kMargin, clock_);
}

}  // namespace tessera
