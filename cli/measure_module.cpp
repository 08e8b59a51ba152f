// The Qt text measurer as a module of its own, loaded by the commands that measure text: every
// other command runs without starting, or even loading, Qt.
#include <QGuiApplication>
#include <cstdlib>

#include "check/text_measurer_qt.h"

extern "C" __attribute__((visibility("default"))) tessera::TextMeasurer*
TesseraCreateTextMeasurer() {
  // Text measuring needs Qt's font machinery but never a display.
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "tessera-cli";
  static char* argv[] = {name, nullptr};
  // Kept until the process ends: the measurer's fonts need the application.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
  static tessera::QtTextMeasurer measurer;
  return &measurer;
}
