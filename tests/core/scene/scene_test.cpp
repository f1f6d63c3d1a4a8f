#include "core/scene/scene.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <map>

#include "core/load/document.h"
#include "core/load/memory.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

// A document holding a unit-cell mesh and one model filled by value(i, j, k).
struct SceneFixture {
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewState v;
  ColourState colours;
  SceneBuilder builder;
  SceneGeometry g;

  SceneFixture(int nx, int ny, int nz, double x0 = 0, double y0 = 0) {
    doc.adopt(test::unitStore(nx, ny, nz, 1.0f, x0, y0), {});
    doc.editStore().setRange(0, 10);
    v.visibleCount = {nx, ny, nz};
    v.displayMin = 0;
    v.displayMax = 10;
    colours.initScales(0, 10, false, false, 0, 0, false);
  }
  ModelSet& model() { return doc.editStore().modelData(0); }
  void build() { builder.build(doc, v, colours, g); }
  std::vector<SceneOpKind> opKinds() const {
    std::vector<SceneOpKind> k;
    for (const auto& op : g.ops) k.push_back(op.kind);
    return k;
  }
  std::map<int, int> facesBySide() const {
    std::map<int, int> n;
    for (const auto& f : g.faces) ++n[f.side];
    return n;
  }
};

// Newell's normal of a polygon: its direction is the side from which it winds counter-clockwise.
std::array<double, 3> newell(const std::vector<std::array<double, 3>>& pts) {
  std::array<double, 3> n{};
  for (std::size_t a = 0; a < pts.size(); ++a) {
    const auto& p = pts[a];
    const auto& q = pts[(a + 1) % pts.size()];
    n[0] += (p[1] - q[1]) * (p[2] + q[2]);
    n[1] += (p[2] - q[2]) * (p[0] + q[0]);
    n[2] += (p[0] - q[0]) * (p[1] + q[1]);
  }
  return n;
}

void expectWoundOutward(const std::vector<std::array<double, 3>>& pts, const std::array<float, 3>& normal) {
  const auto n = newell(pts);
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  ASSERT_GT(len, 0);
  EXPECT_NEAR(n[0] / len, normal[0], 1e-6);
  EXPECT_NEAR(n[1] / len, normal[1], 1e-6);
  EXPECT_NEAR(n[2] / len, normal[2], 1e-6);
}

void expectAllWoundOutward(const SceneFixture& s) {
  for (const auto& f : s.g.faces) {
    const auto c = faceCorners(s.doc.mesh(), f);
    expectWoundOutward({c.begin(), c.end()}, faceNormal(f.side));
    // The normal points away from the cell's centre.
    const double cx = s.doc.mesh().xNodes[f.i] + 0.5, cy = s.doc.mesh().yNodes[f.j] + 0.5, cz = -f.k - 0.5;
    const auto n = faceNormal(f.side);
    EXPECT_GT((c[0][0] - cx) * n[0] + (c[0][1] - cy) * n[1] + (c[0][2] - cz) * n[2], 0);
  }
  for (const auto& poly : s.g.polygons) {
    std::vector<std::array<double, 3>> pts(s.g.polygonVertices.begin() + poly.firstVertex,
                                           s.g.polygonVertices.begin() + poly.firstVertex + poly.vertexCount);
    expectWoundOutward(pts, poly.normal);
  }
}

TEST(Scene, FullBoxDrawsOnlyItsSixOuterFaces) {
  SceneFixture s(4, 3, 5);
  s.build();
  EXPECT_EQ(s.g.faces.size(), 2u * (4 * 3 + 4 * 5 + 3 * 5));
  EXPECT_EQ(s.facesBySide(), (std::map<int, int>{{kFaceTop, 12}, {kFaceBottom, 12}, {kFaceWest, 15},
                                                 {kFaceEast, 15}, {kFaceSouth, 20}, {kFaceNorth, 20}}));
  for (const auto& f : s.g.faces) {
    if (f.side == kFaceTop) {
      EXPECT_EQ(f.k, 0);
    }
    if (f.side == kFaceEast) {
      EXPECT_EQ(f.i, 3);
    }
    EXPECT_EQ(f.colour, 6);  // value 1 on 0..10
  }
  expectAllWoundOutward(s);
  EXPECT_EQ(s.opKinds(), (std::vector<SceneOpKind>{SceneOpKind::PolygonOffsetOn, SceneOpKind::Faces,
                                                   SceneOpKind::PolygonOffsetOff, SceneOpKind::LightingOff,
                                                   SceneOpKind::OverlayOffsetOn, SceneOpKind::Overlays,
                                                   SceneOpKind::PolygonOffsetOff}));
}

TEST(Scene, SceneLargerThanTheMemoryIsRefusedUntilCutDown) {
  SceneFixture s(100, 100, 100);
  const ScopedMemoryLimit limit(1 << 20);
  EXPECT_FALSE(s.builder.build(s.doc, s.v, s.colours, s.g));
  EXPECT_EQ(s.builder.failure(),
            "Not enough memory to draw the model: 1.9 MiB are needed, 1.0 MiB are available.\n"
            "Cut planes, hidden padding or a cutoff that leave fewer cells make it drawable.");
  EXPECT_TRUE(s.g.ops.empty());
  s.v.cuts[kSideWest] = 90;
  EXPECT_TRUE(s.builder.build(s.doc, s.v, s.colours, s.g));
  EXPECT_EQ(s.builder.failure(), "");
  EXPECT_EQ(s.g.faces.size(), 2u * (10 * 100 + 100 * 100 + 100 * 10));
}

TEST(Scene, FacesOfOneCellComeInTableOrder) {
  SceneFixture s(1, 1, 1);
  s.build();
  ASSERT_EQ(s.g.faces.size(), 6u);
  for (int side = 0; side < 6; ++side) EXPECT_EQ(s.g.faces[static_cast<std::size_t>(side)].side, side);
}

TEST(Scene, InverseCutoffHidesValuesBetweenTheLimits) {
  SceneFixture s(5, 1, 1);
  const float values[5] = {0, 1, 1.5f, 2, 3};
  for (int i = 0; i < 5; ++i) s.model()(i, 0, 0) = values[i];
  s.v.displayMin = 2;
  s.v.displayMax = 1;
  s.build();
  const HiddenFlags& h = s.builder.hiddenFlags();
  EXPECT_FALSE(h.hidden(0, 0, 0));
  EXPECT_FALSE(h.hidden(1, 0, 0));
  EXPECT_TRUE(h.hidden(2, 0, 0));
  EXPECT_FALSE(h.hidden(3, 0, 0));
  EXPECT_FALSE(h.hidden(4, 0, 0));
  // Cell 1 shows an east face toward the hidden cell, cell 3 a west face.
  int east1 = 0, west3 = 0;
  for (const auto& f : s.g.faces) {
    east1 += f.i == 1 && f.side == kFaceEast;
    west3 += f.i == 3 && f.side == kFaceWest;
  }
  EXPECT_EQ(east1, 1);
  EXPECT_EQ(west3, 1);

  SCOPED_TRACE("NaN cells are hidden whatever the cutoff");
  s.v.displayMin = -1e30;
  s.v.displayMax = 1e30;
  s.model()(2, 0, 0) = std::nanf("");
  s.build();
  EXPECT_TRUE(s.builder.hiddenFlags().hidden(2, 0, 0));
  for (const auto& f : s.g.faces) EXPECT_NE(f.i, 2);
}

TEST(Scene, LargeBoxBuiltOnTwoThreadsGivesEveryExposedFaceOnceInSlabOrder) {
  // Enough cells for the second thread, with holes of hidden cells and cut planes.
  const int nx = 96, ny = 90, nz = 70;
  SceneFixture s(nx, ny, nz);
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      for (int k = 0; k < nz; ++k) s.model()(i, j, k) = ((i * 7 + j * 5 + k * 3) % 13 == 0) ? 20.0f : 1.0f;
  s.v.cuts[kSideWest] = 3;
  s.v.cuts[kSideBottom] = 2;
  s.build();
  const HiddenFlags& h = s.builder.hiddenFlags();
  const DrawBox& b = h.box();
  std::size_t expected = 0;
  for (int i = b.xs; i < b.xe; ++i)
    for (int j = b.ys; j < b.ye; ++j)
      for (int k = b.zs; k < b.ze; ++k) {
        ASSERT_EQ(h.hidden(i, j, k), s.model()(i, j, k) > 10) << i << " " << j << " " << k;
        if (h.hidden(i, j, k)) continue;
        expected += h.hidden(i, j, k - 1) + h.hidden(i, j, k + 1) + h.hidden(i - 1, j, k) + h.hidden(i + 1, j, k) +
                    h.hidden(i, j - 1, k) + h.hidden(i, j + 1, k);
      }
  EXPECT_EQ(s.g.faces.size(), expected);
  std::uint32_t at = 0;
  int column = b.xs;
  for (const FaceSlab& slab : s.g.slabs) {
    EXPECT_EQ(slab.begin, at);
    EXPECT_EQ(slab.i0, column);
    for (std::uint32_t f = slab.begin; f < slab.end; ++f) {
      const CellFace& c = s.g.faces[f];
      EXPECT_TRUE(c.i >= slab.i0 && c.i < slab.i1);
      EXPECT_FALSE(h.hidden(c.i, c.j, c.k));
    }
    at = slab.end;
    column = slab.i1;
  }
  EXPECT_EQ(at, s.g.faces.size());
  EXPECT_EQ(column, b.xe);
}

TEST(Scene, CutoffTakesEachFloatAsTheDoubleLimitsDo) {
  // 40 cells down one column: whole blocks of 16 and a remainder.
  SceneFixture s(1, 1, 40);
  const float near = 1.0f, above = std::nextafter(1.0f, 2.0f), below = std::nextafter(1.0f, 0.0f);
  const float values[8] = {near, above, below, -HUGE_VALF, HUGE_VALF, std::nanf(""), 3.0f, -FLT_MAX};
  for (int k = 0; k < 40; ++k) s.model()(0, 0, k) = values[(k * 3) % 8];
  const double limits[][2] = {{1.0, 1.0},         {1.0 + 1e-12, 3.0},       {0.5, 1.0 - 1e-12},
                              {-HUGE_VAL, 1.0},   {1.0, HUGE_VAL},          {-1e300, 1e300},
                              {-HUGE_VAL, HUGE_VAL}, {static_cast<double>(above), 2.0}};
  for (const auto& l : limits) {
    s.v.displayMin = l[0];
    s.v.displayMax = l[1];
    s.build();
    for (int k = 0; k < 40; ++k) {
      const double x = s.model()(0, 0, k);
      EXPECT_EQ(s.builder.hiddenFlags().hidden(0, 0, k), !(x >= l[0] && x <= l[1])) << l[0] << ".." << l[1] << " " << x;
    }
  }
}

TEST(Scene, InactiveCellsStartEachColumnLower) {
  SceneFixture s(3, 1, 4);
  s.doc.editStore().topActiveData()(1, 0) = 2;
  s.doc.editStore().topActiveData()(2, 0) = 9;  // beyond the box: nothing drawn
  s.build();
  int topOfMiddle = -1, westOfMiddle = 0;
  for (const auto& f : s.g.faces) {
    EXPECT_NE(f.i, 2);
    if (f.i == 1 && f.side == kFaceTop) topOfMiddle = f.k;
    if (f.i == 0 && f.side == kFaceEast) ++westOfMiddle;
  }
  EXPECT_EQ(topOfMiddle, 2);
  EXPECT_EQ(westOfMiddle, 2);  // column 0 shows its east side where column 1 is inactive
  expectAllWoundOutward(s);
}

TEST(Scene, IgnoredCutPlanesShowTheWholeSlice) {
  SceneFixture s(4, 2, 2);
  for (int j = 0; j < 2; ++j)
    for (int k = 0; k < 2; ++k) {
      s.model()(0, j, k) = 5;
      s.model()(1, j, k) = 50;  // fails the cutoff but lies on the cut slice
      s.model()(2, j, k) = 50;
      s.model()(3, j, k) = 5;
    }
  s.v.cuts[kSideWest] = 1;
  s.v.ignoreCutPlanes = true;
  s.build();
  const HiddenFlags& h = s.builder.hiddenFlags();
  EXPECT_EQ(h.box().xs, 0);
  EXPECT_FALSE(h.hidden(0, 0, 0));
  EXPECT_FALSE(h.hidden(1, 1, 1));
  EXPECT_TRUE(h.hidden(2, 0, 0));

  SCOPED_TRACE("without ignoreCutPlanes the cut removes column 0");
  s.v.ignoreCutPlanes = false;
  s.build();
  EXPECT_EQ(s.builder.hiddenFlags().box().xs, 1);
  EXPECT_TRUE(s.builder.hiddenFlags().hidden(1, 0, 0));
}

TEST(Scene, EmptyDrawBoxDrawsNothing) {
  SceneFixture s(3, 3, 3);
  s.v.visibleCount = {0, 3, 3};
  s.build();
  EXPECT_TRUE(s.g.faces.empty());
  s.v.visibleCount = {3, 3, 3};
  s.v.cuts = {2, 2, 0, 0, 0, 0};
  s.build();
  EXPECT_TRUE(s.g.faces.empty());
}

TEST(Scene, SecondModelLayerStates) {
  SceneFixture s(2, 2, 2);
  ModelStore& store = s.doc.editStore();
  store.allocateSecondModel();
  std::fill(store.secondModelData().data(), store.secondModelData().data() + 8, 3.0f);
  store.setSecondModelLoaded(true);
  LoadRequest files;
  files.modelPath = "/d/first.den";
  files.secondModelPath = "/d/second.den";
  s.doc.setFiles(files);
  s.colours.initScales(0, 10, false, true, 0, 6, false);
  using K = SceneOpKind;
  {
    SCOPED_TRACE("opacity 1: only the second model, opaque, depth writes on");
    s.colours.blendWeight = 1;
    s.build();
    EXPECT_EQ(s.opKinds(), (std::vector<K>{K::LightingOff, K::OverlayOffsetOn, K::Overlays, K::PolygonOffsetOff,
                                            K::LightingOn, K::Faces, K::LightingOff, K::BlendOff, K::DepthWriteOn}));
    EXPECT_EQ(s.g.faces.size(), 24u);
    EXPECT_EQ(s.g.faces[0].colour, 30);  // 3 on the second scale 0..6
    EXPECT_EQ(s.g.title, "/d/second.den");
  }
  {
    SCOPED_TRACE("opacity 0.9: blended, depth writes stay on");
    s.colours.blendWeight = 0.9f;
    s.build();
    EXPECT_EQ(s.opKinds(), (std::vector<K>{K::PolygonOffsetOn, K::Faces, K::PolygonOffsetOff, K::LightingOff,
                                            K::OverlayOffsetOn, K::Overlays, K::PolygonOffsetOff, K::BlendOn,
                                            K::LightingOn, K::Faces, K::LightingOff, K::BlendOff, K::DepthWriteOn}));
  }
  {
    SCOPED_TRACE("opacity 0.5: depth writes off during the second layer; the first model names the window");
    s.colours.blendWeight = 0.5f;
    s.v.lightingOn = false;
    s.build();
    EXPECT_EQ(s.opKinds(), (std::vector<K>{K::PolygonOffsetOn, K::Faces, K::PolygonOffsetOff, K::LightingOff,
                                            K::OverlayOffsetOn, K::Overlays, K::PolygonOffsetOff, K::BlendOn,
                                            K::DepthWriteOff, K::Faces, K::LightingOff, K::BlendOff,
                                            K::DepthWriteOn}));
    EXPECT_EQ(s.g.title, "/d/first.den");
    ASSERT_EQ(s.g.faces.size(), 48u);
    for (std::size_t f = 0; f < 24; ++f) {
      EXPECT_EQ(s.g.faces[f].i, s.g.faces[f + 24].i);
      EXPECT_EQ(s.g.faces[f].side, s.g.faces[f + 24].side);
    }
  }
  {
    SCOPED_TRACE("opacity 0: no second layer");
    s.colours.blendWeight = 0;
    s.doc.setDifferenceShown(true);
    s.build();
    EXPECT_EQ(s.g.faces.size(), 24u);
  }
}

TEST(Scene, DiagonalCutKeepsOneSideAndWindsEveryPieceOutward) {
  SceneFixture s(6, 6, 2);
  s.v.diagonalCutOn = true;
  // Through (0.5, 0) and (5.5, 3): crosses cells, never a corner.
  s.v.diagonalLine = {0.5, 0, 5.5, 3};
  s.build();
  EXPECT_FALSE(s.g.polygons.empty());
  expectAllWoundOutward(s);
  // Whole columns kept lie west of the line (smaller easting at their northing).
  for (const auto& f : s.g.faces) {
    const double yMid = f.j + 0.5;
    const double xLine = (yMid - 0) / (3.0 / 5.0) + 0.5;
    EXPECT_LT(f.i + 0.0, xLine) << "column " << f.i << "," << f.j;
  }
  const std::size_t westKept = s.g.faces.size() + s.g.polygons.size();

  SCOPED_TRACE("Flip keeps the east side");
  s.v.diagonalSide = 1;
  s.build();
  expectAllWoundOutward(s);
  for (const auto& f : s.g.faces) {
    const double xLine = (f.j + 0.5) / (3.0 / 5.0) + 0.5;
    EXPECT_GT(f.i + 1.0, xLine);
  }
  EXPECT_NE(westKept, s.g.faces.size() + s.g.polygons.size());
}

TEST(Scene, DiagonalThroughCellCornersCutsOnlyTheCellsItCrosses) {
  SceneFixture s(4, 4, 1);
  s.v.diagonalCutOn = true;
  s.v.diagonalLine = {0, 0, 4, 4};  // through the corners of the cells i == j
  s.build();
  // Columns touched only at a corner have one crossing: kept whole west of the line, removed east of it.
  for (const auto& f : s.g.faces) EXPECT_LT(f.i, f.j);
  EXPECT_FALSE(s.g.polygons.empty());
  for (const auto& q : s.g.polygonVertices) EXPECT_LE(q[0], q[1] + 1e-12);
  expectAllWoundOutward(s);
}

TEST(Scene, MapCoordinatesKeepFacesExact) {
  SceneFixture s(2, 2, 2, 500000.0, 7000000.0);
  s.build();
  expectAllWoundOutward(s);
  const auto c = faceCorners(s.doc.mesh(), s.g.faces.front());
  EXPECT_EQ(c[0][0], 500000.0);
}

}  // namespace
}  // namespace litho
