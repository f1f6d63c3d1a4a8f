#pragma once
// What each fuzz target does with one input; shared with the test that
// replays the seed corpora.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include "model/mesh_reader.h"
#include "platform/stream_platform.h"

namespace litho::fuzz {

inline void meshReader(const std::uint8_t* data, std::size_t size) {
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  RectMesh mesh;
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Small limits keep the fuzzer inside its memory budget; the limit checks still run.
  MeshLimits limits;
  limits.maxCells = 1000000;
  limits.maxBytes = 64ULL << 20;
  if (readMeshText(text, "fuzz.msh", mesh, platform, limits)) {
    if (mesh.xNodes.size() != static_cast<std::size_t>(mesh.nx) + 1 ||
        mesh.yNodes.size() != static_cast<std::size_t>(mesh.ny) + 1 ||
        mesh.zNodes.size() != static_cast<std::size_t>(mesh.nz) + 1)
      __builtin_trap();
  } else if (!mesh.empty()) {
    __builtin_trap();
  }
}

}  // namespace litho::fuzz
