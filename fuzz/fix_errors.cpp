// Runs every repair over documents read from arbitrary bytes: the run must end without a crash
// and leave the columns of equal length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "check/check_lists.h"
#include "check/fix_errors.h"
#include "core/services.h"
#include "core/subtitle_document.h"
#include "core/text_file.h"
#include "formats/subrip.h"

namespace {

class AnswerBoth final : public tessera::Prompter {
 public:
  void MessageBox(const std::u16string&, const std::u16string&, tessera::PromptIcon) override {}
  bool AskYesNo(const std::u16string&, const std::u16string&, tessera::PromptIcon) override {
    return (++asked & 1) != 0;
  }
  void Beep() override {}
  std::optional<double> AskLoadFrameRate() override { return 25.0; }
  int asked = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tessera;
  if (size < 2) return 0;
  // The first bytes choose the numbers of the run; the rest is the file.
  const uint8_t knobs = data[0], limit = data[1];
  std::u16string text;
  DecodeTextBytes(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2), text);
  SubtitleDocument doc;
  ReadSubRip(doc, text, 0.0);

  FixErrorsOptions o;
  SelectAllRepairs(o, 1);
  o.smart_duration = knobs & 1;
  o.split_line_separators = (knobs >> 1) & 1;
  o.remove_format_tags = (knobs >> 2) & 1;
  o.triple_periods_mode = (knobs >> 3) & 3;
  o.spaces_after_dash = (knobs >> 5) & 3;
  o.min_time_between = (knobs >> 7) ? 0.0 : 0.1;
  o.split_method = 1;
  o.max_number_characters = limit % 64;
  CheckLists lists;
  lists.credits = {{u"sync by", true}, {u"subtitles by", false}};
  lists.ocr = {{u"l'm", u"I'm"}, {u"|", u"||"}};
  AppSettings app;
  AnswerBoth prompter;
  NullProgressSink progress;
  FixRunServices s;
  s.app = &app;
  s.lists = &lists;
  s.prompter = &prompter;
  s.progress = &progress;
  FixWorkTable table;
  RunFixErrors(doc, o, s, table);
  for (int c = 0; c < kTextColumns; ++c) {
    if (doc.ColumnCells(c).size() != static_cast<size_t>(doc.Count())) std::abort();
  }
  if (table.Count() != doc.Count()) std::abort();
  return 0;
}
