#include "pages/options/options_page.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <initializer_list>
#include <type_traits>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "spelling/spell_checker.h"
#include "ui/subtitle_list_model.h"
#include "ui/subtitle_preview.h"

namespace tessera {
namespace {

constexpr char16_t kSample1[] = u"The quick brown fox jumps over the lazy dog.";
constexpr char16_t kSample2[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

QString Q(const char16_t* text) {
  return QString::fromUtf16(text);
}

QLineEdit* NumberEdit(QWidget* parent, const char* name, int width) {
  auto* e = new QLineEdit(parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setMaximumWidth(width);
  return e;
}

// Option buttons over one whole-number setting, named after it with their value; the group keeps
// them apart from the other choices in the same box.
void Choice(QWidget* parent, QBoxLayout* into, const char* name,
            std::initializer_list<const char16_t*> captions) {
  auto* group = new QButtonGroup(parent);
  group->setObjectName(QString::fromLatin1(name));
  int id = 0;
  for (const char16_t* caption : captions) {
    auto* b = new QRadioButton(Q(caption), parent);
    b->setObjectName(QString::fromLatin1(name) + QString::number(id));
    group->addButton(b, id++);
    into->addWidget(b);
  }
  into->addStretch(1);
}

QCheckBox* Check(QWidget* parent, const char* name, const char16_t* caption) {
  auto* c = new QCheckBox(Q(caption), parent);
  c->setObjectName(QString::fromLatin1(name));
  return c;
}

QComboBox* DropDown(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return c;
}

void AddColor(QComboBox* box, int bgr) {
  QPixmap swatch(40, 14);
  swatch.fill(ColorFromSetting(bgr));
  box->addItem(QIcon(swatch),
               QStringLiteral("%1, %2, %3").arg(bgr & 0xFF).arg((bgr >> 8) & 0xFF).arg(bgr >> 16),
               bgr);
}

// Asks for the whole form's height, so that the page gives the form all the room it has.
class FormScroll final : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    const QSize form = widget() ? widget()->sizeHint() : QSize();
    return {form.width() + verticalScrollBar()->sizeHint().width(), form.height()};
  }
};

// A widget whose controls stand one below the other, without margins of its own.
QVBoxLayout* BareColumn(QWidget*& widget) {
  widget = new QWidget;
  auto* v = new QVBoxLayout(widget);
  v->setContentsMargins(0, 0, 0, 0);
  return v;
}

QHBoxLayout* Row(QBoxLayout* into) {
  auto* row = new QHBoxLayout;
  into->addLayout(row);
  return row;
}

}  // namespace

PageLayout CSettingsPage::Layout() {
  PageLayout l;
  l.title = u"Options";
  l.description = u"Change the way Tessera behaves...";
  return l;
}

CSettingsPage::CSettingsPage(PageContext& ctx, QWidget* parent)
    : CSheetPage(ctx, Layout(), parent),
      options_(LoadSettingsOptions(ctx.store, ctx.app)),
      controls_(SettingsOptionBindings(), this, {&OptionFieldText, &TakeOptionFieldText}) {
  auto* form = new QWidget;
  auto* rows = new QVBoxLayout(form);
  rows->setContentsMargins(0, 0, 0, 0);
  rows->addWidget(BuildFontRows());
  columns_ = new QBoxLayout(QBoxLayout::LeftToRight);
  rows->addLayout(columns_);
  rows->addStretch(1);
  left_ = BuildLeftColumn();
  right_ = BuildRightColumn();
  columns_->addWidget(left_, 1, Qt::AlignTop);
  columns_->addWidget(right_, 1, Qt::AlignTop);
  // Below the window's default size the columns stack and the page scrolls.
  scroll_ = new FormScroll(this);
  scroll_->setObjectName(QStringLiteral("optionsScroll"));
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setWidget(form);
  AddAboveList(scroll_, 1);

  for (const OptionListEntry& e : ScreenWidthEntries()) screen_width_->addItem(Q(e.text));
  for (const OptionListEntry& e : StartTabEntries()) start_tab_->addItem(Q(e.text));
  screen_width_->setCurrentIndex(ScreenWidthEntry(ctx.app.screen_width));
  start_tab_->setCurrentIndex(StartTabEntry(ctx.app.start_tab));
  const std::span<const int> presets[] = {EvenColorPresets(), OddColorPresets(),
                                          SelectionColorPresets()};
  for (int i = 0; i < 3; ++i)
    for (int bgr : presets[i]) AddColor(colors_[i], bgr);

  ShowFields();
  ShowFont();
  ShowColors();
  ApplyPageCaptions();
  FillLanguages();
}

template <typename W>
W* CSettingsPage::Captioned(W* widget, int id) {
  QString english;
  if constexpr (std::is_base_of_v<QGroupBox, W>)
    english = widget->title();
  else
    english = widget->text();
  captioned_.push_back({widget, id, english});
  return widget;
}

QWidget* CSettingsPage::BuildFontRows() {
  QWidget* block = nullptr;
  QVBoxLayout* v = BareColumn(block);
  auto* row = Row(v);
  auto* font = Captioned(new QPushButton(QStringLiteral("Font"), block), 1901);
  font->setObjectName(QStringLiteral("font"));
  connect(font, &QPushButton::clicked, this, &CSettingsPage::ChooseFont);
  row->addWidget(font);
  row->addWidget(Captioned(new QLabel(block), 1902));
  font_label_ = new QLabel(block);
  font_label_->setObjectName(QStringLiteral("currentFont"));
  row->addWidget(font_label_, 1);
  row->addWidget(new QLabel(QStringLiteral("Language:"), block));
  language_ = DropDown(block, "language");
  connect(language_, &QComboBox::activated, this, &CSettingsPage::ChooseLanguage);
  row->addWidget(language_);
  previews_[0] = new CSubtitle(Q(kSample1), block);
  previews_[1] = new CSubtitle(Q(kSample2), block);
  for (int i = 0; i < 2; ++i) {
    previews_[i]->setObjectName(QStringLiteral("preview%1").arg(i + 1));
    v->addWidget(previews_[i]);
  }
  return block;
}

QWidget* CSettingsPage::BuildLeftColumn() {
  QWidget* column = nullptr;
  QVBoxLayout* v = BareColumn(column);

  auto* formats = Captioned(new QGroupBox(QStringLiteral("File format options:"), column), 1903);
  auto* fg = new QGridLayout(formats);
  const auto choice_row = [&](int row, QLabel* label, const char* name,
                              std::initializer_list<const char16_t*> captions) {
    fg->addWidget(label, row, 0);
    auto* buttons = new QHBoxLayout;
    Choice(formats, buttons, name, captions);
    fg->addLayout(buttons, row, 1);
  };
  choice_row(0, Captioned(new QLabel(formats), 1904), "ssaVersion",
             {u"previous (v3.00  ??\?)", u"v4.00"});
  choice_row(1, new QLabel(QStringLiteral("Encoding for saving:"), formats), "encoding",
             {u"ANSI", u"Unicode", u"UTF-8"});
  auto* rate_row = new QHBoxLayout;
  rate_row->addWidget(
      new QLabel(QStringLiteral("MicroDVD (*.sub) frame rate when saving:"), formats));
  rate_row->addWidget(NumberEdit(formats, "subFramerate", 70));
  rate_row->addWidget(new QLabel(QStringLiteral("fps."), formats));
  rate_row->addStretch(1);
  fg->addLayout(rate_row, 2, 0, 1, 2);
  v->addWidget(formats);

  auto* margins = new QGroupBox(
      QStringLiteral("Margins (used in check for errors and converting to *.sup)"), column);
  auto* mv = new QVBoxLayout(margins);
  auto* margin_row = Row(mv);
  const std::pair<const char16_t*, const char*> sides[] = {
      {u"Left:", "leftMargin"}, {u"Right:", "rightMargin"}, {u"Bottom:", "bottomMargin"}};
  for (const auto& [caption, name] : sides) {
    margin_row->addWidget(new QLabel(Q(caption), margins));
    margin_row->addWidget(NumberEdit(margins, name, 50));
  }
  margin_row->addStretch(1);
  auto* width_row = Row(mv);
  width_row->addWidget(new QLabel(QStringLiteral("Screenwidth :"), margins));
  screen_width_ = DropDown(margins, "screenWidth");
  connect(screen_width_, &QComboBox::activated, this, [this](int i) {
    ctx_.app.screen_width = ScreenWidthEntries()[static_cast<size_t>(i)].value;
  });
  width_row->addWidget(screen_width_);
  width_row->addStretch(1);
  auto* factor_row = Row(mv);
  factor_row->addWidget(new QLabel(QStringLiteral("Correction factor :"), margins));
  factor_row->addWidget(NumberEdit(margins, "widthFactor", 70));
  factor_row->addStretch(1);
  v->addWidget(margins);

  auto* resize = new QGroupBox(
      QStringLiteral("Resize Main Window options (Needs a restart of Tessera)"), column);
  auto* rv = new QVBoxLayout(resize);
  rv->setSpacing(2);
  Choice(resize, rv, "resizeMovieWindow", {u"Resize Subtitle Listbox", u"Resize Movie Window"});
  v->addWidget(resize);
  v->addStretch(1);
  return column;
}

QWidget* CSettingsPage::BuildRightColumn() {
  QWidget* column = nullptr;
  QVBoxLayout* v = BareColumn(column);

  auto* encoder = Captioned(new QGroupBox(QStringLiteral("DVDSupEncode"), column), 1906);
  auto* ev = new QVBoxLayout(encoder);
  const auto folder = [&](int caption_id, const char* name, const char* browse_name,
                          std::u16string SettingsOptions::*field) {
    auto* label = new QLabel(encoder);
    ev->addWidget(Captioned(label, caption_id));
    auto* row = Row(ev);
    auto* edit = new QLineEdit(encoder);
    label->setBuddy(edit);
    edit->setObjectName(QString::fromLatin1(name));
    auto* browse = new QPushButton(QStringLiteral("..."), encoder);
    browse->setObjectName(QString::fromLatin1(browse_name));
    browse->setMaximumWidth(32);
    connect(browse, &QPushButton::clicked, this,
            [this, edit, field] { BrowseFolder(edit, field); });
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return edit;
  };
  dvd_folder_ = folder(1907, "dvdSupEncodeFolder", "browseDvdSupEncode",
                       &SettingsOptions::dvd_sup_encode_folder);
  my_folder_ =
      folder(1908, "mySubtitleFolder", "browseMySubtitles", &SettingsOptions::my_subtitle_folder);
  ev->addWidget(Check(encoder, "createCopy", u"Create copy in source folder."));
  v->addWidget(encoder);

  auto* startup = new QGroupBox(QStringLiteral("On startup"), column);
  auto* sv = new QVBoxLayout(startup);
  sv->addWidget(Check(startup, "reloadSub", u"Auto reload last Sub"));
  sv->addWidget(Check(startup, "reloadAvi", u"Auto reload last AVI"));
  auto* tab_row = Row(sv);
  tab_row->addWidget(new QLabel(QStringLiteral("Active tab:"), startup));
  start_tab_ = DropDown(startup, "startTab");
  connect(start_tab_, &QComboBox::activated, this,
          [this](int i) { ctx_.app.start_tab = StartTabEntries()[static_cast<size_t>(i)].value; });
  tab_row->addWidget(start_tab_);
  tab_row->addStretch(1);
  v->addWidget(startup);

  auto* scheme = Captioned(new QGroupBox(QStringLiteral("Color Scheme"), column), 1911);
  auto* grid = new QGridLayout(scheme);
  const char* const names[] = {"evenColor", "oddColor", "selectionColor"};
  for (int i = 0; i < 3; ++i) {
    grid->addWidget(Captioned(new QLabel(scheme), 1912 + i), i, 0);
    colors_[i] = DropDown(scheme, names[i]);
    colors_[i]->setIconSize(QSize(40, 14));
    connect(colors_[i], &QComboBox::activated, this, &CSettingsPage::TakeColors);
    grid->addWidget(colors_[i], i, 1);
  }
  auto* defaults = Captioned(new QPushButton(QStringLiteral("Default"), scheme), 1915);
  defaults->setObjectName(QStringLiteral("defaultColors"));
  connect(defaults, &QPushButton::clicked, this, &CSettingsPage::RestoreDefaultColors);
  grid->addWidget(defaults, 2, 2, Qt::AlignLeft);
  grid->setColumnStretch(3, 1);
  v->addWidget(scheme);

  auto* reading =
      Captioned(new QGroupBox(QStringLiteral("Spelling and reading speed"), column), 1916);
  auto* rg = new QGridLayout(reading);
  rg->addWidget(Captioned(new QLabel(reading), 1917), 0, 0);
  spelling_language_ = DropDown(reading, "spellingLanguage");
  connect(spelling_language_, &QComboBox::activated, this, [this](int i) {
    ctx_.app.spelling_language = FromQ(spelling_language_->itemData(i).toString());
  });
  rg->addWidget(spelling_language_, 0, 1, Qt::AlignLeft);
  rg->addWidget(Captioned(new QLabel(reading), 1918), 1, 0);
  rg->addWidget(NumberEdit(reading, "maxCps", 50), 1, 1, Qt::AlignLeft);
  rg->addWidget(Captioned(Check(reading, "showCpsColumn", u"Show the CPS column"), 1919), 2, 0, 1,
                2);
  rg->setColumnStretch(2, 1);
  v->addWidget(reading);
  v->addStretch(1);
  return column;
}

void CSettingsPage::FillSpellingLanguages() {
  const QSignalBlocker quiet(spelling_language_);
  spelling_language_->clear();
  const std::vector<std::string> installed = InstalledDictionaries(DictionaryFolder());
  // An empty setting follows the system's locale; the entry it picks is shown.
  std::string chosen = ToUtf8(ctx_.app.spelling_language);
  if (chosen.empty()) chosen = DefaultSpellingLanguage(installed);
  for (const std::string& name : installed)
    spelling_language_->addItem(QString::fromStdString(name), QString::fromStdString(name));
  if (std::find(installed.begin(), installed.end(), chosen) == installed.end() && !chosen.empty())
    spelling_language_->addItem(QString::fromStdString(chosen), QString::fromStdString(chosen));
  spelling_language_->setCurrentIndex(spelling_language_->findData(QString::fromStdString(chosen)));
  spelling_language_->setEnabled(spelling_language_->count() > 0);
}

void CSettingsPage::ApplyPageCaptions() {
  for (const CaptionedWidget& c : captioned_) {
    const QString text = Caption(c.id, c.english);
    if (auto* group = qobject_cast<QGroupBox*>(c.widget))
      group->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(c.widget))
      button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(c.widget))
      label->setText(text);
  }
}

void CSettingsPage::FillLanguages() {
  const QSignalBlocker quiet(language_);
  language_->clear();
  const LanguageTable& lang = ctx_.lang;
  for (int i = 0; i < lang.LanguageCount(); ++i) {
    language_->addItem(QStringLiteral(" ") + ToQ(lang.LanguageName(i)));
    QFont f = language_->font();
    f.setBold(lang.Available(i));
    language_->setItemData(i, f, Qt::FontRole);
  }
  language_->setCurrentIndex(lang.CurrentLanguage());
}

void CSettingsPage::ShowFields() {
  controls_.Set(options_);
  dvd_folder_->setText(ToQ(options_.dvd_sup_encode_folder));
  my_folder_->setText(ToQ(options_.my_subtitle_folder));
}

bool CSettingsPage::StoreFields(bool report) {
  SettingsOptions next = options_;
  if (std::optional<RefusedField> refused = controls_.Read(next); refused && report) {
    ctx_.prompter.MessageBox(refused->message, u"Tessera", PromptIcon::Exclamation);
    refused->field->setFocus();
    refused->field->selectAll();
    return false;
  }
  next.dvd_sup_encode_folder = FromQ(dvd_folder_->text());
  next.my_subtitle_folder = FromQ(my_folder_->text());
  options_ = next;
  SaveSettingsOptions(ctx_.store, ctx_.app, options_);
  return true;
}

void CSettingsPage::ShowFont() {
  const AppSettings& app = ctx_.app;
  font_label_->setText(ToQ(FontLabel(app)));
  for (CSubtitle* preview : previews_) {
    preview->SetFont(ToQ(app.font_name), PreviewPointSize(app.font_size));
    preview->SetColors(ColorFromSetting(preview_color_), Qt::black);
  }
}

void CSettingsPage::ShowColors() {
  const int values[] = {ctx_.app.even_color, ctx_.app.odd_color, ctx_.app.selection_color};
  for (int i = 0; i < 3; ++i) {
    // A colour no preset has (written by hand) is offered too, so that it is kept.
    if (colors_[i]->findData(values[i]) < 0) AddColor(colors_[i], values[i]);
    colors_[i]->setCurrentIndex(colors_[i]->findData(values[i]));
  }
}

void CSettingsPage::OnActivate() {
  CSheetPage::OnActivate();
  ApplyPageCaptions();
  FillLanguages();
  FillSpellingLanguages();
  options_.encoding = ctx_.app.encoding;
  ShowFields();
  ShowFont();
  ShowColors();
}

void CSettingsPage::OnDeactivate() {
  // The window may be closing without Exit; what cannot be read then is not needed.
  StoreFields(false);
  CSheetPage::OnDeactivate();
}

bool CSettingsPage::MayLeave() {
  return StoreFields(true);
}

void CSettingsPage::ChooseFont() {
  std::optional<FontChoice> chosen =
      ctx_.dialogs.ChooseFont(SubtitleFontChoice(ctx_.app, preview_color_));
  if (!chosen) return;
  TakeSubtitleFont(*chosen, ctx_.app);
  preview_color_ = chosen->color;
  ShowFont();
}

void CSettingsPage::BrowseFolder(QLineEdit* edit, std::u16string SettingsOptions::*field) {
  std::optional<std::u16string> folder = ctx_.dialogs.BrowseFolder(u"", u"");
  if (!folder) return;
  // Only this field changes: what was typed into the others is kept.
  options_.*field = *folder;
  edit->setText(ToQ(*folder));
}

void CSettingsPage::ChooseLanguage(int index) {
  if (index != ctx_.lang.CurrentLanguage() && ctx_.lang.SelectLanguage(index)) {
    ctx_.app.language = index;
    CSheetPage::OnActivate();
    ApplyPageCaptions();
    if (ctx_.host) ctx_.host->LanguageChanged();
  }
  FillLanguages();
}

void CSettingsPage::TakeColors() {
  ctx_.app.even_color = colors_[0]->currentData().toInt();
  ctx_.app.odd_color = colors_[1]->currentData().toInt();
  ctx_.app.selection_color = colors_[2]->currentData().toInt();
}

void CSettingsPage::RestoreDefaultColors() {
  ctx_.app.even_color = kDefaultColorScheme.even;
  ctx_.app.odd_color = kDefaultColorScheme.odd;
  ctx_.app.selection_color = kDefaultColorScheme.selection;
  ShowColors();
}

void CSettingsPage::ArrangeColumns(int page_width) {
  const int needed = left_->minimumSizeHint().width() + right_->minimumSizeHint().width() +
                     columns_->spacing() + scroll_->verticalScrollBar()->sizeHint().width();
  // The page's body keeps 8 pixels at either side.
  const auto direction =
      page_width - 16 >= needed ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
  if (columns_->direction() != direction) columns_->setDirection(direction);
}

void CSettingsPage::resizeEvent(QResizeEvent* event) {
  ArrangeColumns(event->size().width());
  CSheetPage::resizeEvent(event);
}

}  // namespace tessera
