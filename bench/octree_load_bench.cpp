// Octree loads against the tensor model reader, per line of model file.
//   octree_load_bench [--runs N] [--side N] [--keep]
// Three loads of one side^3 underlying mesh with the same kind of values:
//   tensor       mesh file and model file, one line per cell (loadModelSet)
//   octree ones  octree mesh of cubes of one cell: as many lines as the tensor model
//   octree mixed cubes of 1, 2, 4 and 8 cells: fewer lines, each filling its cube
// and the save of the loaded model ("entire model").
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/io/octree.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A value as an inversion writes it: "%g" near zero, some exponents, some "0".
class Values {
 public:
  int line(char* out, std::size_t size) {
    const unsigned r = static_cast<unsigned>(rng_() % 100);
    const double v = u_(rng_);
    if (r < 8) return std::snprintf(out, size, "0\n");
    if (r < 22) return std::snprintf(out, size, "%g\n", v * 1e-4);
    return std::snprintf(out, size, "%.8g\n", v * 0.6);
  }

 private:
  std::mt19937_64 rng_{42};
  std::uniform_real_distribution<double> u_{-1.0, 1.0};
};

struct Cube {
  int i, j, k, s;
};

// A cube split at random into halves, down to the given smallest size.
void split(std::vector<Cube>& out, std::mt19937& rng, int i, int j, int k, int s, int smallest) {
  if (s > smallest && rng() % 3 != 0) {
    const int h = s / 2;
    for (int dk = 0; dk < s; dk += h)
      for (int dj = 0; dj < s; dj += h)
        for (int di = 0; di < s; di += h) split(out, rng, i + di, j + dj, k + dk, h, smallest);
  } else {
    out.push_back({i, j, k, s});
  }
}

// Cubes of one cell listed cube of 8 after cube of 8, or cubes of 8 split at random.
long long writeOctree(const std::string& meshPath, const std::string& modelPath, int side, bool ones) {
  std::vector<Cube> cubes;
  std::mt19937 rng(7);
  for (int k = 0; k < side; k += 8)
    for (int j = 0; j < side; j += 8)
      for (int i = 0; i < side; i += 8) {
        if (ones)
          for (int c = 0; c < 512; ++c) cubes.push_back({i + c % 8, j + c / 8 % 8, k + c / 64, 1});
        else
          split(cubes, rng, i, j, k, 8, 1);
      }
  FILE* m = std::fopen(meshPath.c_str(), "wb");
  FILE* v = std::fopen(modelPath.c_str(), "wb");
  if (!m || !v) return -1;
  std::vector<char> b1(1 << 20), b2(1 << 20);
  std::setvbuf(m, b1.data(), _IOFBF, b1.size());
  std::setvbuf(v, b2.data(), _IOFBF, b2.size());
  std::fprintf(m, "%i %i %i\n0 0 0\n10 10 10\n%zu\n", side, side, side, cubes.size());
  Values values;
  char line[64];
  for (const Cube& c : cubes) {
    std::fprintf(m, "%i %i %i %i\n", c.i + 1, c.j + 1, c.k + 1, c.s);
    std::fwrite(line, 1, static_cast<std::size_t>(values.line(line, sizeof line)), v);
  }
  std::fclose(m);
  std::fclose(v);
  return static_cast<long long>(cubes.size());
}

long long writeTensor(const std::string& meshPath, const std::string& modelPath, int side) {
  std::ofstream(meshPath) << side << ' ' << side << ' ' << side << "\n0 0 0\n"
                          << side << "*10\n" << side << "*10\n" << side << "*10\n";
  FILE* v = std::fopen(modelPath.c_str(), "wb");
  if (!v) return -1;
  std::vector<char> b(1 << 20);
  std::setvbuf(v, b.data(), _IOFBF, b.size());
  Values values;
  char line[64];
  const long long cells = static_cast<long long>(side) * side * side;
  for (long long c = 0; c < cells; ++c)
    std::fwrite(line, 1, static_cast<std::size_t>(values.line(line, sizeof line)), v);
  std::fclose(v);
  return cells;
}

struct Timing {
  double seconds = 0;
  double saveSeconds = 0;
};

Timing time(const std::string& mesh, const std::string& model, bool octree, int runs, const std::string& saveTo) {
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  Document doc(platform, platform);
  LoadRequest req;
  std::vector<double> t, s;
  for (int r = 0; r < runs + 1; ++r) {
    req.octree = octree;
    req.meshPath = mesh;
    req.modelPath = model;
    const double t0 = now();
    if (doc.load(req) != LoadStatus::Loaded) {
      std::fprintf(stderr, "load failed: %s\n", model.c_str());
      return {};
    }
    const double t1 = now();
    if (r > 0) t.push_back(t1 - t0);  // the first run warms the page cache
    if (r == 1 && !saveTo.empty()) {
      const SaveViewInfo view = SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), doc.store().range());
      const double s0 = now();
      doc.saveModel(saveTo, view, {});
      s.push_back(now() - s0);
    }
  }
  return {median(t), s.empty() ? 0 : s[0]};
}


// The phases of an octree load, each timed alone.
void phases(const std::string& mesh, const std::string& model, long long cells, int runs) {
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  LineSource::Buffers buffers;
  std::vector<double> tm, tt, tv;
  for (int r = 0; r < runs + 1; ++r) {
    OctreeMesh o;
    double t0 = now();
    {
      LineSource in(mesh, buffers);
      readOctreeMesh(in, mesh, o, platform, platform);
    }
    double t1 = now();
    ModelSet set;
    set.allocate(o.nx, o.ny, o.nz);
    std::fill(set.data(), set.data() + set.size(), 0.0f);
    const double t2 = now();
    checkOctreeTiling(o, set, platform);
    const double t3 = now();
    OctreeRange range;
    Grid2<int> top;
    {
      LineSource in(model, buffers);
      readOctreeScalarModel(in, model, o, set, false, range, top, platform, platform);
    }
    const double t4 = now();
    if (r == 0) continue;
    tm.push_back(t1 - t0);
    tt.push_back(t3 - t2);
    tv.push_back(t4 - t3);
    (void)cells;
  }
  std::printf("    mesh file %.3f s, tiling check %.3f s, model file %.3f s\n", median(tm), median(tt), median(tv));
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, side = 160;
  bool keep = false;
  for (int a = 1; a < argc; ++a) {
    const std::string s = argv[a];
    if (s == "--runs" && a + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++a]));
    } else if (s == "--side" && a + 1 < argc) {
      side = std::max(8, std::atoi(argv[++a]) / 8 * 8);
    } else if (s == "--keep") {
      keep = true;
    } else {
      std::fprintf(stderr, "usage: %s [--runs N] [--side N (a multiple of 8)] [--keep]\n", argv[0]);
      return 2;
    }
  }
  std::string tmpl = (std::filesystem::temp_directory_path() / "litho-octree-bench-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = tmpl;
  const long long cells = static_cast<long long>(side) * side * side;
  const long long tensorLines = writeTensor(dir + "/t.msh", dir + "/t.den", side);
  const long long onesLines = writeOctree(dir + "/ones.oct", dir + "/ones.den", side, true);
  const long long mixedLines = writeOctree(dir + "/mixed.oct", dir + "/mixed.den", side, false);

  std::printf("underlying mesh %i^3 = %lld cells, median of %d runs after one warm-up\n", side, cells, runs);
  std::printf("%-14s %12s %10s %14s %14s\n", "load", "model lines", "seconds", "ns/model line", "ns/cell");
  const auto row = [&](const char* name, long long lines, const Timing& t) {
    std::printf("%-14s %12lld %10.3f %14.1f %14.1f\n", name, lines, t.seconds, t.seconds * 1e9 / lines,
                t.seconds * 1e9 / cells);
  };
  const Timing tensor = time(dir + "/t.msh", dir + "/t.den", false, runs, dir + "/saved.den");
  row("tensor", tensorLines, tensor);
  row("octree ones", onesLines, time(dir + "/ones.oct", dir + "/ones.den", true, runs, ""));
  phases(dir + "/ones.oct", dir + "/ones.den", cells, runs);
  row("octree mixed", mixedLines, time(dir + "/mixed.oct", dir + "/mixed.den", true, runs, ""));
  phases(dir + "/mixed.oct", dir + "/mixed.den", cells, runs);
  std::printf("save entire model: %.3f s, %.1f ns/cell\n", tensor.saveSeconds, tensor.saveSeconds * 1e9 / cells);
  if (keep)
    std::printf("files kept in %s\n", dir.c_str());
  else
    std::filesystem::remove_all(dir);
  return 0;
}
