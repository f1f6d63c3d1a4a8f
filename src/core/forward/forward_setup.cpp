#include "core/forward/forward_setup.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "core/io/field_parse.h"

namespace litho::forward {
namespace {

constexpr long long kMaxPoints = 10'000'000;

double middleWidth(const std::vector<double>& nodes, int n) { return nodes[n / 2] - nodes[n / 2 - 1]; }

}  // namespace

ForwardSettings initialForwardSettings(const RectMesh& m) {
  ForwardSettings s;
  if (m.nx < 1 || m.ny < 1 || m.zNodes.empty()) return s;
  s.dx = middleWidth(m.xNodes, m.nx < 2 ? 2 : m.nx);
  s.dy = middleWidth(m.yNodes, m.ny < 2 ? 2 : m.ny);
  s.x0 = (m.xNodes[0] + m.xNodes[1]) / 2;
  s.xn = (m.xNodes[m.nx - 1] + m.xNodes[m.nx]) / 2;
  s.y0 = (m.yNodes[0] + m.yNodes[1]) / 2;
  s.yn = (m.yNodes[m.ny - 1] + m.yNodes[m.ny]) / 2;
  s.elevation = m.zNodes[0] + 1;
  return s;
}

ForwardSettings& ForwardMemory::settings(Survey survey, const RectMesh& mesh) {
  auto& s = settings_[survey == Survey::Gravity ? 1 : 0];
  if (!s) s = initialForwardSettings(mesh);
  return *s;
}

ForwardFieldTexts forwardFieldTexts(const ForwardSettings& s) {
  const double v[kFieldCount] = {s.inclination, s.declination, s.strength, s.x0, s.xn,
                                 s.y0,          s.yn,          s.dx,       s.dy, s.elevation};
  ForwardFieldTexts t;
  char buf[64];
  for (int f = 0; f < kFieldCount; ++f) {
    std::snprintf(buf, sizeof buf, "%.10g", v[f]);
    t[static_cast<std::size_t>(f)] = buf;
  }
  return t;
}

std::optional<ForwardFieldError> readForwardFields(const ForwardFieldTexts& texts, Survey survey, ForwardSettings& s) {
  double* target[kFieldCount] = {&s.inclination, &s.declination, &s.strength, &s.x0, &s.xn,
                                 &s.y0,          &s.yn,          &s.dx,       &s.dy, &s.elevation};
  for (int f = survey == Survey::Magnetics ? 0 : kX0; f < kFieldCount; ++f) {
    const auto v = parseDoubleField(texts[static_cast<std::size_t>(f)]);
    const double limit = f == kInclination ? 90 : f == kDeclination ? 180 : 0;
    const bool bad = !v || !std::isfinite(*v) || (limit > 0 && std::fabs(*v) > limit);
    if (bad && s.useFile) continue;
    if (bad) {
      char buf[64];
      std::snprintf(buf, sizeof buf, "Enter a number between %g and %g.", -limit, limit);
      return ForwardFieldError{limit > 0 ? std::string(buf) : std::string(kEnterNumberMessage), static_cast<ForwardField>(f)};
    }
    *target[f] = *v;
  }
  return std::nullopt;
}

long long pointsAlong(double first, double last, double spacing) {
  if (!(spacing > 0)) return -1;
  const double steps = std::floor((last - first) / spacing);
  if (!(steps >= 0) || steps >= static_cast<double>(kMaxPoints)) return steps >= 0 ? kMaxPoints + 1 : -1;
  return static_cast<long long>(steps) + 1;
}

std::optional<ForwardCheckFailure> checkForwardSettings(ForwardSettings& s,
                                                        const std::function<bool(const std::string&)>& fileExists) {
  if (s.useFile) {
    if (!s.locationsFile.empty() && !fileExists(s.locationsFile))
      return ForwardCheckFailure{"locations file:\n" + s.locationsFile + "\nnot found.", true};
    return std::nullopt;
  }
  if (!(s.xn >= s.x0) || !(s.yn >= s.y0)) return ForwardCheckFailure{"Area input error."};
  if (!(s.dx > 0) || !(s.dy > 0)) return ForwardCheckFailure{"Data spacing must be greater than 0."};
  const long long nx = pointsAlong(s.x0, s.xn, s.dx), ny = pointsAlong(s.y0, s.yn, s.dy);
  if (nx > kMaxPoints || ny > kMaxPoints || nx * ny > kMaxPoints)
    return ForwardCheckFailure{"Too many observation points: at most " + std::to_string(kMaxPoints) +
                               " are written.\nIncrease the data spacing."};
  s.locationsFile.clear();
  return std::nullopt;
}

int cellAlong(const std::vector<double>& nodes, double c) {
  const int cells = static_cast<int>(nodes.size()) - 1;
  int i = 0;
  while (i < cells - 1 && !(c <= nodes[i + 1])) ++i;
  return i;
}

std::string locationsText(const ForwardSettings& s, Survey survey, const RectMesh& mesh, const Grid2<int>& top,
                          bool activeMaskSet) {
  std::string out;
  char buf[128];
  if (survey == Survey::Magnetics) {
    std::snprintf(buf, sizeof buf, "%g %g %g\n", s.inclination, s.declination, s.strength);
    out += buf;
    std::snprintf(buf, sizeof buf, "%g %g %i\n", s.inclination, s.declination, 1);
    out += buf;
  }
  const long long nx = std::max(0LL, pointsAlong(s.x0, s.xn, s.dx)), ny = std::max(0LL, pointsAlong(s.y0, s.yn, s.dy));
  std::snprintf(buf, sizeof buf, "%lld   !! grid %lld %lld\n", nx * ny, nx, ny);
  out += buf;
  for (long long a = 0; a < nx; ++a) {
    const double x = s.x0 + static_cast<double>(a) * s.dx;
    for (long long b = 0; b < ny; ++b) {
      const double y = s.y0 + static_cast<double>(b) * s.dy;
      double z = s.elevation;
      if (s.elevationMode == 1) {
        int i = 0, j = 0;
        if (activeMaskSet) {
          i = cellAlong(mesh.xNodes, x);
          j = cellAlong(mesh.yNodes, y);
        }
        const int k = top.empty() ? 0 : std::clamp(top(i, j), 0, mesh.nz);
        z = s.elevation + mesh.zNodes[static_cast<std::size_t>(k)];
      }
      // Ten digits: map coordinates in six ("%g") would move the stations by metres.
      std::snprintf(buf, sizeof buf, "%.10g %.10g %.10g\n", x, y, z);
      out += buf;
    }
  }
  return out;
}

std::string findProgram(const std::string& name, const std::string& exeFolder, const std::string& path) {
  auto runnable = [](const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_regular_file(p, ec) && ::access(p.c_str(), X_OK) == 0;
  };
  if (!exeFolder.empty() && runnable(std::filesystem::path(exeFolder) / name))
    return (std::filesystem::path(exeFolder) / name).string();
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    const std::string folder = path.substr(start, end - start);
    if (!folder.empty() && runnable(std::filesystem::path(folder) / name))
      return (std::filesystem::path(folder) / name).string();
    start = end + 1;
  }
  return {};
}

}  // namespace litho::forward
