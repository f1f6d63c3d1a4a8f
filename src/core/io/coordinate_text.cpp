#include "core/io/coordinate_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace litho {

std::string fixedText(double value, int decimals) {
  decimals = std::clamp(decimals, 0, 9);
  // Whole numbers round halves away from zero as "%i" of a rounded value would;
  // with decimals printf rounds the exact binary value.
  if (decimals == 0) value = std::round(value);
  char buf[400];  // the widest double in %f: 309 digits, the point and 9 decimals
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  std::string s = buf;
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

int decimalsToResolve(double resolution) {
  const double r = std::fabs(resolution);
  if (!std::isfinite(r) || r == 0) return 0;
  double scaled = r;
  for (int d = 0; d < 6; ++d, scaled *= 10)
    // Widths are differences of node coordinates: allow their round-off.
    if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * scaled) return d;
  return 6;
}

std::string coordinateText(double value, double resolution) {
  std::string s = fixedText(value, decimalsToResolve(resolution));
  if (s.find('.') != std::string::npos) {
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace litho
