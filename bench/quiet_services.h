// What the benchmarks run with instead of a user: a prompter that answers nothing and, for the
// widget benchmarks, one offscreen application.
#pragma once

#include <QApplication>
#include <optional>
#include <string>

#include "core/services.h"

namespace tessera {

class QuietPrompter final : public Prompter {
 public:
  void MessageBox(const std::u16string&, const std::u16string&, PromptIcon) override {}
  bool AskYesNo(const std::u16string&, const std::u16string&, PromptIcon) override { return false; }
  void Beep() override {}
  std::optional<double> AskLoadFrameRate() override { return std::nullopt; }
};

inline void EnsureOffscreenApplication() {
  if (qApp) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "tessera_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

}  // namespace tessera
