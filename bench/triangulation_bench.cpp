// Planar triangulation of uniform random points: sort, build, and a sweep of
// interpolation queries in sample order (each starting from the last result).
//   triangulation_bench [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "core/geometry/planar_triangulation.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Times {
  double sort = 0, build = 0, query = 0;
  int triangles = 0;
  long queries = 0;
};

Times once(int n, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> u(0, 10000);
  std::vector<double> x(n), y(n), z(n);
  for (int i = 0; i < n; ++i) {
    x[i] = u(rng);
    y[i] = u(rng);
    z[i] = u(rng);
  }
  Times t;
  double t0 = now();
  sortNodes(n, x.data(), y.data(), z.data(), 3);
  double t1 = now();
  PlanarTriangulation tri;
  if (tri.triangulate(n, x.data(), y.data()) != PlanarTriangulation::kTriangulated) {
    std::fprintf(stderr, "triangulation failed\n");
    std::exit(1);
  }
  double t2 = now();
  t.sort = t1 - t0;
  t.build = t2 - t1;
  t.triangles = tri.triangleCount();
  // A grid of samples over the points and a margin, northing fastest.
  const int side = 400;
  int start = 1;
  double sum = 0;
  t0 = now();
  for (int i = 0; i <= side; ++i)
    for (int j = 0; j <= side; ++j) {
      const double px = -500 + 11000.0 * i / side, py = -500 + 11000.0 * j / side;
      sum += tri.interpolateLinear(px, py, z, start).value;
    }
  t.query = now() - t0;
  t.queries = static_cast<long>(side + 1) * (side + 1);
  if (sum == 42) std::printf(" ");
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i + 1 < argc; ++i)
    if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
  std::printf("planar triangulation of uniform random points, median of %d runs\n", runs);
  std::printf("%8s %10s %10s %10s %12s %10s %14s\n", "points", "triangles", "sort ms", "build ms", "sort+build", "us/point",
              "query ns/pt");
  for (int n : {10000, 100000}) {
    std::vector<double> s, b, q, total;
    Times last;
    for (int r = 0; r < runs; ++r) {
      last = once(n, 1000u + static_cast<unsigned>(r));
      s.push_back(last.sort * 1e3);
      b.push_back(last.build * 1e3);
      total.push_back((last.sort + last.build) * 1e3);
      q.push_back(last.query * 1e9 / static_cast<double>(last.queries));
    }
    std::printf("%8d %10d %10.2f %10.2f %12.2f %10.3f %14.1f\n", n, last.triangles, median(s), median(b), median(total),
                median(total) * 1e3 / n, median(q));
  }
  return 0;
}
