#include "core/topography/topography.h"

#include <new>

#include "core/platform/printable.h"
#include "core/topography/top_active_index.h"
#include "core/topography/topography_reader.h"
#include "core/topography/topography_surface.h"

namespace litho {

namespace {

bool usableMesh(const RectMesh& mesh) {
  return mesh.nx >= 1 && mesh.ny >= 1 && mesh.nz >= 1 && mesh.xNodes.size() == static_cast<std::size_t>(mesh.nx) + 1 &&
         mesh.yNodes.size() == static_cast<std::size_t>(mesh.ny) + 1 &&
         mesh.zNodes.size() == static_cast<std::size_t>(mesh.nz) + 1;
}

}  // namespace

std::optional<TopographyResult> loadTopography(LineSource& in, const std::string& path, const RectMesh& mesh,
                                               Platform& platform) {
  if (!usableMesh(mesh)) {
    platform.message("A mesh must be loaded before the topography file " + printable(path), MessageKind::Error);
    return std::nullopt;
  }
  try {
    std::optional<TopographyPoints> points = readTopographyPoints(in, path, platform);
    if (!points) return std::nullopt;
    TopographyResult result;
    result.pointCount = points->size();
    std::optional<TopographySurface> surface = buildTopographySurface(*points, mesh, platform);
    if (!surface) return std::nullopt;
    *points = {};
    result.cornersAdded = surface->cornersAdded;
    result.topActiveIndex = computeTopActiveIndex(surface->triangulation, surface->elevation, mesh);
    for (std::size_t c = 0; c < result.topActiveIndex.size(); ++c) {
      const int top = result.topActiveIndex.data()[c];
      result.inactiveCells += top;
      result.activeCells += mesh.nz - top;
    }
    return result;
  } catch (const std::bad_alloc&) {
    platform.message("Not enough memory for the topography file " + printable(path), MessageKind::Error);
    return std::nullopt;
  }
}

std::optional<TopographyResult> loadTopography(const std::string& path, const RectMesh& mesh, Platform& platform,
                                               LineSource::Buffers* buffers) {
  WaitCursor wait(platform);
  LineSource::Buffers local;
  LineSource in(path, buffers ? *buffers : local);
  if (!in.isOpen()) {
    platform.message(in.problem() + "\nCannot open topography file " + printable(path), MessageKind::Error);
    return std::nullopt;
  }
  return loadTopography(in, path, mesh, platform);
}

}  // namespace litho
