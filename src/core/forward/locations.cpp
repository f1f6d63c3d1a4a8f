#include "core/forward/locations.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace litho::forward {
namespace {

// Leading numbers of a line, at most n; the count read.
int leadingNumbers(std::string_view line, double* out, int n) {
  const std::string text(line);
  const char* p = text.c_str();
  int got = 0;
  while (got < n) {
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p || !std::isfinite(v)) break;
    out[got++] = v;
    p = end;
  }
  return got;
}

}  // namespace

std::optional<Locations> readLocations(LineSource& in, bool magnetic, std::string& error) {
  Locations loc;
  long long lineNo = 0;
  std::string_view line;
  auto next = [&]() -> bool {
    while (in.nextLine(line)) {
      ++lineNo;
      if (line.find_first_not_of(" \t\r") != std::string_view::npos) return true;
    }
    return false;
  };
  auto fail = [&](const std::string& what) {
    error = what + (lineNo > 0 ? " (line " + std::to_string(lineNo) + ")" : std::string());
    return std::nullopt;
  };
  double v[3];
  if (magnetic) {
    if (!next() || leadingNumbers(line, v, 3) != 3) return fail("the first line must hold inclination, declination and field strength");
    loc.field = {v[0], v[1], v[2]};
    if (!next() || leadingNumbers(line, v, 3) < 2) return fail("the second line must hold inclination, declination and 1");
  }
  if (!next()) return fail("the number of points is missing");
  char* end = nullptr;
  const std::string countText(line);
  const long long count = std::strtoll(countText.c_str(), &end, 10);
  if (end == countText.c_str() || count < 0) return fail("the number of points is missing");
  if (count == 0) return fail("there are no points");
  const long long remaining = in.remainingBytes();
  if (count > 100000000 || (remaining >= 0 && count > remaining / 6 + 1))
    return fail("the file cannot hold " + std::to_string(count) + " points");
  loc.stations.reserve(static_cast<std::size_t>(count));
  for (long long i = 0; i < count; ++i) {
    if (!next()) return fail("only " + std::to_string(i) + " of " + std::to_string(count) + " points are in the file");
    if (leadingNumbers(line, v, 3) != 3) return fail("a point needs x, y and z");
    loc.stations.push_back({v[0], v[1], v[2]});
  }
  if (in.failed()) return fail("the file could not be read");
  return loc;
}

std::string dataFileText(const std::vector<Station>& stations, const std::vector<double>& values) {
  std::string out = std::to_string(stations.size()) + "\n";
  char buf[160];
  for (std::size_t i = 0; i < stations.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%.10g %.10g %.10g %.8g\n", stations[i].x, stations[i].y, stations[i].z, values[i]);
    out += buf;
  }
  return out;
}

}  // namespace litho::forward
