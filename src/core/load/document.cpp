#include "core/load/document.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <new>

#include "core/data/data_reader.h"
#include "core/edit/block_editor.h"
#include "core/io/element_file.h"
#include "core/io/mesh_reader.h"
#include "core/io/octree.h"
#include "core/io/scanf_number.h"
#include "core/io/file_system.h"
#include "core/load/memory.h"
#include "core/platform/printable.h"

namespace litho {


Document::Document(Platform& platform, DocumentUi& ui) : platform_(platform), ui_(ui) {}

Document::~Document() {
  struct stat st {};
  if (!tq5rTempFile_.empty() && ::stat(tq5rTempFile_.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
      st.st_dev == tq5rTempDevice_ && st.st_ino == tq5rTempInode_ &&
      static_cast<std::uint64_t>(st.st_size) == tq5rTempSize_ &&
      st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec == tq5rTempModified_)
    std::remove(tq5rTempFile_.c_str());
}

void Document::finishEditing() {
  if (editor_) editor_->close();
  editor_ = nullptr;
  blockEditorOpen_ = false;
}

ModelSet& Document::valuesForEdit(int m) {
  if (editor_ && editor_->modelIndex() == m) return editor_->committedValues();
  return store_.modelData(m);
}

void Document::releaseModelData() {
  finishEditing();
  history_.clear();
  changedValues_ = {};
  store_.release();
  modelLoaded_ = false;
  // An empty view is not titled with the file that failed to load.
  title_ = "Untitled";
  dataSets_.clear();
  selectedDataSet_ = -1;
}

void Document::setDataSets(std::vector<DataSet> sets) {
  dataSets_ = std::move(sets);
  selectedDataSet_ = -1;
}

void Document::adopt(ModelStore store, const LoadRequest& files) {
  finishEditing();
  history_.clear();
  changedValues_ = {};
  store_ = std::move(store);
  files_ = files;
  files_.ignoreSmallest.reset();
  elements_.clear();
  octreeModelFile_ = false;
  differenceShown_ = false;
  modified_ = false;
  modelLoaded_ = !store_.empty();
}

LoadStatus Document::load(const LoadRequest& request) {
  files_ = request;
  const LoadStatus s = loadFiles();
  files_.ignoreSmallest.reset();
  return s;
}

LoadStatus Document::loadOrKeep(const LoadRequest& request) {
  finishEditing();
  UndoHistory history = std::move(history_);
  history_ = UndoHistory();
  ModelStore store = std::move(store_);
  store_ = ModelStore();
  LoadRequest files = files_;
  std::vector<Element> elements = std::move(elements_);
  std::vector<DataSet> dataSets = std::move(dataSets_);
  const int selectedDataSet = selectedDataSet_;
  std::string title = title_, workingFolder = workingFolder_, topographyPath = topographyPath_;
  const bool loaded = modelLoaded_, octreeModelFile = octreeModelFile_, differenceShown = differenceShown_,
             modified = modified_, transmitter = transmitterMode_;
  const LoadStatus s = load(request);
  if (s == LoadStatus::Loaded) return s;
  history_ = std::move(history);
  store_ = std::move(store);
  files_ = std::move(files);
  elements_ = std::move(elements);
  dataSets_ = std::move(dataSets);
  selectedDataSet_ = selectedDataSet;
  title_ = std::move(title);
  topographyPath_ = std::move(topographyPath);
  modelLoaded_ = loaded;
  octreeModelFile_ = octreeModelFile;
  differenceShown_ = differenceShown;
  modified_ = modified;
  transmitterMode_ = transmitter;
  if (workingFolder_ != workingFolder) {
    workingFolder_ = std::move(workingFolder);
    if (!workingFolder_.empty()) platform_.setCurrentFolder(workingFolder_);
  }
  return s;
}

void Document::setTitle(const std::string& t) {
  if (t == "Untitled") {
    if (!modelPath().empty())
      title_ = modelPath();
    else if (!meshPath().empty())
      title_ = meshPath();
    return;
  }
  title_ = t;
}

void Document::setDocumentPath() {
  const std::string& path = modelPath().empty() ? meshPath() : modelPath();
  if (path.empty()) return;
  setTitle(fileExists(path) ? fullPath(path) : path);
  workingFolder_ = folderOf(title_);
  if (!workingFolder_.empty()) platform_.setCurrentFolder(workingFolder_);
}

void Document::reportOutOfMemory(const std::string& path, int count, bool vector, const std::string& why) {
  const RectMesh& mesh = store_.mesh();
  const std::string models = (count == 1 ? std::string("a") : std::to_string(count)) + (vector ? " vector" : "") +
                             (count == 1 ? " model" : " models");
  char buf[200];
  std::snprintf(buf, sizeof buf, "Not enough memory for %s of %i x %i x %i cells", models.c_str(), mesh.nx, mesh.ny,
                mesh.nz);
  platform_.message(buf + (why.empty() ? std::string() : ": " + why) + ".\n" + printable(path), MessageKind::Error);
}

bool Document::memoryForModels(int count, bool vector, bool activeCells, const std::string& path) {
  const RectMesh& m = store_.mesh();
  const unsigned long long sets = bytesOf(count, vector ? 4 : 1);
  const unsigned long long bytes =
      bytesOf(sets, m.nx, m.ny, bytesOf(m.nz, sizeof(float))) + (activeCells ? bytesOf(m.nx, m.ny, sizeof(int)) : 0);
  const auto why = memoryShortfall(bytes);
  if (why) reportOutOfMemory(path, count, vector, *why);
  return !why;
}

bool Document::readMeshFile(bool& fatal) {
  LineSource in(meshPath(), readBuffers_);
  fatal = in.missing();
  if (fatal) {
    platform_.message("File not found: " + printable(meshPath()), MessageKind::Error);
    return false;
  }
  RectMesh mesh;
  if (!litho::readMeshFile(in, meshPath(), mesh, platform_)) return false;
  store_.setMesh(std::move(mesh));
  return true;
}

bool Document::allocateModels(int count, bool vector, const std::string& path) {
  if (!memoryForModels(count, vector, store_.topActiveIndex().empty(), path)) return false;
  if (store_.allocateModels(count, vector)) return true;
  reportOutOfMemory(path, count, vector);
  return false;
}

LoadStatus Document::loadModelSet() {
  modelLoaded_ = false;
  octreeModelFile_ = false;
  differenceShown_ = false;
  releaseModelData();
  elements_.clear();

  bool fatal = false;
  if (!readMeshFile(fatal)) return fatal ? LoadStatus::Fatal : LoadStatus::Failed;

  transmitterMode_ = false;
  topographyPath_.clear();
  // The active-cell counts are allocated with the models, once the model file is known to fit the mesh.
  if (!modelPath().empty() && !secondModelPath().empty()) readSecondModel();

  if (modelPath().empty()) return buildModelWithoutFile();
  return readFirstModel();
}

std::optional<Document::ModelFileStart> Document::readModelFileStart(LineSource& in) {
  std::string_view line;
  const RectMesh& mesh = store_.mesh();
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  if (crOnlyLineEnds(first)) {
    platform_.message(kCrOnlyLineEnds + std::string("Error reading model file ") + printable(modelPath()),
                      MessageKind::Error);
    return std::nullopt;
  }
  const auto header = parseModelFileHeader(first, mesh.nx, mesh.ny, mesh.nz, modelPath(), platform_);
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
  s.nx = mesh().nx;
  s.ny = mesh().ny;
  s.nz = mesh().nz;
  s.modelCount = start.header.modelCount;
  s.coreOffsets = start.header.coreOffsets;
  s.offsetsValid = start.header.offsetsValid;
  s.log = logModel();
  s.tq5rMode = tq5rMode_;
  s.threads = readThreads_;
  return s;
}

void Document::readSecondModel() {
  LineSource in(secondModelPath(), readBuffers_);
  if (!in.isOpen()) {
    platform_.message(in.problem() + "\nCannot open second model file\n" + printable(secondModelPath()),
                      MessageKind::Plain);
    return;
  }
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const int numbers = countLeadingNumbers(first.data(), first.data() + first.size());
  in.rewind();
  if (crOnlyLineEnds(first)) {
    platform_.message(kCrOnlyLineEnds + std::string("Error reading model file ") + printable(secondModelPath()),
                      MessageKind::Plain);
    return;
  }
  if (!memoryForModels(1, false, false, secondModelPath())) return;
  if (!store_.allocateSecondModel()) {
    reportOutOfMemory(secondModelPath(), 1, false);
    return;
  }
  bool loaded = false;
  if (first.compare(0, 6, "models") == 0) {
    platform_.message("Second model file should contain only one model\n" + printable(secondModelPath()),
                      MessageKind::Plain);
  } else if (numbers == 3) {
    platform_.message("Second model cannot be a vector file.\n" + printable(secondModelPath()), MessageKind::Plain);
  } else {
    ModelReadSettings s;
    s.nx = mesh().nx;
    s.ny = mesh().ny;
    s.nz = mesh().nz;
    s.log = logSecondModel();
    s.tq5rMode = tq5rMode_;
    s.threads = readThreads_;
    ScalarRange r;
    loaded = readModelFile(in, secondModelPath(), s, &store_.secondModelData(), r, platform_, ui_);
    store_.setSecondRange(r.smallest, r.largest);
  }
  store_.setSecondModelLoaded(loaded);
}

LoadStatus Document::readFirstModel() {
  LineSource in(modelPath(), readBuffers_);
  if (in.missing()) {
    platform_.message("File not found: " + printable(modelPath()), MessageKind::Error);
    releaseModelData();
    return LoadStatus::Fatal;
  }
  setDocumentPath();
  const auto fail = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    releaseModelData();
    return LoadStatus::Failed;
  };
  if (!in.isOpen()) return fail(in.problem() + "\nError reading model file " + printable(modelPath()));
  store_.setCoreOffsets({});
  const auto start = readModelFileStart(in);
  if (!start) return fail("");
  store_.setCoreOffsets(start->header.sideOffsets());
  const bool vector = start->vector;
  const ModelReadSettings settings = readSettings(*start);
  const std::string readError = vector ? "Error reading vector file " : "Error reading model file ";
  // A header asking for more sets than the file can hold is refused before the sets are allocated.
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && remaining < minimumModelBytes(settings)) return fail(readError + printable(modelPath()));

  if (!allocateModels(settings.modelCount, vector, modelPath())) return fail("");
  ModelSet* sets[4] = {store_.modelArray(), store_.vectorArray(0), store_.vectorArray(1), store_.vectorArray(2)};

  if (vector) {
    VectorRange r;
    if (!readVectorFile(in, modelPath(), settings, sets[0], sets[1], sets[2], sets[3], r, platform_, ui_))
      return fail("");
    store_.setRange(r.minimum, r.maximum);
    modified_ = false;
    modelLoaded_ = true;
    return LoadStatus::Loaded;
  }

  ScalarRange r;
  if (!readModelFile(in, modelPath(), settings, sets[0], r, platform_, ui_)) return fail("");
  const float s = r.smallest;
  store_.setSmallestValue(s);
  double lo = r.secondSmallest;
  const double hi = r.largest;

  if (files_.ignoreSmallest) {
    store_.setActiveMask(*files_.ignoreSmallest);
    if (*files_.ignoreSmallest)
      store_.markCellsNotAbove(s);
    else
      lo = s;
  } else {
    store_.setActiveMask(false);
    if (10.0 * s > lo || s == 0 || tq5rMode_) {
      lo = s;
    } else {
      const float shown = logModel() ? std::pow(10.0f, s) : s;
      char question[200];
      std::snprintf(question, sizeof question,
                    "The model file has cells that are set to  %g.\nWould you like these cells to be ignored?",
                    static_cast<double>(shown));
      if (platform_.askYesNo(question)) {
        store_.setActiveMask(true);
        store_.markCellsNotAbove(s);
      } else {
        lo = s;
      }
    }
  }
  if (lo != 0 && std::fabs(lo) < 1e-5 && hi / lo > 1000) lo = 0;
  store_.setRange(lo, hi);
  modified_ = false;
  if (store_.hasSecondModel()) {
    platform_.message("Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.",
                      MessageKind::Info);
    if (store_.activeMaskSet()) store_.recomputeRange(Which::Second);
  }
  readElements();
  store_.computeBottomMean();
  modelLoaded_ = true;
  return LoadStatus::Loaded;
}

void Document::readElements() {
  elements_.clear();
  const std::string path = modelPath() + "_loc";
  LineSource in(path, readBuffers_);
  if (in.missing()) return;
  if (!in.isOpen()) {
    platform_.message(in.problem() + "\nError reading element file " + printable(path), MessageKind::Warning);
    return;
  }
  if (auto e = readElementFile(in, path, mesh().nx, mesh().ny, mesh().nz, platform_)) elements_ = std::move(*e);
}

LoadStatus Document::reload() {
  if (!modelLoaded_) return LoadStatus::NotLoaded;
  if (modelPath().empty()) {
    platform_.message("The model was not read from a file: there is nothing to reload.", MessageKind::Info);
    return LoadStatus::NotLoaded;
  }
  finishEditing();
  if (octreeMode() && octreeModelFile_) return reloadOctree();
  WaitCursor wait(platform_);
  modelLoaded_ = false;
  const auto keep = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    modelLoaded_ = true;
    return LoadStatus::Failed;
  };
  const bool vector = store_.isVector();
  const int count = store_.modelCount();
  LineSource in(modelPath(), readBuffers_);
  if (!in.isOpen()) return keep(in.problem() + "\nError reading model file " + printable(modelPath()));
  const auto start = readModelFileStart(in);
  if (!start) return keep("");
  if (start->header.modelCount != count || start->vector != vector) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "The model file now holds %i %s model%s; %i %s loaded.\nUse Open to load it.\n",
                  start->header.modelCount, start->vector ? "vector" : "scalar",
                  start->header.modelCount == 1 ? "" : "s", count, count == 1 ? "is" : "are");
    return keep(buf + printable(modelPath()));
  }
  const ModelReadSettings settings = readSettings(*start);
  const long long remaining = in.remainingBytes();
  if (remaining >= 0 && remaining < minimumModelBytes(settings))
    return keep((vector ? "Error reading vector file " : "Error reading model file ") + printable(modelPath()));

  // Read into fresh sets and swap them in on success; the loaded ones stay meanwhile.
  if (!memoryForModels(count, vector, false, modelPath())) return keep("");
  std::vector<ModelSet> fresh[4];
  ModelSet* sets[4] = {};
  try {
    for (int v = 0; v < (vector ? 4 : 1); ++v) {
      fresh[v].resize(static_cast<std::size_t>(count));
      for (auto& m : fresh[v]) m.allocate(mesh().nx, mesh().ny, mesh().nz);
      sets[v] = fresh[v].data();
    }
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(modelPath(), count, vector);
    return keep("");
  }
  if (vector) {
    VectorRange r;
    if (!readVectorFile(in, modelPath(), settings, sets[0], sets[1], sets[2], sets[3], r, platform_, ui_))
      return keep("");
    store_.replaceModels(std::move(fresh[0]), std::move(fresh[1]), std::move(fresh[2]), std::move(fresh[3]));
    store_.setRange(r.minimum, r.maximum);
  } else {
    ScalarRange r;
    if (!readModelFile(in, modelPath(), settings, sets[0], r, platform_, ui_)) return keep("");
    store_.replaceModels(std::move(fresh[0]), {}, {}, {});
    store_.setSmallestValue(r.smallest);
    store_.recomputeRange(Which::First);
  }
  store_.setCoreOffsets(start->header.sideOffsets());
  modelLoaded_ = true;
  modified_ = false;
  history_.clear();
  if (updateAllViews) updateAllViews(ViewRefresh::Reload);
  return LoadStatus::Loaded;
}

std::optional<TopographyResult> Document::loadTopography(const std::string& path) {
  if (!modelLoaded_) return std::nullopt;
  topographyPath_ = path;
  auto result = litho::loadTopography(path, mesh(), platform_, &readBuffers_);
  if (!result) return std::nullopt;
  store_.setTopActiveIndex(std::move(result->topActiveIndex), true);
  // With every cell in the air there is no range to take: the scales keep the old one.
  if (result->activeCells > 0) {
    store_.recomputeRange(Which::First);
    if (store_.hasSecondModel()) store_.recomputeRange(Which::Second);
  }
  return result;
}

LoadStatus Document::buildModelWithoutFile() {
  if (!allocateModels(1, false, meshPath())) {
    releaseModelData();
    return LoadStatus::Failed;
  }
  store_.setCoreOffsets({});
  const RectMesh& mesh = store_.mesh();
  BackgroundChoice bg{0.0f, 0};
  if (logModel()) bg = ui_.runBackgroundDialog(mesh, -4.0f).value_or(BackgroundChoice{-4.0f, 0});
  bg.topIndex = std::clamp(bg.topIndex, 0, mesh.nz);
  store_.setBottomMean(bg.value);
  const float air = logModel() ? -8.0f : 0.0f;
  ModelSet& m = store_.modelData(0);
  Grid2<int>& top = store_.topActiveData();
  for (int i = 0; i < mesh.nx; ++i) {
    for (int j = 0; j < mesh.ny; ++j) {
      top(i, j) = bg.topIndex;
      float* col = m.column(i, j);
      std::fill(col, col + bg.topIndex, air);
      std::fill(col + bg.topIndex, col + mesh.nz, bg.value);
    }
  }
  store_.setRange(bg.value, bg.value);
  store_.setSmallestValue(bg.topIndex > 0 ? std::min(air, bg.value) : bg.value);
  store_.setActiveMask(bg.topIndex != 0);
  store_.dropSecondModel();
  modelLoaded_ = true;
  modified_ = false;
  setDocumentPath();
  return LoadStatus::Loaded;
}

LoadStatus Document::open() {
  LoadDialogValues v{octreeMode(), meshPath(), modelPath(), logModel(), secondModelPath(), logSecondModel()};
  if (!ui_.runLoadModelDialog(v)) return LoadStatus::NotLoaded;
  files_.octree = v.octree;
  files_.meshPath = v.meshPath.empty() ? v.meshPath : fullPath(v.meshPath);
  files_.modelPath = v.modelPath.empty() ? v.modelPath : fullPath(v.modelPath);
  files_.logModel = v.logModel;
  files_.secondModelPath = v.secondModelPath.empty() ? v.secondModelPath : fullPath(v.secondModelPath);
  files_.logSecondModel = v.logSecondModel;

  LoadStatus s;
  {
    WaitCursor wait(platform_);
    s = loadFiles();
  }
  if (updateAllViews) updateAllViews(ViewRefresh::NewLoad);
  return s;
}

LoadStatus Document::commandLineLoad(const CommandLine& c) {
  if (!c.viewFile.empty()) {
    viewFileToOpen = c.viewFile;
    return LoadStatus::NotLoaded;
  }
  if (c.log) files_.logModel = true;
  if (c.mod2log) files_.logSecondModel = true;
  if (c.tq5rdata) tq5rMode_ = true;
  if (c.fields != 1 && c.fields != 2) return LoadStatus::NotLoaded;

  if (c.openglhw) hardwareOpenGL_ = true;
  if (c.octree) files_.octree = true;
  if (!c.extra.empty()) {
    std::string names;
    for (const std::string& e : c.extra) names += "\n" + e;
    platform_.message("Only a mesh and a model file are read from the command line; ignored:" + names,
                      MessageKind::Warning);
  }

  if (c.fields == 2 && c.modelText != "NOMODEL") {
    std::string model = c.modelText;
    const auto plus = model.find("++");
    if (plus != std::string::npos) {
      files_.secondModelPath = fullPath(model.substr(plus + 2));
      model.resize(plus);
    }
    files_.modelPath = fullPath(model);
  } else {
    files_.modelPath.clear();
  }
  files_.meshPath = fullPath(c.meshText);
  const std::string& model = files_.modelPath;
  struct stat st {};
  if (tq5rMode_ && model.size() >= 4 && model.compare(model.size() - 4, 4, ".fld") == 0 &&
      ::stat(model.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    tq5rTempFile_ = model;
    tq5rTempDevice_ = st.st_dev;
    tq5rTempInode_ = st.st_ino;
    tq5rTempSize_ = static_cast<std::uint64_t>(st.st_size);
    tq5rTempModified_ = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
  }

  // Read now, from the folder the program started in; the load changes the
  // folder and empties the data sets, so the set joins the document after it.
  std::optional<DataSet> transmitter;
  if (c.trnsmt) transmitter = readTransmitterData(platform_);

  const LoadStatus s = loadFiles();
  if (transmitter && modelLoaded_) dataSets_.push_back(std::move(*transmitter));
  if (c.trnsmt) transmitterMode_ = true;
  return s;
}

LoadStatus Document::startUp(const std::vector<std::string>& args) {
  const CommandLine c = parseArguments(args);
  hardwareOpenGL_ = false;
  if (c.empty) {
    hardwareOpenGL_ = ui_.runBanner(hardwareOpenGL_);
    return open();
  }
  if (c.noBanner) return open();
  return commandLineLoad(c);
}

// --- octree meshes -----------------------------------------------------------

LoadStatus Document::loadFiles() { return octreeMode() ? octreeLoad() : loadModelSet(); }

bool Document::readOctreeMeshFile(OctreeMesh& octree, LoadStatus& failure) {
  failure = LoadStatus::Failed;
  LineSource in(meshPath(), readBuffers_);
  if (in.missing()) {
    platform_.message("File not found: " + printable(meshPath()), MessageKind::Error);
    failure = LoadStatus::Fatal;
    return false;
  }
  if (!in.isOpen()) {
    platform_.message("Error reading octree mesh:\n" + printable(meshPath()) + "\n" + in.problem() + "\n",
                      MessageKind::Error);
    return false;
  }
  return readOctreeMesh(in, meshPath(), octree, platform_, ui_);
}

LoadStatus Document::octreeLoad() {
  modelLoaded_ = false;
  differenceShown_ = false;
  octreeModelFile_ = false;
  releaseModelData();
  elements_.clear();

  OctreeMesh octree;
  LoadStatus failure;
  if (!readOctreeMeshFile(octree, failure)) return failure;
  try {
    store_.setMesh(octreeRectMesh(octree));
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(meshPath(), 1, false);
    releaseModelData();
    return LoadStatus::Failed;
  }
  transmitterMode_ = false;
  topographyPath_.clear();
  modified_ = false;
  if (!allocateModels(1, false, meshPath())) {
    releaseModelData();
    return LoadStatus::Failed;
  }
  if (!checkOctreeTiling(octree, store_.modelData(0), platform_)) {
    releaseModelData();
    return LoadStatus::Failed;
  }
  const LoadStatus s = readOctreeModels(octree);
  if (s != LoadStatus::Loaded) return s;
  if (store_.hasSecondModel())
    platform_.message("Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.",
                      MessageKind::Info);
  modelLoaded_ = true;
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
  if (modelPath().empty()) {
    files_.logModel = true;
    syntheticOctreeModel(octree, store_.modelData(0), r);
    store_.setRange(r.minimum, r.maximum);
    store_.setSmallestValue(r.minimum);
    store_.computeBottomMean();
    setDocumentPath();
    return LoadStatus::Loaded;
  }
  {
    LineSource in(modelPath(), readBuffers_);
    if (in.missing()) {
      platform_.message("File not found: " + printable(modelPath()), MessageKind::Error);
      releaseModelData();
      return LoadStatus::Fatal;
    }
    const auto fail = [&](const std::string& text) {
      if (!text.empty()) platform_.message(text, MessageKind::Error);
      releaseModelData();
      return LoadStatus::Failed;
    };
    if (!in.isOpen()) return fail(in.problem() + "\nError reading model file " + printable(modelPath()));
    if (vectorLine(in)) {
      if (!allocateModels(1, true, modelPath())) return fail("");
      if (!readOctreeVectorModel(in, modelPath(), octree, store_.modelData(0), store_.vectorData(0, 0),
                                 store_.vectorData(1, 0), store_.vectorData(2, 0), logModel(), r, platform_, ui_))
        return fail("");
    } else {
      Grid2<int> top;
      if (!readOctreeScalarModel(in, modelPath(), octree, store_.modelData(0), logModel(), r, top, platform_, ui_))
        return fail("");
      const bool mask = anyInactive(top);
      store_.setTopActiveIndex(std::move(top), mask);
    }
  }
  store_.setRange(r.minimum, r.maximum);
  store_.setSmallestValue(r.minimum);
  octreeModelFile_ = true;
  setDocumentPath();
  if (!secondModelPath().empty()) readOctreeSecondModel(octree);
  if (!store_.isVector()) store_.computeBottomMean();
  return LoadStatus::Loaded;
}

void Document::readOctreeSecondModel(const OctreeMesh& octree) {
  LineSource in(secondModelPath(), readBuffers_);
  if (!in.isOpen()) {
    platform_.message(in.problem() + "\nCannot open second model file\n" + printable(secondModelPath()),
                      MessageKind::Plain);
    return;
  }
  if (vectorLine(in)) {
    platform_.message("Second model cannot be a vector file.\n" + printable(secondModelPath()), MessageKind::Plain);
    return;
  }
  if (!memoryForModels(1, false, false, secondModelPath())) return;
  if (!store_.allocateSecondModel()) {
    reportOutOfMemory(secondModelPath(), 1, false);
    return;
  }
  OctreeRange r;
  Grid2<int> top;
  const bool loaded = readOctreeScalarModel(in, secondModelPath(), octree, store_.secondModelData(),
                                            logSecondModel(), r, top, platform_, ui_);
  store_.setSecondModelLoaded(loaded);
  if (!loaded) return;
  store_.setSecondRange(r.minimum, r.maximum);
  const bool mask = anyInactive(top);
  store_.setTopActiveIndex(std::move(top), mask);
}

// Reload of an octree model: the cubes are read again from the mesh file. A
// failed reread leaves the loaded model as it was.
LoadStatus Document::reloadOctree() {
  WaitCursor wait(platform_);
  modelLoaded_ = false;
  const auto keep = [&](const std::string& text) {
    if (!text.empty()) platform_.message(text, MessageKind::Error);
    modelLoaded_ = true;
    return LoadStatus::Failed;
  };
  const RectMesh& mesh = store_.mesh();
  const bool vector = store_.isVector();
  OctreeMesh octree;
  LoadStatus failure;
  if (!readOctreeMeshFile(octree, failure)) return keep("");
  if (octree.nx != mesh.nx || octree.ny != mesh.ny || octree.nz != mesh.nz)
    return keep("The octree mesh file now describes a different mesh.\nUse Open to load it.\n" +
                printable(meshPath()));
  if (!memoryForModels(1, vector, false, modelPath())) return keep("");
  std::vector<ModelSet> fresh[4];
  try {
    for (int v = 0; v < (vector ? 4 : 1); ++v) {
      fresh[v].resize(1);
      fresh[v][0].allocate(mesh.nx, mesh.ny, mesh.nz);
    }
  } catch (const std::bad_alloc&) {
    reportOutOfMemory(modelPath(), 1, vector);
    return keep("");
  }
  if (!checkOctreeTiling(octree, fresh[0][0], platform_)) return keep("");
  LineSource in(modelPath(), readBuffers_);
  if (!in.isOpen()) return keep(in.problem() + "\nError reading model file " + printable(modelPath()));
  if (vectorLine(in) != vector)
    return keep(std::string("The model file now holds a ") + (vector ? "scalar" : "vector") + " model; a " +
                (vector ? "vector" : "scalar") + " model is loaded.\nUse Open to load it.\n" + printable(modelPath()));
  OctreeRange r;
  Grid2<int> top;
  if (vector) {
    if (!readOctreeVectorModel(in, modelPath(), octree, fresh[0][0], fresh[1][0], fresh[2][0], fresh[3][0],
                               logModel(), r, platform_, ui_))
      return keep("");
  } else {
    if (!readOctreeScalarModel(in, modelPath(), octree, fresh[0][0], logModel(), r, top, platform_, ui_))
      return keep("");
    // A second model's air decides the active cells.
    if (!store_.hasSecondModel()) {
      const bool mask = anyInactive(top);
      store_.setTopActiveIndex(std::move(top), mask);
    }
  }
  store_.replaceModels(std::move(fresh[0]), std::move(fresh[1]), std::move(fresh[2]), std::move(fresh[3]));
  store_.setRange(r.minimum, r.maximum);
  store_.setSmallestValue(r.minimum);
  if (!vector) store_.computeBottomMean();
  modelLoaded_ = true;
  modified_ = false;
  history_.clear();
  if (updateAllViews) updateAllViews(ViewRefresh::Reload);
  return LoadStatus::Loaded;
}

// --- mesh creation and saving --------------------------------------------------

LoadStatus Document::loadCreatedMesh(const std::string& path) {
  files_.meshPath = fullPath(path);
  files_.modelPath.clear();
  files_.octree = false;
  LoadStatus s;
  {
    WaitCursor wait(platform_);
    s = loadModelSet();
  }
  if (updateAllViews) updateAllViews(ViewRefresh::NewLoad);
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
  if (!modelLoaded_ || store_.isVector() || store_.empty()) return false;
  const std::string target = fullPath(path);
  const bool core = options.mode == SaveMode::WithoutPadding;
  // The files the document was read from are not overwritten, except the model
  // file by an entire model, which the document then is.
  std::string clash;
  for (const std::string* loaded : {&files_.meshPath, &files_.secondModelPath, &files_.modelPath}) {
    if ((core || loaded != &files_.modelPath) && sameFile(target, *loaded)) clash = target;
    if (core && sameFile(target + "_mesh", *loaded)) clash = target + "_mesh";
  }
  if (!clash.empty()) {
    platform_.message("Saving would overwrite a file the model was loaded from:\n" + clash +
                          "\nNothing was saved; choose another name.",
                      MessageKind::Error);
    return false;
  }
  WaitCursor wait(platform_);
  const SaveSource source{mesh(), currentModel(), store_.topActiveIndex(), logModel(), elements_};
  const SaveOutcome outcome = writeSavedModel(source, target, view, options, platform_);
  if (outcome == SaveOutcome::NothingSaved) return false;
  // The model file now holds this model, even when its element file could not follow.
  if (!core && !options.visibleOnly) {
    files_.modelPath = target;
    octreeModelFile_ = false;
    setDocumentPath();
    modified_ = false;
  }
  return outcome == SaveOutcome::AllSaved;
}

}  // namespace litho
