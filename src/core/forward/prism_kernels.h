#pragma once
// Sums of the closed-form prism kernels over mesh nodes. A uniform prism's
// response is the sum over its eight corners of a corner function times the
// sign +1 for the far corner along each axis and -1 for the near one, so a
// whole mesh needs each node once, weighted by the signed sum of the
// properties of the cells around it.
//
// Offsets are from the station to the node: u east, v north, w down (the
// station's elevation minus the node's).
#include <cstddef>

namespace litho::forward {

// Sum of weight * (w atan(uv / (wr)) - u log(v + r) - v log(u + r)): times
// G and the density unit, the downward attraction.
double sumGravityCorners(const double* x, const double* y, const double* z, const double* weight, std::size_t n,
                         double sx, double sy, double sz);

// Sum of weight * f'Tf, T the second derivatives of the volume integral of
// 1/r, f the unit inducing direction (east, north, down).
double sumMagneticCorners(const double* x, const double* y, const double* z, const double* weight, std::size_t n,
                          double sx, double sy, double sz, const double f[3]);

}  // namespace litho::forward
