#include "core/dialogs_qt.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStringList>
#include <QVBoxLayout>
#include <algorithm>

#include <functional>

#include "core/file_filters.h"
#include "core/qt_text_qt.h"
#include "core/search_dialogs_qt.h"

namespace tessera {
namespace {

class FileDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;
  std::function<void()> before_accept;

 protected:
  void accept() override {
    if (before_accept) before_accept();
    QFileDialog::accept();
  }
};

}  // namespace

QString QtDialogService::NameFilter(const FileFilter& filter) {
  QString patterns = ToQ(filter.patterns);
  patterns.replace(QChar(';'), QChar(' '));
  QString description = ToQ(filter.description);
  // Qt reads the patterns from the last parentheses of the entry.
  if (description.endsWith(QStringLiteral("(") + patterns + QStringLiteral(")")))
    return description;
  return description + QStringLiteral(" (") + patterns + QStringLiteral(")");
}

std::optional<FileDialogAnswer> QtDialogService::Run(const FileDialogRequest& request, bool save) {
  FileDialog dialog(parent_.data(), ToQ(request.title), ToQ(request.initial_folder));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwrite_prompt);
  dialog.setOption(QFileDialog::ReadOnly, false);
  QStringList filters;
  for (const FileFilter& f : request.filters) filters << NameFilter(f);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.selected_filter >= 0 && request.selected_filter < filters.size())
      dialog.selectNameFilter(filters[request.selected_filter]);
  }
  // The file type selected when the user accepts decides the extension of a name typed without
  // one, before the dialog asks about overwriting.
  auto selected = [&] { return std::max<int>(0, filters.indexOf(dialog.selectedNameFilter())); };
  dialog.before_accept = [&] {
    dialog.setDefaultSuffix(ToQ(TypedNameExtension(request, selected())).mid(1));
  };
  dialog.before_accept();
  if (!request.initial_name.empty()) dialog.selectFile(ToQ(request.initial_name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  FileDialogAnswer answer;
  answer.path = FromQ(dialog.selectedFiles().first());
  answer.filter_index = selected();
  // A platform dialog may not add the suffix itself.
  if (save) answer.path = ChosenSavePath(request, answer);
  return answer;
}

std::optional<FileDialogAnswer> QtDialogService::OpenFile(const FileDialogRequest& request) {
  return Run(request, false);
}

std::optional<FileDialogAnswer> QtDialogService::SaveFile(const FileDialogRequest& request) {
  return Run(request, true);
}

std::optional<std::u16string> QtDialogService::BrowseFolder(const std::u16string& title,
                                                            const std::u16string& initial) {
  QString dir = QFileDialog::getExistingDirectory(parent_.data(), ToQ(title), ToQ(initial));
  if (dir.isEmpty()) return std::nullopt;
  return FromQ(dir);
}

namespace {

struct NamedColor {
  const char* name;
  int bgr;  // 0x00BBGGRR
};

// The sixteen colours a font dialog's colour box traditionally offers.
constexpr NamedColor kFontColors[] = {
    {"Black", 0x000000},  {"Maroon", 0x000080},  {"Green", 0x008000}, {"Olive", 0x008080},
    {"Navy", 0x800000},   {"Purple", 0x800080},  {"Teal", 0x808000},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0x0000FF},     {"Lime", 0x00FF00},  {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0xFFFF00},  {"White", 0xFFFFFF},
};

QColor FromBgr(int bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QIcon Swatch(int bgr) {
  QPixmap p(24, 12);
  p.fill(FromBgr(bgr));
  return QIcon(p);
}

}  // namespace

// Qt's font dialog has no colour, so it is shown inside a dialog of ours with a colour box.
std::optional<FontChoice> QtDialogService::ChooseFont(const FontChoice& initial) {
  QDialog dialog(parent_.data());
  dialog.setWindowTitle(QStringLiteral("Font"));
  QFont font(ToQ(initial.font.face));
  font.setPointSize(std::max(1, initial.font.point_size));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(initial.weight, 100, 900)));
  auto* fonts = new QFontDialog(font, &dialog);
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  // A face the machine lacks is shown as a substitute; OK without touching the font keeps it.
  bool font_touched = false;
  QObject::connect(fonts, &QFontDialog::currentFontChanged, &dialog,
                   [&font_touched] { font_touched = true; });
  auto* colors = new QComboBox(&dialog);
  colors->setObjectName(QStringLiteral("fontColor"));
  for (const NamedColor& c : kFontColors)
    colors->addItem(Swatch(c.bgr), QString::fromLatin1(c.name), c.bgr);
  int index = colors->findData(initial.color);
  if (index < 0) {
    colors->addItem(Swatch(initial.color), QStringLiteral("Custom"), initial.color);
    index = colors->count() - 1;
  }
  colors->setCurrentIndex(index);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* color_row = new QHBoxLayout;
  color_row->addWidget(new QLabel(QStringLiteral("Color:"), &dialog));
  color_row->addWidget(colors);
  color_row->addStretch(1);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(fonts);
  layout->addLayout(color_row);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  FontChoice result = initial;
  result.color = colors->currentData().toInt();
  if (!font_touched) return result;
  const QFont chosen = fonts->currentFont();
  result.font.face = FromQ(chosen.family());
  // Whole points: a size of 10.5 points is 10.
  const double points = chosen.pointSizeF();
  result.font.point_size = points >= 1 ? static_cast<int>(points) : initial.font.point_size;
  result.weight = static_cast<int>(chosen.weight());
  result.font.bold = result.weight >= QFont::Bold;
  return result;
}

std::optional<SearchDialogFields> QtDialogService::FindText(const SearchDialogFields& initial) {
  CSearchDialog dialog(initial, parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Fields();
}

std::optional<SearchDialogFields> QtDialogService::ReplaceText(const SearchDialogFields& initial,
                                                               ReplaceDialogClient& client) {
  CReplaceDialog dialog(initial, client, parent_.data());
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Fields();
}

}  // namespace tessera
