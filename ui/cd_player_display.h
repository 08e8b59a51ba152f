// A read-only readout in the style of a CD player's display: one or more lines of short text
// (a time such as 0:01:02.345, the seconds or milliseconds of a duration) drawn with
// segment-style glyphs on dark grey inside a two-pixel sunken frame. It takes no input.
//
// Glyphs are 12 x 16 pixels, one per character, drawn from a sheet of 20 x 5 cells for the
// character codes 32 to 131 (lower-case letters look like capitals; 128 to 131 are play, pause,
// stop and all segments lit). Other codes show as blanks. Character j of line k is drawn at
// (4 + 12 j, 5 + 17 k); the sheet is drawn from vector shapes at the screen's pixel ratio, so
// the glyphs stay sharp on a high-density screen.
#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>

namespace tessera {

class CCDPlayerDisplay : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kGlyphWidth = 12;
  static constexpr int kGlyphHeight = 16;
  static constexpr int kLineStep = 17;

  // The size hint makes room for `columns` characters on each of `rows` lines.
  explicit CCDPlayerDisplay(int columns = 11, int rows = 1, QWidget* parent = nullptr);

  // Line `index` shows `text`; missing lines before it are added empty.
  void SetLine(int index, const QString& text);
  void SetText(const QString& text) { SetLine(0, text); }
  // Every line shows nothing (the lines stay).
  void Clear();
  // What the readout shows, which its accessible name says before the lines ("Start").
  void SetCaption(const QString& caption);
  const QStringList& Lines() const { return lines_; }

  // Where character `column` of line `line` is drawn, in the widget's coordinates.
  static QRect GlyphRect(int line, int column);
  // The cell of `code` in the sheet (logical pixels); empty for codes outside 32..131.
  static QRect SheetRect(char16_t code);
  // The 240 x 80 sheet drawn for `device_pixel_ratio`; made once per ratio.
  static const QImage& GlyphSheet(qreal device_pixel_ratio);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void UpdateName();

  QStringList lines_;
  QString caption_;
  int columns_;
  int rows_;
};

}  // namespace tessera
