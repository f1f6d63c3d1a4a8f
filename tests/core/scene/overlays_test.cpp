#include "core/scene/overlays.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

TEST(Overlays, ColourbarTurnsOverForTheNegatedPresentation) {
  EXPECT_EQ(colourbarEntry(0, true), 0);
  EXPECT_EQ(colourbarEntry(0, false), 60);
  EXPECT_EQ(colourbarEntry(60, false), 0);
  EXPECT_EQ(colourbarLabels(-3, -1, false, false),
            (std::array<std::string, 7>{"1", "1.33", "1.67", "2", "2.33", "2.67", "3"}));
  EXPECT_EQ(colourbarLabels(-3, -1, false, true),
            (std::array<std::string, 7>{"10", "21.5", "46.4", "100", "215", "464", "1e+03"}));
  EXPECT_EQ(colourbarLabels(0, 6, true, false), (std::array<std::string, 7>{"0", "1", "2", "3", "4", "5", "6"}));
}

TEST(Overlays, TickLabelsSwitchToIntegersBeyondASpanOf100) {
  EXPECT_EQ(tickLabel(12.345, 100), "12.35");
  EXPECT_EQ(tickLabel(12.5, 101), "13");
  EXPECT_EQ(tickLabel(-12.5, 101), "-13");
  EXPECT_EQ(tickLabel(500012.4, 1540), "500012");
}

TEST(Overlays, NearestFaceTakesTheFirstOnATie) {
  EXPECT_EQ(nearestFace({0.5, 0.6, 0.7, 0.8, 0.9, 1.0}), kBoxTop);
  EXPECT_EQ(nearestFace({0.5, 0.6, 0.7, 0.8, 0.4, 0.4}), kBoxSouth);
  EXPECT_EQ(nearestFace({0.9, 0.6, 0.6, 0.8, 0.9, 1.0}), kBoxBottom);
}

TEST(Overlays, CutPlaneReadoutShowsThePlanePosition) {
  RectMesh m;
  m.nx = 4;
  m.ny = 2;
  m.nz = 3;
  m.xNodes = {500000, 500010, 500020, 500030, 500040};
  m.yNodes = {7000000, 7000025, 7000050};
  m.zNodes = {100, 90, 75, 50};
  ViewState v;
  v.visibleCount = {4, 2, 3};
  EXPECT_EQ(cutReadoutText(m, v), "");
  v.selectedCutPlane = kWest;
  v.cuts[kSideWest] = 1;
  EXPECT_EQ(cutReadoutText(m, v), "Easting =  500010");
  v.selectedCutPlane = kEast;
  v.cuts[kSideEast] = 2;
  EXPECT_EQ(cutReadoutText(m, v), "Easting =  500020");
  v.selectedCutPlane = kNorth;
  EXPECT_EQ(cutReadoutText(m, v), "Northing =  7000050");
  v.selectedCutPlane = kBottom;
  v.cuts[kSideBottom] = 1;
  EXPECT_EQ(cutReadoutText(m, v), "Depth =  75");
  v.hiddenPadding[kSideTop] = 1;
  v.visibleCount[2] = 2;
  v.selectedCutPlane = kTop;
  v.cuts = {};
  EXPECT_EQ(cutReadoutText(m, v), "Depth =  90");
}

}  // namespace
}  // namespace litho
