#include "core/view/view_parameters.h"
#include "core/platform/printable.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/data/data_surface.h"
#include "core/io/atomic_file.h"
#include "core/io/file_system.h"
#include "core/io/mesh_reader.h"
#include "core/load/document.h"
#include "core/load/progress.h"
#include "core/scene/camera.h"
#include "core/view/view_controller.h"

namespace litho {

namespace {

class Writer {
 public:
  std::string bytes;
  void raw(const void* p, std::size_t n) {
    // The file is little-endian; so is every machine this runs on, which the static_assert below keeps true.
    bytes.append(static_cast<const char*>(p), n);
  }
  void i32(std::int32_t v) { raw(&v, 4); }
  void i16(std::int16_t v) { raw(&v, 2); }
  void f32(float v) { raw(&v, 4); }
  void f64(double v) { raw(&v, 8); }
  void boolean(bool v) { u8(v ? 1 : 0); }
  void u8(std::uint8_t v) { raw(&v, 1); }
  void str(const std::string& s) {
    const auto n = s.size();
    if (n < 255) {
      u8(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
      u8(0xFF);
      const auto v = static_cast<std::uint16_t>(n);
      raw(&v, 2);
    } else if (n < 0xFFFFFFFFULL) {
      u8(0xFF);
      const std::uint16_t m = 0xFFFF;
      raw(&m, 2);
      const auto v = static_cast<std::uint32_t>(n);
      raw(&v, 4);
    } else {
      u8(0xFF);
      const std::uint16_t m = 0xFFFF;
      raw(&m, 2);
      const std::uint32_t m2 = 0xFFFFFFFF;
      raw(&m2, 4);
      const auto v = static_cast<std::uint64_t>(n);
      raw(&v, 8);
    }
    raw(s.data(), n);
  }
};
static_assert(std::endian::native == std::endian::little, "the view parameter file is little-endian");

class Reader {
 public:
  explicit Reader(const std::string& data) : data_(data) {}
  bool ok() const { return ok_; }
  void fail() { ok_ = false; }
  std::size_t remaining() const { return data_.size() - pos_; }
  bool raw(void* p, std::size_t n) {
    if (!ok_ || remaining() < n) {
      ok_ = false;
      return false;
    }
    std::memcpy(p, data_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  std::int32_t i32() {
    std::int32_t v = 0;
    raw(&v, 4);
    return v;
  }
  std::int16_t i16() {
    std::int16_t v = 0;
    raw(&v, 2);
    return v;
  }
  float f32() {
    float v = 0;
    raw(&v, 4);
    return v;
  }
  double f64() {
    double v = 0;
    raw(&v, 8);
    return v;
  }
  std::uint8_t u8() {
    std::uint8_t v = 0;
    raw(&v, 1);
    return v;
  }
  bool boolean() { return u8() != 0; }
  std::string str() {
    std::uint64_t n = u8();
    if (n == 0xFF) {
      std::uint16_t m = 0;
      raw(&m, 2);
      n = m;
      if (m == 0xFFFF) {
        std::uint32_t m2 = 0;
        raw(&m2, 4);
        n = m2;
        if (m2 == 0xFFFFFFFF) raw(&n, 8);
      }
    }
    if (!ok_ || n > remaining()) {
      ok_ = false;
      return {};
    }
    std::string s = data_.substr(pos_, static_cast<std::size_t>(n));
    pos_ += static_cast<std::size_t>(n);
    return s;
  }

 private:
  const std::string& data_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

void writeRange(Writer& w, double min, double max, double ownMin, double ownMax) {
  if (min == ownMin && max == ownMax) {
    w.f32(FLT_MAX);
    w.f32(FLT_MAX);
  } else {
    w.f32(static_cast<float>(min));
    w.f32(static_cast<float>(max));
  }
}

// A range pair; the sentinel means the model's own range, and so does a pair
// that is not a number. Infinite limits are taken only where they mean "no
// limit" (the cutoff).
void readRange(Reader& r, double& min, double& max, double ownMin, double ownMax, bool infiniteAllowed = false) {
  const float a = r.f32(), b = r.f32();
  if (!r.ok()) return;
  const auto usable = [&](float x) { return infiniteAllowed ? !std::isnan(x) : std::isfinite(x); };
  if ((a == FLT_MAX && b == FLT_MAX) || !usable(a) || !usable(b)) {
    min = ownMin;
    max = ownMax;
  } else {
    min = a;
    max = b;
  }
}

bool finite(const std::array<double, 4>& v) {
  return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
}

void writeViewState(Writer& w, const Document& doc, const ViewController& view, const WindowRect& win) {
  const ViewState& v = view.state;
  const ColourState& c = view.colours;
  w.f32(v.rotationX);
  w.f32(v.rotationZ);
  w.f64(v.zoomAngle);
  w.i32(v.perspective);
  for (int p : v.hiddenPadding) w.i32(p);
  w.f64(v.panX);
  w.f64(v.panY);
  w.i32(win.left);
  w.i32(win.top);
  w.i32(win.right);
  w.i32(win.bottom);
  for (int cut : v.cuts) w.i32(cut);
  w.i32(v.selectedCutPlane);
  writeRange(w, c.firstScale.min, c.firstScale.max, doc.store().range().min, doc.store().range().max);
  w.boolean(c.firstScale.conductivityView);
  w.boolean(c.firstScale.linearLabels);
  w.boolean(c.firstScale.logScale);
  writeRange(w, c.secondScale.min, c.secondScale.max, doc.store().secondRange().min, doc.store().secondRange().max);
  w.boolean(c.secondScale.conductivityView);
  w.boolean(c.secondScale.linearLabels);
  w.boolean(c.secondScale.logScale);
  writeRange(w, v.displayMin, v.displayMax, doc.store().range().min, doc.store().range().max);
  w.i32(doc.store().currentModelIndex());
  for (bool f : {v.showLabels, v.showColourbar, v.showMesh, v.showFloor, v.showBoundary}) w.boolean(f);
  w.f32(c.blendWeight);
  w.i32(c.colourmap.kind);
  w.boolean(c.colourmap.reversed);
  w.boolean(v.diagonalCutOn);
  for (double d : v.diagonalLine) w.f64(d);
  w.i32(v.diagonalSide);
  for (double k : v.axisScale) w.f64(k);
  w.f64(v.vectorLength);
  for (int s : v.vectorIncrement) w.i32(s);
  w.boolean(v.vectorsAsCones);
  for (unsigned char b : v.backgroundColour) w.u8(b);
  w.boolean(v.readoutMode);
  for (bool l : v.lightSwitches) w.boolean(l);
}

bool fits(int a, int b, int count) { return paddingFits(a, b, count); }

// Reads the view fields in order, applying them as it goes. False when the file ended early.
bool readViewState(Reader& r, Document& doc, ViewController& view, std::optional<WindowRect>& window) {
  ViewState& v = view.state;
  ColourState& c = view.colours;
  // A number that is not finite (or a zoom the Rotation angles dialog would refuse) leaves its field as it was.
  const float rotationX = r.f32(), rotationZ = r.f32();
  const double zoom = r.f64();
  const int perspective = r.i32();
  std::array<int, 6> pad{};
  for (int& p : pad) p = r.i32();
  const double panX = r.f64(), panY = r.f64();
  WindowRect win;
  win.left = r.i32();
  win.top = r.i32();
  win.right = r.i32();
  win.bottom = r.i32();
  if (!r.ok()) return false;
  if (std::isfinite(rotationX) && std::isfinite(rotationZ)) {
    v.rotationX = rotationX;
    v.rotationZ = rotationZ;
  }
  if (zoom >= 0 && zoom <= 180) v.zoomAngle = zoom;
  if (std::isfinite(panX) && std::isfinite(panY)) {
    v.panX = panX;
    v.panY = panY;
  }
  v.perspective = perspective ? 1 : 0;
  const FittedPadding fitted = fitPadding(pad, doc.mesh().counts());
  v.hiddenPadding = fitted.padding;
  v.visibleCount = fitted.visible;
  view.resetViewExtents();
  std::array<int, 6> cuts{};
  for (int& cut : cuts) cut = r.i32();
  const int selected = r.i32();
  if (!r.ok()) return false;
  for (int a = 0; a < 3; ++a)
    if (fits(cuts[2 * a], cuts[2 * a + 1], v.visibleCount[a])) {
      v.cuts[2 * a] = cuts[2 * a];
      v.cuts[2 * a + 1] = cuts[2 * a + 1];
    }
  v.selectedCutPlane = selected >= kNoPlane && selected <= kBottom ? selected : kNoPlane;
  readRange(r, c.firstScale.min, c.firstScale.max, doc.store().range().min, doc.store().range().max);
  c.firstScale.conductivityView = r.boolean();
  c.firstScale.linearLabels = r.boolean();
  c.firstScale.logScale = r.boolean();
  readRange(r, c.secondScale.min, c.secondScale.max, doc.store().secondRange().min, doc.store().secondRange().max);
  c.secondScale.conductivityView = r.boolean();
  c.secondScale.linearLabels = r.boolean();
  c.secondScale.logScale = r.boolean();
  readRange(r, v.displayMin, v.displayMax, doc.store().range().min, doc.store().range().max, true);
  const int modelIndex = r.i32();
  if (!r.ok()) return false;
  doc.selectModel(modelIndex >= 0 && modelIndex < doc.store().modelCount() ? modelIndex : 0);
  v.showLabels = r.boolean();
  v.showColourbar = r.boolean();
  v.showMesh = r.boolean();
  v.showFloor = r.boolean();
  v.showBoundary = r.boolean();
  const float blend = r.f32();
  const int kind = r.i32();
  const bool reversed = r.boolean();
  if (!r.ok()) return false;
  c.blendWeight = blend >= 0 && blend <= 1 ? blend : 0.3f;
  setColourmapAlpha(c.colourmap, c.blendWeight);
  if (kind >= 0 && kind < kColourmapKinds) c.colourmap.kind = kind;
  c.colourmap.reversed = reversed;
  buildColourmap(c.colourmap);
  const bool diagonalOn = r.boolean();
  std::array<double, 4> line{};
  for (double& d : line) d = r.f64();
  v.diagonalSide = r.i32();
  std::array<double, 3> scale{};
  for (double& k : scale) k = r.f64();
  if (!r.ok()) return false;
  // A line the Diagonal dialog would refuse leaves the cut off.
  if (finite(line) && line[0] != line[2] && line[1] != line[3]) {
    v.diagonalLine = line;
    v.diagonalCutOn = diagonalOn;
  }
  // The scale moves the camera as the Scale View dialog does, but the cuts just read stay.
  if (std::all_of(scale.begin(), scale.end(), [](double k) { return std::isfinite(k) && k != 0; }) &&
      std::isfinite(sceneExtentOf(coreBox(doc.mesh(), v), scale)))
    view.applyAxisScale(scale);
  const double vectorLength = r.f64();
  if (std::isfinite(vectorLength)) v.vectorLength = vectorLength;
  for (int& s : v.vectorIncrement) s = std::max(1, r.i32());
  v.vectorsAsCones = r.boolean();
  std::array<unsigned char, 3> bg{};
  for (auto& b : bg) b = r.u8();
  v.readoutMode = r.boolean();
  std::array<bool, 5> lights{};
  for (bool& l : lights) l = r.boolean();
  if (!r.ok()) return false;
  view.setBackground(bg[0], bg[1], bg[2]);
  view.setLights(lights);
  window = win;
  view.selectActiveScale();
  v.frame.rebuild();
  v.frame.redraw();
  return true;
}

constexpr const char* kNoSoundMeshMessage = "The view parameter file holds no sound mesh.";

// Finite and strictly increasing (direction 1) or decreasing (-1).
bool soundNodes(const std::vector<double>& nodes, int direction) {
  for (std::size_t n = 0; n < nodes.size(); ++n) {
    if (!std::isfinite(nodes[n])) return false;
    if (n > 0 && !(direction * (nodes[n] - nodes[n - 1]) > 0)) return false;
  }
  return true;
}

// The mesh and model values stored in the file, as a store of their own; empty
// when the file ended early or is not sound.
std::optional<ModelStore> readFullData(Reader& r, bool activeMask, DocumentUi& ui, Platform& platform) {
  const int modelCount = r.i32();
  const int nx = r.i32(), ny = r.i32(), nz = r.i32();
  const bool vector = r.boolean();
  const bool second = r.boolean();
  if (!r.ok()) return std::nullopt;
  long long cells = 0;
  if (modelCount < 1 || nx < 1 || ny < 1 || nz < 1 ||
      __builtin_mul_overflow(static_cast<long long>(nx) * ny, static_cast<long long>(nz), &cells) ||
      cells > kMaxCells) {
    platform.message(kNoSoundMeshMessage, MessageKind::Error);
    return std::nullopt;
  }
  // Everything the block holds must be there before anything is allocated.
  const long long perCell = static_cast<long long>(modelCount) * (vector ? 4 : 1) + (second ? 1 : 0);
  long long values = 0, needed = 0;
  const bool overflow = __builtin_mul_overflow(cells, perCell, &values) || __builtin_mul_overflow(values, 4LL, &values) ||
                        __builtin_add_overflow(values, (3LL + nx + ny + nz) * 8 + static_cast<long long>(nx) * ny * 4,
                                               &needed);
  if (overflow || static_cast<unsigned long long>(needed) > r.remaining()) {
    r.fail();
    return std::nullopt;
  }
  ModelStore store;
  RectMesh m;
  m.nx = nx;
  m.ny = ny;
  m.nz = nz;
  try {
    m.xNodes.resize(static_cast<std::size_t>(nx) + 1);
    m.yNodes.resize(static_cast<std::size_t>(ny) + 1);
    m.zNodes.resize(static_cast<std::size_t>(nz) + 1);
  } catch (const std::bad_alloc&) {
    platform.message("Not enough memory for the model of the view parameter file.", MessageKind::Error);
    return std::nullopt;
  }
  for (double& x : m.xNodes) x = r.f64();
  for (double& y : m.yNodes) y = r.f64();
  for (double& z : m.zNodes) z = r.f64();
  if (!r.ok()) return std::nullopt;
  if (!soundNodes(m.xNodes, 1) || !soundNodes(m.yNodes, 1) || !soundNodes(m.zNodes, -1) ||
      !std::isfinite(sceneExtentOf(
          {m.xNodes.front(), m.xNodes.back(), m.yNodes.front(), m.yNodes.back(), m.zNodes.front(), m.zNodes.back()},
          {1, 1, 1}))) {
    platform.message(kNoSoundMeshMessage, MessageKind::Error);
    return std::nullopt;
  }
  if (!store.allocate(std::move(m), modelCount, vector) || (second && !store.allocateSecondModel())) {
    platform.message("Not enough memory for the model of the view parameter file.", MessageKind::Error);
    return std::nullopt;
  }
  {
    ProgressReporter progress(ui, ProgressReporter::Titled{"Loading ..."});
    progress.setTotal(static_cast<double>(nx) * modelCount * ny);
    double done = 0;
    ModelSet& secondSet = store.secondModelData();
    for (int mi = 0; mi < modelCount; ++mi) {
      ModelSet& values = store.modelData(mi);
      for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
          for (int k = 0; k < nz; ++k) {
            if (vector) {
              store.vectorData(0, mi)(i, j, k) = r.f32();
              store.vectorData(1, mi)(i, j, k) = r.f32();
              store.vectorData(2, mi)(i, j, k) = r.f32();
            }
            values(i, j, k) = r.f32();
            if (mi == 0 && second) secondSet(i, j, k) = r.f32();
          }
          progress.report(++done);
        }
    }
  }
  Grid2<int>& top = store.topActiveData();
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j) top(i, j) = std::clamp(r.i32(), 0, nz);
  const double lo = r.f32(), hi = r.f32();
  const float bottomMean = r.f32();
  double slo = 0, shi = 0;
  if (second) {
    slo = r.f32();
    shi = r.f32();
  }
  if (!r.ok()) return std::nullopt;
  store.setActiveMask(activeMask);
  // Stored figures that are not numbers are worked out again from the values.
  if (std::isfinite(lo) && std::isfinite(hi))
    store.setRange(lo, hi);
  else
    store.recomputeRange(Which::First);
  if (std::isfinite(bottomMean))
    store.setBottomMean(bottomMean);
  else
    store.computeBottomMean();
  if (second) {
    store.setSecondModelLoaded(true);
    if (std::isfinite(slo) && std::isfinite(shi))
      store.setSecondRange(slo, shi);
    else
      store.recomputeRange(Which::Second);
  }
  return store;
}

}  // namespace

std::optional<WindowRect> fitWindowToScreen(const WindowRect& saved, const WindowRect& available) {
  // The saved corners may be any 32-bit values: their differences need 64 bits.
  const long long width = static_cast<long long>(saved.right) - saved.left;
  const long long height = static_cast<long long>(saved.bottom) - saved.top;
  if (width <= 0 || height <= 0) return std::nullopt;
  const long long areaWidth = static_cast<long long>(available.right) - available.left;
  const long long areaHeight = static_cast<long long>(available.bottom) - available.top;
  if (areaWidth <= 0 || areaHeight <= 0) return saved;
  const long long w = std::min(width, areaWidth), h = std::min(height, areaHeight);
  const long long left = std::clamp<long long>(saved.left, available.left, available.right - w);
  const long long top = std::clamp<long long>(saved.top, available.top, available.bottom - h);
  return WindowRect{static_cast<int>(left), static_cast<int>(top), static_cast<int>(left + w),
                    static_cast<int>(top + h)};
}

std::string encodeViewParameters(const Document& doc, const ViewController& view, bool fullData,
                                 const WindowRect& window, DocumentUi* ui) {
  Writer w;
  w.str(doc.meshPath());
  w.str(doc.modelPath());
  w.boolean(doc.logModel());
  w.str(doc.secondModelPath());
  w.boolean(doc.logSecondModel());
  w.boolean(doc.store().activeMaskSet() != 0);
  fullData = fullData && doc.modelLoaded();
  w.boolean(fullData);
  if (fullData) {
    const RectMesh& m = doc.mesh();
    const bool second = doc.store().hasSecondModel() && !doc.store().secondModel().empty();
    w.i32(doc.store().modelCount());
    w.i32(m.nx);
    w.i32(m.ny);
    w.i32(m.nz);
    w.boolean(doc.isVectorModel());
    w.boolean(second);
    for (double x : m.xNodes) w.f64(x);
    for (double y : m.yNodes) w.f64(y);
    for (double z : m.zNodes) w.f64(z);
    std::optional<ProgressReporter> progress;
    if (ui) {
      progress.emplace(*ui, ProgressReporter::Titled{"Saving ..."});
      progress->setTotal(static_cast<double>(m.ny) * m.nx * doc.store().modelCount());
    }
    double done = 0;
    for (int mi = 0; mi < doc.store().modelCount(); ++mi)
      for (int j = 0; j < m.ny; ++j)
        for (int i = 0; i < m.nx; ++i) {
          for (int k = 0; k < m.nz; ++k) {
            if (doc.isVectorModel()) {
              w.f32(doc.store().vectorComponent(0, static_cast<std::size_t>(mi))(i, j, k));
              w.f32(doc.store().vectorComponent(1, static_cast<std::size_t>(mi))(i, j, k));
              w.f32(doc.store().vectorComponent(2, static_cast<std::size_t>(mi))(i, j, k));
            }
            w.f32(doc.store().model(static_cast<std::size_t>(mi))(i, j, k));
            if (mi == 0 && second) w.f32(doc.store().secondModel()(i, j, k));
          }
          if (progress) progress->report(++done);
        }
    for (int i = 0; i < m.nx; ++i)
      for (int j = 0; j < m.ny; ++j) w.i32(doc.store().topActiveIndex()(i, j));
    w.f32(static_cast<float>(doc.store().range().min));
    w.f32(static_cast<float>(doc.store().range().max));
    w.f32(doc.store().bottomMean());
    if (second) {
      w.f32(static_cast<float>(doc.store().secondRange().min));
      w.f32(static_cast<float>(doc.store().secondRange().max));
    }
  }
  w.boolean(!doc.dataSets().empty());
  if (!doc.dataSets().empty()) {
    w.i32(static_cast<std::int32_t>(doc.dataSets().size()));
    for (const DataSet& d : doc.dataSets()) {
      w.str(d.path);
      w.str(d.name);
      w.i16(static_cast<std::int16_t>(d.plottingMethod));
      w.f32(d.plottingValue);
      w.boolean(d.displayed);
      w.boolean(d.solidColour);
      for (float c : d.colour) w.f32(c);
      w.i32(static_cast<std::int32_t>(d.points.size()));
      for (const DataPoint& p : d.points) {
        w.f64(p.x);
        w.f64(p.y);
        w.f64(p.z);
        w.f64(p.value);
        w.str(p.name);
      }
      w.f32(static_cast<float>(d.rangeMin));
      w.f32(static_cast<float>(d.rangeMax));
    }
  }
  writeViewState(w, doc, view, window);
  return std::move(w.bytes);
}

bool saveViewParameters(const std::string& path, const Document& doc, const ViewController& view,
                        const WindowRect& window, Platform& platform, DocumentUi& ui) {
  const bool full = platform.askYesNo(kFullDataQuestion);
  return writeFileAtomically(path, encodeViewParameters(doc, view, full, window, &ui), platform);
}

ViewFileLoad loadViewParameters(const std::string& path, Document& doc, ViewController& view, Platform& platform,
                                DocumentUi& ui) {
  std::string data;
  if (!readWholeFile(path, data)) {
    platform.message("Could not open\n" + printable(path), MessageKind::Error);
    return {};
  }
  return loadViewParameterBytes(data, path, doc, view, platform, ui);
}

ViewFileLoad loadViewParameterBytes(const std::string& data, const std::string& path, Document& doc,
                                    ViewController& view, Platform& platform, DocumentUi& ui) {
  ViewFileLoad result;
  Reader r(data);
  auto pastEnd = [&] {
    platform.message(kPastEndMessage, MessageKind::Error);
    return result;
  };
  LoadRequest files;
  files.meshPath = r.str();
  files.modelPath = r.str();
  files.logModel = r.boolean();
  files.secondModelPath = r.str();
  files.logSecondModel = r.boolean();
  const bool mask = r.boolean();
  const bool full = r.boolean();
  if (!r.ok()) return pastEnd();
  files.octree = doc.octreeMode();
  // The file knows the answer to the question about the smallest value.
  files.ignoreSmallest = mask;

  if (full) {
    auto store = readFullData(r, mask, ui, platform);
    if (!store) return r.ok() ? result : pastEnd();
    doc.adopt(std::move(*store), files);
    doc.setDataSets({});
    doc.setTitle(path);
  } else {
    const bool missing = !fileExists(files.meshPath) || (!files.modelPath.empty() && !fileExists(files.modelPath)) ||
                         (!files.secondModelPath.empty() && !fileExists(files.secondModelPath));
    if (missing) {
      LoadDialogValues v{files.octree, files.meshPath, files.modelPath, files.logModel, files.secondModelPath,
                         files.logSecondModel};
      if (!ui.runLoadModelDialog(v)) return result;
      files.octree = v.octree;
      files.meshPath = fullPath(v.meshPath);
      files.modelPath = v.modelPath.empty() ? std::string() : fullPath(v.modelPath);
      files.logModel = v.logModel;
      files.secondModelPath = v.secondModelPath.empty() ? std::string() : fullPath(v.secondModelPath);
      files.logSecondModel = v.logSecondModel;
    }
    if (doc.loadOrKeep(files) != LoadStatus::Loaded) return result;
  }

  const bool hasSets = r.boolean();
  if (!r.ok()) return pastEnd();
  if (hasSets) {
    const int count = r.i32();
    if (!r.ok() || count < 0) return pastEnd();
    std::vector<DataSet> sets;
    for (int n = 0; n < count && r.ok(); ++n) {
      DataSet d;
      d.path = r.str();
      d.name = r.str();
      d.plottingMethod = r.i16();
      d.plottingValue = r.f32();
      d.displayed = r.boolean();
      d.solidColour = r.boolean();
      for (float& c : d.colour) c = r.f32();
      const int points = r.i32();
      // Each point takes at least 33 bytes: a count beyond what is left cannot be right.
      if (!r.ok() || points < 0 || static_cast<std::size_t>(points) > r.remaining() / 33) return pastEnd();
      d.points.resize(static_cast<std::size_t>(points));
      for (DataPoint& p : d.points) {
        p.x = r.f64();
        p.y = r.f64();
        p.z = r.f64();
        p.value = r.f64();
        p.name = r.str();
      }
      d.rangeMin = r.f32();
      d.rangeMax = r.f32();
      if (r.ok()) sets.push_back(std::move(d));
    }
    if (!r.ok()) return pastEnd();
    restoreDataSets(sets, platform);
    doc.setDataSets(std::move(sets));
  }
  if (!readViewState(r, doc, view, result.window)) return pastEnd();
  result.ok = true;
  return result;
}

}  // namespace litho
