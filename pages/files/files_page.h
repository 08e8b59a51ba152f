// The File Operations page: open, drop, append, save, save the selected block, split and export
// to the DVD subtitle encoder, with the shared subtitle list and the log.
#pragma once

#include <QStringList>
#include <memory>

#include "pages/files/dvd_export.h"
#include "ui/sheet_page.h"

class QPushButton;

namespace tessera {

class DvdExportDriver;
class LogPanel;
class SubtitleListView;

class CFilesPage : public CSheetPage {
  Q_OBJECT
 public:
  CFilesPage(PageContext& ctx, ProgressSink& progress, ProcessRunner& runner,
             QWidget* parent = nullptr);
  ~CFilesPage() override;

  void OnActivate() override;
  void OnDeactivate() override;
  void OnWindowClosing() override;

  // Loads the first of the dropped paths.
  void DropPaths(const QStringList& paths);
  bool ExportRunning() const;
  // Closing the window: waits up to `wait_ms` for a running encoder, then stops it.
  void FinishExport(int wait_ms);

  SubtitleListView* List() const { return list_; }
  LogPanel* Log() const { return log_; }

 signals:
  // An export has finished (whatever its outcome).
  void ExportFinished();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Open();
  void Append();
  void Save();
  void SaveSelection();
  void Split();
  void Export();
  void AfterLoad();
  void UpdateButtons();
  void ApplyCaptions();
  FileDialogRequest OpenRequest(const char16_t* title, bool with_archives);
  std::u16string AskSelectionName(const char16_t* title);

  ProgressSink& progress_;
  ProcessRunner& runner_;
  QPushButton *open_, *append_, *save_, *save_sel_, *split_, *export_, *exit_;
  SubtitleListView* list_;
  LogPanel* log_;
  std::unique_ptr<DvdExport> export_run_;
  DvdExportDriver* driver_ = nullptr;
};

}  // namespace tessera
