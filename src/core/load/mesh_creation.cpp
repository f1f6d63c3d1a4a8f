#include "core/load/mesh_creation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "core/io/atomic_file.h"
#include "core/io/field_parse.h"
#include "core/io/mesh_reader.h"
#include "core/io/model_writer.h"

namespace litho {

namespace {

// Nearest integer, halves away from zero, held below 2^62.
long long roundWide(double x) {
  const double r = std::trunc(x > 0 ? x + 0.5 : x - 0.5);
  constexpr double kCap = 4611686018427387904.0;
  if (!(r < kCap)) return static_cast<long long>(kCap);
  if (!(r > -kCap)) return -static_cast<long long>(kCap);
  return static_cast<long long>(r);
}

std::string repeat(long long count, const std::string& width) { return std::to_string(count) + "*" + width; }

}  // namespace

long long DerivedMesh::cellCount() const {
  long long p;
  if (__builtin_mul_overflow(nx, ny, &p) || __builtin_mul_overflow(p, nz, &p)) return LLONG_MAX;
  return p;
}

std::optional<std::string> checkMeshDesign(const MeshDesign& d) {
  for (const double v : {d.x0, d.y0, d.z0, d.dx, d.dy, d.lengthX, d.lengthY})
    if (!std::isfinite(v)) return std::string(kEnterNumberMessage);
  if (!(d.dx > 0) || !(d.dy > 0)) return std::string("dx and dy should be greater than 0.");
  if (!(d.lengthX > 0) || !(d.lengthY > 0)) return std::string("Lengths in X and Y should be greater than 0.");
  if (2 * d.dx > d.lengthX) return std::string("dx is too large.");
  if (2 * d.dy > d.lengthY) return std::string("dy is too large.");
  return std::nullopt;
}

DerivedMesh deriveMesh(const MeshDesign& d) {
  DerivedMesh m;
  const double l = std::max(d.lengthX, d.lengthY);
  m.dz = std::min(d.dx, d.dy) / 2;
  m.nx = roundWide(d.lengthX / d.dx);
  m.ny = roundWide(d.lengthY / d.dy);
  m.fineLayers = roundWide(0.25 * l / m.dz);
  m.nz = m.fineLayers + m.fineLayers / 2 + 3;
  m.bottom = l / 6;
  return m;
}

std::optional<std::string> meshSizeProblem(const DerivedMesh& m) {
  if (m.nx <= INT_MAX && m.ny <= INT_MAX && m.nz <= INT_MAX && m.cellCount() <= kMaxCells) return std::nullopt;
  char buf[200];
  std::snprintf(buf, sizeof buf, "The mesh would have %lld x %lld x %lld cells, more than the program can hold.",
                m.nx, m.ny, m.nz);
  return std::string(buf);
}

std::string designedMeshText(const MeshDesign& d, const DerivedMesh& m) {
  std::string s = std::to_string(m.nx) + " " + std::to_string(m.ny) + " " + std::to_string(m.nz) + "\n";
  s += formatMeshNumber(d.x0) + " " + formatMeshNumber(d.y0) + " " + formatMeshNumber(d.z0) + "\n";
  s += repeat(m.nx, formatMeshNumber(d.dx)) + "\n";
  s += repeat(m.ny, formatMeshNumber(d.dy)) + "\n";
  s += repeat(m.fineLayers, formatMeshNumber(m.dz)) + " " + repeat(m.fineLayers / 2, formatMeshNumber(2 * m.dz)) +
       " " + repeat(3, formatG(m.bottom)) + "\n";
  return s;
}

MeshDesign& keptMeshDesign() {
  static MeshDesign design;
  return design;
}

std::optional<std::string> createMeshSave(const MeshDesign& d, Platform& platform) {
  if (const auto problem = checkMeshDesign(d)) {
    platform.message(*problem, MessageKind::Plain);
    return std::nullopt;
  }
  const DerivedMesh m = deriveMesh(d);
  if (const auto problem = meshSizeProblem(m)) {
    platform.message(*problem, MessageKind::Plain);
    return std::nullopt;
  }
  if (m.cellCount() >= kLotOfCells && !platform.askYesNo("The mesh has a lot of cells.\nAre you sure?"))
    return std::nullopt;
  FileDialogRequest request;
  request.title = "Save mesh file";
  request.filter = "mesh file||";
  request.mustExist = false;
  request.promptOverwrite = true;
  const auto path = platform.saveFileName(request);
  if (!path || path->empty()) return std::nullopt;
  if (!writeFileAtomically(*path, designedMeshText(d, m), platform)) return std::nullopt;
  keptMeshDesign() = d;
  return path;
}

}  // namespace litho
