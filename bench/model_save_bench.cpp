// Saves a generated n x n x n model (8 M cells by default) as "Save As" does,
// once with values of six digits and once with random floats that need up to
// nine, and times printf's "%g" through stdio on the same values as the peer.
//   model_save_bench [--runs N] [--side N]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "bench_cube.h"
#include "core/io/model_writer.h"
#include "core/platform/stream_platform.h"

using namespace litho;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string loadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one;
  in >> one;
  return one.empty() ? "unknown" : one;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5, side = 200;
  for (int a = 1; a + 1 < argc; a += 2) {
    if (!std::strcmp(argv[a], "--runs")) runs = std::atoi(argv[a + 1]);
    if (!std::strcmp(argv[a], "--side")) side = std::atoi(argv[a + 1]);
  }
  const char* tmp = std::getenv("TMPDIR");
  const std::string out = std::string(tmp && *tmp ? tmp : "/tmp") + "/model_save_bench." + std::to_string(::getpid());
  StreamPlatform platform(std::cerr, false);
  std::printf("model_save_bench: %d^3 cells, %d runs, load average %s\n", side, runs, loadAverage().c_str());

  ModelStore store = bench::makeCube(side);
  const Grid2<int> noTopography;
  const std::vector<Element> noElements;
  std::mt19937 rng(3);
  for (const bool random : {false, true}) {
    float* v = store.modelData(0).data();
    const std::size_t cells = store.modelData(0).size();
    std::uniform_real_distribution<float> any(-1000.0f, 1000.0f);
    for (std::size_t c = 0; c < cells; ++c) v[c] = random ? any(rng) : static_cast<float>(c % 9973) * 0.125f;
    const SaveSource source{store.mesh(), store.model(0), noTopography, false, noElements};
    const SaveViewInfo view = SaveViewInfo::afterLoad(store.mesh(), {}, {-1000, 1000});
    std::vector<double> ours, peer;
    for (int r = 0; r < runs; ++r) {
      double t = now();
      writeSavedModel(source, out, view, {}, platform);
      ours.push_back(now() - t);
      t = now();
      std::FILE* f = std::fopen(out.c_str(), "w");
      for (std::size_t c = 0; c < cells; ++c) std::fprintf(f, "%g\n", static_cast<double>(v[c]));
      std::fflush(f);
      ::fsync(fileno(f));
      std::fclose(f);
      peer.push_back(now() - t);
    }
    const double a = median(ours), b = median(peer);
    std::printf("%-18s save %.3f s   fprintf %%g %.3f s   ratio %.2f\n",
                random ? "random floats:" : "six-digit values:", a, b, a / b);
  }
  std::remove(out.c_str());
  return 0;
}
