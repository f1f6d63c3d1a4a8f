// Scene build of a 200 x 200 x 200 model at three cutoffs, against VTK's
// threshold + surface filter on the same cells (run through /usr/bin/python3).
//   scene_bench [N] [runs]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_cube.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/scene/scene.h"
#include "core/view/view_controller.h"

using namespace litho;

namespace {

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}


struct PeerResult {
  long long faces = -1;
  double ms = 0;
};

PeerResult runVtk(const std::string& folder, double lo, double hi, int runs) {
  char cmd[1024];
  std::snprintf(cmd, sizeof cmd, "/usr/bin/python3 %s/vtk_surface.py %s %.17g %.17g %d 2>&1", LITHO_BENCH_DIR,
                folder.c_str(), lo, hi, runs);
  PeerResult r;
  FILE* p = ::popen(cmd, "r");
  if (!p) return r;
  char line[256];
  while (std::fgets(line, sizeof line, p)) {
    long long f;
    double ms;
    if (std::sscanf(line, "faces %lld", &f) == 1) r.faces = f;
    if (std::sscanf(line, "ms %lf", &ms) == 1) r.ms = ms;
  }
  ::pclose(p);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 200;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  Document doc(platform, platform);
  {
    ModelStore cube = bench::makeCube(n);
    std::vector<float> values;
    values.reserve(static_cast<std::size_t>(n) * n * n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k) values.push_back(cube.modelData(0)(i, j, k) = bench::bodiesValue(i, j, k, n));
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    cube.setRange(*lo, *hi);
    doc.adopt(std::move(cube), {});
  }
  const RectMesh& m = doc.mesh();
  std::vector<float> sorted;
  sorted.reserve(static_cast<std::size_t>(n) * n * n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k) sorted.push_back(doc.currentModel()(i, j, k));
  std::sort(sorted.begin(), sorted.end());

  // The peer reads the same cells, x fastest then y then z.
  const std::string folder = (std::filesystem::temp_directory_path() / "litho_scene_bench").string();
  std::filesystem::create_directories(folder);
  {
    std::ofstream(folder + "/x.f64", std::ios::binary).write(reinterpret_cast<const char*>(m.xNodes.data()), (n + 1) * 8);
    std::ofstream(folder + "/y.f64", std::ios::binary).write(reinterpret_cast<const char*>(m.yNodes.data()), (n + 1) * 8);
    std::vector<double> z(m.zNodes.rbegin(), m.zNodes.rend());
    std::ofstream(folder + "/z.f64", std::ios::binary).write(reinterpret_cast<const char*>(z.data()), (n + 1) * 8);
    std::vector<float> v;
    v.reserve(sorted.size());
    for (int k = n - 1; k >= 0; --k)
      for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) v.push_back(doc.store().model(0)(i, j, k));
    std::ofstream(folder + "/v.f32", std::ios::binary).write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(v.size() * 4));
  }

  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  SceneBuilder builder;
  SceneGeometry geometry;
  const double cells = static_cast<double>(n) * n * n;
  struct Cut {
    const char* name;
    double lo, hi;
  };
  const Cut cuts[3] = {{"none", doc.store().range().min, doc.store().range().max},
                       {"half", sorted[sorted.size() / 2], doc.store().range().max},
                       {"bodies", sorted[sorted.size() * 95 / 100], doc.store().range().max}};
  std::printf("scene build, %d x %d x %d = %.0f cells, median of %d runs\n", n, n, n, cells, runs);
  std::printf("%-8s %10s %10s %9s %9s %10s %10s %8s %9s\n", "cutoff", "hidden%", "faces", "ms", "ns/cell", "vtk faces",
              "vtk ms", "ratio", "B/face");
  for (const Cut& c : cuts) {
    view.state.displayMin = c.lo;
    view.state.displayMax = c.hi;
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
      const auto t0 = std::chrono::steady_clock::now();
      builder.build(doc, view.state, view.colours, geometry);
      times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    long long hidden = 0;
    for (const float x : sorted) hidden += x < c.lo || x > c.hi;
    const double ms = median(times);
    const PeerResult vtk = runVtk(folder, c.lo, c.hi, std::max(1, runs / 2));
    std::printf("%-8s %9.1f%% %10zu %9.2f %9.2f %10lld %10.1f %7.1fx %9zu\n", c.name, 100.0 * hidden / cells,
                geometry.faceCount(), ms, ms * 1e6 / cells, vtk.faces, vtk.ms, vtk.ms > 0 ? vtk.ms / ms : 0.0,
                sizeof(CellFace));
    if (vtk.faces >= 0 && vtk.faces != static_cast<long long>(geometry.faceCount()))
      std::printf("  face counts differ: ours %zu, vtk %lld\n", geometry.faceCount(), vtk.faces);
  }
  std::printf("hidden flags: %zu bytes for %.0f box cells\n", builder.hiddenFlags().capacityBytes(), cells);
  std::filesystem::remove_all(folder);
  return 0;
}
