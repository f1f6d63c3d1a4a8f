#include "app/opengl_app.h"

#include <QApplication>
#include <QSurfaceFormat>

#include "app/main_frame.h"
#include "app/qt_platform.h"
#include "model/opengl_doc.h"

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
  fmt.setDepthBufferSize(24);
  QSurfaceFormat::setDefaultFormat(fmt);
}

int COpenGLApp::run(const std::string& raw) {
  QtPlatform platform;
  COpenGLDoc doc(platform, platform);
  const LoadStatus status = doc.startUp(raw);
  if (status == LoadStatus::Fatal) return -1;
  if (!doc.viewFileToOpen.empty())
    platform.message("View parameter files cannot be read by this version.\n" + doc.viewFileToOpen,
                     MessageKind::Error);

  CMainFrame frame(doc, platform);
  frame.show();
  return QApplication::exec();
}

}  // namespace litho
