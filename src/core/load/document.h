#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/edit/element.h"
#include "core/edit/undo_history.h"
#include "core/store/cell_box.h"
#include "core/store/arrays.h"
#include "core/load/command_line.h"
#include "core/load/document_ui.h"
#include "core/io/model_reader.h"
#include "core/io/model_writer.h"
#include "core/store/model_store.h"
#include "core/store/rect_mesh.h"
#include "core/topography/topography.h"
#include "core/data/data_set.h"
#include "core/platform/platform.h"

namespace litho {

class BlockEditor;
struct OctreeMesh;

enum class LoadStatus {
  Loaded,     // a complete mesh and model are present
  Failed,     // reported; the document holds nothing
  Fatal,      // a named file is missing: the program ends with status -1
  NotLoaded,  // nothing was attempted (dialog cancelled, nothing parsed)
};

// The files of a load and how they are read.
struct LoadRequest {
  bool octree = false;
  std::string meshPath;
  std::string modelPath;  // empty: a model made without a file
  bool logModel = false;
  std::string secondModelPath;
  bool logSecondModel = false;
  // The answer to "ignore the cells set to the smallest value" when it is known
  // already (a view parameter file stores it): the question is not asked.
  std::optional<bool> ignoreSmallest;
};

// How the views are refreshed after the document changed.
enum class ViewRefresh {
  NewLoad,        // a new load or topography: padding, scales and camera reset
  Reload,         // the same model reread or data sets changed: scene rebuilt only
  ValuesChanged,  // smoothing, difference: scales reset, camera kept
};

// The document: the model store of the current load, the files it came from,
// the elements and data sets, and the loading sequence.
class Document {
 public:
  Document(Platform& platform, DocumentUi& ui);
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  // --- what is loaded ----------------------------------------------------
  const ModelStore& store() const { return store_; }
  const RectMesh& mesh() const { return store_.mesh(); }
  const ModelSet& currentModel() const { return store_.currentModel(); }
  bool modelLoaded() const { return modelLoaded_; }
  bool isVectorModel() const { return store_.isVector(); }
  bool logModel() const { return files_.logModel; }
  bool logSecondModel() const { return files_.logSecondModel; }
  bool octreeMode() const { return files_.octree; }
  const std::string& meshPath() const { return files_.meshPath; }
  const std::string& modelPath() const { return files_.modelPath; }
  const std::string& secondModelPath() const { return files_.secondModelPath; }
  const std::string& topographyPath() const { return topographyPath_; }
  const LoadRequest& files() const { return files_; }
  const std::string& workingFolder() const { return workingFolder_; }
  const std::string& title() const { return title_; }
  bool tq5rMode() const { return tq5rMode_; }
  bool transmitterMode() const { return transmitterMode_; }
  bool hardwareOpenGL() const { return hardwareOpenGL_; }
  bool blockEditorOpen() const { return blockEditorOpen_ || editor_; }
  bool modified() const { return modified_; }
  bool differenceShown() const { return differenceShown_; }
  bool octreeModelFile() const { return octreeModelFile_; }
  const std::vector<Element>& elements() const { return elements_; }
  const std::vector<DataSet>& dataSets() const { return dataSets_; }
  int selectedDataSet() const { return selectedDataSet_; }

  // --- changes -----------------------------------------------------------
  // The store for edits of its values (block editor, transforms, topography);
  // an edit of values ends with recomputeRange.
  ModelStore& editStore() { return store_; }
  void selectModel(int m) { store_.selectModel(m); }
  void recomputeRange(Which which) { store_.recomputeRange(which); }
  void setDataSets(std::vector<DataSet> sets);
  // The data sets for the "Data properties" dialog, which changes them in place.
  std::vector<DataSet>& editDataSets() { return dataSets_; }
  // The set whose scale the colourbar shows, or -1.
  void setSelectedDataSet(int index) { selectedDataSet_ = index; }
  void setElements(std::vector<Element> elements) { elements_ = std::move(elements); }
  void setReadThreads(int threads) { readThreads_ = threads; }
  void setTq5rMode(bool on) { tq5rMode_ = on; }
  void setDifferenceShown(bool on) { differenceShown_ = on; }
  void markModified() { modified_ = true; }
  void setBlockEditorOpen(bool open) { blockEditorOpen_ = open; }

  // --- editing values ------------------------------------------------------
  // The open block editor, which registers itself; null when none.
  BlockEditor* blockEditor() const { return editor_; }
  void setBlockEditor(BlockEditor* editor) { editor_ = editor; }
  // Closes the block editor, keeping what it committed, before the model is replaced.
  void finishEditing();
  // Where changes of model set m are written: the block editor's committed
  // values while it edits that set, else the set itself.
  ModelSet& valuesForEdit(int m);
  std::vector<Element>& editElements() { return elements_; }
  UndoHistory& history() { return history_; }
  const UndoHistory& history() const { return history_; }
  // Cells of the current model whose values changed since the views last
  // looked; the views redraw only what they cover.
  void noteValuesChanged(const CellRegion& cells) { changedValues_.add(cells); }
  CellRegion takeValuesChanged() { return std::exchange(changedValues_, CellRegion{}); }
  // A store built by code (a full-data view file, a benchmark, a test) becomes
  // the loaded document, with the files it stands for.
  void adopt(ModelStore store, const LoadRequest& files);
  // Releases every per-cell array; the document then holds nothing.
  void releaseModelData();

  // Sets the files and runs the load (octree or tensor); no views are refreshed.
  LoadStatus load(const LoadRequest& request);
  // The same, but a load that does not succeed leaves the document as it was
  // (which stays in memory until the new files have been read).
  LoadStatus loadOrKeep(const LoadRequest& request);
  // The files the next load reads (the Load Model dialog starts from them).
  void setFiles(const LoadRequest& request) { files_ = request; }

  // --- loads and saves ---------------------------------------------------

  // Start-up decision from the arguments after the program name: banner and
  // Open, Open alone, or the command-line load.
  LoadStatus startUp(const std::vector<std::string>& args);
  LoadStatus commandLineLoad(const CommandLine& c);
  // Open: the Load Model dialog, then the load. A missing file is reported and
  // Fatal is returned; whether the program ends is the caller's decision.
  LoadStatus open();
  LoadStatus loadModelSet();
  // The load the start-up and Open run: the octree load in octreeMode, else loadModelSet.
  LoadStatus loadFiles();
  // meshPath as an octree mesh, modelPath (or a made-up model) and secondModelPath as octree models.
  LoadStatus octreeLoad();
  // Create mesh: loads the mesh file just written with a model made without a file.
  LoadStatus loadCreatedMesh(const std::string& path);
  // Save As: writes the current model to path (see writeSavedModel). Saving
  // the entire model renames the document to path and clears modified, once
  // the model file was written. True when every file was written.
  bool saveModel(const std::string& path, const SaveViewInfo& view, const SaveModelOptions& options);
  // Reload: rereads modelPath into the loaded model. A failed reread
  // leaves the loaded model as it was.
  LoadStatus reload();
  // Topography: path becomes topographyPath and is read against the mesh. On
  // success its air cells become inactive, the mask is marked set and the
  // ranges are taken over the cells left active; the result's counts are
  // returned (its top index now belongs to the store). On failure the
  // messages have been shown and nothing but topographyPath has changed. No
  // views are refreshed.
  std::optional<TopographyResult> loadTopography(const std::string& path);
  // Reads meshPath into mesh; fatal is set when there is no file at meshPath.
  bool readMeshFile(bool& fatal);

  // Title, working folder and current folder from modelPath (or meshPath).
  void setDocumentPath();
  void setTitle(const std::string& t);

  // Refreshes the views after loads and changes of the data.
  std::function<void(ViewRefresh)> updateAllViews;
  // Set when the command line names a view parameter file.
  std::string viewFileToOpen;

  Platform& platform() { return platform_; }
  DocumentUi& ui() { return ui_; }

 private:
  // Allocates count model sets (and the active-cell counts when there are
  // none); refuses, with a message naming the need, what does not fit in memory.
  bool allocateModels(int count, bool vector, const std::string& path);
  bool memoryForModels(int count, bool vector, bool activeCells, const std::string& path);
  LoadStatus buildModelWithoutFile();
  bool readOctreeMeshFile(OctreeMesh& octree, LoadStatus& failure);
  LoadStatus readOctreeModels(const OctreeMesh& octree);
  void readOctreeSecondModel(const OctreeMesh& octree);
  LoadStatus reloadOctree();
  void reportOutOfMemory(const std::string& path, int count, bool vector, const std::string& why = {});
  void readSecondModel();
  LoadStatus readFirstModel();
  void readElements();

  // The model file's first line and what follows from it.
  struct ModelFileStart {
    ModelFileHeader header;
    bool vector = false;
  };
  std::optional<ModelFileStart> readModelFileStart(LineSource& in);
  ModelReadSettings readSettings(const ModelFileStart& start) const;

  // Kept from one load to the next so that its pages are not faulted in again.
  LineSource::Buffers readBuffers_;

  ModelStore store_;
  LoadRequest files_;
  std::string topographyPath_, workingFolder_;
  std::string title_ = "Untitled";
  bool modelLoaded_ = false;
  bool octreeModelFile_ = false;  // modelPath holds one value per octree cell (Reload reads it so)
  bool tq5rMode_ = false;
  bool transmitterMode_ = false;
  bool hardwareOpenGL_ = false;
  bool ignoreAnswerGiven_ = false;
  bool blockEditorOpen_ = false;
  bool modified_ = false;
  bool differenceShown_ = false;
  int readThreads_ = 0;  // threads for parsing model files; 0: as the machine allows
  // The temporary model file named on the command line with /tq5rdata, and the
  // file it was then; it is deleted at exit only if the path still names that file.
  std::string tq5rTempFile_;
  std::uint64_t tq5rTempDevice_ = 0, tq5rTempInode_ = 0, tq5rTempSize_ = 0;
  std::int64_t tq5rTempModified_ = 0;  // ns
  std::vector<Element> elements_;
  BlockEditor* editor_ = nullptr;
  UndoHistory history_;
  CellRegion changedValues_;
  std::vector<DataSet> dataSets_;
  int selectedDataSet_ = -1;

  Platform& platform_;
  DocumentUi& ui_;
};

}  // namespace litho
