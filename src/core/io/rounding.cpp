#include "core/io/rounding.h"

#include <climits>
#include <cmath>

namespace litho {

// Out-of-range and NaN inputs saturate instead of invoking undefined conversions.
int roundToInt(double x) {
  const double r = std::trunc(x > 0 ? x + 0.5 : x - 0.5);
  if (std::isnan(r)) return 0;
  if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(r);
}
int roundToInt(float x) { return roundToInt(static_cast<double>(x)); }

namespace {
double powerOfTen(int n) {
  double result = 1.0;
  double base = 10.0;
  unsigned e = n < 0 ? static_cast<unsigned>(-static_cast<long long>(n)) : static_cast<unsigned>(n);
  while (e) {
    if (e & 1u) result *= base;
    base *= base;
    e >>= 1u;
  }
  return n < 0 ? 1.0 / result : result;
}
}  // namespace

double roundDecimals(double x, int n) {
  const double scale = powerOfTen(n);
  const double y = x * scale;
  return std::trunc(y > 0 ? y + 0.5 : y - 0.5) / scale;
}

}  // namespace litho
