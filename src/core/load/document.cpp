#include "core/load/document.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <new>

#include "core/io/element_file.h"
#include "core/io/mesh_reader.h"
#include "core/io/octree.h"
#include "core/io/scanf_number.h"
#include "core/io/file_system.h"

namespace litho {

namespace {

// Large model sets are written once, cell after cell: 2 MiB pages spare the
// kernel hundreds of thousands of page faults.
void adviseHugePages(void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHuge - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace

Document::Document(Platform& platform, DocumentUi& ui) : platform_(platform), ui_(ui) {}

Document::~Document() {
  if (tq5rMode && modelPath.size() >= 4 && modelPath.compare(modelPath.size() - 4, 4, ".fld") == 0)
    std::remove(modelPath.c_str());
  releaseModelData();
}

void Document::selectModel(int m) {
  if (m < 0 || m >= static_cast<int>(models.size())) return;
  currentModelIndex = m;
}

void Document::recomputeRange(Which which) {
  const ModelSet& set = which == Which::First ? currentModel() : secondModel;
  double lo = static_cast<double>(kNoDataValue);
  double hi = -static_cast<double>(kNoDataValue);
  if (!set.empty() && !TopActiveIndex.empty()) {
    for (int i = 0; i < mesh.nx; ++i) {
      for (int j = 0; j < mesh.ny; ++j) {
        const float* col = set.column(i, j);
        for (int k = std::max(TopActiveIndex(i, j), 0); k < mesh.nz; ++k) {
          const double v = col[k];
          if (!std::isfinite(v)) continue;
          if (v < lo) lo = v;
          if (v > hi) hi = v;
        }
      }
    }
  }
  if (which == Which::First) {
    modelMin = lo;
    modelMax = hi;
  } else {
    secondMin = lo;
    secondMax = hi;
  }
}

void Document::releaseModelData() {
  mesh.release();
  for (auto& m : models) m.release();
  models.clear();
  modelCount = 0;
  currentModelIndex = 0;
  TopActiveIndex.release();
  secondModel.release();
  secondModelLoaded = false;
  vectorX.clear();
  vectorY.clear();
  vectorZ.clear();
  dataSets.clear();
  selectedDataSet = -1;
}

void Document::setTitle(const std::string& t) {
  if (t == "Untitled") {
    if (!modelPath.empty())
      title = modelPath;
    else if (!meshPath.empty())
      title = meshPath;
    return;
  }
  title = t;
}

void Document::setDocumentPath() {
  const std::string& path = modelPath.empty() ? meshPath : modelPath;
  if (path.empty()) return;
  setTitle(fileExists(path) ? fullPath(path) : path);
  workingFolder = folderOf(title);
  if (!workingFolder.empty()) platform_.setCurrentFolder(workingFolder);
}

void Document::reportOutOfMemory(const std::string& path) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "Not enough memory for a model of %i x %i x %i cells.\n", mesh.nx, mesh.ny,
                mesh.nz);
  platform_.message(buf + path, MessageKind::Error);
}

bool Document::readMeshFile(bool& fatal) {
  fatal = false;
  std::string text;
  if (!readWholeFile(meshPath, text)) {
    platform_.message("File not found: " + meshPath, MessageKind::Error);
    fatal = true;
    return false;
  }
  return readMeshText(text, meshPath, mesh, platform_);
}

bool Document::allocateModels(int count) {
  try {
    models.clear();
    models.resize(static_cast<std::size_t>(count));
    for (auto& m : models) {
      m.allocate(mesh.nx, mesh.ny, mesh.nz);
      adviseHugePages(m.data(), m.size() * sizeof(float));
    }
    modelCount = count;
    return true;
  } catch (const std::bad_alloc&) {
    models.clear();
    modelCount = 0;
    return false;
  }
}

LoadStatus Document::loadModelSet() {
  modelLoaded = false;
  octreeModelFile = false;
  differenceShown = false;
  if (hasModelData()) releaseModelData();
  elements.clear();

  bool fatal = false;
  if (!readMeshFile(fatal)) return fatal ? LoadStatus::Fatal : LoadStatus::Failed;

  transmitterMode = false;
  topographyPath.clear();
  try {
    TopActiveIndex.allocate(mesh.nx, mesh.ny, 0);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(meshPath);
    releaseModelData();
    return LoadStatus::Failed;
  }
  secondModelLoaded = false;
  if (!modelPath.empty() && !secondModelPath.empty()) readSecondModel();

  if (modelPath.empty()) return buildModelWithoutFile();

  if (!fileExists(modelPath)) {
    platform_.message("File not found: " + modelPath, MessageKind::Error);
    releaseModelData();
    return LoadStatus::Fatal;
  }
  return readFirstModel();
}

std::optional<Document::ModelFileStart> Document::readModelFileStart(LineSource& in) {
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const auto header = parseModelFileHeader(first, mesh.nx, mesh.ny, mesh.nz, modelPath, platform_);
  if (!header) return std::nullopt;
  ModelFileStart start{*header, false};
  std::string data = first;
  if (header->present) data = in.nextLine(line) ? std::string(line) : std::string();
  start.vector = countLeadingNumbers(data.data(), data.data() + data.size()) == 3;
  in.rewind();
  if (header->present) in.nextLine(line);
  return start;
}

ModelReadSettings Document::readSettings(const ModelFileStart& start) const {
  ModelReadSettings s;
  s.nx = mesh.nx;
  s.ny = mesh.ny;
  s.nz = mesh.nz;
  s.modelCount = start.header.modelCount;
  s.coreOffsets = start.header.coreOffsets;
  s.offsetsValid = start.header.offsetsValid;
  s.log = logModel;
  s.tq5rMode = tq5rMode;
  s.threads = readThreads;
  return s;
}

void Document::readSecondModel() {
  LineSource in(secondModelPath, readBuffers_);
  if (!in.isOpen()) {
    platform_.message("Cannot open second model file\n" + secondModelPath, MessageKind::Plain);
    return;
  }
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const int numbers = countLeadingNumbers(first.data(), first.data() + first.size());
  in.rewind();
  try {
    secondModel.allocate(mesh.nx, mesh.ny, mesh.nz);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(secondModelPath);
    return;
  }
  modelCount = 1;
  if (first.compare(0, 6, "models") == 0) {
    platform_.message("Second model file should contain only one model\n" + secondModelPath, MessageKind::Plain);
  } else if (numbers == 3) {
    platform_.message("Second model cannot be a vector file.\n" + secondModelPath, MessageKind::Plain);
  } else {
    ModelReadSettings s;
    s.nx = mesh.nx;
    s.ny = mesh.ny;
    s.nz = mesh.nz;
    s.log = logSecondModel;
    s.tq5rMode = tq5rMode;
    s.threads = readThreads;
    ScalarRange r;
    secondModelLoaded = readModelFile(in, secondModelPath, s, &secondModel, r, platform_, ui_);
    secondMin = r.smallest;
    secondMax = r.largest;
  }
  if (!secondModelLoaded) secondModel.release();
}

LoadStatus Document::readFirstModel() {
  LineSource in(modelPath, readBuffers_);
  setDocumentPath();
  const auto fail = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    releaseModelData();
    return LoadStatus::Failed;
  };
  if (!in.isOpen()) return fail("Error reading model file " + modelPath);
  coreOffsets = {};
  const auto start = readModelFileStart(in);
  if (!start) return fail("");
  modelCount = start->header.modelCount;
  if (start->header.offsetsValid) coreOffsets = start->header.coreOffsets;
  isVectorModel = start->vector;
  const ModelReadSettings settings = readSettings(*start);
  const std::string readError = isVectorModel ? "Error reading vector file " : "Error reading model file ";
  // A header asking for more sets than the file can hold is refused before the sets are allocated.
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && remaining < minimumModelBytes(settings)) return fail(readError + modelPath);

  if (!allocateModels(settings.modelCount)) {
    reportOutOfMemory(modelPath);
    return fail("");
  }

  if (isVectorModel) {
    try {
      for (auto* v : {&vectorX, &vectorY, &vectorZ}) {
        v->resize(static_cast<std::size_t>(modelCount));
        for (auto& m : *v) m.allocate(mesh.nx, mesh.ny, mesh.nz);
      }
    } catch (const std::bad_alloc&) {
      reportOutOfMemory(modelPath);
      return fail("");
    }
    VectorRange r;
    if (!readVectorFile(in, modelPath, settings, models.data(), vectorX.data(), vectorY.data(), vectorZ.data(), r,
                        platform_, ui_))
      return fail("");
    modelMin = r.minimum;
    modelMax = r.maximum;
    modelLoaded = true;
    selectModel(0);
    return LoadStatus::Loaded;
  }

  ScalarRange r;
  if (!readModelFile(in, modelPath, settings, models.data(), r, platform_, ui_)) return fail("");
  selectModel(0);
  const float s = r.smallest;
  smallestValue = s;
  modelMin = r.secondSmallest;
  modelMax = r.largest;

  if (ignoreAnswerGiven) {
    if (ActiveMaskSet == 0)
      modelMin = s;
    else
      markIgnoredCells(s);
  } else {
    ActiveMaskSet = 0;
    if (10.0 * s > modelMin || s == 0 || tq5rMode) {
      modelMin = s;
    } else {
      const float shown = logModel ? std::pow(10.0f, s) : s;
      char question[200];
      std::snprintf(question, sizeof question,
                    "The model file has cells that are set to  %g.\nWould you like these cells to be ignored?",
                    static_cast<double>(shown));
      if (platform_.askYesNo(question)) {
        ActiveMaskSet = 1;
        markIgnoredCells(s);
      } else {
        modelMin = s;
      }
    }
  }
  if (modelMin != 0 && std::fabs(modelMin) < 1e-5 && modelMax / modelMin > 1000) modelMin = 0;
  modified = false;
  if (secondModelLoaded) {
    platform_.message("Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.",
                      MessageKind::Info);
    if (ActiveMaskSet) recomputeRange(Which::Second);
  }
  readElements();
  computeBottomMean();
  modelLoaded = true;
  return LoadStatus::Loaded;
}

void Document::markIgnoredCells(float s) {
  const ModelSet& m = currentModel();
  for (int i = 0; i < mesh.nx; ++i) {
    for (int j = 0; j < mesh.ny; ++j) {
      const float* col = m.column(i, j);
      int k = 0;
      while (k < mesh.nz && !(col[k] > s)) ++k;
      TopActiveIndex(i, j) = k;
    }
  }
}

void Document::readElements() {
  elements.clear();
  const std::string path = modelPath + "_loc";
  if (!fileExists(path)) return;
  std::string text;
  if (!readWholeFile(path, text)) {
    platform_.message("Error reading element file " + path, MessageKind::Warning);
    return;
  }
  if (auto e = readElementFile(text, path, mesh.nx, mesh.ny, mesh.nz, platform_)) elements = std::move(*e);
}

// Cells without data ("nan") are left out of the mean.
void Document::computeBottomMean() {
  const ModelSet& m = currentModel();
  double sum = 0;
  long long n = 0;
  for (int i = 0; i < mesh.nx; ++i) {
    for (int j = 0; j < mesh.ny; ++j) {
      const float v = m(i, j, mesh.nz - 1);
      if (std::isnan(v)) continue;
      sum += v;
      ++n;
    }
  }
  bottomMean = n > 0 ? static_cast<float>(sum / static_cast<double>(n)) : 0.0f;
}

LoadStatus Document::reload() {
  if (!modelLoaded) return LoadStatus::NotLoaded;
  if (modelPath.empty()) {
    platform_.message("The model was not read from a file: there is nothing to reload.", MessageKind::Info);
    return LoadStatus::NotLoaded;
  }
  if (octreeMode && octreeModelFile) return reloadOctree();
  WaitCursor wait(platform_);
  modelLoaded = false;
  const auto keep = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    modelLoaded = true;
    return LoadStatus::Failed;
  };
  LineSource in(modelPath, readBuffers_);
  if (!in.isOpen()) return keep("Error reading model file " + modelPath);
  const auto start = readModelFileStart(in);
  if (!start) return keep("");
  if (start->header.modelCount != modelCount || start->vector != isVectorModel) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "The model file now holds %i %s model%s; %i %s loaded.\nUse Open to load it.\n",
                  start->header.modelCount, start->vector ? "vector" : "scalar",
                  start->header.modelCount == 1 ? "" : "s", modelCount, modelCount == 1 ? "is" : "are");
    return keep(buf + modelPath);
  }
  const ModelReadSettings settings = readSettings(*start);
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && remaining < minimumModelBytes(settings))
    return keep((isVectorModel ? "Error reading vector file " : "Error reading model file ") + modelPath);

  // Read into fresh sets and swap them in on success.
  std::vector<ModelSet> fresh, fx, fy, fz;
  try {
    for (auto* v : {&fresh, &fx, &fy, &fz}) {
      if (v != &fresh && !isVectorModel) break;
      v->resize(static_cast<std::size_t>(modelCount));
      for (auto& m : *v) m.allocate(mesh.nx, mesh.ny, mesh.nz);
    }
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(modelPath);
    return keep("");
  }
  if (isVectorModel) {
    VectorRange r;
    if (!readVectorFile(in, modelPath, settings, fresh.data(), fx.data(), fy.data(), fz.data(), r, platform_, ui_))
      return keep("");
    models.swap(fresh);
    vectorX.swap(fx);
    vectorY.swap(fy);
    vectorZ.swap(fz);
    modelMin = r.minimum;
    modelMax = r.maximum;
  } else {
    ScalarRange r;
    if (!readModelFile(in, modelPath, settings, fresh.data(), r, platform_, ui_)) return keep("");
    models.swap(fresh);
    smallestValue = r.smallest;
    recomputeRange(Which::First);
  }
  coreOffsets = start->header.offsetsValid ? start->header.coreOffsets : std::array<int, 6>{};
  modelLoaded = true;
  modified = false;
  if (updateAllViews) updateAllViews(1);
  return LoadStatus::Loaded;
}

LoadStatus Document::buildModelWithoutFile() {
  if (!allocateModels(1)) {
    reportOutOfMemory(meshPath);
    releaseModelData();
    return LoadStatus::Failed;
  }
  selectModel(0);
  BackgroundChoice bg{0.0f, 0};
  if (logModel) bg = ui_.runBackgroundDialog(mesh, -4.0f).value_or(BackgroundChoice{-4.0f, 0});
  bg.topIndex = std::clamp(bg.topIndex, 0, mesh.nz);
  bottomMean = bg.value;
  const float air = logModel ? -8.0f : 0.0f;
  ModelSet& m = currentModel();
  for (int i = 0; i < mesh.nx; ++i) {
    for (int j = 0; j < mesh.ny; ++j) {
      TopActiveIndex(i, j) = bg.topIndex;
      float* col = m.column(i, j);
      std::fill(col, col + bg.topIndex, air);
      std::fill(col + bg.topIndex, col + mesh.nz, bg.value);
    }
  }
  modelMin = modelMax = bg.value;
  smallestValue = bg.topIndex > 0 ? std::min(air, bg.value) : bg.value;
  ActiveMaskSet = TopActiveIndex(0, 0) != 0;
  modelLoaded = true;
  isVectorModel = false;
  secondModelLoaded = false;
  modified = false;
  setDocumentPath();
  return LoadStatus::Loaded;
}

LoadStatus Document::open() {
  LoadDialogValues v{octreeMode, meshPath, modelPath, logModel, secondModelPath, logSecondModel};
  if (!ui_.runLoadModelDialog(v)) return LoadStatus::NotLoaded;
  octreeMode = v.octree;
  meshPath = v.meshPath.empty() ? v.meshPath : fullPath(v.meshPath);
  modelPath = v.modelPath.empty() ? v.modelPath : fullPath(v.modelPath);
  logModel = v.logModel;
  secondModelPath = v.secondModelPath.empty() ? v.secondModelPath : fullPath(v.secondModelPath);
  logSecondModel = v.logSecondModel;

  LoadStatus s;
  {
    WaitCursor wait(platform_);
    s = loadFiles();
  }
  if (s != LoadStatus::Fatal && updateAllViews) updateAllViews(0);
  return s;
}

LoadStatus Document::commandLineLoad(const CommandLine& c) {
  if (c.viewFile) {
    viewFileToOpen = c.fields >= 1 ? c.meshText : c.raw;
    return LoadStatus::NotLoaded;
  }
  if (c.log) logModel = true;
  if (c.mod2log) logSecondModel = true;
  if (c.tq5rdata) tq5rMode = true;
  if (c.fields != 1 && c.fields != 2) return LoadStatus::NotLoaded;

  if (c.openglhw) hardwareOpenGL = true;
  if (c.octree) octreeMode = true;

  meshPath = c.meshText;
  if (c.fields == 2 && c.modelText != "NOMODEL") {
    std::string model = c.modelText;
    const auto plus = model.find("++");
    if (plus != std::string::npos) {
      secondModelPath = fullPath(model.substr(plus + 2));
      model.resize(plus);
    }
    modelPath = fullPath(model);
  } else {
    modelPath.clear();
  }
  meshPath = fullPath(meshPath);

  const LoadStatus s = loadFiles();
  if (c.trnsmt) transmitterMode = true;
  return s;
}

LoadStatus Document::startUp(const std::string& raw) {
  const CommandLine c = parseCommandLine(raw);
  hardwareOpenGL = false;
  if (c.empty) {
    hardwareOpenGL = ui_.runBanner(hardwareOpenGL);
    return open();
  }
  if (c.noBanner) return open();
  return commandLineLoad(c);
}

// --- octree meshes -----------------------------------------------------------

LoadStatus Document::loadFiles() { return octreeMode ? octreeLoad() : loadModelSet(); }

bool Document::readOctreeMeshFile(OctreeMesh& octree, LoadStatus& failure) {
  failure = LoadStatus::Failed;
  if (!fileExists(meshPath)) {
    platform_.message("File not found: " + meshPath, MessageKind::Error);
    failure = LoadStatus::Fatal;
    return false;
  }
  LineSource in(meshPath, readBuffers_);
  if (!in.isOpen() || in.failed()) {
    platform_.message("Error reading octree mesh:\n" + meshPath + "\nThe file could not be read.\n",
                      MessageKind::Error);
    return false;
  }
  return readOctreeMesh(in, meshPath, octree, platform_, ui_);
}

LoadStatus Document::octreeLoad() {
  modelLoaded = false;
  differenceShown = false;
  octreeModelFile = false;
  if (hasModelData()) releaseModelData();
  elements.clear();
  coreOffsets = {};

  OctreeMesh octree;
  LoadStatus failure;
  if (!readOctreeMeshFile(octree, failure)) return failure;
  try {
    mesh = octreeRectMesh(octree);
    TopActiveIndex.allocate(mesh.nx, mesh.ny, 0);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(meshPath);
    releaseModelData();
    return LoadStatus::Failed;
  }
  transmitterMode = false;
  topographyPath.clear();
  ActiveMaskSet = 0;
  isVectorModel = false;
  secondModelLoaded = false;
  modified = false;
  if (!allocateModels(1)) {
    reportOutOfMemory(meshPath);
    releaseModelData();
    return LoadStatus::Failed;
  }
  selectModel(0);
  if (!checkOctreeTiling(octree, currentModel(), platform_)) {
    releaseModelData();
    return LoadStatus::Failed;
  }
  const LoadStatus s = readOctreeModels(octree);
  if (s != LoadStatus::Loaded) return s;
  if (secondModelLoaded)
    platform_.message("Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.",
                      MessageKind::Info);
  modelLoaded = true;
  return LoadStatus::Loaded;
}

namespace {

bool anyInactive(const Grid2<int>& top) {
  return std::any_of(top.data(), top.data() + top.size(), [](int a) { return a > 0; });
}

bool vectorLine(LineSource& in) {
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  in.rewind();
  return countLeadingNumbers(first.data(), first.data() + first.size()) == 3;
}

}  // namespace

LoadStatus Document::readOctreeModels(const OctreeMesh& octree) {
  OctreeRange r;
  if (modelPath.empty()) {
    logModel = true;
    syntheticOctreeModel(octree, currentModel(), r);
    modelMin = smallestValue = r.minimum;
    modelMax = r.maximum;
    computeBottomMean();
    setDocumentPath();
    return LoadStatus::Loaded;
  }
  if (!fileExists(modelPath)) {
    platform_.message("File not found: " + modelPath, MessageKind::Error);
    releaseModelData();
    return LoadStatus::Fatal;
  }
  {
    LineSource in(modelPath, readBuffers_);
    const auto fail = [&](const std::string& text) {
      if (!text.empty()) platform_.message(text, MessageKind::Error);
      releaseModelData();
      return LoadStatus::Failed;
    };
    if (!in.isOpen() || in.failed()) return fail("Error reading model file " + modelPath);
    isVectorModel = vectorLine(in);
    if (isVectorModel) {
      try {
        for (auto* v : {&vectorX, &vectorY, &vectorZ}) {
          v->resize(1);
          v->front().allocate(mesh.nx, mesh.ny, mesh.nz);
        }
      } catch (const std::bad_alloc&) {
        reportOutOfMemory(modelPath);
        return fail("");
      }
      if (!readOctreeVectorModel(in, modelPath, octree, models[0], vectorX[0], vectorY[0], vectorZ[0], logModel, r,
                                 platform_, ui_))
        return fail("");
    } else {
      Grid2<int> top;
      if (!readOctreeScalarModel(in, modelPath, octree, models[0], logModel, r, top, platform_, ui_))
        return fail("");
      TopActiveIndex = std::move(top);
    }
  }
  modelMin = smallestValue = r.minimum;
  modelMax = r.maximum;
  ActiveMaskSet = anyInactive(TopActiveIndex);
  octreeModelFile = true;
  setDocumentPath();
  if (!secondModelPath.empty()) readOctreeSecondModel(octree);
  if (!isVectorModel) computeBottomMean();
  return LoadStatus::Loaded;
}

void Document::readOctreeSecondModel(const OctreeMesh& octree) {
  LineSource in(secondModelPath, readBuffers_);
  if (!in.isOpen() || in.failed()) {
    platform_.message("Cannot open second model file\n" + secondModelPath, MessageKind::Plain);
    return;
  }
  if (vectorLine(in)) {
    platform_.message("Second model cannot be a vector file.\n" + secondModelPath, MessageKind::Plain);
    return;
  }
  try {
    secondModel.allocate(mesh.nx, mesh.ny, mesh.nz);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(secondModelPath);
    return;
  }
  OctreeRange r;
  Grid2<int> top;
  secondModelLoaded =
      readOctreeScalarModel(in, secondModelPath, octree, secondModel, logSecondModel, r, top, platform_, ui_);
  if (!secondModelLoaded) {
    secondModel.release();
    return;
  }
  secondMin = r.minimum;
  secondMax = r.maximum;
  TopActiveIndex = std::move(top);
  ActiveMaskSet = anyInactive(TopActiveIndex);
}

// Reload of an octree model: the cubes are read again from the mesh file. A
// failed reread leaves the loaded model as it was.
LoadStatus Document::reloadOctree() {
  WaitCursor wait(platform_);
  modelLoaded = false;
  const auto keep = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    modelLoaded = true;
    return LoadStatus::Failed;
  };
  OctreeMesh octree;
  LoadStatus failure;
  if (!readOctreeMeshFile(octree, failure)) return keep("");
  if (octree.nx != mesh.nx || octree.ny != mesh.ny || octree.nz != mesh.nz)
    return keep("The octree mesh file now describes a different mesh.\nUse Open to load it.\n" + meshPath);
  ModelSet fresh, fx, fy, fz;
  try {
    fresh.allocate(mesh.nx, mesh.ny, mesh.nz);
    if (isVectorModel)
      for (ModelSet* v : {&fx, &fy, &fz}) v->allocate(mesh.nx, mesh.ny, mesh.nz);
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(modelPath);
    return keep("");
  }
  if (!checkOctreeTiling(octree, fresh, platform_)) return keep("");
  LineSource in(modelPath, readBuffers_);
  if (!in.isOpen() || in.failed()) return keep("Error reading model file " + modelPath);
  if (vectorLine(in) != isVectorModel)
    return keep(std::string("The model file now holds a ") + (isVectorModel ? "scalar" : "vector") +
                " model; a " + (isVectorModel ? "vector" : "scalar") + " model is loaded.\nUse Open to load it.\n" +
                modelPath);
  OctreeRange r;
  Grid2<int> top;
  if (isVectorModel) {
    if (!readOctreeVectorModel(in, modelPath, octree, fresh, fx, fy, fz, logModel, r, platform_, ui_)) return keep("");
    vectorX[0] = std::move(fx);
    vectorY[0] = std::move(fy);
    vectorZ[0] = std::move(fz);
  } else {
    if (!readOctreeScalarModel(in, modelPath, octree, fresh, logModel, r, top, platform_, ui_)) return keep("");
    // A second model's air decides the active cells.
    if (!secondModelLoaded) {
      TopActiveIndex = std::move(top);
      ActiveMaskSet = anyInactive(TopActiveIndex);
    }
  }
  models[0] = std::move(fresh);
  modelMin = smallestValue = r.minimum;
  modelMax = r.maximum;
  if (!isVectorModel) computeBottomMean();
  modelLoaded = true;
  modified = false;
  if (updateAllViews) updateAllViews(1);
  return LoadStatus::Loaded;
}

// --- mesh creation and saving --------------------------------------------------

LoadStatus Document::loadCreatedMesh(const std::string& path) {
  meshPath = fullPath(path);
  modelPath.clear();
  octreeMode = false;
  LoadStatus s;
  {
    WaitCursor wait(platform_);
    s = loadModelSet();
  }
  if (s != LoadStatus::Fatal && updateAllViews) updateAllViews(0);
  return s;
}

namespace {

bool sameFile(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  return fullPath(a) == fullPath(b);
}

}  // namespace

bool Document::saveModel(const std::string& path, const SaveViewInfo& view, const SaveModelOptions& options) {
  if (!modelLoaded || isVectorModel || models.empty()) return false;
  const std::string target = fullPath(path);
  const bool core = options.mode == SaveMode::WithoutPadding;
  // The files the document was read from are not overwritten, except the model file by an entire model.
  std::string clash;
  for (const std::string* loaded : {&meshPath, &secondModelPath, &modelPath}) {
    if (loaded != &modelPath && sameFile(target, *loaded)) clash = target;
    if (core && sameFile(target + "_mesh", *loaded)) clash = target + "_mesh";
  }
  if (!clash.empty()) {
    platform_.message("Saving would overwrite a file the model was loaded from:\n" + clash +
                          "\nNothing was saved; choose another name.",
                      MessageKind::Error);
    return false;
  }
  WaitCursor wait(platform_);
  const SaveSource source{mesh, currentModel(), TopActiveIndex, logModel, elements};
  if (!writeSavedModel(source, target, view, options, platform_)) return false;
  if (!core && !options.visibleOnly) {
    modelPath = target;
    octreeModelFile = false;
    setDocumentPath();
    modified = false;
  }
  return true;
}

}  // namespace litho
