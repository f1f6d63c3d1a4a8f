#pragma once
// The document's plain arrays. Allocation leaves values uninitialised unless a
// fill value is given (models reach tens of millions of cells and every reader
// writes every cell). Allocation throws std::bad_alloc; release is a no-op on
// an absent array and leaves the handle empty.
#include <cstddef>
#include <memory>

namespace litho {

// nx x ny values addressed [i][j].
template <class T>
class Grid2 {
 public:
  void allocate(int nx, int ny) {
    release();
    data_ = std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(nx) * ny);
    nx_ = nx;
    ny_ = ny;
  }
  void allocate(int nx, int ny, T fill) {
    allocate(nx, ny);
    std::fill(data_.get(), data_.get() + size(), fill);
  }
  void release() {
    data_.reset();
    nx_ = ny_ = 0;
  }
  bool empty() const { return !data_; }
  int nx() const { return nx_; }
  int ny() const { return ny_; }
  std::size_t size() const { return static_cast<std::size_t>(nx_) * ny_; }
  T& operator()(int i, int j) { return data_[static_cast<std::size_t>(i) * ny_ + j]; }
  const T& operator()(int i, int j) const { return data_[static_cast<std::size_t>(i) * ny_ + j]; }
  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }

 private:
  std::unique_ptr<T[]> data_;
  int nx_ = 0;
  int ny_ = 0;
};

// One model set: nx x ny columns of nz floats, each column contiguous, k = 0 at the top.
class ModelSet {
 public:
  void allocate(int nx, int ny, int nz) {
    release();
    data_ = std::make_unique_for_overwrite<float[]>(static_cast<std::size_t>(nx) * ny * nz);
    nx_ = nx;
    ny_ = ny;
    nz_ = nz;
  }
  void release() {
    data_.reset();
    nx_ = ny_ = nz_ = 0;
  }
  bool empty() const { return !data_; }
  int nx() const { return nx_; }
  int ny() const { return ny_; }
  int nz() const { return nz_; }
  std::size_t size() const { return static_cast<std::size_t>(nx_) * ny_ * nz_; }
  float* column(int i, int j) { return data_.get() + (static_cast<std::size_t>(i) * ny_ + j) * nz_; }
  const float* column(int i, int j) const {
    return data_.get() + (static_cast<std::size_t>(i) * ny_ + j) * nz_;
  }
  float& operator()(int i, int j, int k) { return column(i, j)[k]; }
  float operator()(int i, int j, int k) const { return column(i, j)[k]; }
  float* data() { return data_.get(); }
  const float* data() const { return data_.get(); }

 private:
  std::unique_ptr<float[]> data_;
  int nx_ = 0;
  int ny_ = 0;
  int nz_ = 0;
};

}  // namespace litho
