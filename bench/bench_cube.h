#pragma once
// An n x n x n store of 10 m cells at map coordinates for the benchmarks;
// the caller fills the values and hands it to the document.
#include <cmath>

#include "core/load/document.h"

namespace litho::bench {

inline ModelStore makeCube(int n) {
  RectMesh m;
  m.nx = m.ny = m.nz = n;
  for (int i = 0; i <= n; ++i) {
    m.xNodes.push_back(500000.0 + 10.0 * i);
    m.yNodes.push_back(7000000.0 + 10.0 * i);
    m.zNodes.push_back(400.0 - 10.0 * i);
  }
  ModelStore store;
  store.allocate(std::move(m), 1, false);
  return store;
}

// A layered background with a few smooth bodies, like an inversion result.
inline float bodiesValue(int i, int j, int k, int n) {
  const double x = static_cast<double>(i) / n, y = static_cast<double>(j) / n, z = static_cast<double>(k) / n;
  double v = 0.2 * z + 0.05 * std::sin(6 * x) * std::cos(5 * y);
  const double bodies[4][5] = {{0.3, 0.4, 0.3, 0.08, 1.0},
                               {0.7, 0.6, 0.5, 0.12, 0.8},
                               {0.5, 0.2, 0.7, 0.06, 1.2},
                               {0.2, 0.8, 0.6, 0.10, -0.6}};
  for (const auto& b : bodies) {
    const double d2 = (x - b[0]) * (x - b[0]) + (y - b[1]) * (y - b[1]) + (z - b[2]) * (z - b[2]);
    v += b[4] * std::exp(-d2 / (2 * b[3] * b[3]));
  }
  return static_cast<float>(v);
}

}  // namespace litho::bench
