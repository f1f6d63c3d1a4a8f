#include "core/scene/colourmap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace litho {
namespace {

Colourmap built(int kind, bool reversed = false) {
  Colourmap c;
  c.kind = kind;
  c.reversed = reversed;
  buildColourmap(c);
  return c;
}

void expectRow(const Colourmap& c, int e, double r, double g, double b) {
  SCOPED_TRACE("entry " + std::to_string(e));
  const Rgba& x = c.entries[static_cast<std::size_t>(e)];
  EXPECT_EQ(x[0], static_cast<float>(r));
  EXPECT_EQ(x[1], static_cast<float>(g));
  EXPECT_EQ(x[2], static_cast<float>(b));
}

TEST(Colourmap, DefaultRainbowRows) {
  const Colourmap c = built(0);
  expectRow(c, 0, 0, 0, std::sqrt(0.3));
  EXPECT_NEAR(c.entries[0][2], 0.5477, 1e-4);
  expectRow(c, 9, 0, 0, std::sqrt(0.9003));
  expectRow(c, 10, 0, 0, 1);
  expectRow(c, 15, 0, std::sqrt(0.5), 1);
  expectRow(c, 20, 0, 1, 1);
  expectRow(c, 25, 0, 1, std::sqrt(0.5));
  expectRow(c, 30, 0, 1, 0);
  expectRow(c, 31, std::sqrt(0.1), 1, 0);
  expectRow(c, 40, 1, 1, 0);
  expectRow(c, 49, 1, std::sqrt(0.1), 0);
  expectRow(c, 50, 1, 0.2745, 0);
  expectRow(c, 55, 1, 0.2745, 0.588 * std::sqrt(0.5));
  expectRow(c, 60, 1, 0.2745, 0.588);
}

TEST(Colourmap, GrayRunsFromLightToDarkAndReversesToDarkToLight) {
  {
    SCOPED_TRACE("stored order");
    const Colourmap c = built(1);
    expectRow(c, 0, std::sqrt(0.95), std::sqrt(0.95), std::sqrt(0.95));
    expectRow(c, 30, std::sqrt(0.5), std::sqrt(0.5), std::sqrt(0.5));
    expectRow(c, 60, std::sqrt(0.05), std::sqrt(0.05), std::sqrt(0.05));
    EXPECT_NEAR(c.entries[0][0], 0.9747, 1e-4);
  }
  {
    SCOPED_TRACE("reversed");
    const Colourmap c = built(1, true);
    EXPECT_NEAR(c.entries[0][0], 0.2236, 1e-4);
    EXPECT_NEAR(c.entries[60][0], 0.9747, 1e-4);
    for (int e = 1; e <= 60; ++e) EXPECT_GT(c.entries[static_cast<std::size_t>(e)][0], c.entries[e - 1u][0]) << e;
  }
}

TEST(Colourmap, RoundedTablesHoldFourDecimalValues) {
  {
    SCOPED_TRACE("colour2");
    const Colourmap c = built(2);
    expectRow(c, 0, 0.0455, 0, 0);
    expectRow(c, 21, 1, 0, 0);
    expectRow(c, 22, 1, 0.0455, 0);
    expectRow(c, 43, 1, 1, 0);
    expectRow(c, 44, 1, 1, 0.0588);
    expectRow(c, 60, 1, 1, 1);
  }
  {
    SCOPED_TRACE("colour3");
    const Colourmap c = built(3);
    expectRow(c, 0, 0, 1, 1);
    expectRow(c, 1, 0.0167, 0.9833, 1);
    expectRow(c, 30, 0.5, 0.5, 1);
    expectRow(c, 60, 1, 0, 1);
  }
  {
    SCOPED_TRACE("colour4");
    const Colourmap c = built(4);
    expectRow(c, 0, 1, 0, 0);
    expectRow(c, 10, 1, 0.9836, 0);
    expectRow(c, 11, 0.918, 1, 0);
    expectRow(c, 30, 0, 1, 0.9508);
    expectRow(c, 31, 0, 0.9508, 1);
    expectRow(c, 51, 1, 0, 0.9836);
    expectRow(c, 60, 1, 0, 0.0984);
  }
  {
    SCOPED_TRACE("colour6 and its three blue exceptions");
    const Colourmap c = built(6);
    expectRow(c, 0, 0.01, 0.01, 0.01);
    expectRow(c, 1, 0.0208, 0.013, 0.0083);
    expectRow(c, 6, 0.125, 0.0781, 0.0498);
    expectRow(c, 18, 0.375, 0.2344, 0.1492);
    expectRow(c, 30, 0.625, 0.3906, 0.2488);
    expectRow(c, 42, 0.875, 0.5468, 0.3483);
    expectRow(c, 48, 1, 0.625, 0.398);
    expectRow(c, 54, 1, 0.7031, 0.4477);
    expectRow(c, 60, 1, 0.7812, 0.4975);
  }
  for (int kind : {2, 3, 4, 6}) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    const Colourmap c = built(kind);
    for (const Rgba& x : c.entries) {
      for (int i = 0; i < 3; ++i) {
        const double scaled = static_cast<double>(x[static_cast<std::size_t>(i)]) * 10000.0;
        EXPECT_NEAR(scaled, std::round(scaled), 1e-3);
      }
    }
  }
}

TEST(Colourmap, Colour5StepsInSixteenths) {
  const Colourmap c = built(5);
  expectRow(c, 0, 0, 0, 0.625);
  expectRow(c, 6, 0, 0, 1);
  expectRow(c, 7, 0, 0.0625, 1);
  expectRow(c, 22, 0, 1, 1);
  expectRow(c, 30, 0.5, 1, 0.5);
  expectRow(c, 38, 1, 1, 0);
  expectRow(c, 54, 1, 0, 0);
  expectRow(c, 60, 0.625, 0, 0);
}

TEST(Colourmap, TopoTablesPassThroughTheirKnotsInStraightLines) {
  struct Knot {
    int row;
    double r, g, b;
  };
  {
    SCOPED_TRACE("topo1");
    const Colourmap c = built(7);
    for (const Knot& k : {Knot{0, 0, 0, 0.501961}, Knot{1, 0.031373, 0, 0.626471}, Knot{7, 0.125490, 0, 1},
                          Knot{15, 0, 1, 1}, Knot{31, 0, 0.643137, 0.321569}, Knot{32, 0.071569, 0.632353, 0.318137},
                          Knot{54, 0.396078, 0.254902, 0.188235}, Knot{60, 0.913725, 0.893557, 0.884034}}) {
      expectRow(c, k.row, k.r, k.g, k.b);
    }
    expectRow(c, 4, 0.0784315, 0, 0.8132355);
    expectRow(c, 11, 0.062745, 0.5, 1);
    expectRow(c, 57, 0.6549015, 0.5742295, 0.5361345);
  }
  {
    SCOPED_TRACE("topo2");
    const Colourmap c = built(8);
    for (const Knot& k :
         {Knot{0, 0, 0.435294, 0.215686}, Knot{11, 0, 0.733333, 0.368627}, Knot{29, 0.738462, 0.604223, 0.2},
          Knot{49, 0.396078, 0.254902, 0.188235}, Knot{60, 0.949673, 0.937908, 0.932353}}) {
      expectRow(c, k.row, k.r, k.g, k.b);
    }
    expectRow(c, 6, 0, 0.60915, 0.3049015);
    expectRow(c, 42, 0.5745095, 0.384314, 0.217647);
  }
  for (int kind : {7, 8}) {
    SCOPED_TRACE("kind " + std::to_string(kind) + " between knots");
    const Colourmap c = built(kind);
    // Rows 16..22 (topo1) and 36..48 (topo2) lie inside one segment.
    const int first = kind == 7 ? 16 : 36, last = kind == 7 ? 22 : 48;
    for (int e = first; e < last; ++e) {
      for (std::size_t i = 0; i < 3; ++i) {
        const double d2 = static_cast<double>(c.entries[e - 1u][i]) - 2.0 * c.entries[static_cast<std::size_t>(e)][i] +
                          c.entries[e + 1u][i];
        EXPECT_NEAR(d2, 0, 3e-7) << e;
      }
    }
  }
}

TEST(Colourmap, ReversedStoresEveryTableBackToFront) {
  for (int kind = 0; kind < kColourmapKinds; ++kind) {
    SCOPED_TRACE(kColourmapLabels[static_cast<std::size_t>(kind)]);
    const Colourmap forward = built(kind);
    const Colourmap back = built(kind, true);
    for (std::size_t e = 0; e < 61; ++e) EXPECT_EQ(back.entries[e], forward.entries[60 - e]) << e;
  }
}

TEST(Colourmap, BuildLeavesAlphaAndUnknownKindsAlone) {
  Colourmap c;
  setColourmapAlpha(c, 0.25f);
  c.kind = 4;
  buildColourmap(c);
  for (const Rgba& x : c.entries) EXPECT_EQ(x[3], 0.25f);
  const Colourmap before = c;
  for (int kind : {-1, 9, 1000}) {
    SCOPED_TRACE(kind);
    c.kind = kind;
    c.reversed = !c.reversed;
    buildColourmap(c);
    EXPECT_EQ(c.entries, before.entries);
  }
}

}  // namespace
}  // namespace litho
