#include "formats/split.h"

#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "formats/subrip.h"

namespace tessera {

std::u16string SplitPartName(const std::u16string& chosen, char16_t letter) {
  std::u16string name = chosen;
  size_t dot = name.rfind(u'.');
  name.insert(dot == std::u16string::npos ? name.size() : dot, 1, letter);
  return name;
}

bool CanSplitAt(const SubtitleDocument& doc, int row, std::u16string* why) {
  // Otherwise both parts would hold the whole document, or the second one nothing.
  const char16_t* reason = nullptr;
  if (row <= 0)
    reason = u"ERROR: Nothing to split: no subtitle before the split point.";
  else if (row >= doc.Count())
    reason = u"ERROR: Nothing to split: no subtitle after the split point.";
  if (reason && why) *why = reason;
  return reason == nullptr;
}

int SplitSubtitleFile(SubtitleDocument& doc, int split_row, const std::u16string& chosen,
                      SettingsStore& store, const AppSettings& settings) {
  int h = split_row < 0 ? 0 : split_row;
  const SaveFormat* format = FindSelectionSaveFormat(chosen);
  int ok = 1;
  if (format && !IsSubRip(*format)) {
    doc.AppendLog(SavingLine(*format, chosen));
    ok = WriteSubtitleText(doc, chosen, format->text(doc, -1, -1, settings), settings.encoding);
  } else if (format) {
    std::u16string why;
    if (!CanSplitAt(doc, h, &why)) {
      doc.AppendLog(why);
      return 0;
    }
    std::u16string a = SplitPartName(chosen, u'a');
    std::u16string b = SplitPartName(chosen, u'b');
    doc.AppendLog(
        Format("Splitting to SubRip files '%s' and '%s'...", ToUtf8(a).c_str(), ToUtf8(b).c_str()));
    const std::u16string first = SubRipText(doc, 0, h - 1), second = SubRipText(doc, h, -1);
    // Both or neither: a lone first half would pass for a finished split.
    const SubtitleText parts[] = {{a, first}, {b, second}};
    ok = WriteSubtitleTexts(doc, parts, settings.encoding);
  } else {
    // Said, so that nobody takes the split as written.
    doc.AppendLog(Format("ERROR: '%s' does not end in .srt or .ssa; nothing was written.",
                         ToUtf8(chosen).c_str()));
    return 0;
  }
  if (!ok) return 0;
  RememberFolder(store, u"Save", chosen);
  doc.AppendLog(u"Ok.");
  return 1;
}

}  // namespace tessera
