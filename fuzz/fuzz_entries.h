#pragma once
// What each fuzz target does with one input; shared with the test that
// replays the seed corpora.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/faces/cell_faces.h"
#include "core/faces/faces_reader.h"
#include "core/io/element_file.h"
#include "core/io/mesh_reader.h"
#include "core/io/model_reader.h"
#include "core/io/octree.h"
#include "core/io/scanf_number.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/scene/data_scene.h"
#include "core/scene/scene.h"
#include "core/topography/topography.h"
#include "core/topography/topography_reader.h"
#include "core/view/clipboard_view.h"
#include "core/view/mouse.h"
#include "core/view/view_controller.h"
#include "core/view/view_parameters.h"

namespace litho::fuzz {

inline void meshReader(const std::uint8_t* data, std::size_t size) {
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  RectMesh mesh;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Small limits keep the fuzzer inside its memory budget; the limit checks still run.
  MeshLimits limits;
  limits.maxCells = 1000000;
  limits.maxBytes = 64ULL << 20;
  if (readMeshText(text, "fuzz.msh", mesh, platform, limits)) {
    if (mesh.xNodes.size() != static_cast<std::size_t>(mesh.nx) + 1 ||
        mesh.yNodes.size() != static_cast<std::size_t>(mesh.ny) + 1 ||
        mesh.zNodes.size() != static_cast<std::size_t>(mesh.nz) + 1)
      __builtin_trap();
  } else if (!mesh.empty()) {
    __builtin_trap();
  }
}

// Each line of text through the number scanners and through sscanf: the
// same decision, the same consumed length, the same bits.
inline void numberScanners(const std::string& text) {
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t nl = text.find('\n', p);
    if (nl == std::string::npos) nl = text.size();
    const std::string line = text.substr(p, nl - p);
    p = nl + 1;
    const char* b = line.c_str();
    const char* e = b + std::strlen(b);  // sscanf stops at a NUL
    float f = 0, g = 0;
    double d = 0, h = 0;
    int nf = -1, nd = -1;
    const bool okF = std::sscanf(b, "%g%n", &f, &nf) == 1;
    const bool okD = std::sscanf(b, "%lg%n", &d, &nd) == 1;
    std::string padded = line.substr(0, static_cast<std::size_t>(e - b)) + '\n' + std::string(64, '7');
    const char* fast = scanFloatFast(padded.data(), padded.data() + (e - b), padded.data() + padded.size(), g);
    float k = 0;
    const char* plain = scanFloat(b, e, k);
    const char* dbl = scanDouble(b, e, h);
    if (okF != (fast != nullptr) || okF != (plain != nullptr) || okD != (dbl != nullptr)) __builtin_trap();
    if (okF && (fast - padded.data() != nf || std::memcmp(&f, &g, 4) != 0)) __builtin_trap();
    if (okF && (plain - b != nf || std::memcmp(&f, &k, 4) != 0)) __builtin_trap();
    if (okD && (dbl - b != nd || std::memcmp(&d, &h, 8) != 0)) __builtin_trap();
    float x, y, z;
    const int n3 = std::sscanf(b, "%g %g %g", &x, &y, &z);
    if (countLeadingNumbers(b, e) != (n3 < 0 ? 0 : n3)) __builtin_trap();
  }
}

// The first byte chooses: bit 0 log, bit 1 tq5rMode, bit 2 two threads, bit 3
// read the rest as an element file, bit 4 compare the number scanners with
// sscanf line by line. Otherwise the rest is a model file for a 3 x 2 x 4
// mesh, read as the document reads one.
inline void modelReader(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const unsigned flags = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (flags & 16) {
    numberScanners(text);
    return;
  }
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  constexpr int nx = 3, ny = 2, nz = 4;
  if (flags & 8) {
    if (const auto e = readElementFile(text, "fuzz.den_loc", nx, ny, nz, platform))
      for (const Element& el : *e)
        if (el.xIndex < 0 || el.xIndex >= nx || el.zSize < 1) __builtin_trap();
    return;
  }
  LineSource in(text);
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const auto header = parseModelFileHeader(first, nx, ny, nz, "fuzz.den", platform);
  if (!header) return;
  std::string dataLine = first;
  if (header->present) dataLine = in.nextLine(line) ? std::string(line) : std::string();
  const bool vector = countLeadingNumbers(dataLine.data(), dataLine.data() + dataLine.size()) == 3;
  in.rewind();
  if (header->present) in.nextLine(line);

  ModelReadSettings s;
  s.nx = nx;
  s.ny = ny;
  s.nz = nz;
  s.modelCount = header->modelCount;
  s.coreOffsets = header->coreOffsets;
  s.offsetsValid = header->offsetsValid;
  s.log = flags & 1;
  s.tq5rMode = flags & 2;
  s.threads = flags & 4 ? 2 : 1;
  if (in.remainingBytes() < minimumModelBytes(s)) return;

  // Every cell must be written: start from a NaN no reader produces.
  constexpr std::uint32_t kUnwritten = 0x7fc0dead;
  float unwritten;
  std::memcpy(&unwritten, &kUnwritten, 4);
  const auto sets = [&] {
    std::vector<ModelSet> v(static_cast<std::size_t>(s.modelCount));
    for (auto& m : v) {
      m.allocate(nx, ny, nz);
      std::fill(m.data(), m.data() + m.size(), unwritten);
    }
    return v;
  };
  const auto allWritten = [&](const std::vector<ModelSet>& v) {
    for (const auto& m : v)
      for (std::size_t c = 0; c < m.size(); ++c)
        if (std::memcmp(&m.data()[c], &kUnwritten, 4) == 0) return false;
    return true;
  };
  std::vector<ModelSet> a = sets();
  if (!vector) {
    ScalarRange r;
    if (!readModelFile(in, "fuzz.den", s, a.data(), r, platform, platform)) return;
    if (!allWritten(a)) __builtin_trap();
    if (!(r.smallest <= r.secondSmallest) || std::isnan(r.largest)) __builtin_trap();
    if (r.largest != -kNoDataValue && !(r.smallest <= r.largest)) __builtin_trap();
    return;
  }
  std::vector<ModelSet> x = sets(), y = sets(), z = sets();
  VectorRange r;
  if (!readVectorFile(in, "fuzz.vec", s, a.data(), x.data(), y.data(), z.data(), r, platform, platform)) return;
  if (!allWritten(a) || !allWritten(x) || !allWritten(y) || !allWritten(z)) __builtin_trap();
  for (int m = 0; m < s.modelCount; ++m)
    for (std::size_t c = 0; c < a[0].size(); ++c) {
      const double ux = x[m].data()[c], uy = y[m].data()[c], uz = z[m].data()[c];
      const double n = ux * ux + uy * uy + uz * uz;
      if (std::isfinite(n) && n != 0 && std::fabs(n - 1) > 1e-5) __builtin_trap();
    }
}

// The first byte chooses: bit 0 log. The rest is an octree mesh file,
// optionally followed by a line "--" and an octree model file for it.
inline void octreeReader(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const bool log = data[0] & 1;
  const std::string all(reinterpret_cast<const char*>(data) + 1, size - 1);
  const auto split = all.find("\n--\n");
  const std::string meshText = all.substr(0, split);
  const std::string modelText = split == std::string::npos ? std::string() : all.substr(split + 4);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  MeshLimits limits;
  limits.maxCells = 100000;
  limits.maxBytes = 16ULL << 20;
  LineSource in(meshText);
  OctreeMesh o;
  if (!readOctreeMesh(in, "fuzz.oct", o, platform, platform, limits)) {
    if (!o.cells.empty()) __builtin_trap();
    return;
  }
  if (o.cells.empty() || o.nx < 1 || o.ny < 1 || o.nz < 1 || o.cells.size() > meshText.size()) __builtin_trap();
  const RectMesh mesh = octreeRectMesh(o);
  if (!(mesh.xNodes.back() > mesh.xNodes.front()) || !(mesh.zNodes.back() < mesh.zNodes.front())) __builtin_trap();
  ModelSet scratch;
  scratch.allocate(o.nx, o.ny, o.nz);
  if (!checkOctreeTiling(o, scratch, platform)) return;
  long long covered = 0;
  for (const OctreeCell& c : o.cells) covered += static_cast<long long>(c.size) * c.size * c.size;
  if (covered != mesh.cellCount()) __builtin_trap();

  constexpr std::uint32_t kUnwritten = 0x7fc0dead;
  float unwritten;
  std::memcpy(&unwritten, &kUnwritten, 4);
  const auto fresh = [&] {
    ModelSet m;
    m.allocate(o.nx, o.ny, o.nz);
    std::fill(m.data(), m.data() + m.size(), unwritten);
    return m;
  };
  const auto allWritten = [&](const ModelSet& m) {
    for (std::size_t c = 0; c < m.size(); ++c)
      if (std::memcmp(&m.data()[c], &kUnwritten, 4) == 0) return false;
    return true;
  };
  ModelSet a = fresh();
  OctreeRange range;
  if (modelText.empty()) {
    syntheticOctreeModel(o, a, range);
    if (!allWritten(a) || !(range.minimum <= range.maximum)) __builtin_trap();
    return;
  }
  LineSource model(modelText);
  const std::size_t firstLine = std::min(modelText.find('\n'), modelText.size());
  if (countLeadingNumbers(modelText.data(), modelText.data() + firstLine) == 3) {
    ModelSet x = fresh(), y = fresh(), z = fresh();
    if (!readOctreeVectorModel(model, "fuzz.vec", o, a, x, y, z, log, range, platform, platform)) return;
    if (!allWritten(a) || !allWritten(x) || !allWritten(y) || !allWritten(z)) __builtin_trap();
    return;
  }
  Grid2<int> top;
  if (!readOctreeScalarModel(model, "fuzz.den", o, a, log, range, top, platform, platform)) return;
  if (!allWritten(a) || top.nx() != o.nx || top.ny() != o.ny) __builtin_trap();
  for (std::size_t c = 0; c < top.size(); ++c)
    if (top.data()[c] < 0 || top.data()[c] > o.nz) __builtin_trap();
  if (range.minimum != OctreeRange{}.minimum && !(range.minimum <= range.maximum)) __builtin_trap();
}

// A topography file loaded against a 4 x 3 x 5 mesh over [0, 400] x [0, 300]
// x [50, 100]: the reader alone, then the whole load.
inline void topographyReader(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  {
    LineSource in(text);
    if (const auto points = readTopographyPoints(in, "fuzz.txt", platform)) {
      const std::size_t n = points->easting.size();
      if (points->northing.size() != n || points->elevation.size() != n || n > size) __builtin_trap();
      for (std::size_t i = 0; i < n; ++i)
        if (!std::isfinite(points->easting[i]) || !std::isfinite(points->northing[i]) ||
            !std::isfinite(points->elevation[i]))
          __builtin_trap();
    }
  }
  RectMesh mesh;
  mesh.nx = 4;
  mesh.ny = 3;
  mesh.nz = 5;
  mesh.xNodes = {0, 100, 200, 300, 400};
  mesh.yNodes = {0, 100, 200, 300};
  mesh.zNodes = {100, 90, 80, 70, 60, 50};
  LineSource in(text);
  const auto r = loadTopography(in, "fuzz.txt", mesh, platform);
  if (!r) return;
  const Grid2<int>& top = r->topActiveIndex;
  if (top.nx() != mesh.nx || top.ny() != mesh.ny) __builtin_trap();
  for (std::size_t c = 0; c < top.size(); ++c)
    if (top.data()[c] < 0 || top.data()[c] > mesh.nz) __builtin_trap();
  if (r->activeCells + r->inactiveCells != mesh.cellCount() || r->cornersAdded < 0 || r->cornersAdded > 4 ||
      r->pointCount < 1 || static_cast<std::size_t>(r->pointCount) > size)
    __builtin_trap();
}

// An observation data file: the reader, then the surface build and the
// geometry of every drawing method on what it read.
inline void dataReader(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  LineSource in(text);
  const DataFileContents c = readDataPoints(in, "fuzz.obs", platform);
  if (c.points.size() > size) __builtin_trap();
  for (const DataPoint& p : c.points) {
    if (c.layout != DataLayout::Plain && !p.name.empty()) __builtin_trap();
    if (p.name.size() > 49) __builtin_trap();
    if (std::isfinite(p.value) && (static_cast<float>(p.value) < c.rangeMin || static_cast<float>(p.value) > c.rangeMax))
      __builtin_trap();
  }
  DataSet set;
  set.points = c.points;
  set.rangeMin = c.rangeMin;
  set.rangeMax = c.rangeMax;
  set.plottingValue = 0.5f;
  if (buildDataSurface(set, platform)) {
    const std::size_t n = set.points.size();
    if (n < 3 || n > c.points.size() || set.surface.nodeCount() != static_cast<int>(n) ||
        set.surface.triangleCount() < 1)
      __builtin_trap();
    for (std::size_t i = 1; i < n; ++i)
      if (set.points[i].x < set.points[i - 1].x) __builtin_trap();
  } else if (set.points.size() != c.points.size() || set.surface.triangulated()) {
    __builtin_trap();
  }
  for (int m = 0; m < kPlotMethodCount; ++m) {
    set.plottingMethod = m;
    DataScene s;
    buildDataScene({set}, s);
    if (s.colours.size() != s.vertices.size()) __builtin_trap();
    for (const DataTriangle& t : s.triangles)
      for (const std::uint32_t v : t.vertex)
        if (v >= s.vertices.size()) __builtin_trap();
    for (const DataStrip& strip : s.strips)
      if (strip.vertexCount < 2 || strip.firstVertex + strip.vertexCount > s.vertices.size()) __builtin_trap();
  }
}

// A platform that never changes the process's folder and cancels every dialog.
class QuietPlatform : public StreamPlatform {
 public:
  QuietPlatform() : StreamPlatform(nowhere(), false) {}
  bool setCurrentFolder(const std::string&) override { return true; }

 private:
  static std::ostream& nowhere() {
    static std::ostream null(nullptr);
    return null;
  }
};

// A cell faces file. The first byte chooses the mesh (nx, ny, nz from 1 to 4:
// bits 0-1, 2-3, 4-5) and bit 6 two threads; the rest is the file. A file
// that reads fills every face, and both drawing modes stay inside the mesh.
inline void facesReader(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const int nx = 1 + (data[0] & 3), ny = 1 + ((data[0] >> 2) & 3), nz = 1 + ((data[0] >> 4) & 3);
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  CellFacesOverlay o;
  o.adoptMeshSize(nx, ny, nz);
  constexpr std::uint32_t kUnwritten = 0x7fc0dead;
  float unwritten;
  std::memcpy(&unwritten, &kUnwritten, 4);
  for (ModelSet* m : {&o.x, &o.y, &o.z}) {
    const int dx = m == &o.x, dy = m == &o.y, dz = m == &o.z;
    m->allocate(nx - dx, ny - dy, nz - dz);
    std::fill(m->data(), m->data() + m->size(), unwritten);
  }
  FacesReadSettings s;
  s.nx = nx;
  s.ny = ny;
  s.nz = nz;
  s.threads = data[0] & 64 ? 2 : 1;
  LineSource in(text);
  FacesRange range;
  if (!readFacesFile(in, "fuzz.fcs", s, o.x, o.y, o.z, range, platform)) return;
  if (static_cast<long long>(text.size()) < minimumFacesBytes(nx, ny, nz)) __builtin_trap();
  for (const ModelSet* m : {&o.x, &o.y, &o.z})
    for (std::size_t c = 0; c < m->size(); ++c) {
      const float v = m->data()[c];
      if (std::memcmp(&v, &kUnwritten, 4) == 0) __builtin_trap();
      if (std::isfinite(v) && (v < range.min || v > range.max)) __builtin_trap();
    }
  o.loaded = true;
  o.dataMin = o.colourMin = o.cutoffMin = range.min;
  o.dataMax = o.colourMax = o.cutoffMax = range.max;
  o.rebuildColourmap();

  QuietPlatform quiet;
  Document doc(quiet, quiet);
  ModelStore store;
  RectMesh m;
  m.nx = nx;
  m.ny = ny;
  m.nz = nz;
  for (int i = 0; i <= nx; ++i) m.xNodes.push_back(10.0 * i);
  for (int j = 0; j <= ny; ++j) m.yNodes.push_back(10.0 * j);
  for (int k = 0; k <= nz; ++k) m.zNodes.push_back(-10.0 * k);
  store.allocate(std::move(m), 1, false);
  // A checkerboard of 0 and 1 with the cutoff at 0: inner sides are traced too.
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k) store.modelData(0)(i, j, k) = static_cast<float>((i + j + k) % 2);
  store.setRange(0, 1);
  doc.adopt(std::move(store), {});
  ViewController view(doc, quiet);
  view.refresh(ViewRefresh::NewLoad);
  view.cellFaces = std::move(o);
  view.cellFaces.loaded = true;
  view.state.displayMin = view.state.displayMax = 0;
  for (const int method : {kFacesLines, kFacesSurface}) {
    view.cellFaces.method = method;
    SceneBuilder builder;
    SceneGeometry g;
    builder.build(doc, view.state, view.colours, g, &view.cellFaces);
    for (const FaceTrace& t : g.cellFaces.traces)
      if (t.i < 0 || t.i >= nx || t.j < 0 || t.j >= ny || t.k < 0 || t.k >= nz || t.colour > 60) __builtin_trap();
    for (const CellFace& f : g.cellFaces.faces)
      if (f.i < 0 || f.i >= nx || f.j < 0 || f.j >= ny || f.k < 0 || f.k >= nz || f.colour > 60) __builtin_trap();
  }
}

inline bool viewIsSound(const Document& doc, const ViewController& view) {
  const ViewState& v = view.state;
  const RectMesh& m = doc.mesh();
  const int count[3] = {m.nx, m.ny, m.nz};
  for (int a = 0; a < 3; ++a) {
    const int lo = v.hiddenPadding[2 * a], hi = v.hiddenPadding[2 * a + 1];
    if (lo < 0 || hi < 0 || lo + hi >= count[a] || v.visibleCount[a] != count[a] - lo - hi) return false;
    if (v.cuts[2 * a] < 0 || v.cuts[2 * a + 1] < 0 || v.cuts[2 * a] + v.cuts[2 * a + 1] >= v.visibleCount[a])
      return false;
  }
  const double numbers[] = {v.rotationX,    v.rotationZ,    v.zoomAngle,      v.panX,
                            v.panY,         v.sceneExtent,  v.cameraDistance, v.panStep,
                            v.axisScale[0], v.axisScale[1], v.axisScale[2],   v.vectorLength};
  if (!std::all_of(std::begin(numbers), std::end(numbers), [](double x) { return std::isfinite(x); })) return false;
  if (v.axisScale[0] == 0 || v.axisScale[1] == 0 || v.axisScale[2] == 0) return false;
  if (std::isnan(v.displayMin) || std::isnan(v.displayMax)) return false;
  if (!std::isfinite(view.colours.firstScale.min) || !std::isfinite(view.colours.firstScale.max)) return false;
  if (v.diagonalCutOn && (v.diagonalLine[0] == v.diagonalLine[2] || v.diagonalLine[1] == v.diagonalLine[3]))
    return false;
  return v.selectedCutPlane >= kNoPlane && v.selectedCutPlane <= kBottom && view.colours.blendWeight >= 0 &&
         view.colours.blendWeight <= 1;
}

// A view parameter file. Bit 0 of the first byte: a model is loaded before it
// is read. The rest is the file. A file that loads must give a view that can
// be drawn, copied and pasted, and saved and loaded again.
inline void viewFile(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  // A path stored in the file is opened when the file carries no values: keep away from devices.
  for (const char* place : {"/dev", "/proc", "/sys", "/run"})
    if (bytes.find(place) != std::string::npos) return;
  QuietPlatform platform;
  Document doc(platform, platform);
  ViewController view(doc, platform);
  if (data[0] & 1) {
    RectMesh m;
    m.nx = 3;
    m.ny = 2;
    m.nz = 2;
    m.xNodes = {0, 10, 20, 30};
    m.yNodes = {0, 10, 20};
    m.zNodes = {0, -10, -20};
    ModelStore store;
    store.allocate(std::move(m), 1, false);
    store.setRange(0, 0);
    doc.adopt(std::move(store), {});
    view.refresh(ViewRefresh::NewLoad);
  }
  const ViewFileLoad r = loadViewParameterBytes(bytes, "fuzz.ls3d", doc, view, platform, platform);
  if (!doc.modelLoaded()) return;
  const RectMesh& m = doc.mesh();
  if (m.xNodes.size() != static_cast<std::size_t>(m.nx) + 1 || m.yNodes.size() != static_cast<std::size_t>(m.ny) + 1 ||
      m.zNodes.size() != static_cast<std::size_t>(m.nz) + 1 ||
      doc.currentModel().size() != static_cast<std::size_t>(m.cellCount()))
    __builtin_trap();
  if (!r.ok) return;
  if (!viewIsSound(doc, view)) __builtin_trap();

  SceneBuilder builder;
  SceneGeometry g;
  builder.build(doc, view.state, view.colours, g);
  const CoreBox b = coreBox(m, view.state);
  cellReadout(view, Point3{(b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2, (b.z0 + b.z1) / 2});
  if (!pasteViewString(clipboardViewString(view.state, 800, 600), view)) __builtin_trap();

  const std::string again = encodeViewParameters(doc, view, true, r.window.value_or(WindowRect{}));
  Document doc2(platform, platform);
  ViewController view2(doc2, platform);
  if (!loadViewParameterBytes(again, "fuzz.ls3d", doc2, view2, platform, platform).ok) __builtin_trap();
  if (!viewIsSound(doc2, view2)) __builtin_trap();
}

}  // namespace litho::fuzz
