#include "core/scene/data_scene.h"

#include <cmath>
#include <numbers>

namespace litho {

namespace {

bool samePlace(const DataPoint& a, const DataPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

std::uint32_t size32(std::size_t n) { return static_cast<std::uint32_t>(n); }

void addVertices(const DataSet& set, float alpha, DataScene& out) {
  for (const DataPoint& p : set.points) {
    out.vertices.push_back({p.x, p.y, p.z});
    out.colours.push_back(dataPointColour(set, p.value, alpha));
  }
}

void addSurface(const DataSet& set, DataScene& out) {
  const float opacity = set.plottingValue;
  const PlanarTriangulation& t = set.surface;
  if (opacity == 0 || !t.triangulated() || t.nodeCount() != static_cast<int>(set.points.size())) return;
  const std::uint32_t base = size32(out.vertices.size());
  addVertices(set, opacity, out);
  DataDraw d{DataDrawKind::Surface, opacity, opacity < 1, size32(out.triangles.size()), 0};
  t.forEachTriangle([&](int a, int b, int c) {
    const DataPoint& pa = set.points[static_cast<std::size_t>(a - 1)];
    const DataPoint& pb = set.points[static_cast<std::size_t>(b - 1)];
    const DataPoint& pc = set.points[static_cast<std::size_t>(c - 1)];
    const double u[3] = {pb.x - pa.x, pb.y - pa.y, pb.z - pa.z};
    const double v[3] = {pc.x - pa.x, pc.y - pa.y, pc.z - pa.z};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > 0)
      for (double& c3 : n) c3 /= length;
    out.triangles.push_back({{base + static_cast<std::uint32_t>(a - 1), base + static_cast<std::uint32_t>(b - 1),
                              base + static_cast<std::uint32_t>(c - 1)},
                             {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])}});
  });
  d.count = size32(out.triangles.size()) - d.first;
  out.draws.push_back(d);
}

// A point that repeats the one before it ends the strip; the next strip
// starts after it.
void addLines(const DataSet& set, DataScene& out) {
  DataDraw d{DataDrawKind::Lines, set.plottingValue, false, size32(out.strips.size()), 0};
  DataStrip strip{size32(out.vertices.size()), 0};
  auto close = [&] {
    if (strip.vertexCount >= 2) out.strips.push_back(strip);
    strip = {size32(out.vertices.size()), 0};
  };
  const auto& p = set.points;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i > 0 && samePlace(p[i], p[i - 1])) {
      close();
      continue;
    }
    out.vertices.push_back({p[i].x, p[i].y, p[i].z});
    out.colours.push_back(dataPointColour(set, p[i].value));
    ++strip.vertexCount;
  }
  close();
  d.count = size32(out.strips.size()) - d.first;
  if (d.count > 0) out.draws.push_back(d);
}

void addPointLike(const DataSet& set, DataDrawKind kind, DataScene& out) {
  DataDraw d{kind, set.plottingValue, false, size32(out.vertices.size()), size32(set.points.size())};
  addVertices(set, 1, out);
  if (d.count > 0) out.draws.push_back(d);
}

// One cylinder per pair of differing consecutive points, in the first
// point's colour; a repeated point also skips the pair after it, so it
// separates polylines as in "lines".
void addCylinders(const DataSet& set, DataScene& out) {
  DataDraw d{DataDrawKind::Cylinders, set.plottingValue, false, size32(out.cylinders.size()), 0};
  const auto& p = set.points;
  constexpr double kDegrees = 180 / std::numbers::pi;
  for (std::size_t i = 0; i + 1 < p.size();) {
    if (samePlace(p[i], p[i + 1])) {
      i += 2;
      continue;
    }
    const double dx = p[i + 1].x - p[i].x, dy = p[i + 1].y - p[i].y, dz = p[i + 1].z - p[i].z;
    const double across = std::sqrt(dx * dx + dy * dy);
    out.cylinders.push_back({{p[i].x, p[i].y, p[i].z},
                             std::sqrt(dx * dx + dy * dy + dz * dz),
                             std::atan2(dy, dx) * kDegrees,
                             std::atan2(across, dz) * kDegrees,
                             dataPointColour(set, p[i].value)});
    ++i;
  }
  d.count = size32(out.cylinders.size()) - d.first;
  if (d.count > 0) out.draws.push_back(d);
}

void addLabels(const DataSet& set, DataScene& out) {
  const Rgba colour{set.colour[0], set.colour[1], set.colour[2], 1};
  for (const DataPoint& p : set.points)
    if (!p.name.empty()) out.labels.push_back({{p.x, p.y, p.z}, colour, p.name});
}

}  // namespace

void DataScene::clear() {
  draws.clear();
  vertices.clear();
  colours.clear();
  triangles.clear();
  strips.clear();
  cylinders.clear();
  labels.clear();
}

void buildDataScene(const std::vector<DataSet>& sets, DataScene& out) {
  for (const DataSet& set : sets) {
    if (!set.displayed) continue;
    switch (set.plottingMethod) {
      case kPlotSurface:
        addSurface(set, out);
        break;
      case kPlotLines:
        addLines(set, out);
        addLabels(set, out);
        break;
      case kPlotPoints:
        addPointLike(set, DataDrawKind::Points, out);
        addLabels(set, out);
        break;
      case kPlotSpheres:
        addPointLike(set, DataDrawKind::Spheres, out);
        break;
      case kPlotCylinders:
        addCylinders(set, out);
        break;
      default:
        break;
    }
  }
}

}  // namespace litho
