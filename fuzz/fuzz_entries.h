#pragma once
// What each fuzz target does with one input; shared with the test that
// replays the seed corpora.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>

#include <cmath>
#include <cstring>
#include <vector>

#include "model/element_file.h"
#include "model/mesh_reader.h"
#include "model/model_reader.h"
#include "model/scanf_number.h"
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

// The first byte chooses: bit 0 log, bit 1 tq5rMode, bit 2 two threads, bit 3
// read the rest as an element file. The rest is a model file for a 3 x 2 x 4
// mesh, read as the document reads one.
inline void modelReader(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  const unsigned flags = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::ostream null(nullptr);
  StreamPlatform platform(null, false);
  constexpr int nx = 3, ny = 2, nz = 4;
  if (flags & 8) {
    if (const auto e = readElementFile(text, "fuzz.den_loc", nx, ny, nz, platform))
      for (const CElement& el : *e)
        if (el.xIndex < 0 || el.xIndex >= nx || el.zSize < 1) __builtin_trap();
    return;
  }
  LineSource in(text);
  std::string_view line;
  const std::string first = in.nextLine(line) ? std::string(line) : std::string();
  const auto header = parseModelFileHeader(first, nx, ny, nz, "fuzz.den", platform);
  if (!header) return;
  std::string dataLine = first;
  if (header->present) dataLine = in.nextLine(line) ? std::string(line) : std::string();
  const bool vector = countLeadingNumbers(dataLine.data(), dataLine.data() + dataLine.size()) == 3;
  in.rewind();
  if (header->present) in.nextLine(line);

  ModelReadSettings s;
  s.nx = nx;
  s.ny = ny;
  s.nz = nz;
  s.modelCount = header->modelCount;
  s.coreOffsets = header->coreOffsets;
  s.offsetsValid = header->offsetsValid;
  s.log = flags & 1;
  s.tq5rMode = flags & 2;
  s.threads = flags & 4 ? 2 : 1;
  if (in.remainingBytes() < minimumModelBytes(s)) return;

  // Every cell must be written: start from a NaN no reader produces.
  constexpr std::uint32_t kUnwritten = 0x7fc0dead;
  float unwritten;
  std::memcpy(&unwritten, &kUnwritten, 4);
  const auto sets = [&] {
    std::vector<ModelSet> v(static_cast<std::size_t>(s.modelCount));
    for (auto& m : v) {
      m.allocate(nx, ny, nz);
      std::fill(m.data(), m.data() + m.size(), unwritten);
    }
    return v;
  };
  const auto allWritten = [&](const std::vector<ModelSet>& v) {
    for (const auto& m : v)
      for (std::size_t c = 0; c < m.size(); ++c)
        if (std::memcmp(&m.data()[c], &kUnwritten, 4) == 0) return false;
    return true;
  };
  std::vector<ModelSet> a = sets();
  if (!vector) {
    ScalarRange r;
    if (!readModelFile(in, "fuzz.den", s, a.data(), r, platform, platform)) return;
    if (!allWritten(a)) __builtin_trap();
    if (!(r.smallest <= r.secondSmallest) || std::isnan(r.largest)) __builtin_trap();
    if (r.largest != -kNoDataValue && !(r.smallest <= r.largest)) __builtin_trap();
    return;
  }
  std::vector<ModelSet> x = sets(), y = sets(), z = sets();
  VectorRange r;
  if (!readVectorFile(in, "fuzz.vec", s, a.data(), x.data(), y.data(), z.data(), r, platform, platform)) return;
  if (!allWritten(a) || !allWritten(x) || !allWritten(y) || !allWritten(z)) __builtin_trap();
  for (int m = 0; m < s.modelCount; ++m)
    for (std::size_t c = 0; c < a[0].size(); ++c) {
      const double ux = x[m].data()[c], uy = y[m].data()[c], uz = z[m].data()[c];
      const double n = ux * ux + uy * uy + uz * uz;
      if (std::isfinite(n) && n != 0 && std::fabs(n - 1) > 1e-5) __builtin_trap();
    }
}

}  // namespace litho::fuzz
