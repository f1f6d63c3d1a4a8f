#include "core/store/model_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

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

void ModelStore::setMesh(RectMesh mesh) {
  release();
  mesh_ = std::move(mesh);
}

bool ModelStore::allocate(RectMesh mesh, int count, bool vector) {
  setMesh(std::move(mesh));
  return allocateModels(count, vector);
}

bool ModelStore::allocateModels(int count, bool vector) {
  const int nx = mesh_.nx, ny = mesh_.ny, nz = mesh_.nz;
  try {
    models_.clear();
    for (auto& c : components_) c.clear();
    models_.resize(static_cast<std::size_t>(count));
    for (auto& m : models_) {
      m.allocate(nx, ny, nz);
      adviseHugePages(m.data(), m.size() * sizeof(float));
    }
    if (vector) {
      for (auto& c : components_) {
        c.resize(static_cast<std::size_t>(count));
        for (auto& m : c) m.allocate(nx, ny, nz);
      }
    }
    if (top_.nx() != nx || top_.ny() != ny || top_.empty()) top_.allocate(nx, ny, 0);
  } catch (const std::bad_alloc&) {
    models_.clear();
    for (auto& c : components_) c.clear();
    top_.release();
    vector_ = false;
    current_ = 0;
    return false;
  }
  vector_ = vector;
  current_ = 0;
  return true;
}

bool ModelStore::allocateSecondModel() {
  try {
    second_.allocate(mesh_.nx, mesh_.ny, mesh_.nz);
  } catch (const std::bad_alloc&) {
    second_.release();
    return false;
  }
  secondLoaded_ = false;
  return true;
}

void ModelStore::setSecondModelLoaded(bool loaded) {
  secondLoaded_ = loaded && !second_.empty();
  keptSecond_.release();
  if (!secondLoaded_) second_.release();
}

void ModelStore::dropSecondModel() {
  second_.release();
  keptSecond_.release();
  secondLoaded_ = false;
  secondRange_ = {};
}

void ModelStore::release() {
  mesh_.release();
  models_.clear();
  for (auto& c : components_) c.clear();
  vector_ = false;
  current_ = 0;
  dropSecondModel();
  top_.release();
  maskSet_ = 0;
  range_ = {};
  smallest_ = 0;
  bottomMean_ = 0;
  coreOffsets_ = {};
}

void ModelStore::selectModel(int m) {
  if (m < 0 || m >= modelCount()) return;
  current_ = m;
}

void ModelStore::recomputeRange(Which which) {
  const ModelSet* set = nullptr;
  if (which == Which::First && !models_.empty()) set = &currentModel();
  if (which == Which::Second && secondLoaded_) set = &second_;
  double lo = static_cast<double>(kNoDataValue);
  double hi = -static_cast<double>(kNoDataValue);
  if (set && !set->empty() && !top_.empty()) {
    for (int i = 0; i < mesh_.nx; ++i) {
      for (int j = 0; j < mesh_.ny; ++j) {
        const float* col = set->column(i, j);
        for (int k = std::max(top_(i, j), 0); k < mesh_.nz; ++k) {
          const double v = col[k];
          if (!std::isfinite(v)) continue;
          if (v < lo) lo = v;
          if (v > hi) hi = v;
        }
      }
    }
  }
  (which == Which::First ? range_ : secondRange_) = {lo, hi};
}

// Cells without data ("nan") are left out of the mean.
void ModelStore::computeBottomMean() {
  if (models_.empty() || mesh_.nz == 0) {
    bottomMean_ = 0;
    return;
  }
  const ModelSet& m = currentModel();
  double sum = 0;
  long long n = 0;
  for (int i = 0; i < mesh_.nx; ++i) {
    for (int j = 0; j < mesh_.ny; ++j) {
      const float v = m(i, j, mesh_.nz - 1);
      if (std::isnan(v)) continue;
      sum += v;
      ++n;
    }
  }
  bottomMean_ = n > 0 ? static_cast<float>(sum / static_cast<double>(n)) : 0.0f;
}

bool ModelStore::setTopActiveIndex(Grid2<int> top, bool maskSet) {
  if (top.nx() != mesh_.nx || top.ny() != mesh_.ny) return false;
  top_ = std::move(top);
  maskSet_ = maskSet ? 1 : 0;
  return true;
}

void ModelStore::markCellsNotAbove(float s) {
  if (models_.empty()) return;
  const ModelSet& m = currentModel();
  for (int i = 0; i < mesh_.nx; ++i) {
    for (int j = 0; j < mesh_.ny; ++j) {
      const float* col = m.column(i, j);
      int k = 0;
      while (k < mesh_.nz && !(col[k] > s)) ++k;
      top_(i, j) = k;
    }
  }
}

void ModelStore::replaceModels(std::vector<ModelSet> models, std::vector<ModelSet> vx, std::vector<ModelSet> vy,
                               std::vector<ModelSet> vz) {
  models_.swap(models);
  if (vector_) {
    components_[0].swap(vx);
    components_[1].swap(vy);
    components_[2].swap(vz);
  }
  if (current_ >= modelCount()) current_ = 0;
}

}  // namespace litho
