// Forward modelling of a 100 x 100 x 100 mesh (1 M cells of 10 m, every node
// weighted) at 32 x 32 = 1024 stations 5 m above it, gravity and magnetics,
// on every core, beside the numpy reference (bench/forward_reference.py, the
// same model, weights and formulas, vectorised over the nodes) timed on a few
// stations and scaled to all of them. Prints kernel evaluations per second,
// the whole-run times, the ratio and the largest difference between the two.
//   forward_bench [--side N] [--stations-side S] [--python-stations P] [--threads T]
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "core/forward/forward_model.h"

using namespace litho;
using namespace litho::forward;

namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

struct Reference {
  double secondsPerStation = 0;
  std::map<int, double> values;
};

Reference runReference(const char* survey, int side, int stationsSide, int count) {
  Reference ref;
  const std::string command = std::string("/usr/bin/python3 ") + LITHO_BENCH_DIR + "/forward_reference.py " + survey + " " +
                              std::to_string(side) + " " + std::to_string(stationsSide) + " " + std::to_string(count);
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return ref;
  char line[256];
  while (std::fgets(line, sizeof line, pipe)) {
    int index = 0;
    double v = 0;
    if (std::sscanf(line, "seconds_per_station %lf", &v) == 1) ref.secondsPerStation = v;
    else if (std::sscanf(line, "value %d %lf", &index, &v) == 2) ref.values[index] = v;
  }
  pclose(pipe);
  return ref;
}

}  // namespace

int main(int argc, char** argv) {
  int side = 100, stationsSide = 32, pythonStations = 8, threads = 0;
  for (int a = 1; a + 1 < argc; a += 2) {
    const int v = std::atoi(argv[a + 1]);
    if (!std::strcmp(argv[a], "--side")) side = v;
    else if (!std::strcmp(argv[a], "--stations-side")) stationsSide = v;
    else if (!std::strcmp(argv[a], "--python-stations")) pythonStations = v;
    else if (!std::strcmp(argv[a], "--threads")) threads = v;
  }
  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

  RectMesh mesh;
  mesh.nx = mesh.ny = mesh.nz = side;
  for (int i = 0; i <= side; ++i) {
    mesh.xNodes.push_back(10.0 * i);
    mesh.yNodes.push_back(10.0 * i);
    mesh.zNodes.push_back(-10.0 * i);
  }
  ModelSet values;
  values.allocate(side, side, side);
  for (int i = 0; i < side; ++i)
    for (int j = 0; j < side; ++j)
      for (int k = 0; k < side; ++k)
        values(i, j, k) = static_cast<float>(0.1 * std::sin(0.37 * i) + 0.05 * std::cos(0.21 * j + 0.13 * k) +
                                             0.01 * ((i * 7 + j * 3 + k) % 5));
  double t = now();
  const NodeWeights nodes = nodeWeights(mesh, values, nullptr);
  const double weightTime = now() - t;
  std::vector<Station> stations;
  const double step = side * 10.0 / stationsSide;
  for (int a = 0; a < stationsSide; ++a)
    for (int b = 0; b < stationsSide; ++b) stations.push_back({(a + 0.5) * step, (b + 0.5) * step, 5.0});
  const InducingField field{60, 10, 50000};

  std::printf("forward model: %d x %d x %d = %lld cells, %zu weighted nodes (weights in %.3f s), %zu stations, %d threads\n",
              side, side, side, mesh.cellCount(), nodes.size(), weightTime, stations.size(), threads);
  std::printf("%-10s %14s %10s %10s %14s %10s %8s %12s\n", "survey", "ours eval/s", "ours s", "ours cpu s",
              "numpy eval/s", "numpy s", "ratio", "max rel diff");
  for (const Survey survey : {Survey::Gravity, Survey::Magnetics}) {
    const char* name = survey == Survey::Gravity ? "gravity" : "magnetics";
    t = now();
    const std::clock_t cpu0 = std::clock();
    const auto result = computeResponse(nodes, survey, stations, field, threads);
    const double ours = now() - t;
    const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    const double evaluations = static_cast<double>(nodes.size()) * stations.size();
    const Reference ref = runReference(name, side, stationsSide, pythonStations);
    const double numpy = ref.secondsPerStation * stations.size();
    double largest = 0, diff = 0;
    for (const auto& [index, v] : ref.values) {
      largest = std::max(largest, std::fabs(result[index]));
      diff = std::max(diff, std::fabs(result[index] - v));
    }
    std::printf("%-10s %14.3g %10.2f %10.2f %14.3g %10.1f %8.1f %12.2g\n", name, evaluations / ours, ours, cpu,
                numpy > 0 ? evaluations / numpy : 0.0, numpy, numpy > 0 ? numpy / ours : 0.0,
                largest > 0 ? diff / largest : 0.0);
  }
  std::printf("numpy times: %d of the stations on one thread, scaled to all; ours cpu s: processor time of all threads\n",
              pythonStations);
  return 0;
}
