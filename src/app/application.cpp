#include "app/application.h"

#include <cstdlib>

#include <QApplication>
#include <QSurfaceFormat>

#include "app/dialogs/title_fit.h"
#include "app/main_window.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/io/file_system.h"

namespace litho {

void setDefaultSurfaceFormat() {
  QSurfaceFormat fmt;
  fmt.setRenderableType(QSurfaceFormat::OpenGL);
  fmt.setProfile(QSurfaceFormat::CompatibilityProfile);
  fmt.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  fmt.setRedBufferSize(8);
  fmt.setGreenBufferSize(8);
  fmt.setBlueBufferSize(8);
  fmt.setAlphaBufferSize(8);
  fmt.setDepthBufferSize(32);
  QSurfaceFormat::setDefaultFormat(fmt);
}

int Application::run(const std::vector<std::string>& args) {
  DialogTitleFit titleFit;
  QApplication::instance()->installEventFilter(&titleFit);
  QtPlatform platform;
  Document doc(platform, platform);
  const LoadStatus status = doc.startUp(args);
  if (status == LoadStatus::Fatal) return -1;
  // The software driver unless the hardware one was chosen; Mesa reads this when
  // the first context is made, which is after the start-up.
  if (!doc.hardwareOpenGL()) ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  MainWindow frame(doc, platform);
  // A view parameter file named on the command line fills the document and the view.
  if (!doc.viewFileToOpen.empty()) frame.loadViewFile(fullPath(doc.viewFileToOpen));
  frame.show();
  return QApplication::exec();
}

}  // namespace litho
