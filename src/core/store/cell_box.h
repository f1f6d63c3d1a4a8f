#pragma once
#include <algorithm>
#include <cstddef>
#include <vector>

namespace litho {

// Half-open index box [i0, i1) x [j0, j1) x [k0, k1) of cells whose values changed.
struct CellBox {
  int i0 = 0, i1 = 0, j0 = 0, j1 = 0, k0 = 0, k1 = 0;

  bool empty() const { return i0 >= i1 || j0 >= j1 || k0 >= k1; }
  std::size_t cellCount() const {
    return empty() ? 0 : static_cast<std::size_t>(i1 - i0) * static_cast<std::size_t>(j1 - j0) * (k1 - k0);
  }
  bool contains(int i, int j, int k) const { return i >= i0 && i < i1 && j >= j0 && j < j1 && k >= k0 && k < k1; }
  // The smallest box holding both; an empty box adds nothing.
  void unite(const CellBox& b) {
    if (b.empty()) return;
    if (empty()) {
      *this = b;
      return;
    }
    i0 = std::min(i0, b.i0), i1 = std::max(i1, b.i1);
    j0 = std::min(j0, b.j0), j1 = std::max(j1, b.j1);
    k0 = std::min(k0, b.k0), k1 = std::max(k1, b.k1);
  }
  CellBox intersected(const CellBox& b) const {
    return {std::max(i0, b.i0), std::min(i1, b.i1), std::max(j0, b.j0),
            std::min(j1, b.j1), std::max(k0, b.k0), std::min(k1, b.k1)};
  }
  static CellBox whole(int nx, int ny, int nz) { return {0, nx, 0, ny, 0, nz}; }
  bool operator==(const CellBox&) const = default;
};

// A few boxes of changed cells: a block moved by one column changes a column
// at each side, and redrawing the columns between would waste the effort.
// Beyond kMaxBoxes the boxes become their union.
class CellRegion {
 public:
  static constexpr std::size_t kMaxBoxes = 8;
  CellRegion() = default;
  CellRegion(const CellBox& box) { add(box); }  // NOLINT: a box is a region
  void add(const CellBox& box) {
    if (box.empty()) return;
    for (CellBox& b : boxes_)
      if (b.intersected(box) == box) return;
    boxes_.push_back(box);
    if (boxes_.size() > kMaxBoxes) boxes_ = {bounds()};
  }
  void add(const CellRegion& r) {
    for (const CellBox& b : r.boxes_) add(b);
  }
  bool empty() const { return boxes_.empty(); }
  const std::vector<CellBox>& boxes() const { return boxes_; }
  CellBox bounds() const {
    CellBox u;
    for (const CellBox& b : boxes_) u.unite(b);
    return u;
  }
  std::size_t cellCount() const {
    std::size_t n = 0;
    for (const CellBox& b : boxes_) n += b.cellCount();
    return n;
  }

 private:
  std::vector<CellBox> boxes_;
};

}  // namespace litho
