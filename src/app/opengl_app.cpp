#include "app/opengl_app.h"

#include <cstdlib>

#include <QApplication>
#include <QSurfaceFormat>

#include "app/main_frame.h"
#include "app/qt_platform.h"
#include "model/opengl_doc.h"
#include "platform/file_system.h"

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

int COpenGLApp::run(const std::string& raw) {
  QtPlatform platform;
  COpenGLDoc doc(platform, platform);
  const LoadStatus status = doc.startUp(raw);
  if (status == LoadStatus::Fatal) return -1;
  // The software driver unless the hardware one was chosen; Mesa reads this when
  // the first context is made, which is after the start-up.
  if (!doc.hardwareOpenGL) ::setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
  CMainFrame frame(doc, platform);
  // A view parameter file named on the command line fills the document and the view.
  if (!doc.viewFileToOpen.empty()) frame.loadViewFile(fullPath(doc.viewFileToOpen));
  frame.show();
  return QApplication::exec();
}

}  // namespace litho
