#include <QApplication>
#include <QIcon>
#include <clocale>
#include <string>
#include <vector>

#include "app/application.h"

int main(int argc, char** argv) {
  litho::setDefaultSurfaceFormat();
  // Takes Qt's own options (-platform ...) out of argv.
  QApplication app(argc, argv);
  // Qt takes the locale from the environment; numbers in files and fields use '.'.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Lithoscan3D");
  QApplication::setWindowIcon(QIcon(":/icons/lithoscan3d.png"));
  // Lets the desktop match the window to its entry and icon.
  QGuiApplication::setDesktopFileName("lithoscan3d");
  // The bytes as given: a file name need not be valid UTF-8.
  const std::vector<std::string> args(argv + 1, argv + argc);
  return litho::Application().run(args);
}
