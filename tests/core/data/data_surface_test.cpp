// The surface through a data set's stations, the colour of a point and what
// each drawing method puts into the scene.
#include "core/data/data_surface.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/data/data_reader.h"
#include "core/load/document.h"
#include "core/scene/data_scene.h"
#include "core/scene/overlays.h"
#include "core/view/view_controller.h"
#include "core/view/view_parameters.h"
#include "support/scripted_platform.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;

DataSet setOf(std::vector<DataPoint> points) {
  DataSet s;
  s.path = "/survey/grav.obs";
  s.points = std::move(points);
  return s;
}

TEST(DataSurface, CoincidingPointsMergeIntoTheirMean) {
  ScriptedPlatform p;
  DataSet s = setOf({{10, 0, 1, 5, "a"}, {0, 0, 2, 1, "b"}, {10, 0, 3, 7, "c"}, {0, 10, 4, 2, "d"}});
  ASSERT_TRUE(buildDataSurface(s, p));
  ASSERT_EQ(s.points.size(), 3u);
  EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Info, "1 duplicate points removed.\n"}}));
  EXPECT_EQ(p.waitCursorDepth, 0);
  // Sorted by easting.
  const DataPoint& merged = s.points[2];
  EXPECT_EQ(merged.x, 10);
  EXPECT_EQ(merged.z, 2);
  EXPECT_EQ(merged.value, 6);
  EXPECT_EQ(s.surface.nodeCount(), 3);
  EXPECT_EQ(s.surface.triangleCount(), 1);
}

TEST(DataSurface, ALineAlongTheMeridianMergesEveryRepeat) {
  ScriptedPlatform p;
  std::vector<DataPoint> line;
  for (int r = 0; r < 3; ++r)
    for (int n = 0; n < 50; ++n) line.push_back({500000, 7000000.0 + n * 10, 100.0 + r, 1.0 * r, ""});
  line.push_back({500100, 7000000, 100, 0, ""});
  DataSet s = setOf(line);
  ASSERT_TRUE(buildDataSurface(s, p));
  EXPECT_EQ(s.points.size(), 51u);
  EXPECT_EQ(p.lastMessageText(), "100 duplicate points removed.\n");
  EXPECT_EQ(s.points[0].z, 101);
  EXPECT_EQ(s.points[0].value, 1);
}

TEST(DataSurface, FailuresLeaveTheSetAsItWas) {
  const Recorded tooFew{MessageKind::Warning, "Not enough points for surface."};
  const Recorded collinear{MessageKind::Warning, "Error: Points in the data file are collinear."};
  struct Case {
    const char* what;
    std::vector<DataPoint> points;
    Recorded last;
  } cases[] = {
      {"two points", {{0, 0, 0, 0, ""}, {1, 1, 0, 0, ""}}, tooFew},
      {"three points, two of them one", {{0, 0, 0, 0, ""}, {0, 0, 1, 1, ""}, {1, 1, 0, 0, ""}}, tooFew},
      {"every easting equal", {{5, 0, 0, 0, ""}, {5, 1, 0, 0, ""}, {5, 2, 0, 0, ""}}, collinear},
      {"on a diagonal", {{2, 2, 0, 0, ""}, {0, 0, 0, 0, ""}, {1, 1, 0, 0, ""}, {3, 3, 0, 0, ""}}, collinear},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedPlatform p;
    DataSet s = setOf(c.points);
    EXPECT_FALSE(buildDataSurface(s, p));
    EXPECT_EQ(p.messages.back(), c.last);
    EXPECT_EQ(s.points.size(), c.points.size());
    EXPECT_EQ(s.points[0].x, c.points[0].x);
    EXPECT_FALSE(s.surface.triangulated());
  }
}

TEST(DataSurface, ColourOfAPoint) {
  DataSet s = setOf({});
  s.rangeMin = -1;
  s.rangeMax = 2;
  EXPECT_EQ(dataColourIndex(s, -1), 0);
  EXPECT_EQ(dataColourIndex(s, 0.99), 39);  // 60 / 3 * 1.99 = 39.8, truncated
  EXPECT_EQ(dataColourIndex(s, 5), 60);
  EXPECT_EQ(dataColourIndex(s, -5), 0);
  EXPECT_EQ(dataColourIndex(s, std::nan("")), 0);
  s.rangeMin = s.rangeMax = 3;  // a constant data set
  EXPECT_EQ(dataColourIndex(s, 3), 0);
  s.solidColour = true;
  s.colour = {0.5f, 0.25f, 1};
  EXPECT_EQ(dataPointColour(s, 3, 0.4f), (Rgba{0.5f, 0.25f, 1, 0.4f}));
}

TEST(DataScene, WhatEachMethodDraws) {
  // A, B, B, C, D: the repeat of B separates two polylines.
  DataSet s = setOf({{0, 0, 0, 1, "A"}, {1, 0, 0, 2, ""}, {1, 0, 0, 2, ""}, {2, 1, 0, 3, "C"}, {2, 3, 4, 4, ""}});
  s.rangeMin = 1;
  s.rangeMax = 4;
  s.plottingValue = 2;
  auto build = [&](int method) {
    s.plottingMethod = method;
    DataScene out;
    buildDataScene({s}, out);
    return out;
  };
  {
    SCOPED_TRACE("lines: two strips, names drawn in the solid colour");
    const DataScene d = build(kPlotLines);
    ASSERT_EQ(d.strips.size(), 2u);
    EXPECT_EQ(d.strips[0].vertexCount, 2u);
    EXPECT_EQ(d.strips[1].vertexCount, 2u);
    EXPECT_EQ(d.vertices[d.strips[1].firstVertex][0], 2);
    EXPECT_EQ(d.colours[0], s.colourmap.entries[0]);
    ASSERT_EQ(d.labels.size(), 2u);
    EXPECT_EQ(d.labels[1].text, "C");
    EXPECT_EQ(d.labels[1].colour, (Rgba{1, 1, 1, 1}));
  }
  {
    SCOPED_TRACE("cylinders: A-B, then the repeat skips B-B and B-C, then C-D");
    const DataScene d = build(kPlotCylinders);
    ASSERT_EQ(d.cylinders.size(), 2u);
    EXPECT_EQ(d.cylinders[0].length, 1);
    EXPECT_EQ(d.cylinders[0].turn, 0);
    EXPECT_DOUBLE_EQ(d.cylinders[0].tilt, 90);
    EXPECT_EQ(d.cylinders[1].start[1], 1);
    EXPECT_EQ(d.cylinders[1].length, std::sqrt(20.0));
    EXPECT_TRUE(d.labels.empty());
  }
  {
    SCOPED_TRACE("points and spheres: one each, spheres with no names");
    EXPECT_EQ(build(kPlotPoints).draws.at(0).count, 5u);
    EXPECT_EQ(build(kPlotSpheres).draws.at(0).size, 2);
    EXPECT_TRUE(build(kPlotSpheres).labels.empty());
  }
  {
    SCOPED_TRACE("not displayed: nothing");
    s.displayed = false;
    EXPECT_TRUE(build(kPlotPoints).draws.empty());
    s.displayed = true;
  }
  ScriptedPlatform p;
  s.plottingMethod = kPlotSurface;
  ASSERT_TRUE(buildDataSurface(s, p));
  for (const float opacity : {0.0f, 0.5f, 1.0f}) {
    SCOPED_TRACE(opacity);
    s.plottingValue = opacity;
    const DataScene d = build(kPlotSurface);
    if (opacity == 0) {
      EXPECT_TRUE(d.draws.empty());
      continue;
    }
    ASSERT_EQ(d.draws.size(), 1u);
    EXPECT_EQ(d.draws[0].translucent, opacity < 1);
    EXPECT_EQ(d.draws[0].count, static_cast<std::uint32_t>(s.surface.triangleCount()));
    EXPECT_EQ(d.colours[0][3], opacity);
    for (const DataTriangle& t : d.triangles) EXPECT_GT(t.normal[2], 0);  // counterclockwise from above
  }
}

TEST(DataScene, TheColourbarShowsTheSelectedSetWhileUnmodified) {
  ColourState colours;
  std::vector<DataSet> sets(2);
  sets[1].rangeMin = -2;
  sets[1].rangeMax = 5;
  sets[1].colourmap.kind = 4;
  ColourbarSource s = colourbarSource(sets, 1, false, colours);
  EXPECT_EQ(s.colourmap, &sets[1].colourmap);
  EXPECT_EQ(s.scale.min, -2);
  EXPECT_TRUE(s.scale.conductivityView);
  EXPECT_FALSE(s.scale.linearLabels);
  EXPECT_EQ(colourbarSource(sets, 1, true, colours).colourmap, &colours.colourmap);
  EXPECT_EQ(colourbarSource(sets, -1, false, colours).colourmap, &colours.colourmap);
  EXPECT_EQ(colourbarSource(sets, 2, false, colours).colourmap, &colours.colourmap);
}

TEST(DataSurface, TheExampleViewFileRestoresItsSurface) {
  ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  const ViewFileLoad r =
      loadViewParameters(std::string(LITHO_SOURCE_DIR) + "/examples/block/gravity.ls3d", doc, view, p, p);
  ASSERT_TRUE(r.ok) << p.lastMessageText();
  EXPECT_TRUE(p.messages.empty()) << p.lastMessageText();
  ASSERT_EQ(doc.dataSets().size(), 1u);
  const DataSet& s = doc.dataSets()[0];
  EXPECT_EQ(s.name, "gravity.obs_surface");
  EXPECT_EQ(s.plottingValue, 0.6f);
  EXPECT_EQ(s.surface.nodeCount(), 961);
  EXPECT_EQ(s.surface.triangleCount(), 2 * 30 * 30);
  EXPECT_EQ(s.colourmap.entries, defaultDataColourmap().entries);
  EXPECT_EQ(view.state.cuts[kSideSouth], 15);
  // What the file holds is what a load of the survey file gives.
  DataSet read;
  read.path = std::string(LITHO_SOURCE_DIR) + "/examples/block/gravity.obs";
  ASSERT_TRUE(readDataFile(read, p));
  EXPECT_EQ(read.rangeMin, s.rangeMin);
  EXPECT_EQ(read.rangeMax, s.rangeMax);
  ASSERT_TRUE(buildDataSurface(read, p));
  EXPECT_EQ(read.points[480].value, s.points[480].value);
}

}  // namespace
}  // namespace litho
