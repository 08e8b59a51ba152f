// What several benchmarks share: one offscreen application, a prompter that answers nothing, and a
// document with the usual faults.
#pragma once

#include <QApplication>
#include <cstdlib>
#include <optional>
#include <string>

#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"

namespace tessera::bench {

// A QApplication, so that widgets can be benchmarked beside measuring.
inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "tessera_bench";
  static char* argv[] = {name, nullptr};
  if (qApp) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  new QApplication(argc, argv);
}

class SilentPrompter final : public Prompter {
 public:
  void MessageBox(const std::u16string&, const std::u16string&, PromptIcon) override {}
  bool AskYesNo(const std::u16string&, const std::u16string&, PromptIcon) override { return false; }
  void Beep() override {}
  std::optional<double> AskLoadFrameRate() override { return 25.0; }
};

// A film's worth of subtitles with the usual faults: short gaps, overlaps, long lines, spacing,
// three-line and empty subtitles.
inline void GenerateFaultyDocument(SubtitleDocument& doc, int count) {
  const char16_t* texts[] = {u"Where are you going?",
                             u"- I don't know.",
                             u"It was 1 997 when we met,and then we left .",
                             u"Stop!!! Don't move!",
                             u"This is a really rather long subtitle line that will not fit on the "
                             u"screen at all",
                             u"<i>He said ``no''.</i>",
                             u"and then...",
                             u"l'm sure you know  what I mean."};
  doc.Empty();
  doc.Reserve(count);
  double t = 1.0;
  for (int i = 0; i < count; ++i) {
    const double d = 1.0 + (i % 7) * 0.6;
    const std::u16string a = texts[i % 8], b = (i % 3 == 0) ? texts[(i + 3) % 8] : u"";
    const std::u16string c = (i % 50 == 0) ? u"- A third line" : u"";
    if (i % 97 == 0)
      doc.AddRow(FormatTimeText(t), FormatTimeText(t + d));
    else
      doc.AddRow(FormatTimeText(t), FormatTimeText(t + d), a, b, c);
    t += d + ((i % 5 == 0) ? -0.2 : 0.05 + (i % 4) * 0.4);
  }
}

}  // namespace tessera::bench
