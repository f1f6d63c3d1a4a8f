// Loads a generated 200 x 200 x 200 model (8 M cells) through the document's
// loader and times numpy.loadtxt and pandas.read_csv on the same file.
//   model_load_bench [--runs N] [--peer-runs N] [--side N] [--threads 0|1|2] [--no-peers] [--keep]
// --threads 0 (the default) lets the reader choose, as the program does; the
// one-thread load is then timed too. Ratios are against the first figure.
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/io/model_reader.h"
#include "core/load/document.h"
#include "core/platform/stream_platform.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Other work on the machine skews every figure: print what there was.
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

long statusKiB(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
  return -1;
}

// Resets the peak resident set size (VmHWM) to the current one.
bool resetPeak() {
  std::ofstream out("/proc/self/clear_refs");
  out << "5";
  out.flush();
  return static_cast<bool>(out);
}

// Values as an inversion writes a density model: mostly "%g" of values near
// zero, some in exponent form, and every tenth line of a padding cell "0".
long long writeModel(const std::string& path, long long cells) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return -1;
  std::vector<char> buf(1 << 20);
  std::setvbuf(f, buf.data(), _IOFBF, buf.size());
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  long long bytes = 0;
  char line[64];
  for (long long c = 0; c < cells; ++c) {
    const unsigned r = static_cast<unsigned>(rng() % 100);
    const double v = u(rng);
    int n;
    if (r < 8)
      n = std::snprintf(line, sizeof line, "0\n");
    else if (r < 22)
      n = std::snprintf(line, sizeof line, "%g\n", v * 1e-4);
    else
      n = std::snprintf(line, sizeof line, "%.8g\n", v * 0.6);
    std::fwrite(line, 1, static_cast<std::size_t>(n), f);
    bytes += n;
  }
  std::fclose(f);
  return bytes;
}

// Runs a Python snippet that prints the seconds of its own timed part.
double runPython(const std::string& code, const std::string& file) {
  const std::string cmd = "/usr/bin/python3 -c '" + code + "' '" + file + "' 2>&1";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return -1;
  char out[4096];
  std::string text;
  while (std::fgets(out, sizeof out, p)) text += out;
  const int status = ::pclose(p);
  double t = -1;
  if (status != 0 || std::sscanf(text.c_str(), "%lf", &t) != 1) {
    std::fprintf(stderr, "python failed: %s\n", text.c_str());
    return -1;
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, peerRuns = 3, side = 200, threads = 0;
  bool peers = true, keep = false;
  for (int a = 1; a < argc; ++a) {
    const std::string s = argv[a];
    if (s == "--runs" && a + 1 < argc) runs = std::atoi(argv[++a]);
    else if (s == "--peer-runs" && a + 1 < argc) peerRuns = std::atoi(argv[++a]);
    else if (s == "--side" && a + 1 < argc) side = std::atoi(argv[++a]);
    else if (s == "--threads" && a + 1 < argc) threads = std::atoi(argv[++a]);
    else if (s == "--no-peers") peers = false;
    else if (s == "--keep") keep = true;
    else {
      std::fprintf(stderr, "usage: %s [--runs N] [--peer-runs N] [--side N] [--threads 0|1|2] [--no-peers] [--keep]\n", argv[0]);
      return 2;
    }
  }

  std::string tmpl = (std::filesystem::temp_directory_path() / "litho-bench-XXXXXX").string();
  if (!::mkdtemp(tmpl.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = tmpl;
  const std::string meshPath = dir + "/bench.msh";
  const std::string modelPath = dir + "/bench.den";
  {
    std::ofstream mesh(meshPath);
    mesh << side << ' ' << side << ' ' << side << "\n0 0 0\n"
         << side << "*10\n" << side << "*10\n" << side << "*10\n";
  }
  const long long cells = static_cast<long long>(side) * side * side;
  const long long bytes = writeModel(modelPath, cells);
  const double mb = static_cast<double>(bytes) / 1e6;
  std::printf("model: %d x %d x %d = %lld cells, %.1f MB of text (%.2f bytes a line); %u cores, load average %s\n",
              side, side, side, cells, mb, static_cast<double>(bytes) / static_cast<double>(cells),
              std::thread::hardware_concurrency(), loadAverage().c_str());

  std::ostringstream sink;
  StreamPlatform platform(sink, false);
  const double arraysMiB = static_cast<double>(cells) * 4 / (1 << 20);
  // Median seconds of loadModelSet (open to modelLoaded); prints the figures.
  const auto timeLoads = [&](int readThreads, const char* label) -> double {
    std::vector<double> loadTimes;
    long peakKiB = -1, baseKiB = -1;
    Document doc(platform, platform);
    LoadRequest req;
    req.meshPath = meshPath;
    req.modelPath = modelPath;
    doc.setReadThreads(readThreads);
    for (int r = 0; r < runs; ++r) {
      doc.releaseModelData();
      baseKiB = statusKiB("VmRSS:");
      const bool peakReset = resetPeak();
      const double t0 = now();
      const LoadStatus s = doc.load(req);
      const double t1 = now();
      if (s != LoadStatus::Loaded) {
        std::fprintf(stderr, "load failed:\n%s\n", sink.str().c_str());
        std::exit(1);
      }
      loadTimes.push_back(t1 - t0);
      if (peakReset) peakKiB = std::max(peakKiB, statusKiB("VmHWM:") - baseKiB);
    }
    const double m = median(loadTimes);
    std::printf("lithoscan3d loadModelSet, %s: median %.3f s of %d (first %.3f s), %.0f MB/s; range %.9g .. %.9g\n",
                label, m, runs, loadTimes.front(), mb / m, doc.store().range().min, doc.store().range().max);
    if (peakKiB >= 0)
      std::printf("  peak memory during load: %.1f MiB above the %.1f MiB before it; model arrays %.1f MiB, "
                  "excess %.1f MiB (limit 32)\n",
                  static_cast<double>(peakKiB) / 1024, static_cast<double>(baseKiB) / 1024, arraysMiB,
                  static_cast<double>(peakKiB) / 1024 - arraysMiB);
    else
      std::printf("  peak memory: cannot reset the peak; process maximum %ld MiB\n", statusKiB("VmHWM:") / 1024);
    return m;
  };
  const double ours = timeLoads(threads, threads == 0 ? "threads as the program chooses"
                                         : threads == 1 ? "1 thread" : "2 threads");
  if (threads == 0) timeLoads(1, "1 thread");

  {
    // The reader alone: text in memory, sets allocated and touched beforehand.
    std::ifstream in(modelPath, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ModelSet set;
    set.allocate(side, side, side);
    std::fill(set.data(), set.data() + set.size(), 0.0f);
    ModelReadSettings settings;
    settings.nx = settings.ny = settings.nz = side;
    for (const int th : {1, 2}) {
      settings.threads = th;
      std::vector<double> t;
      for (int r = 0; r < runs; ++r) {
        LineSource src(text);
        ScalarRange range;
        const double t0 = now();
        readModelFile(src, modelPath, settings, &set, range, platform, platform);
        t.push_back(now() - t0);
      }
      std::printf("readModelFile alone, %d thread%s, text in memory: median %.3f s, %.0f MB/s\n", th,
                  th == 1 ? "" : "s", median(t), mb / median(t));
    }
  }

  if (peers) {
    const std::string numpyCode =
        "import sys, time, numpy\n"
        "t = time.perf_counter()\n"
        "a = numpy.loadtxt(sys.argv[1], dtype=numpy.float32)\n"
        "print(time.perf_counter() - t, a.shape[0])\n";
    const std::string pandasCode =
        "import sys, time, numpy, pandas\n"
        "t = time.perf_counter()\n"
        "a = pandas.read_csv(sys.argv[1], header=None, dtype=numpy.float32, engine=\"c\")\n"
        "print(time.perf_counter() - t, a.shape[0])\n";
    std::vector<double> np, pd;
    for (int r = 0; r < peerRuns; ++r) {
      np.push_back(runPython(numpyCode, modelPath));
      pd.push_back(runPython(pandasCode, modelPath));
    }
    const double n = median(np), p = median(pd);
    std::printf("numpy.loadtxt:   median %.3f s of %d, %.0f MB/s\n", n, peerRuns, mb / n);
    std::printf("pandas.read_csv: median %.3f s of %d, %.0f MB/s\n", p, peerRuns, mb / p);
    std::printf("ratio numpy.loadtxt / lithoscan3d:   %.1fx (target 6x)\n", n / ours);
    std::printf("ratio pandas.read_csv / lithoscan3d: %.1fx\n", p / ours);
  }
  std::printf("load average at the end: %s\n", loadAverage().c_str());
  if (!keep) std::filesystem::remove_all(dir);
  else std::printf("files kept in %s\n", dir.c_str());
  return 0;
}
