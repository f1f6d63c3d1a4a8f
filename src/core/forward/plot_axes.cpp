#include "core/forward/plot_axes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace litho::forward {

double tickStep(double lo, double hi, int maxTicks) {
  const double span = hi - lo;
  if (!std::isfinite(span) || !(span > 0) || maxTicks < 1) return 0;
  const double raw = span / maxTicks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

std::vector<double> axisTicks(double lo, double hi, int maxTicks) {
  const double step = tickStep(lo, hi, maxTicks);
  std::vector<double> ticks;
  if (step <= 0) return ticks;
  for (double k = std::ceil(lo / step); k * step <= hi + step * 1e-9 && ticks.size() < 1000; ++k)
    ticks.push_back(std::fabs(k) < 0.5 ? 0.0 : k * step);
  return ticks;
}

std::string tickLabel(double value, double step) {
  const int decimals = step > 0 ? std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 12) : 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

}  // namespace litho::forward
