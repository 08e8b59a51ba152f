#include "ui/searching_sheet_page.h"

#include "tools/find_replace.h"
#include "ui/subtitle_list_view.h"

namespace tessera {

int SearchingSheetPage::ReplaceInRow(int row, const std::u16string& find,
                                     const std::u16string& replacement) {
  int count = 0;
  Run(
      [&] {
        count = ReplaceInEntry(ctx_.doc, row < 0 ? List()->FirstSelectedRow() : row, find,
                               replacement, search_.rules);
        return count > 0 ? ShowReplacement(false) : unsigned{kRefreshNothing};
      },
      u"Replace");
  return count;
}

void SearchingSheetPage::ReplaceInAllRows(const std::u16string& find,
                                          const std::u16string& replacement) {
  Run(
      [&] {
        if (ReplaceAll(ctx_.doc, find, replacement, search_.rules, ctx_.prompter) == 0)
          return unsigned{kRefreshNothing};
        return ShowReplacement(true);
      },
      u"Replace All");
}

}  // namespace tessera
