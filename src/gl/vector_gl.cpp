#include "gl/vector_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace litho {

namespace {

void drawLines(const VectorScene& vs, std::uint32_t begin, std::uint32_t end, const Colourmap& map,
               const std::array<double, 3>& o) {
  auto vertex = [&o](const std::array<double, 3>& p) {
    glVertex3f(static_cast<float>(p[0] - o[0]), static_cast<float>(p[1] - o[1]), static_cast<float>(p[2] - o[2]));
  };
  glDisable(GL_LIGHTING);
  glBegin(GL_LINES);
  for (std::uint32_t n = begin; n < end; ++n) {
    const VectorArrow& a = vs.arrows[n];
    const auto pts = linePoints(a);
    glColor4fv(map.entries[a.colour].data());
    vertex(pts[0]);
    vertex(pts[1]);
    glColor4fv(vs.headColour.data());
    vertex(pts[1]);
    vertex(pts[2]);
  }
  glEnd();
}

void drawCones(const VectorScene& vs, std::uint32_t begin, std::uint32_t end, const Colourmap& map,
               const std::array<double, 3>& o) {
  GLUquadric* sides = gluNewQuadric();
  GLUquadric* base = gluNewQuadric();
  if (!sides || !base) {
    if (sides) gluDeleteQuadric(sides);
    if (base) gluDeleteQuadric(base);
    return;
  }
  gluQuadricNormals(sides, GLU_FLAT);
  gluQuadricNormals(base, GLU_FLAT);
  gluQuadricOrientation(base, GLU_INSIDE);
  glMatrixMode(GL_MODELVIEW);
  for (std::uint32_t n = begin; n < end; ++n) {
    const VectorArrow& a = vs.arrows[n];
    const ConePlacement c = conePlacement(a, vs.length);
    glColor4fv(map.entries[a.colour].data());
    glPushMatrix();
    glTranslated(c.tail[0] - o[0], c.tail[1] - o[1], c.tail[2] - o[2]);
    glRotated(c.azimuth, 0, 0, 1);
    glRotated(c.tilt, 0, 1, 0);
    gluCylinder(sides, c.baseRadius, c.tipRadius, c.length, 12, 2);
    gluDisk(base, 0, c.baseRadius, 12, 1);
    glTranslated(0, 0, c.length);
    gluDisk(sides, 0, c.tipRadius, 12, 1);
    glPopMatrix();
  }
  gluDeleteQuadric(sides);
  gluDeleteQuadric(base);
}

}  // namespace

void drawVectors(const VectorScene& vectors, std::uint32_t begin, std::uint32_t end, const Colourmap& map,
                 const std::array<double, 3>& origin) {
  if (end > vectors.arrows.size()) end = static_cast<std::uint32_t>(vectors.arrows.size());
  if (begin >= end) return;
  if (vectors.cones)
    drawCones(vectors, begin, end, map, origin);
  else
    drawLines(vectors, begin, end, map, origin);
}

}  // namespace litho
