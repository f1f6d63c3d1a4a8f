// Renders of the example mesh with synthetic models, compared with baselines
// made on Debian 12 with Mesa's software renderer.
#include <gtest/gtest.h>

#include <cmath>

#include "core/load/memory.h"
#include "support/qt_image_test.h"

namespace litho {
namespace {

// The example mesh (40 x 40 x 30 at map coordinates) with a layered model and a dense body.
class RenderTest : public test::OffscreenViewTest {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = std::string(LITHO_SOURCE_DIR) + "/examples/block/block.msh";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    const RectMesh& m = doc.mesh();
    for (int i = 0; i < m.nx; ++i)
      for (int j = 0; j < m.ny; ++j)
        for (int k = 0; k < m.nz; ++k) {
          const double d2 = (i - 20) * (i - 20) + (j - 18) * (j - 18) + (k - 12) * (k - 12) * 1.5;
          doc.editStore().modelData(0)(i, j, k) = static_cast<float>(2.0 + 0.01 * k + 0.6 * std::exp(-d2 / 30.0));
        }
    req.modelPath = "/examples/block/body.den";
    doc.setFiles(req);
    doc.recomputeRange(Which::First);
    showNewLoad();
  }
};

TEST_F(RenderTest, DefaultViewOfALoad) {
  ASSERT_TRUE(gl.valid()) << gl.error();
  expectMatches("block_default");
  // Exact facts: the background in a corner, the model's top face at the centre.
  const QImage img = render();
  EXPECT_EQ(img.pixel(2, 2), qRgb(0, 0, 0));
  EXPECT_NE(img.pixel(img.width() / 2, img.height() / 2), qRgb(0, 0, 0));
}

TEST_F(RenderTest, FacesMergeExceptInMeshMode) {
  render();
  const std::size_t faces = scene.geometry().faces.size();
  EXPECT_LT(scene.sentFaces(), faces / 4);
  view.toggleMesh();
  render();
  EXPECT_EQ(scene.sentFaces(), faces) << "every cell outlined";
  EXPECT_EQ(scene.sentVertices(), 4 * faces);
  view.toggleMesh();
  render();
  EXPECT_LT(scene.sentFaces(), faces / 4);
}

TEST_F(RenderTest, SceneThatDoesNotFitIsNotCompiled) {
  ASSERT_TRUE(gl.valid()) << gl.error();
  {
    // Room for the flags and faces, not for the driver's copy of them.
    const ScopedMemoryLimit limit(512 << 10);
    const QImage img = render();
    EXPECT_EQ(scene.failure().rfind("Not enough memory to draw the model: ", 0), 0u) << scene.failure();
    EXPECT_EQ(img.pixel(img.width() / 2, img.height() / 2), qRgb(0, 0, 0)) << "no model drawn";
  }
  view.state.frame.rebuild();
  render();
  EXPECT_EQ(scene.failure(), "");
  EXPECT_GT(scene.geometry().faceCount(), 0u);
}

TEST_F(RenderTest, CutoffLeavesTheBody) {
  view.state.displayMin = 2.4;
  view.state.displayMax = 3;
  view.state.frame.rebuild();
  expectMatches("block_body");
  EXPECT_LT(scene.geometry().faceCount(), 2000u);
  EXPECT_GT(scene.geometry().faceCount(), 50u);
}

TEST_F(RenderTest, CutPlanesAndDiagonal) {
  view.state.cuts[kSideWest] = 12;
  view.state.cuts[kSideTop] = 8;
  view.state.diagonalCutOn = true;
  view.state.diagonalLine = {499700, 6999700, 500600, 7000300};
  view.state.frame.rebuild();
  expectMatches("block_cuts_diagonal");
  EXPECT_FALSE(scene.geometry().polygons.empty());
}

TEST_F(RenderTest, TranslucentSecondModel) {
  const RectMesh& m = doc.mesh();
  doc.editStore().allocateSecondModel();
  for (int i = 0; i < m.nx; ++i)
    for (int j = 0; j < m.ny; ++j)
      for (int k = 0; k < m.nz; ++k) doc.editStore().secondModelData()(i, j, k) = static_cast<float>(i + j);
  doc.editStore().setSecondModelLoaded(true);
  doc.recomputeRange(Which::Second);
  view.refresh(ViewRefresh::NewLoad);
  view.blend(+1);
  view.blend(+1);  // 0.5: both drawn, the second blended without depth writes
  expectMatches("block_second_model");
}

TEST_F(RenderTest, LightBackgroundAndOrthographic) {
  view.setBackground(255, 255, 255);
  view.setPerspective(false);
  view.setLights({true, true, false, false, true});
  view.rotateZ(+1);
  view.rotateZ(+1);
  expectMatches("block_white_ortho");
  EXPECT_EQ(render().pixel(2, 2), qRgb(255, 255, 255));
}

TEST_F(RenderTest, OverlaysOnDarkAndLight) {
  view.toggleLabels();
  view.toggleCompass();
  view.selectCutPlane(kWest);
  view.cutForward();
  view.cutForward();
  expectMatches("block_overlays_dark");
  view.setBackground(255, 255, 255);
  view.state.frame.rebuild();
  expectMatches("block_overlays_light");
}

}  // namespace
}  // namespace litho
