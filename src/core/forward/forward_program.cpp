#include "core/forward/forward_program.h"

#include <chrono>
#include <cstdio>
#include <new>

#include "core/forward/locations.h"
#include "core/io/atomic_file.h"
#include "core/io/mesh_reader.h"
#include "core/io/model_reader.h"
#include "core/platform/stream_platform.h"
#include "core/topography/topography.h"

namespace litho::forward {

std::string dataFileName(Survey survey) { return survey == Survey::Gravity ? "oskrine.grv" : "trelvane.mag"; }
std::string programName(Survey survey) { return survey == Survey::Gravity ? "oskrine" : "trelvane"; }

namespace {

bool readModel(const std::string& path, const RectMesh& mesh, ModelSet& values, LineSource::Buffers& buffers,
               StreamPlatform& platform, std::ostream& err) {
  LineSource in(path, buffers);
  if (!in.isOpen()) {
    err << "error: " << in.problem() << "\nError reading model file " << path << "\n";
    return false;
  }
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const auto header = parseModelFileHeader(first, mesh.nx, mesh.ny, mesh.nz, path, platform);
  if (!header) return false;
  std::string data = first;
  if (header->present) data = in.nextLine(line) ? std::string(line) : std::string();
  double a, b, c;
  if (std::sscanf(data.c_str(), "%lf %lf %lf", &a, &b, &c) == 3) {
    err << "error: a vector model cannot be forward modelled: " << path << "\n";
    return false;
  }
  in.rewind();
  if (header->present) in.nextLine(line);
  ModelReadSettings s;
  s.nx = mesh.nx;
  s.ny = mesh.ny;
  s.nz = mesh.nz;
  s.modelCount = header->modelCount;
  s.coreOffsets = header->coreOffsets;
  s.offsetsValid = header->offsetsValid;
  std::vector<ModelSet> sets(static_cast<std::size_t>(s.modelCount));
  for (auto& set : sets) set.allocate(mesh.nx, mesh.ny, mesh.nz);
  ScalarRange range;
  if (!readModelFile(in, path, s, sets.data(), range, platform, platform)) return false;
  values = std::move(sets[0]);
  return true;
}

}  // namespace

int runForwardProgram(Survey survey, const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      int threads) {
  const std::string name = programName(survey);
  if (args.size() < 3 || args.size() > 4) {
    err << "usage: " << name << " MESH LOCATIONS MODEL [TOPOGRAPHY]\n"
        << "writes " << dataFileName(survey) << " into the current folder\n";
    return 2;
  }
  try {
    StreamPlatform platform(err, false);
    LineSource::Buffers buffers;
    RectMesh mesh;
    {
      LineSource in(args[0], buffers);
      if (!in.isOpen()) {
        err << "error: " << in.problem() << "\nError reading mesh file " << args[0] << "\n";
        return 1;
      }
      if (!readMeshFile(in, args[0], mesh, platform)) return 1;
    }
    Locations locations;
    {
      LineSource in(args[1], buffers);
      if (!in.isOpen()) {
        err << "error: " << in.problem() << "\nError reading locations file " << args[1] << "\n";
        return 1;
      }
      std::string why;
      auto read = readLocations(in, survey == Survey::Magnetics, why);
      if (!read) {
        err << "error: Error reading locations file " << args[1] << ": " << why << "\n";
        return 1;
      }
      locations = std::move(*read);
    }
    ModelSet values;
    if (!readModel(args[2], mesh, values, buffers, platform, err)) return 1;
    Grid2<int> top;
    if (args.size() == 4) {
      auto topo = loadTopography(args[3], mesh, platform, &buffers);
      if (!topo) return 1;
      top = std::move(topo->topActiveIndex);
    }
    const auto start = std::chrono::steady_clock::now();
    const NodeWeights nodes = nodeWeights(mesh, values, top.empty() ? nullptr : &top);
    values.release();
    out << name << ": " << locations.stations.size() << " stations, " << mesh.cellCount() << " cells, "
        << nodes.size() << " nodes with weight" << std::endl;
    int lastPercent = -1;
    const auto result = computeResponse(nodes, survey, locations.stations, locations.field, threads,
                                        [&](std::size_t done, std::size_t total) {
                                          const int percent = static_cast<int>(100 * done / total);
                                          if (percent / 10 == lastPercent / 10) return;
                                          lastPercent = percent;
                                          out << percent << "%" << std::endl;
                                        });
    AtomicFile file(dataFileName(survey));
    if (!file.open()) {
      err << "error: " << saveFailureText(file) << "\n";
      return 1;
    }
    file.write(dataFileText(locations.stations, result));
    if (!file.finish() || !file.commit()) {
      err << "error: " << saveFailureText(file) << "\n";
      return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out << "wrote " << dataFileName(survey) << " in " << seconds << " s" << std::endl;
    return 0;
  } catch (const std::bad_alloc&) {
    err << "error: not enough memory for " << name << "\n";
    return 1;
  }
}

}  // namespace litho::forward
