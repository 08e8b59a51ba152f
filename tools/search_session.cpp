#include "tools/search_session.h"

namespace tessera {
namespace {

SearchDialogFields FieldsOf(const SearchOptions& o) {
  SearchDialogFields f;
  f.find = o.search_string;
  f.replace = o.replace_string;
  f.whole_word = o.rules.whole_word;
  f.match_case = o.rules.match_case;
  return f;
}

SearchOptions OptionsOf(const SearchDialogFields& f) {
  return {f.find, f.replace, {f.whole_word, f.match_case}};
}

// The Replace dialog always searches down.
class ReplaceSession final : public ReplaceDialogClient {
 public:
  explicit ReplaceSession(SearchingPage& page) : page_(page) {}
  void FindNextPressed(const SearchDialogFields& f) override {
    SetState(f);
    page_.SearchNext();
  }
  void ReplacePressed(const SearchDialogFields& f) override {
    SetState(f);
    page_.ReplaceInRow(-1, f.find, f.replace);
    page_.SearchNext();
  }

 private:
  void SetState(const SearchDialogFields& f) {
    page_.Search() = {f.find, {f.whole_word, f.match_case}, +1};
  }
  SearchingPage& page_;
};

}  // namespace

bool RunFindDialog(SettingsStore& settings, DialogService& dialogs, SearchingPage& page) {
  SearchDialogFields initial = FieldsOf(LoadSearchOptions(settings));
  initial.direction = +1;
  std::optional<SearchDialogFields> answer = dialogs.FindText(initial);
  if (!answer) return false;
  StoreFindOptions(settings, OptionsOf(*answer));
  page.Search() = {
      answer->find, {answer->whole_word, answer->match_case}, answer->direction < 0 ? -1 : +1};
  page.SelectFirstRowIfNone();
  page.SearchNext();
  return true;
}

bool RunReplaceDialog(SettingsStore& settings, DialogService& dialogs, SearchingPage& page) {
  ReplaceSession session(page);
  std::optional<SearchDialogFields> answer =
      dialogs.ReplaceText(FieldsOf(LoadSearchOptions(settings)), session);
  if (!answer) return false;
  StoreReplaceOptions(settings, OptionsOf(*answer));
  page.Search().rules = {answer->whole_word, answer->match_case};
  page.ReplaceInAllRows(answer->find, answer->replace);
  return true;
}

}  // namespace tessera
