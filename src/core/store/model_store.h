#pragma once
#include <cstdint>
#include <vector>

#include "core/store/arrays.h"
#include "core/store/rect_mesh.h"
#include "core/store/sides.h"

namespace litho {

inline constexpr float kNoDataValue = 1e30f;

enum class Which { First, Second };

struct ValueRange {
  double min = 0;
  double max = 0;
};

// The mesh and every per-cell array of one load: the model sets (amplitudes
// and unit components for a vector model), the second model and the active
// cells. Every array is nx x ny (x nz) of the mesh; the current model index is
// always valid once models exist; ranges change only through the range methods.
class ModelStore {
 public:
  ModelStore() = default;
  ModelStore(ModelStore&&) noexcept = default;
  ModelStore& operator=(ModelStore&&) noexcept = default;
  ModelStore(const ModelStore&) = delete;
  ModelStore& operator=(const ModelStore&) = delete;

  // --- building ------------------------------------------------------------
  // Takes the mesh and allocates `count` model sets (and the three components
  // of a vector model) and an all-active top index. False when memory ran out:
  // the store is then empty but keeps the mesh.
  bool allocate(RectMesh mesh, int count, bool vector);
  // The mesh alone (models follow with allocateModels).
  void setMesh(RectMesh mesh);
  bool allocateModels(int count, bool vector);
  // Allocates the second model; false when memory ran out.
  bool allocateSecondModel();
  void dropSecondModel();
  void release();

  // --- reading -------------------------------------------------------------
  const RectMesh& mesh() const { return mesh_; }
  bool empty() const { return models_.empty(); }
  int modelCount() const { return static_cast<int>(models_.size()); }
  bool isVector() const { return vector_; }
  const ModelSet& model(int m) const { return models_[static_cast<std::size_t>(m)]; }
  const ModelSet& vectorComponent(int axis, int m) const {
    return components_[static_cast<std::size_t>(axis)][static_cast<std::size_t>(m)];
  }
  int currentModelIndex() const { return current_; }
  const ModelSet& currentModel() const { return model(current_); }
  bool hasSecondModel() const { return secondLoaded_; }
  const ModelSet& secondModel() const { return second_; }
  const Grid2<int>& topActiveIndex() const { return top_; }
  bool activeMaskSet() const { return maskSet_ != 0; }
  ValueRange range() const { return range_; }
  ValueRange secondRange() const { return secondRange_; }
  double smallestValue() const { return smallest_; }
  float bottomMean() const { return bottomMean_; }
  // Padding counts from the model file's header, by Side.
  const SideCounts& coreOffsets() const { return coreOffsets_; }

  // --- writing -------------------------------------------------------------
  // Writable arrays for the readers and the editors; a caller that changes
  // values ends with recomputeRange (or setRange when it knows the range).
  ModelSet& modelData(int m) { return models_[static_cast<std::size_t>(m)]; }
  ModelSet& vectorData(int axis, int m) {
    return components_[static_cast<std::size_t>(axis)][static_cast<std::size_t>(m)];
  }
  // All sets in a row, for the readers.
  ModelSet* modelArray() { return models_.data(); }
  ModelSet* vectorArray(int axis) { return components_[static_cast<std::size_t>(axis)].data(); }
  ModelSet& secondModelData() { return second_; }
  // The second model as it was loaded, kept while the second model holds the difference.
  ModelSet& keptSecondModel() { return keptSecond_; }
  Grid2<int>& topActiveData() { return top_; }
  // The second model read completely.
  void setSecondModelLoaded(bool loaded);

  void selectModel(int m);
  void setRange(double lo, double hi) { range_ = {lo, hi}; }
  void setSecondRange(double lo, double hi) { secondRange_ = {lo, hi}; }
  void setSmallestValue(double s) { smallest_ = s; }
  // Range of the current (or second) model over the active cells; NaN and infinities take no part.
  void recomputeRange(Which which);
  void computeBottomMean();
  void setBottomMean(float v) { bottomMean_ = v; }
  void setCoreOffsets(const SideCounts& offsets) { coreOffsets_ = offsets; }
  void setActiveMask(bool set) { maskSet_ = set ? 1 : 0; }
  // Replaces the top index; its size must match the mesh.
  bool setTopActiveIndex(Grid2<int> top, bool maskSet);
  // Marks, per column, the leading cells whose value is not above s as inactive.
  void markCellsNotAbove(float s);
  // Swaps in freshly read model sets of the same shape (reload).
  void replaceModels(std::vector<ModelSet> models, std::vector<ModelSet> vx, std::vector<ModelSet> vy,
                     std::vector<ModelSet> vz);

 private:
  RectMesh mesh_;
  std::vector<ModelSet> models_;
  std::vector<ModelSet> components_[3];
  bool vector_ = false;
  int current_ = 0;
  ModelSet second_;
  ModelSet keptSecond_;
  bool secondLoaded_ = false;
  Grid2<int> top_;
  std::uint8_t maskSet_ = 0;
  ValueRange range_;
  ValueRange secondRange_;
  double smallest_ = 0;
  float bottomMean_ = 0;
  SideCounts coreOffsets_{};
};

}  // namespace litho
