#include "core/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"
#include "formats/format_util.h"
#include "ui/basic_page.h"

namespace tessera {
namespace {

constexpr int kTabIds[] = {1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900};
constexpr const char16_t* kTabTitles[] = {
    u"File Operations", u"Analyze",  u"Fix Errors", u"Edit",   u"Synchronize",
    u"Play Movie",      u"AVI Info", u"FrameRate",  u"Options"};
constexpr int kEditPage = 3;
constexpr int kPlayMoviePage = 5;

struct PageSpec {
  int title_id, description_id;
  const char16_t* title;
  const char16_t* description;
  CBasicPage::Parts parts;
};

// Pages 1-8 until their own controls exist: header, and the list and log where they have one.
const PageSpec kPages[] = {
    {1101, 1102, nullptr, nullptr, {true, true, true}},
    {0, 0, u"Analyze", u"Check reading speed and line lengths of the subtitles...", {true, true}},
    {1301, 1302, nullptr, nullptr, {false, true}},
    {0, 0, u"Edit", u"Edit, add, insert or delete subtitles...", {true, true}},
    {1501, 1502, nullptr, nullptr, {true, true}},
    {1601, 1602, nullptr, nullptr, {false, true}},
    {1701, 1702, nullptr, nullptr, {false, true}},
    {1801, 1802, nullptr, nullptr, {true, true}},
    {0, 0, u"Options", u"Fonts, file formats, folders and colours...", {false, false}},
};

}  // namespace

CMainDialog::CMainDialog(PageContext& ctx, PageFactory files_page, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
  ctx_.host = this;
  setObjectName(QStringLiteral("Tessera"));
  tabs_ = new QTabWidget(this);
  tabs_->setDocumentMode(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(tabs_);
  for (int i = 0; i < 9; ++i) {
    CSheetPage* page = nullptr;
    if (i == 0 && files_page) page = files_page(ctx_, tabs_);
    if (!page) {
      const PageSpec& s = kPages[i];
      auto* basic = new CBasicPage(ctx_, s.parts, tabs_);
      basic->SetHeaderIds(s.title_id, s.description_id, s.title, s.description);
      page = basic;
    }
    pages_.push_back(page);
    tabs_->addTab(page, ToQ(kTabTitles[i]));
  }
  // "Start tab": 100 is File Operations, 101 Play Movie, anything else a page index.
  const int start = ctx_.app.start_tab;
  int index = start == 100 ? 0 : start == 101 ? kPlayMoviePage : start;
  if (index < 0 || index >= PageCount()) index = 0;
  tabs_->setCurrentIndex(index);
  connect(tabs_, &QTabWidget::currentChanged, this, &CMainDialog::OnTabChanged);
  resize(960, 700);
  setMinimumSize(640, 420);
  qApp->installEventFilter(this);
  SetCurrentFile(current_file_);
}

CMainDialog::~CMainDialog() {
  qApp->removeEventFilter(this);
}

void CMainDialog::Open() {
  SettingsStore& st = ctx_.store;
  const int x = st.GetInt(u"Settings", u"x pos", -1);
  const int y = st.GetInt(u"Settings", u"y pos", -1);
  const int cx = st.GetInt(u"Settings", u"cx", -1);
  const int cy = st.GetInt(u"Settings", u"cy", -1);
  QSize size = cx == -1 ? QSize(width(), height() - 30) : QSize(cx, cy);
  size = size.expandedTo(minimumSize());
  resize(size);
  if (x != -1) move(x, y);
  show();
  if (!opened_) {
    opened_ = true;
    OnTabChanged(tabs_->currentIndex());
    QTimer::singleShot(50, this, [this] {
      if (update_check_) update_check_();
    });
  }
}

int CMainDialog::ActivePage() const {
  return tabs_->currentIndex();
}

void CMainDialog::SetActivePage(int index) {
  tabs_->setCurrentIndex(index);
}

QString CMainDialog::TabTitle(int index) const {
  return tabs_->tabText(index);
}

void CMainDialog::OnTabChanged(int index) {
  if (active_ >= 0 && active_ < PageCount() && active_ != index) pages_[active_]->OnDeactivate();
  active_ = index;
  if (index >= 0 && index < PageCount()) pages_[index]->OnActivate();
}

void CMainDialog::RefreshCaption() {
  setWindowTitle(QStringLiteral("Tessera ") + QString::fromLatin1(kVersionText) +
                 QStringLiteral(" - ") + ToQ(current_file_));
  for (int i = 0; i < 9; ++i) {
    ctx_.lang.SetDefault(kTabIds[i], kTabTitles[i]);
    tabs_->setTabText(i, ToQ(ctx_.lang.Lookup(kTabIds[i])));
  }
}

void CMainDialog::SetCurrentFile(const std::u16string& path) {
  current_file_ = path;
  RefreshCaption();
}

void CMainDialog::RefreshTexts() {
  RefreshCaption();
  if (active_ >= 0) pages_[active_]->OnActivate();
}

void CMainDialog::EndWithOk() {
  ended_ok_ = true;
  close();
}

int CMainDialog::ShortcutCommand(int key, Qt::KeyboardModifiers modifiers) {
  const auto mods =
      modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
  if (mods == Qt::ControlModifier) {
    switch (key) {
      case Qt::Key_F:
        return kCmdFind;
      case Qt::Key_H:
        return kCmdReplace;
      case Qt::Key_S:
        return kCmdQuickSave;
    }
    return 0;
  }
  if (mods != Qt::NoModifier) return 0;
  switch (key) {
    case Qt::Key_F3:
      return kCmdFindNext;
    case Qt::Key_Delete:
      return kCmdDelete;
    case Qt::Key_Insert:
      return kCmdInsert;
    case Qt::Key_Home:
      return kCmdHome;
    case Qt::Key_End:
      return kCmdEnd;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kCmdEnter;
  }
  return 0;
}

bool CMainDialog::eventFilter(QObject* watched, QEvent* event) {
  // Keys reach the shortcut table before the focused control, but only on the two pages that
  // use it; elsewhere every key goes to its control unchanged.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    const int page = ActivePage();
    if (page == kEditPage || page == kPlayMoviePage) {
      auto* key = static_cast<QKeyEvent*>(event);
      if (int cmd = ShortcutCommand(key->key(), key->modifiers())) {
        if (pages_[page]->OnShortcut(cmd)) return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void CMainDialog::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  for (CSheetPage* page : pages_) page->OnWindowClosing();
  if (ctx_.doc.Changed()) {
    if (ctx_.prompter.AskYesNo(
            u"The current file is changed.\n\r\n\rDo you want to save the changes?", u"Tessera",
            PromptIcon::Exclamation)) {
      if (save_document_) save_document_();
    }
  }
  if (active_ >= 0) pages_[active_]->OnDeactivate();
  const QRect r = frameGeometry();
  ctx_.store.WriteInt(u"Settings", u"x pos", r.left());
  ctx_.store.WriteInt(u"Settings", u"y pos", r.top());
  ctx_.store.WriteInt(u"Settings", u"cx", width());
  ctx_.store.WriteInt(u"Settings", u"cy", height());
  if (ctx_.app.start_tab < 100) ctx_.app.start_tab = ActivePage();
  closed_ = true;
  event->accept();
  emit Finished(ended_ok_);
}

}  // namespace tessera
