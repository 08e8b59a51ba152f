#include "ui/cd_player_display.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <memory>

namespace tessera {
namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 131;
constexpr int kSheetColumns = 20;
constexpr int kFrame = 2;
// The glyphs' origin inside the frame.
constexpr int kInsetX = 2;
constexpr int kInsetY = 3;

const QColor kBackground(49, 49, 49);
const QColor kLit(132, 226, 255);
const QColor kUnlit(60, 63, 66);

// Sixteen segments: the top, middle and bottom bars in halves, the four outer verticals, the
// two centre verticals and the four diagonals between the corners and the centre.
enum Segment : unsigned {
  kTopL = 1u << 0,
  kTopR = 1u << 1,
  kUpR = 1u << 2,
  kLowR = 1u << 3,
  kBotR = 1u << 4,
  kBotL = 1u << 5,
  kLowL = 1u << 6,
  kUpL = 1u << 7,
  kMidL = 1u << 8,
  kMidR = 1u << 9,
  kDiagUL = 1u << 10,  // top-left corner to the centre
  kCentreUp = 1u << 11,
  kDiagUR = 1u << 12,
  kDiagLL = 1u << 13,  // centre to the bottom-left corner
  kCentreLow = 1u << 14,
  kDiagLR = 1u << 15,
  // Marks drawn apart from the segments.
  kDot = 1u << 16,
  kColonDots = 1u << 17,
  kPlay = 1u << 18,
  kPause = 1u << 19,
  kStop = 1u << 20,
};
constexpr unsigned kTop = kTopL | kTopR, kBot = kBotL | kBotR, kMid = kMidL | kMidR;
constexpr unsigned kLeft = kUpL | kLowL, kRight = kUpR | kLowR, kCentre = kCentreUp | kCentreLow;
constexpr unsigned kAllSegments = 0xffffu;
constexpr unsigned kSevenBars = kTop | kBot | kMid | kLeft | kRight;

unsigned SegmentsOf(char16_t c) {
  if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  switch (c) {
    case u'0':
      return kTop | kBot | kLeft | kRight;
    case u'1':
      return kRight;
    case u'2':
      return kTop | kUpR | kMid | kLowL | kBot;
    case u'3':
      return kTop | kRight | kMid | kBot;
    case u'4':
      return kUpL | kMid | kRight;
    case u'5':
      return kTop | kUpL | kMid | kLowR | kBot;
    case u'6':
      return kTop | kLeft | kMid | kLowR | kBot;
    case u'7':
      return kTop | kRight;
    case u'8':
      return kTop | kBot | kLeft | kRight | kMid;
    case u'9':
      return kTop | kUpL | kRight | kMid | kBot;
    case u'A':
      return kTop | kLeft | kRight | kMid;
    case u'B':
      return kTop | kRight | kBot | kCentre | kMidR;
    case u'C':
      return kTop | kLeft | kBot;
    case u'D':
      return kTop | kRight | kBot | kCentre;
    case u'E':
      return kTop | kLeft | kBot | kMidL;
    case u'F':
      return kTop | kLeft | kMidL;
    case u'G':
      return kTop | kLeft | kBot | kLowR | kMidR;
    case u'H':
      return kLeft | kRight | kMid;
    case u'I':
      return kTop | kBot | kCentre;
    case u'J':
      return kRight | kBot | kLowL;
    case u'K':
      return kLeft | kMidL | kDiagUR | kDiagLR;
    case u'L':
      return kLeft | kBot;
    case u'M':
      return kLeft | kRight | kDiagUL | kDiagUR;
    case u'N':
      return kLeft | kRight | kDiagUL | kDiagLR;
    case u'O':
      return kTop | kBot | kLeft | kRight;
    case u'P':
      return kTop | kLeft | kUpR | kMid;
    case u'Q':
      return kTop | kBot | kLeft | kRight | kDiagLR;
    case u'R':
      return kTop | kLeft | kUpR | kMid | kDiagLR;
    case u'S':
      return kTop | kUpL | kMid | kLowR | kBot;
    case u'T':
      return kTop | kCentre;
    case u'U':
      return kLeft | kRight | kBot;
    case u'V':
      return kLeft | kDiagLL | kDiagUR;
    case u'W':
      return kLeft | kRight | kDiagLL | kDiagLR;
    case u'X':
      return kDiagUL | kDiagUR | kDiagLL | kDiagLR;
    case u'Y':
      return kDiagUL | kDiagUR | kCentreLow;
    case u'Z':
      return kTop | kDiagUR | kDiagLL | kBot;
    case u'!':
      return kCentreUp | kDot;
    case u'"':
      return kUpL | kCentreUp;
    case u'#':
      return kRight | kCentre | kMid | kBot;
    case u'$':
      return kTop | kUpL | kMid | kLowR | kBot | kCentre;
    case u'%':
      return kTopL | kUpL | kDiagUR | kDiagLL | kBotR | kLowR | kCentre | kMid;
    case u'&':
      return kTopL | kUpL | kCentreUp | kMidL | kLowL | kBot | kDiagLR;
    case u'\'':
      return kCentreUp;
    case u'(':
      return kDiagUR | kDiagLR;
    case u')':
      return kDiagUL | kDiagLL;
    case u'*':
      return kDiagUL | kDiagUR | kDiagLL | kDiagLR | kCentre | kMid;
    case u'+':
      return kCentre | kMid;
    case u',':
      return kDiagLL;
    case u'-':
      return kMid;
    case u'.':
      return kDot;
    case u'/':
      return kDiagUR | kDiagLL;
    case u':':
      return kColonDots;
    case u';':
      return kCentreUp | kDiagLL;
    case u'<':
      return kDiagUR | kDiagLR;
    case u'=':
      return kMid | kBot;
    case u'>':
      return kDiagUL | kDiagLL;
    case u'?':
      return kTop | kUpR | kMidR | kCentreLow;
    case u'@':
      return kTop | kLeft | kBot | kUpR | kMidR | kCentreUp;
    case u'[':
      return kTopL | kCentre | kBotL;
    case u'\\':
      return kDiagUL | kDiagLR;
    case u']':
      return kTopR | kCentre | kBotR;
    case u'^':
      return kDiagLL | kDiagLR;
    case u'_':
      return kBot;
    case u'`':
      return kDiagUL;
    case u'{':
      return kTopR | kCentre | kBotR | kMidL;
    case u'|':
      return kCentre;
    case u'}':
      return kTopL | kCentre | kBotL | kMidR;
    case u'~':
      return kMidL | kCentreUp | kTopR;
    case 128:
      return kPlay;
    case 129:
      return kPause;
    case 130:
      return kStop;
    case 131:
      return kAllSegments | kDot;
  }
  return 0;
}

// Segment centre lines in a 12 x 16 cell, on whole pixels so that bars two pixels thick are sharp
// at a ratio of 1.
constexpr qreal kXL = 2, kXM = 6, kXR = 10, kYT = 2, kYM = 8, kYB = 14;
constexpr qreal kHalf = 1.0;  // half the bar thickness
constexpr qreal kGap = 0.3;   // between two bars that meet

QPolygonF Bar(QPointF a, QPointF b) {
  const bool across = a.y() == b.y();
  QPolygonF p;
  if (across) {
    const qreal y = a.y(), x0 = a.x() + kGap, x1 = b.x() - kGap;
    p << QPointF(x0, y) << QPointF(x0 + kHalf, y - kHalf) << QPointF(x1 - kHalf, y - kHalf)
      << QPointF(x1, y) << QPointF(x1 - kHalf, y + kHalf) << QPointF(x0 + kHalf, y + kHalf);
  } else {
    const qreal x = a.x(), y0 = a.y() + kGap, y1 = b.y() - kGap;
    p << QPointF(x, y0) << QPointF(x + kHalf, y0 + kHalf) << QPointF(x + kHalf, y1 - kHalf)
      << QPointF(x, y1) << QPointF(x - kHalf, y1 - kHalf) << QPointF(x - kHalf, y0 + kHalf);
  }
  return p;
}

// A diagonal from one end to the other, kept clear of the bars at both ends.
void Diagonal(QPainterPath& path, QPointF a, QPointF b) {
  const QPointF d = b - a;
  const qreal length = std::hypot(d.x(), d.y());
  const QPointF unit = d / length;
  const QPointF normal(-unit.y() * 0.75, unit.x() * 0.75);
  const QPointF from = a + unit * 1.9, to = b - unit * 1.7;
  path.addPolygon(QPolygonF{} << from + normal << to + normal << to - normal << from - normal
                              << from + normal);
}

QPainterPath SegmentPath(unsigned segments) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  auto bar = [&](QPointF a, QPointF b) { path.addPolygon(Bar(a, b)); };
  // Both halves of a bar make one bar, as on a seven-segment digit.
  auto bar_pair = [&](unsigned left, unsigned right, qreal y) {
    if ((segments & left) && (segments & right)) {
      bar({kXL, y}, {kXR, y});
    } else {
      if (segments & left) bar({kXL, y}, {kXM, y});
      if (segments & right) bar({kXM, y}, {kXR, y});
    }
  };
  bar_pair(kTopL, kTopR, kYT);
  bar_pair(kMidL, kMidR, kYM);
  bar_pair(kBotL, kBotR, kYB);
  if (segments & kUpL) bar({kXL, kYT}, {kXL, kYM});
  if (segments & kLowL) bar({kXL, kYM}, {kXL, kYB});
  if (segments & kUpR) bar({kXR, kYT}, {kXR, kYM});
  if (segments & kLowR) bar({kXR, kYM}, {kXR, kYB});
  if (segments & kCentreUp) bar({kXM, kYT}, {kXM, kYM});
  if (segments & kCentreLow) bar({kXM, kYM}, {kXM, kYB});
  if (segments & kDiagUL) Diagonal(path, {kXL, kYT}, {kXM, kYM});
  if (segments & kDiagUR) Diagonal(path, {kXR, kYT}, {kXM, kYM});
  if (segments & kDiagLL) Diagonal(path, {kXM, kYM}, {kXL, kYB});
  if (segments & kDiagLR) Diagonal(path, {kXM, kYM}, {kXR, kYB});
  if (segments & kDot) path.addRect(QRectF(kXM - 1, kYB - 1, 2, 2));
  if (segments & kColonDots) {
    path.addRect(QRectF(kXM - 1, 4.5, 2, 2));
    path.addRect(QRectF(kXM - 1, 10.5, 2, 2));
  }
  if (segments & kPlay)
    path.addPolygon(QPolygonF{} << QPointF(3, 3) << QPointF(10, 8) << QPointF(3, 13));
  if (segments & kPause) {
    path.addRect(QRectF(3, 3, 2, 10));
    path.addRect(QRectF(7, 3, 2, 10));
  }
  if (segments & kStop) path.addRect(QRectF(3, 4, 7, 8));
  return path;
}

QImage DrawSheet(qreal ratio) {
  const QSize logical(
      kSheetColumns * CCDPlayerDisplay::kGlyphWidth,
      ((kLastCode - kFirstCode) / kSheetColumns + 1) * CCDPlayerDisplay::kGlyphHeight);
  QImage sheet((QSizeF(logical) * ratio).toSize(), QImage::Format_RGB32);
  sheet.setDevicePixelRatio(ratio);
  sheet.fill(kBackground);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  const QPainterPath unlit = SegmentPath(kSevenBars);
  for (int code = kFirstCode; code <= kLastCode; ++code) {
    const unsigned segments = SegmentsOf(static_cast<char16_t>(code));
    if (segments == 0) continue;
    p.save();
    p.translate(CCDPlayerDisplay::SheetRect(static_cast<char16_t>(code)).topLeft());
    // A faint unlit eight behind a character of bars, as on the real readouts.
    if (segments & kAllSegments) p.fillPath(unlit, kUnlit);
    p.fillPath(SegmentPath(segments), kLit);
    p.restore();
  }
  return sheet;
}

}  // namespace

CCDPlayerDisplay::CCDPlayerDisplay(int columns, int rows, QWidget* parent)
    : QWidget(parent), columns_(std::max(1, columns)), rows_(std::max(1, rows)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::NoFocus);
}

void CCDPlayerDisplay::SetLine(int index, const QString& text) {
  if (index < 0) return;
  while (lines_.size() <= index) lines_.append(QString());
  if (lines_[index] == text) return;
  lines_[index] = text;
  UpdateName();
  update();
}

void CCDPlayerDisplay::Clear() {
  for (QString& line : lines_) line.clear();
  UpdateName();
  update();
}

void CCDPlayerDisplay::UpdateName() {
  // The drawn readout is no text a screen reader finds, and Qt's accessible value does not reach
  // the Linux accessibility bus: the name says what it shows.
  QStringList shown;
  for (const QString& line : lines_)
    if (!line.trimmed().isEmpty()) shown.append(line.trimmed());
  const QString text = shown.join(QStringLiteral(", "));
  setAccessibleName(caption_.isEmpty() || text.isEmpty() ? caption_ + text
                                                         : caption_ + QStringLiteral(" ") + text);
}

void CCDPlayerDisplay::SetCaption(const QString& caption) {
  caption_ = caption;
  UpdateName();
}

QRect CCDPlayerDisplay::GlyphRect(int line, int column) {
  return QRect(kFrame + kInsetX + kGlyphWidth * column, kFrame + kInsetY + kLineStep * line,
               kGlyphWidth, kGlyphHeight);
}

QRect CCDPlayerDisplay::SheetRect(char16_t code) {
  if (code < kFirstCode || code > kLastCode) return {};
  const int cell = code - kFirstCode;
  return QRect((cell % kSheetColumns) * kGlyphWidth, (cell / kSheetColumns) * kGlyphHeight,
               kGlyphWidth, kGlyphHeight);
}

const QImage& CCDPlayerDisplay::GlyphSheet(qreal device_pixel_ratio) {
  static QHash<int, QImage> sheets;
  const int key = qRound(device_pixel_ratio * 100);
  auto it = sheets.find(key);
  if (it == sheets.end()) it = sheets.insert(key, DrawSheet(key / 100.0));
  return *it;
}

QSize CCDPlayerDisplay::sizeHint() const {
  const QRect last = GlyphRect(rows_ - 1, columns_ - 1);
  return {last.right() + 1 + kInsetX + kFrame, last.bottom() + 1 + kInsetY - 1 + kFrame};
}

void CCDPlayerDisplay::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect all = rect();
  // The sunken frame: grey over black at the top and left, white over light grey at the bottom
  // and right.
  auto frame = [&](const QRect& r, const QColor& top_left, const QColor& bottom_right) {
    p.setPen(top_left);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottom_right);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
  };
  frame(all, QColor(128, 128, 128), Qt::white);
  frame(all.adjusted(1, 1, -1, -1), Qt::black, QColor(192, 192, 192));
  const QRect inside = all.adjusted(kFrame, kFrame, -kFrame, -kFrame);
  p.fillRect(inside, kBackground);
  p.setClipRect(inside);
  const QImage& sheet = GlyphSheet(devicePixelRatioF());
  const qreal ratio = sheet.devicePixelRatio();
  for (int k = 0; k < lines_.size(); ++k) {
    const QString& line = lines_[k];
    for (int j = 0; j < line.size(); ++j) {
      const QRect source = SheetRect(line[j].unicode());
      if (source.isEmpty()) continue;
      const QRect target = GlyphRect(k, j);
      if (!target.intersects(inside)) break;
      p.drawImage(target, sheet,
                  QRectF(source.x() * ratio, source.y() * ratio, source.width() * ratio,
                         source.height() * ratio));
    }
  }
}

}  // namespace tessera
