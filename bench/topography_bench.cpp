// Topography load on a survey-sized gridded surface: 632 x 632 points at map
// coordinates with noise in z, over a 200 x 200 x 100 mesh. Prints the read,
// sort and duplicate test, triangulation, top index and whole-load times.
//   topography_bench [--runs N]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/geometry/planar_triangulation.h"
#include "core/platform/stream_platform.h"
#include "core/topography/top_active_index.h"
#include "core/topography/topography.h"
#include "core/topography/topography_duplicates.h"
#include "core/topography/topography_reader.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

constexpr int kSide = 632;
constexpr double kStep = 10;
constexpr double kEast0 = 500000, kNorth0 = 7000000;

std::string writeSurface() {
  char path[] = "/tmp/topography_bench_XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) {
    std::perror("mkstemp");
    std::exit(1);
  }
  ::close(fd);
  std::FILE* f = std::fopen(path, "wb");
  std::mt19937_64 rng(5);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  std::fprintf(f, "! gridded ground surface\r\n%d\r\n", kSide * kSide);
  for (int j = 0; j < kSide; ++j)
    for (int i = 0; i < kSide; ++i) {
      const double e = kEast0 + i * kStep, n = kNorth0 + j * kStep;
      const double z = 950 + 30 * std::sin(i / 60.0) * std::cos(j / 45.0) + noise(rng);
      std::fprintf(f, "%.2f\t%.2f\t%.3f\r\n", e, n, z);
    }
  std::fclose(f);
  return path;
}

RectMesh benchMesh() {
  RectMesh m;
  m.nx = m.ny = 200;
  m.nz = 100;
  for (int i = 0; i <= m.nx; ++i) m.xNodes.push_back(kEast0 + 100 + 30.0 * i);
  for (int j = 0; j <= m.ny; ++j) m.yNodes.push_back(kNorth0 + 100 + 30.0 * j);
  for (int k = 0; k <= m.nz; ++k) m.zNodes.push_back(1000 - 5.0 * k);
  return m;
}

[[noreturn]] void die(const char* what) {
  std::fprintf(stderr, "%s failed\n", what);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i + 1 < argc; ++i)
    if (!std::strcmp(argv[i], "--runs")) runs = std::max(1, std::atoi(argv[i + 1]));
  const std::string path = writeSurface();
  const RectMesh mesh = benchMesh();
  StreamPlatform platform(std::cerr, false);
  LineSource::Buffers buffers;

  std::vector<double> read, sort, duplicates, build, index, whole;
  long long inactive = 0;
  for (int r = 0; r < runs; ++r) {
    double t0 = now();
    LineSource in(path, buffers);
    std::optional<TopographyPoints> points = readTopographyPoints(in, path, platform);
    if (!points) die("read");
    double t1 = now();
    const int n = points->size();
    sortNodes(n, points->northing.data(), points->easting.data(), points->elevation.data(), 3);
    double t2 = now();
    if (findDuplicates(points->northing, points->easting).count != 0) die("duplicate test");
    double t3 = now();
    PlanarTriangulation surface;
    if (surface.triangulate(n, points->northing.data(), points->easting.data()) != PlanarTriangulation::kTriangulated)
      die("triangulation");
    double t4 = now();
    const Grid2<int> top = computeTopActiveIndex(surface, points->elevation, mesh);
    double t5 = now();
    read.push_back((t1 - t0) * 1e3);
    sort.push_back((t2 - t1) * 1e3);
    duplicates.push_back((t3 - t2) * 1e3);
    build.push_back((t4 - t3) * 1e3);
    index.push_back((t5 - t4) * 1e3);

    t0 = now();
    const std::optional<TopographyResult> result = loadTopography(path, mesh, platform, &buffers);
    if (!result) die("load");
    whole.push_back((now() - t0) * 1e3);
    inactive = result->inactiveCells;
    if (top(0, 0) != result->topActiveIndex(0, 0)) die("phase check");
  }
  std::remove(path.c_str());

  std::printf("topography load: %d points (%d x %d grid, CRLF), mesh %d x %d x %d, %lld cells above ground\n",
              kSide * kSide, kSide, kSide, mesh.nx, mesh.ny, mesh.nz, inactive);
  std::printf("median of %d runs, ms\n", runs);
  std::printf("  read            %8.1f\n", median(read));
  std::printf("  sort            %8.1f\n", median(sort));
  std::printf("  duplicate test  %8.1f\n", median(duplicates));
  std::printf("  triangulation   %8.1f\n", median(build));
  std::printf("  top index       %8.1f   (%d samples)\n", median(index), (2 * mesh.nx + 1) * (2 * mesh.ny + 1));
  std::printf("  whole load      %8.1f\n", median(whole));
  return 0;
}
