// A page with the header strip and, where the page has them, the subtitle list and the log.
// Pages whose controls are still to come show just these shared parts.
#pragma once

#include "ui/sheet_page.h"

namespace tessera {

class SubtitleListView;

class CBasicPage : public CSheetPage {
  Q_OBJECT
 public:
  struct Parts {
    bool list = false;
    bool log = true;
    bool split_log_lines = false;
  };
  CBasicPage(PageContext& ctx, Parts parts, QWidget* parent = nullptr);

  void OnActivate() override;
  void OnDeactivate() override;

  using CSheetPage::SetHeaderIds;
  SubtitleListView* List() const { return list_; }
  LogPanel* Log() const { return log_; }

 private:
  SubtitleListView* list_ = nullptr;
  LogPanel* log_ = nullptr;
};

}  // namespace tessera
