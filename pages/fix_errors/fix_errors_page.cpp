#include "pages/fix_errors/fix_errors_page.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "check/check_controls.h"
#include "core/qt_text_qt.h"
#include "ui/log_panel.h"

namespace tessera {
namespace {

const OptionBinding<FixErrorsOptions>& Binding(const char* control) {
  return *FindOption(FixErrorsBindings(), control);
}

}  // namespace

PageLayout CCheckPage::Layout(CCheckPage* page, PageContext& ctx) {
  PageLayout l;
  l.title_id = 1301;
  l.description_id = 1302;
  l.buttons = {{
      {"fixNow", 1303, u"Fix Now", [&ctx] { return ctx.doc.Count() > 0; },
       [page] { return page->FixNow(); }, u"Fix Errors"},
      {"selectAll", 1304, u"Select All", {}, [page] { return page->SelectAll(1); }},
      {"selectNone", 1305, u"Select None", {}, [page] { return page->SelectAll(0); }},
      {"preset", 1306, u"Preset 1", [] { return false; }, [] { return unsigned(kRefreshNothing); }},
  }};
  l.log = true;
  return l;
}

CCheckPage::CCheckPage(PageContext& ctx, QWidget* parent, const std::filesystem::path& lists_path)
    : CSheetPage(ctx, Layout(this, ctx), parent), controls_(FixErrorsBindings(), this) {
  QWidget* options = BuildOptions();
  AddAboveList(options);
  // The options keep the height they need; the log takes the rest.
  KeepNaturalHeight(this, options);
  Log()->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  Log()->setMinimumHeight(4 * Log()->fontMetrics().height());
  LoadCheckLists(lists_path, lists_, ctx.doc.Log(), &ctx.lang);
  options_ = LoadFixErrorsOptions(ctx.store, ctx.app);
  SetControls();
  ApplyEnabling();
  ApplyTexts();
  Apply(kRefreshLog);
}

QGroupBox* CCheckPage::Group(const char16_t* title, QBoxLayout* column) {
  auto* group = new QGroupBox(ToQ(title));
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(8, 4, 8, 6);
  layout->setSpacing(1);
  column->addWidget(group);
  return group;
}

QHBoxLayout* CCheckPage::Line(QGroupBox* group, int indent) {
  auto* line = new QHBoxLayout;
  line->setContentsMargins(indent * 20, 0, 0, 0);
  line->setSpacing(4);
  static_cast<QVBoxLayout*>(group->layout())->addLayout(line);
  return line;
}

QCheckBox* CCheckPage::Check(QHBoxLayout* line, const char* control, const char16_t* english) {
  auto* box = new QCheckBox(ToQ(english));
  box->setObjectName(QString::fromLatin1(control));
  line->addWidget(box);
  texts_.push_back({box, Binding(control).caption_id, english});
  connect(box, &QCheckBox::clicked, this, [this] {
    ReadControls();
    ApplyEnabling();
  });
  EnabledBy(control, box);
  return box;
}

QRadioButton* CCheckPage::Radio(QHBoxLayout* line, const char* control, int index,
                                const char16_t* english) {
  auto* radio = new QRadioButton(ToQ(english));
  radio->setObjectName(QString::fromLatin1(control) + QString::number(index));
  line->addWidget(radio);
  texts_.push_back({radio, 0, english});
  connect(radio, &QRadioButton::clicked, this, [this] { ReadControls(); });
  EnabledBy(control, radio);
  return radio;
}

NumberField* CCheckPage::Field(QHBoxLayout* line, const char* control, NumberField::Kind kind) {
  auto* field = new NumberField(kind, ctx_.prompter);
  field->setObjectName(QString::fromLatin1(control));
  line->addWidget(field);
  EnabledBy(control, field);
  return field;
}

QLabel* CCheckPage::Text(QHBoxLayout* line, const char16_t* english, int id) {
  auto* label = new QLabel(ToQ(english));
  line->addWidget(label);
  texts_.push_back({label, id, english});
  return label;
}

SpinArrows* CCheckPage::Arrows(QHBoxLayout* line, const char* control,
                               int FixErrorsOptions::*field) {
  auto* arrows = new SpinArrows(QString::fromLatin1(control));
  line->addWidget(arrows);
  connect(arrows, &SpinArrows::Stepped, this, [this, field](bool up) { Step(field, up); });
  EnabledBy(control, arrows);
  return arrows;
}

QWidget* CCheckPage::BuildOptions() {
  using K = NumberField::Kind;
  auto* panel = new FlowPanel;
  auto* left = new QWidget;
  auto* right = new QWidget;
  auto* left_column = new QVBoxLayout(left);
  auto* right_column = new QVBoxLayout(right);
  for (QVBoxLayout* c : {left_column, right_column}) {
    c->setContentsMargins(0, 0, 0, 0);
    c->setSpacing(4);
  }

  QGroupBox* timing = Group(u"Timing", left_column);
  Check(Line(timing), "fixInvalidTimes", u"Fix Invalid times.");
  Check(Line(timing), "fixOverlap", u"Fix overlapping subtitles.");
  QHBoxLayout* line = Line(timing);
  Check(line, "fixTimeBetween", u"Fix (too) short time between subtitles.");
  Field(line, "minTimeBetween", K::kReal);
  Text(line, u"seconds minimum");
  line->addStretch(1);
  line = Line(timing);
  Check(line, "fixShortDuration", u"Fix (too) short duration.");
  Field(line, "minimumDuration", K::kReal);
  EnabledBy("minimumDuration", Text(line, u"seconds minimum."));
  line->addStretch(1);
  line = Line(timing, 1);
  Check(line, "smartDuration", u"dynamic.");
  Field(line, "secondsPerCharacter", K::kReal);
  EnabledBy("secondsPerCharacter", Text(line, u"seconds per character."));
  line->addStretch(1);
  Check(Line(timing), "removeEmpty", u"Remove empty subtitles.");
  Check(Line(timing), "removeDuplicates", u"Remove duplicates.");

  QGroupBox* warnings = Group(u"Warnings", left_column);
  struct Warning {
    const char *box, *field;
    const char16_t *label, *words;
  };
  for (const Warning& w : {Warning{"warnShortDuration", "warnShortDurationTime",
                                   u"Warn for extreme short duration.", u"smaller than"},
                           Warning{"warnLongDuration", "warnLongDurationTime",
                                   u"Warn for extreme long duration.", u"larger than"}}) {
    line = Line(warnings);
    Check(line, w.box, w.label);
    Text(line, w.words);
    Field(line, w.field, K::kReal);
    Text(line, u"seconds.");
    line->addStretch(1);
  }

  QGroupBox* length = Group(u"Line length", left_column);
  Check(Line(length), "joinLines", u"Join short lines.");
  Check(Line(length), "separateThirdLine", u"Separate 3-line subtitles.");
  Check(Line(length), "splitTooLong", u"Split too long subtitles.");
  Radio(Line(length, 1), "splitMethod", 0, u"dynamic (based on font size and screen width)");
  line = Line(length, 1);
  Radio(line, "splitMethod", 1, u"Fixed number of characters");
  Field(line, "fixedCount", K::kWhole);
  Arrows(line, "fixedCount", &FixErrorsOptions::max_number_characters);
  line->addStretch(1);
  left_column->addStretch(1);

  QGroupBox* text = Group(u"Text", right_column);
  Check(Line(text), "removeCredits", u"Remove credits.");
  Check(Line(text), "correctOcr", u"Correct OCR errors.");
  Check(Line(text), "removeFormatTags", u"Remove format Tags (eg. <i> </i>)");
  line = Line(text);
  Check(line, "removeLineSeparators", u"Remove Line separators ( ' | ' )");
  Check(line, "splitLineSeparators", u"split lines.");
  line->addStretch(1);
  Check(Line(text), "removeTrailingDashes", u"Remove trailing dashes on first line");
  Check(Line(text), "fixDashFormat", u"Fix trailing dash format.");
  line = Line(text, 1);
  EnabledBy("spacesAfterDash", Text(line, u"number of spaces after dash:", 1310));
  Field(line, "spacesAfterDash", K::kWhole);
  Arrows(line, "spacesAfterDash", &FixErrorsOptions::spaces_after_dash);
  line->addStretch(1);
  Check(Line(text), "fixCommas", u"Change ending commas to periods.");
  Check(Line(text), "addPoints", u"Add missing periods.");
  Check(Line(text), "exclamationMarks", u"Change exclamation marks into periods.");
  Check(Line(text), "fixNumbers", u"Fix incorrect notation of numbers. (e.g. 1 997)");
  Check(Line(text), "fixQuotes", u"Fix quotes:  `  ''  \"  to  '");
  Check(Line(text), "removeSpaces", u"Remove unnecessary spaces.");
  Check(Line(text), "addSpaces",
        u"Add missing spaces (after a comma or a period (except abbriviations ;-)");
  Check(Line(text), "fixTriplePeriods", u"Triple periods. ('...')");
  const char16_t* modes[] = {u"Add missing ... at the end of a line.",
                             u"Add missing ... at the end and the beginning of the next line.",
                             u"Remove ... at the beginning of a line.", u"Remove all."};
  for (int i = 0; i < 4; ++i) Radio(Line(text, 1), "triplePeriodsMode", i, modes[i]);
  right_column->addStretch(1);

  panel->AddItem(left);
  panel->AddItem(right);
  return panel;
}

void CCheckPage::ApplyEnabling() {
  for (const auto& [control, widget] : enabling_)
    widget->setEnabled(FixErrorsControlEnabled(options_, control));
}

void CCheckPage::ApplyTexts() {
  for (const Label& t : texts_) {
    const QString text = t.id ? Caption(t.id, ToQ(t.english)) : ToQ(t.english);
    if (auto* button = qobject_cast<QAbstractButton*>(t.widget))
      button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(t.widget))
      label->setText(text);
  }
}

void CCheckPage::Step(int FixErrorsOptions::*field, bool up) {
  ReadControls();
  bool beep = false;
  options_.*field = ArrowStep(options_.*field, up, beep);
  if (beep) ctx_.prompter.Beep();
  SetControls();
}

unsigned CCheckPage::SelectAll(int on) {
  ReadControls();
  SelectAllRepairs(options_, on);
  SetControls();
  ApplyEnabling();
  return kRefreshNothing;
}

unsigned CCheckPage::FixNow() {
  ReadControls();
  FixRunServices s;
  s.app = &ctx_.app;
  s.lists = &lists_;
  s.language = &ctx_.lang;
  s.measurer = &ctx_.measurer;
  s.prompter = &ctx_.prompter;
  s.progress = &ctx_.progress;
  // Filled again here too: an undo since the page became active changed the document.
  RunFixErrors(ctx_.doc, options_, s, table_, true);
  return kRefreshLog | kRefreshRowCount;
}

void CCheckPage::OnActivate() {
  for (const char* global : {"minimumDuration", "secondsPerCharacter"})
    ReadOption(ctx_.store, ctx_.app, Binding(global), options_);
  SetControls();
  ApplyEnabling();
  table_.FillFrom(ctx_.doc);
  CSheetPage::OnActivate();
  ApplyTexts();
}

void CCheckPage::OnDeactivate() {
  ReadControls();
  for (const OptionBinding<FixErrorsOptions>& b : FixErrorsBindings())
    if (b.source == OptionSource::kGlobal) WriteOption(ctx_.store, ctx_.app, b, options_);
  CSheetPage::OnDeactivate();
}

void CCheckPage::OnWindowClosing() {
  ReadControls();
  SaveFixErrorsOptions(ctx_.store, ctx_.app, options_);
}

}  // namespace tessera
