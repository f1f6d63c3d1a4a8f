#include "app/opengl_view.h"

#include <GL/gl.h>

#include <QOpenGLContext>

#include "model/opengl_doc.h"

namespace litho {

COpenGLView::COpenGLView(COpenGLDoc& doc, QWidget* parent) : QOpenGLWidget(parent), doc_(doc) {
  setObjectName("COpenGLView");
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(64, 64);
}

void COpenGLView::onUpdate(int) { update(); }

void COpenGLView::initializeGL() {
  if (!context() || !context()->isValid()) {
    if (glErrorText.empty()) glErrorText = "wglCreateContext failed";
    return;
  }
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glShadeModel(GL_FLAT);
}

void COpenGLView::resizeGL(int w, int h) { glViewport(0, 0, w, h); }

void COpenGLView::paintGL() {
  glClearColor(backgroundColour[0] / 255.0f, backgroundColour[1] / 255.0f, backgroundColour[2] / 255.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

}  // namespace litho
