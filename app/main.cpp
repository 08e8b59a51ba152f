// tessera [--config FILE] [PATH]: the window program.
#include <QApplication>
#include <cstdio>

#include "core/app_window.h"

int main(int argc, char** argv) {
  QApplication qt_app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = tessera::ParseCommandLine(args, error);
  if (!options) {
    std::fprintf(stderr, "tessera: %s\nusage: tessera [--config FILE] [PATH]\n", error.c_str());
    return 2;
  }
  tessera::CTesseraApp app(std::move(*options));
  return app.Run();
}
