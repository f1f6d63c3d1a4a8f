#include "core/scene/colour_state.h"

#include <gtest/gtest.h>

namespace litho {
namespace {

void expectAlpha(const Colourmap& c, float a) {
  for (const Rgba& x : c.entries) ASSERT_EQ(x[3], a);
}

TEST(ColourState, StartsWithTheDefaultMapAtOpacityPointThree) {
  ColourState s;
  EXPECT_EQ(s.colourmap.kind, 0);
  EXPECT_FALSE(s.colourmap.reversed);
  EXPECT_EQ(s.colourmap.entries[10][2], 1.0f);
  EXPECT_EQ(s.blendWeight, 0.3f);
  expectAlpha(s.colourmap, 0.3f);
  EXPECT_FALSE(s.secondScaleActive());
}

TEST(ColourState, InitScalesTakesTheModelRangesAndChoosesTheActiveScale) {
  ColourState s;
  s.firstScale.conductivityView = false;
  s.secondScale = {7, 8, false, false, false};
  {
    SCOPED_TRACE("one log model");
    const ScaleDisplay d = s.initScales(-3, -1, true, false, 0, 0, false);
    EXPECT_EQ(s.firstScale.min, -3);
    EXPECT_EQ(s.firstScale.max, -1);
    EXPECT_TRUE(s.firstScale.conductivityView);
    EXPECT_TRUE(s.firstScale.linearLabels);
    EXPECT_TRUE(s.firstScale.logScale);
    EXPECT_EQ(s.secondScale.min, 7) << "no second model: its scale is kept";
    EXPECT_FALSE(d.statusText.has_value());
    EXPECT_TRUE(d.showLogButtons);
    EXPECT_FALSE(s.log10Pressed());
  }
  {
    SCOPED_TRACE("second model, first active at 0.3");
    const ScaleDisplay d = s.initScales(0, 5, false, true, -2, 2, true);
    EXPECT_EQ(s.secondScale.min, -2);
    EXPECT_EQ(s.secondScale.max, 2);
    EXPECT_TRUE(s.secondScale.conductivityView && s.secondScale.linearLabels && s.secondScale.logScale);
    EXPECT_FALSE(s.firstScale.logScale);
    EXPECT_EQ(d.statusText, "first model 70%,  second model 30%");
    EXPECT_FALSE(d.showLogButtons) << "the buttons follow the active (first, linear) scale";
  }
  {
    SCOPED_TRACE("second model above one half");
    s.blendWeight = 0.6f;
    const ScaleDisplay d = s.initScales(0, 5, false, true, -2, 2, true);
    EXPECT_TRUE(s.secondScaleActive());
    EXPECT_EQ(&s.activeScale(), &s.secondScale);
    EXPECT_TRUE(d.showLogButtons);
    EXPECT_EQ(d.statusText, "first model 40%,  second model 60%");
    EXPECT_FALSE(s.selectActiveScale(false).statusText.has_value());
    EXPECT_FALSE(s.secondScaleActive()) << "without a second model the first scale is active";
  }
}

TEST(ColourState, FlipAndChooseRebuildTheTableAndKeepAlpha) {
  ColourState s;
  const Colourmap start = s.colourmap;
  EXPECT_EQ(s.flipColours().refresh, Refresh::Rebuild);
  EXPECT_TRUE(s.colourmap.reversed);
  EXPECT_EQ(s.colourmap.entries[0], start.entries[60]);
  expectAlpha(s.colourmap, 0.3f);
  s.flipColours();
  EXPECT_FALSE(s.colourmap.reversed);
  EXPECT_EQ(s.colourmap.entries, start.entries);

  EXPECT_EQ(s.chooseColourmap(4, true).refresh, Refresh::Rebuild);
  EXPECT_EQ(s.colourmap.kind, 4);
  EXPECT_TRUE(s.colourmap.reversed);
  EXPECT_EQ(s.colourmap.entries[0], (Rgba{1, 0, 0.0984f, 0.3f}));
  s.flipColours();
  EXPECT_EQ(s.colourmap.kind, 4) << "flipping keeps the table";
  EXPECT_EQ(s.colourmap.entries[60], (Rgba{1, 0, 0.0984f, 0.3f}));
}

TEST(ColourState, ResetScaleUsesTheRangeOfTheModelInFront) {
  ColourState s;
  s.initScales(-3, -1, true, true, 10, 20, false);
  s.firstScale.linearLabels = false;
  s.firstScale.conductivityView = false;
  EXPECT_EQ(s.resetScaleOwner(false), ScaleOwner::First);
  EXPECT_EQ(s.resetScaleOwner(true), ScaleOwner::First);
  s.blendWeight = 0.5f;
  EXPECT_EQ(s.resetScaleOwner(true), ScaleOwner::First);
  s.blendWeight = 0.6f;
  EXPECT_EQ(s.resetScaleOwner(true), ScaleOwner::Second);
  EXPECT_EQ(s.resetScaleOwner(false), ScaleOwner::First);

  EXPECT_EQ(s.resetScale(ScaleOwner::First, -4, 0).refresh, Refresh::Rebuild);
  EXPECT_EQ(s.firstScale.min, -4);
  EXPECT_EQ(s.firstScale.max, 0);
  EXPECT_FALSE(s.firstScale.linearLabels) << "flags stay";
  EXPECT_FALSE(s.firstScale.conductivityView);
  EXPECT_TRUE(s.firstScale.logScale);
  s.resetScale(ScaleOwner::Second, 11, 12);
  EXPECT_EQ(s.secondScale.min, 11);
  EXPECT_EQ(s.secondScale.max, 12);
  EXPECT_EQ(s.firstScale.min, -4);
}

TEST(ColourState, PresentationTogglesChangeOnlyTheActiveScaleAndRedraw) {
  ColourState s;
  s.initScales(-3, -1, true, true, -2, 0, true);
  const int before = colourIndex(-2.0, s.firstScale);
  EXPECT_EQ(s.toggleConductivityView().refresh, Refresh::Redraw);
  EXPECT_FALSE(s.firstScale.conductivityView);
  EXPECT_TRUE(s.secondScale.conductivityView);
  EXPECT_EQ(colourIndex(-2.0, s.firstScale), before);
  const DisplayRange r = toDisplayRange(s.firstScale);
  EXPECT_DOUBLE_EQ(r.low, 10);
  EXPECT_DOUBLE_EQ(r.high, 1000);

  EXPECT_FALSE(s.log10Pressed());
  EXPECT_EQ(s.toggleLinearLabels().refresh, Refresh::Redraw);
  EXPECT_TRUE(s.log10Pressed());
  EXPECT_TRUE(s.secondScale.linearLabels);

  s.blendWeight = 0.9f;
  s.selectActiveScale(true);
  s.toggleLinearLabels();
  EXPECT_FALSE(s.secondScale.linearLabels);
  EXPECT_FALSE(s.firstScale.linearLabels);
}

TEST(ColourState, OpacityStepsBetweenTheModels) {
  {
    SCOPED_TRACE("three steps up from 0.3");
    ColourState s;
    s.initScales(0, 1, false, true, 0, 1, true);
    ColourUpdate u;
    for (int i = 0; i < 2; ++i) u = s.increaseOpacity(true);
    EXPECT_FALSE(s.secondScaleActive()) << "0.5 keeps the first scale";
    EXPECT_EQ(u.display->statusText, "first model 50%,  second model 50%");
    u = s.increaseOpacity(true);
    EXPECT_EQ(u.refresh, Refresh::Rebuild);
    EXPECT_FLOAT_EQ(s.blendWeight, 0.6f);
    EXPECT_TRUE(s.secondScaleActive());
    ASSERT_TRUE(u.display.has_value());
    EXPECT_EQ(u.display->statusText, "first model 40%,  second model 60%");
    EXPECT_TRUE(u.display->showLogButtons);
    expectAlpha(s.colourmap, s.blendWeight);
  }
  {
    SCOPED_TRACE("down from 0.1 lands on 0, then stops");
    ColourState s;
    s.blendWeight = 0.1f;
    const ColourUpdate u = s.decreaseOpacity(true);
    EXPECT_EQ(s.blendWeight, 0.0f);
    EXPECT_EQ(u.display->statusText, "first model 100%,  second model 0%");
    expectAlpha(s.colourmap, 0.0f);
    EXPECT_EQ(s.decreaseOpacity(true).refresh, Refresh::None);
    EXPECT_EQ(s.blendWeight, 0.0f);
  }
  {
    SCOPED_TRACE("ten steps each way land exactly on the ends");
    ColourState s;
    s.blendWeight = 0;
    for (int i = 0; i < 10; ++i) s.increaseOpacity(true);
    EXPECT_EQ(s.blendWeight, 1.0f);
    const ColourUpdate u = s.increaseOpacity(true);
    EXPECT_EQ(u.refresh, Refresh::None);
    EXPECT_FALSE(u.display.has_value());
    EXPECT_EQ(s.blendWeight, 1.0f);
    for (int i = 0; i < 10; ++i) s.decreaseOpacity(true);
    EXPECT_EQ(s.blendWeight, 0.0f);
  }
  {
    SCOPED_TRACE("no second model: nothing happens");
    ColourState s;
    EXPECT_EQ(s.increaseOpacity(false).refresh, Refresh::None);
    EXPECT_EQ(s.decreaseOpacity(false).refresh, Refresh::None);
    EXPECT_EQ(s.blendWeight, 0.3f);
    expectAlpha(s.colourmap, 0.3f);
  }
}

}  // namespace
}  // namespace litho
