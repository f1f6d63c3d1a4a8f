#include "core/forward/forward_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/store_builder.h"

namespace litho::forward {
namespace {

RectMesh meshWithNodes(std::vector<double> x, std::vector<double> y, std::vector<double> z) {
  RectMesh m;
  m.nx = static_cast<int>(x.size()) - 1;
  m.ny = static_cast<int>(y.size()) - 1;
  m.nz = static_cast<int>(z.size()) - 1;
  m.xNodes = std::move(x);
  m.yNodes = std::move(y);
  m.zNodes = std::move(z);
  return m;
}

TEST(ForwardSetup, defaultsComeFromTheFirstMeshOnly) {
  const RectMesh a = meshWithNodes({0, 20, 30, 45, 100}, {5, 10, 30}, {400, 390, 350});
  const ForwardSettings s = initialForwardSettings(a);
  EXPECT_EQ(s.dx, 10);  // xNodes[2] - xNodes[1]
  EXPECT_EQ(s.dy, 5);
  EXPECT_EQ(s.x0, 10);
  EXPECT_EQ(s.xn, 72.5);
  EXPECT_EQ(s.y0, 7.5);
  EXPECT_EQ(s.yn, 20);
  EXPECT_EQ(s.elevation, 401);
  EXPECT_EQ(s.strength, 40000);
  EXPECT_FALSE(s.useFile);

  ForwardMemory memory;
  memory.settings(Survey::Magnetics, a).inclination = 70;
  const RectMesh b = meshWithNodes({1000, 1010, 1020}, {0, 1}, {0, -1});
  EXPECT_EQ(memory.settings(Survey::Magnetics, b).x0, 10);
  EXPECT_EQ(memory.settings(Survey::Magnetics, b).inclination, 70);
  EXPECT_EQ(memory.settings(Survey::Gravity, b).x0, 1005);
}

TEST(ForwardSetup, checksOfTheDialog) {
  ForwardSettings s;
  s.xn = 95;
  s.yn = 0;
  s.dx = 10;
  s.dy = 1;
  s.locationsFile = "old.loc";
  auto none = [](const std::string&) { return false; };
  EXPECT_FALSE(checkForwardSettings(s, none));
  EXPECT_EQ(s.locationsFile, "");
  s.xn = -1;
  EXPECT_EQ(checkForwardSettings(s, none)->message, "Area input error.");
  s.xn = 95;
  s.dy = 0;
  EXPECT_EQ(checkForwardSettings(s, none)->message, "Data spacing must be greater than 0.");
  s.dy = 1;
  s.dx = 1e-9;
  EXPECT_NE(checkForwardSettings(s, none)->message.find("Too many"), std::string::npos);
  s.useFile = true;
  s.locationsFile = "here.loc";
  const auto missing = checkForwardSettings(s, none);
  EXPECT_EQ(missing->message, "locations file:\nhere.loc\nnot found.");
  EXPECT_TRUE(missing->focusFile);
  EXPECT_FALSE(checkForwardSettings(s, [](const std::string& f) { return f == "here.loc"; }));
  EXPECT_EQ(pointsAlong(0, 95, 10), 10);
  EXPECT_EQ(pointsAlong(0, 0, 10), 1);
  EXPECT_EQ(pointsAlong(0, 10, 0), -1);
}

TEST(ForwardSetup, locationsTextForBothSurveys) {
  auto store = test::unitStore(2, 2, 3);  // nodes 0..2, z 0..-3
  ForwardSettings s;
  s.x0 = 0.5;
  s.xn = 2.7;  // 3 points: 0.5 1.5 2.5 (east of the mesh)
  s.y0 = 0;
  s.yn = 1;
  s.dx = 1;
  s.dy = 1;
  s.elevation = 2;
  EXPECT_EQ(locationsText(s, Survey::Gravity, store.mesh(), store.topActiveIndex(), false),
            "6   !! grid 3 2\n0.5 0 2\n0.5 1 2\n1.5 0 2\n1.5 1 2\n2.5 0 2\n2.5 1 2\n");
  EXPECT_EQ(locationsText(s, Survey::Magnetics, store.mesh(), store.topActiveIndex(), false).substr(0, 31),
            "0 0 40000\n0 0 1\n6   !! grid 3 2");

  Grid2<int> top;
  top.allocate(2, 2, 0);
  top(0, 0) = 1;
  top(0, 1) = 2;
  top(1, 0) = 3;
  s.elevationMode = 1;
  s.yn = 0;
  // Without the mask every point takes column (0, 0); with it x 0.5 is column 0, 1.5 and 2.5 column 1.
  EXPECT_EQ(locationsText(s, Survey::Gravity, store.mesh(), top, false), "3   !! grid 3 1\n0.5 0 1\n1.5 0 1\n2.5 0 1\n");
  EXPECT_EQ(locationsText(s, Survey::Gravity, store.mesh(), top, true), "3   !! grid 3 1\n0.5 0 1\n1.5 0 -1\n2.5 0 -1\n");
  s.x0 = 499612.5;
  s.y0 = 6999612.5;
  s.xn = s.x0;
  s.yn = s.y0;
  s.elevationMode = 0;
  EXPECT_EQ(locationsText(s, Survey::Gravity, store.mesh(), top, true), "1   !! grid 1 1\n499612.5 6999612.5 2\n");
  EXPECT_EQ(cellAlong({0, 1, 2}, -5), 0);
  EXPECT_EQ(cellAlong({0, 1, 2}, 1), 0);
  EXPECT_EQ(cellAlong({0, 1, 2}, 1.01), 1);
  EXPECT_EQ(cellAlong({0, 1, 2}, 99), 1);
}

}  // namespace
}  // namespace litho::forward

#include "core/forward/plot_axes.h"

namespace litho::forward {
namespace {

TEST(PlotAxes, roundTicksWithoutExponents) {
  EXPECT_EQ(axisTicks(499605, 500395, 8), (std::vector<double>{499700, 499800, 499900, 500000, 500100, 500200, 500300}));
  EXPECT_EQ(tickLabel(7000000, tickStep(6999605, 7000395, 8)), "7000000");
  EXPECT_EQ(axisTicks(-0.07, 0.12, 5), (std::vector<double>{-0.05, 0, 0.05, 0.1}));
  EXPECT_EQ(tickLabel(0.05, 0.05), "0.05");
  EXPECT_EQ(tickLabel(2.5e-5, 5e-6), "0.000025");
  EXPECT_TRUE(axisTicks(1, 1, 5).empty());
  EXPECT_TRUE(axisTicks(0, std::nan(""), 5).empty());
}

}  // namespace
}  // namespace litho::forward
