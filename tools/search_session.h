// The Find and Replace dialogs as a searching page uses them: the remembered options in, the
// dialog, the options stored back and the page's search run. The Edit and the Play Movie pages
// both search; each implements SearchingPage.
#pragma once

#include <string>

#include "core/services.h"
#include "core/settings_store.h"
#include "tools/find_replace.h"

namespace tessera {

class SearchingPage {
 public:
  virtual ~SearchingPage() = default;
  // The page's own search state: text, options and direction.
  virtual SearchState& Search() = 0;
  // Before a search from the Find dialog: with no row of the page's list selected, the first row
  // becomes the current and selected row.
  virtual void SelectFirstRowIfNone() = 0;
  // Searches with the search state beside the current row; shows the row found.
  virtual void SearchNext() = 0;
  // Replaces in `row` (-1: the first selected row). Returns the count.
  virtual int ReplaceInRow(int row, const std::u16string& find,
                           const std::u16string& replacement) = 0;
  // Replaces in every row and reports the count.
  virtual void ReplaceInAllRows(const std::u16string& find, const std::u16string& replacement) = 0;
};

// Find (and Ctrl+F): the Find dialog on the remembered text and options; Find Next stores them
// and searches in the direction chosen. False when the dialog was cancelled.
bool RunFindDialog(SettingsStore& settings, DialogService& dialogs, SearchingPage& page);

// Replace (and Ctrl+H): the Replace dialog on the remembered texts and options. While it is open,
// Find Next searches down and Replace replaces in the first selected row and then searches down;
// Replace All stores all four options and replaces everywhere. False when cancelled.
bool RunReplaceDialog(SettingsStore& settings, DialogService& dialogs, SearchingPage& page);

}  // namespace tessera
