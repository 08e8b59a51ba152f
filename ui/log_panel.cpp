#include "ui/log_panel.h"

#include <QFontDatabase>

#include "core/qt_text_qt.h"

namespace tessera {

LogPanel::LogPanel(MessageLog& log, bool split_lines, QWidget* parent)
    : QListWidget(parent), log_(log), split_lines_(split_lines) {
  QFont mono(QStringLiteral("Courier New"), 10);
  mono.setStyleHint(QFont::Monospace);
  if (!QFontDatabase::families().contains(mono.family())) {
    mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(10);
  }
  setFont(mono);
  setSelectionMode(QAbstractItemView::NoSelection);
  setUniformItemSizes(true);
  setFocusPolicy(Qt::NoFocus);
  listener_ = log_.AddListener([this](const std::u16string& line) { AddLine(line); });
  Refill();
}

LogPanel::~LogPanel() {
  log_.RemoveListener(listener_);
}

void LogPanel::Append(const std::u16string& text) {
  if (!split_lines_) {
    log_.Append(text);
    return;
  }
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(u"\r\n", from);
    log_.Append(text.substr(from, at == std::u16string::npos ? std::u16string::npos : at - from));
    if (at == std::u16string::npos) break;
    from = at + 2;
  }
}

void LogPanel::AddLine(const std::u16string& line) {
  addItem(ToQ(line));
  scrollToBottom();
}

void LogPanel::Refill() {
  setUpdatesEnabled(false);
  clear();
  QStringList lines;
  lines.reserve(log_.Size());
  for (const std::u16string& l : log_.Lines()) lines << ToQ(l);
  addItems(lines);
  scrollToBottom();
  setUpdatesEnabled(true);
}

}  // namespace tessera
