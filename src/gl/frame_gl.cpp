#include "gl/frame_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/scene/camera.h"
#include "gl/data_gl.h"
#include "gl/overlays_gl.h"

namespace litho {

void applyFixedState() {
  glClearColor(0, 0, 0, 0);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glShadeModel(GL_FLAT);
  const GLfloat white[4] = {1, 1, 1, 1};
  for (int i = 0; i < 5; ++i) {
    glLightfv(GL_LIGHT0 + i, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0 + i, GL_SPECULAR, white);
  }
  glEnable(GL_LIGHT0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat eye[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, eye);
  glDisable(GL_NORMALIZE);
}

void loadCamera(const ViewState& v) {
  const Mat4 p = projectionMatrix(v);
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(p.data());
  const Mat4 m = localModelViewMatrix(v);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixd(m.data());
}

void applyLighting(const ViewState& v, const CoreBox& b) {
  if (!v.lightingOn || v.showMesh) {
    glDisable(GL_LIGHTING);
    return;
  }
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
  const GLfloat ambient[4] = {0, 0, 0, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  const float h = 0.25f * static_cast<float>(b.x1 - b.x0) + static_cast<float>(b.z0);
  const double cx = v.sceneCentre[0], cy = v.sceneCentre[1], cz = v.sceneCentre[2];
  const double side[4][3] = {{b.x0 - h, cy, h}, {b.x1 + h, cy, h}, {cx, b.y1 + h, h}, {cx, b.y0 - h, h}};
  for (int i = 0; i < 4; ++i) {
    const GLenum light = GL_LIGHT1 + i;
    if (v.lightSwitches[i + 1]) {
      const GLfloat pos[4] = {static_cast<GLfloat>(side[i][0] - cx), static_cast<GLfloat>(side[i][1] - cy),
                              static_cast<GLfloat>(side[i][2] - cz), 1};
      glLightfv(light, GL_POSITION, pos);
      glEnable(light);
    } else {
      glDisable(light);
    }
  }
  if (v.lightSwitches[0])
    glEnable(GL_LIGHT0);
  else
    glDisable(GL_LIGHT0);
}

bool drawFrame(ViewState& v, const Document& doc, const ColourState& colours, const CellFacesOverlay& cellFaces,
               GlResources& gl) {
  if (!v.frame.redrawPending() && !v.frame.rebuildPending()) return false;
  glClearColor(v.backgroundColour[0] / 255.0f, v.backgroundColour[1] / 255.0f, v.backgroundColour[2] / 255.0f, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (doc.modelLoaded()) {
    const CoreBox box = coreBox(doc.mesh(), v);
    drawCutReadout(doc, v, gl.text());
    loadCamera(v);
    glPolygonMode(GL_FRONT_AND_BACK, v.showMesh ? GL_LINE : GL_FILL);
    if (v.normalizeNormals)
      glEnable(GL_NORMALIZE);
    else
      glDisable(GL_NORMALIZE);
    applyLighting(v, box);
    const auto& k = v.axisScale;
    if (k[0] < 0 || k[1] < 0 || k[2] < 0)
      glDisable(GL_CULL_FACE);
    else
      glEnable(GL_CULL_FACE);
    gl.scene().showCellEdges(v.showMesh);
    if (v.frame.rebuildPending() || !gl.scene().compiled()) {
      gl.scene().rebuild(doc, v, colours, &cellFaces);
      v.frame.rebuilt();
      v.vectorPassDeclined = false;  // a No holds for one vector pass
    } else if (!v.frame.patchPending().empty()) {
      gl.scene().patch(doc, v, colours, v.frame.patchPending(), &cellFaces);
      v.frame.patched();
    }
    // A zoomed-in model stops at the edge of its part of the window, short of the colourbar.
    const bool clipped = sceneWidthFraction(v) < 1;
    if (clipped) {
      const auto plane = sceneClipPlane(v);
      glMatrixMode(GL_MODELVIEW);
      glPushMatrix();
      glLoadIdentity();
      glClipPlane(GL_CLIP_PLANE0, plane.data());
      glPopMatrix();
      glEnable(GL_CLIP_PLANE0);
    }
    gl.scene().draw();
    drawDataLabels(gl.scene().geometry().data, v.sceneCentre, gl.nameText());
    if (v.showLabels) drawAxisLabels(doc, v, box, gl.text());
    glDisable(GL_CLIP_PLANE0);
    if (v.showColourbar)
      drawColourbar(v, colourbarSource(doc.dataSets(), doc.selectedDataSet(), doc.modified(), colours, &cellFaces),
                    gl.text());
    if (v.showCompass) drawCompass(v);
  }
  v.frame.drawn();
  glFinish();
  return true;
}

void setViewport(int width, int height) { glViewport(0, 0, width, height); }

float readDepth(int x, int y) {
  GLfloat depth = 1.0f;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  return depth;
}

void readFrame(int width, int height, unsigned char* rgba) { readPixels(0, 0, width, height, rgba); }

void readPixels(int x, int y, int width, int height, unsigned char* rgba) {
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

std::string rendererName() {
  const GLubyte* r = glGetString(GL_RENDERER);
  return r ? reinterpret_cast<const char*>(r) : std::string();
}

std::string glErrorString() {
  const GLenum e = glGetError();
  if (e == GL_NO_ERROR) return {};
  const GLubyte* s = gluErrorString(e);
  return s ? reinterpret_cast<const char*>(s) : "OpenGL error";
}

}  // namespace litho
