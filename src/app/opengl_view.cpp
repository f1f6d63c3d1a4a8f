#include "app/opengl_view.h"

#include <GL/gl.h>

#include <QKeyEvent>
#include <QOpenGLContext>

#include "app/dialogs/dlg_colourmap.h"
#include "app/dialogs/dlg_lights.h"
#include "app/dialogs/dlg_scale_view.h"
#include "app/dialogs/dlg_view_angles.h"
#include "app/glyph_font.h"
#include "app/qt_platform.h"
#include "render/gl/overlays_gl.h"
#include "model/opengl_doc.h"
#include "render/gl/frame_gl.h"

namespace litho {

COpenGLView::COpenGLView(COpenGLDoc& doc, QtPlatform& platform, QWidget* parent)
    : QOpenGLWidget(parent), doc_(doc), platform_(platform), controller_(doc, platform) {
  setObjectName("COpenGLView");
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(64, 64);
  // A paint with nothing new presents the last frame again, so the framebuffer must keep it.
  setUpdateBehavior(QOpenGLWidget::PartialUpdate);
}

bool softwareRenderer(const char* renderer) {
  if (!renderer) return false;
  const std::string r = renderer;
  return r.find("llvmpipe") != std::string::npos || r.find("softpipe") != std::string::npos ||
         r.find("Software Rasterizer") != std::string::npos;
}

void COpenGLView::recordFailure(const std::string& text) {
  if (glErrorText == "No Error") glErrorText = text;
}

void COpenGLView::onUpdate(int hint) {
  controller_.refresh(hint);
  refreshWindow();
}

void COpenGLView::refreshWindow() {
  if (controller_.state.redrawNeeded || controller_.state.rebuildNeeded) update();
}

void COpenGLView::initializeGL() {
  if (!context() || !context()->isValid()) {
    recordFailure("wglCreateContext failed");
    return;
  }
  if (!doc_.hardwareOpenGL && !softwareRenderer(reinterpret_cast<const char*>(glGetString(GL_RENDERER))))
    platform_.message("The program is using hardware drivers.\n", MessageKind::Info);
  applyFixedState();
  initialised_ = true;
  controller_.state.redrawNeeded = true;
}

void COpenGLView::resizeGL(int w, int h) {
  // The framebuffer was recreated: whatever it held is gone.
  const qreal ratio = devicePixelRatioF();
  const int pw = static_cast<int>(w * ratio), ph = static_cast<int>(h * ratio);
  if (controller_.resize(pw, ph)) glViewport(0, 0, pw, ph);
  controller_.state.redrawNeeded = true;
}

void COpenGLView::paintGL() {
  if (!initialised_) return;
  if (!glyphsBuilt_ || !(glyphFont_ == controller_.state.viewFont)) {
    glyphFont_ = controller_.state.viewFont;
    buildGlyphLists(renderGlyphs(glyphFont_));
    glyphsBuilt_ = true;
  }
  const bool rebuilt = controller_.state.rebuildNeeded;
  drawFrame(controller_.state, doc_, controller_.colours, scene_);
  const auto& title = scene_.geometry().title;
  if (rebuilt && title && *title != doc_.title) {
    doc_.setTitle(*title);
    if (onTitleChanged) onTitleChanged();
  }
}

void COpenGLView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) platform_.spaceDown = true;
  QOpenGLWidget::keyPressEvent(event);
}

void COpenGLView::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) platform_.spaceDown = false;
  QOpenGLWidget::keyReleaseEvent(event);
}

void COpenGLView::onLights() {
  CDlgLights dlg(controller_.state.lightSwitches, this);
  if (dlg.exec() != QDialog::Accepted) return;
  controller_.setLights(dlg.values());
  refreshWindow();
}

void COpenGLView::onBackground() {
  if (auto c = platform_.chooseColour(controller_.state.backgroundColour)) {
    controller_.setBackground((*c)[0], (*c)[1], (*c)[2]);
    refreshWindow();
  }
}

void COpenGLView::onViewAngles() {
  const ViewState& s = controller_.state;
  CDlgViewAngles dlg(platform_, ViewAngles{s.rotationX, s.rotationZ, s.angleStep, s.zoomAngle}, this);
  if (dlg.exec() != QDialog::Accepted) return;
  const ViewAngles v = dlg.values();
  controller_.setViewAngles(v.x, v.z, v.step, v.zoom);
  refreshWindow();
}

void COpenGLView::onScaleView() {
  CDlgScaleView dlg(platform_, controller_.state.axisScale, this);
  if (dlg.exec() != QDialog::Accepted) return;
  controller_.setAxisScale(dlg.values());
  refreshWindow();
}

void COpenGLView::onColourmap() {
  const Colourmap& map = controller_.colours.colourmap;
  CDlgColourmap dlg(map.kind, map.reversed, this);
  if (dlg.exec() != QDialog::Accepted) return;
  controller_.chooseColourmap(dlg.kind(), dlg.reversed());
  refreshWindow();
}

void COpenGLView::onChooseFont() {
  if (auto f = platform_.chooseFont(controller_.state.viewFont)) {
    controller_.setFont(*f);
    refreshWindow();
  }
}

}  // namespace litho
