#include "core/scene/faces_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

// A unit-cell model with a loaded overlay whose faces hold face(block, i, j, k).
struct FacesFixture {
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  CellFacesOverlay& o = view.cellFaces;
  SceneBuilder builder;
  SceneGeometry g;

  FacesFixture(int nx, int ny, int nz) {
    doc.adopt(test::unitStore(nx, ny, nz, 1.0f), {});
    view.refresh(ViewRefresh::NewLoad);
    o.adoptMeshSize(nx, ny, nz);
    o.x.allocate(nx - 1, ny, nz);
    o.y.allocate(nx, ny - 1, nz);
    o.z.allocate(nx, ny, nz - 1);
    fill([](int b, int, int, int) { return 0.5f * static_cast<float>(b); });
    o.loaded = true;
    o.colourMin = o.cutoffMin = 0;
    o.colourMax = o.cutoffMax = 1;
    o.rebuildColourmap();
  }
  template <class F>
  void fill(F face) {
    ModelSet* sets[3] = {&o.x, &o.y, &o.z};
    for (int b = 0; b < 3; ++b)
      for (int i = 0; i < sets[b]->nx(); ++i)
        for (int j = 0; j < sets[b]->ny(); ++j)
          for (int k = 0; k < sets[b]->nz(); ++k) (*sets[b])(i, j, k) = face(b, i, j, k);
  }
  void build(int method) {
    o.method = method;
    ASSERT_TRUE(builder.build(doc, view.state, view.colours, g, &o));
  }
  std::map<int, int> tracesByKind() const {
    std::map<int, int> n;
    for (const FaceTrace& t : g.cellFaces.traces) ++n[t.kind];
    return n;
  }
};

TEST(FacesScene, WholeBoxTracesEachFaceWhereItMeetsTheSurfaceAndDrawsEveryFace) {
  FacesFixture f(2, 2, 2);
  f.build(kFacesLines);
  // Each of the 12 interior faces meets the box's surface along two of its edges.
  EXPECT_EQ(f.g.cellFaces.traces.size(), 24u);
  EXPECT_EQ(f.g.ops.back().kind, SceneOpKind::CellFacesOverlay);
  for (const FaceTrace& t : f.g.cellFaces.traces) {
    const bool x = t.kind == kTraceTopX || t.kind == kTraceBottomX || t.kind == kTraceSouthX || t.kind == kTraceNorthX;
    const bool z = t.kind == kTraceSouthZ || t.kind == kTraceNorthZ || t.kind == kTraceWestZ || t.kind == kTraceEastZ;
    EXPECT_EQ(t.colour, x ? 0 : z ? 60 : 30);
  }
  f.build(kFacesSurface);
  std::map<int, int> sides;
  for (const CellFace& c : f.g.cellFaces.faces) ++sides[c.side];
  EXPECT_EQ(sides, (std::map<int, int>{{kFaceTop, 4}, {kFaceWest, 4}, {kFaceSouth, 4}}));
  f.build(kFacesNone);
  EXPECT_NE(f.g.ops.back().kind, SceneOpKind::CellFacesOverlay);
}

TEST(FacesScene, SingleVisibleCellShowsItsThreeFacesOnAllSidesExceptWhereTheBoxEnds) {
  FacesFixture f(3, 3, 3);
  f.doc.editStore().modelData(0)(1, 1, 1) = 2;
  f.doc.editStore().modelData(0)(2, 1, 1) = 2;
  f.view.state.displayMin = f.view.state.displayMax = 2;
  f.o.z(1, 1, 1) = 0.25f;
  f.build(kFacesLines);
  std::map<int, int> centre, east;
  for (const FaceTrace& t : f.g.cellFaces.traces) ++(t.i == 1 ? centre : east)[t.kind];
  // The centre cell's east side touches the visible east cell: it shows no traces.
  std::map<int, int> expected;
  for (int kind : {kTraceTopX, kTraceTopY, kTraceBottomX, kTraceBottomY, kTraceSouthX, kTraceSouthZ, kTraceNorthX,
                   kTraceNorthZ, kTraceWestY, kTraceWestZ})
    expected[kind] = 1;
  EXPECT_EQ(centre, expected);
  // The east cell is at the box's end: its east face is not traced.
  EXPECT_EQ(east, (std::map<int, int>{{kTraceTopY, 1},
                                      {kTraceBottomY, 1},
                                      {kTraceSouthZ, 1},
                                      {kTraceNorthZ, 1},
                                      {kTraceEastY, 1},
                                      {kTraceEastZ, 1}}));
  for (const FaceTrace& t : f.g.cellFaces.traces) {
    if (t.i != 1 || t.kind != kTraceNorthZ) continue;
    EXPECT_EQ(t.colour, 15);
    const auto ends = traceEnds(f.doc.mesh(), t);
    EXPECT_EQ(ends[0], (std::array<double, 3>{1, 2, -2}));
    EXPECT_EQ(ends[1], (std::array<double, 3>{2, 2, -2}));
  }
}

TEST(FacesScene, SurfaceDrawsOnlyFacesInTheClosedCutoffAndNeverNaN) {
  FacesFixture f(3, 2, 2);
  const float a = 0.3f;
  f.fill([&](int b, int i, int j, int k) {
    if (b == 0 && i == 1 && j == 1 && k == 0) return a;
    if (b == 2 && i == 2) return std::nextafter(a, 1.0f);
    if (b == 1) return std::numeric_limits<float>::quiet_NaN();
    return 0.0f;
  });
  f.o.cutoffMin = f.o.cutoffMax = a;
  f.build(kFacesSurface);
  ASSERT_EQ(f.g.cellFaces.faces.size(), 1u);
  const CellFace& face = f.g.cellFaces.faces[0];
  EXPECT_EQ((std::array<int, 4>{face.i, face.j, face.k, face.side}), (std::array<int, 4>{2, 1, 0, kFaceWest}));
  EXPECT_EQ(face.colour, 18);
  // NaN faces are neither drawn in a cutoff that takes everything nor traced.
  f.o.cutoffMin = -1e30f;
  f.o.cutoffMax = 1e30f;
  f.build(kFacesSurface);
  for (const CellFace& c : f.g.cellFaces.faces) EXPECT_NE(c.side, kFaceSouth);
  f.build(kFacesLines);
  ASSERT_FALSE(f.g.cellFaces.traces.empty());
  for (const FaceTrace& t : f.g.cellFaces.traces)
    EXPECT_TRUE(t.kind != kTraceTopY && t.kind != kTraceBottomY && t.kind != kTraceWestY && t.kind != kTraceEastY);
}

TEST(FacesScene, RefreshesOtherThanAReloadUnloadTheOverlay) {
  FacesFixture f(2, 2, 2);
  f.view.refresh(ViewRefresh::Reload);
  EXPECT_TRUE(f.o.loaded);
  f.view.refresh(ViewRefresh::ValuesChanged);
  EXPECT_FALSE(f.o.loaded);
  f.o.loaded = true;
  f.o.adoptMeshSize(2, 2, 3);
  EXPECT_FALSE(f.o.loaded);
  EXPECT_FALSE(f.o.arraysPresent());
}

}  // namespace
}  // namespace litho
