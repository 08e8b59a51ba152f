// The message list at the bottom of a page: shows the program's one MessageLog.
#pragma once

#include <QListWidget>

#include "core/message_log.h"

namespace tessera {

class LogPanel : public QListWidget {
  Q_OBJECT
 public:
  // `split_lines`: each CR LF separated piece of an appended text becomes its own line.
  LogPanel(MessageLog& log, bool split_lines = false, QWidget* parent = nullptr);
  ~LogPanel() override;

  // Adds the text to the MessageLog; the panel shows it at once.
  void Append(const std::u16string& text);
  // Shows every line of the MessageLog again.
  void Refill();

 private:
  void AddLine(const std::u16string& line);

  MessageLog& log_;
  bool split_lines_;
  int listener_ = 0;
};

}  // namespace tessera
