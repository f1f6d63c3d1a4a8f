// One smoothing pass of a 200 x 200 x 200 model under a ground surface that
// leaves 0 to 60 cells of air per column, in ns per cell, against the direct
// sum over each cell's 27 neighbours.
//   smooth_bench [N] [runs]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "bench_cube.h"
#include "core/edit/model_edits.h"

using namespace litho;

namespace {

// CPU time of this process, ms: the machine is shared, so wall time alone says little.
double cpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec * 1e-6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The mean over each active cell's neighbourhood as written down, one neighbour at a time.
void directSmooth(const RectMesh& m, const Grid2<int>& top, const ModelSet& in, ModelSet& out) {
  out.allocate(m.nx, m.ny, m.nz);
  for (int i = 0; i < m.nx; ++i)
    for (int j = 0; j < m.ny; ++j)
      for (int k = 0; k < m.nz; ++k) {
        if (k < top(i, j)) {
          out(i, j, k) = in(i, j, k);
          continue;
        }
        double sum = 0, weight = 0;
        for (int l = std::max(i - 1, 0); l <= std::min(i + 1, m.nx - 1); ++l)
          for (int n = std::max(j - 1, 0); n <= std::min(j + 1, m.ny - 1); ++n)
            for (int c = std::max(top(l, n), k - 1); c <= std::min(k + 1, m.nz - 1); ++c) {
              const double w =
                  (m.xNodes[l + 1] - m.xNodes[l]) * (m.yNodes[n + 1] - m.yNodes[n]) * (m.zNodes[c] - m.zNodes[c + 1]);
              sum += in(l, n, c) * w;
              weight += w;
            }
        out(i, j, k) = static_cast<float>(sum / weight);
      }
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 200;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  ModelStore cube = bench::makeCube(n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) cube.modelData(0)(i, j, k) = bench::bodiesValue(i, j, k, n);
  Grid2<int>& top = cube.topActiveData();
  long long active = 0;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const double x = static_cast<double>(i) / n, y = static_cast<double>(j) / n;
      top(i, j) = std::clamp(static_cast<int>(0.3 * n * (0.5 + 0.5 * std::sin(5 * x) * std::cos(4 * y))), 0, n);
      active += n - top(i, j);
    }
  const double cells = static_cast<double>(n) * n * n;
  // The command writes into a new array, whose pages are touched for the first time.
  ModelSet out;
  std::vector<double> ms, fresh, freshCpu, cpu;
  for (int r = 0; r < runs; ++r) {
    out = ModelSet();
    auto t0 = std::chrono::steady_clock::now();
    double c0 = cpuMs();
    smoothValues(cube.mesh(), top, cube.model(0), out);
    freshCpu.push_back(cpuMs() - c0);
    fresh.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    t0 = std::chrono::steady_clock::now();
    c0 = cpuMs();
    smoothValues(cube.mesh(), top, cube.model(0), out);
    cpu.push_back(cpuMs() - c0);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  ModelSet direct;
  const auto t0 = std::chrono::steady_clock::now();
  directSmooth(cube.mesh(), top, cube.model(0), direct);
  const double directMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  double worst = 0;
  for (std::size_t c = 0; c < out.size(); ++c)
    worst = std::max(worst, std::fabs(static_cast<double>(out.data()[c]) - direct.data()[c]) /
                                std::max(1e-30, std::fabs(static_cast<double>(direct.data()[c]))));
  double load = 0;
  if (FILE* f = std::fopen("/proc/loadavg", "r")) {
    if (std::fscanf(f, "%lf", &load) != 1) load = 0;
    std::fclose(f);
  }
  std::printf("smoothing %d x %d x %d = %.0f cells, %.1f%% active, median of %d runs, load average %.1f\n", n, n, n,
              cells, 100.0 * static_cast<double>(active) / cells, runs, load);
  std::printf("  new array      %9.1f ms %7.2f ns/cell   cpu %7.2f ns/cell\n", median(fresh),
              median(fresh) * 1e6 / cells, median(freshCpu) * 1e6 / cells);
  std::printf("  reused array   %9.1f ms %7.2f ns/cell   cpu %7.2f ns/cell\n", median(ms), median(ms) * 1e6 / cells,
              median(cpu) * 1e6 / cells);
  std::printf("  direct (1 run) %9.1f ms %7.2f ns/cell   %.1fx the new array's time\n", directMs,
              directMs * 1e6 / cells, directMs / median(fresh));
  std::printf("  largest relative difference from the direct sums: %.3g; under 20 ns/cell: %s (wall), %s (cpu)\n",
              worst, median(fresh) * 1e6 / cells < 20 ? "yes" : "no",
              median(freshCpu) * 1e6 / cells < 20 ? "yes" : "no");
  return 0;
}
