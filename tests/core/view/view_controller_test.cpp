#include "core/view/view_controller.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <numbers>

#include "core/load/document.h"
#include "core/scene/camera.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "core/view/view_dialogs.h"

namespace litho {
namespace {

using test::ScriptedPlatform;

// A document with a mesh and a constant model, loaded from text.
class ViewTest : public ::testing::Test {
 protected:
  void load(const std::string& meshText) {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", meshText);
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    view.onStatus = [this](const std::string& s) { statuses.push_back(s); };
  }

  test::TempDir dir;
  ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  std::vector<std::string> statuses;
};

TEST_F(ViewTest, ResetFitsTheCameraToTheCoreBox) {
  load("10 10 5\n0 0 0\n10*100\n10*100\n5*100\n");
  view.refresh(ViewRefresh::NewLoad);
  EXPECT_EQ(view.state.sceneExtent, 1575);
  EXPECT_EQ(view.state.cameraDistance, -2362.5);
  EXPECT_EQ(view.state.panStep, 0.005 * 1575);
  EXPECT_EQ(view.state.sceneCentre, (std::array<double, 3>{500, 500, -250}));
  EXPECT_EQ(view.state.diagonalLine, (std::array<double, 4>{0, 0, 1000, 1000}));
  EXPECT_TRUE(view.state.showMesh);  // a mesh without a model file is shown as a wire frame

  SCOPED_TRACE("Scale View with Z = 2 recentres on the stretched box and resets the cuts");
  view.state.cuts[kSideWest] = 3;
  view.setAxisScale({1, 1, 2});
  EXPECT_EQ(view.state.cuts[kSideWest], 0);
  EXPECT_NEAR(view.state.sceneExtent, 1.05 * std::sqrt(1000.0 * 1000 * 3), 1e-9);
  EXPECT_TRUE(view.state.normalizeNormals);
  view.setAxisScale({1, 1, 1});
  EXPECT_FALSE(view.state.normalizeNormals);
}

TEST_F(ViewTest, ZoomStepsAndLimits) {
  load("2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  std::vector<double> seen;
  while (view.canZoomIn()) {
    view.zoomIn();
    seen.push_back(view.state.zoomAngle);
  }
  EXPECT_EQ(seen.front(), 29);
  EXPECT_EQ(seen[19], 10);
  EXPECT_EQ(seen[20], 9.5);
  EXPECT_EQ(seen.back(), 0.5);
  EXPECT_EQ(seen.size(), 20u + 19u);
  view.state.zoomAngle = 9.5;
  view.zoomOut();
  EXPECT_EQ(view.state.zoomAngle, 10);
  view.zoomOut();
  EXPECT_EQ(view.state.zoomAngle, 11);
  while (view.canZoomOut()) view.zoomOut();
  EXPECT_EQ(view.state.zoomAngle, 178);
  doc.releaseModelData();
  view.state.zoomAngle = 30;
  EXPECT_FALSE(view.canZoomIn());
}

TEST_F(ViewTest, PanStopsAboutOneStepBeyondTheExtent) {
  load("10 10 5\n0 0 0\n10*100\n10*100\n5*100\n");
  view.refresh(ViewRefresh::NewLoad);
  for (int i = 0; i < 1000; ++i) view.panHorizontal(+1);
  EXPECT_GT(view.state.panX, view.state.sceneExtent);
  EXPECT_LE(view.state.panX, view.state.sceneExtent + view.state.panStep + 1e-9);
  for (int i = 0; i < 1000; ++i) view.panVertical(-1);
  EXPECT_LT(view.state.panY, -view.state.sceneExtent);
  view.reset();
  EXPECT_EQ(view.state.panX, 0);
  EXPECT_EQ(view.state.selectedCutPlane, kNoPlane);
}

TEST_F(ViewTest, CutMovesKeepOneLayerVisible) {
  load("10 4 4\n0 0 0\n10*1\n4*1\n4*1\n");
  view.refresh(ViewRefresh::NewLoad);
  view.selectCutPlane(kEast);
  for (int i = 0; i < 3; ++i) view.cutForward();
  view.selectCutPlane(kWest);
  for (int i = 0; i < 20; ++i) view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideWest], 6);  // 6 + 3 = 10 - 1
  EXPECT_EQ(view.state.cuts[kSideEast], 3);
  for (int i = 0; i < 20; ++i) view.cutBackward();
  EXPECT_EQ(view.state.cuts[kSideWest], 0);
  view.selectCutPlane(kWest);
  EXPECT_EQ(view.state.selectedCutPlane, kNoPlane);
  view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideWest], 0);
}

TEST_F(ViewTest, SpaceBarSkipsIdenticalSlabs) {
  load("10 3 4\n0 0 0\n10*1\n3*1\n4*1\n");
  view.refresh(ViewRefresh::NewLoad);
  ModelSet& m = doc.editStore().modelData(0);
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 4; ++k) m(i, j, k) = i < 5 ? 1.0f : static_cast<float>(i);
  bool space = false;
  p.keys = [&](Key k) { return k == Key::Space && space; };

  view.selectCutPlane(kWest);
  space = true;
  view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideWest], 5);
  view.cutBackward();
  EXPECT_EQ(view.state.cuts[kSideWest], 0);

  SCOPED_TRACE("east plane: slabs 9, 8, 7 ... all differ");
  view.selectCutPlane(kEast);
  view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideEast], 1);
  space = false;
  view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideEast], 2);

  SCOPED_TRACE("top plane on a constant column: forward stops with one layer left");
  view.selectCutPlane(kTop);
  space = true;
  for (int i = 0; i < 10; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 4; ++k) m(i, j, k) = 7;
  view.cutForward();
  EXPECT_EQ(view.state.cuts[kSideTop], 3);
  EXPECT_EQ(view.cutStep(true), 0);

  SCOPED_TRACE("octree meshes always skip");
  space = false;
  LoadRequest octree = doc.files();
  octree.octree = true;
  doc.setFiles(octree);
  view.cutBackward();
  EXPECT_EQ(view.state.cuts[kSideTop], 0);
}

TEST_F(ViewTest, ModelPaddingFromTheFileHeaderIsHiddenPerAxis) {
  load("10 8 6\n0 0 0\n10*1\n8*1\n6*1\n");
  doc.editStore().setCoreOffsets({2, 1, 1, 1, 1, 3});
  view.refresh(ViewRefresh::NewLoad);
  EXPECT_EQ(view.state.hiddenPadding, (std::array<int, 6>{2, 1, 1, 1, 1, 3}));
  EXPECT_EQ(view.state.visibleCount, (std::array<int, 3>{7, 6, 2}));
  const CoreBox b = coreBox(doc.mesh(), view.state);
  EXPECT_EQ(b.x0, 2);
  EXPECT_EQ(b.x1, 9);
  EXPECT_EQ(b.z0, -1);
  EXPECT_EQ(b.z1, -3);

  SCOPED_TRACE("padding that would hide a whole axis is ignored for that axis");
  doc.editStore().setCoreOffsets({6, 4, 1, 1, 0, 0});
  view.refresh(ViewRefresh::NewLoad);
  EXPECT_EQ(view.state.hiddenPadding, (std::array<int, 6>{0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(view.state.visibleCount[0], 10);

  SCOPED_TRACE("a model made without a file after a padded one hides nothing");
  std::string values = "models 1 2 1 1 1 0 1\n";
  for (int n = 0; n < 480; ++n) values += std::to_string(n % 3 + 1) + "\n";
  LoadRequest req = doc.files();
  req.modelPath = dir.write("p.den", values);
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  view.refresh(ViewRefresh::NewLoad);
  ASSERT_EQ(view.state.hiddenPadding, (std::array<int, 6>{2, 1, 1, 1, 1, 0}));
  req.modelPath.clear();
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);  // Open with an empty model field
  view.refresh(ViewRefresh::NewLoad);
  EXPECT_EQ(view.state.hiddenPadding, (std::array<int, 6>{}));
  req.modelPath = dir.path() + "/p.den";
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  ASSERT_EQ(doc.loadCreatedMesh(doc.meshPath()), LoadStatus::Loaded);
  view.refresh(ViewRefresh::NewLoad);
  EXPECT_EQ(view.state.hiddenPadding, (std::array<int, 6>{}));
}

TEST_F(ViewTest, ModelStepsAndBlendStatus) {
  load("2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  view.refresh(ViewRefresh::NewLoad);
  view.nextModel();
  EXPECT_TRUE(statuses.empty());  // one model: nothing happens
  doc.editStore().allocateModels(3, false);
  view.nextModel();
  view.nextModel();
  view.nextModel();
  EXPECT_EQ(statuses, (std::vector<std::string>{" model 2", " model 3"}));
  EXPECT_EQ(doc.store().currentModelIndex(), 2);
  view.previousModel();
  EXPECT_EQ(statuses.back(), " model 2");

  statuses.clear();
  view.blend(+1);
  EXPECT_TRUE(statuses.empty());  // no second model
  doc.editStore().allocateSecondModel();
  doc.editStore().setSecondModelLoaded(true);
  for (int i = 0; i < 5; ++i) view.blend(+1);
  EXPECT_NEAR(view.colours.blendWeight, 0.8, 1e-6);
  EXPECT_TRUE(view.colours.secondScaleActive());
  EXPECT_EQ(statuses.back(), "first model 20%,  second model 80%");
  EXPECT_TRUE(view.state.frame.rebuildPending());
}

TEST_F(ViewTest, DisplayTogglesSetTheRightFlag) {
  load("2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  view.refresh(ViewRefresh::NewLoad);
  view.state.frame.clear();
  view.toggleLabels();
  view.toggleCompass();
  view.rotateX(+1);
  view.setPerspective(false);
  EXPECT_TRUE(view.state.frame.redrawPending());
  EXPECT_FALSE(view.state.frame.rebuildPending());
  EXPECT_EQ(view.state.rotationX, -60);
  view.toggleFloor();
  EXPECT_TRUE(view.state.frame.rebuildPending());
  view.changeFontSize(+1);
  EXPECT_EQ(view.state.viewFont.height, -13);
  view.setBackground(200, 200, 100);
  EXPECT_FALSE(view.state.darkBackground);
  view.setBackground(127, 127, 126);
  EXPECT_TRUE(view.state.darkBackground);
  view.setLights({false, false, false, false, false});
  EXPECT_FALSE(view.state.lightingOn);
}

TEST(ViewDialogs, ChecksAndMessages) {
  auto angles = checkViewAngles("-65", "10", "5", "30");
  ASSERT_TRUE(std::holds_alternative<ViewAngles>(angles));
  EXPECT_EQ(std::get<ViewAngles>(angles).z, 10);
  EXPECT_EQ(std::get<std::string>(checkViewAngles("a", "0", "5", "30")), "Enter a number.");
  EXPECT_EQ(std::get<std::string>(checkViewAngles("0", "0", "0.4", "30")), "Enter a number between 0.5 and 45.");
  EXPECT_EQ(std::get<std::string>(checkViewAngles("0", "0", "5", "181")), "Enter a number between 0 and 180.");
  EXPECT_EQ(quickRotateAngles(2), (std::array<float, 2>{-90, -180}));
  EXPECT_EQ(quickRotateAngles(5), (std::array<float, 2>{-90, 90}));
  EXPECT_EQ(std::get<std::string>(checkScaleView("1", "1", "0")), "Scale values cannot be 0.");
  EXPECT_EQ((std::get<std::array<double, 3>>(checkScaleView("-1", "1", "2"))), (std::array<double, 3>{-1, 1, 2}));
}

TEST(Camera, ProjectionMatchesTheFrustum) {
  ViewState v;
  v.showColourbar = false;
  v.sceneExtent = 1575;
  v.aspect = 2;
  const Mat4 p = projectionMatrix(v);
  // A point on the near plane at the top edge of the view maps to y = 1, z = -1.
  const double top = 1575 * std::tan(15 * std::numbers::pi / 180);
  auto c = transform(p, 0, top, -1575);
  EXPECT_NEAR(c[1] / c[3], 1, 1e-12);
  EXPECT_NEAR(c[2] / c[3], -1, 1e-12);
  c = transform(p, 2 * top * 2, 0, -3150);
  EXPECT_NEAR(c[0] / c[3], 1, 1e-12);
  EXPECT_NEAR(c[2] / c[3], 1, 1e-12);

  SCOPED_TRACE("orthographic at zoom 30 shows exactly sceneExtent across");
  v.perspective = 0;
  const Mat4 o = projectionMatrix(v);
  EXPECT_NEAR(transform(o, 787.5, 0, -2000)[0], 1, 1e-12);
  EXPECT_NEAR(transform(o, 0, 787.5 / 2, -2000)[1], 1, 1e-12);

  SCOPED_TRACE("with the colourbar the same picture fills the part left of the bar");
  v.perspective = 1;
  v.showColourbar = true;
  const Mat4 f = projectionMatrix(v);
  const double right = 2 * top * 2;
  c = transform(f, right, 0, -3150);
  EXPECT_NEAR(c[0] / c[3], 0.75, 1e-12);
  c = transform(f, -right, top * 2, -3150);
  EXPECT_NEAR(c[0] / c[3], -1, 1e-12);
  EXPECT_NEAR(c[1] / c[3], kSceneWidthWithColourbar, 1e-12);
  const auto plane = sceneClipPlane(v);
  const auto side = [&](double x, double z) { return plane[0] * x + plane[2] * z + plane[3]; };
  EXPECT_NEAR(side(right, -3150) / side(0, -3150), 0, 1e-12);
  EXPECT_GT(side(0, -2000), 0);
  EXPECT_LT(side(right * 1.01, -3150), 0);
}

TEST(Camera, LocalModelViewKeepsMapCoordinatesExact) {
  ViewState v;
  v.sceneCentre = {500000.0, 7000000.0, 200.0};
  v.cameraDistance = -3000;
  const Mat4 full = modelViewMatrix(v);
  const Mat4 local = localModelViewMatrix(v);
  const auto a = transform(full, 500010.25, 7000003.5, 190);
  const auto b = transform(local, 10.25, 3.5, -10);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(a[i], b[i], 1e-6);
  // The centre lands on the viewing axis at the camera distance.
  const auto c = transform(full, 500000, 7000000, 200);
  EXPECT_NEAR(c[2], -3000, 1e-9);
}

}  // namespace
}  // namespace litho
