// Observation data of 100 000 stations (a jittered 400 x 250 grid at map
// coordinates over the model, some stations repeated as real surveys repeat
// them, a blank line after the count): the read
// and the surface build, then the lit translucent surface over a 60^3 model
// drawn while rotating. With python3-numpy installed, numpy.loadtxt reads the
// same file as a peer.
//   data_gl_bench [--runs N] [--stations N] [WIDTHxHEIGHT]
#include <unistd.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/offscreen_gl.h"
#include "bench_cube.h"
#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/view/view_controller.h"
#include "gl/frame_gl.h"
#include "gl/scene_gl.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string writeStations(int stations) {
  char path[] = "/tmp/data_bench_XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) {
    std::perror("mkstemp");
    std::exit(1);
  }
  ::close(fd);
  std::FILE* f = std::fopen(path, "wb");
  std::mt19937_64 rng(3);
  std::uniform_real_distribution<double> jitter(-2, 2);
  const int columns = static_cast<int>(std::lround(std::sqrt(stations * 1.6)));
  std::fprintf(f, "%d\r\n\r\n", stations);
  for (int s = 0; s < stations; ++s) {
    // Every 500th station is read twice at the same place.
    const int at = s % 500 == 499 ? s - 1 : s;
    std::mt19937_64 place(static_cast<unsigned>(at));
    const int i = at % columns, j = at / columns;
    const double e = 500000 + 1.5 * i + (at % 7) * 0.05, n = 7000000 + 1.5 * j + (at % 5) * 0.05;
    const double z = 420 + 5 * std::sin(i / 50.0) + jitter(place) * 0.1;
    const double g = 0.3 * std::exp(-((i - 200) * (i - 200) + (j - 125) * (j - 125)) / 3000.0) + jitter(rng) * 0.001;
    std::fprintf(f, "%.2f\t%.2f\t%.2f\t%.5f\t0.01\r\n", e, n, z, g);
  }
  std::fclose(f);
  return path;
}

double numpyLoad(const std::string& file) {
  const std::string cmd =
      "/usr/bin/python3 -c 'import sys, time, numpy; t = time.perf_counter(); "
      "numpy.loadtxt(sys.argv[1], skiprows=1); print(time.perf_counter() - t)' '" +
      file + "' 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return -1;
  double t = -1;
  if (std::fscanf(p, "%lf", &t) != 1) t = -1;
  return ::pclose(p) == 0 ? t : -1;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, stations = 100000, w = 800, h = 600;
  for (int a = 1; a < argc; ++a) {
    const std::string s = argv[a];
    if (s == "--runs" && a + 1 < argc)
      runs = std::max(1, std::atoi(argv[++a]));
    else if (s == "--stations" && a + 1 < argc)
      stations = std::max(3, std::atoi(argv[++a]));
    else
      std::sscanf(argv[a], "%dx%d", &w, &h);
  }
  const std::string file = writeStations(stations);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);

  std::vector<double> readTimes, buildTimes, totals;
  DataSet set;
  for (int r = 0; r < runs; ++r) {
    DataSet s;
    s.path = file;
    const double t0 = now();
    if (!readDataFile(s, platform)) return 1;
    const double t1 = now();
    if (!buildDataSurface(s, platform)) return 1;
    const double t2 = now();
    readTimes.push_back(t1 - t0);
    buildTimes.push_back(t2 - t1);
    totals.push_back(t2 - t0);
    set = std::move(s);
  }
  std::printf("%d stations, %zu after merging, %d triangles\n", stations, set.points.size(),
              set.surface.triangleCount());
  std::printf("read %.3f s, surface %.3f s, load and surface %.3f s (medians of %d; target 0.5 s)\n", median(readTimes),
              median(buildTimes), median(totals), runs);
  const double peer = numpyLoad(file);
  if (peer > 0)
    std::printf("numpy.loadtxt of the same file: %.3f s (our read %.1fx faster)\n", peer, peer / median(readTimes));
  else
    std::printf("numpy.loadtxt: not available\n");
  std::remove(file.c_str());

  OffscreenApplication app(argc, argv);
  Document doc(platform, platform);
  // A model under the survey: 60^3 cells of 10 m with a body in it.
  const int n = 60;
  ModelStore cube = bench::makeCube(n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      for (int k = 0; k < n; ++k)
        cube.modelData(0)(i, j, k) = static_cast<float>(std::exp(-((i - 30) * (i - 30) + (j - 30) * (j - 30)) / 200.0));
  cube.setRange(0, 1);
  doc.adopt(std::move(cube), {});
  set.plottingMethod = kPlotSurface;
  set.plottingValue = 0.8f;
  doc.editDataSets().push_back(std::move(set));

  ViewController view(doc, platform);
  view.refresh(ViewRefresh::NewLoad);
  view.resize(w, h);
  OffscreenGl gl(w, h);
  if (!gl.valid()) {
    std::fprintf(stderr, "%s\n", gl.error().c_str());
    return 1;
  }
  std::printf("renderer: %s, %dx%d\n", rendererName().c_str(), w, h);
  const SceneRenderer& scene = gl.scene();
  const int frames = 40;
  auto rotate = [&] {
    const double t0 = now();
    for (int f = 0; f < frames; ++f) {
      view.rotateZ(+1);
      gl.draw(view, doc);
    }
    return frames / (now() - t0);
  };
  // The model alone first, for the ratio.
  doc.editDataSets()[0].displayed = false;
  view.state.frame.rebuild();
  gl.render(view, doc);
  const double alone = rotate();
  doc.editDataSets()[0].displayed = true;
  view.refresh(ViewRefresh::Reload);
  gl.render(view, doc);
  std::printf("scene with the surface: build %.1f ms, compile %.1f ms\n", scene.lastBuildMs(), scene.lastCompileMs());
  const double with = rotate();
  std::printf(
      "%d frames rotating: model alone %.1f frames/s; with the lit translucent surface (opacity 0.8) "
      "%.1f frames/s\n",
      frames, alone, with);
  return 0;
}
