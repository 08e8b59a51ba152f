// The File Operations page: open, drop, append, save, save the selected block, split and export
// to the DVD subtitle encoder, with the shared subtitle list and the log.
#pragma once

#include <QStringList>
#include <memory>

#include "pages/files/dvd_export.h"
#include "ui/sheet_page.h"

namespace tessera {

class DvdExportDriver;

class CFilesPage : public CSheetPage {
  Q_OBJECT
 public:
  explicit CFilesPage(PageContext& ctx, QWidget* parent = nullptr);
  ~CFilesPage() override;

  void OnWindowClosing() override;

  // Loads the first of the dropped paths once the drop has been handled.
  void DropPaths(const QStringList& paths);
  bool ExportRunning() const;
  // Closing the window: waits up to `wait_ms` for a running encoder, then stops it.
  void FinishExport(int wait_ms);

 signals:
  // An export has finished (whatever its outcome).
  void ExportFinished();
  // A dropped file has been dealt with (loaded or refused).
  void DropHandled();

 protected:
  bool Idle() const override { return !ExportRunning(); }
  void AfterRefresh() override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  static PageLayout Layout(CFilesPage* page, PageContext& ctx);
  unsigned Open();
  unsigned LoadDropped(const std::u16string& path);
  unsigned Append();
  unsigned Save();
  unsigned SaveSelection();
  unsigned Split();
  unsigned Export();

  std::unique_ptr<DvdExport> export_run_;
  DvdExportDriver* driver_ = nullptr;
};

}  // namespace tessera
