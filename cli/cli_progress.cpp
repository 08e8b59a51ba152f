#include "cli/cli_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "core/text_util.h"

namespace tessera::cli {

TerminalProgress::TerminalProgress() : shown_(isatty(STDERR_FILENO) == 1) {}

void TerminalProgress::Open(const std::u16string& caption) {
  if (open_) Close();
  open_ = true;
  caption_ = ToUtf8(caption);
  percent_ = -1;
  SetPercent(0);
}

void TerminalProgress::SetPercent(int percent) {
  percent = std::clamp(percent, 0, 100);
  if (!open_ || percent == percent_) return;
  percent_ = percent;
  Draw();
}

void TerminalProgress::Draw() {
  if (!shown_) return;
  // \r and the clear-to-end code redraw the line in place.
  std::fprintf(stderr, "\r%s %3d%%\x1b[K", caption_.c_str(), percent_);
  std::fflush(stderr);
}

void TerminalProgress::Close() {
  if (!open_) return;
  open_ = false;
  if (shown_) {
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
  }
}

}  // namespace tessera::cli
