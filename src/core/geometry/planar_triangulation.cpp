#include "core/geometry/planar_triangulation.h"

#include <cmath>

namespace litho {

std::vector<int> sortIndex(std::span<const double> keys) {
  const int n = static_cast<int>(keys.size());
  // 1-based working index; slot 0 unused.
  std::vector<int> ind(static_cast<std::size_t>(n) + 1);
  for (int i = 1; i <= n; ++i) ind[i] = i;
  const auto key = [&](int pos) { return keys[ind[pos] - 1]; };
  const auto exchange = [&](int a, int b) { std::swap(ind[a], ind[b]); };

  std::vector<std::pair<int, int>> pending;
  double r = 0.375;
  int i = 1;
  int j = n;
  int k = 0;
  int l = 0;
  int ij = 0;
  double t = 0;

step2:
  if (i >= j) goto step7;
  if (r > 0.5898437)
    r -= 0.21875;
  else
    r += 0.0390625;

step3:
  ij = i + static_cast<int>(r * (j - i));
  t = key(ij);
  if (key(i) > t) {
    exchange(i, ij);
    t = key(ij);
  }
  if (key(j) < t) {
    exchange(j, ij);
    t = key(ij);
    if (key(i) > t) {
      exchange(i, ij);
      t = key(ij);
    }
  }
  l = j;
  k = i;
  for (;;) {
    do --l;
    while (l > i && key(l) > t);
    do ++k;
    while (k < j && key(k) < t);
    if (k > l) break;
    exchange(k, l);
  }
  if (l - i > j - k) {
    pending.emplace_back(i, l);
    i = k;
  } else {
    pending.emplace_back(k, j);
    j = l;
  }

step6:
  if (j - i >= 11) goto step3;
  if (i == 1) goto step2;
  for (int p = i + 1; p <= j; ++p) {
    const int v = ind[p];
    const double tv = keys[v - 1];
    int q = p - 1;
    while (q >= 1 && key(q) > tv) {
      ind[q + 1] = ind[q];
      --q;
    }
    ind[q + 1] = v;
  }

step7:
  if (!pending.empty()) {
    i = pending.back().first;
    j = pending.back().second;
    pending.pop_back();
    goto step6;
  }

  std::vector<int> out(static_cast<std::size_t>(n));
  for (int p = 0; p < n; ++p) out[p] = ind[p + 1] - 1;
  return out;
}

std::vector<int> sortNodes(int n, double* a, double* b, double* c, int m) {
  if (n <= 0 || !a) return {};
  const std::vector<int> index = sortIndex(std::span<const double>(a, n));
  applyPermutation<double>(index, std::span<double>(a, n));
  if (m >= 2 && b) applyPermutation<double>(index, std::span<double>(b, n));
  if (m >= 3 && c) applyPermutation<double>(index, std::span<double>(c, n));
  return index;
}

// ---------------------------------------------------------------------------
// Building

namespace {

bool leftOf(double xa, double ya, double xb, double yb, double px, double py) {
  return (xb - xa) * (py - ya) >= (px - xa) * (yb - ya);
}

// The incremental construction works on triangles of three half-edges each
// (counterclockwise, each knowing the half-edge across it), so that finding
// the node across an edge or swapping a diagonal costs the same at a node
// with hundreds of neighbours as at one with six. Every node remembers the
// neighbour its packed list would start with, updated exactly as inserting
// into and removing from the packed lists would, so the lists come out the
// same and every walk that starts from a node's first triangle takes the
// same path.
class DelaunayBuilder {
 public:
  DelaunayBuilder(const std::vector<double>& x, const std::vector<double>& y)
      : x_(x), y_(y), n_(static_cast<int>(x.size())) {}

  int build();
  void pack(std::vector<int>& list, std::vector<int>& end) const;

 private:
  struct Place {
    int i1 = 0, i2 = 0, i3 = 0;
    int edge = -1;  // half-edge i1 -> i2 of a triangle
  };

  static int corner(int e) { return static_cast<int>(static_cast<unsigned>(e) % 3u); }
  static int nextEdge(int e) { return corner(e) == 2 ? e - 2 : e + 1; }
  static int previousEdge(int e) { return corner(e) == 0 ? e + 2 : e - 1; }
  int destination(int e) const { return origin_[nextEdge(e)]; }
  bool left(int a, int b, double px, double py) const {
    return leftOf(x_[a - 1], y_[a - 1], x_[b - 1], y_[b - 1], px, py);
  }
  bool isBoundary(int node) const { return previousOnHull_[node] != 0; }

  int addTriangle(int a, int b, int c);
  void link(int e, int f) {
    across_[e] = f;
    if (f >= 0) across_[f] = e;
  }
  void claim(int e) {
    if (firstNeighbour_[origin_[e]] == destination(e)) firstEdge_[origin_[e]] = e;
  }
  void claimTriangle(int e) {
    const int base = e - corner(e);
    claim(base);
    claim(base + 1);
    claim(base + 2);
  }

  bool buildInitialFan(int& next);
  bool insertNode(int k);
  int hullEdgeThrough(const Place& at, double px, double py) const;
  bool atCorner(const Place& at, double px, double py) const;
  void joinOutside(int k, int first, int last);
  void splitHullEdge(int k, int e);
  void splitTriangle(int k, const Place& at);
  int flip(int e);
  bool swapTest(int k, int io1, int io2, int q) const;

  Place walk(int edge, double px, double py) const;
  Place locateAsListsWould(int start, double px, double py) const;
  Place locateByScan(double px, double py) const;
  Place visibleChain(int a, int b, double px, double py) const;
  int nearbyNode(int k) const;
  int bucketOf(double px, double py) const;
  void setUpBuckets();

  const std::vector<double>& x_;
  const std::vector<double>& y_;
  const int n_;
  std::vector<int> origin_;  // per half-edge
  std::vector<int> across_;  // per half-edge, -1 on the hull
  // Per node, indexed 1..n; 0 before the node is inserted.
  std::vector<int> firstNeighbour_;
  std::vector<int> firstEdge_;  // half-edge node -> first neighbour
  std::vector<int> previousOnHull_;
  // Coarse grid of the last node inserted in each cell, for starting walks
  // next to the new node.
  std::vector<int> bucket_;
  int columns_ = 1, rows_ = 1;
  double x0_ = 0, y0_ = 0, columnScale_ = 0, rowScale_ = 0;
};

int DelaunayBuilder::addTriangle(int a, int b, int c) {
  const int e = static_cast<int>(origin_.size());
  origin_.push_back(a);
  origin_.push_back(b);
  origin_.push_back(c);
  across_.push_back(-1);
  across_.push_back(-1);
  across_.push_back(-1);
  return e;
}

bool DelaunayBuilder::swapTest(int k, int io1, int io2, int q) const {
  const double xk = x_[k - 1], yk = y_[k - 1], xq = x_[q - 1], yq = y_[q - 1];
  const double dx11 = x_[io1 - 1] - xk, dy11 = y_[io1 - 1] - yk;
  const double dx12 = x_[io2 - 1] - xk, dy12 = y_[io2 - 1] - yk;
  const double dx21 = x_[io1 - 1] - xq, dy21 = y_[io1 - 1] - yq;
  const double dx22 = x_[io2 - 1] - xq, dy22 = y_[io2 - 1] - yq;
  const double cosK = dx11 * dx12 + dy11 * dy12;
  const double cosQ = dx21 * dx22 + dy21 * dy22;
  if (cosK >= 0 && cosQ >= 0) return false;
  if (cosK < 0 && cosQ < 0) return true;
  const double sinK = dx11 * dy12 - dx12 * dy11;
  const double sinQ = dx22 * dy21 - dx21 * dy22;
  return sinQ * cosK + sinK * cosQ < 0;
}

bool DelaunayBuilder::buildInitialFan(int& next) {
  const auto X = [&](int v) { return x_[v - 1]; };
  const auto Y = [&](int v) { return y_[v - 1]; };
  if (X(1) == X(2) && Y(1) == Y(2)) return false;
  std::vector<int> line{1, 2};
  for (int k = 3; k <= n_; ++k) {
    const int lo = line.front(), hi = line.back();
    const double c = (Y(k) - Y(lo)) * (X(hi) - X(lo)) - (X(k) - X(lo)) * (Y(hi) - Y(lo));
    if (c != 0) {
      if (c > 0) std::reverse(line.begin(), line.end());
      // k is right of the line from its first node to its last: triangles
      // (k, line[j+1], line[j]), the line's segments on the hull.
      const int m = static_cast<int>(line.size());
      int previous = -1;
      for (int j = 0; j + 1 < m; ++j) {
        const int e = addTriangle(k, line[j + 1], line[j]);
        if (previous >= 0) link(e + 2, previous);
        previous = e;
      }
      firstNeighbour_[k] = line[m - 1];
      previousOnHull_[k] = line[0];
      firstNeighbour_[line[0]] = k;
      previousOnHull_[line[0]] = line[1];
      firstNeighbour_[line[m - 1]] = line[m - 2];
      previousOnHull_[line[m - 1]] = k;
      for (int i = 1; i < m - 1; ++i) {
        firstNeighbour_[line[i]] = line[i - 1];
        previousOnHull_[line[i]] = line[i + 1];
      }
      for (int e = 0; e < static_cast<int>(origin_.size()); ++e) claim(e);
      for (int v : line) bucket_[bucketOf(X(v), Y(v))] = v;
      bucket_[bucketOf(X(k), Y(k))] = k;
      next = k + 1;
      return true;
    }
    // k on the line: keep the list in line order.
    if ((Y(k) - Y(lo)) * (Y(hi) - Y(lo)) + (X(k) - X(lo)) * (X(hi) - X(lo)) <= 0) {
      if (X(k) == X(lo) && Y(k) == Y(lo)) return false;
      line.insert(line.begin(), k);
      continue;
    }
    std::size_t at = line.size();
    for (std::size_t i = 1; i < line.size(); ++i) {
      const int mm = line[i];
      if ((Y(k) - Y(mm)) * (Y(lo) - Y(mm)) + (X(k) - X(mm)) * (X(lo) - X(mm)) >= 0) {
        at = i;
        break;
      }
    }
    if (at < line.size() && X(k) == X(line[at]) && Y(k) == Y(line[at])) return false;
    line.insert(line.begin() + static_cast<std::ptrdiff_t>(at), k);
  }
  next = n_ + 1;  // all collinear
  return true;
}

void DelaunayBuilder::setUpBuckets() {
  const auto [xLow, xHigh] = std::minmax_element(x_.begin(), x_.end());
  const auto [yLow, yHigh] = std::minmax_element(y_.begin(), y_.end());
  x0_ = *xLow;
  y0_ = *yLow;
  const double width = *xHigh - x0_, height = *yHigh - y0_;
  const int cells = std::max(1, n_ / 2);
  if (width > 0 && height > 0) {
    double c = std::sqrt(cells * (width / height));
    if (!(c >= 1)) c = 1;  // also when the extents overflowed
    columns_ = static_cast<int>(std::min(c, static_cast<double>(cells)));
    rows_ = std::max(1, cells / columns_);
  } else if (width > 0) {
    columns_ = cells;
  } else {
    rows_ = cells;
  }
  columnScale_ = width > 0 ? columns_ / width : 0;
  rowScale_ = height > 0 ? rows_ / height : 0;
  bucket_.assign(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0);
}

int DelaunayBuilder::bucketOf(double px, double py) const {
  // Written so that a scale overflowing to infinity still gives a cell.
  const double c = (px - x0_) * columnScale_, r = (py - y0_) * rowScale_;
  const int column = c >= columns_ ? columns_ - 1 : c > 0 ? static_cast<int>(c) : 0;
  const int row = r >= rows_ ? rows_ - 1 : r > 0 ? static_cast<int>(r) : 0;
  return row * columns_ + column;
}

int DelaunayBuilder::nearbyNode(int k) const {
  const double px = x_[k - 1], py = y_[k - 1];
  const auto distance = [&](int v) {
    const double dx = x_[v - 1] - px, dy = y_[v - 1] - py;
    return dx * dx + dy * dy;
  };
  int best = k - 1;
  double bestDistance = distance(best);
  const int cell = bucketOf(px, py);
  const int column = cell % columns_, row = cell / columns_;
  for (int r = std::max(0, row - 1); r <= std::min(rows_ - 1, row + 1); ++r)
    for (int c = std::max(0, column - 1); c <= std::min(columns_ - 1, column + 1); ++c) {
      const int v = bucket_[static_cast<std::size_t>(r) * columns_ + c];
      if (v == 0) continue;
      const double d = distance(v);
      if (d < bestDistance) {
        best = v;
        bestDistance = d;
      }
    }
  return best;
}

DelaunayBuilder::Place DelaunayBuilder::visibleChain(int a, int b, double px, double py) const {
  // a -> b is a hull edge (counterclockwise) with p strictly right of it.
  int last = b;
  for (int guard = 0; guard < n_; ++guard) {
    const int nb = firstNeighbour_[last];
    if (left(last, nb, px, py)) break;
    last = nb;
  }
  int first = a;
  for (int guard = 0; guard < n_; ++guard) {
    const int pa = previousOnHull_[first];
    if (left(pa, first, px, py)) break;
    first = pa;
  }
  return {last, first, 0, -1};
}

DelaunayBuilder::Place DelaunayBuilder::walk(int edge, double px, double py) const {
  // Visibility walk: leave the triangle through an edge with p strictly on
  // its far side until none is left; the entry edge (ab) is checked last.
  int ab = edge;
  const long long limit = 4LL * n_ + 16;
  for (long long step = 0; step < limit; ++step) {
    const int bc = nextEdge(ab), ca = previousEdge(ab);
    const int a = origin_[ab], b = origin_[bc], c = origin_[ca];
    int out;
    if (!left(b, c, px, py))
      out = bc;
    else if (!left(c, a, px, py))
      out = ca;
    else if (!left(a, b, px, py))
      out = ab;
    else
      return {a, b, c, ab};
    const int across = across_[out];
    if (across < 0) return visibleChain(origin_[out], destination(out), px, py);
    ab = across;
  }
  return {};
}

DelaunayBuilder::Place DelaunayBuilder::locateAsListsWould(int start, double px, double py) const {
  // The published point location from the previous node, step for step.
  if (isBoundary(start)) {
    int ahead = start, behind = start;
    for (int step = 0; step < 64; ++step) {
      const int next = firstNeighbour_[ahead];
      if (!left(ahead, next, px, py)) return visibleChain(ahead, next, px, py);
      const int previous = previousOnHull_[behind];
      if (!left(previous, behind, px, py)) return visibleChain(previous, behind, px, py);
      ahead = next;
      behind = previous;
      if (ahead == behind || ahead == start) break;
    }
  }
  const Place found = walk(firstEdge_[start], px, py);
  return found.i1 != 0 ? found : locateByScan(px, py);
}

DelaunayBuilder::Place DelaunayBuilder::locateByScan(double px, double py) const {
  // Triangles in the order the packed lists enumerate them.
  for (int a = 1; a <= n_; ++a) {
    if (firstNeighbour_[a] == 0) continue;
    const int start = firstEdge_[a];
    int e = start;
    for (;;) {
      const int b = destination(e), c = origin_[previousEdge(e)];
      if (a < b && a < c && left(a, b, px, py) && left(b, c, px, py) && left(c, a, px, py)) return {a, b, c, e};
      const int back = across_[previousEdge(e)];
      if (back < 0 || back == start) break;
      e = back;
    }
  }
  for (int a = 1; a <= n_; ++a) {
    if (firstNeighbour_[a] == 0 || !isBoundary(a)) continue;
    const int b = firstNeighbour_[a];
    if (!left(a, b, px, py)) return visibleChain(a, b, px, py);
  }
  return {};
}

void DelaunayBuilder::joinOutside(int k, int first, int last) {
  // Triangles (k, u, w) for the hull nodes u from first clockwise to last
  // and w the node after u.
  const int begin = static_cast<int>(origin_.size());
  int previous = -1;
  int u = first;
  while (u != last) {
    const int w = previousOnHull_[u];
    const int e = addTriangle(k, u, w);
    link(e + 1, firstEdge_[w]);  // w -> u was the hull edge
    if (previous >= 0) link(e, previous + 2);
    if (u != first) previousOnHull_[u] = 0;
    previous = e;
    u = w;
  }
  firstNeighbour_[k] = first;
  previousOnHull_[k] = last;
  previousOnHull_[first] = k;
  firstNeighbour_[last] = k;
  for (int e = begin; e < static_cast<int>(origin_.size()); ++e) claim(e);
}

void DelaunayBuilder::splitHullEdge(int k, int e) {
  // e = a -> b on the hull in the triangle (a, b, c): (a, k, c) stays in its
  // place, (k, b, c) is new.
  const int bc = nextEdge(e), ca = previousEdge(e);
  const int a = origin_[e], b = origin_[bc], c = origin_[ca];
  const int outside = across_[bc];
  origin_[bc] = k;
  const int t = addTriangle(k, b, c);
  link(t + 1, outside);
  link(t + 2, bc);
  firstNeighbour_[a] = k;
  previousOnHull_[b] = k;
  firstNeighbour_[k] = b;
  previousOnHull_[k] = a;
  claimTriangle(e);
  claimTriangle(t);
}

void DelaunayBuilder::splitTriangle(int k, const Place& at) {
  // (i1, i2, k) stays in the triangle's place; (i2, i3, k) and (i3, i1, k)
  // are new.
  const int e12 = at.edge, e23 = nextEdge(e12), e31 = previousEdge(e12);
  const int out23 = across_[e23], out31 = across_[e31];
  origin_[e31] = k;
  const int t2 = addTriangle(at.i2, at.i3, k);
  const int t3 = addTriangle(at.i3, at.i1, k);
  link(t2, out23);
  link(t3, out31);
  link(e23, t2 + 2);
  link(e31, t3 + 1);
  link(t2 + 1, t3 + 2);
  firstNeighbour_[k] = at.i1;
  claimTriangle(e12);
  claimTriangle(t2);
  claimTriangle(t3);
}

int DelaunayBuilder::flip(int e) {
  // e = io1 -> io2 in (k, io1, io2), across from (io2, io1, q): the triangles
  // become (k, io1, q) and (k, q, io2). Returns io1 -> q.
  const int e1 = nextEdge(e), e2 = previousEdge(e);
  const int f = across_[e], f1 = nextEdge(f), f2 = previousEdge(f);
  const int k = origin_[e2], io1 = origin_[e], io2 = origin_[f], q = origin_[f2];
  const int outE1 = across_[e1], outF1 = across_[f1];
  origin_[e1] = q;
  origin_[f1] = k;
  link(e, outF1);
  link(f, outE1);
  link(e1, f1);
  // Removing a list's first entry makes the next one first. Of the edges
  // kept, io1 -> q and io2 -> k moved to other slots.
  if (firstNeighbour_[io1] == io2) {
    firstNeighbour_[io1] = k;
    firstEdge_[io1] = across_[e2];
  } else if (firstNeighbour_[io1] == q) {
    firstEdge_[io1] = e;
  }
  if (firstNeighbour_[io2] == io1) {
    firstNeighbour_[io2] = q;
    firstEdge_[io2] = across_[f2];
  } else if (firstNeighbour_[io2] == k) {
    firstEdge_[io2] = f;
  }
  return e;
}

int DelaunayBuilder::hullEdgeThrough(const Place& at, double px, double py) const {
  int found = -1;
  int e = at.edge;
  for (int i = 0; i < 3; ++i, e = nextEdge(e)) {
    const int a = origin_[e], b = destination(e);
    const double cross = (x_[b - 1] - x_[a - 1]) * (py - y_[a - 1]) - (px - x_[a - 1]) * (y_[b - 1] - y_[a - 1]);
    if (cross == 0 && across_[e] < 0) found = e;
  }
  return found;
}

bool DelaunayBuilder::atCorner(const Place& at, double px, double py) const {
  const int tri[3] = {at.i1, at.i2, at.i3};
  for (int v : tri)
    if (x_[v - 1] == px && y_[v - 1] == py) return true;
  return false;
}

bool DelaunayBuilder::insertNode(int k) {
  const double px = x_[k - 1], py = y_[k - 1];
  // A walk from a node next to k finds the same hull chain or triangle as the
  // one from k - 1, except that inside the hull the triangle's first vertex,
  // which fixes the order of the swaps, depends on the path, and so does the
  // triangle for p on an edge between two. Inside, the walk from k - 1 is
  // repeated; nodes sorted on their first coordinate never get there.
  Place at = walk(firstEdge_[nearbyNode(k)], px, py);
  if (at.i1 == 0 || (at.i3 != 0 && !atCorner(at, px, py) && hullEdgeThrough(at, px, py) < 0))
    at = locateAsListsWould(k - 1, px, py);
  if (at.i1 == 0) return false;
  if (at.i3 == 0) {
    joinOutside(k, at.i1, at.i2);
  } else {
    if (atCorner(at, px, py)) return false;
    // On a hull edge the node joins the hull instead of leaving a flat
    // triangle that no swap can remove.
    const int hullEdge = hullEdgeThrough(at, px, py);
    if (hullEdge >= 0)
      splitHullEdge(k, hullEdge);
    else
      splitTriangle(k, at);
  }
  bucket_[bucketOf(px, py)] = k;

  // Local optimisation around k, edge by edge of its list.
  const int first = firstNeighbour_[k];
  int e = nextEdge(firstEdge_[k]);  // io1 -> io2 in (k, io1, io2)
  for (;;) {
    const int f = across_[e];
    const int io1 = origin_[e], io2 = destination(e);
    if (f >= 0 && swapTest(k, io1, io2, origin_[previousEdge(f)])) {
      e = flip(e);
      continue;
    }
    if (io2 == first) break;
    const int g = across_[nextEdge(e)];  // k -> io2 in (k, io2, next)
    if (g < 0) break;
    e = nextEdge(g);
  }
  return true;
}

int DelaunayBuilder::build() {
  firstNeighbour_.assign(static_cast<std::size_t>(n_) + 1, 0);
  firstEdge_.assign(static_cast<std::size_t>(n_) + 1, -1);
  previousOnHull_.assign(static_cast<std::size_t>(n_) + 1, 0);
  origin_.reserve(6 * static_cast<std::size_t>(n_));
  across_.reserve(6 * static_cast<std::size_t>(n_));
  setUpBuckets();
  int next = 0;
  if (!buildInitialFan(next)) return PlanarTriangulation::kCoincidingNodes;
  if (origin_.empty()) return PlanarTriangulation::kCollinear;
  for (int k = next; k <= n_; ++k)
    if (!insertNode(k)) return PlanarTriangulation::kCoincidingNodes;
  return PlanarTriangulation::kTriangulated;
}

void DelaunayBuilder::pack(std::vector<int>& list, std::vector<int>& end) const {
  // Each node's neighbours counterclockwise from its first one; a boundary
  // node's run stops at the hull and gets its 0.
  // Every half-edge gives one entry; a boundary node adds its last
  // neighbour and the 0.
  std::size_t total = origin_.size();
  for (int v = 1; v <= n_; ++v) total += isBoundary(v) ? 2 : 0;
  list.resize(total);
  end.resize(static_cast<std::size_t>(n_));
  int* out = list.data();
  for (int v = 1; v <= n_; ++v) {
    const int start = firstEdge_[v];
    int e = start;
    for (;;) {
      *out++ = destination(e);
      const int back = previousEdge(e);
      if (across_[back] < 0) {
        *out++ = origin_[back];
        *out++ = 0;
        break;
      }
      e = across_[back];
      if (e == start) break;
    }
    end[v - 1] = static_cast<int>(out - list.data());
  }
}

}  // namespace

void PlanarTriangulation::clear() {
  x_.clear();
  y_.clear();
  neighbourList_.clear();
  listEnd_.clear();
}

bool PlanarTriangulation::left(int a, int b, double px, double py) const {
  return leftOf(x_[a - 1], y_[a - 1], x_[b - 1], y_[b - 1], px, py);
}

int PlanarTriangulation::opposite(int a, int b) const {
  const std::span<const int> l = neighbours(a);
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] == b) return i == 0 ? l.back() : l[i - 1];
  return 0;
}

int PlanarTriangulation::triangleCount() const {
  int count = 0;
  forEachTriangle([&](int, int, int) { ++count; });
  return count;
}

int PlanarTriangulation::triangulate(int n, const double* x, const double* y) {
  clear();
  if (n < 0) n = 0;
  x_.assign(x, x + n);
  y_.assign(y, y + n);
  if (n < 3) return kTooFewNodes;
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(x_[i]) || !std::isfinite(y_[i])) return kNonFiniteNode;
  DelaunayBuilder builder(x_, y_);
  const int status = builder.build();
  if (status == kTriangulated) builder.pack(neighbourList_, listEnd_);
  return status;
}

// ---------------------------------------------------------------------------
// Point location

PlanarTriangulation::Located PlanarTriangulation::visibleChain(int a, int b, double px, double py) const {
  // a -> b is a hull edge (counterclockwise) with p strictly right of it.
  const int hull = nodeCount();
  int last = b;
  for (int guard = 0; guard < hull; ++guard) {
    const int nb = nextOnHull(last);
    if (left(last, nb, px, py)) break;
    last = nb;
  }
  int first = a;
  for (int guard = 0; guard < hull; ++guard) {
    const int pa = previousOnHull(first);
    if (left(pa, first, px, py)) break;
    first = pa;
  }
  return {last, first, 0};
}

PlanarTriangulation::Located PlanarTriangulation::locateByScan(double px, double py) const {
  Located found;
  bool inside = false;
  forEachTriangle([&](int a, int b, int c) {
    if (!inside && left(a, b, px, py) && left(b, c, px, py) && left(c, a, px, py)) {
      found = {a, b, c};
      inside = true;
    }
  });
  if (inside) return found;
  for (int a = 1; a <= nodeCount(); ++a) {
    if (!isBoundary(a)) continue;
    const int b = nextOnHull(a);
    if (!left(a, b, px, py)) return visibleChain(a, b, px, py);
  }
  return {};
}

PlanarTriangulation::Located PlanarTriangulation::locatePoint(int startNode, double px, double py) const {
  const int n = nodeCount();
  if (n < 3 || !triangulated() || !std::isfinite(px) || !std::isfinite(py)) return {};
  int start = startNode;
  if (start < 1 || start > n) start = 1;
  // From a hull node, look along the hull first: nodes inserted in order of
  // their first coordinate always lie outside the hull, often far along it
  // from the previous node but only a few hull edges away.
  if (isBoundary(start)) {
    int ahead = start, behind = start;
    for (int step = 0; step < 64; ++step) {
      const int next = nextOnHull(ahead);
      if (!left(ahead, next, px, py)) return visibleChain(ahead, next, px, py);
      const int previous = previousOnHull(behind);
      if (!left(previous, behind, px, py)) return visibleChain(previous, behind, px, py);
      ahead = next;
      behind = previous;
      if (ahead == behind || ahead == start) break;
    }
  }
  // Visibility walk from a triangle at the start node: leave the triangle
  // through an edge with p strictly on its far side until none is left.
  int a = start;
  int b = neighbours(a)[0];
  int c = neighbours(a)[1];
  const long long limit = 4LL * n + 16;
  for (long long step = 0; step < limit; ++step) {
    // Edge a-b is checked last: the walk entered through it.
    int from = 0, to = 0;
    if (!left(b, c, px, py)) {
      from = b;
      to = c;
    } else if (!left(c, a, px, py)) {
      from = c;
      to = a;
    } else if (!left(a, b, px, py)) {
      from = a;
      to = b;
    } else {
      return {a, b, c};
    }
    const int d = opposite(from, to);
    if (d == 0) return visibleChain(from, to, px, py);
    // The triangle across is (to, from, d); its edge to -> from is the entry.
    a = to;
    b = from;
    c = d;
  }
  return locateByScan(px, py);
}

// ---------------------------------------------------------------------------
// Interpolation

PlanarTriangulation::Interpolated PlanarTriangulation::interpolateLinear(double px, double py,
                                                                         std::span<const double> z,
                                                                         int& startNode) const {
  const int n = nodeCount();
  if (n < 3 || startNode < 1 || startNode > n || z.size() < static_cast<std::size_t>(n)) return {0, kBadQuery};
  if (!std::isfinite(px) || !std::isfinite(py)) return {0, kBadQuery};
  const Located loc = locatePoint(startNode, px, py);
  if (loc.i1 == 0) return {0, kNoTriangle};
  startNode = loc.i1;
  const auto X = [&](int v) { return x_[v - 1]; };
  const auto Y = [&](int v) { return y_[v - 1]; };
  const auto Z = [&](int v) { return z[v - 1]; };
  if (loc.i3 != 0) {
    const double x1 = X(loc.i1), y1 = Y(loc.i1);
    const double dx2 = X(loc.i2) - x1, dy2 = Y(loc.i2) - y1;
    const double dx3 = X(loc.i3) - x1, dy3 = Y(loc.i3) - y1;
    const double det = dx2 * dy3 - dx3 * dy2;
    if (det == 0) return {0, kNoTriangle};
    const double dxp = px - x1, dyp = py - y1;
    const double b2 = (dxp * dy3 - dx3 * dyp) / det;
    const double b3 = (dx2 * dyp - dxp * dy2) / det;
    const double b1 = 1 - b2 - b3;
    return {b1 * Z(loc.i1) + b2 * Z(loc.i2) + b3 * Z(loc.i3), kInside};
  }
  int n1 = loc.i1;
  for (int guard = 0; guard <= n; ++guard) {
    const int n2 = previousOnHull(n1);
    const double ex = X(n2) - X(n1), ey = Y(n2) - Y(n1);
    const double dp = ex * (px - X(n1)) + ey * (py - Y(n1));
    if (dp <= 0) return {Z(n1), kExtrapolated};
    if (-ex * (px - X(n2)) - ey * (py - Y(n2)) > 0) {
      const double t = dp / (ex * ex + ey * ey);
      return {t * Z(n2) + (1 - t) * Z(n1), kExtrapolated};
    }
    n1 = n2;
  }
  return {Z(n1), kExtrapolated};
}

}  // namespace litho
