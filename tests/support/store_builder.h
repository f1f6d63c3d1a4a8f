#pragma once
#include <algorithm>

#include "core/store/model_store.h"

namespace litho::test {

// A store of unit cells from (x0, y0, 0) down, one model (or `count`) filled with `value`, all cells active.
inline ModelStore unitStore(int nx, int ny, int nz, float value = 1.0f, double x0 = 0, double y0 = 0,
                            int count = 1, bool vector = false) {
  RectMesh m;
  m.nx = nx;
  m.ny = ny;
  m.nz = nz;
  for (int i = 0; i <= nx; ++i) m.xNodes.push_back(x0 + i);
  for (int j = 0; j <= ny; ++j) m.yNodes.push_back(y0 + j);
  for (int k = 0; k <= nz; ++k) m.zNodes.push_back(-k);
  ModelStore s;
  s.allocate(std::move(m), count, vector);
  for (int c = 0; c < count; ++c) std::fill(s.modelData(c).data(), s.modelData(c).data() + s.modelData(c).size(), value);
  s.setRange(value, value);
  return s;
}

}  // namespace litho::test
