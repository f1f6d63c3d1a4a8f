#include "core/view/mouse.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/load/document.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

// 10 x 8 x 6 cells of 10 m at map coordinates, top at 100; value = 100 i + 10 j + k.
class MouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "10 8 6\n500000 7000000 100\n10*10\n8*10\n6*10\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    for (int i = 0; i < 10; ++i)
      for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 6; ++k) doc.editStore().modelData(doc.store().currentModelIndex())(i, j, k) = static_cast<float>(100 * i + 10 * j + k);
    doc.recomputeRange(Which::First);
    view.refresh(ViewRefresh::NewLoad);
  }

  test::TempDir dir;
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
};

TEST_F(MouseTest, ReadoutFindsTheCellAndFormatsItsValue) {
  Readout r = cellReadout(view, Point3{500034.994, 7000021.5, 84.2});
  ASSERT_EQ(r.kind, Readout::Kind::Text);
  EXPECT_EQ(r.cell, (std::array<int, 3>{3, 2, 1}));
  EXPECT_EQ(r.text, " ( Easting, Northing, Depth ) = ( 500034.99, 7000021.50, 84.20 ),  value = 321");

  SCOPED_TRACE("background restores the idle prompt");
  EXPECT_EQ(cellReadout(view, std::nullopt).kind, Readout::Kind::Idle);

  SCOPED_TRACE("within 0.4 % of the box height outside still reads the nearest cell");
  r = cellReadout(view, Point3{499999.9, 7000000.1, 100.2});  // t = 60 * 0.004 = 0.24
  ASSERT_EQ(r.kind, Readout::Kind::Text);
  EXPECT_EQ(r.cell, (std::array<int, 3>{0, 0, 0}));
  r = cellReadout(view, Point3{499999.7, 7000000.1, 90});
  EXPECT_EQ(r.kind, Readout::Kind::Text);
  EXPECT_EQ(r.text, "");

  SCOPED_TRACE("negated and power-of-ten presentation");
  view.colours.firstScale.conductivityView = false;
  view.colours.firstScale.linearLabels = true;
  doc.editStore().modelData(doc.store().currentModelIndex())(0, 0, 0) = -2;
  r = cellReadout(view, Point3{500005, 7000005, 95});
  EXPECT_NE(r.text.find("value = 100"), std::string::npos) << r.text;

  SCOPED_TRACE("inactive cells read the first active cell below");
  doc.editStore().topActiveData()(0, 0) = 2;
  r = cellReadout(view, Point3{500005, 7000005, 95});
  EXPECT_EQ(r.cell, (std::array<int, 3>{0, 0, 2}));
}

TEST_F(MouseTest, ShiftClickMakesTheClickedColumnTheFirstOrLastVisible) {
  EXPECT_FALSE(moveCutToPoint(view, Point3{500025, 7000005, 95}));  // no plane selected
  view.selectCutPlane(kWest);
  ASSERT_TRUE(moveCutToPoint(view, Point3{500025, 7000005, 95}));  // third column
  EXPECT_EQ(view.state.cuts[kSideWest], 2);
  view.selectCutPlane(kEast);
  ASSERT_TRUE(moveCutToPoint(view, Point3{500075, 7000005, 95}));  // eighth column
  EXPECT_EQ(view.state.cuts[kSideEast], 2);
  view.selectCutPlane(kTop);
  ASSERT_TRUE(moveCutToPoint(view, Point3{500055, 7000005, 65}));  // layer 3
  EXPECT_EQ(view.state.cuts[kSideTop], 3);
  view.selectCutPlane(kNorth);
  EXPECT_FALSE(moveCutToPoint(view, std::nullopt));
  EXPECT_FALSE(moveCutToPoint(view, Point3{500055, 7001005, 65}));  // outside the box
  EXPECT_EQ(view.state.cuts[kSideNorth], 0);
}

TEST_F(MouseTest, MouseCutStages) {
  EXPECT_EQ(mouseCutCommand(view), kFirstPointPrompt);
  EXPECT_TRUE(mouseCutWaiting(view));
  EXPECT_FALSE(mouseCutClick(view, std::nullopt));  // background ignored
  EXPECT_EQ(mouseCutClick(view, Point3{500010, 7000010, 100}), kSecondPointPrompt);
  EXPECT_EQ(mouseCutClick(view, Point3{500080, 7000060, 100}), kAreaPrompt);
  EXPECT_EQ(view.state.mouseCutStage, 3);
  EXPECT_EQ(mouseCutClick(view, Point3{500070, 7000010, 100}), "");  // east of the line
  EXPECT_EQ(view.state.diagonalSide, 1);
  EXPECT_TRUE(view.state.diagonalCutOn);
  EXPECT_EQ(view.state.diagonalLine, (std::array<double, 4>{500010, 7000010, 500080, 7000060}));
  EXPECT_EQ(view.state.mouseCutStage, 4);
  mouseCutRelease(view);
  EXPECT_EQ(view.state.mouseCutStage, 5);
  EXPECT_EQ(mouseCutCommand(view), "");
  EXPECT_EQ(view.state.mouseCutStage, 0);
  EXPECT_FALSE(view.state.diagonalCutOn);

  SCOPED_TRACE("equal eastings abandon the cut although the prompt asks for the area; a dialog cut stays as it was");
  const std::array<double, 4> dialogLine{500000, 7000000, 500100, 7000080};
  view.state.diagonalLine = dialogLine;
  view.state.diagonalCutOn = true;
  mouseCutCommand(view);
  mouseCutClick(view, Point3{500010, 7000010, 100});
  EXPECT_EQ(view.state.diagonalLine, dialogLine);
  EXPECT_EQ(mouseCutClick(view, Point3{500010, 7000060, 100}), kAreaPrompt);
  EXPECT_EQ(view.state.mouseCutStage, 0);
  EXPECT_TRUE(view.state.diagonalCutOn);
  EXPECT_EQ(view.state.diagonalLine, dialogLine);
}

TEST_F(MouseTest, WheelZoomsWithTheMiddleButtonAndMovesCutsOtherwise) {
  view.state.zoomAngle = 0.5;
  wheelStep(view, 120, true);
  EXPECT_EQ(view.state.zoomAngle, 0.5);
  wheelStep(view, -120, true);
  EXPECT_EQ(view.state.zoomAngle, 1);
  wheelStep(view, 120, false);  // no plane selected: nothing
  EXPECT_EQ(view.state.cuts, (std::array<int, 6>{}));
  view.selectCutPlane(kSouth);
  wheelStep(view, 120, false);
  EXPECT_EQ(view.state.cuts[kSideSouth], 1);
  wheelStep(view, -120, false);
  EXPECT_EQ(view.state.cuts[kSideSouth], 0);
}

TEST_F(MouseTest, DragRotatesOrPans) {
  const float x = view.state.rotationX, z = view.state.rotationZ;
  dragStep(view, 10, -5, false);
  EXPECT_FLOAT_EQ(view.state.rotationZ, z + 2);
  EXPECT_FLOAT_EQ(view.state.rotationX, x - 1);
  dragStep(view, 10, 10, true);
  EXPECT_NEAR(view.state.panX, 10 * view.state.cameraDistance * -0.0007, 1e-12);
  EXPECT_NEAR(view.state.panY, -10 * view.state.cameraDistance * -0.0007, 1e-12);
}

TEST_F(MouseTest, UnProjectInvertsTheCameraAtMapCoordinates) {
  view.state.aspect = 800.0 / 600.0;
  const Point3 target{500037.5, 7000012.25, 100};
  const Mat4 pm = multiply(projectionMatrix(view.state), modelViewMatrix(view.state));
  const auto c = transform(pm, target[0], target[1], target[2]);
  const double wx = (c[0] / c[3] + 1) / 2 * 800, wy = 600 - (c[1] / c[3] + 1) / 2 * 600;
  const double depth = (c[2] / c[3] + 1) / 2;
  const Point3 back = unProject(view.state, wx, wy, depth, 800, 600);
  for (int a = 0; a < 3; ++a) EXPECT_NEAR(back[static_cast<std::size_t>(a)], target[static_cast<std::size_t>(a)], 1e-4);
  EXPECT_EQ(pickPixel(10.5, 20.4, 600), (std::array<int, 2>{11, 580}));
}

}  // namespace
}  // namespace litho
