#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "core/version.h"
#include "ui/accessible_names.h"

namespace tessera {
namespace {

constexpr char16_t kChangedQuestion[] =
    u"The current file is changed.\n\r\n\rDo you want to save the changes?";
constexpr int kUndoId = 1001;
constexpr int kRedoId = 1002;

// Text fields keep their own undo, and keys typed into them stay theirs.
bool IsTextInput(QObject* o) {
  return o->inherits("QLineEdit") || o->inherits("QTextEdit") || o->inherits("QPlainTextEdit") ||
         o->inherits("QAbstractSpinBox");
}

QToolButton* MakeHistoryButton(QWidget* parent, const char* name, const QString& arrow) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(arrow);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

}  // namespace

CMainDialog::CMainDialog(PageContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
  ctx_.host = this;
  setObjectName(QStringLiteral("Tessera"));
  tabs_ = new QTabWidget(this);
  auto* corner = new QWidget(tabs_);
  auto* corner_layout = new QHBoxLayout(corner);
  corner_layout->setContentsMargins(0, 0, 2, 0);
  corner_layout->setSpacing(0);
  undo_ = MakeHistoryButton(corner, "undo", QStringLiteral("\u21B6"));
  redo_ = MakeHistoryButton(corner, "redo", QStringLiteral("\u21B7"));
  corner_layout->addWidget(undo_);
  corner_layout->addWidget(redo_);
  tabs_->setCornerWidget(corner, Qt::TopRightCorner);
  connect(undo_, &QToolButton::clicked, this, &CMainDialog::Undo);
  connect(redo_, &QToolButton::clicked, this, &CMainDialog::Redo);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addWidget(tabs_);
  connect(tabs_, &QTabWidget::currentChanged, this, &CMainDialog::OnTabChanged);
  resize(960, 700);
  setMinimumSize(640, 420);
  qApp->installEventFilter(this);
  SetCurrentFile(current_file_);
  HistoryChanged();
}

CMainDialog::~CMainDialog() {
  qApp->removeEventFilter(this);
}

void CMainDialog::AddPage(CSheetPage* page, int title_id, const char16_t* title) {
  const QSignalBlocker quiet(tabs_);
  pages_.push_back(page);
  tab_titles_.push_back({title_id, title});
  ctx_.lang.SetDefault(title_id, title);
  tabs_->addTab(page, ToQ(ctx_.lang.Lookup(title_id)));
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
  if (active_ >= 0 && active_ < PageCount() && active_ != index) {
    if (!pages_[active_]->MayLeave()) {
      const QSignalBlocker quiet(tabs_);
      tabs_->setCurrentIndex(active_);
      return;
    }
    pages_[active_]->OnDeactivate();
  }
  active_ = index;
  if (index >= 0 && index < PageCount()) {
    CSheetPage* page = pages_[index];
    page->OnActivate();
    // After the page's captions, which the names repeat.
    NameFieldsAfterTheirLabels(page);
    // A page that opens has the keyboard, not the tab bar: its list, else its first control.
    QWidget* first = nullptr;
    for (QWidget* w = page->nextInFocusChain(); w != page && page->isAncestorOf(w);
         w = w->nextInFocusChain()) {
      if (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisibleTo(page) || !w->isEnabled()) continue;
      if (!first) first = w;
      if (w->inherits("QAbstractItemView")) {
        first = w;
        break;
      }
    }
    if (first && !page->isAncestorOf(QApplication::focusWidget()))
      first->setFocus(Qt::OtherFocusReason);
  }
}

void CMainDialog::RefreshCaption() {
  setWindowTitle(QStringLiteral("Tessera ") + QString::fromLatin1(VersionText()) +
                 QStringLiteral(" - ") + ToQ(current_file_));
  for (int i = 0; i < PageCount(); ++i) {
    ctx_.lang.SetDefault(tab_titles_[i].title_id, tab_titles_[i].title);
    tabs_->setTabText(i, ToQ(ctx_.lang.Lookup(tab_titles_[i].title_id)));
  }
}

void CMainDialog::SetCurrentFile(const std::u16string& path) {
  current_file_ = path;
  RefreshCaption();
}

void CMainDialog::LanguageChanged() {
  RefreshCaption();
  HistoryChanged();
}

void CMainDialog::RefreshTexts() {
  LanguageChanged();
  if (active_ >= 0) pages_[active_]->OnActivate();
}

void CMainDialog::EndWithOk() {
  ended_ok_ = true;
  close();
  // A close the user cancelled leaves the window running as before.
  if (!closed_) ended_ok_ = false;
}

void CMainDialog::HistoryChanged() {
  const UndoHistory& h = ctx_.history;
  const auto tip = [this](int id, const std::u16string& label) {
    QString t = ToQ(ctx_.lang.Lookup(id));
    if (!label.empty()) t += QStringLiteral(": ") + ToQ(label);
    return t;
  };
  undo_->setEnabled(h.CanUndo());
  redo_->setEnabled(h.CanRedo());
  undo_->setToolTip(tip(kUndoId, h.UndoLabel()));
  redo_->setToolTip(tip(kRedoId, h.RedoLabel()));
}

bool CMainDialog::Undo() {
  if (!ctx_.history.Undo(ctx_.doc)) return false;
  if (active_ >= 0) pages_[active_]->ShowDocument();
  HistoryChanged();
  return true;
}

bool CMainDialog::Redo() {
  if (!ctx_.history.Redo(ctx_.doc)) return false;
  if (active_ >= 0) pages_[active_]->ShowDocument();
  HistoryChanged();
  return true;
}

bool CMainDialog::MayReplaceDocument() {
  if (!ctx_.doc.Changed()) return true;
  switch (ctx_.prompter.AskYesNoCancel(kChangedQuestion, u"Tessera", PromptIcon::Exclamation)) {
    case PromptAnswer::Yes:
      return save_document_ && save_document_() == 1;
    case PromptAnswer::No:
      return true;
    case PromptAnswer::Cancel:
      break;
  }
  return false;
}

int CMainDialog::KeyCombination(int key, Qt::KeyboardModifiers modifiers) {
  const auto mods =
      modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
  if (key == Qt::Key_Enter) key = Qt::Key_Return;
  return static_cast<int>(mods.toInt()) | key;
}

// Keys the window handles on every page: switching pages, undo and redo.
bool CMainDialog::WindowKey(QObject* watched, const QKeyEvent& key) {
  const auto mods = key.modifiers() &
                    (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
  const bool ctrl = mods == Qt::ControlModifier;
  const bool ctrl_shift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
  const int count = PageCount();
  if (count > 0) {
    const int page = ActivePage();
    if ((ctrl && (key.key() == Qt::Key_Tab || key.key() == Qt::Key_PageDown))) {
      SetActivePage((page + 1) % count);
      return true;
    }
    if ((ctrl_shift && (key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Tab)) ||
        (ctrl && key.key() == Qt::Key_PageUp)) {
      SetActivePage((page + count - 1) % count);
      return true;
    }
  }
  if (IsTextInput(watched)) return false;
  if (ctrl && key.key() == Qt::Key_Z) return Undo(), true;
  if ((ctrl_shift && key.key() == Qt::Key_Z) || (ctrl && key.key() == Qt::Key_Y))
    return Redo(), true;
  return false;
}

bool CMainDialog::eventFilter(QObject* watched, QEvent* event) {
  // Keys reach the window and the page's shortcut table before the focused control.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (WindowKey(watched, *key)) return true;
    const int page = ActivePage();
    if (page >= 0 && pages_[page]->OnShortcut(KeyCombination(key->key(), key->modifiers())))
      return true;
  }
  return QWidget::eventFilter(watched, event);
}

void CMainDialog::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  if (!MayReplaceDocument()) {
    event->ignore();
    return;
  }
  for (CSheetPage* page : pages_) page->OnWindowClosing();
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
