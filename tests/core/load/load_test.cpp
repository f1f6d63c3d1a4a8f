#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "core/edit/background.h"
#include "core/load/file_load_check.h"
#include "core/io/mesh_stats.h"
#include "core/load/document.h"
#include "core/load/progress.h"
#include "core/io/rounding.h"
#include "core/io/file_system.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;
using test::TempDir;

const char* kMesh = "4 3 5\n-100 200 50\n4*25\n10 20 30\n2*10 3*20\n";

void expectEmpty(const Document& doc) {
  EXPECT_FALSE(doc.modelLoaded());
  EXPECT_TRUE(doc.mesh().empty());
  EXPECT_TRUE(doc.store().empty());
  EXPECT_TRUE(doc.store().topActiveIndex().empty());
  EXPECT_TRUE(doc.store().secondModel().empty());
  EXPECT_EQ(doc.title(), "Untitled");
}

void expectComplete(const Document& doc) {
  EXPECT_TRUE(doc.modelLoaded());
  ASSERT_FALSE(doc.mesh().empty());
  ASSERT_EQ(static_cast<std::size_t>(doc.store().modelCount()), 1u);
  EXPECT_EQ(doc.currentModel().size(), static_cast<std::size_t>(doc.mesh().cellCount()));
  EXPECT_EQ(doc.store().topActiveIndex().size(), static_cast<std::size_t>(doc.mesh().nx) * doc.mesh().ny);
}

class LoadTest : public ::testing::Test {
 protected:
  void SetUp() override { mesh = dir.write("mesh.msh", kMesh); }

  TempDir dir;
  std::string mesh;
  ScriptedPlatform p;
};

TEST_F(LoadTest, MeshWithoutModelGetsAConstantModel) {
  Document doc(p, p);
  LoadRequest req;
  req.meshPath = mesh;
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  expectComplete(doc);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.backgroundDialogsShown, 0);
  EXPECT_EQ(doc.store().range().min, 0);
  EXPECT_EQ(doc.store().range().max, 0);
  EXPECT_EQ(doc.store().bottomMean(), 0);
  EXPECT_EQ(doc.store().activeMaskSet(), 0);
  EXPECT_EQ(doc.currentModel()(3, 2, 4), 0.0f);
  EXPECT_EQ(doc.title(), mesh);
  EXPECT_EQ(doc.workingFolder(), dir.path());
  EXPECT_EQ(p.folder, dir.path());
  EXPECT_FALSE(doc.modified());
}

TEST_F(LoadTest, LogModelWithoutFileAsksForTheBackground) {
  {
    SCOPED_TRACE("set all cells");
    Document doc(p, p);
    LoadRequest req;
    req.meshPath = mesh;
    req.logModel = true;
    p.backgroundAnswers.push_back(BackgroundChoice{-2.5f, 0});
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    EXPECT_EQ(p.backgroundDialogsShown, 1);
    EXPECT_EQ(doc.store().range().min, -2.5);
    EXPECT_EQ(doc.store().bottomMean(), -2.5f);
    EXPECT_EQ(doc.currentModel()(0, 0, 0), -2.5f);
    EXPECT_EQ(doc.store().activeMaskSet(), 0);
  }
  {
    SCOPED_TRACE("set only cells below z=0: air on top gets -8");
    Document doc(p, p);
    LoadRequest req;
    req.meshPath = mesh;
    req.logModel = true;
    // Top at 50, thicknesses 10 10 20 20 20: z = 50 40 30 10 -10 -30, first node at or below 0 is 4.
    const BackgroundIndex idx = [&] {
      Document probe(p, p);
      LoadRequest files;
      files.meshPath = mesh;
      probe.setFiles(files);
      bool fatal = false;
      EXPECT_TRUE(probe.readMeshFile(fatal));
      return backgroundTopIndex(probe.mesh(), true);
    }();
    ASSERT_FALSE(idx.error);
    EXPECT_EQ(idx.topIndex, 4);
    p.backgroundAnswers.push_back(BackgroundChoice{-3.0f, idx.topIndex});
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    EXPECT_EQ(doc.store().activeMaskSet(), 1);
    EXPECT_EQ(doc.store().topActiveIndex()(2, 1), 4);
    EXPECT_EQ(doc.currentModel()(2, 1, 3), -8.0f);
    EXPECT_EQ(doc.currentModel()(2, 1, 4), -3.0f);
    EXPECT_EQ(doc.store().bottomMean(), -3.0f);
  }
  {
    SCOPED_TRACE("cancelled dialog keeps its start values");
    Document doc(p, p);
    LoadRequest req;
    req.meshPath = mesh;
    req.logModel = true;
    p.backgroundAnswers.push_back(std::nullopt);
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    EXPECT_EQ(doc.store().range().max, -4.0);
  }
}

TEST_F(LoadTest, FailedLoadsLeaveNothingBehind) {
  Document doc(p, p);
  LoadRequest req;
  req.meshPath = mesh;
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);

  req.meshPath = dir.write("bad.msh", "2 2 2\n0 0 0\n1 1\n1\n");
  EXPECT_EQ(doc.load(req), LoadStatus::Failed);
  expectEmpty(doc);
  EXPECT_EQ(p.lastMessageText(), "Not enough values.\nError reading mesh file\n" + doc.meshPath());

  req.meshPath = mesh;
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  req.meshPath = dir.path() + "/missing.msh";
  EXPECT_EQ(doc.load(req), LoadStatus::Fatal);
  expectEmpty(doc);
  EXPECT_EQ(p.messages.back(), (Recorded{MessageKind::Error, "File not found: " + dir.path() + "/missing.msh"}));

  req.meshPath = mesh;
  req.modelPath = dir.path() + "/missing.den";
  EXPECT_EQ(doc.load(req), LoadStatus::Fatal);
  expectEmpty(doc);
  EXPECT_EQ(p.lastMessageText(), "File not found: " + doc.modelPath());

  req.modelPath.clear();
  req.meshPath = dir.write("huge.msh", "100000 100000 100000\n0 0 0\n100000*1\n100000*1\n100000*1\n");
  EXPECT_EQ(doc.load(req), LoadStatus::Failed);
  expectEmpty(doc);
}

TEST_F(LoadTest, StartUpDecision) {
  {
    SCOPED_TRACE("empty command line: banner, then the Load Model dialog");
    Document doc(p, p);
    LoadRequest req;
    p.bannerAnswers.push_back(true);
    p.loadDialogAnswers.push_back(LoadDialogValues{false, mesh, "", false, "", false});
    EXPECT_EQ(doc.startUp({}), LoadStatus::Loaded);
    EXPECT_EQ(p.bannersShown, 1);
    EXPECT_TRUE(doc.hardwareOpenGL());
    expectComplete(doc);
    EXPECT_EQ(p.waitCursorDepth, 0);
  }
  {
    SCOPED_TRACE("/NOBANNER alone: the dialog without the banner; cancel leaves an empty document");
    ScriptedPlatform q;
    Document doc(q, q);
    LoadRequest req;
    q.loadDialogAnswers.push_back(std::nullopt);
    EXPECT_EQ(doc.startUp({"/NOBANNER"}), LoadStatus::NotLoaded);
    EXPECT_EQ(q.bannersShown, 0);
    EXPECT_EQ(q.loadDialogsShown, 1);
    expectEmpty(doc);
  }
  {
    SCOPED_TRACE("command-line load: no banner, no dialog; NOMODEL");
    ScriptedPlatform q;
    Document doc(q, q);
    LoadRequest req;
    EXPECT_EQ(doc.startUp({"/openglhw", mesh, "NOMODEL"}), LoadStatus::Loaded);
    EXPECT_EQ(q.bannersShown + q.loadDialogsShown, 0);
    EXPECT_TRUE(doc.hardwareOpenGL());
    EXPECT_TRUE(doc.modelPath().empty());
    expectComplete(doc);
  }
  {
    SCOPED_TRACE("no file name loads nothing; /log still takes effect");
    ScriptedPlatform q;
    Document doc(q, q);
    LoadRequest req;
    EXPECT_EQ(doc.startUp({"/log", "/openglhw"}), LoadStatus::NotLoaded);
    EXPECT_TRUE(doc.logModel());
    EXPECT_FALSE(doc.hardwareOpenGL());
    expectEmpty(doc);
    EXPECT_TRUE(q.messages.empty());
  }
  {
    SCOPED_TRACE("NOMODEL with /log shows the Set Background dialog");
    ScriptedPlatform q;
    Document doc(q, q);
    LoadRequest req;
    q.backgroundAnswers.push_back(BackgroundChoice{-4.0f, 0});
    EXPECT_EQ(doc.startUp({mesh, "NOMODEL", "/log"}), LoadStatus::Loaded);
    EXPECT_EQ(q.backgroundDialogsShown, 1);
    EXPECT_EQ(doc.store().range().min, -4.0);
  }
}

TEST_F(LoadTest, CommandLineSplitsModelTextAndExpandsPaths) {
  const std::string a = dir.write("a.den", "1\n");
  const std::string b = dir.write("b.den", "1\n");
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  Document doc(p, p);
  LoadRequest req;
  doc.commandLineLoad(parseArguments({"/trnsmt", "mesh.msh", "a.den++b.den", "c.den"}));
  ASSERT_FALSE(p.messages.empty());
  EXPECT_EQ(
      p.messages.front(),
      (Recorded{MessageKind::Warning, "Only a mesh and a model file are read from the command line; ignored:\nc.den"}));
  EXPECT_EQ(doc.meshPath(), mesh);
  EXPECT_EQ(doc.modelPath(), a);
  EXPECT_EQ(doc.secondModelPath(), b);
  EXPECT_TRUE(doc.transmitterMode());
}

TEST_F(LoadTest, TransmitterLoopJoinsTheDocumentAfterTheLoad) {
  const std::string transmitter = dir.write("trns_coord.txt", "0 0 5\n100 0 5\n");
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  Document doc(p, p);
  ASSERT_EQ(doc.commandLineLoad(parseArguments({"mesh.msh", "NOMODEL", "/trnsmt"})), LoadStatus::Loaded);
  EXPECT_TRUE(doc.transmitterMode());
  // Read from the starting folder before the load, which empties the data sets.
  ASSERT_EQ(doc.dataSets().size(), 1u);
  EXPECT_EQ(doc.dataSets()[0].path, transmitter);
  EXPECT_EQ(doc.dataSets()[0].name, "trns_coord.txt_lines");
  EXPECT_FALSE(fileExists(transmitter));
}

TEST_F(LoadTest, RangesVisitOnlyActiveCells) {
  Document doc(p, p);
  LoadRequest req;
  req.meshPath = mesh;
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  ModelSet& m = doc.editStore().modelData(0);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 5; ++k) m(i, j, k) = static_cast<float>(100 * i + 10 * j + k);
  doc.editStore().topActiveData()(3, 2) = 5;  // column with no active cells
  doc.editStore().topActiveData()(0, 0) = 2;  // hides 0 and 1
  doc.recomputeRange(Which::First);
  EXPECT_EQ(doc.store().range().min, 2.0);
  EXPECT_EQ(doc.store().range().max, 314.0);  // column (3, 1); (3, 2) holds 320..324 but is all inactive
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) doc.editStore().topActiveData()(i, j) = 5;
  doc.recomputeRange(Which::First);
  EXPECT_EQ(doc.store().range().min, 1.0000000150474662e30);
  EXPECT_EQ(doc.store().range().max, -1.0000000150474662e30);
}

TEST_F(LoadTest, Tq5rDeletesOnlyTheTemporaryFileOfTheCommandLineWhileItIsThatFile) {
  const auto run = [&](const std::string& model, const std::function<void(Document&)>& then = {}) {
    Document doc(p, p);
    doc.commandLineLoad(parseArguments({mesh, model, "/tq5rdata"}));
    if (then) then(doc);
  };
  const std::string opened = dir.write("opened.fld", "1\n");
  {
    SCOPED_TRACE("a .fld model loaded later is not the temporary file");
    const std::string temp = dir.write("t1.fld", "1\n");
    run(temp, [&](Document& doc) {
      LoadRequest req;
      req.meshPath = mesh;
      req.modelPath = opened;
      doc.load(req);
    });
    EXPECT_FALSE(fileExists(temp));
    EXPECT_TRUE(fileExists(opened));
  }
  {
    SCOPED_TRACE("a model saved with Save As to a .fld file stays");
    std::string values;
    for (int n = 0; n < 60; ++n) values += "1\n";
    const std::string temp = dir.write("t3.fld", values), saved = dir.path() + "/saved.fld";
    run(temp, [&](Document& doc) {
      const SaveViewInfo view = SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), doc.store().range());
      EXPECT_TRUE(doc.saveModel(saved, view, {})) << p.lastMessageText();
    });
    EXPECT_FALSE(fileExists(temp));
    EXPECT_TRUE(fileExists(saved));
  }
  {
    SCOPED_TRACE("a file put in the temporary file's place stays");
    const std::string temp = dir.write("t2.fld", "1\n");
    run(temp, [&](Document&) {
      std::filesystem::remove(temp);
      dir.write("t2.fld", "someone else's\n");
    });
    EXPECT_TRUE(fileExists(temp));
  }
  {
    SCOPED_TRACE("without the switch nothing is deleted");
    Document doc(p, p);
    doc.commandLineLoad(parseArguments({mesh, opened}));
  }
  EXPECT_TRUE(fileExists(opened));
}

TEST(LoadModelDialog, ChecksInOrder) {
  auto exists = [](const std::string& s) { return s == "/m.msh" || s == "/a.den"; };
  auto check = [&](LoadDialogValues v) { return validateFileLoad(v, exists); };
  EXPECT_EQ(check({false, "", "", false, "", false})->message, "Mesh file is needed.");
  auto r = check({false, "/x.msh", "/y.den", false, "", false});
  EXPECT_EQ(r->message, "mesh file:\n/x.msh\nnot found.");
  EXPECT_EQ(r->field, kMeshEdit);
  r = check({false, "/m.msh", "/y.den", false, "/z.den", false});
  EXPECT_EQ(r->message, "model file:\n/y.den\nnot found.");
  EXPECT_EQ(r->field, kModelEdit);
  r = check({false, "/m.msh", "/a.den", false, "/z.den", false});
  EXPECT_EQ(r->message, "model file:\n/z.den\nnot found.");
  EXPECT_EQ(r->field, kSecondModelEdit);
  EXPECT_FALSE(check({false, "/m.msh", "", false, "", false}));
}

TEST(SetBackground, IndexOfTheFirstNodeAtOrBelowZero) {
  RectMesh m;
  m.nz = 3;
  m.zNodes = {0, -10, -20, -30};
  EXPECT_EQ(backgroundTopIndex(m, true).topIndex, 0);
  EXPECT_FALSE(backgroundTopIndex(m, true).error);
  m.zNodes = {-5, -10, -20, -30};
  EXPECT_EQ(backgroundTopIndex(m, true).error, "Z does not equal to 0 inside the mesh.");
  EXPECT_FALSE(backgroundTopIndex(m, false).error);
  m.zNodes = {30, 20, 10, 5};
  EXPECT_TRUE(backgroundTopIndex(m, true).error);
  m.zNodes = {25, 5, 0, -20};
  EXPECT_EQ(backgroundTopIndex(m, true).topIndex, 2);
}

TEST(MeshStatistics, TextAndPaddingSection) {
  RectMesh m;
  m.nx = 10;
  m.ny = 10;
  m.nz = 5;
  for (int i = 0; i <= 10; ++i) m.xNodes.push_back(1000 + 10.0 * i + (i == 10 ? 40 : 0));
  for (int i = 0; i <= 10; ++i) m.yNodes.push_back(5000 + 20.0 * i);
  for (int k = 0; k <= 5; ++k) m.zNodes.push_back(100 - 2.5 * k);
  const std::string whole =
      "Mesh Statistics:\n\n"
      "# of cells:  10 x 10 x 5\n"
      "total # of cells:  500\n"
      "mesh dimensions:  140 x 200 x 12.5\n"
      "smallest cell dimensions:  10 x 20 x 2.5\n"
      "largest cell dimensions:  50 x 20 x 2.5\n"
      "top south-west corner:  1000  5000  100\n";
  EXPECT_EQ(meshStatisticsText(m), whole);
  CoreRegion same{0, 0, 0, 10, 10, 5};
  EXPECT_EQ(meshStatisticsText(m, &same), whole);
  CoreRegion core{1, 2, 1, 8, 6, 4};
  EXPECT_EQ(meshStatisticsText(m, &core), whole +
                                              "\nWith padding cells removed:\n\n"
                                              "# of cells:  8 x 6 x 4\n"
                                              "total # of cells:  192\n"
                                              "mesh dimensions:  80 x 120 x 10\n"
                                              "smallest cell dimensions:  10 x 20 x 2.5\n"
                                              "largest cell dimensions:  10 x 20 x 2.5\n"
                                              "top south-west corner:  1010  5040  97.5\n");
}

TEST(Progress, RepaintsOnlyWhenTheWholePercentageChanges) {
  ScriptedPlatform p;
  ProgressReporter::lastPercent = -1;
  {
    ProgressReporter r(p, "/d/m.den");
    r.setTotal(1000);
    for (int c = 0; c <= 1000; ++c) r.report(c);
  }
  ASSERT_EQ(p.progressTitles, std::vector<std::string>{"Loading /d/m.den"});
  EXPECT_EQ(p.progressShown.size(), 101u);
  EXPECT_EQ(p.progressShown.front(), 0);
  EXPECT_EQ(p.progressShown.back(), 100);
  EXPECT_EQ(p.progressEnded, 1);
}

TEST(Rounding, HalvesAwayFromZero) {
  EXPECT_EQ(roundToInt(2.5), 3);
  EXPECT_EQ(roundToInt(-2.5), -3);
  EXPECT_EQ(roundToInt(2.4999), 2);
  EXPECT_EQ(roundToInt(0.49999997f), 0);
  EXPECT_EQ(roundToInt(1e300), 2147483647);
  EXPECT_EQ(roundToInt(std::nan("")), 0);
  EXPECT_EQ(roundDecimals(1.2345, 2), 1.23);
  EXPECT_EQ(roundDecimals(-1.235, 2), -1.24);
  EXPECT_EQ(roundDecimals(1250, -2), 1300);
}

}  // namespace
}  // namespace litho
