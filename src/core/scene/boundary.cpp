#include "core/scene/boundary.h"

#include <initializer_list>

#include "core/scene/camera.h"
#include "core/scene/overlays.h"

namespace litho {

namespace {

using Point = std::array<double, 3>;

class Emitter {
 public:
  explicit Emitter(SceneGeometry& out) : out_(out) {}
  void add(OverlayShape shape, float width, std::array<float, 4> colour, std::initializer_list<Point> points) {
    OverlayPrimitive p{shape, width, colour};
    p.firstVertex = static_cast<std::uint32_t>(out_.overlayVertices.size());
    p.vertexCount = static_cast<std::uint32_t>(points.size());
    out_.overlayVertices.insert(out_.overlayVertices.end(), points);
    out_.overlays.push_back(p);
  }

 private:
  SceneGeometry& out_;
};

}  // namespace

void emitBoundary(const RectMesh& mesh, const ViewState& v, bool withFloor, SceneGeometry& out) {
  const CoreBox b = coreBox(mesh, v);
  const auto first = static_cast<std::uint32_t>(out.overlays.size());
  Emitter e(out);
  if (withFloor) {
    const double w = (b.x1 - b.x0) / 3;
    auto quad = [&](double xa, double xb, std::array<float, 4> colour) {
      e.add(OverlayShape::Quads, 1, colour, {{xa, b.y0, b.z1}, {xb, b.y0, b.z1}, {xb, b.y1, b.z1}, {xa, b.y1, b.z1}});
    };
    quad(b.x0, b.x0 + w, {0, 0.2f, 0.2f, 1});
    quad(b.x0 + 2 * w, b.x1, {0, 0.2f, 0.2f, 1});
    quad(b.x0 + w, b.x0 + 2 * w, {0.05f, 0.05f, 0.15f, 1});
  }
  // P0..P3 on top, P4..P7 at the bottom.
  const Point P[8] = {{b.x0, b.y0, b.z0}, {b.x1, b.y0, b.z0}, {b.x1, b.y1, b.z0}, {b.x0, b.y1, b.z0},
                      {b.x0, b.y0, b.z1}, {b.x0, b.y1, b.z1}, {b.x1, b.y1, b.z1}, {b.x1, b.y0, b.z1}};
  const std::array<float, 4> light{0.7f, 0.7f, 0.7f, 1}, edge{0.5f, 0.5f, 0.5f, 1}, cut{0.2f, 0.2f, 0.5f, 1};
  e.add(OverlayShape::LineStrip, 3, {0.1f, 0.2f, 0.3f, 1}, {P[5], P[4], P[7], P[6]});
  e.add(OverlayShape::Lines, 3, light, {P[6], P[5]});
  e.add(OverlayShape::LineLoop, 1, light, {P[0], P[1], P[2], P[3]});
  e.add(OverlayShape::Lines, 1, edge, {P[4], P[0], P[7], P[1], P[5], P[3], P[6], P[2]});

  const CutPositions c = cutPositions(mesh, v);
  const auto& n = v.cuts;
  if (n[kSideTop] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{b.x0, b.y0, c.zT}, {b.x1, b.y0, c.zT}, {b.x1, b.y1, c.zT}, {b.x0, b.y1, c.zT}});
  if (n[kSideBottom] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{b.x0, b.y0, c.zB}, {b.x1, b.y0, c.zB}, {b.x1, b.y1, c.zB}, {b.x0, b.y1, c.zB}});
  if (n[kSideSouth] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{b.x0, c.yS, b.z0}, {b.x1, c.yS, b.z0}, {b.x1, c.yS, b.z1}, {b.x0, c.yS, b.z1}});
  if (n[kSideNorth] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{b.x0, c.yN, b.z0}, {b.x1, c.yN, b.z0}, {b.x1, c.yN, b.z1}, {b.x0, c.yN, b.z1}});
  if (n[kSideWest] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{c.xW, b.y0, b.z0}, {c.xW, b.y1, b.z0}, {c.xW, b.y1, b.z1}, {c.xW, b.y0, b.z1}});
  if (n[kSideEast] > 0)
    e.add(OverlayShape::LineLoop, 1, cut,
          {{c.xE, b.y0, b.z0}, {c.xE, b.y1, b.z0}, {c.xE, b.y1, b.z1}, {c.xE, b.y0, b.z1}});
  if (v.diagonalCutOn) {
    const auto& d = v.diagonalLine;
    e.add(OverlayShape::Lines, 1, {0.7f, 0.4f, 0, 1}, {{d[0], d[1], b.z0}, {d[2], d[3], b.z0}});
  }
  out.ops.push_back({SceneOpKind::OverlayOffsetOn});
  out.ops.push_back({SceneOpKind::Overlays, first, static_cast<std::uint32_t>(out.overlays.size())});
  out.ops.push_back({SceneOpKind::PolygonOffsetOff});
}

}  // namespace litho
