#include "core/scene/face_merge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

using FaceKey = std::tuple<int, int, int, int, int>;  // i, j, k, side, colour

std::vector<FaceKey> keysOf(const std::vector<CellFace>& faces) {
  std::vector<FaceKey> k;
  for (const CellFace& f : faces) k.emplace_back(f.i, f.j, f.k, f.side, f.colour);
  std::sort(k.begin(), k.end());
  return k;
}

// The cell faces each rectangle stands for; checks the sides come grouped as sideEnd says.
std::vector<FaceKey> expand(const std::vector<MergedFace>& merged, const std::array<std::size_t, 6>& sideEnd) {
  std::vector<FaceKey> k;
  std::size_t from = 0;
  for (int side = 0; side < 6; ++side) {
    for (std::size_t m = from; m < sideEnd[side]; ++m) {
      const MergedFace& f = merged[m];
      EXPECT_EQ(f.side, side);
      EXPECT_EQ((f.side <= kFaceBottom ? f.dk : f.side <= kFaceEast ? f.di : f.dj), 1) << "one cell across its plane";
      for (int i = f.i; i < f.i + f.di; ++i)
        for (int j = f.j; j < f.j + f.dj; ++j)
          for (int kk = f.k; kk < f.k + f.dk; ++kk) k.emplace_back(i, j, kk, f.side, f.colour);
    }
    from = sideEnd[side];
  }
  EXPECT_EQ(from, merged.size());
  std::sort(k.begin(), k.end());
  return k;
}

struct MergeFixture : ::testing::Test {
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewState v;
  ColourState colours;
  SceneBuilder builder;
  SceneGeometry g;
  FaceMerger merger;
  std::vector<MergedFace> merged;
  std::array<std::size_t, 6> sideEnd{};

  void build(int nx, int ny, int nz, float (*value)(int, int, int)) {
    doc.adopt(test::unitStore(nx, ny, nz), {});
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j)
        for (int k = 0; k < nz; ++k) doc.editStore().modelData(0)(i, j, k) = value(i, j, k);
    doc.editStore().setRange(0, 10);
    v.visibleCount = {nx, ny, nz};
    v.displayMin = 0;
    v.displayMax = 10;
    colours.initScales(0, 10, false, false, 0, 0, false);
    builder.build(doc, v, colours, g);
  }
  void merge() {
    merged.clear();
    merger.merge(g.faces, 0, static_cast<std::uint32_t>(g.faces.size()), merged, sideEnd);
  }
};

TEST_F(MergeFixture, OneColourBoxIsSixRectanglesWithTheFacesCorners) {
  build(7, 5, 4, [](int, int, int) { return 5.0f; });
  merge();
  ASSERT_EQ(merged.size(), 6u);
  EXPECT_EQ(expand(merged, sideEnd), keysOf(g.faces));
  // The whole top: the corners of the box's top face.
  const MergedFace& top = merged[0];
  EXPECT_EQ(std::tie(top.di, top.dj, top.dk), std::make_tuple(7, 5, 1));
  const auto c = mergedCorners(doc.mesh(), top);
  EXPECT_EQ(c[0], (std::array<double, 3>{0, 0, 0}));
  EXPECT_EQ(c[2], (std::array<double, 3>{7, 5, 0}));
  // A single face keeps the corners of faceCorners.
  for (const CellFace& f : g.faces) {
    const MergedFace one{f.i, f.j, f.k, 1, 1, 1, f.side, f.colour};
    EXPECT_EQ(mergedCorners(doc.mesh(), one), faceCorners(doc.mesh(), f));
  }
}

TEST_F(MergeFixture, EveryFaceLiesInExactlyOneRectangleOfItsColourInAnyOrder) {
  // Bands, blocks and holes: runs of every length, rows that differ, hidden cells (value 20).
  build(9, 8, 6, [](int i, int j, int k) {
    if ((i * 7 + j * 3 + k) % 11 == 0) return 20.0f;
    return static_cast<float>((i / 3 + j / 2 + k) % 4) * 2.5f;
  });
  ASSERT_GT(g.faces.size(), 200u);
  merge();
  EXPECT_EQ(expand(merged, sideEnd), keysOf(g.faces));
  EXPECT_LT(merged.size(), g.faces.size() * 3 / 4);

  std::mt19937 rng(7);
  std::shuffle(g.faces.begin(), g.faces.end(), rng);
  merge();
  EXPECT_EQ(expand(merged, sideEnd), keysOf(g.faces));

  // A part of the list only.
  merged.clear();
  merger.merge(g.faces, 10, 50, merged, sideEnd);
  EXPECT_EQ(expand(merged, sideEnd), keysOf({g.faces.begin() + 10, g.faces.begin() + 50}));
}

}  // namespace
}  // namespace litho
