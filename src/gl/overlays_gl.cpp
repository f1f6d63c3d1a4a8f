#include "gl/overlays_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "core/scene/camera.h"
#include "core/scene/overlays.h"

namespace litho {

namespace {

// Geometry is sent relative to the scene centre.
struct Local {
  const ViewState& v;
  void vertex(double x, double y, double z) const {
    glVertex3d(x - v.sceneCentre[0], y - v.sceneCentre[1], z - v.sceneCentre[2]);
  }
};

// Labels placed in the model that stay inside the scene's part of the window:
// one that would run past its right edge (into the colourbar's labels) is
// moved left by as much.
class LabelPlacer {
 public:
  LabelPlacer(const ViewState& v, TextRenderer& text) : v_(v), text_(text) {
    glGetDoublev(GL_MODELVIEW_MATRIX, model_);
    glGetDoublev(GL_PROJECTION_MATRIX, proj_);
    glGetIntegerv(GL_VIEWPORT, viewport_);
    right_ = viewport_[0] + viewport_[2] * sceneWidthFraction(v) - kGap;
  }
  void draw(const double (&p)[3], const std::string& s) {
    const double x = p[0] - v_.sceneCentre[0], y = p[1] - v_.sceneCentre[1], z = p[2] - v_.sceneCentre[2];
    glRasterPos3d(x, y, z);
    GLdouble wx, wy, wz;
    const double width = text_.textWidth(s);
    if (width > 0 && gluProject(x, y, z, model_, proj_, viewport_, &wx, &wy, &wz) == GL_TRUE && wx + width > right_)
      glBitmap(0, 0, 0, 0, static_cast<GLfloat>(right_ - (wx + width)), 0, nullptr);
    text_.drawText(s);
  }

 private:
  static constexpr double kGap = 4;  // pixels between a label and the edge
  const ViewState& v_;
  TextRenderer& text_;
  GLdouble model_[16], proj_[16];
  GLint viewport_[4];
  double right_;
};

void textColour(const ViewState& v) {
  if (v.darkBackground)
    glColor3f(1, 1, 1);
  else
    glColor3f(0, 0, 0);
}

}  // namespace

void drawCutReadout(const Document& doc, const ViewState& v, TextRenderer& text) {
  const std::string readout = cutReadoutText(doc.mesh(), v);
  if (readout.empty()) return;
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ZERO);
  glColor3f(0.6f, 0.7f, 1);
  text.drawText(-0.1, 0.9, -1, readout);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void drawColourbar(const ViewState& v, const ColourbarSource& source, TextRenderer& text) {
  if (v.showMesh) glPolygonMode(GL_FRONT, GL_FILL);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const ColourScale& s = source.scale;
  const auto& entries = source.colourmap->entries;
  glBegin(GL_QUADS);
  for (int i = 0; i <= 60; ++i) {
    glColor4fv(entries[static_cast<std::size_t>(colourbarEntry(i, s.conductivityView))].data());
    const double y0 = i / 61.0 - 0.5, y1 = (i + 1) / 61.0 - 0.5;
    glVertex2d(0.77, y0);
    glVertex2d(0.8, y0);
    glVertex2d(0.8, y1);
    glVertex2d(0.77, y1);
  }
  glEnd();
  textColour(v);
  const auto labels = colourbarLabels(s.min, s.max, s.conductivityView, s.linearLabels);
  for (int f = 0; f <= 6; ++f) {
    text.drawText(0.81, f / 6.0 - 0.5, 0, labels[static_cast<std::size_t>(f)]);
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
  if (v.showMesh) glPolygonMode(GL_FRONT, GL_LINE);
}

void drawCompass(const ViewState& v) {
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  glDisable(GL_DEPTH_TEST);
  const GLint side = std::min(vp[2], vp[3]) / 6;
  glViewport(vp[0], vp[1], side, side);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(10, 1, 1, 100);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(0, 0, -80);
  glRotated(v.rotationX, 1, 0, 0);
  glRotated(v.rotationZ, 0, 0, 1);
  glRotated(-90, 1, 0, 0);
  glEnable(GL_LIGHTING);
  GLUquadric* quad = gluNewQuadric();
  glTranslated(0, 0, -2);
  if (v.darkBackground)
    glColor3f(1, 0.65f, 0.65f);
  else
    glColor3f(0.4f, 0.05f, 0.05f);
  gluCylinder(quad, 1.1666666666666665, 0.14583333333333331, 7, 20, 4);
  glRotated(180, 1, 0, 0);
  if (v.darkBackground)
    glColor3f(1, 1, 1);
  else
    glColor3f(0.4f, 0.4f, 0.4f);
  gluCylinder(quad, 1.1666666666666665, 0, 3, 20, 2);
  glRotated(-180, 1, 0, 0);
  glTranslated(0, 0, 7);
  glColor3f(1, 0.3f, 0.3f);
  gluDisk(quad, 0, 0.14583333333333331, 20, 1);
  gluDeleteQuadric(quad);
  glDisable(GL_LIGHTING);
  glViewport(vp[0], vp[1], vp[2], vp[3]);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

void drawAxisLabels(const Document& doc, const ViewState& v, const CoreBox& b, TextRenderer& text) {
  const Local l{v};
  GLdouble model[16], proj[16];
  GLint vp[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, vp);
  const double cx = v.sceneCentre[0], cy = v.sceneCentre[1], cz = v.sceneCentre[2];
  const double centres[6][3] = {{cx, cy, b.z0}, {cx, cy, b.z1}, {b.x0, cy, cz},
                                {b.x1, cy, cz}, {cx, b.y0, cz}, {cx, b.y1, cz}};
  std::array<double, 6> depth{};
  for (int f = 0; f < 6; ++f) {
    GLdouble wx, wy, wz;
    gluProject(centres[f][0] - cx, centres[f][1] - cy, centres[f][2] - cz, model, proj, vp, &wx, &wy, &wz);
    depth[static_cast<std::size_t>(f)] = wz;
  }
  const int face = nearestFace(depth);
  const double s = v.labelScale * 0.2;
  const double dx = (b.x1 - b.x0) * 0.05 * s, dy = (b.y1 - b.y0) * 0.05 * s, dz = (b.z0 - b.z1) * 0.05 * s;
  const CutPositions c = cutPositions(doc.mesh(), v);
  const auto& k = v.axisScale;

  // axis 0 easting, 1 northing, 2 elevation. fixed[] gives the label's other two coordinates;
  // edges[] the two values of each of the other coordinates where tick marks sit.
  struct Axis {
    int axis;
    const char* title;  // nullptr: none
    double a, b2;       // label position in the other two coordinates (in axis order)
    double e1a, e1b, e2a, e2b;
    double offA, offB;  // label offsets used, for the tick reach
  };
  std::vector<Axis> axes;
  switch (face) {
    case kBoxTop:
    case kBoxBottom: {
      const double zl = face == kBoxTop ? c.zT + dz : c.zB - dz;
      axes.push_back({0, "South", b.y0 - dy, zl, b.y0, b.y1, c.zT, c.zB, dy, dz});
      axes.push_back({1, "West", b.x0 - dx, zl, b.x0, b.x1, c.zT, c.zB, dx, dz});
      break;
    }
    case kBoxWest:
      axes.push_back({1, "West", c.xW - dx, b.z1 - dz, c.xW, c.xE, b.z1, b.z0, dx, dz});
      axes.push_back({2, nullptr, c.xW - dx, b.y1 + dy, c.xW, c.xE, b.y1, b.y0, dx, dy});
      break;
    case kBoxEast:
      axes.push_back({1, "East", c.xE + dx, b.z1 - dz, c.xE, c.xW, b.z1, b.z0, dx, dz});
      axes.push_back({2, nullptr, c.xE + dx, b.y0 - dy, c.xE, c.xW, b.y0, b.y1, dx, dy});
      break;
    case kBoxSouth:
      axes.push_back({0, "South", c.yS - dy, b.z1 - dz, c.yS, c.yN, b.z1, b.z0, dy, dz});
      axes.push_back({2, nullptr, b.x0 - dx, c.yS - dy, b.x0, b.x1, c.yS, c.yN, dx, dy});
      break;
    default:
      axes.push_back({0, "North", c.yN + dy, b.z1 - dz, c.yN, c.yS, b.z1, b.z0, dy, dz});
      axes.push_back({2, nullptr, b.x1 + dx, c.yN + dy, b.x1, b.x0, c.yN, c.yS, dx, dy});
      break;
  }
  const double lo[3] = {b.x0, b.y0, b.z0}, hi[3] = {b.x1, b.y1, b.z1};
  textColour(v);
  LabelPlacer labels(v, text);
  for (const Axis& ax : axes) {
    const int u = ax.axis == 0 ? 1 : 0, w = ax.axis == 2 ? 1 : 2;  // the two other coordinates
    const double span = std::fabs(hi[ax.axis] - lo[ax.axis]);
    auto point = [&](double along, double pu, double pw, double out[3]) {
      out[ax.axis] = along;
      out[u] = pu;
      out[w] = pw;
    };
    // Labels with the depth test off.
    glDisable(GL_DEPTH_TEST);
    for (int i = 0; i <= 4; ++i) {
      const double t = lo[ax.axis] + i * (hi[ax.axis] - lo[ax.axis]) / 4;
      double p[3];
      point(t, ax.a, ax.b2, p);
      labels.draw(p, tickLabel(t, span));
    }
    if (ax.title) {
      const double step = (hi[ax.axis] - lo[ax.axis]) / 4;
      const double mid = (lo[ax.axis] + hi[ax.axis]) / 2 - step / 2;
      const double edgeA = ax.e1a, edgeB = ax.e2a;
      double p[3];
      point(mid, edgeA + 2 * (ax.a - edgeA), ax.b2, p);
      (void)edgeB;
      labels.draw(p, ax.title);
    }
    glEnable(GL_DEPTH_TEST);
    // Tick marks: short slanted segments in the plane across the axis.
    const double m = 0.1 * std::max(ax.offA, ax.offB) / s;
    const double ru = m / k[static_cast<std::size_t>(u)], rw = m / k[static_cast<std::size_t>(w)];
    glBegin(GL_LINES);
    for (int i = 0; i <= 4; ++i) {
      const double t = lo[ax.axis] + i * (hi[ax.axis] - lo[ax.axis]) / 4;
      for (const double eu : {ax.e1a, ax.e1b})
        for (const double ew : {ax.e2a, ax.e2b}) {
          double p0[3], p1[3];
          point(t, eu - ru, ew - rw, p0);
          point(t, eu + ru, ew + rw, p1);
          l.vertex(p0[0], p0[1], p0[2]);
          l.vertex(p1[0], p1[1], p1[2]);
        }
    }
    glEnd();
  }
}

}  // namespace litho
