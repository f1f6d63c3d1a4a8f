#include "core/scene/display_filters.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "core/scene/scene.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

ColourScale scale(bool conductivityView, bool linearLabels) {
  ColourScale s;
  s.conductivityView = conductivityView;
  s.linearLabels = linearLabels;
  s.logScale = linearLabels;
  return s;
}

// The cutoff is held at the cells' precision.
double asFloat(double x) { return static_cast<float>(x); }

ViewState cutoff(double lo, double hi) {
  ViewState v;
  v.displayMin = lo;
  v.displayMax = hi;
  v.frame.clear();
  return v;
}

TEST(ApplyCutoff, ConvertsThroughTheFirstScalesPresentation) {
  struct Case {
    const char* name;
    bool conductivityView, linearLabels;
    double low, high, wantMin, wantMax;
  };
  const Case cases[] = {
      {"as stored", true, false, 1, 3, 1, 3},
      {"powers of ten", true, true, 10, 1000, 1, 3},
      {"negated", false, false, 1, 3, -3, -1},
      {"negated powers of ten", false, true, 10, 1000, -3, -1},
      {"negated inverse", false, false, -0.2, -0.5, 0.5, 0.2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ViewState v = cutoff(-100, 100);
    applyCutoff(v, scale(c.conductivityView, c.linearLabels), c.low, c.high);
    EXPECT_EQ(v.displayMin, asFloat(c.wantMin));
    EXPECT_EQ(v.displayMax, asFloat(c.wantMax));
    EXPECT_TRUE(v.frame.rebuildPending());
  }
}

TEST(ApplyCutoff, KeepsALimitThatMovedByLessThanTheTolerance) {
  ViewState v = cutoff(2, 4);
  applyCutoff(v, scale(true, false), 2.000019, 4.0001);
  EXPECT_EQ(v.displayMin, 2) << "relative change below 1e-5";
  EXPECT_EQ(v.displayMax, asFloat(4.0001));
  {
    SCOPED_TRACE("a zero limit is compared without dividing by it");
    v = cutoff(0, 0);
    applyCutoff(v, scale(true, false), 1e-12, 0);
    EXPECT_EQ(v.displayMin, asFloat(1e-12));
    EXPECT_EQ(v.displayMax, 0);
  }
  {
    SCOPED_TRACE("under powers of ten a bound at or below zero lies below every cell");
    for (const double low : {0.0, -5.0}) {
      v = cutoff(1, 3);
      applyCutoff(v, scale(true, true), low, 100);
      EXPECT_EQ(v.displayMin, -HUGE_VAL);
      EXPECT_DOUBLE_EQ(v.displayMax, 2);
    }
    v = cutoff(1, 3);
    applyCutoff(v, scale(false, true), 0, 100);
    EXPECT_EQ(v.displayMin, -2);
    EXPECT_EQ(v.displayMax, HUGE_VAL) << "negated: no limit on the stored side";
  }
  {
    SCOPED_TRACE("limits beyond float range are kept as typed");
    v = cutoff(1, 3);
    applyCutoff(v, scale(true, false), -1e300, 1e300);
    EXPECT_EQ(v.displayMin, -1e300);
    EXPECT_EQ(v.displayMax, 1e300);
  }
}

TEST(CutoffSlider, MapsPositionsAndHoldsThemInRange) {
  // Model 0..200: one step per unit.
  const CutoffSlider s{0, 1, false};
  EXPECT_EQ(s.position(12.5), 13) << "halves round away from zero";
  EXPECT_EQ(s.position(12.49), 12);
  EXPECT_EQ(s.position(-7), 0);
  EXPECT_EQ(s.position(1e300), kCutoffSliderMax);
  EXPECT_EQ(s.position(std::nan("")), 0);
  EXPECT_EQ((CutoffSlider{5, 0, false}.position(5)), 0) << "a model of one value has an empty range";
}

TEST(CutoffSession, OpensOnThePresentedModelAndCutoff) {
  {
    SCOPED_TRACE("as stored");
    CutoffSession s(cutoff(50, 200), scale(true, false), 0, 200);
    EXPECT_EQ(s.openingMinPosition(), 50);
    EXPECT_EQ(s.openingMaxPosition(), 200);
    EXPECT_EQ(s.openingMinText(), "50");
    EXPECT_EQ(s.openingMaxText(), "200");
  }
  {
    SCOPED_TRACE("negated: the sliders run over -200..0");
    CutoffSession s(cutoff(50, 200), scale(false, false), 0, 200);
    EXPECT_EQ(s.openingMinText(), "-200");
    EXPECT_EQ(s.openingMaxText(), "-50");
    EXPECT_EQ(s.openingMinPosition(), 0);
    EXPECT_EQ(s.openingMaxPosition(), 150);
    EXPECT_EQ(s.textAt(20), "-180");
  }
  {
    SCOPED_TRACE("log model with powers of ten");
    CutoffSession s(cutoff(-2, -1), scale(true, true), -3, -1);
    EXPECT_EQ(s.openingMinText(), "0.01");
    EXPECT_EQ(s.openingMaxText(), "0.1");
    EXPECT_EQ(s.openingMinPosition(), 100);
    EXPECT_EQ(s.openingMaxPosition(), 200);
    EXPECT_EQ(s.textAt(0), "0.001");
    EXPECT_EQ(s.positionFor("0.01"), 100);
    EXPECT_EQ(s.positionFor("0"), 0);
    EXPECT_EQ(s.positionFor("abc"), std::nullopt);
  }
}

TEST(CutoffSession, PreviewOkAndCancel) {
  const ColourScale log = scale(true, true);
  {
    SCOPED_TRACE("OK untouched keeps the cutoff exactly");
    ViewState v = cutoff(-2.3456789012, -1.1);
    CutoffSession s(v, log, -3, -1);
    ASSERT_EQ(s.accept(v, s.openingMinText(), s.openingMaxText(), true), std::nullopt);
    EXPECT_EQ(v.displayMin, -2.3456789012);
    EXPECT_EQ(v.displayMax, -1.1);
    EXPECT_TRUE(v.ignoreCutPlanes);
  }
  {
    SCOPED_TRACE("Cancel after a released slider restores the opening cutoff");
    ViewState v = cutoff(-2.3456789012, -1.1);
    CutoffSession s(v, log, -3, -1);
    const std::string moved = s.textAt(30);
    ASSERT_EQ(s.preview(v, moved, s.openingMaxText()), std::nullopt);
    EXPECT_NEAR(v.displayMin, -2.7, 1e-6);
    // Even with the boxes typed back to their opening values.
    v.frame.rebuilt();
    s.cancel(v, s.openingMinText(), s.openingMaxText());
    EXPECT_EQ(v.displayMin, -2.3456789012);
    EXPECT_EQ(v.displayMax, -1.1);
    EXPECT_TRUE(v.frame.rebuildPending());
  }
  {
    SCOPED_TRACE("Cancel with nothing changed leaves the scene alone");
    ViewState v = cutoff(-2, -1);
    CutoffSession s(v, log, -3, -1);
    s.cancel(v, "0.010", s.openingMaxText());
    EXPECT_FALSE(v.frame.rebuildPending());
  }
  {
    SCOPED_TRACE("refused boxes change nothing");
    ViewState v = cutoff(-2, -1);
    v.ignoreCutPlanes = true;
    CutoffSession s(v, log, -3, -1);
    EXPECT_EQ(s.preview(v, "x", "1"), (FieldError{kEnterNumberMessage, MessageKind::Plain}));
    EXPECT_EQ(s.accept(v, "0.1", "", false), (FieldError{kEnterNumberMessage, MessageKind::Plain}));
    EXPECT_EQ(v.displayMin, -2);
    EXPECT_TRUE(v.ignoreCutPlanes);
    EXPECT_FALSE(v.frame.rebuildPending());
  }
}

// Cutoff through the scene: a one-column model holding these values from the top down.
TEST(CutoffSession, HidesCellsInTheSceneAsTyped) {
  test::ScriptedPlatform p;
  Document doc(p, p);
  const std::vector<float> values{0.1f, 0.2f, 0.3f, 0.5f, 0.6f, 0.7f};
  const int nz = static_cast<int>(values.size());
  doc.adopt(test::unitStore(1, 1, nz), {});
  for (int k = 0; k < nz; ++k) doc.editStore().modelData(0)(0, 0, k) = values[static_cast<std::size_t>(k)];
  doc.editStore().setRange(0.1f, 0.7f);
  ColourState colours;
  colours.initScales(doc.store().range().min, doc.store().range().max, false, false, 0, 0, false);

  auto shown = [&](const char* min, const char* max) {
    ViewState v = cutoff(doc.store().range().min, doc.store().range().max);
    v.visibleCount = {1, 1, nz};
    CutoffSession s(v, colours.firstScale, doc.store().range().min, doc.store().range().max);
    EXPECT_EQ(s.accept(v, min, max, false), std::nullopt);
    SceneBuilder builder;
    SceneGeometry g;
    builder.build(doc, v, colours, g);
    std::vector<bool> out;
    for (int k = 0; k < nz; ++k) out.push_back(!builder.hiddenFlags().hidden(0, 0, k));
    return out;
  };
  EXPECT_EQ(shown("0.5", "0.2"), (std::vector<bool>{true, true, false, true, true, true}))
      << "min above max hides only the values strictly between; 0.2 and 0.5 stay";
  EXPECT_EQ(shown("0.7", "0.7"), (std::vector<bool>{false, false, false, false, false, true}))
      << "0.7 typed keeps the cell holding 0.7, which as a float lies below the double 0.7";
}

TEST(SetRange, ChecksAndConvertsBothGroups) {
  ColourState c;
  c.firstScale = {-3, -1, false, true, true};  // log model shown as resistivity powers of ten
  c.secondScale = {0, 5, true, false, false};
  const RangeFields shown = rangeFields(c);
  EXPECT_EQ(shown, (RangeFields{"10", "1000", "0", "5"}));
  auto refused = [&](RangeFields typed, bool second) {
    auto r = checkRange(typed, shown, c, second);
    return std::holds_alternative<FieldError>(r) ? std::get<FieldError>(r) : FieldError{};
  };
  {
    SCOPED_TRACE("refusals");
    EXPECT_EQ(refused({"100", "10", "0", "5"}, true).text, kMinAboveMaxMessage);
    EXPECT_EQ(refused({"10", "100", "6", "5"}, true), (FieldError{kMinAboveMaxMessage, MessageKind::Plain}));
    EXPECT_EQ(refused({"10", "1e", "0", "5"}, false).text, kEnterNumberMessage);
    EXPECT_EQ(refused({"0", "100", "0", "5"}, false), (FieldError{kLogOfNonPositiveMessage, MessageKind::Warning}));
    EXPECT_EQ(refused({"10", "100", "garbage", ""}, false), FieldError{}) << "second group unused";
  }
  {
    SCOPED_TRACE("accepted: negated powers of ten back to stored units; Max equal to Min");
    auto r = checkRange({"100", "10000", "2", "2"}, shown, c, true);
    ASSERT_TRUE(std::holds_alternative<RangeChoice>(r));
    ViewState v = cutoff(0, 0);
    applyRange(c, v, std::get<RangeChoice>(r));
    EXPECT_DOUBLE_EQ(c.firstScale.min, -4);
    EXPECT_DOUBLE_EQ(c.firstScale.max, -2);
    EXPECT_EQ(c.secondScale.min, 2);
    EXPECT_EQ(c.secondScale.max, 2);
    EXPECT_TRUE(v.frame.rebuildPending());
    EXPECT_EQ(colourIndex(2, c.secondScale), 0);
  }
  {
    SCOPED_TRACE("boxes left as shown keep their stored bounds exactly");
    c.firstScale = {-2.123456789, -0.3, false, true, true};
    const RangeFields now = rangeFields(c);
    auto r = checkRange({now.firstMin, "1000", "", ""}, now, c, false);
    ASSERT_TRUE(std::holds_alternative<RangeChoice>(r));
    const RangeChoice& choice = std::get<RangeChoice>(r);
    EXPECT_DOUBLE_EQ(choice.first.low, -3);
    EXPECT_EQ(choice.first.high, -0.3) << "the shown Min came from max";
    EXPECT_FALSE(choice.second.has_value());
  }
}

TEST(Padding, ReadsDigitsOnly) {
  EXPECT_EQ(readPadding({"1", "0", "12", "3", "4", "5"}), (std::variant<std::array<int, 6>, FieldError>{
                                                              std::array<int, 6>{1, 0, 12, 3, 4, 5}}));
  for (const char* bad : {"", "-1", " 1", "1x", "99999999999"}) {
    SCOPED_TRACE(bad);
    auto r = readPadding({"1", bad, "1", "1", "1", "1"});
    ASSERT_TRUE(std::holds_alternative<FieldError>(r));
    EXPECT_EQ(std::get<FieldError>(r).text, kEnterNumberMessage);
  }
}

TEST(Padding, RefusesEachAxisThatLeavesNoCellSilently) {
  ViewState v;
  v.hiddenPadding = {1, 2, 3, 4, 5, 6};
  v.panX = v.panY = 7;
  EXPECT_EQ(paddingFields(v), (PaddingFields{"1", "2", "3", "4", "5", "6"}));
  {
    SCOPED_TRACE("10 + 10 on 20 easting cells");
    const auto taken = applyPadding(v, {10, 10, 0, 29, 2, 1}, 20, 30, 4);
    EXPECT_EQ(taken, (std::array<bool, 3>{false, true, true}));
    EXPECT_EQ(v.hiddenPadding, (std::array<int, 6>{1, 2, 0, 29, 2, 1}));
    EXPECT_EQ(v.visibleCount, (std::array<int, 3>{17, 1, 1}));
    EXPECT_EQ(v.panX, 0);
    EXPECT_EQ(v.panY, 0);
  }
  {
    SCOPED_TRACE("sums beyond int are refused, not wrapped");
    const int big = 2147483647;
    EXPECT_EQ(applyPadding(v, {big, big, 0, 0, 0, 0}, 20, 30, 4), (std::array<bool, 3>{false, true, true}));
    EXPECT_EQ(v.hiddenPadding[0], 1);
  }
  {
    SCOPED_TRACE("no mesh: every axis kept");
    EXPECT_EQ(applyPadding(v, {0, 0, 0, 0, 0, 0}, 0, 0, 0), (std::array<bool, 3>{}));
    EXPECT_EQ(v.hiddenPadding[3], 0);
  }
}

TEST(DiagonalCut, CommandSwitchesAnActiveCutOff) {
  ViewState v;
  v.frame.rebuilt();
  EXPECT_FALSE(switchDiagonalCutOff(v)) << "off: the dialog opens instead";
  EXPECT_FALSE(v.frame.rebuildPending());
  applyDiagonal(v, DiagonalCut{{0, 0, 10, 20}, true});
  EXPECT_TRUE(v.diagonalCutOn);
  EXPECT_EQ(v.diagonalSide, 1);
  v.mouseCutStage = 3;
  v.frame.rebuilt();
  EXPECT_TRUE(switchDiagonalCutOff(v));
  EXPECT_FALSE(v.diagonalCutOn);
  EXPECT_EQ(v.mouseCutStage, 0);
  EXPECT_TRUE(v.frame.rebuildPending());
}

TEST(DiagonalCut, RefusesLinesParallelToAnAxis) {
  const FieldError parallel{kParallelLineMessage, MessageKind::Warning};
  auto check = [](DiagonalFields f) { return checkDiagonal(f, false); };
  EXPECT_EQ(std::get<FieldError>(check({"0", "0", "0", "100"})), parallel);
  EXPECT_EQ(std::get<FieldError>(check({"0", "50", "100", "50"})), parallel);
  EXPECT_EQ(std::get<FieldError>(check({"0", "0", "1e300", "1e-300"})), parallel) << "slope underflows to 0";
  EXPECT_EQ(std::get<FieldError>(check({"0", "0", "1e-300", "1e300"})), parallel) << "slope overflows";
  EXPECT_EQ(std::get<FieldError>(check({"0", "0", "", "1"})).text, kEnterNumberMessage);
  EXPECT_EQ(std::get<DiagonalCut>(checkDiagonal({"0", "0", "-3", "4.5"}, true)),
            (DiagonalCut{{0, 0, -3, 4.5}, true}));
  {
    SCOPED_TRACE("coordinates shown read back exactly");
    ViewState v;
    v.diagonalLine = {0.1 + 0.2, 512345.678, 1.0 / 3, -7e-12};
    const auto r = checkDiagonal(diagonalFields(v), false);
    EXPECT_EQ(std::get<DiagonalCut>(r).line, v.diagonalLine);
  }
}

}  // namespace
}  // namespace litho
