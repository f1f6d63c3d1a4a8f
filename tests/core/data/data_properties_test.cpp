// The "Data properties" dialog's rules, driven through the scripted platform.
#include "core/data/data_properties.h"

#include <gtest/gtest.h>

#include "core/io/field_parse.h"
#include "core/io/file_system.h"
#include "core/load/document.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;

class DataDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.updateAllViews = [this](ViewRefresh hint) { refreshes.push_back(hint); };
    grid = dir.write("grid.obs", "4\n0 0 1 -2\n10 0 1 0\n0 10 1 3\n10 10 1 6\n");
    line = dir.write("line.obs", "0 0 1 1\n0 5 1 2\n0 9 1 3\n");
  }
  DataPropertiesEditor loaded(std::initializer_list<std::string> files) {
    DataPropertiesEditor e(doc, p);
    for (const std::string& f : files) {
      e.editFilename(f);
      EXPECT_TRUE(e.load()) << p.lastMessageText();
    }
    return e;
  }

  test::TempDir dir;
  test::ScriptedPlatform p;
  Document doc{p, p};
  std::vector<ViewRefresh> refreshes;
  std::string grid, line;
};

TEST_F(DataDialogTest, LoadSelectsTheNewSetAndFailuresAddNothing) {
  DataPropertiesEditor e(doc, p);
  EXPECT_EQ(e.enables(), DataDialogEnables{});
  EXPECT_FALSE(e.load());
  EXPECT_EQ(p.messages.back(), (Recorded{MessageKind::Warning, "Filename missing."}));
  e.editFilename(dir.path() + "/missing.obs");
  EXPECT_FALSE(e.load());
  EXPECT_EQ(p.lastMessageText(), "Could not open\n" + dir.path() + "/missing.obs");
  EXPECT_TRUE(doc.dataSets().empty());

  e.editFilename(grid);
  ASSERT_TRUE(e.load());
  EXPECT_EQ(e.selection(), 0);
  EXPECT_EQ(e.listNames(), std::vector<std::string>{"grid.obs_points"});
  EXPECT_EQ(e.method, kPlotPoints);
  EXPECT_EQ(e.value, "1");
  EXPECT_TRUE(e.display);
  EXPECT_FALSE(e.solid);
  EXPECT_EQ(e.max, "6");
  EXPECT_EQ(e.min, "-2");
  EXPECT_EQ(e.valueLabel(), "size (pixels)");
  EXPECT_EQ(e.enables(), (DataDialogEnables{true, true, true}));
}

TEST_F(DataDialogTest, ChecksKeepTheDialogOpenAndFocusTheField) {
  DataPropertiesEditor e = loaded({grid});
  struct Case {
    const char* what;
    int method;
    std::string value, max, min;
    std::string message;
    DataControl focus;
  } cases[] = {
      {"max below min", kPlotPoints, "1", "1", "2", kMinAboveMaxMessage, DataControl::Max},
      {"a size of 0", kPlotPoints, "0", "2", "2", kValuePositiveMessage, DataControl::Value},
      {"a transparency above 1", kPlotSurface, "1.5", "2", "1", kTransparencyMessage, DataControl::Value},
      {"not a number", kPlotPoints, "1", "x", "1", kEnterNumberMessage, DataControl::Max},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    e.method = c.method;
    e.value = c.value;
    e.max = c.max;
    e.min = c.min;
    EXPECT_FALSE(e.accept());
    EXPECT_EQ(p.messages.back(), (Recorded{MessageKind::Warning, c.message}));
    EXPECT_EQ(e.takeFocus(), c.focus);
    EXPECT_FALSE(e.takeFocus());
  }
  // A value that failed is not stored; equal bounds pass.
  EXPECT_EQ(doc.dataSets()[0].plottingValue, 1.0f);
  e.method = kPlotSpheres;
  e.value = "12.5";
  e.max = e.min = "2";
  EXPECT_TRUE(e.accept());
  EXPECT_EQ(doc.dataSets()[0].plottingValue, 12.5f);
  EXPECT_EQ(doc.dataSets()[0].rangeMax, 2);
  e.chooseSolid(true);  // solid: the range is neither checked nor stored
  e.max = "x";
  EXPECT_TRUE(e.accept());
}

TEST_F(DataDialogTest, SwitchingSetsStoresFirstAndAFailedCheckKeepsTheSelection) {
  DataPropertiesEditor e = loaded({grid, line});
  EXPECT_EQ(e.selection(), 1);
  e.value = "-1";
  EXPECT_FALSE(e.choose(0));
  EXPECT_EQ(e.selection(), 1);
  e.value = "4";
  e.setDisplay(false);
  EXPECT_EQ(e.listNames()[1], "line.obs_?????");
  EXPECT_EQ(e.valueLabel(), "_");
  EXPECT_EQ(e.enables(), (DataDialogEnables{true, false, false}));
  ASSERT_TRUE(e.choose(0));
  EXPECT_EQ(doc.dataSets()[1].plottingValue, 4.0f);
  EXPECT_EQ(e.filename, fullPath(grid));
  {
    SCOPED_TRACE("typing a file name stores and deselects");
    e.value = "7";
    e.editFilename("other.obs");
    EXPECT_EQ(e.selection(), -1);
    EXPECT_EQ(doc.dataSets()[0].plottingValue, 7.0f);
  }
}

TEST_F(DataDialogTest, SurfaceBuildsOrFallsBackToPoints) {
  DataPropertiesEditor e = loaded({line, grid});
  e.chooseMethod(kPlotSurface);
  EXPECT_EQ(e.method, kPlotSurface);
  EXPECT_TRUE(doc.dataSets()[1].surface.triangulated());
  EXPECT_EQ(e.listNames()[1], "grid.obs_surface");
  EXPECT_EQ(e.valueLabel(), "transparency level");
  ASSERT_TRUE(e.choose(0));
  e.chooseMethod(kPlotSurface);
  EXPECT_EQ(p.messages.back(), (Recorded{MessageKind::Warning, "Error: Points in the data file are collinear."}));
  EXPECT_EQ(e.method, kPlotPoints);
  EXPECT_EQ(doc.dataSets()[0].plottingMethod, kPlotPoints);
  EXPECT_EQ(e.takeFocus(), DataControl::PointsMethod);
}

TEST_F(DataDialogTest, ColourChoices) {
  DataPropertiesEditor e = loaded({grid});
  e.colourbar = true;
  e.chooseSolid(true);
  EXPECT_FALSE(e.colourbar);
  EXPECT_EQ(e.enables(), (DataDialogEnables{true, true, false}));
  p.colourAnswer = std::array<unsigned char, 3>{255, 0, 51};
  e.selectColour(nullptr);
  EXPECT_EQ(doc.dataSets()[0].colour, (std::array<float, 3>{1, 0, 0.2f}));
  e.chooseSolid(false);
  int asked = -1;
  e.selectColour([&](int kind, bool) {
    asked = kind;
    return std::optional<std::pair<int, bool>>({7, true});
  });
  EXPECT_EQ(asked, 0);
  const Colourmap& map = doc.dataSets()[0].colourmap;
  EXPECT_EQ(map.kind, 7);
  EXPECT_TRUE(map.reversed);
  Colourmap expected = defaultDataColourmap();
  expected.kind = 7;
  expected.reversed = true;
  buildColourmap(expected);
  EXPECT_EQ(map.entries, expected.entries);
}

TEST_F(DataDialogTest, UnloadOkAndClosing) {
  DataPropertiesEditor e = loaded({grid, line, grid});
  ASSERT_TRUE(e.choose(2));
  e.unload();
  EXPECT_EQ(e.selection(), 1);  // the last went: the previous one
  ASSERT_TRUE(e.choose(0));
  e.unload();
  EXPECT_EQ(e.selection(), 0);  // the next one moved up
  EXPECT_EQ(e.filename, fullPath(line));
  e.colourbar = true;
  ASSERT_TRUE(e.accept());
  e.finish();
  EXPECT_EQ(doc.selectedDataSet(), 0);
  EXPECT_EQ(refreshes, std::vector<ViewRefresh>{ViewRefresh::Reload});
  {
    SCOPED_TRACE("the next dialog opens on the remembered set, colourbar checked");
    DataPropertiesEditor again(doc, p);
    EXPECT_EQ(again.selection(), 0);
    EXPECT_TRUE(again.colourbar);
    again.editFilename("x");
    ASSERT_TRUE(again.accept());  // no selection: the last set becomes it
    EXPECT_EQ(again.selection(), 0);
    again.finish();
    EXPECT_EQ(doc.selectedDataSet(), -1);
  }
  e.unload();
  EXPECT_EQ(e.selection(), -1);
  EXPECT_EQ(e.filename, "");
  EXPECT_TRUE(doc.dataSets().empty());
}

}  // namespace
}  // namespace litho
