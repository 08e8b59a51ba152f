#include "pages/files/files_page.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "formats/split.h"
#include "pages/files/dvd_export_qt.h"
#include "pages/files/file_commands.h"
#include "pages/files/save_dialogs.h"
#include "ui/film_strip.h"
#include "ui/header_strip.h"
#include "ui/log_panel.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

constexpr int kCloseWaitMs = 3000;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

}  // namespace

CFilesPage::CFilesPage(PageContext& ctx, ProgressSink& progress, ProcessRunner& runner,
                       QWidget* parent)
    : CSheetPage(ctx, parent), progress_(progress), runner_(runner) {
  SetHeaderIds(1101, 1102);
  setAcceptDrops(true);

  open_ = MakeButton(this, "open", QStringLiteral("Open"));
  append_ = MakeButton(this, "append", QStringLiteral("Append"));
  save_ = MakeButton(this, "save", QStringLiteral("Save"));
  save_sel_ = MakeButton(this, "saveSelection", QStringLiteral("Save Sel."));
  split_ = MakeButton(this, "split", QStringLiteral("Split"));
  export_ = MakeButton(this, "dvdSupEnc", QStringLiteral("DVDSupEnc."));
  exit_ = MakeButton(this, "exit", QStringLiteral("Exit"));
  list_ = new SubtitleListView(ctx.doc, ctx.app, ctx.lang, this);
  log_ = new LogPanel(ctx.doc.Log(), true, this);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {open_, append_, save_, save_sel_, split_, export_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(exit_);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(8, 4, 8, 8);
  body->setSpacing(6);
  body->addLayout(buttons);
  body->addWidget(list_, 3);
  body->addWidget(new FilmStrip(this));
  body->addWidget(log_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(header_);
  layout->addLayout(body, 1);

  connect(open_, &QPushButton::clicked, this, &CFilesPage::Open);
  connect(append_, &QPushButton::clicked, this, &CFilesPage::Append);
  connect(save_, &QPushButton::clicked, this, &CFilesPage::Save);
  connect(save_sel_, &QPushButton::clicked, this, &CFilesPage::SaveSelection);
  connect(split_, &QPushButton::clicked, this, &CFilesPage::Split);
  connect(export_, &QPushButton::clicked, this, &CFilesPage::Export);
  connect(exit_, &QPushButton::clicked, this, [this] {
    if (ctx_.host) ctx_.host->EndWithOk();
  });

  ApplyCaptions();
  UpdateButtons();
}

CFilesPage::~CFilesPage() {
  FinishExport(kCloseWaitMs);
}

void CFilesPage::ApplyCaptions() {
  open_->setText(Caption(1103));
  save_->setText(Caption(1104));
  split_->setText(Caption(1105));
  append_->setText(Caption(1106));
  export_->setText(Caption(1107));
  exit_->setText(Caption(1108));
}

void CFilesPage::OnActivate() {
  CSheetPage::OnActivate();
  list_->Activate();
  log_->Refill();
  UpdateButtons();
  ApplyCaptions();
}

void CFilesPage::OnDeactivate() {
  list_->Deactivate();
}

void CFilesPage::OnWindowClosing() {
  FinishExport(kCloseWaitMs);
}

void CFilesPage::UpdateButtons() {
  const bool idle = !ExportRunning();
  const bool has = HasSubtitles(ctx_.doc);
  for (QPushButton* b : {open_, save_sel_, exit_}) b->setEnabled(idle);
  for (QPushButton* b : {append_, save_, split_}) b->setEnabled(idle && has);
  export_->setEnabled(idle && CanExport(ctx_.doc, ctx_.app));
  setAcceptDrops(idle);
}

void CFilesPage::AfterLoad() {
  log_->Refill();
  list_->Refill();
  UpdateButtons();
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

void CFilesPage::Open() {
  std::optional<FileDialogAnswer> answer =
      ctx_.dialogs.OpenFile(OpenRequest(u"Open Subtitle file", true));
  if (!answer || answer->path.empty()) return;
  OpenSubtitleFile(ctx_.doc, answer->path, ctx_.store, ctx_.lang, ctx_.prompter);
  if (ctx_.host && ctx_.doc.FilePath() == answer->path) ctx_.host->SetCurrentFile(answer->path);
  AfterLoad();
}

void CFilesPage::DropPaths(const QStringList& paths) {
  if (paths.isEmpty() || ExportRunning()) return;
  OpenDroppedFile(ctx_.doc, FromQ(paths.front()), ctx_.store, ctx_.lang, ctx_.prompter);
  AfterLoad();
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

void CFilesPage::Append() {
  if (!HasSubtitles(ctx_.doc)) return;
  std::optional<FileDialogAnswer> answer =
      ctx_.dialogs.OpenFile(OpenRequest(u"Select Subtitle file to Append...", false));
  if (!answer || answer->path.empty()) return;
  AppendFile(ctx_.doc, answer->path, ctx_.prompter);
  list_->Refill();
}

void CFilesPage::Save() {
  auto show = [this](const std::u16string& path) {
    if (ctx_.host) ctx_.host->SetCurrentFile(path);
  };
  if (SaveSubtitleDialog(ctx_.doc, ctx_.store, ctx_.app, ctx_.dialogs, show))
    ctx_.doc.SetChanged(false);
}

std::u16string CFilesPage::AskSelectionName(const char16_t* title) {
  FileDialogRequest r;
  r.title = title;
  r.default_extension = u"*.srt";
  r.initial_folder = ctx_.store.GetString(u"Directories", u"Save");
  r.filters = SelectionSaveFilters();
  r.selected_filter = 1;
  r.overwrite_prompt = true;
  std::optional<FileDialogAnswer> answer = ctx_.dialogs.SaveFile(r);
  return answer ? answer->path : std::u16string();
}

void CFilesPage::SaveSelection() {
  std::u16string path = AskSelectionName(u"Save Selection to file");
  if (path.empty()) return;
  std::vector<int> rows;
  for (const QModelIndex& i : list_->selectionModel()->selectedRows()) rows.push_back(i.row());
  SaveSelectedBlock(ctx_.doc, rows, path, ctx_.store, ctx_.app);
}

void CFilesPage::Split() {
  if (!HasSubtitles(ctx_.doc)) return;
  std::u16string path = AskSelectionName(u"Split Subtitle file");
  if (path.empty()) return;
  SplitSubtitleFile(ctx_.doc, ctx_.doc.CurrentRow(), path, ctx_.store, ctx_.app);
}

bool CFilesPage::ExportRunning() const {
  return driver_ && driver_->Running();
}

void CFilesPage::Export() {
  if (ExportRunning() || !CanExport(ctx_.doc, ctx_.app)) return;
  export_run_ = std::make_unique<DvdExport>(ctx_.doc, ctx_.app, runner_, progress_, ctx_.prompter);
  delete driver_;
  driver_ = new DvdExportDriver(*export_run_, this);
  connect(driver_, &DvdExportDriver::Finished, this, [this] {
    log_->Refill();
    UpdateButtons();
    emit ExportFinished();
  });
  if (!driver_->Start()) {
    log_->Refill();
    UpdateButtons();
    emit ExportFinished();
    return;
  }
  UpdateButtons();
}

void CFilesPage::FinishExport(int wait_ms) {
  if (ExportRunning()) driver_->FinishOrStop(wait_ms);
}

}  // namespace tessera
