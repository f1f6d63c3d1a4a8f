#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/element.h"
#include "core/store/arrays.h"
#include "core/load/command_line.h"
#include "core/load/document_ui.h"
#include "core/io/model_reader.h"
#include "core/io/model_writer.h"
#include "core/store/rect_mesh.h"
#include "core/data/data_set.h"
#include "core/platform/platform.h"

namespace litho {

struct OctreeMesh;

enum class LoadStatus {
  Loaded,     // a complete mesh and model are present
  Failed,     // reported; the document holds nothing
  Fatal,      // a named file is missing: the program ends with status -1
  NotLoaded,  // nothing was attempted (dialog cancelled, nothing parsed)
};

enum class Which { First, Second };

// The document: sole owner of the mesh, the models and the file names.
class Document {
 public:
  Document(Platform& platform, DocumentUi& ui);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // --- store -------------------------------------------------------------
  RectMesh mesh;

  int modelCount = 0;
  std::vector<ModelSet> models;
  int currentModelIndex = 0;
  bool logModel = false;
  double modelMin = 0;
  double modelMax = 0;
  double smallestValue = 0;  // the smallest value s of a scalar model, before any range rule
  float bottomMean = 0;
  std::array<int, 6> coreOffsets{};  // west, east, south, north, bottom, top

  bool isVectorModel = false;
  std::vector<ModelSet> vectorX, vectorY, vectorZ;

  ModelSet secondModel;
  bool secondModelLoaded = false;
  bool logSecondModel = false;
  double secondMin = 0;
  double secondMax = 0;

  Grid2<int> TopActiveIndex;
  std::uint8_t ActiveMaskSet = 0;

  std::string meshPath, modelPath, secondModelPath, topographyPath, workingFolder;
  std::string title = "Untitled";

  bool modelLoaded = false;
  bool octreeMode = false;
  bool octreeModelFile = false;  // modelPath holds one value per octree cell (Reload reads it so)
  bool tq5rMode = false;
  bool transmitterMode = false;
  bool hardwareOpenGL = false;
  bool ignoreAnswerGiven = false;
  bool blockEditorOpen = false;
  bool modified = false;
  bool differenceShown = false;
  int readThreads = 0;  // threads for parsing model files; 0: as the machine allows

  std::vector<Element> elements;
  std::vector<DataSet> dataSets;
  int selectedDataSet = -1;

  ModelSet& currentModel() { return models[static_cast<std::size_t>(currentModelIndex)]; }
  const ModelSet& currentModel() const { return models[static_cast<std::size_t>(currentModelIndex)]; }
  bool hasModelData() const { return !models.empty() || !mesh.empty(); }

  // --- operations --------------------------------------------------------
  void selectModel(int m);
  void recomputeRange(Which which);
  void releaseModelData();

  // Start-up decision: banner and Open, Open alone, or the command-line load.
  LoadStatus startUp(const std::string& rawCommandLine);
  LoadStatus commandLineLoad(const CommandLine& c);
  // Open: the Load Model dialog, then the load.
  LoadStatus open();
  LoadStatus loadModelSet();
  // The load the start-up and Open run: the octree load in octreeMode, else loadModelSet.
  LoadStatus loadFiles();
  // meshPath as an octree mesh, modelPath (or a made-up model) and secondModelPath as octree models.
  LoadStatus octreeLoad();
  // Create mesh: loads the mesh file just written with a model made without a file.
  LoadStatus loadCreatedMesh(const std::string& path);
  // Save As: writes the current model to path (see writeSavedModel). Saving
  // the entire model renames the document to path and clears modified.
  bool saveModel(const std::string& path, const SaveViewInfo& view, const SaveModelOptions& options);
  // Reload: rereads modelPath into the loaded model. A failed reread
  // leaves the loaded model as it was.
  LoadStatus reload();
  // Reads meshPath into mesh; fatal is set when the file cannot be opened.
  bool readMeshFile(bool& fatal);

  // Title, working folder and current folder from modelPath (or meshPath).
  void setDocumentPath();
  void setTitle(const std::string& t);

  // Views are refreshed with a hint after loads (0: new load, 1: reload, 2: values changed).
  std::function<void(int hint)> updateAllViews;
  // Set when the command line names a view parameter file.
  std::string viewFileToOpen;

  Platform& platform() { return platform_; }
  DocumentUi& ui() { return ui_; }

 private:
  bool allocateModels(int count);
  LoadStatus buildModelWithoutFile();
  bool readOctreeMeshFile(OctreeMesh& octree, LoadStatus& failure);
  LoadStatus readOctreeModels(const OctreeMesh& octree);
  void readOctreeSecondModel(const OctreeMesh& octree);
  LoadStatus reloadOctree();
  void reportOutOfMemory(const std::string& path);
  void readSecondModel();
  LoadStatus readFirstModel();
  void markIgnoredCells(float s);
  void readElements();
  void computeBottomMean();

  // The model file's first line and what follows from it.
  struct ModelFileStart {
    ModelFileHeader header;
    bool vector = false;
  };
  std::optional<ModelFileStart> readModelFileStart(LineSource& in);
  ModelReadSettings readSettings(const ModelFileStart& start) const;

  // Kept from one load to the next so that its pages are not faulted in again.
  LineSource::Buffers readBuffers_;

  Platform& platform_;
  DocumentUi& ui_;
};

}  // namespace litho
