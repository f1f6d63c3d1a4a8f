// Create mesh: derived counts, the dialog's checks and question, the file
// written and the load that follows.
#include "core/load/mesh_creation.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/io/mesh_reader.h"
#include "core/load/document.h"
#include "core/io/file_system.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;
using test::TempDir;

MeshDesign design(double dx, double dy, double lx, double ly) {
  MeshDesign d;
  d.dx = dx;
  d.dy = dy;
  d.lengthX = lx;
  d.lengthY = ly;
  return d;
}

TEST(MeshCreation, DerivedMeshOfTheInitialValues) {
  const MeshDesign d;
  EXPECT_EQ(d, design(20, 20, 200, 200));
  const DerivedMesh m = deriveMesh(d);
  EXPECT_EQ(m.nx, 10);
  EXPECT_EQ(m.ny, 10);
  EXPECT_EQ(m.fineLayers, 5);
  EXPECT_EQ(m.nz, 10);
  EXPECT_EQ(designedMeshText(d, m), "10 10 10\n0 0 0\n10*20\n10*20\n5*10 2*20 3*33.3333\n");
}

TEST(MeshCreation, CountsRoundHalvesAwayFromZero) {
  struct Case {
    MeshDesign d;
    long long nx, ny, h, nz;
  };
  const Case cases[] = {
      {design(30, 40, 75, 100), 3, 3, 2, 6},     // 2.5 -> 3; dz 15, h = round(1.67)
      {design(10, 20, 35, 70), 4, 4, 4, 9},      // 3.5 -> 4; dz 5, h = round(3.5)
      {design(1, 1, 1000, 1000), 1000, 1000, 500, 753},
      {design(100, 10, 200, 20), 2, 2, 10, 18},  // L = 200, dz = 5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.d.dx << " " << c.d.dy << " " << c.d.lengthX << " " << c.d.lengthY);
    const DerivedMesh m = deriveMesh(c.d);
    EXPECT_EQ(m.nx, c.nx);
    EXPECT_EQ(m.ny, c.ny);
    EXPECT_EQ(m.fineLayers, c.h);
    EXPECT_EQ(m.nz, c.nz);
  }
}

TEST(MeshCreation, ChecksInOrder) {
  struct Case {
    MeshDesign d;
    const char* message;
  };
  const Case cases[] = {
      {design(0, 20, -1, 200), "dx and dy should be greater than 0."},
      {design(20, -1, 200, 200), "dx and dy should be greater than 0."},
      {design(20, 20, 0, -5), "Lengths in X and Y should be greater than 0."},
      {design(100, 500, 150, 200), "dx is too large."},
      {design(75, 100, 150, 199), "dy is too large."},
      {design(20, 1e300 * 1e300, 200, 200), "Please enter a number."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(checkMeshDesign(c.d), std::optional<std::string>(c.message));
  }
  EXPECT_EQ(checkMeshDesign(design(75, 100, 150, 200)), std::nullopt) << "2 dx equal to the length is allowed";
}

TEST(MeshCreation, LotOfCellsProductDoesNotOverflow) {
  DerivedMesh m = deriveMesh(design(1, 1, 1000, 1000));
  EXPECT_EQ(m.cellCount(), 753000000LL);
  EXPECT_EQ(meshSizeProblem(m), std::nullopt);

  m = deriveMesh(design(1e-3, 1e-3, 1e7, 1e7));  // 1e10 cells a side: the int product would wrap
  EXPECT_EQ(m.nx, 10000000000LL);
  EXPECT_EQ(m.cellCount(), LLONG_MAX);
  EXPECT_TRUE(meshSizeProblem(m));
  m = deriveMesh(design(1e-300, 1e-300, 1e300, 1e300));
  EXPECT_GT(m.nx, 0) << "counts saturate";
  EXPECT_EQ(m.cellCount(), LLONG_MAX);

  m = deriveMesh(design(1, 1, 80, 80));  // 80 x 80 x 63 = 403200
  EXPECT_LT(m.cellCount(), kLotOfCells);
  m = deriveMesh(design(1, 1, 90, 90));  // 90 x 90 x 70
  EXPECT_GE(m.cellCount(), kLotOfCells);
}

class CreateMesh : public ::testing::Test {
 protected:
  void TearDown() override { keptMeshDesign() = MeshDesign{}; }
  TempDir dir;
  ScriptedPlatform p;
};

TEST_F(CreateMesh, SaveWritesTheFileAndKeepsTheValues) {
  MeshDesign d = design(25, 50, 500, 300);
  d.x0 = 6999555.5;
  d.y0 = -100;
  d.z0 = 450;
  const std::string path = dir.path() + "/new.msh";
  p.fileAnswers = {path};
  ASSERT_EQ(createMeshSave(d, p), path);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_TRUE(p.questions.empty());
  EXPECT_EQ(p.fileDialogTitles, std::vector<std::string>{"Save mesh file"});
  std::string text;
  ASSERT_TRUE(readWholeFile(path, text));
  EXPECT_EQ(text, "20 6 18\n6999555.5 -100 450\n20*25\n6*50\n10*12.5 5*25 3*83.3333\n");
  EXPECT_EQ(keptMeshDesign(), d);

  RectMesh m;
  ASSERT_TRUE(readMeshText(text, path, m, p));
  EXPECT_EQ(m.xNodes.front(), 6999555.5) << "the corner keeps every digit";
  EXPECT_NEAR(m.zNodes.front() - m.zNodes.back(), 500, 1e-3) << "about the larger length deep";
}

TEST_F(CreateMesh, RefusalsKeepTheDialogOpenAndWriteNothing) {
  EXPECT_EQ(createMeshSave(design(100, 20, 150, 200), p), std::nullopt);
  EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Plain, "dx is too large."}}));
  EXPECT_TRUE(p.fileDialogTitles.empty());

  SCOPED_TRACE("the lot-of-cells question: No keeps the dialog open, Yes goes on");
  p.yesNoAnswers = {false, true};
  EXPECT_EQ(createMeshSave(design(1, 1, 1000, 1000), p), std::nullopt);
  EXPECT_EQ(p.questions, std::vector<std::string>{"The mesh has a lot of cells.\nAre you sure?"});
  EXPECT_TRUE(p.fileDialogTitles.empty());
  p.fileAnswers = {std::nullopt};
  EXPECT_EQ(createMeshSave(design(1, 1, 1000, 1000), p), std::nullopt) << "no file chosen";
  EXPECT_EQ(p.fileDialogTitles.size(), 1u);
  EXPECT_EQ(keptMeshDesign(), MeshDesign{}) << "values are kept only after a save";

  SCOPED_TRACE("a mesh the program could not hold is refused before the question");
  EXPECT_EQ(createMeshSave(design(1e-3, 1e-3, 1e7, 1e7), p), std::nullopt);
  EXPECT_EQ(p.questions.size(), 2u);
  EXPECT_EQ(p.lastMessageText(),
            "The mesh would have 10000000000 x 10000000000 x 7500000003 cells, more than the program can hold.");

  SCOPED_TRACE("a folder that cannot be written");
  p.fileAnswers = {dir.path() + "/missing/new.msh"};
  EXPECT_EQ(createMeshSave(MeshDesign{}, p), std::nullopt);
  EXPECT_EQ(p.lastMessageText(),
            "Could not save the file\n" + dir.path() +
                "/missing/new.msh\nNo such file or directory.\nAny earlier file of that name is unchanged.");
}

TEST_F(CreateMesh, TheNewMeshIsLoadedWithAConstantModel) {
  ScriptedPlatform q;
  Document doc(q, q);
  LoadRequest req;
  req.octree = true;
  req.modelPath = dir.write("old.den", "1\n");
  doc.setFiles(req);
  std::optional<ViewRefresh> hint;
  doc.updateAllViews = [&](ViewRefresh h) { hint = h; };
  p.fileAnswers = {dir.path() + "/new.msh"};
  const auto path = createMeshSave(MeshDesign{}, p);
  ASSERT_TRUE(path);
  ASSERT_EQ(doc.loadCreatedMesh(*path), LoadStatus::Loaded) << q.lastMessageText();
  EXPECT_EQ(doc.mesh().nz, 10);
  EXPECT_TRUE(doc.modelPath().empty());
  EXPECT_FALSE(doc.octreeMode()) << "the new mesh is no octree";
  EXPECT_EQ(doc.currentModel()(9, 9, 9), 0.0f);
  EXPECT_EQ(doc.title(), *path);
  EXPECT_EQ(hint, ViewRefresh::NewLoad);

  SCOPED_TRACE("a log model asks for the background");
  req = doc.files();
  req.logModel = true;
  doc.setFiles(req);
  q.backgroundAnswers = {BackgroundChoice{-2.5f, 0}};
  ASSERT_EQ(doc.loadCreatedMesh(*path), LoadStatus::Loaded);
  EXPECT_EQ(q.backgroundDialogsShown, 1);
  EXPECT_EQ(doc.currentModel()(0, 0, 0), -2.5f);
}

}  // namespace
}  // namespace litho
