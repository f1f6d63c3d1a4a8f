#include <gtest/gtest.h>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

bool sameFaces(const SceneGeometry& a, const SceneGeometry& b) {
  if (a.faces.size() != b.faces.size() || a.ops.size() != b.ops.size()) return false;
  for (std::size_t n = 0; n < a.faces.size(); ++n) {
    const CellFace &f = a.faces[n], &g = b.faces[n];
    if (f.i != g.i || f.j != g.j || f.k != g.k || f.side != g.side || f.colour != g.colour) return false;
  }
  for (std::size_t n = 0; n < a.ops.size(); ++n)
    if (a.ops[n].kind != b.ops[n].kind || a.ops[n].begin != b.ops[n].begin || a.ops[n].end != b.ops[n].end)
      return false;
  return true;
}

// A patched scene equals one built afresh, slabs included, whichever cells change.
TEST(ScenePatch, EqualsAFreshBuildAfterValuesChange) {
  test::ScriptedPlatform p;
  Document doc(p, p);
  doc.adopt(test::unitStore(7, 128, 256), {});
  ModelSet& m = doc.editStore().modelData(0);
  for (int i = 0; i < 7; ++i)
    for (int j = 0; j < 128; ++j)
      for (int k = 0; k < 256; ++k) m(i, j, k) = static_cast<float>((i * 7 + j * 3 + k) % 10);
  Grid2<int>& top = doc.editStore().topActiveData();
  top(3, 5) = 40;
  ViewState v;
  v.visibleCount = {7, 128, 256};
  v.cuts[kSideNorth] = 2;
  v.displayMin = 2;
  v.displayMax = 8;
  ColourState colours;
  colours.initScales(0, 10, false, false, 0, 0, false);
  SceneBuilder builder, fresh;
  SceneGeometry g, expected;
  ASSERT_TRUE(builder.build(doc, v, colours, g));
  ASSERT_GT(g.slabs.size(), 2u);
  ASSERT_GE(g.slabbedOp, 0);

  CellRegion twoEnds({0, 1, 10, 20, 0, 256});
  twoEnds.add({6, 7, 10, 20, 0, 256});
  const CellRegion changes[] = {CellBox{1, 4, 0, 9, 30, 50}, CellBox{6, 7, 120, 128, 250, 256},
                                CellBox{0, 7, 0, 128, 0, 1}, CellBox{2, 4, 4, 7, 38, 45}, twoEnds};
  const float values[] = {5, 9, 0, 3, 4};
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    for (const CellBox& b : changes[c].boxes())
      for (int i = b.i0; i < b.i1; ++i)
        for (int j = b.j0; j < b.j1; ++j)
          for (int k = b.k0; k < b.k1; ++k) m(i, j, k) = values[c];
    std::vector<int> slabs;
    ASSERT_TRUE(builder.patch(doc, v, colours, changes[c], g, slabs));
    EXPECT_FALSE(slabs.empty());
    ASSERT_TRUE(fresh.build(doc, v, colours, expected));
    EXPECT_TRUE(sameFaces(g, expected));
    ASSERT_EQ(g.slabs.size(), expected.slabs.size());
    for (std::size_t s = 0; s < g.slabs.size(); ++s) EXPECT_EQ(g.slabs[s].begin, expected.slabs[s].begin);
  }
  v.diagonalCutOn = true;
  std::vector<int> slabs;
  EXPECT_FALSE(builder.patch(doc, v, colours, changes[0], g, slabs)) << "a diagonal cut is built again";
}

}  // namespace
}  // namespace litho
