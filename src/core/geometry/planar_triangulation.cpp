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

void PlanarTriangulation::clear() {
  x_.clear();
  y_.clear();
  adj_.clear();
  neighbourList_.clear();
  listEnd_.clear();
}

bool PlanarTriangulation::left(int a, int b, double px, double py) const {
  const double xa = x_[a - 1], ya = y_[a - 1];
  return (x_[b - 1] - xa) * (py - ya) >= (px - xa) * (y_[b - 1] - ya);
}

int PlanarTriangulation::opposite(int a, int b) const {
  const std::vector<int>& l = adj_[a - 1];
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] == b) return i == 0 ? l.back() : l[i - 1];
  return 0;
}

void PlanarTriangulation::insertAfter(int node, int after, int inserted) {
  std::vector<int>& l = adj_[node - 1];
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] == after) {
      l.insert(l.begin() + static_cast<std::ptrdiff_t>(i) + 1, inserted);
      return;
    }
}

void PlanarTriangulation::removeNeighbour(int node, int removed) {
  std::vector<int>& l = adj_[node - 1];
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l[i] == removed) {
      l.erase(l.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

bool PlanarTriangulation::swapTest(int k, int io1, int io2, int q) const {
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

int PlanarTriangulation::triangleCount() const {
  int count = 0;
  forEachTriangle([&](int, int, int) { ++count; });
  return count;
}

// ---------------------------------------------------------------------------
// Building

bool PlanarTriangulation::buildInitialFan(int n, int& next) {
  const auto X = [&](int v) { return x_[v - 1]; };
  const auto Y = [&](int v) { return y_[v - 1]; };
  if (X(1) == X(2) && Y(1) == Y(2)) return false;
  std::vector<int> line{1, 2};
  for (int k = 3; k <= n; ++k) {
    const int lo = line.front(), hi = line.back();
    const double c = (Y(k) - Y(lo)) * (X(hi) - X(lo)) - (X(k) - X(lo)) * (Y(hi) - Y(lo));
    if (c != 0) {
      if (c > 0) std::reverse(line.begin(), line.end());
      // k is right of the line from its first node to its last.
      const int m = static_cast<int>(line.size());
      adj_[k - 1].reserve(static_cast<std::size_t>(m) + 1);
      for (int i = m - 1; i >= 0; --i) adj_[k - 1].push_back(line[i]);
      adj_[k - 1].push_back(0);
      adj_[line[0] - 1] = {k, line[1], 0};
      adj_[line[m - 1] - 1] = {line[m - 2], k, 0};
      for (int i = 1; i < m - 1; ++i) adj_[line[i] - 1] = {line[i - 1], k, line[i + 1], 0};
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
  next = n + 1;  // all collinear
  return true;
}

bool PlanarTriangulation::insertNode(int k) {
  const double px = x_[k - 1], py = y_[k - 1];
  const Located loc = locatePoint(k - 1, px, py);
  std::vector<int>& lk = adj_[k - 1];
  if (loc.i3 == 0) {
    // Outside the hull: join k to the hull nodes from i1 clockwise to i2.
    int v = loc.i1;
    lk.push_back(v);
    while (v != loc.i2) {
      v = previousOnHull(v);
      lk.push_back(v);
    }
    lk.push_back(0);
    for (std::size_t i = 1; i + 2 < lk.size(); ++i) adj_[lk[i] - 1].back() = k;
    std::vector<int>& l1 = adj_[loc.i1 - 1];
    l1.insert(l1.end() - 1, k);
    std::vector<int>& l2 = adj_[loc.i2 - 1];
    l2.insert(l2.begin(), k);
  } else {
    const int tri[3] = {loc.i1, loc.i2, loc.i3};
    for (int v : tri)
      if (x_[v - 1] == px && y_[v - 1] == py) return false;
    // On a hull edge the node joins the hull instead of leaving a flat
    // triangle that no swap can remove.
    int hullEdge = -1;
    for (int e = 0; e < 3; ++e) {
      const int a = tri[e], b = tri[(e + 1) % 3];
      const double cross = (x_[b - 1] - x_[a - 1]) * (py - y_[a - 1]) - (px - x_[a - 1]) * (y_[b - 1] - y_[a - 1]);
      if (cross == 0 && adj_[a - 1].back() == 0 && adj_[a - 1].front() == b) hullEdge = e;
    }
    if (hullEdge >= 0) {
      const int a = tri[hullEdge], b = tri[(hullEdge + 1) % 3], c = tri[(hullEdge + 2) % 3];
      adj_[a - 1].front() = k;
      adj_[b - 1][adj_[b - 1].size() - 2] = k;
      insertAfter(c, a, k);
      lk = {b, c, a, 0};
    } else {
      insertAfter(loc.i1, loc.i2, k);
      insertAfter(loc.i2, loc.i3, k);
      insertAfter(loc.i3, loc.i1, k);
      lk = {loc.i1, loc.i2, loc.i3};
    }
  }

  // Local optimisation around k.
  const int first = adj_[k - 1].front();
  int io1 = first;
  int io2 = adj_[k - 1][1];
  for (;;) {
    const int q = opposite(io1, io2);
    if (q != 0 && swapTest(k, io1, io2, q)) {
      removeNeighbour(io1, io2);
      removeNeighbour(io2, io1);
      insertAfter(k, io1, q);
      insertAfter(q, io2, k);
      io2 = q;
      continue;
    }
    if (io2 == first) break;
    const std::vector<int>& l = adj_[k - 1];
    std::size_t pos = 0;
    while (l[pos] != io2) ++pos;
    io1 = io2;
    io2 = pos + 1 < l.size() ? l[pos + 1] : l.front();
    if (io2 == 0) break;
  }
  return true;
}

void PlanarTriangulation::pack() {
  std::size_t total = 0;
  for (const std::vector<int>& l : adj_) total += l.size();
  neighbourList_.clear();
  neighbourList_.reserve(total);
  listEnd_.assign(adj_.size(), 0);
  for (std::size_t v = 0; v < adj_.size(); ++v) {
    neighbourList_.insert(neighbourList_.end(), adj_[v].begin(), adj_[v].end());
    listEnd_[v] = static_cast<int>(neighbourList_.size());
  }
}

int PlanarTriangulation::triangulate(int n, const double* x, const double* y) {
  clear();
  if (n < 0) n = 0;
  x_.assign(x, x + n);
  y_.assign(y, y + n);
  if (n < 3) return kTooFewNodes;
  for (int i = 0; i < n; ++i)
    if (!std::isfinite(x_[i]) || !std::isfinite(y_[i])) return kNonFiniteNode;
  adj_.assign(static_cast<std::size_t>(n), {});
  int next = 0;
  if (!buildInitialFan(n, next)) {
    adj_.clear();
    return kCoincidingNodes;
  }
  if (next > n && adj_[0].empty()) {
    adj_.clear();
    return kCollinear;
  }
  for (int k = next; k <= n; ++k) {
    if (!insertNode(k)) {
      adj_.clear();
      return kCoincidingNodes;
    }
  }
  pack();
  return kTriangulated;
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
  const int n = static_cast<int>(adj_.size());
  if (n < 3 || adj_[0].empty() || !std::isfinite(px) || !std::isfinite(py)) return {};
  int start = startNode;
  if (start < 1 || start > n || adj_[start - 1].empty()) start = 1;
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
  int b = adj_[a - 1][0];
  int c = adj_[a - 1][1];
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
