// quendelplot DATAFILE: a map of a data file's stations coloured by value.
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <sstream>

#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/platform/stream_platform.h"
#include "forward/quendelplot/data_map.h"

namespace {

// Reads the file and triangulates its stations; the messages of the readers when that fails.
std::optional<litho::DataSet> readData(const std::string& path, std::string& messages) {
  std::ostringstream text;
  litho::StreamPlatform platform(text, false);
  litho::DataSet set;
  set.path = path;
  const bool read = litho::readDataFile(set, platform);
  if (read && !litho::buildDataSurface(set, platform)) set.surface.clear();
  messages = text.str();
  if (!read) return std::nullopt;
  return set;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() != 2) {
    QMessageBox::critical(nullptr, "quendelplot", "usage: quendelplot DATAFILE");
    return 2;
  }
  const std::string path = args[1].toStdString();
  std::string messages;
  auto set = readData(path, messages);
  if (!set) {
    QMessageBox::critical(nullptr, "quendelplot",
                          QString::fromStdString(messages.empty() ? "Could not read " + path : messages));
    return 1;
  }
  QMainWindow window;
  window.setWindowTitle(QFileInfo(args[1]).fileName() + " - quendelplot");
  auto* map = new quendelplot::DataMap(std::move(*set), &window);
  window.setCentralWidget(map);
  QObject::connect(map, &quendelplot::DataMap::pointed, window.statusBar(), [&window](const QString& t) {
    window.statusBar()->showMessage(t);
  });
  QMenu* file = window.menuBar()->addMenu("&File");
  file->addAction("Save image ...", &window, [&window, map] {
    const QString name = QFileDialog::getSaveFileName(&window, "Save image", QString(), "Images (*.png *.jpg *.bmp)");
    if (name.isEmpty()) return;
    if (!map->grab().save(name)) QMessageBox::critical(&window, "quendelplot", "Could not save the image\n" + name);
  });
  file->addAction("E&xit", &window, &QWidget::close);
  window.statusBar()->showMessage(QString("%1 stations").arg(map->dataSet().points.size()));
  window.resize(900, 700);
  window.show();
  return app.exec();
}
