#include "pages/files/files_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "formats/split.h"
#include "pages/files/dvd_export_qt.h"
#include "ui/film_strip.h"
#include "ui/subtitle_list_view.h"
#include "workbench/file_commands.h"
#include "workbench/save_dialogs.h"

namespace tessera {
namespace {

constexpr int kCloseWaitMs = 3000;

}  // namespace

PageLayout CFilesPage::Layout(CFilesPage* page, PageContext& ctx) {
  auto has = [&ctx] { return HasSubtitles(ctx.doc); };
  auto call = [page](unsigned (CFilesPage::*f)()) { return [page, f] { return (page->*f)(); }; };
  PageLayout l;
  l.title_id = 1101;
  l.description_id = 1102;
  l.buttons = {{
      {"open", 1103, u"Open", {}, call(&CFilesPage::Open)},
      {"append", 1106, u"Append", has, call(&CFilesPage::Append), u"Append"},
      {"save", 1104, u"Save", has, call(&CFilesPage::Save)},
      {"saveSelection", 0, u"Save Sel.", {}, call(&CFilesPage::SaveSelection)},
      {"split", 1105, u"Split", has, call(&CFilesPage::Split)},
      {"dvdSupEnc", 1107, u"DVDSupEnc.", [&ctx] { return CanExport(ctx.doc, ctx.app); },
       call(&CFilesPage::Export)},
  }};
  l.list = true;
  l.log = true;
  l.split_log_lines = true;
  return l;
}

CFilesPage::CFilesPage(PageContext& ctx, QWidget* parent)
    : CSheetPage(ctx, Layout(this, ctx), parent) {
  AddBelowList(new FilmStrip(this));
  setAcceptDrops(true);
  Apply(kRefreshNothing);
}

CFilesPage::~CFilesPage() {
  FinishExport(kCloseWaitMs);
}

void CFilesPage::OnWindowClosing() {
  FinishExport(kCloseWaitMs);
}

void CFilesPage::AfterRefresh() {
  setAcceptDrops(Idle());
}

FileDialogRequest CFilesPage::OpenRequest(const char16_t* title, bool with_archives) {
  FileDialogRequest r;
  r.title = title;
  r.default_extension = u"*.srt";
  r.initial_folder = ctx_.store.GetString(u"Directories", u"Open");
  r.filters = OpenFileFilters(with_archives);
  r.overwrite_prompt = false;
  return r;
}

unsigned CFilesPage::Open() {
  if (ctx_.host && !ctx_.host->MayReplaceDocument()) return kRefreshNothing;
  std::optional<FileDialogAnswer> answer =
      ctx_.dialogs.OpenFile(OpenRequest(u"Open Subtitle file", true));
  if (!answer || answer->path.empty()) return kRefreshNothing;
  if (!OpenSubtitleFile(ctx_.doc, answer->path, ctx_.store, ctx_.lang, ctx_.prompter))
    return kRefreshNothing;
  return kRefreshLoaded | kRefreshCaption;
}

void CFilesPage::DropPaths(const QStringList& paths) {
  if (paths.isEmpty() || ExportRunning()) return;
  // Loaded from the event loop: a prompt while loading must not hold up the file manager.
  const std::u16string path = FromQ(paths.front());
  QTimer::singleShot(0, this, [this, path] {
    Run([this, &path] { return LoadDropped(path); });
    emit DropHandled();
  });
}

unsigned CFilesPage::LoadDropped(const std::u16string& path) {
  if (ExportRunning()) return kRefreshNothing;
  if (ctx_.host && !ctx_.host->MayReplaceDocument()) return kRefreshNothing;
  if (!OpenDroppedFile(ctx_.doc, path, ctx_.store, ctx_.lang, ctx_.prompter))
    return kRefreshNothing;
  // A drop leaves the window's caption as it was.
  return kRefreshLoaded;
}

void CFilesPage::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CFilesPage::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty()) return;
  event->acceptProposedAction();
  const QUrl& first = urls.front();
  if (!first.isLocalFile()) {
    ctx_.doc.AppendLog(
        Format("ERROR: '%s' is not a local file.", first.toDisplayString().toUtf8().constData()));
    return;
  }
  DropPaths({first.toLocalFile()});
}

unsigned CFilesPage::Append() {
  if (!HasSubtitles(ctx_.doc)) return kRefreshNothing;
  std::optional<FileDialogAnswer> answer =
      ctx_.dialogs.OpenFile(OpenRequest(u"Select Subtitle file to Append...", false));
  if (!answer || answer->path.empty()) return kRefreshNothing;
  AppendFile(ctx_.doc, answer->path, ctx_.prompter);
  return kRefreshRowCount;
}

unsigned CFilesPage::Save() {
  if (!SaveSubtitleDialog(ctx_.doc, ctx_.store, ctx_.app, ctx_.dialogs)) return kRefreshNothing;
  return kRefreshCaption;
}

unsigned CFilesPage::SaveSelection() {
  std::u16string path = AskSelectionSaveName(ctx_.dialogs, ctx_.store, u"Save Selection to file");
  if (path.empty()) return kRefreshNothing;
  std::vector<int> rows;
  for (const QModelIndex& i : List()->selectionModel()->selectedRows()) rows.push_back(i.row());
  SaveSelectedBlock(ctx_.doc, rows, path, ctx_.store, ctx_.app);
  return kRefreshNothing;
}

unsigned CFilesPage::Split() {
  if (!HasSubtitles(ctx_.doc)) return kRefreshNothing;
  // Said before the dialog: a name asked for nothing would only be thrown away.
  std::u16string why;
  if (!CanSplitAt(ctx_.doc, ctx_.doc.CurrentRow(), &why)) {
    ctx_.doc.AppendLog(why);
    return kRefreshNothing;
  }
  std::u16string path = AskSelectionSaveName(ctx_.dialogs, ctx_.store, u"Split Subtitle file");
  if (path.empty()) return kRefreshNothing;
  SplitSubtitleFile(ctx_.doc, ctx_.doc.CurrentRow(), path, ctx_.store, ctx_.app);
  return kRefreshNothing;
}

bool CFilesPage::ExportRunning() const {
  return driver_ && driver_->Running();
}

unsigned CFilesPage::Export() {
  if (ExportRunning() || !CanExport(ctx_.doc, ctx_.app)) return kRefreshNothing;
  export_run_ =
      std::make_unique<DvdExport>(ctx_.doc, ctx_.app, ctx_.processes, ctx_.progress, ctx_.prompter);
  delete driver_;
  driver_ = new DvdExportDriver(*export_run_, this);
  connect(driver_, &DvdExportDriver::Finished, this, [this] {
    Apply(kRefreshLog);
    emit ExportFinished();
  });
  if (!driver_->Start()) {
    emit ExportFinished();
    return kRefreshLog;
  }
  return kRefreshNothing;
}

void CFilesPage::FinishExport(int wait_ms) {
  if (ExportRunning()) driver_->FinishOrStop(wait_ms);
}

}  // namespace tessera
