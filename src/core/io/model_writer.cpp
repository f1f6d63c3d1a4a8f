#include "core/io/model_writer.h"
#include "core/platform/printable.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/io/atomic_file.h"
#include "core/io/element_file.h"
#include "core/io/file_system.h"
#include "core/load/document.h"

namespace litho {

namespace {

char* putG(char* p, char* end, double v, int precision = 6) {
  return std::to_chars(p, end, v, std::chars_format::general, precision).ptr;
}

// "%.Pg" with the smallest P from 6 up that reads back as the same float. The
// shortest digits that do so (what to_chars gives) are laid out as "%g" lays
// them out; for six digits or fewer, "%g" itself gives those digits.
char* putModelValue(char* p, char* end, float v) {
  char sci[32];
  char* const sciEnd = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific).ptr;
  char digits[16];
  int n = 0;
  const char* e = sci + (sci[0] == '-');
  for (; e < sciEnd && *e != 'e'; ++e)
    if (*e != '.') digits[n++] = *e;
  if (n <= 6 || !std::isfinite(v)) return std::to_chars(p, end, v, std::chars_format::general, 6).ptr;
  int exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), sciEnd, exponent);
  if (exponent < -4 || exponent >= n) return std::copy(sci, sciEnd, p);
  if (v < 0) *p++ = '-';
  if (exponent < 0) {
    *p++ = '0';
    *p++ = '.';
    p = std::fill_n(p, -exponent - 1, '0');
    return std::copy(digits, digits + n, p);
  }
  p = std::copy(digits, digits + exponent + 1, p);
  if (exponent + 1 < n) {
    *p++ = '.';
    p = std::copy(digits + exponent + 1, digits + n, p);
  }
  return p;
}

// Values are gathered in a buffer and handed to the file in large pieces.
class ValueWriter {
 public:
  explicit ValueWriter(AtomicFile& file) : file_(file) {}
  ~ValueWriter() { flush(); }
  void value(float v) {
    if (used_ > sizeof buf_ - 64) flush();
    char* p = putModelValue(buf_ + used_, buf_ + sizeof buf_, v);
    *p++ = '\n';
    used_ = static_cast<std::size_t>(p - buf_);
  }
  void flush() {
    file_.write(std::string_view(buf_, used_));
    used_ = 0;
  }

 private:
  AtomicFile& file_;
  char buf_[1 << 16];
  std::size_t used_ = 0;
};

bool regionFits(const RectMesh& m, const CoreRegion& r) {
  return r.nx >= 1 && r.ny >= 1 && r.nz >= 1 && r.west >= 0 && r.south >= 0 && r.top >= 0 &&
         static_cast<long long>(r.west) + r.nx <= m.nx && static_cast<long long>(r.south) + r.ny <= m.ny &&
         static_cast<long long>(r.top) + r.nz <= m.nz;
}

void writeValues(AtomicFile& file, const SaveSource& s, const CoreRegion& r, const VisibleCells* visible,
                 float dummy) {
  ValueWriter out(file);
  for (int j = r.south; j < r.south + r.ny; ++j) {
    for (int i = r.west; i < r.west + r.nx; ++i) {
      const float* col = s.model.column(i, j);
      for (int k = r.top; k < r.top + r.nz; ++k) {
        const float v = col[k];
        if (visible && !visible->visible(i, j, k, v))
          out.value(dummy);
        else
          out.value(s.logModel ? std::pow(10.0f, v) : v);
      }
    }
    if (file.failed()) return;
  }
}

// One line of widths of an axis, each preceded by a blank.
std::string widthLine(const std::vector<double>& nodes, int first, int count, bool descending) {
  std::string s;
  for (int n = first; n < first + count; ++n) {
    const double w = descending ? nodes[n] - nodes[n + 1] : nodes[n + 1] - nodes[n];
    s += ' ';
    s += formatMeshNumber(w);
  }
  return s + "\n";
}

std::string oneLine(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return text;
}

}  // namespace

std::string formatG(double value) {
  char buf[64];
  return std::string(buf, putG(buf, buf + sizeof buf, value));
}

std::string formatModelValue(float value) {
  char buf[64];
  return std::string(buf, putModelValue(buf, buf + sizeof buf, value));
}

std::string formatMeshNumber(double value) {
  if (!std::isfinite(value)) return formatG(value);
  char buf[64];
  for (int precision = 6;; ++precision) {
    char* end = putG(buf, buf + sizeof buf, value, precision);
    double back = 0;
    std::from_chars(buf, end, back);
    if (precision >= 17 || std::fabs(back - value) <= 1e-12 * std::fabs(value))
      return std::string(buf, end);
  }
}

SaveViewInfo SaveViewInfo::from(const ViewState& v) {
  SaveViewInfo s;
  s.hiddenPadding = v.hiddenPadding;
  s.visibleCount = v.visibleCount;
  s.cuts = v.cuts;
  s.ignoreCutPlanes = v.ignoreCutPlanes;
  s.displayMin = v.displayMin;
  s.displayMax = v.displayMax;
  return s;
}

SaveViewInfo SaveViewInfo::afterLoad(const RectMesh& mesh, const SideCounts& coreOffsets, ValueRange range) {
  SaveViewInfo s;
  const FittedPadding fitted = fitPadding(coreOffsets, mesh.counts());
  s.hiddenPadding = fitted.padding;
  s.visibleCount = fitted.visible;
  s.displayMin = range.min;
  s.displayMax = range.max;
  return s;
}

CoreRegion SaveViewInfo::core() const {
  return {hiddenPadding[kSideWest], hiddenPadding[kSideSouth], hiddenPadding[kSideTop],
          visibleCount[0],          visibleCount[1],           visibleCount[2]};
}

VisibleCells::VisibleCells(const RectMesh& mesh, const SaveViewInfo& v, const Grid2<int>& topActive)
    : lo_(v.displayMin), hi_(v.displayMax), topActive_(topActive) {
  const std::array<int, 6> c = v.ignoreCutPlanes ? std::array<int, 6>{} : v.cuts;
  const auto& p = v.hiddenPadding;
  xs_ = std::clamp(p[kSideWest] + c[kSideWest], 0, mesh.nx);
  xe_ = std::clamp(p[kSideWest] + v.visibleCount[0] - c[kSideEast], xs_, mesh.nx);
  ys_ = std::clamp(p[kSideSouth] + c[kSideSouth], 0, mesh.ny);
  ye_ = std::clamp(p[kSideSouth] + v.visibleCount[1] - c[kSideNorth], ys_, mesh.ny);
  zs_ = std::clamp(p[kSideTop] + c[kSideTop], 0, mesh.nz);
  ze_ = std::clamp(p[kSideTop] + v.visibleCount[2] - c[kSideBottom], zs_, mesh.nz);
  slices_.fill(-1);
  if (v.ignoreCutPlanes) {
    slicesShown_ = true;
    const auto& q = v.cuts;
    if (q[kSideWest] >= 1) slices_[kSideWest] = xs_ + q[kSideWest];
    if (q[kSideEast] >= 1) slices_[kSideEast] = xe_ - q[kSideEast] - 1;
    if (q[kSideSouth] >= 1) slices_[kSideSouth] = ys_ + q[kSideSouth];
    if (q[kSideNorth] >= 1) slices_[kSideNorth] = ye_ - q[kSideNorth] - 1;
    if (q[kSideTop] >= 1) slices_[kSideTop] = zs_ + q[kSideTop];
    if (q[kSideBottom] >= 1) slices_[kSideBottom] = ze_ - q[kSideBottom] - 1;
  }
}

bool VisibleCells::onSlice(int i, int j, int k) const {
  return i == slices_[kSideWest] || i == slices_[kSideEast] || j == slices_[kSideSouth] ||
         j == slices_[kSideNorth] || k == slices_[kSideTop] || k == slices_[kSideBottom];
}

bool VisibleCells::visible(int i, int j, int k, float value) const {
  if (i < xs_ || i >= xe_ || j < ys_ || j >= ye_ || k < zs_ || k >= ze_) return false;
  if (!topActive_.empty() && k < topActive_(i, j)) return false;
  const double x = value;
  const bool passes = hi_ >= lo_ ? (x >= lo_ && x <= hi_) : (x >= lo_ || x <= hi_);
  return passes || (slicesShown_ && onSlice(i, j, k));
}

float& keptDummyValue() {
  static float value = kInitialDummyValue;
  return value;
}

std::string coreMeshText(const RectMesh& m, const CoreRegion& r) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%i  %i  %i\n", r.nx, r.ny, r.nz);
  std::string s = buf;
  s += formatMeshNumber(m.xNodes[r.west]) + "  " + formatMeshNumber(m.yNodes[r.south]) + "  " +
       formatMeshNumber(m.zNodes[r.top]) + "\n";
  s += widthLine(m.xNodes, r.west, r.nx, false);
  s += widthLine(m.yNodes, r.south, r.ny, false);
  s += widthLine(m.zNodes, r.top, r.nz, true);
  return s;
}

std::string elementFileText(const std::vector<Element>& elements) {
  std::string s = std::to_string(elements.size()) + "\n";
  for (const Element& e : elements) {
    s += oneLine(e.name) + "\n";
    char buf[160];
    std::snprintf(buf, sizeof buf, "%i %i %i  %i %i %i  %i %i %i  ", e.xIndex, e.yIndex, e.zIndex, e.xSize,
                  e.ySize, e.zSize, e.slopeX, e.slopeY, e.slopeXY);
    s += buf + formatModelValue(e.value) + "  " + (e.cuboid ? "1" : "0") + "\n";
  }
  return s;
}

SaveOutcome writeSavedModel(const SaveSource& s, const std::string& path, const SaveViewInfo& view,
                            const SaveModelOptions& options, Platform& platform) {
  const bool core = options.mode == SaveMode::WithoutPadding;
  const CoreRegion region = core ? view.core() : CoreRegion{0, 0, 0, s.mesh.nx, s.mesh.ny, s.mesh.nz};
  if (!regionFits(s.mesh, region)) {
    platform.message("The padding cells of the view do not fit the mesh: nothing was saved.", MessageKind::Error);
    return SaveOutcome::NothingSaved;
  }
  // An entire model takes its element file along; one left from an earlier
  // model of this name is emptied, as it describes blocks this one lacks. A
  // file the program cannot read as an element file may be anything: kept.
  const std::string meshPath = path + "_mesh", elementPath = path + "_loc";
  bool withElements = false;
  std::string elementsKept;
  if (!core && !options.visibleOnly) {
    struct stat st {};
    if (::lstat(elementPath.c_str(), &st) != 0 && errno == ENOENT)
      withElements = !s.elements.empty();
    else if (isReadableElementFile(elementPath, s.mesh.nx, s.mesh.ny, s.mesh.nz))
      withElements = true;
    else
      elementsKept = "The element file\n" + printable(elementPath) +
                     "\nwas left as it was: it is not an element file of this mesh." +
                     (s.elements.empty() ? "" : "\nThe blocks were not saved.");
  }

  // Every target is checked before the long write.
  AtomicFile model(path), mesh(meshPath), elements(elementPath);
  std::vector<AtomicFile*> files{&model};
  if (core) files.push_back(&mesh);
  if (withElements) files.push_back(&elements);
  for (AtomicFile* f : files) {
    if (!f->open()) {
      platform.message(saveFailureText(*f), MessageKind::Error);
      return SaveOutcome::NothingSaved;
    }
  }
  std::optional<VisibleCells> visible;
  if (options.visibleOnly) visible.emplace(s.mesh, view, s.topActive);
  writeValues(model, s, region, visible ? &*visible : nullptr, options.dummy);
  if (core) mesh.write(coreMeshText(s.mesh, region));
  if (withElements) elements.write(elementFileText(s.elements));

  if (!commitAll(files, platform)) return model.committed() ? SaveOutcome::ModelSaved : SaveOutcome::NothingSaved;
  if (core) platform.message("Mesh saved to:\n" + printable(meshPath), MessageKind::Info);
  if (!elementsKept.empty()) platform.message(elementsKept, MessageKind::Warning);
  return SaveOutcome::AllSaved;
}

bool saveModelCommand(Document& doc, const SaveViewInfo& view, Platform& platform,
                      const AskSaveOptions& runDialog) {
  if (!doc.modelLoaded() || doc.isVectorModel()) return false;
  const auto options = runDialog(keptDummyValue());
  if (!options) return false;
  keptDummyValue() = options->dummy;
  FileDialogRequest request;
  request.title = "Save model file.";
  request.filter = "Model||";
  request.startFolder = doc.workingFolder();
  request.mustExist = false;
  request.promptOverwrite = true;
  const auto path = platform.saveFileName(request);
  if (!path || path->empty()) return false;
  return doc.saveModel(*path, view, *options);
}

}  // namespace litho
