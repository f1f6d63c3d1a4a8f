// Reads a generated cell faces file for a 200 x 200 x 200 mesh (about 350 MB)
// beside the model load of the same mesh, then builds the surface mode over
// the whole box with a cutoff that keeps about a tenth of the faces.
//   faces_bench [--runs N] [--side N] [--keep]
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/faces/cell_faces.h"
#include "core/faces/faces_reader.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"
#include "core/scene/scene.h"
#include "core/view/view_controller.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double cpuNow() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one;
  in >> one;
  return one.empty() ? "unknown" : one;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Lines of "%.8f" values in [0, 1), as weights are written: 11 bytes a line.
long long writeValues(FILE* f, long long lines, std::mt19937_64& rng) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  long long bytes = 0;
  char line[32];
  for (long long c = 0; c < lines; ++c) {
    const int n = std::snprintf(line, sizeof line, "%.8f\n", u(rng));
    std::fwrite(line, 1, static_cast<std::size_t>(n), f);
    bytes += n;
  }
  return bytes;
}

long long writeFile(const std::string& path, long long lines, std::uint64_t seed) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return -1;
  std::vector<char> buf(1 << 20);
  std::setvbuf(f, buf.data(), _IOFBF, buf.size());
  std::mt19937_64 rng(seed);
  const long long bytes = writeValues(f, lines, rng);
  std::fclose(f);
  return bytes;
}

template <class F>
double medianSeconds(int runs, F&& f) {
  std::vector<double> t;
  for (int r = 0; r < runs; ++r) {
    const double t0 = now();
    f();
    t.push_back(now() - t0);
  }
  return median(t);
}

void failWith(const std::ostringstream& sink, const char* what) {
  std::fprintf(stderr, "%s failed:\n%s\n", what, sink.str().c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, side = 200;
  bool keep = false;
  for (int a = 1; a < argc; ++a) {
    const std::string s = argv[a];
    if (s == "--runs" && a + 1 < argc)
      runs = std::max(1, std::atoi(argv[++a]));
    else if (s == "--side" && a + 1 < argc)
      side = std::max(2, std::atoi(argv[++a]));
    else if (s == "--keep")
      keep = true;
    else {
      std::fprintf(stderr, "usage: %s [--runs N] [--side N] [--keep]\n", argv[0]);
      return 2;
    }
  }
  std::string tmpl = (std::filesystem::temp_directory_path() / "litho-faces-bench-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = tmpl;
  const std::string meshPath = dir + "/bench.msh", modelPath = dir + "/bench.den";
  const std::string facesPath = dir + "/bench.fcs", cellsOnlyPath = dir + "/cells.fcs";
  {
    std::ofstream mesh(meshPath);
    mesh << side << ' ' << side << ' ' << side << "\n0 0 0\n" << side << "*10\n" << side << "*10\n" << side << "*10\n";
  }
  const long long cells = static_cast<long long>(side) * side * side;
  const long long lines = facesFileLines(side, side, side);
  const double modelMB = static_cast<double>(writeFile(modelPath, cells, 42)) / 1e6;
  const double facesMB = static_cast<double>(writeFile(facesPath, lines, 7)) / 1e6;
  const double cellsMB = static_cast<double>(writeFile(cellsOnlyPath, cells, 7)) / 1e6;
  std::printf(
      "mesh %d x %d x %d = %lld cells; faces file %lld lines, %.1f MB; model file %.1f MB; %u cores, "
      "load average %s\n",
      side, side, side, cells, lines, facesMB, modelMB, std::thread::hardware_concurrency(), loadAverage().c_str());

  std::ostringstream sink;
  StreamPlatform platform(sink, false);
  Document doc(platform, platform);
  LoadRequest req;
  req.meshPath = meshPath;
  req.modelPath = modelPath;
  ViewController view(doc, platform);
  CellFacesOverlay& faces = view.cellFaces;
  faces.adoptMeshSize(side, side, side);
  faces.path = facesPath;
  auto readFaces = [&](int threads) {
    FacesReadSettings s;
    s.nx = s.ny = s.nz = side;
    s.threads = threads;
    LineSource::Buffers buffers;
    LineSource in(facesPath, buffers);
    FacesRange range;
    if (!readFacesFile(in, facesPath, s, faces.x, faces.y, faces.z, range, platform)) failWith(sink, "faces read");
  };
  // Rounds of every variant in turn, so that other work on the machine weighs on all alike.
  // Wall time, and the CPU time of the process (both threads), per variant.
  struct Variant {
    const char* name;
    double megabytes;
    std::function<void()> run;
    std::vector<double> wall = {}, cpu = {};
  };
  std::vector<Variant> variants;
  variants.push_back({"model load (loadModelSet)", modelMB, [&] {
                        doc.releaseModelData();
                        if (doc.load(req) != LoadStatus::Loaded) failWith(sink, "model load");
                      }});
  variants.push_back({"faces Load, threads as chosen", facesMB, [&] {
                        if (!loadCellFaces(faces, platform)) failWith(sink, "faces read");
                      }});
  variants.push_back({"faces read, 1 thread", facesMB, [&] { readFaces(1); }});
  variants.push_back({"faces read, 2 threads", facesMB, [&] { readFaces(2); }});
  // The first read allocates and touches the arrays; later ones reuse them, as "Load" does.
  double firstS = now();
  variants[1].run();
  firstS = now() - firstS;
  for (int r = 0; r < runs; ++r)
    for (Variant& v : variants) {
      const double w0 = now(), c0 = cpuNow();
      v.run();
      v.wall.push_back(now() - w0);
      v.cpu.push_back(cpuNow() - c0);
    }
  const double modelRate = modelMB / median(variants[0].wall);
  for (const Variant& v : variants) {
    const double w = median(v.wall), c = median(v.cpu);
    std::printf("%-31s median %.3f s of %d: %5.0f MB/s (%.2f x the model load); CPU %.3f s, %5.0f MB/s of CPU\n",
                v.name, w, runs, v.megabytes / w, v.megabytes / w / modelRate, c, v.megabytes / c);
  }
  std::printf("  the first Load, with the arrays allocated and touched: %.3f s\n", firstS);
  view.refresh(ViewRefresh::NewLoad);
  {
    // The first block alone: the read stops where the faces should begin.
    const double skipS = medianSeconds(runs, [&] {
      LineSource::Buffers buffers;
      LineSource in(cellsOnlyPath, buffers);
      FacesReadSettings s;
      s.nx = s.ny = s.nz = side;
      FacesRange range;
      readFacesFile(in, cellsOnlyPath, s, faces.x, faces.y, faces.z, range, platform);
    });
    const double ioS = medianSeconds(runs, [&] {
      LineSource::Buffers buffers;
      LineSource in(cellsOnlyPath, buffers);
      const char *b, *e;
      long long sum = 0;
      while (in.nextBlock(b, e)) sum += e[-1];
      if (sum == 0) std::printf("(empty)\n");
    });
    std::printf(
        "cell block skipped:                   median %.3f s for %.1f MB, %6.0f MB/s (block reads alone "
        "%6.0f MB/s)\n",
        skipS, cellsMB, cellsMB / skipS, cellsMB / ioS);
  }

  // Surface mode over the whole box, cutoff 0.45..0.55 of values spread over 0..1.
  faces.loaded = true;
  faces.method = kFacesSurface;
  faces.cutoffMin = 0.45f;
  faces.cutoffMax = 0.55f;
  SceneBuilder builder;
  SceneGeometry g;
  std::vector<double> builds, modelOnly;
  for (int r = 0; r < runs; ++r) {
    double t0 = now();
    if (!builder.build(doc, view.state, view.colours, g)) failWith(sink, "scene build");
    modelOnly.push_back(now() - t0);
    t0 = now();
    if (!builder.build(doc, view.state, view.colours, g, &faces)) failWith(sink, "scene build");
    builds.push_back(now() - t0);
  }
  const std::size_t drawn = g.cellFaces.faces.size();
  long long outside = 0;
  for (const CellFace& f : g.cellFaces.faces) {
    const float w = f.side == kFaceTop    ? faces.z(f.i, f.j, f.k - 1)
                    : f.side == kFaceWest ? faces.x(f.i - 1, f.j, f.k)
                                          : faces.y(f.i, f.j - 1, f.k);
    outside += !(w >= faces.cutoffMin && w <= faces.cutoffMax);
  }
  const long long all = lines - cells;
  std::printf(
      "surface scene, cutoff %.2f..%.2f:      median %.3f s of %d, %.3f s without the overlay (model faces %zu); "
      "%zu of %lld faces drawn (%.1f %%), %lld outside the cutoff\n",
      faces.cutoffMin, faces.cutoffMax, median(builds), runs, median(modelOnly), g.faces.size(), drawn, all,
      100.0 * static_cast<double>(drawn) / static_cast<double>(all), outside);
  std::printf("  overlay geometry: %zu bytes a face, %.1f MiB for the faces drawn (capacity %.1f MiB)\n",
              sizeof(CellFace), static_cast<double>(drawn * sizeof(CellFace)) / (1 << 20),
              static_cast<double>(g.cellFaces.faces.capacity() * sizeof(CellFace)) / (1 << 20));
  faces.method = kFacesLines;
  const double linesS = medianSeconds(runs, [&] {
    if (!builder.build(doc, view.state, view.colours, g, &faces)) failWith(sink, "scene build");
  });
  std::printf("lines scene:                          median %.3f s; %zu traces, %zu bytes a trace\n", linesS,
              g.cellFaces.traces.size(), sizeof(FaceTrace));

  if (!keep)
    std::filesystem::remove_all(dir);
  else
    std::printf("files kept in %s\n", dir.c_str());
  return 0;
}
