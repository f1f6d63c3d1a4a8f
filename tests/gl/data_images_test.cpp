// The airborne gravity survey of the block example drawn by each method,
// compared with baselines made on Debian 12 with Mesa's software renderer.
#include <gtest/gtest.h>

#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "support/qt_image_test.h"

namespace litho {
namespace {

class DataRenderTest : public test::OffscreenViewTest {
 protected:
  void SetUp() override {
    const std::string block = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
    LoadRequest req;
    req.meshPath = block + "block.msh";
    req.modelPath = block + "density.den";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    DataSet set;
    set.path = block + "gravity.obs";
    ASSERT_TRUE(readDataFile(set, p));
    doc.editDataSets().push_back(std::move(set));
    doc.setSelectedDataSet(0);
    showNewLoad();
    view.state.cuts[kSideSouth] = 15;  // the body under the survey
  }
  void show(int method, float value) {
    DataSet& s = doc.editDataSets()[0];
    s.plottingMethod = method;
    s.plottingValue = value;
    if (method == kPlotSurface) {
      ASSERT_TRUE(buildDataSurface(s, p));
    }
    view.refresh(ViewRefresh::Reload);
  }
};

TEST_F(DataRenderTest, TranslucentLitSurface) {
  show(kPlotSurface, 0.8f);
  expectMatches("data_surface");
  EXPECT_TRUE(p.messages.empty()) << p.lastMessageText();
}

TEST_F(DataRenderTest, Lines) {
  show(kPlotLines, 2);
  expectMatches("data_lines");
}

TEST_F(DataRenderTest, PointsWithTheirNames) {
  DataSet& s = doc.editDataSets()[0];
  s.points[0].name = "BASE";
  s.solidColour = true;
  s.colour = {1, 1, 0};
  show(kPlotPoints, 4);
  expectMatches("data_points");
  EXPECT_EQ(scene.geometry().data.labels.size(), 1u);
}

TEST_F(DataRenderTest, Spheres) {
  show(kPlotSpheres, 8);
  expectMatches("data_spheres");
}

TEST_F(DataRenderTest, Cylinders) {
  show(kPlotCylinders, 3);
  expectMatches("data_cylinders");
}

}  // namespace
}  // namespace litho
