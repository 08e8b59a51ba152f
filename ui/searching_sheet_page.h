// The page skeleton of the pages whose subtitle list the Find and Replace dialogs search (Edit and
// Play Movie): a replacement is one undo step, in the first selected row or in every row, after
// which the page shows what changed.
#pragma once

#include "tools/search_session.h"
#include "ui/sheet_page.h"

namespace tessera {

class SearchingSheetPage : public CSheetPage, public SearchingPage {
  Q_OBJECT
 public:
  using CSheetPage::CSheetPage;

  SearchState& Search() final { return search_; }
  int ReplaceInRow(int row, const std::u16string& find, const std::u16string& replacement) final;
  void ReplaceInAllRows(const std::u16string& find, const std::u16string& replacement) final;

 protected:
  // After a replacement changed text (in one row, or in any of them): shows it in the page's own
  // fields and returns what else of the page to refresh.
  virtual unsigned ShowReplacement(bool every_row) = 0;

  SearchState search_;
};

}  // namespace tessera
