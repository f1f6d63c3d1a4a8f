#pragma once
// Writing models, core meshes and element files, and the Save command.
// Model files get one value a line in file order (northing outermost, then
// easting, depth fastest from the top), no header.
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/edit/element.h"
#include "core/store/arrays.h"
#include "core/io/mesh_stats.h"
#include "core/store/model_store.h"
#include "core/store/rect_mesh.h"
#include "core/platform/platform.h"
#include "core/view/view_state.h"

namespace litho {

class Document;

// printf's "%g" whatever the process locale.
std::string formatG(double value);
// A model value: "%g" when that reads back as the same float, else "%.7g",
// "%.8g" or "%.9g", the first that does. Values of six digits keep the text
// they were read from; no value changes through a save and a load.
std::string formatModelValue(float value);
// "%g" when that reads back as value within round-off, else as many digits as
// it takes (up to 17): map coordinates such as 6999555 keep every metre.
std::string formatMeshNumber(double value);

// What a save needs to know of the view: padding, core counts, cut planes and cutoff.
struct SaveViewInfo {
  std::array<int, 6> hiddenPadding{};  // by Side: west, east, south, north, top, bottom
  std::array<int, 3> visibleCount{};   // core counts along X, Y, Z
  std::array<int, 6> cuts{};           // by Side
  bool ignoreCutPlanes = false;        // cut planes show as slices instead of cutting
  double displayMin = 0;               // the cutoff; min > max keeps the values outside
  double displayMax = 0;

  static SaveViewInfo from(const ViewState& v);
  // The view right after a load: the model file's padding (by Side; ignored on
  // an axis it would leave without cells), no cuts, the cutoff at the model range.
  static SaveViewInfo afterLoad(const RectMesh& mesh, const SideCounts& coreOffsets, ValueRange range);
  CoreRegion core() const;
};

// The cells the view draws: inside the padding and cut planes, at or below the
// column's first active cell, and passing the cutoff (not a number never does).
// With ignoreCutPlanes the planes do not cut; the slices at their depths are
// drawn whatever their values.
class VisibleCells {
 public:
  VisibleCells(const RectMesh& mesh, const SaveViewInfo& view, const Grid2<int>& topActive);
  bool visible(int i, int j, int k, float value) const;

 private:
  bool onSlice(int i, int j, int k) const;

  int xs_ = 0, xe_ = 0, ys_ = 0, ye_ = 0, zs_ = 0, ze_ = 0;
  std::array<int, 6> slices_{};  // index of each side's slice, -1 for none
  bool slicesShown_ = false;
  double lo_ = 0, hi_ = 0;
  const Grid2<int>& topActive_;
};

enum class SaveMode { EntireModel = 0, WithoutPadding = 1 };

inline constexpr float kInitialDummyValue = 100000.0f;

struct SaveModelOptions {
  SaveMode mode = SaveMode::EntireModel;
  bool visibleOnly = false;
  float dummy = kInitialDummyValue;
};

// The dummy value of the Save Model dialog, kept while the program runs.
float& keptDummyValue();

// The "_mesh" file of a core region: counts, corner, then the X, Y and Z widths.
std::string coreMeshText(const RectMesh& mesh, const CoreRegion& core);
// The element file ("_loc").
std::string elementFileText(const std::vector<Element>& elements);

// What a save writes from.
struct SaveSource {
  const RectMesh& mesh;
  const ModelSet& model;
  const Grid2<int>& topActive;
  bool logModel;
  const std::vector<Element>& elements;
};

enum class SaveOutcome {
  NothingSaved,
  ModelSaved,  // the model file, but not every file that goes with it
  AllSaved,
};

// Writes path (and path + "_mesh" without padding, path + "_loc" for an entire
// model) through temporary files. Every file is written in full before the
// first target changes, so a failure on the way changes none; a failure after
// that (rare) names the files that were saved. Failures are reported naming
// the file; "Mesh saved to:" follows a mesh. An existing "_loc" file that is
// not an element file of this mesh is left alone, with a warning.
SaveOutcome writeSavedModel(const SaveSource& source, const std::string& path, const SaveViewInfo& view,
                            const SaveModelOptions& options, Platform& platform);

// The Save Model dialog, given the kept dummy value; empty on Cancel.
using AskSaveOptions = std::function<std::optional<SaveModelOptions>(float dummy)>;

// "Save As ...": the dialog, the file name ("Save model file."), then the save.
// True when the files were written.
bool saveModelCommand(Document& doc, const SaveViewInfo& view, Platform& platform,
                      const AskSaveOptions& runDialog);

}  // namespace litho
