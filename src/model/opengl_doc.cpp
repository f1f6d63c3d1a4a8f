#include "model/opengl_doc.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "model/mesh_reader.h"
#include "platform/file_system.h"

namespace litho {

COpenGLDoc::COpenGLDoc(Platform& platform, DocumentUi& ui) : platform_(platform), ui_(ui) {}

COpenGLDoc::~COpenGLDoc() {
  if (tq5rMode && modelPath.size() >= 4 && modelPath.compare(modelPath.size() - 4, 4, ".fld") == 0)
    std::remove(modelPath.c_str());
  releaseModelData();
}

void COpenGLDoc::selectModel(int m) {
  if (m < 0 || m >= static_cast<int>(models.size())) return;
  currentModelIndex = m;
}

void COpenGLDoc::recomputeRange(Which which) {
  const ModelSet& set = which == Which::First ? currentModel() : secondModel;
  double lo = static_cast<double>(kNoDataValue);
  double hi = -static_cast<double>(kNoDataValue);
  if (!set.empty() && !TopActiveIndex.empty()) {
    for (int i = 0; i < mesh.nx; ++i) {
      for (int j = 0; j < mesh.ny; ++j) {
        const float* col = set.column(i, j);
        for (int k = std::max(TopActiveIndex(i, j), 0); k < mesh.nz; ++k) {
          const double v = col[k];
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

void COpenGLDoc::releaseModelData() {
  mesh.release();
  for (auto& m : models) m.release();
  models.clear();
  modelCount = 0;
  currentModelIndex = 0;
  TopActiveIndex.release();
  secondModel.release();
  if (isVectorModel) {
    vectorX.clear();
    vectorY.clear();
    vectorZ.clear();
  }
  dataSets.clear();
  selectedDataSet = -1;
}

void COpenGLDoc::setTitle(const std::string& t) {
  if (t == "Untitled") {
    if (!modelPath.empty())
      title = modelPath;
    else if (!meshPath.empty())
      title = meshPath;
    return;
  }
  title = t;
}

void COpenGLDoc::setDocumentPath() {
  const std::string& path = modelPath.empty() ? meshPath : modelPath;
  if (path.empty()) return;
  setTitle(fileExists(path) ? fullPath(path) : path);
  workingFolder = folderOf(title);
  if (!workingFolder.empty()) platform_.setCurrentFolder(workingFolder);
}

void COpenGLDoc::reportOutOfMemory(const std::string& path) {
  char buf[200];
  std::snprintf(buf, sizeof buf, "Not enough memory for a model of %i x %i x %i cells.\n", mesh.nx, mesh.ny,
                mesh.nz);
  platform_.message(buf + path, MessageKind::Error);
}

bool COpenGLDoc::readMeshFile(bool& fatal) {
  fatal = false;
  std::string text;
  if (!readWholeFile(meshPath, text)) {
    platform_.message("File not found: " + meshPath, MessageKind::Error);
    fatal = true;
    return false;
  }
  return readMeshText(text, meshPath, mesh, platform_);
}

bool COpenGLDoc::allocateModels(int count) {
  try {
    models.clear();
    models.resize(static_cast<std::size_t>(count));
    for (auto& m : models) m.allocate(mesh.nx, mesh.ny, mesh.nz);
    modelCount = count;
    return true;
  } catch (const std::bad_alloc&) {
    models.clear();
    modelCount = 0;
    return false;
  }
}

LoadStatus COpenGLDoc::loadModelSet() {
  modelLoaded = false;
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

  if (modelPath.empty()) return buildModelWithoutFile();

  if (!fileExists(modelPath)) {
    platform_.message("File not found: " + modelPath, MessageKind::Error);
    releaseModelData();
    return LoadStatus::Fatal;
  }
  // Model files are not read yet: the mesh gets a constant model.
  setDocumentPath();
  const std::string keep = modelPath;
  modelPath.clear();
  const LoadStatus s = buildModelWithoutFile();
  modelPath = keep;
  setDocumentPath();
  return s;
}

LoadStatus COpenGLDoc::buildModelWithoutFile() {
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
  ActiveMaskSet = TopActiveIndex(0, 0) != 0;
  modelLoaded = true;
  isVectorModel = false;
  secondModelLoaded = false;
  modified = false;
  setDocumentPath();
  return LoadStatus::Loaded;
}

LoadStatus COpenGLDoc::open() {
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
    if (octreeMode) {
      platform_.message("Octree meshes cannot be read by this version.", MessageKind::Error);
      s = LoadStatus::Failed;
    } else {
      s = loadModelSet();
    }
  }
  if (s != LoadStatus::Fatal && updateAllViews) updateAllViews(0);
  return s;
}

LoadStatus COpenGLDoc::commandLineLoad(const CommandLine& c) {
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

  LoadStatus s;
  if (octreeMode) {
    platform_.message("Octree meshes cannot be read by this version.", MessageKind::Error);
    s = LoadStatus::Failed;
  } else {
    s = loadModelSet();
  }
  if (c.trnsmt) transmitterMode = true;
  return s;
}

LoadStatus COpenGLDoc::startUp(const std::string& raw) {
  const CommandLine c = parseCommandLine(raw);
  hardwareOpenGL = false;
  if (c.empty) {
    hardwareOpenGL = ui_.runBanner(hardwareOpenGL);
    return open();
  }
  if (c.noBanner) return open();
  return commandLineLoad(c);
}

}  // namespace litho
