// Progress of long commands on standard error, shown only when it is a terminal.
#pragma once

#include <string>

#include "core/services.h"

namespace tessera::cli {

// A one-line bar redrawn in place ("Fixing errors  42%"); silent when standard error is piped, so
// scripts and logs see nothing extra. Close ends the line.
class TerminalProgress final : public ProgressSink {
 public:
  TerminalProgress();
  // For tests and callers that know better than isatty.
  explicit TerminalProgress(bool shown) : shown_(shown) {}
  ~TerminalProgress() override { Close(); }

  void Open(const std::u16string& caption) override;
  void SetPercent(int percent) override;
  void SetLines(const std::u16string&, const std::u16string&) override {}
  void Close() override;

  bool shown() const { return shown_; }

 private:
  void Draw();

  bool shown_ = false;
  bool open_ = false;
  std::string caption_;
  int percent_ = -1;
};

}  // namespace tessera::cli
