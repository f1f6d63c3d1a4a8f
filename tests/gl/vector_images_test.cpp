// Renders of the vector example as lines and as cones, compared with baselines
// made on Debian 12 with Mesa's software renderer.
#include <gtest/gtest.h>

#include "support/qt_image_test.h"

namespace litho {
namespace {

using test::countPixels;

class VectorRenderTest : public test::OffscreenViewTest {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/vector.msh";
    req.modelPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/magnetization.vec";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    ASSERT_TRUE(doc.isVectorModel());
    showNewLoad();
  }
};

TEST_F(VectorRenderTest, LinesWithHeadsOnDarkAndLight) {
  ASSERT_TRUE(gl.valid()) << gl.error();
  EXPECT_GT(view.state.vectorLength, 0);
  view.state.vectorIncrement = {2, 2, 2};
  view.state.frame.rebuild();
  expectMatches("vector_lines_dark");
  EXPECT_FALSE(scene.geometry().vectors.arrows.empty());
  const QImage dark = render();
  EXPECT_GT(countPixels(dark, qRgb(255, 255, 255)), 20) << "white heads";
  view.setBackground(255, 255, 255);
  const QImage light = render();
  EXPECT_GT(countPixels(light, qRgb(0, 0, 0)), 20) << "black heads";
  EXPECT_EQ(light.pixel(2, 2), qRgb(255, 255, 255));
}

TEST_F(VectorRenderTest, ConesOnTheTopLayer) {
  ASSERT_TRUE(gl.valid()) << gl.error();
  view.state.vectorsAsCones = true;
  view.selectCutPlane(kTop);
  view.cutForward();
  view.cutForward();
  view.cutForward();
  expectMatches("vector_cones_layer");
  const auto& arrows = scene.geometry().vectors.arrows;
  ASSERT_FALSE(arrows.empty());
  for (const auto& a : arrows) EXPECT_EQ(a.centre[2], arrows.front().centre[2]);
}

}  // namespace
}  // namespace litho
