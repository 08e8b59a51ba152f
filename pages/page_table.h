// The table of the main window's nine pages in their order: what the composition root builds
// and how the "Start tab" setting picks the first page shown.
#pragma once

#include <span>

#include "ui/sheet_page.h"

namespace tessera {

using PageFactory = CSheetPage* (*)(PageContext& ctx, QWidget* parent);

struct PageEntry {
  int tab_id;  // the first language-table id of the page's block: its tab title
  const char16_t* tab_title;
  PageFactory make;
};

std::span<const PageEntry> PageTable();

// "Start tab": 100 is File Operations, 101 Play Movie, anything else a page index.
int StartPageIndex(int start_tab);

}  // namespace tessera
