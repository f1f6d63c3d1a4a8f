#include "gl/data_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gl2ps.h>

#include <algorithm>

namespace litho {

namespace {

constexpr std::size_t kChunk = 16384;  // triangles per vertex-array draw

struct Local {
  const std::array<double, 3>& o;
  void vertex(const std::array<double, 3>& p) const { glVertex3d(p[0] - o[0], p[1] - o[1], p[2] - o[2]); }
};

void colourMaterial(GLenum faces) {
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(faces, GL_AMBIENT_AND_DIFFUSE);
}

void drawSurface(const DataScene& s, const DataDraw& d, const Local& l, DataStaging& st) {
  glShadeModel(GL_SMOOTH);
  glDisable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  colourMaterial(GL_FRONT_AND_BACK);
  if (d.translucent) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl2psEnable(GL2PS_BLEND);
    gl2psBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
  }
  st.positions.resize(kChunk * 9);
  st.normals.resize(kChunk * 9);
  st.colours.resize(kChunk * 12);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, st.positions.data());
  glNormalPointer(GL_FLOAT, 0, st.normals.data());
  glColorPointer(4, GL_FLOAT, 0, st.colours.data());
  const std::uint32_t end = d.first + d.count;
  for (std::uint32_t first = d.first; first < end; first += kChunk) {
    const std::uint32_t n = std::min<std::uint32_t>(kChunk, end - first);
    float* p = st.positions.data();
    float* nn = st.normals.data();
    float* c = st.colours.data();
    for (std::uint32_t t = first; t < first + n; ++t) {
      const DataTriangle& tri = s.triangles[t];
      for (const std::uint32_t v : tri.vertex) {
        const auto& q = s.vertices[v];
        *p++ = static_cast<float>(q[0] - l.o[0]);
        *p++ = static_cast<float>(q[1] - l.o[1]);
        *p++ = static_cast<float>(q[2] - l.o[2]);
        nn = std::copy(tri.normal.begin(), tri.normal.end(), nn);
        c = std::copy(s.colours[v].begin(), s.colours[v].end(), c);
      }
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(n * 3));
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glShadeModel(GL_FLAT);
  glEnable(GL_CULL_FACE);
  glDisable(GL_BLEND);
  if (d.translucent) gl2psDisable(GL2PS_BLEND);
  glDepthMask(GL_TRUE);
  glDisable(GL_LIGHTING);
}

void drawLines(const DataScene& s, const DataDraw& d, const Local& l) {
  glDisable(GL_LIGHTING);
  glShadeModel(GL_SMOOTH);
  glLineWidth(d.size);
  gl2psLineWidth(d.size);
  for (std::uint32_t i = d.first; i < d.first + d.count; ++i) {
    const DataStrip& strip = s.strips[i];
    glBegin(GL_LINE_STRIP);
    for (std::uint32_t v = strip.firstVertex; v < strip.firstVertex + strip.vertexCount; ++v) {
      glColor4fv(s.colours[v].data());
      l.vertex(s.vertices[v]);
    }
    glEnd();
  }
  glLineWidth(1);
  gl2psLineWidth(1);
  glShadeModel(GL_FLAT);
}

void drawPoints(const DataScene& s, const DataDraw& d, const Local& l) {
  glDisable(GL_LIGHTING);
  glPointSize(d.size);
  gl2psPointSize(d.size);
  glBegin(GL_POINTS);
  for (std::uint32_t v = d.first; v < d.first + d.count; ++v) {
    glColor4fv(s.colours[v].data());
    l.vertex(s.vertices[v]);
  }
  glEnd();
  glPointSize(1);
  gl2psPointSize(1);
}

void drawSpheres(const DataScene& s, const DataDraw& d, const Local& l, GLUquadric* q) {
  glEnable(GL_LIGHTING);
  colourMaterial(GL_FRONT);
  gluQuadricNormals(q, GLU_SMOOTH);
  for (std::uint32_t v = d.first; v < d.first + d.count; ++v) {
    const auto& c = s.vertices[v];
    glColor4fv(s.colours[v].data());
    glPushMatrix();
    glTranslated(c[0] - l.o[0], c[1] - l.o[1], c[2] - l.o[2]);
    gluSphere(q, d.size, 10, 8);
    glPopMatrix();
  }
  glDisable(GL_LIGHTING);
}

void drawCylinders(const DataScene& s, const DataDraw& d, const Local& l, GLUquadric* q) {
  glEnable(GL_LIGHTING);
  colourMaterial(GL_FRONT);
  for (std::uint32_t i = d.first; i < d.first + d.count; ++i) {
    const DataCylinder& c = s.cylinders[i];
    glColor4fv(c.colour.data());
    glPushMatrix();
    glTranslated(c.start[0] - l.o[0], c.start[1] - l.o[1], c.start[2] - l.o[2]);
    glRotated(c.turn, 0, 0, 1);
    glRotated(c.tilt, 0, 1, 0);
    gluQuadricNormals(q, GLU_SMOOTH);
    gluCylinder(q, d.size, d.size, c.length, 24, 2);
    // The start disk faces into the cylinder, the end disk out of it.
    gluQuadricNormals(q, GLU_FLAT);
    gluDisk(q, 0, d.size, 24, 1);
    glTranslated(0, 0, c.length);
    gluDisk(q, 0, d.size, 24, 1);
    glPopMatrix();
  }
  glDisable(GL_LIGHTING);
}

}  // namespace

void drawDataScene(const DataScene& scene, const std::array<double, 3>& origin, DataStaging& staging) {
  if (scene.draws.empty()) return;
  const Local l{origin};
  // The frame's lighting, culling and material set-up hold again afterwards.
  glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT | GL_DEPTH_BUFFER_BIT |
               GL_COLOR_BUFFER_BIT | GL_POLYGON_BIT);
  GLUquadric* quadric = gluNewQuadric();
  for (const DataDraw& d : scene.draws) {
    switch (d.kind) {
      case DataDrawKind::Surface:
        drawSurface(scene, d, l, staging);
        break;
      case DataDrawKind::Lines:
        drawLines(scene, d, l);
        break;
      case DataDrawKind::Points:
        drawPoints(scene, d, l);
        break;
      case DataDrawKind::Spheres:
        drawSpheres(scene, d, l, quadric);
        break;
      case DataDrawKind::Cylinders:
        drawCylinders(scene, d, l, quadric);
        break;
    }
  }
  gluDeleteQuadric(quadric);
  glPopAttrib();
}

void drawDataLabels(const DataScene& scene, const std::array<double, 3>& o, TextRenderer& text) {
  if (scene.labels.empty()) return;
  glDisable(GL_DEPTH_TEST);
  for (const DataLabel& label : scene.labels) {
    glColor4fv(label.colour.data());
    text.drawText(label.position[0] - o[0], label.position[1] - o[1], label.position[2] - o[2], label.text);
  }
  glEnable(GL_DEPTH_TEST);
}

}  // namespace litho
