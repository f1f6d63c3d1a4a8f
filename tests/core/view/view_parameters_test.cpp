#include "core/view/view_parameters.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <filesystem>

#include "core/load/document.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "core/view/view_controller.h"

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
    Session b;
    b.p.loadDialogAnswers.push_back(std::nullopt);
    EXPECT_FALSE(loadViewParameters(file, b.doc, b.view, b.p, b.p).ok);
    EXPECT_EQ(b.p.loadDialogsShown, 1);
    EXPECT_FALSE(b.doc.modelLoaded());
    EXPECT_EQ(b.view.state.rotationX, -65);  // the view is left alone
  }
  Session b;
  b.p.loadDialogAnswers.push_back(LoadDialogValues{false, moved, model, false, "", false});
  ASSERT_TRUE(loadViewParameters(file, b.doc, b.view, b.p, b.p).ok);
  expectViewRestored(b);
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
