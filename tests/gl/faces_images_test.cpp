// The face weights of the block example drawn in both modes, compared with
// baselines made on Debian 12 with Mesa's software renderer.
#include <gtest/gtest.h>

#include "support/qt_image_test.h"

namespace litho {
namespace {

class FacesRenderTest : public test::OffscreenViewTest {
 protected:
  void SetUp() override {
    const std::string block = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
    LoadRequest req;
    req.meshPath = block + "block.msh";
    req.modelPath = block + "density.den";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    showNewLoad();
    CellFacesOverlay& o = view.cellFaces;
    o.adoptMeshSize(doc.mesh().nx, doc.mesh().ny, doc.mesh().nz);
    o.path = block + "face_weights.txt";
    ASSERT_TRUE(loadCellFaces(o, p)) << p.lastMessageText();
    o.colourbar = true;
  }
};

TEST_F(FacesRenderTest, LinesOnTheSliceThroughTheBody) {
  view.cellFaces.method = kFacesLines;
  view.state.cuts[kSideSouth] = 15;
  expectMatches("faces_lines");
}

TEST_F(FacesRenderTest, SurfaceOfTheSmallWeightsAroundTheBodies) {
  CellFacesOverlay& o = view.cellFaces;
  o.method = kFacesSurface;
  o.cutoffMin = 0;
  o.cutoffMax = 0.2f;  // the bodies' edges, not the contact (0.4)
  o.colourMax = 0.2f;
  view.state.displayMin = 0.1;  // only the bodies among the cells
  view.state.displayMax = 1;
  expectMatches("faces_surface");
  EXPECT_EQ(scene.geometry().cellFaces.faces.size(), 565u + 130 + 9);
}

}  // namespace
}  // namespace litho
