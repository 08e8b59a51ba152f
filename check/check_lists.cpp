#include "check/check_lists.h"

#include "core/language_table.h"
#include "core/message_log.h"
#include "core/paths.h"
#include "core/text_file.h"
#include "core/text_util.h"

namespace tessera {
namespace {

std::u16string Text(const LanguageTable* language, int id, const char16_t* english) {
  if (language) {
    const std::u16string& text = language->Lookup(id);
    if (!text.empty() && text != u"???") return text;
  }
  return english;
}

// The text between the `index`-th pair of double quotes of the line, less its last character.
std::u16string QuotedValue(std::u16string_view line, int index) {
  size_t open = std::u16string_view::npos;
  size_t from = 0;
  for (int i = 0; i <= index; ++i) {
    open = line.find(u'"', from);
    if (open == std::u16string_view::npos) return {};
    const size_t close = line.find(u'"', open + 1);
    if (close == std::u16string_view::npos) return {};
    if (i == index) {
      const size_t len = close - open - 1;
      return len > 0 ? std::u16string(line.substr(open + 1, len - 1)) : std::u16string();
    }
    from = close + 1;
  }
  return {};
}

// Calls `add` with the entry line of every key "<prefix>01", "<prefix>02", ... in turn.
template <typename Add>
void ForEachEntry(const std::u16string& text, const char* prefix, Add add) {
  size_t pos = 0;
  for (int k = 1;; ++k) {
    const std::u16string key = Format("%s%02d", prefix, k);
    const size_t at = text.find(key, pos);
    if (at == std::u16string::npos) return;
    size_t end = text.find(kCrLf, at);
    if (end == std::u16string::npos) end = text.size();
    add(std::u16string_view(text).substr(at, end - at));
    pos = end;
  }
}

}  // namespace

std::filesystem::path DefaultCheckListsPath() {
  return FindDataPath("Tessera.ini");
}

void ParseCheckLists(const std::u16string& text, CheckLists& lists) {
  lists.credits.clear();
  lists.ocr.clear();
  ForEachEntry(text, "CREDITS_", [&](std::u16string_view line) {
    CreditEntry e;
    e.text = AsciiLowerCopy(QuotedValue(line, 0));
    e.ask = line.size() >= 3 && line.substr(line.size() - 3) == u"ASK";
    lists.credits.push_back(std::move(e));
  });
  ForEachEntry(text, "OCR_", [&](std::u16string_view line) {
    lists.ocr.push_back({QuotedValue(line, 0), QuotedValue(line, 1)});
  });
}

int LoadCheckLists(const std::filesystem::path& path, CheckLists& lists, MessageLog& log,
                   const LanguageTable* language) {
  lists = {};
  std::u16string text;
  const int result = ReadTextFile(path, text);
  if (result == kReadOpenFailed) return 0;
  if (result == kReadTooLarge) text.clear();
  log.Append(Text(language, 2007, u"Reading configuration file:"));
  ParseCheckLists(text, lists);
  log.Append(WithCount(Text(language, 2009, u"Found %d possible credit entries..."),
                       static_cast<int>(lists.credits.size())));
  log.Append(WithCount(Text(language, 2008, u"Found %d OCR error entries..."),
                       static_cast<int>(lists.ocr.size())));
  log.Append(Text(language, 2012, u"Ok."));
  return 1;
}

}  // namespace tessera
