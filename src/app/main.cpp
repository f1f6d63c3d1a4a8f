#include <QApplication>
#include <clocale>

#include "app/application.h"
#include "core/load/command_line.h"

int main(int argc, char** argv) {
  litho::setDefaultSurfaceFormat();
  QApplication app(argc, argv);
  // Qt takes the locale from the environment; numbers in files and fields use '.'.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName("Lithoscan3D");
  std::vector<std::string> args;
  const QStringList list = QApplication::arguments();
  for (qsizetype i = 1; i < list.size(); ++i) args.push_back(list[i].toStdString());
  return litho::Application().run(litho::rawCommandLine(args));
}
