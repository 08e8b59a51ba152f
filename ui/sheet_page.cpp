#include "ui/sheet_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>
#include <string>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "core/ui_texts.h"
#include "ui/header_strip.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {
constexpr int kExitId = 1108;
}  // namespace

CSheetPage::CSheetPage(PageContext& ctx, PageLayout layout, QWidget* parent)
    : QWidget(parent), ctx_(ctx), layout_(std::move(layout)), header_(new HeaderStrip(this)) {
  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 4, 8, 8);
  body->setSpacing(6);
  for (size_t r = 0; r < layout_.buttons.size() || r == 0; ++r) {
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    if (r < layout_.buttons.size()) {
      for (const PageButton& declared : layout_.buttons[r]) {
        auto* b = new QPushButton(ToQ(declared.english), this);
        b->setObjectName(QString::fromLatin1(declared.object_name));
        connect(b, &QPushButton::clicked, this,
                [this, &declared] { Run(declared.action, declared.undo_label); });
        row->addWidget(b);
        buttons_.push_back({&declared, b});
      }
    }
    row->addStretch(1);
    if (r == 0) {
      exit_ = new QPushButton(QStringLiteral("Exit"), this);
      exit_->setObjectName(QStringLiteral("exit"));
      connect(exit_, &QPushButton::clicked, this, [this] {
        if (ctx_.host && MayLeave()) ctx_.host->EndWithOk();
      });
      row->addWidget(exit_);
    }
    body->addLayout(row);
  }
  above_list_ = new QVBoxLayout;
  body->addLayout(above_list_, layout_.list ? 0 : 3);
  if (layout_.list) {
    list_ = new SubtitleListView(ctx.doc, ctx.app, ctx.lang, this);
    body->addWidget(list_, 3);
  }
  below_list_ = new QVBoxLayout;
  body->addLayout(below_list_);
  if (layout_.log) {
    log_ = new LogPanel(ctx.doc.Log(), layout_.split_log_lines, this);
    body->addWidget(log_, 1);
  } else if (!layout_.list) {
    filler_ = body->count();
    body->addStretch(1);
  }
  body_ = body;
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(header_);
  outer->addLayout(body, 1);
  ApplyCaptions();
}

void CSheetPage::AddAboveList(QWidget* widget, int stretch) {
  above_list_->addWidget(widget, stretch);
  if (stretch > 0 && filler_ >= 0) body_->setStretch(filler_, 0);
}

void CSheetPage::AddBelowList(QWidget* widget, int stretch) {
  below_list_->addWidget(widget, stretch);
}

QPushButton* CSheetPage::Button(const char* object_name) const {
  if (qstrcmp(object_name, "exit") == 0) return exit_;
  for (const Made& m : buttons_)
    if (qstrcmp(m.declared->object_name, object_name) == 0) return m.button;
  return nullptr;
}

QString CSheetPage::Caption(int id, const QString& designed) {
  QString english = designed;
  if (english.isEmpty()) {
    if (const char16_t* t = EnglishCaption(id)) english = ToQ(t);
  }
  return ToQ(ctx_.lang.ApplyCaption(id, FromQ(english)));
}

void CSheetPage::ApplyCaptions() {
  const auto text = [this](int id, const char16_t* fixed) {
    return id ? Caption(id, fixed ? ToQ(fixed) : QString()) : ToQ(fixed ? fixed : u"");
  };
  header_->SetTexts(text(layout_.title_id, layout_.title),
                    text(layout_.description_id, layout_.description));
  for (const Made& m : buttons_)
    if (m.declared->caption_id)
      m.button->setText(Caption(m.declared->caption_id, ToQ(m.declared->english)));
  exit_->setText(Caption(kExitId, QStringLiteral("Exit")));
  // The style asks 80 px of every button; in a narrow window a row gives each what its caption
  // needs instead, so a long row keeps every caption whole.
  const auto fit = [](QPushButton* b) {
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text().remove(u'&')) + 8);
  };
  for (const Made& m : buttons_) fit(m.button);
  fit(exit_);
}

void CSheetPage::OnActivate() {
  ApplyCaptions();
  if (list_) list_->Activate();
  if (log_) log_->Refill();
  UpdateButtons();
  AfterRefresh();
}

void CSheetPage::OnDeactivate() {
  if (list_) list_->Deactivate();
}

void CSheetPage::Run(const PageAction& action, const char16_t* undo_label) {
  if (undo_label) ctx_.history.Begin(ctx_.doc);
  unsigned refresh = action();
  bool history_changed = false;
  if (refresh & kRefreshLoaded) {
    ctx_.history.Abandon();
    ctx_.history.Clear();
    history_changed = true;
  } else if (undo_label) {
    history_changed = ctx_.history.Commit(ctx_.doc, undo_label);
  }
  Apply(refresh);
  if (history_changed && ctx_.host) ctx_.host->HistoryChanged();
}

bool CSheetPage::OnShortcut(int key) {
  const auto take = [this, key](const PageButton& c) -> std::optional<bool> {
    if (c.key.key == 0 || c.key.key != key) return std::nullopt;
    switch (c.key.use ? c.key.use() : KeyUse::kRun) {
      case KeyUse::kPass:
        return false;
      case KeyUse::kSwallow:
        return true;
      case KeyUse::kRun:
        break;
    }
    Run(c.action, c.undo_label);
    return true;
  };
  for (const std::vector<PageButton>& row : layout_.buttons)
    for (const PageButton& c : row)
      if (std::optional<bool> taken = take(c)) return *taken;
  for (const PageButton& c : layout_.keys)
    if (std::optional<bool> taken = take(c)) return *taken;
  return false;
}

void CSheetPage::RunTyped(int row, int line, const PageAction& action) {
  static const char16_t* const kLabels[] = {u"Edit line 1", u"Edit line 2", u"Edit line 3"};
  line = std::clamp(line, 0, 2);
  ctx_.history.BeginRow(ctx_.doc, row);
  const unsigned refresh = action();
  const std::u16string key =
      u"line" + FromUtf8(std::to_string(line)) + u":" + FromUtf8(std::to_string(row));
  const bool history_changed = ctx_.history.Commit(ctx_.doc, kLabels[line], key);
  Apply(refresh);
  if (history_changed && ctx_.host) ctx_.host->HistoryChanged();
}

void CSheetPage::Apply(unsigned refresh) {
  if (refresh & kRefreshLoaded) refresh |= kRefreshAll;
  if (list_) {
    if (refresh & (kRefreshRows | kRefreshRowCount | kRefreshCurrentRow)) list_->Refill();
  }
  if (log_ && (refresh & kRefreshLog)) log_->Refill();
  if ((refresh & kRefreshCaption) && ctx_.host) ctx_.host->SetCurrentFile(ctx_.doc.FilePath());
  UpdateButtons();
  AfterRefresh();
}

void CSheetPage::UpdateButtons() {
  const bool idle = Idle();
  for (const Made& m : buttons_)
    m.button->setEnabled(idle && (!m.declared->enabled || m.declared->enabled()));
  exit_->setEnabled(idle);
}

}  // namespace tessera
