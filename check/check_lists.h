// The credit and OCR lists of the Fix Errors run, read from the list file "Tessera.ini".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tessera {

class LanguageTable;
class MessageLog;

struct CreditEntry {
  std::u16string text;  // lower case
  bool ask = false;     // ask before removing a subtitle that matches only entries like this
};

struct OcrEntry {
  std::u16string find;
  std::u16string replacement;
};

struct CheckLists {
  std::vector<CreditEntry> credits;
  std::vector<OcrEntry> ocr;
};

// The list file's usual place: "Tessera.ini" beside the executable, else the installed one.
std::filesystem::path DefaultCheckListsPath();

// Reads the lists from `path` and logs what was found. A file that cannot be opened leaves the
// lists empty and logs nothing. `language` may be null (English texts). Returns 1 when read.
int LoadCheckLists(const std::filesystem::path& path, CheckLists& lists, MessageLog& log,
                   const LanguageTable* language = nullptr);
// The same from text already read (CR LF lines).
void ParseCheckLists(const std::u16string& text, CheckLists& lists);

}  // namespace tessera
