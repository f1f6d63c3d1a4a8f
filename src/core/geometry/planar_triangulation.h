#pragma once
// Delaunay triangulation of scattered points in a plane, built by incremental
// insertion with local diagonal swaps; neighbour lists per node, a walking
// point location and piecewise-linear interpolation with extrapolation
// outside the convex hull.
//
// Nodes are numbered 1..N in the order of the coordinate arrays given to
// triangulate(). Node 0 never exists: it marks the end of a boundary node's
// neighbour list.
#include <algorithm>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace litho {

// Sorts the index sequence by the keys (ascending, the keys themselves are not
// moved) and returns it 0-based: entry i is the original position of the value
// that belongs at i. Equal keys end up in the order this particular quicksort
// leaves them, which fixes the insertion order of gridded points.
std::vector<int> sortIndex(std::span<const double> keys);

// Applies an index sequence from sortIndex() to values in place.
template <class T>
void applyPermutation(std::span<const int> index, std::span<T> values);

// Sorts a ascending and applies the same permutation to b and c when m is 2
// or 3. Returns the permutation so that further arrays can follow it.
std::vector<int> sortNodes(int n, double* a, double* b, double* c, int m);

class PlanarTriangulation {
 public:
  // Status of triangulate().
  static constexpr int kTriangulated = 0;
  static constexpr int kTooFewNodes = 1;
  static constexpr int kCollinear = 2;
  static constexpr int kCoincidingNodes = 3;
  static constexpr int kNonFiniteNode = 4;

  // Status of interpolateLinear().
  static constexpr int kInside = 0;
  static constexpr int kExtrapolated = 1;
  static constexpr int kBadQuery = -1;
  static constexpr int kNoTriangle = -2;

  struct Located {
    int i1 = 0;
    int i2 = 0;
    int i3 = 0;
  };
  struct Interpolated {
    double value = 0;
    int status = kBadQuery;
  };

  // Copies the coordinates and builds the triangulation. On any status but
  // kTriangulated the lists are empty; the coordinates are kept.
  int triangulate(int n, const double* x, const double* y);
  int triangulate(std::span<const double> x, std::span<const double> y) {
    return triangulate(static_cast<int>(std::min(x.size(), y.size())), x.data(), y.data());
  }
  void clear();

  int nodeCount() const { return static_cast<int>(x_.size()); }
  bool triangulated() const { return !listEnd_.empty(); }
  double x(int node) const { return x_[node - 1]; }
  double y(int node) const { return y_[node - 1]; }

  // Packed lists: node k's neighbours, counterclockwise, are
  // neighbourList()[listEnd()[k-2] .. listEnd()[k-1] - 1] (from 0 for k = 1).
  // A boundary node's list starts with the next hull node counterclockwise,
  // ends with the previous one and is followed by a 0 entry.
  const std::vector<int>& neighbourList() const { return neighbourList_; }
  const std::vector<int>& listEnd() const { return listEnd_; }
  std::span<const int> neighbours(int node) const {
    const int begin = node > 1 ? listEnd_[node - 2] : 0;
    return {neighbourList_.data() + begin, static_cast<std::size_t>(listEnd_[node - 1] - begin)};
  }
  bool isBoundary(int node) const { return neighbourList_[listEnd_[node - 1] - 1] == 0; }

  // Every triangle once, counterclockwise: for each node a and consecutive
  // entries b, c of its list (last paired with first), b and c not 0 and a
  // below both.
  template <class F>
  void forEachTriangle(F&& f) const {
    for (int a = 1; a <= nodeCount() && triangulated(); ++a) {
      const std::span<const int> l = neighbours(a);
      for (std::size_t i = 0; i < l.size(); ++i) {
        const int b = l[i];
        const int c = l[(i + 1) % l.size()];
        if (b != 0 && c != 0 && a < b && a < c) f(a, b, c);
      }
    }
  }
  int triangleCount() const;

  // A triangle I1, I2, I3 (counterclockwise) holding p, edges included; or,
  // with p outside the hull, the first (rightmost) and last (leftmost) hull
  // nodes visible from p and I3 = 0; all 0 without a triangulation or for a
  // non-finite p. An invalid start node starts at node 1.
  Located locatePoint(int startNode, double px, double py) const;

  // Linear interpolation of z (one value per node) at p. On success startNode
  // becomes I1 of the located triangle.
  Interpolated interpolateLinear(double px, double py, std::span<const double> z, int& startNode) const;

 private:
  bool left(int a, int b, double px, double py) const;
  int opposite(int a, int b) const;  // node across edge a-b from the triangle (a, b, .)
  int nextOnHull(int node) const { return neighbours(node).front(); }
  int previousOnHull(int node) const {
    const std::span<const int> l = neighbours(node);
    return l[l.size() - 2];
  }
  Located visibleChain(int a, int b, double px, double py) const;
  Located locateByScan(double px, double py) const;

  std::vector<double> x_;
  std::vector<double> y_;
  std::vector<int> neighbourList_;
  std::vector<int> listEnd_;
};

template <class T>
void applyPermutation(std::span<const int> index, std::span<T> values) {
  // Follow the cycles of the permutation; a moved slot is remembered by a flag.
  const std::size_t n = std::min(index.size(), values.size());
  std::vector<char> done(n, 0);
  for (std::size_t start = 0; start < n; ++start) {
    if (done[start] || static_cast<std::size_t>(index[start]) == start) continue;
    T held = std::move(values[start]);
    std::size_t i = start;
    for (;;) {
      done[i] = 1;
      const std::size_t from = static_cast<std::size_t>(index[i]);
      if (from == start) {
        values[i] = std::move(held);
        break;
      }
      values[i] = std::move(values[from]);
      i = from;
    }
  }
}

}  // namespace litho
