// The Qt file dialog, driven offscreen as a user would: pick a file type, type a name, accept.
#include "core/dialogs_qt.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include "core/qt_text_qt.h"
#include "formats/save_formats.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "test_files";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance()) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  new QApplication(argc, argv);
}

struct Pick {
  QString filter;  // empty: keep the preselected type
  QString typed;
};

std::optional<FileDialogAnswer> SaveWith(const FileDialogRequest& request, const Pick& pick) {
  EnsureApp();
  QtDialogService service;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      poll.stop();
      if (!pick.filter.isEmpty()) dialog->selectNameFilter(pick.filter);
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(pick.typed);
      static_cast<QDialog*>(dialog)->accept();
      return;
    }
  });
  poll.start();
  return service.SaveFile(request);
}

TEST(QtDialogService, TypedNameTakesTheChosenFileType) {
  testing::ScratchDir dir;
  FileDialogRequest save;
  save.title = u"Save Subtitle file";
  save.initial_folder = FromUtf8(dir.Dir().string());
  save.filters = SaveFilters();
  save.selected_filter = 2;  // SubRip
  save.default_extension = u".srt";
  FileDialogRequest any = save;
  any.filters = {{u"All files (*.*)", u"*"}};
  any.selected_filter = 0;
  any.default_extension = u"<<NOT SUPPORTED>>";
  struct Case {
    const FileDialogRequest& request;
    Pick pick;
    const char* path;
    int filter_index;
  } cases[] = {
      {save,
       {QStringLiteral("SubStation Alpha files (*.ssa)"), QStringLiteral("out")},
       "out.ssa",
       0},
      {save, {QStringLiteral("Flat ASCII files (*.txt)"), QStringLiteral("out")}, "out.txt", 3},
      {save, {QString(), QStringLiteral("out")}, "out.srt", 2},
      {save, {QStringLiteral("MicroDVD files (*.sub)"), QStringLiteral("mine.srt")}, "mine.srt", 1},
      {any, {QString(), QStringLiteral("plain")}, "plain", 0},
  };
  for (const Case& c : cases) {
    std::optional<FileDialogAnswer> answer = SaveWith(c.request, c.pick);
    ASSERT_TRUE(answer) << c.path;
    EXPECT_EQ(dir.Path(c.path).string(), ToUtf8(answer->path));
    EXPECT_EQ(c.filter_index, answer->filter_index) << c.path;
  }
}

}  // namespace
}  // namespace tessera
