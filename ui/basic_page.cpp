#include "ui/basic_page.h"

#include <QVBoxLayout>

#include "ui/header_strip.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {

CBasicPage::CBasicPage(PageContext& ctx, Parts parts, QWidget* parent) : CSheetPage(ctx, parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(header_);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 4, 8, 8);
  body->setSpacing(6);
  if (parts.list) {
    list_ = new SubtitleListView(ctx.doc, ctx.app, ctx.lang, this);
    body->addWidget(list_, 3);
  } else {
    body->addStretch(3);
  }
  if (parts.log) {
    log_ = new LogPanel(ctx.doc.Log(), parts.split_log_lines, this);
    body->addWidget(log_, 1);
  }
  layout->addLayout(body, 1);
}

void CBasicPage::OnActivate() {
  CSheetPage::OnActivate();
  if (list_) list_->Activate();
  if (log_) log_->Refill();
}

void CBasicPage::OnDeactivate() {
  if (list_) list_->Deactivate();
}

}  // namespace tessera
