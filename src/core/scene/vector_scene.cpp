#include "core/scene/vector_scene.h"

#include <algorithm>
#include <cmath>

#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "core/scene/scene.h"

namespace litho {

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;
}

bool ConesQuestion::due(const Document& doc, const ViewState& v) const {
  return !asked_ && v.frame.rebuildPending() && doc.modelLoaded() && doc.isVectorModel() && v.vectorsAsCones &&
         v.selectedCutPlane == kNoPlane && !v.vectorPassDeclined;
}

std::array<AxisWalk, 3> vectorWalk(const DrawBox& b, int plane, const std::array<int, 3>& increment) {
  std::array<AxisWalk, 3> w{AxisWalk{b.xs, b.xe, 1}, AxisWalk{b.ys, b.ye, 1}, AxisWalk{b.zs, b.ze, 1}};
  for (std::size_t a = 0; a < 3; ++a) w[a].step = std::max(1, increment[a]);
  if (b.empty()) return w;
  auto only = [](AxisWalk& axis, int index) {
    axis.first = index;
    axis.end = index + 1;
  };
  switch (plane) {
    case kWest: only(w[0], b.xs); break;
    case kEast: only(w[0], b.xe - 1); break;
    case kSouth: only(w[1], b.ys); break;
    case kNorth: only(w[1], b.ye - 1); break;
    case kTop: only(w[2], b.zs); break;
    case kBottom: only(w[2], b.ze - 1); break;
    default: break;
  }
  return w;
}

std::array<std::array<double, 3>, 3> linePoints(const VectorArrow& a) {
  const auto& c = a.centre;
  const auto& h = a.half;
  return {{{c[0] - h[0], c[1] - h[1], c[2] - h[2]},
           {c[0] + 0.6 * h[0], c[1] + 0.6 * h[1], c[2] + 0.6 * h[2]},
           {c[0] + h[0], c[1] + h[1], c[2] + h[2]}}};
}

std::array<float, 4> vectorHeadColour(bool darkBackground) {
  return darkBackground ? std::array<float, 4>{1, 1, 1, 1} : std::array<float, 4>{0, 0, 0, 1};
}

ConePlacement conePlacement(const VectorArrow& a, double length) {
  ConePlacement c;
  const auto& h = a.half;
  c.tail = {a.centre[0] - h[0], a.centre[1] - h[1], a.centre[2] - h[2]};
  // The stored third component is positive downward: s = -h[2].
  const double halfLength = length / 2, s = -h[2];
  c.azimuth = std::atan2(h[1], h[0]) * kDegreesPerRadian;
  // A component rounded a little beyond 1 would take the root of a negative number.
  c.tilt = std::atan2(std::sqrt(std::max(0.0, halfLength * halfLength - s * s)), -s) * kDegreesPerRadian;
  c.length = length;
  c.baseRadius = 0.2 * length;
  c.tipRadius = 0.2 * length / 6;
  return c;
}

void buildVectorScene(const Document& doc, const ViewState& v, const ColourScale& scale, const HiddenFlags& flags,
                      VectorScene& out) {
  out.cones = v.vectorsAsCones;
  out.length = v.vectorLength;
  out.headColour = vectorHeadColour(v.darkBackground);
  const DrawBox& b = flags.box();
  const ModelStore& store = doc.store();
  const int m = store.currentModelIndex();
  if (b.empty() || !store.isVector() || m >= store.modelCount()) return;
  const ModelSet& amplitude = doc.store().model(m);
  const ModelSet &vx = doc.store().vectorComponent(0, m), &vy = doc.store().vectorComponent(1, m), &vz = doc.store().vectorComponent(2, m);
  const RectMesh& mesh = doc.mesh();
  const double factor = colourFactor(scale), half = v.vectorLength / 2;
  const auto walk = vectorWalk(b, v.selectedCutPlane, v.vectorIncrement);
  for (int a = 0; a < walk[0].count(); ++a) {
    const int i = walk[0].at(a);
    for (int c = 0; c < walk[1].count(); ++c) {
      const int j = walk[1].at(c);
      const std::uint8_t* f = flags.column(i, j);
      for (int n = 0; n < walk[2].count(); ++n) {
        const int k = walk[2].at(n);
        if (f[k]) continue;
        const double x = vx(i, j, k), y = vy(i, j, k), z = vz(i, j, k);
        // A zero vector (no data, or a cell outside the core) has no direction to draw.
        if (x == 0 && y == 0 && z == 0) continue;
        VectorArrow arrow;
        arrow.centre = {(mesh.xNodes[i] + mesh.xNodes[i + 1]) / 2, (mesh.yNodes[j] + mesh.yNodes[j + 1]) / 2,
                        (mesh.zNodes[k] + mesh.zNodes[k + 1]) / 2};
        arrow.half = {x * half, y * half, -z * half};
        arrow.colour = static_cast<std::uint8_t>(colourIndex(amplitude(i, j, k), scale.min, factor));
        out.arrows.push_back(arrow);
      }
    }
  }
}

std::variant<VectorProperties, std::string> checkVectorProperties(bool cones, const std::string& length,
                                                                  const std::string& x, const std::string& y,
                                                                  const std::string& z) {
  VectorProperties p;
  p.cones = cones;
  const auto l = parseDoubleField(length);
  if (!l) return std::string(kEnterNumberMessage);
  if (!(*l > 0)) return std::string(kLengthMessage);
  p.length = *l;
  const std::array<const std::string*, 3> fields{&x, &y, &z};
  for (std::size_t a = 0; a < 3; ++a) {
    const auto n = parseIntField(*fields[a]);
    if (!n) return std::string(kEnterNumberMessage);
    if (*n < 1) return std::string(kIncrementMessage);
    p.increment[a] = *n;
  }
  return p;
}

VectorProperties vectorPropertiesOf(const ViewState& v) {
  return VectorProperties{v.vectorsAsCones, v.vectorLength, v.vectorIncrement};
}

void applyVectorProperties(ViewState& v, const VectorProperties& p) {
  v.vectorsAsCones = p.cones;
  v.vectorLength = p.length;
  v.vectorIncrement = p.increment;
  v.frame.rebuild();
}

}  // namespace litho
