#include "pages/avi_info/avi_info_page.h"

#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <iterator>

#include "core/qt_text_qt.h"
#include "ui/log_panel.h"
#include "workbench/file_commands.h"

namespace tessera {
namespace {

struct BoxDef {
  int caption_id;
  const char* name;
  std::u16string AviInfoTexts::*text;
};

// In the page's order: five of the file, four of the video stream, three of the audio stream.
constexpr BoxDef kBoxes[] = {
    {1705, "filename", &AviInfoTexts::filename},
    {1706, "size", &AviInfoTexts::size},
    {1707, "aspectRatio", &AviInfoTexts::aspect_ratio},
    {1708, "framerate", &AviInfoTexts::framerate},
    {1709, "length", &AviInfoTexts::length},
    {1711, "fourcc", &AviInfoTexts::fourcc},
    {1712, "codec", &AviInfoTexts::codec},
    {1713, "vendor", &AviInfoTexts::vendor},
    {1714, "avgBitrate", &AviInfoTexts::avg_bitrate},
    {1712, "audioCodec", &AviInfoTexts::audio_codec},
    {1716, "audioBitrate", &AviInfoTexts::audio_bitrate},
    {1717, "samplingFrequency", &AviInfoTexts::sampling_frequency},
};
constexpr int kFirstVideoBox = 5;
constexpr int kFirstAudioBox = 9;

QFont BoxFont() {
  QFont f(QStringLiteral("Courier New"));
  f.setStyleHint(QFont::Monospace);
  f.setPointSize(10);
  return f;
}

}  // namespace

PageLayout CAviInfoPage::Layout(CAviInfoPage* page) {
  PageLayout l;
  l.title_id = 1701;
  l.description_id = 1702;
  l.buttons = {{{"openAvi", 1703, u"Open AVI", {}, [page] { return page->OpenAvi(); }}}};
  l.log = true;
  return l;
}

CAviInfoPage::CAviInfoPage(PageContext& ctx, QWidget* parent)
    : CSheetPage(ctx, Layout(this), parent) {
  const QFont mono = BoxFont();
  for (const BoxDef& def : kBoxes) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(def.name));
    edit->setReadOnly(true);
    edit->setFont(mono);
    // The log gives up height first: a box is never squeezed below one line of its text.
    edit->setMinimumHeight(edit->sizeHint().height());
    boxes_.push_back({new QLabel(this), edit});
  }
  Log()->setFont(mono);
  // At the smallest window size the boxes keep their height and the log shrinks to two lines.
  Log()->setMinimumHeight(2 * QFontMetrics(mono).height() + 2 * Log()->frameWidth() + 4);

  const auto group = [this](int caption_id) {
    auto* g = new QGroupBox(this);
    groups_.push_back({g, caption_id});
    return g;
  };
  const auto compact = [](QGridLayout* grid) {
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
  };
  const auto add_box = [this](QGridLayout* grid, int box, int row, int column, int span = 1) {
    grid->addWidget(boxes_[box].label, row, column);
    grid->addWidget(boxes_[box].edit, row, column + 1, 1, span);
  };
  // File: the name across the group, then two boxes a row.
  QGroupBox* file = group(1704);
  auto* fg = new QGridLayout(file);
  compact(fg);
  add_box(fg, 0, 0, 0, 3);
  add_box(fg, 1, 1, 0);
  add_box(fg, 3, 1, 2);
  add_box(fg, 2, 2, 0);
  add_box(fg, 4, 2, 2);
  // Size and proportions are long texts, frame rate and length short ones.
  fg->setColumnStretch(1, 2);
  fg->setColumnStretch(3, 1);
  // Video and audio side by side, one box a row.
  const auto stream = [&](int caption_id, int first, int last) {
    QGroupBox* g = group(caption_id);
    auto* grid = new QGridLayout(g);
    compact(grid);
    for (int i = first; i < last; ++i) add_box(grid, i, i - first, 0);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(last - first, 1);
    return g;
  };
  auto* streams = new QWidget(this);
  auto* sh = new QHBoxLayout(streams);
  sh->setContentsMargins(0, 0, 0, 0);
  sh->addWidget(stream(1710, kFirstVideoBox, kFirstAudioBox), 1);
  sh->addWidget(stream(1715, kFirstAudioBox, static_cast<int>(std::size(kBoxes))), 1);
  // Below the (absent) list, so that the log takes the rest of the height.
  AddBelowList(file);
  AddBelowList(streams);
  ApplyBoxCaptions();
}

void CAviInfoPage::ApplyBoxCaptions() {
  int widest = 0;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i].label->setText(Caption(kBoxes[i].caption_id));
    boxes_[i].label->setMinimumWidth(0);
    widest = std::max(widest, boxes_[i].label->sizeHint().width());
  }
  // One label width in every group, so that the boxes of the groups line up.
  for (const Box& box : boxes_) box.label->setMinimumWidth(widest);
  for (const auto& [widget, id] : groups_) widget->setTitle(Caption(id));
}

void CAviInfoPage::OnActivate() {
  if (last_described_ != ctx_.app.last_avi) Describe(ctx_.app.last_avi);
  CSheetPage::OnActivate();
  ApplyBoxCaptions();
}

void CAviInfoPage::Describe(const std::u16string& path) {
  // Remembered even when the file cannot be read, so that it is not tried on every visit.
  last_described_ = ctx_.app.last_avi;
  AviInfoTexts texts;
  if (!DescribeAviFile(path, texts)) return;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i].edit->setText(ToQ(texts.*kBoxes[i].text));
    // A text wider than its box shows its beginning.
    boxes_[i].edit->setCursorPosition(0);
  }
}

QString CAviInfoPage::BoxText(const char* name) const {
  for (size_t i = 0; i < boxes_.size(); ++i)
    if (qstrcmp(kBoxes[i].name, name) == 0) return boxes_[i].edit->text();
  return {};
}

unsigned CAviInfoPage::OpenAvi() {
  FileDialogRequest r;
  r.title = u"Select Movie";
  r.default_extension = u"*.avi";
  r.initial_folder = ctx_.store.GetString(u"Directories", u"Movie");
  r.filters = {{u"Movie files (*.avi)", u"*.avi"}, {u"All files (*.*)", u"*.*"}};
  r.overwrite_prompt = false;
  std::optional<FileDialogAnswer> answer = ctx_.dialogs.OpenFile(r);
  if (!answer || answer->path.empty()) return kRefreshNothing;
  RememberFolder(ctx_.store, u"Movie", answer->path);
  Describe(answer->path);
  return kRefreshNothing;
}

}  // namespace tessera
