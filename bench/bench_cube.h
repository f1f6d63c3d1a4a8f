#pragma once
// An n x n x n document of 10 m cells at map coordinates for the benchmarks;
// the caller fills the values.
#include "core/load/document.h"

namespace litho::bench {

inline void makeCube(Document& doc, int n) {
  RectMesh& m = doc.mesh;
  m.nx = m.ny = m.nz = n;
  for (int i = 0; i <= n; ++i) {
    m.xNodes.push_back(500000.0 + 10.0 * i);
    m.yNodes.push_back(7000000.0 + 10.0 * i);
    m.zNodes.push_back(400.0 - 10.0 * i);
  }
  doc.models.resize(1);
  doc.models[0].allocate(n, n, n);
  doc.modelCount = 1;
  doc.TopActiveIndex.allocate(n, n, 0);
}

}  // namespace litho::bench
