#include "pages/page_table.h"

#include "pages/analyze/analyze_page.h"
#include "pages/avi_info/avi_info_page.h"
#include "pages/edit/edit_page.h"
#include "pages/files/files_page.h"
#include "pages/fix_errors/fix_errors_page.h"
#include "pages/frame_rate/frame_rate_page.h"
#include "pages/options/options_page.h"
#include "pages/play_movie/play_movie_page.h"
#include "pages/synchronize/synchronize_page.h"

namespace tessera {
namespace {

template <class Page>
CSheetPage* Make(PageContext& ctx, QWidget* parent) {
  return new Page(ctx, parent);
}

constexpr int kPlayMovieTab = 1600;

const PageEntry kPages[] = {
    {1100, u"File Operations", Make<CFilesPage>},
    {1200, u"Analyze", Make<CAnalizePage>},
    {1300, u"Fix Errors", Make<CCheckPage>},
    {1400, u"Edit", Make<CEditPage>},
    {1500, u"Synchronize", Make<CSyncPage>},
    {kPlayMovieTab, u"Play Movie", Make<CTranslatePage>},
    {1700, u"AVI Info", Make<CAviInfoPage>},
    {1800, u"FrameRate", Make<CFrameRatePage>},
    {1900, u"Options", Make<CSettingsPage>},
};

}  // namespace

std::span<const PageEntry> PageTable() {
  return kPages;
}

int StartPageIndex(int start_tab) {
  const int count = static_cast<int>(std::size(kPages));
  if (start_tab == 100) return 0;
  if (start_tab == 101) {
    for (int i = 0; i < count; ++i)
      if (kPages[i].tab_id == kPlayMovieTab) return i;
  }
  return start_tab >= 0 && start_tab < count ? start_tab : 0;
}

}  // namespace tessera
