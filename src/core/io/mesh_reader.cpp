#include "core/io/mesh_reader.h"

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>
#include <new>
#include <sstream>

namespace litho {

namespace {

constexpr std::size_t kMaxToken = 80;

std::string errorSuffix(const std::string& path) { return "Error reading mesh file\n" + path; }

unsigned long long physicalMemoryBytes() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return ~0ULL;
  return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

void skipLine(std::istream& in) { in.ignore(std::numeric_limits<std::streamsize>::max(), '\n'); }

// "%lf" on the leading part of s.
bool scanDouble(const std::string& s, double& value) { return std::sscanf(s.c_str(), "%lf", &value) == 1; }

// "%i" on the leading part of s (0x10 is 16, 010 is 8).
bool scanInt(const std::string& s, int& value) { return std::sscanf(s.c_str(), "%i", &value) == 1; }

}  // namespace

bool readWidthList(std::istream& in, int n, std::vector<double>& nodes, const std::string& path,
                   Platform& platform) {
  const std::string suffix = errorSuffix(path);
  auto fail = [&](const std::string& text) {
    platform.message(text + suffix, MessageKind::Error);
    return false;
  };

  long long p = 1;
  std::string token;
  while (p <= n) {
    if (in.fail()) break;
    token.clear();
    in >> token;
    if (token.empty()) return fail("Not enough values.\n");
    if (token.size() > kMaxToken) return fail(token + "\n");

    const auto star = token.find('*');
    if (star != std::string::npos) {
      int repeat = 0;
      double width = 0;
      if (!scanInt(token.substr(0, star), repeat) || !scanDouble(token.substr(star + 1), width) || repeat < 0 ||
          std::isinf(width))
        return fail(token + "\n");
      if (!(width > 0)) return fail("Cell width must be positive.\n" + token + "\n");
      for (long long q = p; q < p + repeat && q <= n; ++q) nodes[static_cast<std::size_t>(q)] = width;
      p += repeat;
    } else {
      double width = 0;
      if (!scanDouble(token, width) || std::isinf(width)) return fail(token + "\n");
      if (!(width > 0)) return fail("Cell width must be positive.\n" + token + "\n");
      nodes[static_cast<std::size_t>(p)] = width;
      ++p;
    }
  }
  skipLine(in);
  if (p <= n) return fail("Not enough values.\n");

  for (int i = 1; i <= n; ++i) {
    nodes[i] = snapNode(nodes[i] + nodes[i - 1], nodes[i - 1]);
    if (!std::isfinite(nodes[i])) return fail("Mesh coordinates out of range.\n");
  }
  return true;
}

bool readMeshText(const std::string& text, const std::string& path, RectMesh& mesh, Platform& platform,
                  const MeshLimits& limits) {
  mesh.release();
  std::istringstream in(text);

  int nx = 0, ny = 0, nz = 0;
  in >> nx >> ny >> nz;
  // A count too large for an int fails extraction and reads as INT_MAX.
  const bool overflow = in.fail() && (nx == INT_MAX || ny == INT_MAX || nz == INT_MAX);
  if (!overflow && (nx < 1 || ny < 1 || nz < 1 || in.fail())) {
    platform.message("Number of cells should be positive.\n" + errorSuffix(path), MessageKind::Error);
    return false;
  }
  if (overflow || static_cast<long long>(nx) * ny > limits.maxCells ||
      static_cast<long long>(nx) * ny * nz > limits.maxCells) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "The mesh has too many cells: %i x %i x %i.\n", nx, ny, nz);
    platform.message(buf + errorSuffix(path), MessageKind::Error);
    return false;
  }
  const unsigned long long bytes = (3ULL + nx + ny + nz) * sizeof(double) +
                                   static_cast<unsigned long long>(nx) * ny * nz * sizeof(float) +
                                   static_cast<unsigned long long>(nx) * ny * sizeof(int);
  if (bytes > (limits.maxBytes ? limits.maxBytes : physicalMemoryBytes())) {
    char buf[200];
    std::snprintf(buf, sizeof buf, "Not enough memory for a model of %i x %i x %i cells.\n", nx, ny, nz);
    platform.message(buf + errorSuffix(path), MessageKind::Error);
    return false;
  }
  skipLine(in);

  RectMesh m;
  m.nx = nx;
  m.ny = ny;
  m.nz = nz;
  try {
    m.xNodes.assign(static_cast<std::size_t>(nx) + 1, 0.0);
    m.yNodes.assign(static_cast<std::size_t>(ny) + 1, 0.0);
    m.zNodes.assign(static_cast<std::size_t>(nz) + 1, 0.0);
  } catch (const std::bad_alloc&) {
    platform.message("Not enough memory for the mesh.\n" + errorSuffix(path), MessageKind::Error);
    return false;
  }

  in >> m.xNodes[0] >> m.yNodes[0] >> m.zNodes[0];
  skipLine(in);

  if (!readWidthList(in, nx, m.xNodes, path, platform) || !readWidthList(in, ny, m.yNodes, path, platform) ||
      !readWidthList(in, nz, m.zNodes, path, platform))
    return false;

  const double z0 = m.zNodes[0];
  for (int k = 1; k <= nz; ++k) {
    m.zNodes[k] = snapNode(2 * z0 - m.zNodes[k], m.zNodes[k - 1]);
    if (!std::isfinite(m.zNodes[k])) {
      platform.message("Mesh coordinates out of range.\n" + errorSuffix(path), MessageKind::Error);
      return false;
    }
  }
  mesh = std::move(m);
  return true;
}

}  // namespace litho
