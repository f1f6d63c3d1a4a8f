#pragma once
// An n x n x n store of 10 m cells at map coordinates for the benchmarks;
// the caller fills the values and hands it to the document.
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

}  // namespace litho::bench
