// Built with -ffast-math -fopenmp-simd (and nothing else is): the loops below
// call glibc's vector forms of log and atan. They never produce or test an
// infinity or a NaN: offsets of zero are moved off the node planes first and
// log(a + r) of a negative a is taken as log((r^2 - a^2) / (r - a)).
#include "core/forward/prism_kernels.h"

#include <cmath>

namespace litho::forward {
namespace {

// Offsets this close to zero (a node plane through the station) are moved off it.
constexpr double kTiny = 1e-9;

inline double offPlane(double a) { return std::fabs(a) < kTiny ? kTiny : a; }

// log(a + r) where b2 = r^2 - a^2 > 0, without the cancellation of a near -r.
inline double logPlusR(double a, double r, double b2) {
  const double m = std::fabs(a);
  return std::log(a >= 0 ? m + r : b2 / (m + r));
}

}  // namespace

// Four lanes of vector log and atan where the processor has AVX2, two elsewhere.
#define LITHO_KERNEL_CLONES __attribute__((target_clones("avx2", "default")))

LITHO_KERNEL_CLONES
double sumGravityCorners(const double* x, const double* y, const double* z, const double* weight, std::size_t n,
                         double sx, double sy, double sz) {
  double sum = 0;
#pragma omp simd reduction(+ : sum)
  for (std::size_t i = 0; i < n; ++i) {
    const double u = offPlane(x[i] - sx), v = offPlane(y[i] - sy), w = offPlane(sz - z[i]);
    const double u2 = u * u, v2 = v * v, w2 = w * w;
    const double r = std::sqrt(u2 + v2 + w2);
    const double lu = logPlusR(u, r, v2 + w2);
    const double lv = logPlusR(v, r, u2 + w2);
    sum += weight[i] * (w * std::atan(u * v / (w * r)) - u * lv - v * lu);
  }
  return sum;
}

LITHO_KERNEL_CLONES
double sumMagneticCorners(const double* x, const double* y, const double* z, const double* weight, std::size_t n,
                          double sx, double sy, double sz, const double f[3]) {
  const double xx = f[0] * f[0], yy = f[1] * f[1], zz = f[2] * f[2];
  const double xy = 2 * f[0] * f[1], xz = 2 * f[0] * f[2], yz = 2 * f[1] * f[2];
  double sum = 0;
#pragma omp simd reduction(+ : sum)
  for (std::size_t i = 0; i < n; ++i) {
    const double u = offPlane(x[i] - sx), v = offPlane(y[i] - sy), w = offPlane(sz - z[i]);
    const double u2 = u * u, v2 = v * v, w2 = w * w;
    const double r = std::sqrt(u2 + v2 + w2);
    const double t = xy * logPlusR(w, r, u2 + v2) + xz * logPlusR(v, r, u2 + w2) + yz * logPlusR(u, r, v2 + w2) -
                     xx * std::atan(v * w / (u * r)) - yy * std::atan(u * w / (v * r)) -
                     zz * std::atan(u * v / (w * r));
    sum += weight[i] * t;
  }
  return sum;
}

}  // namespace litho::forward
