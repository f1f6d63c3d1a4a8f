// Planar triangulation: sort, build on degenerate and random input, point
// location and linear interpolation.
#include "core/geometry/planar_triangulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace litho {
namespace {

using PT = PlanarTriangulation;

struct Points {
  std::vector<double> x, y;
  void add(double px, double py) {
    x.push_back(px);
    y.push_back(py);
  }
  int n() const { return static_cast<int>(x.size()); }
};

std::vector<int> listOf(const PT& t, int node) {
  const std::span<const int> l = t.neighbours(node);
  return {l.begin(), l.end()};
}

double cross(const PT& t, int a, int b, int c) {
  return (t.x(b) - t.x(a)) * (t.y(c) - t.y(a)) - (t.y(b) - t.y(a)) * (t.x(c) - t.x(a));
}

// Structural checks of a finished triangulation: packed lists agree with the
// per-node lists, adjacency is symmetric, lists are counterclockwise, hull and
// triangle counts satisfy Euler's formula, no flat or inverted triangles, and
// no point lies clearly inside the circumcircle of a neighbouring triangle.
void expectValid(const PT& t) {
  const int n = t.nodeCount();
  ASSERT_TRUE(t.triangulated());
  ASSERT_EQ(static_cast<int>(t.listEnd().size()), n);
  EXPECT_LE(static_cast<int>(t.neighbourList().size()), 6 * n - 9);
  int boundary = 0;
  int start = 0;
  for (int a = 1; a <= n; ++a) {
    const std::vector<int> l = listOf(t, a);
    ASSERT_EQ(t.listEnd()[a - 1] - start, static_cast<int>(l.size())) << "node " << a;
    for (std::size_t i = 0; i < l.size(); ++i) ASSERT_EQ(t.neighbourList()[start + i], l[i]);
    start = t.listEnd()[a - 1];
    const bool bdy = l.back() == 0;
    boundary += bdy;
    const std::size_t m = l.size() - (bdy ? 1 : 0);
    ASSERT_GE(m, 2u) << "node " << a;
    for (std::size_t i = 0; i < m; ++i) {
      const int b = l[i];
      ASSERT_GE(b, 1);
      ASSERT_LE(b, n);
      const std::vector<int> lb = listOf(t, b);
      EXPECT_NE(std::find(lb.begin(), lb.end(), a), lb.end()) << a << "-" << b << " one-sided";
    }
    if (bdy) {
      // Hull runs counterclockwise: from the previous node to a to the next.
      EXPECT_GE(cross(t, l[m - 1], a, l[0]), 0) << "hull turns clockwise at " << a;
    }
  }
  int triangles = 0;
  t.forEachTriangle([&](int a, int b, int c) {
    ++triangles;
    EXPECT_GT(cross(t, a, b, c), 0) << "triangle " << a << " " << b << " " << c;
  });
  EXPECT_EQ(triangles, 2 * n - 2 - boundary);
  // Empty circumcircle across each edge, up to rounding.
  t.forEachTriangle([&](int a, int b, int c) {
    const int tri[3] = {a, b, c};
    for (int e = 0; e < 3; ++e) {
      const int p = tri[e], q = tri[(e + 1) % 3], r = tri[(e + 2) % 3];
      const std::vector<int> lp = listOf(t, p);
      const auto it = std::find(lp.begin(), lp.end(), q);
      const int d = it == lp.begin() ? lp.back() : *(it - 1);
      if (d == 0) continue;
      double m[3][3];
      const int v[3] = {p, q, r};
      for (int i = 0; i < 3; ++i) {
        const double dx = t.x(v[i]) - t.x(d), dy = t.y(v[i]) - t.y(d);
        m[i][0] = dx;
        m[i][1] = dy;
        m[i][2] = dx * dx + dy * dy;
      }
      const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
      double scale = 0;
      for (auto& row : m)
        for (double x : row) scale = std::max(scale, std::abs(x));
      EXPECT_LE(det, 1e-9 * scale * scale * scale) << "node " << d << " in circle of " << p << " " << q << " " << r;
    }
  });
}

TEST(SortNodes, SortsKeysAndCarriesTheOtherArrays) {
  std::mt19937 rng(7);
  for (int n : {0, 1, 2, 5, 11, 12, 13, 40, 1000}) {
    for (int dup : {0, 1}) {
      SCOPED_TRACE(testing::Message() << "n " << n << " few distinct keys " << dup);
      std::vector<double> a(n), b(n), c(n), d(n);
      for (int i = 0; i < n; ++i) {
        a[i] = dup ? static_cast<double>(rng() % 4) : std::uniform_real_distribution<double>(-5, 5)(rng);
        b[i] = i;
        c[i] = 10.0 * i;
        d[i] = a[i];
      }
      const std::vector<int> perm = sortNodes(n, a.data(), b.data(), c.data(), 3);
      ASSERT_EQ(static_cast<int>(perm.size()), n);
      EXPECT_TRUE(std::is_sorted(a.begin(), a.end()));
      std::vector<int> seen(n, 0);
      for (int i = 0; i < n; ++i) {
        ASSERT_EQ(b[i], perm[i]);
        EXPECT_EQ(c[i], 10.0 * perm[i]);
        EXPECT_EQ(a[i], d[perm[i]]);
        ++seen[perm[i]];
      }
      EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), n);
      // A further array follows the same permutation.
      std::vector<std::string> names(n);
      for (int i = 0; i < n; ++i) names[i] = std::to_string(i);
      applyPermutation<std::string>(perm, names);
      for (int i = 0; i < n; ++i) EXPECT_EQ(names[i], std::to_string(perm[i]));
    }
  }
}

TEST(SortNodes, ArrayCountLimitsWhatIsPermuted) {
  std::vector<double> a{3, 1, 2}, b{30, 10, 20}, c{300, 100, 200};
  sortNodes(3, a.data(), b.data(), c.data(), 1);
  EXPECT_EQ(a, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(b, (std::vector<double>{30, 10, 20}));
  sortNodes(3, b.data(), c.data(), a.data(), 2);
  EXPECT_EQ(b, (std::vector<double>{10, 20, 30}));
  EXPECT_EQ(c, (std::vector<double>{100, 200, 300}));
  EXPECT_EQ(a, (std::vector<double>{1, 2, 3}));
}

TEST(SortNodes, NanKeysDoNotRunOffTheArray) {
  std::vector<double> a(50);
  for (int i = 0; i < 50; ++i) a[i] = i % 3 ? 50.0 - i : std::numeric_limits<double>::quiet_NaN();
  const std::vector<int> perm = sortNodes(50, a.data(), nullptr, nullptr, 1);
  std::vector<int> sorted = perm;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 50; ++i) EXPECT_EQ(sorted[i], i);
}

TEST(Triangulate, StatusOfDegenerateInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::vector<double> x, y;
    int status;
  };
  const Case cases[] = {
      {"none", {}, {}, PT::kTooFewNodes},
      {"two", {0, 1}, {0, 1}, PT::kTooFewNodes},
      {"three collinear", {0, 1, 2}, {0, 1, 2}, PT::kCollinear},
      {"vertical line out of order", {5, 5, 5, 5, 5}, {2, 0, 4, 1, 3}, PT::kCollinear},
      {"first two coincide", {1, 1, 0}, {1, 1, 0}, PT::kCoincidingNodes},
      {"line end repeated", {0, 1, 2, 2, 0}, {0, 0, 0, 0, 1}, PT::kCoincidingNodes},
      {"line start repeated", {0, 1, 0, 0}, {0, 0, 0, 1}, PT::kCoincidingNodes},
      {"middle of line repeated", {0, 2, 1, 1, 0}, {0, 0, 0, 0, 1}, PT::kCoincidingNodes},
      {"repeated vertex later", {0, 1, 0, 1, 1}, {0, 0, 1, 1, 0}, PT::kCoincidingNodes},
      {"repeated fan apex", {0, 1, 0.5, 0.5}, {0, 0, 1, 1}, PT::kCoincidingNodes},
      {"nan", {0, 1, nan}, {0, 0, 1}, PT::kNonFiniteNode},
      {"infinity", {0, 1, 0}, {0, 0, std::numeric_limits<double>::infinity()}, PT::kNonFiniteNode},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PT t;
    EXPECT_EQ(t.triangulate(c.x, c.y), c.status);
    EXPECT_FALSE(t.triangulated());
    EXPECT_TRUE(t.neighbourList().empty());
    int start = 1;
    const std::vector<double> z(c.x.size(), 1.0);
    const PT::Interpolated r = t.interpolateLinear(0.5, 0.5, z, start);
    EXPECT_EQ(r.status, c.x.size() < 3 ? PT::kBadQuery : PT::kNoTriangle);
    EXPECT_EQ(r.value, 0);
    const PT::Located loc = t.locatePoint(1, 0.5, 0.5);
    EXPECT_EQ(loc.i1 + loc.i2 + loc.i3, 0);
  }
}

TEST(Triangulate, CollinearLeadingPointsGiveAFan) {
  struct Case {
    const char* name;
    Points p;
    std::vector<int> list, ends;
  };
  Case cases[3];
  cases[0].name = "in order, apex left of the line";
  cases[0].p.add(0, 0), cases[0].p.add(1, 0), cases[0].p.add(2, 0), cases[0].p.add(1, 1);
  cases[0].list = {2, 4, 0, 3, 4, 1, 0, 4, 2, 0, 1, 2, 3, 0};
  cases[0].ends = {3, 7, 10, 14};
  cases[1].name = "middle point first";
  cases[1].p.add(1, 0), cases[1].p.add(0, 0), cases[1].p.add(2, 0), cases[1].p.add(1, 1);
  cases[1].list = {3, 4, 2, 0, 1, 4, 0, 4, 1, 0, 2, 1, 3, 0};
  cases[1].ends = {4, 7, 10, 14};
  cases[2].name = "ends first, apex right of the line";
  cases[2].p.add(0, 0), cases[2].p.add(3, 0), cases[2].p.add(1, 0), cases[2].p.add(2, 0), cases[2].p.add(1, -1);
  // Line 1 3 4 2, the apex 5 below it.
  cases[2].list = {5, 3, 0, 4, 5, 0, 1, 5, 4, 0, 3, 5, 2, 0, 2, 4, 3, 1, 0};
  cases[2].ends = {3, 6, 10, 14, 19};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PT t;
    ASSERT_EQ(t.triangulate(c.p.x, c.p.y), PT::kTriangulated);
    EXPECT_EQ(t.neighbourList(), c.list);
    EXPECT_EQ(t.listEnd(), c.ends);
    EXPECT_EQ(t.triangleCount(), c.p.n() - 2);
    expectValid(t);
  }
}

TEST(Triangulate, CocircularPointsKeepTheDiagonalOfTheInsertionOrder) {
  {
    SCOPED_TRACE("(0,0) (0,1) (1,0) (1,1): diagonal 2-3");
    PT t;
    const std::vector<double> x{0, 0, 1, 1}, y{0, 1, 0, 1};
    ASSERT_EQ(t.triangulate(x, y), PT::kTriangulated);
    EXPECT_EQ(listOf(t, 2), (std::vector<int>{1, 3, 4, 0}));
    EXPECT_EQ(listOf(t, 4), (std::vector<int>{2, 3, 0}));
    expectValid(t);
  }
  {
    SCOPED_TRACE("(0,0) (1,0) (1,1) (0,1): diagonal 1-3");
    PT t;
    const std::vector<double> x{0, 1, 1, 0}, y{0, 0, 1, 1};
    ASSERT_EQ(t.triangulate(x, y), PT::kTriangulated);
    EXPECT_EQ(listOf(t, 1), (std::vector<int>{2, 3, 4, 0}));
    EXPECT_EQ(listOf(t, 4), (std::vector<int>{1, 3, 0}));
    expectValid(t);
  }
  {
    SCOPED_TRACE("regular octagon and its centre");
    Points p;
    for (int i = 0; i < 8; ++i) p.add(std::cos(i * M_PI / 4), std::sin(i * M_PI / 4));
    p.add(0, 0);
    PT t;
    ASSERT_EQ(t.triangulate(p.x, p.y), PT::kTriangulated);
    EXPECT_EQ(t.triangleCount(), 8);
    expectValid(t);
  }
}

TEST(Triangulate, PointsOnTheHullJoinTheHull) {
  // Node 5 lies on the diagonal 2-3, node 6 on the hull edge 1-2.
  const std::vector<double> x{0, 2, 0, 4, 1, 1}, y{0, 0, 2, 4, 1, 0};
  PT t;
  ASSERT_EQ(t.triangulate(x, y), PT::kTriangulated);
  expectValid(t);
  EXPECT_TRUE(t.isBoundary(6));
  EXPECT_FALSE(t.isBoundary(5));
  // Every triangle has area: interpolation works everywhere in the hull.
  const std::vector<double> z{0, 2, 4, 12, 3, 1};  // z = x + 2y
  int start = 1;
  for (double qx = 0; qx <= 2; qx += 0.25) {
    SCOPED_TRACE(qx);
    const PT::Interpolated r = t.interpolateLinear(qx, 0, z, start);
    EXPECT_EQ(r.status, PT::kInside);
    EXPECT_NEAR(r.value, qx, 1e-12);
  }
}

TEST(Triangulate, GridsWithEqualSortKeys) {
  for (int side : {2, 3, 7, 20}) {
    SCOPED_TRACE(testing::Message() << side << " x " << side);
    Points p;
    for (int j = 0; j < side; ++j)
      for (int i = 0; i < side; ++i) p.add(i * 10.0, j * 10.0);
    sortNodes(p.n(), p.x.data(), p.y.data(), nullptr, 2);
    PT t;
    ASSERT_EQ(t.triangulate(p.x, p.y), PT::kTriangulated);
    expectValid(t);
    int boundary = 0;
    for (int k = 1; k <= p.n(); ++k) boundary += t.isBoundary(k);
    EXPECT_EQ(boundary, 4 * (side - 1));
    EXPECT_EQ(t.triangleCount(), 2 * (side - 1) * (side - 1));
    // A plane is reproduced everywhere on the grid, its lines included.
    std::vector<double> z(p.n());
    for (int k = 0; k < p.n(); ++k) z[k] = 2 * p.x[k] - p.y[k];
    int start = 1;
    for (double qx = 0; qx <= 10.0 * (side - 1); qx += 2.5)
      for (double qy = 0; qy <= 10.0 * (side - 1); qy += 5) {
        const PT::Interpolated r = t.interpolateLinear(qx, qy, z, start);
        ASSERT_EQ(r.status, PT::kInside) << qx << " " << qy;
        EXPECT_NEAR(r.value, 2 * qx - qy, 1e-9) << qx << " " << qy;
      }
  }
}

TEST(Triangulate, ShuffledGridsSplitEverySquareAndReproduceAPlane) {
  // Unsorted, nodes fall inside the hull and on edges between triangles,
  // where the insertion retraces the walk from the previous node.
  std::mt19937_64 rng(11);
  for (int side : {4, 30}) {
    SCOPED_TRACE(testing::Message() << side << " x " << side);
    Points p;
    for (int j = 0; j < side; ++j)
      for (int i = 0; i < side; ++i) p.add(i * 10.0, j * 10.0);
    std::vector<int> order(p.x.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), rng);
    applyPermutation<double>(order, p.x);
    applyPermutation<double>(order, p.y);
    PT t;
    ASSERT_EQ(t.triangulate(p.x, p.y), PT::kTriangulated);
    expectValid(t);
    EXPECT_EQ(t.triangleCount(), 2 * (side - 1) * (side - 1));
    std::vector<double> z(p.n());
    for (int k = 0; k < p.n(); ++k) z[k] = 0.5 * p.x[k] + 3 * p.y[k];
    int start = p.n();
    for (double qx = 0; qx <= 10.0 * (side - 1); qx += 5)
      for (double qy = 0; qy <= 10.0 * (side - 1); qy += 2.5) {
        const PT::Interpolated r = t.interpolateLinear(qx, qy, z, start);
        ASSERT_EQ(r.status, PT::kInside) << qx << " " << qy;
        EXPECT_NEAR(r.value, 0.5 * qx + 3 * qy, 1e-9) << qx << " " << qy;
      }
  }
}

TEST(Triangulate, RandomPointsGiveADelaunayTriangulation) {
  std::mt19937_64 rng(3);
  for (int n : {3, 4, 10, 100, 2000}) {
    for (int kind = 0; kind < 3; ++kind) {
      SCOPED_TRACE(testing::Message() << n << " points, kind " << kind);
      Points p;
      std::set<std::pair<double, double>> used;
      while (p.n() < n) {
        double px, py;
        if (kind == 0) {
          px = std::uniform_real_distribution<double>(0, 1000)(rng);
          py = std::uniform_real_distribution<double>(0, 1000)(rng);
        } else if (kind == 1) {  // coarse integer lattice: many ties
          px = static_cast<double>(rng() % 60);
          py = static_cast<double>(rng() % 60);
        } else {  // on a circle, sorted or not
          const double a = std::uniform_real_distribution<double>(0, 2 * M_PI)(rng);
          px = 1e5 + 50 * std::cos(a);
          py = -3e5 + 50 * std::sin(a);
        }
        if (used.insert({px, py}).second) p.add(px, py);
      }
      if (kind != 2) sortNodes(n, p.x.data(), p.y.data(), nullptr, 2);
      PT t;
      const int status = t.triangulate(p.x, p.y);
      if (kind == 1 && n == 3 && status == PT::kCollinear) continue;
      ASSERT_EQ(status, PT::kTriangulated);
      expectValid(t);
    }
  }
}

TEST(LocatePoint, TrianglesAndVisibleHullNodes) {
  // Unit square with its centre: 1 (0,0) 2 (1,0) 3 (1,1) 4 (0,1) 5 centre.
  const std::vector<double> x{0, 1, 1, 0, 0.5}, y{0, 0, 1, 1, 0.5};
  PT t;
  ASSERT_EQ(t.triangulate(x, y), PT::kTriangulated);
  const auto containing = [&](const PT::Located& l, double px, double py) {
    const auto side = [&](int a, int b) {
      return (t.x(b) - t.x(a)) * (py - t.y(a)) - (px - t.x(a)) * (t.y(b) - t.y(a));
    };
    return l.i3 != 0 && side(l.i1, l.i2) >= 0 && side(l.i2, l.i3) >= 0 && side(l.i3, l.i1) >= 0 &&
           cross(t, l.i1, l.i2, l.i3) > 0;
  };
  for (int start = 1; start <= 5; ++start) {
    SCOPED_TRACE(testing::Message() << "start " << start);
    for (const auto& [px, py] : std::vector<std::pair<double, double>>{
             {0.2, 0.1}, {0.9, 0.5}, {0.5, 0.5}, {0.5, 0}, {0, 0}, {1, 1}, {0.25, 0.75}}) {
      SCOPED_TRACE(testing::Message() << px << " " << py);
      EXPECT_TRUE(containing(t.locatePoint(start, px, py), px, py));
    }
    struct Outside {
      double px, py;
      int i1, i2;
    };
    for (const Outside& o : {Outside{2, 0.5, 3, 2}, Outside{0.5, -1, 2, 1}, Outside{2, 2, 4, 2},
                             Outside{-1, 2, 1, 3}, Outside{1, 3, 4, 3}, Outside{3, 0, 3, 2}}) {
      SCOPED_TRACE(testing::Message() << o.px << " " << o.py);
      const PT::Located l = t.locatePoint(start, o.px, o.py);
      EXPECT_EQ(l.i1, o.i1);
      EXPECT_EQ(l.i2, o.i2);
      EXPECT_EQ(l.i3, 0);
    }
  }
  // A bad start node or a non-finite point.
  EXPECT_TRUE(containing(t.locatePoint(0, 0.2, 0.1), 0.2, 0.1));
  EXPECT_TRUE(containing(t.locatePoint(99, 0.2, 0.1), 0.2, 0.1));
  const PT::Located nan = t.locatePoint(1, std::nan(""), 0);
  EXPECT_EQ(nan.i1 + nan.i2 + nan.i3, 0);
}

TEST(InterpolateLinear, InsideOnTheHullAndBeyond) {
  // z = x + 2y on the triangle (0,0) (2,0) (0,2).
  const std::vector<double> x{0, 2, 0}, y{0, 0, 2}, z{0, 2, 4};
  PT t;
  ASSERT_EQ(t.triangulate(x, y), PT::kTriangulated);
  struct Case {
    double px, py, value;
    int status;
  };
  const Case cases[] = {
      {0.5, 0.5, 1.5, PT::kInside},        {1, 0, 1, PT::kInside},          {1, 1, 3, PT::kInside},
      {0, 2, 4, PT::kInside},              {3, -1, 2, PT::kExtrapolated},   {5, 0, 2, PT::kExtrapolated},
      {-1, -1, 0, PT::kExtrapolated},      {1, -1, 1, PT::kExtrapolated},   {2, 2, 3, PT::kExtrapolated},
      {-3, 1.5, 3, PT::kExtrapolated},     {-1, 5, 4, PT::kExtrapolated},   {1.5, -7, 1.5, PT::kExtrapolated},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.px << " " << c.py);
    int start = 2;
    const PT::Interpolated r = t.interpolateLinear(c.px, c.py, z, start);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NEAR(r.value, c.value, 1e-12);
    EXPECT_GE(start, 1);
    EXPECT_LE(start, 3);
  }
  int start = 0;
  EXPECT_EQ(t.interpolateLinear(0.5, 0.5, z, start).status, PT::kBadQuery);
  EXPECT_EQ(start, 0);
  start = 4;
  const PT::Interpolated bad = t.interpolateLinear(0.5, 0.5, z, start);
  EXPECT_EQ(bad.status, PT::kBadQuery);
  EXPECT_EQ(bad.value, 0);
  start = 1;
  EXPECT_EQ(t.interpolateLinear(0.5, std::nan(""), z, start).status, PT::kBadQuery);
}

// Brute force: the value at the nearest point of the hull.
double nearestHullValue(const PT& t, const std::vector<double>& z, double px, double py) {
  double best = std::numeric_limits<double>::infinity(), value = 0;
  for (int a = 1; a <= t.nodeCount(); ++a) {
    if (!t.isBoundary(a)) continue;
    const int b = t.neighbours(a).front();
    const double ex = t.x(b) - t.x(a), ey = t.y(b) - t.y(a);
    double s = ((px - t.x(a)) * ex + (py - t.y(a)) * ey) / (ex * ex + ey * ey);
    s = std::clamp(s, 0.0, 1.0);
    const double fx = t.x(a) + s * ex, fy = t.y(a) + s * ey;
    const double d = std::hypot(px - fx, py - fy);
    if (d < best) {
      best = d;
      value = (1 - s) * z[a - 1] + s * z[b - 1];
    }
  }
  return value;
}

TEST(InterpolateLinear, RandomQueriesReproduceAPlaneAndExtendTheHull) {
  std::mt19937_64 rng(11);
  std::uniform_real_distribution<double> u(0, 100), wide(-60, 160);
  Points p;
  for (int i = 0; i < 500; ++i) p.add(u(rng), u(rng));
  std::vector<double> z(500);
  sortNodes(500, p.x.data(), p.y.data(), nullptr, 2);
  for (int i = 0; i < 500; ++i) z[i] = 3 * p.x[i] - 2 * p.y[i] + 7;
  std::vector<double> bumpy(500);
  for (int i = 0; i < 500; ++i) bumpy[i] = std::sin(p.x[i] / 7) * p.y[i];
  PT t;
  ASSERT_EQ(t.triangulate(p.x, p.y), PT::kTriangulated);
  int start = 1;
  int outside = 0;
  for (int q = 0; q < 3000; ++q) {
    const double px = wide(rng), py = wide(rng);
    SCOPED_TRACE(testing::Message() << px << " " << py);
    const PT::Interpolated plane = t.interpolateLinear(px, py, z, start);
    ASSERT_GE(plane.status, 0);
    if (plane.status == PT::kInside) {
      EXPECT_NEAR(plane.value, 3 * px - 2 * py + 7, 1e-9);
    } else {
      ++outside;
      int s2 = start;
      EXPECT_NEAR(t.interpolateLinear(px, py, bumpy, s2).value, nearestHullValue(t, bumpy, px, py), 1e-9);
    }
  }
  EXPECT_GT(outside, 100);
}

}  // namespace
}  // namespace litho
