#include "core/view/view_parameters.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

struct Session {
  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
};

class ViewFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mesh = dir.write("m.msh", "6 5 4\n500000 7000000 100\n6*10\n5*10\n4*10\n");
    std::string values;
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 4; ++k) values += std::to_string(i + 10 * j + 100 * k) + "\n";
    model = dir.write("m.den", values);
    LoadRequest req;
    req.meshPath = mesh;
    req.modelPath = model;
    ASSERT_EQ(a.doc.load(req), LoadStatus::Loaded);
    a.view.refresh(ViewRefresh::NewLoad);
    ViewState& v = a.view.state;
    v.rotationX = -30;
    v.zoomAngle = 22;
    v.hiddenPadding = {1, 0, 0, 1, 0, 0};
    v.visibleCount = {5, 4, 4};
    a.view.resetViewExtents();
    v.cuts = {1, 0, 0, 0, 1, 0};
    v.selectedCutPlane = kTop;
    v.showLabels = true;
    a.view.setBackground(250, 250, 250);
    a.view.colours.colourmap.kind = 3;
  }
  void expectViewRestored(const Session& b) {
    const ViewState& v = b.view.state;
    EXPECT_EQ(v.rotationX, -30);
    EXPECT_EQ(v.zoomAngle, 22);
    EXPECT_EQ(v.hiddenPadding, (std::array<int, 6>{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(v.visibleCount, (std::array<int, 3>{5, 4, 4}));
    EXPECT_EQ(v.cuts, (std::array<int, 6>{1, 0, 0, 0, 1, 0}));
    EXPECT_EQ(v.selectedCutPlane, kTop);
    EXPECT_TRUE(v.showLabels);
    EXPECT_FALSE(v.darkBackground);
    EXPECT_EQ(b.view.colours.colourmap.kind, 3);
    EXPECT_EQ(b.doc.currentModel()(2, 3, 1), 132.0f);
  }

  test::TempDir dir;
  std::string mesh, model;
  Session a;
};

TEST_F(ViewFileTest, WithoutDataTheFilesAreReadAgain) {
  const std::string file = dir.write("v.ls3d", encodeViewParameters(a.doc, a.view, false, {10, 20, 810, 620}));
  Session b;
  const ViewFileLoad r = loadViewParameters(file, b.doc, b.view, b.p, b.p);
  ASSERT_TRUE(r.ok) << b.p.lastMessageText();
  EXPECT_TRUE(b.p.questions.empty());
  EXPECT_FALSE(b.doc.files().ignoreSmallest);
  EXPECT_EQ(b.doc.meshPath(), mesh);
  ASSERT_TRUE(r.window);
  EXPECT_EQ(r.window->right, 810);
  expectViewRestored(b);
}

TEST_F(ViewFileTest, WithDataTheFilesAreNotNeeded) {
  const std::string file = dir.write("v.ls3d", encodeViewParameters(a.doc, a.view, true, {}));
  std::filesystem::remove(mesh);
  std::filesystem::remove(model);
  Session b;
  const ViewFileLoad r = loadViewParameters(file, b.doc, b.view, b.p, b.p);
  ASSERT_TRUE(r.ok) << b.p.lastMessageText();
  EXPECT_TRUE(b.doc.modelLoaded());
  EXPECT_EQ(b.doc.title(), file);
  EXPECT_EQ(b.doc.mesh().xNodes, a.doc.mesh().xNodes);
  EXPECT_EQ(b.p.progressTitles, std::vector<std::string>{"Loading ..."});
  expectViewRestored(b);
}

TEST_F(ViewFileTest, TheModelsOwnRangeIsStoredAsTheSentinel) {
  a.view.state.displayMin = a.doc.store().range().min;
  a.view.state.displayMax = a.doc.store().range().max;
  const std::string bytes = encodeViewParameters(a.doc, a.view, false, {});
  float sentinel[2] = {FLT_MAX, FLT_MAX};
  EXPECT_NE(bytes.find(std::string(reinterpret_cast<const char*>(sentinel), 8)), std::string::npos);
  // The model file changes; the display range follows it.
  std::string values;
  for (int n = 0; n < 120; ++n) values += std::to_string(1000 + n) + "\n";
  dir.write("m.den", values);
  Session b;
  ASSERT_TRUE(loadViewParameters(dir.write("v.ls3d", bytes), b.doc, b.view, b.p, b.p).ok);
  EXPECT_EQ(b.view.state.displayMin, 1000);
  EXPECT_EQ(b.view.state.displayMax, 1119);
}

TEST_F(ViewFileTest, ATruncatedFileStopsWithThePastEndMessage) {
  const std::string bytes = encodeViewParameters(a.doc, a.view, true, {});
  for (std::size_t cut : {std::size_t{3}, bytes.size() / 2, bytes.size() - 5}) {
    SCOPED_TRACE(cut);
    Session b;
    const ViewFileLoad r = loadViewParameters(dir.write("t.ls3d", bytes.substr(0, cut)), b.doc, b.view, b.p, b.p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(b.p.messages.back(), (test::Recorded{MessageKind::Error, kPastEndMessage}));
    EXPECT_FALSE(b.doc.files().ignoreSmallest);
    if (cut == bytes.size() / 2) {
      EXPECT_FALSE(b.doc.modelLoaded());
    }
  }
  Session b;
  EXPECT_FALSE(loadViewParameters(dir.path() + "/none.ls3d", b.doc, b.view, b.p, b.p).ok);
  EXPECT_EQ(b.p.lastMessageText(), "Could not open\n" + dir.path() + "/none.ls3d");
}

TEST_F(ViewFileTest, MissingFilesAskThroughTheLoadModelDialog) {
  const std::string file = dir.write("v.ls3d", encodeViewParameters(a.doc, a.view, false, {}));
  const std::string moved = dir.path() + "/moved.msh";
  std::filesystem::rename(mesh, moved);
  {
    SCOPED_TRACE("cancelled, or a load that fails: the document loaded before stays, Reload works");
    Session b;
    LoadRequest own;
    own.meshPath = moved;
    std::string values;
    for (int n = 0; n < 120; ++n) values += n % 2 ? "7\n" : "8\n";
    own.modelPath = dir.write("own.den", values);
    ASSERT_EQ(b.doc.load(own), LoadStatus::Loaded);
    b.doc.setDocumentPath();
    const std::string title = b.doc.title();
    b.p.loadDialogAnswers.push_back(std::nullopt);
    b.p.loadDialogAnswers.push_back(LoadDialogValues{false, moved, dir.write("bad.den", "x\n"), false, "", false});
    for (int attempt = 0; attempt < 2; ++attempt) {
      SCOPED_TRACE(attempt);
      EXPECT_FALSE(loadViewParameters(file, b.doc, b.view, b.p, b.p).ok);
      EXPECT_TRUE(b.doc.modelLoaded());
      EXPECT_EQ(b.doc.modelPath(), own.modelPath);
      EXPECT_EQ(b.doc.title(), title);
      EXPECT_EQ(b.doc.currentModel()(0, 0, 1), 7.0f);
      EXPECT_EQ(b.view.state.rotationX, -65);  // the view is left alone
    }
    EXPECT_EQ(b.p.loadDialogsShown, 2);
    EXPECT_EQ(b.doc.reload(), LoadStatus::Loaded);
  }
  Session b;
  b.p.loadDialogAnswers.push_back(LoadDialogValues{false, moved, model, false, "", false});
  ASSERT_TRUE(loadViewParameters(file, b.doc, b.view, b.p, b.p).ok);
  expectViewRestored(b);
}

TEST_F(ViewFileTest, AScaledViewComesBackFramedAsScaleViewLeftIt) {
  a.view.setAxisScale({1, 1, 3});
  ViewState& w = a.view.state;
  w.cuts = {1, 0, 0, 0, 1, 0};
  w.diagonalCutOn = true;
  w.diagonalLine = {500001, 7000001, 500040, 7000030};
  for (const bool full : {false, true}) {
    SCOPED_TRACE(full ? "with data" : "files read again");
    Session b;
    ASSERT_TRUE(
        loadViewParameters(dir.write("s.ls3d", encodeViewParameters(a.doc, a.view, full, {})), b.doc, b.view, b.p, b.p)
            .ok);
    const ViewState& v = b.view.state;
    EXPECT_EQ(v.axisScale, w.axisScale);
    EXPECT_EQ(v.sceneExtent, w.sceneExtent);
    EXPECT_EQ(v.cameraDistance, w.cameraDistance);
    EXPECT_EQ(v.panStep, w.panStep);
    EXPECT_EQ(v.sceneCentre, w.sceneCentre);
    EXPECT_TRUE(v.normalizeNormals);
    EXPECT_EQ(v.cuts, w.cuts) << "the scale does not reset the cuts read before it";
    EXPECT_TRUE(v.diagonalCutOn);
    EXPECT_EQ(v.diagonalLine, w.diagonalLine);
  }
}

TEST_F(ViewFileTest, LogButtonsFollowTheRestoredScale) {
  a.view.colours.firstScale.logScale = true;
  a.view.colours.firstScale.linearLabels = true;
  Session b;
  std::vector<bool> shown;
  b.view.onLogButtons = [&](bool on) { shown.push_back(on); };
  ASSERT_TRUE(
      loadViewParameters(dir.write("l.ls3d", encodeViewParameters(a.doc, a.view, true, {})), b.doc, b.view, b.p, b.p)
          .ok);
  EXPECT_EQ(shown, std::vector<bool>{true});
}

TEST_F(ViewFileTest, NumbersThatAreNotFiniteLeaveTheirFieldsAsTheyWere) {
  ViewState& w = a.view.state;
  w.rotationX = NAN;
  w.zoomAngle = INFINITY;
  w.panX = NAN;
  w.axisScale = {1, INFINITY, 1};
  w.diagonalCutOn = true;
  w.diagonalLine = {NAN, 7000000, 500010, 7000010};
  w.vectorLength = -INFINITY;
  a.view.colours.firstScale.min = NAN;
  w.displayMin = -INFINITY;  // "no lower limit" is kept
  Session b;
  ASSERT_TRUE(
      loadViewParameters(dir.write("n.ls3d", encodeViewParameters(a.doc, a.view, true, {})), b.doc, b.view, b.p, b.p)
          .ok);
  const ViewState& v = b.view.state;
  EXPECT_EQ(v.rotationX, -65);
  EXPECT_EQ(v.zoomAngle, 30);
  EXPECT_EQ(v.panX, 0);
  EXPECT_EQ(v.axisScale, (std::array<double, 3>{1, 1, 1}));
  EXPECT_FALSE(v.diagonalCutOn);
  EXPECT_TRUE(std::isfinite(v.vectorLength));
  EXPECT_TRUE(std::isfinite(v.sceneExtent));
  EXPECT_EQ(b.view.colours.firstScale.min, b.doc.store().range().min);
  EXPECT_EQ(v.displayMin, -INFINITY);
}

TEST(WindowFit, RestoredGeometryLiesOnTheAvailableScreen) {
  const WindowRect screen{0, 30, 1280, 1024};  // a panel along the top
  struct Case {
    const char* name;
    WindowRect saved;
    std::optional<WindowRect> want;
  };
  const Case cases[] = {
      {"fits: unchanged", {10, 40, 810, 640}, WindowRect{10, 40, 810, 640}},
      {"larger than the screen: all of it", {0, 0, 99999, 99999}, screen},
      {"above and left of it: moved on, size kept", {-300, -200, 700, 560}, WindowRect{0, 30, 1000, 790}},
      {"beyond the far corner: pulled back", {1000, 900, 1800, 1500}, WindowRect{480, 424, 1280, 1024}},
      {"the widest corners", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, screen},
      {"no area", {10, 10, 10, 500}, std::nullopt},
      {"corners swapped", {INT_MAX, 0, INT_MIN, 10}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fitWindowToScreen(c.saved, screen), c.want);
  }
  EXPECT_EQ(fitWindowToScreen({-5, -5, 99, 99}, {}), (WindowRect{-5, -5, 99, 99})) << "no screen known";
}

TEST_F(ViewFileTest, LongPathsUseTheWiderLengthPrefix) {
  const std::string folder = dir.path() + "/" + std::string(150, 'a') + "/" + std::string(150, 'b');
  std::filesystem::create_directories(folder);
  const std::string longMesh = folder + "/m.msh";
  std::filesystem::copy_file(mesh, longMesh);
  LoadRequest files = a.doc.files();
  files.meshPath = longMesh;
  a.doc.setFiles(files);
  const std::string bytes = encodeViewParameters(a.doc, a.view, false, {});
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
  Session b;
  ASSERT_TRUE(loadViewParameters(dir.write("v.ls3d", bytes), b.doc, b.view, b.p, b.p).ok);
  EXPECT_EQ(b.doc.meshPath(), longMesh);
}

}  // namespace
}  // namespace litho
