#include "ui/sheet_page.h"

#include "core/qt_text_qt.h"
#include "core/ui_texts.h"
#include "ui/header_strip.h"

namespace tessera {

CSheetPage::CSheetPage(PageContext& ctx, QWidget* parent)
    : QWidget(parent), ctx_(ctx), header_(new HeaderStrip(this)) {}

void CSheetPage::SetHeaderIds(int title_id, int description_id, const char16_t* fixed_title,
                              const char16_t* fixed_description) {
  title_id_ = title_id;
  description_id_ = description_id;
  if (fixed_title) fixed_title_ = ToQ(fixed_title);
  if (fixed_description) fixed_description_ = ToQ(fixed_description);
}

QString CSheetPage::Caption(int id, const QString& designed) {
  QString english = designed;
  if (english.isEmpty()) {
    if (const char16_t* t = EnglishCaption(id)) english = ToQ(t);
  }
  return ToQ(ctx_.lang.ApplyCaption(id, FromQ(english)));
}

void CSheetPage::OnActivate() {
  header_->SetTexts(title_id_ ? Caption(title_id_) : fixed_title_,
                    description_id_ ? Caption(description_id_) : fixed_description_);
}

}  // namespace tessera
