#include "core/scene/colour_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace litho {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ColourScale range(double min, double max) {
  ColourScale s;
  s.min = min;
  s.max = max;
  return s;
}

TEST(ColourScale, IndexTruncatesTowardZeroAndClamps) {
  const ColourScale s = range(0, 1);
  EXPECT_EQ(colourIndex(1.0, s), 60);
  EXPECT_EQ(colourIndex(0.999, s), 59);
  EXPECT_EQ(colourIndex(static_cast<double>(0.999f), s), 59);
  EXPECT_EQ(colourIndex(0.0, s), 0);
  EXPECT_EQ(colourIndex(-0.01, s), 0);
  EXPECT_EQ(colourIndex(-5.0, s), 0);
  EXPECT_EQ(colourIndex(2.0, s), 60);
  EXPECT_EQ(colourIndex(0.5, s), 30);
  {
    SCOPED_TRACE("every entry is reached, with a precomputed factor");
    const ColourScale log = range(-3, -1);
    const double factor = colourFactor(log);
    for (int e = 0; e < 60; ++e) {
      const double v = -3 + (e + 0.5) / 30.0;
      EXPECT_EQ(colourIndex(v, log.min, factor), e);
      EXPECT_EQ(colourIndex(v, log), e);
    }
  }
  {
    SCOPED_TRACE("reversed range");
    const ColourScale r = range(1, 0);
    EXPECT_EQ(colourIndex(0.0, r), 60);
    EXPECT_EQ(colourIndex(0.75, r), 15);
    EXPECT_EQ(colourIndex(2.0, r), 0);
  }
}

TEST(ColourScale, IndexIsDefinedForValuesAndRangesThatCannotBePlaced) {
  {
    SCOPED_TRACE("max equals min");
    const ColourScale s = range(2, 2);
    for (double v : {2.0, 1.0, 3.0, 1e300, kInf, -kInf, kNaN}) EXPECT_EQ(colourIndex(v, s), 0) << v;
    EXPECT_EQ(colourIndex(3.0, 2, colourFactor(s)), 0);
  }
  {
    SCOPED_TRACE("values beyond int range and infinities");
    const ColourScale s = range(0, 1);
    EXPECT_EQ(colourIndex(1e300, s), 60);
    EXPECT_EQ(colourIndex(3e9, s), 60);
    EXPECT_EQ(colourIndex(-1e300, s), 0);
    EXPECT_EQ(colourIndex(kInf, s), 60);
    EXPECT_EQ(colourIndex(-kInf, s), 0);
    EXPECT_EQ(colourIndex(static_cast<double>(1e30f), s), 60);
  }
  {
    SCOPED_TRACE("NaN takes entry 0");
    EXPECT_EQ(colourIndex(kNaN, range(0, 1)), 0);
    EXPECT_EQ(colourIndex(kNaN, range(1, 0)), 0);
  }
  {
    SCOPED_TRACE("non-finite bounds take entry 0");
    for (const ColourScale& s : {range(-kInf, 1), range(0, -kInf), range(0, kInf), range(kNaN, 1), range(0, kNaN)}) {
      for (double v : {-1.0, 0.5, 2.0, kInf, -kInf})
        EXPECT_EQ(colourIndex(v, s), 0) << s.min << " " << s.max << " " << v;
    }
  }
}

TEST(ColourScale, DisplayRangePresentsNegatedAndPowersOfTen) {
  ColourScale s = range(-3, -1);
  struct Case {
    bool conductivityView, linearLabels;
    double low, high;
  };
  for (const Case& c : {Case{true, false, -3, -1}, Case{false, false, 1, 3}, Case{false, true, 10, 1000},
                        Case{true, true, 0.001, 0.1}}) {
    SCOPED_TRACE(std::string(c.conductivityView ? "cond" : "res") + (c.linearLabels ? " linear" : " log10"));
    s.conductivityView = c.conductivityView;
    s.linearLabels = c.linearLabels;
    const DisplayRange r = toDisplayRange(s);
    EXPECT_DOUBLE_EQ(r.low, c.low);
    EXPECT_DOUBLE_EQ(r.high, c.high);
    ColourScale back = s;
    back.min = back.max = 0;
    fromDisplayRange(back, r.low, r.high);
    EXPECT_NEAR(back.min, -3, 1e-12);
    EXPECT_NEAR(back.max, -1, 1e-12);
  }
}

TEST(ColourScale, FromDisplayRangeNeverRefuses) {
  ColourScale s = range(0, 1);
  s.linearLabels = true;
  fromDisplayRange(s, 0, 100);
  EXPECT_EQ(s.min, -kInf);
  EXPECT_DOUBLE_EQ(s.max, 2);
  EXPECT_EQ(colourIndex(1.0, s), 0);
  fromDisplayRange(s, -1, 100);
  EXPECT_TRUE(std::isnan(s.min));
  EXPECT_EQ(colourIndex(1.0, s), 0);
  s.conductivityView = false;
  fromDisplayRange(s, 10, 0);
  EXPECT_EQ(s.min, kInf);
  EXPECT_DOUBLE_EQ(s.max, -1);
}

}  // namespace
}  // namespace litho
