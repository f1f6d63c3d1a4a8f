#include "core/scene/vector_scene.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>

#include "core/load/document.h"
#include "core/scene/scene.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

// A unit-cell mesh (top at z = 0) holding one vector model; every cell points
// along (vx, vy, vz) with amplitude 5.
struct VectorFixture {
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewState v;
  ColourState colours;
  SceneBuilder builder;
  SceneGeometry g;

  VectorFixture(int nx, int ny, int nz, std::array<float, 3> dir = {0, 0, 1}) {
    doc.adopt(test::unitStore(nx, ny, nz, 5.0f, 100, 200, 1, true), {});
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j)
        for (int k = 0; k < nz; ++k) setCell(i, j, k, 5, dir);
    doc.editStore().setRange(0, 10);
    v.visibleCount = {nx, ny, nz};
    v.displayMin = 0;
    v.displayMax = 10;
    v.vectorLength = 0.5;
    colours.initScales(0, 10, false, false, 0, 0, false);
  }
  void setCell(int i, int j, int k, float amplitude, std::array<float, 3> dir) {
    doc.editStore().modelData(0)(i, j, k) = amplitude;
    doc.editStore().vectorData(0, 0)(i, j, k) = dir[0];
    doc.editStore().vectorData(1, 0)(i, j, k) = dir[1];
    doc.editStore().vectorData(2, 0)(i, j, k) = dir[2];
  }
  void build() { builder.build(doc, v, colours, g); }
  const std::vector<VectorArrow>& arrows() const { return g.vectors.arrows; }
  // Cell indices of the arrows, from their centres.
  std::set<std::array<int, 3>> cells() const {
    std::set<std::array<int, 3>> s;
    for (const auto& a : arrows())
      s.insert({static_cast<int>(std::floor(a.centre[0] - 100)), static_cast<int>(std::floor(a.centre[1] - 200)),
                static_cast<int>(std::floor(-a.centre[2]))});
    return s;
  }
  bool hasOp(SceneOpKind kind) const {
    for (const auto& op : g.ops)
      if (op.kind == kind) return true;
    return false;
  }
};

void expectNear3(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  for (std::size_t n = 0; n < 3; ++n) EXPECT_NEAR(a[n], b[n], 1e-9) << "component " << n;
}

// Where the cone's axis (0, 0, length) ends up after the placement's rotations.
std::array<double, 3> coneAxis(const ConePlacement& c) {
  const double rad = 3.14159265358979323846 / 180;
  const double t = c.tilt * rad, az = c.azimuth * rad;
  const double x = std::sin(t) * c.length, z = std::cos(t) * c.length;
  return {x * std::cos(az), x * std::sin(az), z};
}

TEST(VectorScene, ArrowsSitOnTheirCellsAndPointAlongTheirVectors) {
  {
    SCOPED_TRACE("(0, 0, 1) points down: tail above, head below the centre");
    VectorFixture f(1, 1, 1, {0, 0, 1});
    f.build();
    ASSERT_EQ(f.arrows().size(), 1u);
    const auto pts = linePoints(f.arrows()[0]);
    expectNear3(pts[0], {100.5, 200.5, -0.5 + 0.25});
    expectNear3(pts[2], {100.5, 200.5, -0.5 - 0.25});
    expectNear3(pts[1], {100.5, 200.5, -0.5 - 0.6 * 0.25});
  }
  {
    SCOPED_TRACE("(1, 0, 0) as a line: coloured to +0.3 L, head colour beyond");
    VectorFixture f(1, 1, 1, {1, 0, 0});
    f.v.vectorLength = 2;
    f.build();
    ASSERT_EQ(f.arrows().size(), 1u);
    const auto pts = linePoints(f.arrows()[0]);
    expectNear3(pts[0], {100.5 - 1, 200.5, -0.5});
    expectNear3(pts[1], {100.5 + 0.6, 200.5, -0.5});
    expectNear3(pts[2], {100.5 + 1, 200.5, -0.5});
    EXPECT_FALSE(f.g.vectors.cones);
    EXPECT_EQ(f.g.vectors.length, 2);
  }
  {
    SCOPED_TRACE("head colour follows the background");
    EXPECT_EQ(vectorHeadColour(true), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(vectorHeadColour(false), (std::array<float, 4>{0, 0, 0, 1}));
    VectorFixture f(1, 1, 1);
    f.v.darkBackground = false;
    f.build();
    EXPECT_EQ(f.g.vectors.headColour, (std::array<float, 4>{0, 0, 0, 1}));
  }
}

TEST(VectorScene, ConesRunFromTailToHead) {
  const std::array<std::array<double, 3>, 7> dirs{{{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {0, -1, 0}, {0.6, 0, 0.8},
                                                   {-0.48, 0.6, -0.64}, {0, 0, 1.0000001}}};
  for (const auto& d : dirs) {
    SCOPED_TRACE(testing::Message() << "vector " << d[0] << " " << d[1] << " " << d[2]);
    const double L = 3;
    VectorArrow a{{10, 20, -30}, {d[0] * L / 2, d[1] * L / 2, -d[2] * L / 2}, 0};
    const ConePlacement c = conePlacement(a, L);
    ASSERT_FALSE(std::isnan(c.tilt));
    const auto pts = linePoints(a);
    expectNear3(c.tail, pts[0]);
    const auto axis = coneAxis(c);
    for (std::size_t n = 0; n < 3; ++n) EXPECT_NEAR(c.tail[n] + axis[n], pts[2][n], 1e-5) << "component " << n;
    EXPECT_DOUBLE_EQ(c.baseRadius, 0.2 * L);
    EXPECT_DOUBLE_EQ(c.tipRadius, 0.2 * L / 6);
  }
}

TEST(VectorScene, IncrementsAndTheSelectedCutPlaneThinTheWalk) {
  {
    SCOPED_TRACE("increments (2, 2, 1) on a 10 x 10 x 5 box");
    VectorFixture f(10, 10, 5);
    f.v.vectorIncrement = {2, 2, 1};
    f.build();
    EXPECT_EQ(f.arrows().size(), 125u);
    std::set<int> xs;
    for (const auto& c : f.cells()) xs.insert(c[0]);
    EXPECT_EQ(xs, (std::set<int>{0, 2, 4, 6, 8}));
  }
  {
    SCOPED_TRACE("counted from the first cell of the DrawBox");
    VectorFixture f(10, 10, 5);
    f.v.hiddenPadding[kSideWest] = 1;
    f.v.visibleCount[0] = 9;
    f.v.cuts[kSideWest] = 2;
    f.v.vectorIncrement = {3, 1, 1};
    f.build();
    std::set<int> xs;
    for (const auto& c : f.cells()) xs.insert(c[0]);
    EXPECT_EQ(xs, (std::set<int>{3, 6, 9}));
  }
  {
    SCOPED_TRACE("top plane selected: only layer zs, whatever the Z increment");
    VectorFixture f(4, 4, 6);
    f.v.cuts[kSideTop] = 2;
    f.v.selectedCutPlane = kTop;
    f.v.vectorIncrement = {1, 1, 5};
    f.build();
    EXPECT_EQ(f.arrows().size(), 16u);
    for (const auto& c : f.cells()) EXPECT_EQ(c[2], 2);
  }
  {
    SCOPED_TRACE("each plane picks its layer of the box");
    const DrawBox b{2, 7, 1, 5, 0, 3};
    const std::array<int, 3> inc{1, 1, 1};
    EXPECT_EQ(vectorWalk(b, kWest, inc)[0].first, 2);
    EXPECT_EQ(vectorWalk(b, kEast, inc)[0].first, 6);
    EXPECT_EQ(vectorWalk(b, kSouth, inc)[1].first, 1);
    EXPECT_EQ(vectorWalk(b, kNorth, inc)[1].first, 4);
    EXPECT_EQ(vectorWalk(b, kTop, inc)[2].first, 0);
    EXPECT_EQ(vectorWalk(b, kBottom, inc)[2].first, 2);
    const std::array<int, 3> whole{5, 4, 3};
    for (int plane = kWest; plane <= kBottom; ++plane) {
      const auto w = vectorWalk(b, plane, inc);
      const auto axis = static_cast<std::size_t>((plane - 1) / 2);
      for (std::size_t a = 0; a < 3; ++a) EXPECT_EQ(w[a].count(), a == axis ? 1 : whole[a]) << "plane " << plane;
    }
  }
  {
    SCOPED_TRACE("an increment of 0 walks like 1; a huge one stops after the first cell");
    const DrawBox b{0, 10, 0, 10, 0, 10};
    const auto w = vectorWalk(b, kNoPlane, {0, -3, INT_MAX});
    EXPECT_EQ(w[0].count(), 10);
    EXPECT_EQ(w[1].count(), 10);
    EXPECT_EQ(w[2].count(), 1);
    EXPECT_EQ(vectorWalk(DrawBox{}, kNoPlane, {1, 1, 1})[0].count(), 0);
  }
}

TEST(VectorScene, HiddenAndZeroCellsGetNoArrow) {
  VectorFixture f(3, 3, 3);
  f.setCell(1, 1, 1, 9, {0, 0, 1});       // outside the cutoff below
  f.setCell(0, 0, 0, 0, {0, 0, 0});       // no direction
  f.setCell(2, 2, 2, 2.5f, {1, 0, 0});    // colour entry 15
  f.doc.editStore().topActiveData()(2, 0) = 3;         // a column above the topography
  f.v.displayMax = 6;
  f.build();
  const auto cells = f.cells();
  EXPECT_EQ(cells.size(), 27u - 1 - 1 - 3);
  EXPECT_EQ(cells.count({1, 1, 1}), 0u);
  EXPECT_EQ(cells.count({0, 0, 0}), 0u);
  EXPECT_EQ(cells.count({2, 0, 1}), 0u);
  for (const auto& a : f.arrows()) {
    const bool odd = a.centre[0] == 102.5 && a.centre[1] == 202.5 && a.centre[2] == -2.5;
    EXPECT_EQ(a.colour, odd ? 15 : 30);
  }
}

TEST(VectorScene, FacesOnlyInMeshMode) {
  VectorFixture f(2, 2, 2);
  f.build();
  EXPECT_TRUE(f.hasOp(SceneOpKind::Vectors));
  EXPECT_TRUE(f.g.faces.empty());
  EXPECT_FALSE(f.hasOp(SceneOpKind::Faces));
  f.v.showMesh = true;
  f.build();
  EXPECT_TRUE(f.hasOp(SceneOpKind::Vectors));
  EXPECT_FALSE(f.g.faces.empty());
  // The arrows come before the outlines.
  std::size_t vectors = 0, faces = 0;
  for (std::size_t n = 0; n < f.g.ops.size(); ++n) {
    if (f.g.ops[n].kind == SceneOpKind::Vectors) vectors = n;
    if (f.g.ops[n].kind == SceneOpKind::Faces) faces = n;
  }
  EXPECT_LT(vectors, faces);
}

TEST(VectorScene, ConesQuestionIsAskedOnceBeforeTheRebuild) {
  VectorFixture f(2, 2, 2);
  ViewController view(f.doc, f.p);
  view.state = f.v;
  // What the view does for a command: ask, then rebuild; a No holds for one build.
  auto command = [&] {
    view.state.frame.rebuild();
    view.askBeforeRebuild();
    f.builder.build(f.doc, view.state, f.colours, f.g);
    view.state.vectorPassDeclined = false;
  };
  {
    SCOPED_TRACE("lines, or a selected cut plane: no question");
    command();
    view.state.vectorsAsCones = true;
    view.state.selectedCutPlane = kSouth;
    command();
    EXPECT_TRUE(f.p.questions.empty());
    EXPECT_EQ(f.arrows().size(), 4u);
  }
  {
    SCOPED_TRACE("nothing to rebuild: nothing to ask yet");
    view.state.selectedCutPlane = kNoPlane;
    view.state.frame.rebuilt();
    view.askBeforeRebuild();
    EXPECT_TRUE(f.p.questions.empty());
  }
  {
    SCOPED_TRACE("No: the pass draws nothing, mesh outlines stay");
    view.state.showMesh = true;
    f.p.yesNoAnswers = {false};
    command();
    ASSERT_EQ(f.p.questions.size(), 1u);
    EXPECT_EQ(f.p.questions[0], kConesQuestion);
    EXPECT_FALSE(f.hasOp(SceneOpKind::Vectors));
    EXPECT_TRUE(f.arrows().empty());
    EXPECT_FALSE(f.g.faces.empty());
  }
  {
    SCOPED_TRACE("the next rebuild draws the cones without asking");
    command();
    EXPECT_EQ(f.p.questions.size(), 1u);
    EXPECT_EQ(f.arrows().size(), 8u);
    EXPECT_TRUE(f.g.vectors.cones);
  }
}

TEST(VectorScene, PropertiesCheck) {
  {
    SCOPED_TRACE("length must be greater than 0");
    for (const char* bad : {"0", "-1", "-0"}) {
      auto r = checkVectorProperties(true, bad, "1", "1", "1");
      ASSERT_TRUE(std::holds_alternative<std::string>(r)) << bad;
      EXPECT_EQ(std::get<std::string>(r), "Length should be greater than 0.");
    }
    auto r = checkVectorProperties(true, "abc", "1", "1", "1");
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_NE(std::get<std::string>(r), kLengthMessage);
  }
  {
    SCOPED_TRACE("increments must advance the walk");
    for (const auto& inc : std::vector<std::array<const char*, 3>>{{"0", "1", "1"}, {"1", "1", "0"}, {"", "1", "1"},
                                                                    {"99999999999", "1", "1"}}) {
      auto r = checkVectorProperties(false, "2.5", inc[0], inc[1], inc[2]);
      EXPECT_TRUE(std::holds_alternative<std::string>(r)) << inc[0] << " " << inc[2];
    }
  }
  {
    SCOPED_TRACE("accepted values reach the view state");
    auto r = checkVectorProperties(true, " 2.5 ", "3", "1", "12");
    ASSERT_TRUE(std::holds_alternative<VectorProperties>(r));
    ViewState v;
    v.frame.rebuilt();
    applyVectorProperties(v, std::get<VectorProperties>(r));
    EXPECT_TRUE(v.vectorsAsCones);
    EXPECT_EQ(v.vectorLength, 2.5);
    EXPECT_EQ(v.vectorIncrement, (std::array<int, 3>{3, 1, 12}));
    EXPECT_TRUE(v.frame.rebuildPending());
    const VectorProperties back = vectorPropertiesOf(v);
    EXPECT_TRUE(back.cones);
    EXPECT_EQ(back.increment, v.vectorIncrement);
  }
}

}  // namespace
}  // namespace litho
