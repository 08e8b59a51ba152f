// tessera [--config FILE] [PATH]: the window program.
#include <QApplication>
#include <cstdio>

#include "core/app_window.h"
#include "core/hold_on_window.h"
#include "pages/files/dvd_export_qt.h"
#include "pages/files/files_page.h"

int main(int argc, char** argv) {
  QApplication qt_app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = tessera::ParseCommandLine(args, error);
  if (!options) {
    std::fprintf(stderr, "tessera: %s\nusage: tessera [--config FILE] [PATH]\n", error.c_str());
    return 2;
  }
  // The encoder export's progress window and child process outlive the window's pages.
  tessera::CHoldOnDialog export_progress;
  tessera::QtProcessRunner encoder;
  tessera::CTesseraApp app(std::move(*options));
  app.SetFilesPageFactory([&](tessera::PageContext& ctx, QWidget* parent) {
    return new tessera::CFilesPage(ctx, export_progress, encoder, parent);
  });
  return app.Run();
}
