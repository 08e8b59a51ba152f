// The one top-level window: the pages in a tabbed sheet, the caption, the shortcuts, undo and
// redo, the remembered position and the close prompt.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "ui/sheet_page.h"

class QTabWidget;
class QToolButton;

namespace tessera {

class CMainDialog : public QWidget, public MainWindowHost {
  Q_OBJECT
 public:
  explicit CMainDialog(PageContext& ctx, QWidget* parent = nullptr);
  ~CMainDialog() override;

  // Adds the next page with its tab title (language-table id and English text).
  void AddPage(CSheetPage* page, int title_id, const char16_t* title);
  // Restores the remembered position and size and shows the window.
  void Open();

  void SetCurrentFile(const std::u16string& path) override;
  void EndWithOk() override;
  void HistoryChanged() override;
  bool MayReplaceDocument() override;
  void LanguageChanged() override;

  // Runs the save dialog for the close prompt's Yes; returns 1 when a file was written.
  void SetSaveDocumentHook(std::function<int()> hook) { save_document_ = std::move(hook); }
  // Called once, 50 ms after the window opened.
  void SetUpdateCheckHook(std::function<void()> hook) { update_check_ = std::move(hook); }

  int PageCount() const { return static_cast<int>(pages_.size()); }
  CSheetPage* Page(int index) const { return pages_[index]; }
  int ActivePage() const;
  void SetActivePage(int index);
  QTabWidget* Tabs() const { return tabs_; }
  QString TabTitle(int index) const;
  bool EndedWithOk() const { return ended_ok_; }
  // Applies the current language to the tab titles and the active page.
  void RefreshTexts();
  // Undoes or redoes the last step and shows the document again; false when there was none.
  bool Undo();
  bool Redo();
  QToolButton* UndoButton() const { return undo_; }
  QToolButton* RedoButton() const { return redo_; }

  // A key press as the pages declare their keys: the key with Ctrl, Alt, Shift and Meta
  // combined, the keypad's Enter as Return.
  static int KeyCombination(int key, Qt::KeyboardModifiers modifiers);

 signals:
  // The window has closed; `ok` when an Exit button ended it.
  void Finished(bool ok);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnTabChanged(int index);
  void RefreshCaption();
  bool WindowKey(QObject* watched, const QKeyEvent& key);

  PageContext& ctx_;
  QTabWidget* tabs_ = nullptr;
  QToolButton* undo_ = nullptr;
  QToolButton* redo_ = nullptr;
  struct PageTab {
    int title_id;
    const char16_t* title;
  };
  std::vector<CSheetPage*> pages_;
  std::vector<PageTab> tab_titles_;
  int active_ = -1;
  std::u16string current_file_ = u"Untitled";
  std::function<int()> save_document_;
  std::function<void()> update_check_;
  bool ended_ok_ = false;
  bool closed_ = false;
  bool opened_ = false;
};

}  // namespace tessera
