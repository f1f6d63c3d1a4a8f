// Renders of the vector example as lines and as cones, compared with baselines
// made on Debian 12 with Mesa's software renderer.
#include <gtest/gtest.h>

#include "app/offscreen_gl.h"
#include "core/load/document.h"
#include "gl/scene_gl.h"
#include "support/qt_image_compare.h"
#include "support/scripted_platform.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

constexpr int kWidth = 480, kHeight = 360;

class VectorRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/vector.msh";
    req.modelPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/magnetization.vec";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    ASSERT_TRUE(doc.isVectorModel());
    view.refresh(ViewRefresh::NewLoad);
    view.resize(kWidth, kHeight);
  }

  QImage render() { return gl.render(view, doc); }
  void expectMatches(const std::string& name) {
    const QImage img = render();
    ASSERT_FALSE(img.isNull()) << gl.error();
    const auto check = test::compareWithBaseline(img, name);
    EXPECT_TRUE(check.ok) << check.message;
  }
  // Pixels of exactly this colour.
  int count(const QImage& img, QRgb colour) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
  }

  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  OffscreenGl gl{kWidth, kHeight};
  const SceneRenderer& scene = gl.scene();
};

TEST_F(VectorRenderTest, LinesWithHeadsOnDarkAndLight) {
  ASSERT_TRUE(gl.valid()) << gl.error();
  EXPECT_GT(view.state.vectorLength, 0);
  view.state.vectorIncrement = {2, 2, 2};
  view.state.frame.rebuild();
  expectMatches("vector_lines_dark");
  EXPECT_FALSE(scene.geometry().vectors.arrows.empty());
  const QImage dark = render();
  EXPECT_GT(count(dark, qRgb(255, 255, 255)), 20) << "white heads";
  view.setBackground(255, 255, 255);
  const QImage light = render();
  EXPECT_GT(count(light, qRgb(0, 0, 0)), 20) << "black heads";
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
