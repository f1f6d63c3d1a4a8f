#include "core/io/coordinate_text.h"

#include <gtest/gtest.h>

#include "core/io/mesh_stats.h"

namespace litho {
namespace {

TEST(CoordinateText, MapCoordinatesReadToTheMeshWithoutExponents) {
  const struct {
    double value, resolution;
    const char* text;
  } cases[] = {
      {6999600, 25, "6999600"},        // %g: 6.9996e+06
      {7000012.5, 12.5, "7000012.5"},  // finer where the cells are
      {499605.25, 0.25, "499605.25"},
      {499605.123, 25, "499605"},  // to the metre
      {7000000 + 1.0 / 3, 1.0 / 3, "7000000.333333"},
      {25.100000000034925, 25.100000000034925, "25.1"},  // a width from two nodes
      {-0.4, 1, "0"},
      {-12.5, 0.5, "-12.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(coordinateText(c.value, c.resolution), c.text);
  }
  EXPECT_EQ(fixedText(7000000, 2), "7000000.00");
  EXPECT_EQ(fixedText(-2.5, 0), "-3");
  EXPECT_EQ(fixedText(-0.001, 2), "0.00");
}

TEST(CoordinateText, StatisticsAndCellBoxOfAUtmMesh) {
  RectMesh m;
  m.nx = 2;
  m.ny = 2;
  m.nz = 1;
  m.xNodes = {499605, 499745, 499770};
  m.yNodes = {6999605, 6999630, 8199630};  // a 1200 km padding cell
  m.zNodes = {450, 437.5};
  const std::string stats = meshStatisticsText(m);
  EXPECT_NE(stats.find("mesh dimensions:  165 x 1200025 x 12.5\n"), std::string::npos) << stats;
  EXPECT_NE(stats.find("largest cell dimensions:  140 x 1200000 x 12.5\n"), std::string::npos) << stats;
  EXPECT_NE(stats.find("top south-west corner:  499605  6999605  450\n"), std::string::npos) << stats;
  EXPECT_EQ(cellPropertiesText(m, 1, 0, 0, 0.25f),
            "Cell 1, 0, 0\nX 499745 to 499770\nY 6999605 to 6999630\nZ 450 to 437.5\nvalue 0.25");
}

}  // namespace
}  // namespace litho
