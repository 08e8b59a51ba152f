// tessera [--config FILE] [PATH]: the window program.
#include <QApplication>
#include <algorithm>
#include <cstdio>

#include "app/app_window.h"

int main(int argc, char** argv) {
  const auto parse = [](int count, char** values, std::string& error) {
    return tessera::ParseCommandLine(std::vector<std::string>(values + 1, values + count), error);
  };
  std::string error;
  // --help and --version answer without a display.
  if (std::any_of(argv + 1, argv + argc, [](const char* a) {
        return std::string(a) == "--help" || std::string(a) == "-h" ||
               std::string(a) == "--version";
      })) {
    if (auto options = parse(argc, argv, error); options && !options->print.empty()) {
      std::fputs(options->print.c_str(), stdout);
      return 0;
    }
  }
  // Qt takes its own options (-platform, -style, ...) out of the command line first.
  QApplication qt_app(argc, argv);
  auto options = parse(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "tessera: %s\n%s\n", error.c_str(), tessera::kUsage);
    return 2;
  }
  tessera::CTesseraApp app(std::move(*options));
  return app.Run();
}
