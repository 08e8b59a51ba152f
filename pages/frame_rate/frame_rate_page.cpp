#include "pages/frame_rate/frame_rate_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "core/qt_text_qt.h"
#include "ui/fixed_row_colours.h"
#include "ui/subtitle_list_view.h"

namespace tessera {
namespace {

constexpr int kStandardGroupId = 1806, kOriginalId = 1807, kNewId = 1808, kCustomGroupId = 1809,
              kUseCustomId = 1810;
constexpr int kNtsc = 0, kPal = 1;

QComboBox* MakeRateList(QWidget* parent, const char* name, int index) {
  auto* list = new QComboBox(parent);
  list->setObjectName(QString::fromLatin1(name));
  for (const StandardFrameRate& r : kStandardFrameRates) list->addItem(ToQ(r.label));
  list->setCurrentIndex(index);
  return list;
}

QLineEdit* MakeRateField(QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("000.0000")) + 16);
  return field;
}

}  // namespace

PageLayout CFrameRatePage::Layout(CFrameRatePage* page) {
  PageLayout l;
  l.title_id = 1801;
  l.description_id = 1802;
  l.buttons = {{
      {"convert", 1803, u"Convert", [page] { return page->convert_enabled_; },
       [page] { return page->Convert(page->Choice()); }, u"Convert Framerate"},
      {"ntsc2pal",
       1804,
       u"NTSC2PAL",
       {},
       [page] { return page->ConvertStandard(kNtsc, kPal); },
       u"NTSC2PAL"},
      {"pal2ntsc",
       1805,
       u"PAL2NTSC",
       {},
       [page] { return page->ConvertStandard(kPal, kNtsc); },
       u"PAL2NTSC"},
  }};
  l.list = true;
  l.log = true;
  return l;
}

CFrameRatePage::CFrameRatePage(PageContext& ctx, QWidget* parent)
    : CSheetPage(ctx, Layout(this), parent) {
  List()->Model()->SetRowColour(&FixedRowColour);
  AddAboveList(MakeGroups());
  PadList();
  Apply(kRefreshNothing);
}

QWidget* CFrameRatePage::MakeGroups() {
  auto* box = new QWidget(this);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  auto label = [this](int i, QWidget* parent, QWidget* buddy) {
    labels_[i] = new QLabel(parent);
    labels_[i]->setBuddy(buddy);
    return labels_[i];
  };

  standard_group_ = new QGroupBox(box);
  original_ = MakeRateList(standard_group_, "originalRate", 0);
  new_ = MakeRateList(standard_group_, "newRate", 1);
  auto* standard = new QGridLayout(standard_group_);
  standard->setContentsMargins(8, 4, 8, 6);
  standard->addWidget(label(0, standard_group_, original_), 0, 0);
  standard->addWidget(original_, 0, 1);
  standard->addWidget(label(1, standard_group_, new_), 1, 0);
  standard->addWidget(new_, 1, 1);
  standard->setColumnStretch(2, 1);
  for (QComboBox* list : {original_, new_}) {
    connect(list, &QComboBox::currentIndexChanged, this, [this] {
      convert_enabled_ = original_->currentIndex() != new_->currentIndex();
      Apply(kRefreshNothing);
    });
  }

  custom_group_ = new QGroupBox(box);
  use_custom_ = new QCheckBox(custom_group_);
  use_custom_->setObjectName(QStringLiteral("useCustom"));
  custom_original_ = MakeRateField(custom_group_, "customOriginal");
  custom_new_ = MakeRateField(custom_group_, "customNew");
  auto* custom = new QGridLayout(custom_group_);
  custom->setContentsMargins(8, 4, 8, 6);
  custom->addWidget(use_custom_, 0, 0, 1, 2);
  custom->addWidget(label(2, custom_group_, custom_original_), 1, 0);
  custom->addWidget(custom_original_, 1, 1);
  custom->addWidget(label(3, custom_group_, custom_new_), 2, 0);
  custom->addWidget(custom_new_, 2, 1);
  custom->setColumnStretch(2, 1);
  connect(use_custom_, &QCheckBox::toggled, this, &CFrameRatePage::ShowCustom);
  ShowCustom(false);

  row->addWidget(standard_group_, 1);
  row->addWidget(custom_group_, 1);
  return box;
}

void CFrameRatePage::ShowCustom(bool on) {
  using Widgets = std::initializer_list<QWidget*>;
  for (QWidget* w : Widgets{original_, new_, labels_[0], labels_[1]}) w->setEnabled(!on);
  for (QWidget* w : Widgets{custom_original_, custom_new_, labels_[2], labels_[3]})
    w->setEnabled(on);
}

void CFrameRatePage::OnActivate() {
  standard_group_->setTitle(Caption(kStandardGroupId));
  custom_group_->setTitle(Caption(kCustomGroupId));
  use_custom_->setText(Caption(kUseCustomId));
  for (int i = 0; i < 4; ++i) labels_[i]->setText(Caption(i % 2 == 0 ? kOriginalId : kNewId));
  // A converted document is not converted again by accident after a page switch; loading a file
  // clears the flag.
  convert_enabled_ = !ctx_.doc.FrameRateConverted();
  PadList();
  CSheetPage::OnActivate();
}

void CFrameRatePage::PadList() {
  SubtitleListModel* model = List()->Model();
  const int padding = std::max(0, kMinimumRows - ctx_.doc.Count());
  if (model->rowCount() - model->DocumentRows() != padding) model->SetPaddingRows(padding);
}

void CFrameRatePage::AfterRefresh() {
  // Undo and redo may change the row count behind the page.
  SubtitleListModel* model = List()->Model();
  if (model->rowCount() - model->DocumentRows() != std::max(0, kMinimumRows - ctx_.doc.Count())) {
    PadList();
    List()->Refill();
  }
  // Converted times are read again when painted.
  List()->viewport()->update();
}

FrameRateChoice CFrameRatePage::Choice() const {
  FrameRateChoice c;
  c.use_custom = use_custom_->isChecked();
  c.original_index = original_->currentIndex();
  c.new_index = new_->currentIndex();
  c.custom_original = FromQ(custom_original_->text());
  c.custom_new = FromQ(custom_new_->text());
  return c;
}

unsigned CFrameRatePage::ConvertStandard(int original_index, int new_index) {
  {
    const QSignalBlocker quiet_original(original_);
    const QSignalBlocker quiet_new(new_);
    original_->setCurrentIndex(original_index);
    new_->setCurrentIndex(new_index);
  }
  // The button converts between the rates its name says, whatever the custom fields hold.
  FrameRateChoice c;
  c.original_index = original_index;
  c.new_index = new_index;
  return Convert(c);
}

unsigned CFrameRatePage::Convert(const FrameRateChoice& choice) {
  double from = 0, to = 0;
  ChosenFrameRates(choice, from, to);
  if (RunFrameRateConversion(ctx_.doc, from, to, ctx_.prompter)) convert_enabled_ = false;
  return kRefreshLog;
}

}  // namespace tessera
