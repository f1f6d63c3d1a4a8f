// Octree mesh and model files: the readers, the tiling check and the load
// through the document.
#include "core/io/octree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "core/load/command_line.h"
#include "core/load/document.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::Recorded;
using test::ScriptedPlatform;
using test::TempDir;

const std::string kTwoModels =
    "Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.";

bool readMesh(const std::string& text, OctreeMesh& out, ScriptedPlatform& p, const MeshLimits& limits = {}) {
  LineSource in(text);
  return readOctreeMesh(in, "o.msh", out, p, p, limits);
}

std::string prefix() { return "Error reading octree mesh:\no.msh\n"; }

TEST(OctreeMeshReader, ReadsHeaderAndCells) {
  ScriptedPlatform p;
  OctreeMesh o;
  ASSERT_TRUE(readMesh("2 2 4\r\n10 20 30\n5 6 7.5\n3\n1 1 1 2\n1 1 3 2\n  1\t1 4 1 extra\n", o, p));
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(o.nx, 2);
  EXPECT_EQ(o.nz, 4);
  ASSERT_EQ(o.cells.size(), 3u);
  EXPECT_EQ(o.cells[1].k, 3);
  EXPECT_EQ(o.cells[2].size, 1);
  EXPECT_EQ(p.progressTitles, std::vector<std::string>{"Loading o.msh"});

  const RectMesh m = octreeRectMesh(o);
  EXPECT_EQ(m.xNodes, (std::vector<double>{10, 15, 20}));
  EXPECT_EQ(m.yNodes, (std::vector<double>{20, 26, 32}));
  EXPECT_EQ(m.zNodes, (std::vector<double>{30, 22.5, 15, 7.5, 0}));

  SCOPED_TRACE("numbers as %i reads them: hexadecimal and octal");
  ASSERT_TRUE(readMesh("0x2 010 2\n0 0 0\n1 1 1\n1\n1 1 1 0x2\n", o, p));
  EXPECT_EQ(o.ny, 8);
  EXPECT_EQ(o.cells[0].size, 2);
}

TEST(OctreeMeshReader, EveryFailureNamesTheFileAndTheLine) {
  struct Case {
    const char* name;
    std::string text;
    std::string message;
  };
  const Case cases[] = {
      {"two counts", "2 2\n", "Expecting: nx ny nz of the underlying mesh.\n2 2"},
      {"count beyond int", "99999999999 1 1\n", "Expecting: nx ny nz of the underlying mesh.\n99999999999 1 1"},
      {"counts whose product overflows", "2000000000 2000000000 2000000000\n",
       "The underlying mesh has too many cells.\n2000000000 2000000000 2000000000"},
      {"zero count", "2 0 2\n", "# of cells in the underlying mesh should be positive.\n2 0 2"},
      {"no corner", "1 1 1\nnorth\n1 1 1\n1\n1 1 1 1\n", "Expecting: x0 y0 z0 of the top south-west corner.\nnorth"},
      {"zero width", "1 1 1\n0 0 0\n1 0 1\n1\n1 1 1 1\n", "Cell width should be positive.\n1 0 1"},
      {"width not a number", "1 1 1\n0 0 0\n1 nan 1\n1\n", "Cell width should be positive.\n1 nan 1"},
      {"coordinates overflow", "2 1 1\n0 0 0\n1e308 1 1\n1\n", "Mesh coordinates out of range.\n1e308 1 1"},
      {"widths lost in the round-off of the corner", "2 1 1\n4.4e17 0 0\n5 1 1\n1\n",
       "Cell width is too small for the coordinates of the corner.\n5 1 1"},
      {"no cells", "1 1 1\n0 0 0\n1 1 1\n0\n", "Need more than 1 cell in the octree mesh file.\n0"},
      {"cell count missing", "1 1 1\n0 0 0\n1 1 1\n\n", "Need more than 1 cell in the octree mesh file.\n"},
      {"short cell line", "2 1 1\n0 0 0\n1 1 1\n2\n1 1 1 1\n2 1 1\n", "2 1 1"},
      {"letters", "2 1 1\n0 0 0\n1 1 1\n2\n1 1 1 1\n2 1 x 1\n", "2 1 x 1"},
      {"fewer lines than cells", "2 1 1\n0 0 0\n1 1 1\n2\n1 1 1 1\n", "The file ends before the last octree cell.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPlatform p;
    OctreeMesh o;
    EXPECT_FALSE(readMesh(c.text, o, p));
    EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Error, prefix() + c.message}}));
    EXPECT_TRUE(o.cells.empty());
  }
  SCOPED_TRACE("a mesh too large for the program or for memory");
  MeshLimits small;
  small.maxCells = 1000;
  ScriptedPlatform p;
  OctreeMesh o;
  EXPECT_FALSE(readMesh("10 10 11\n", o, p, small));
  EXPECT_EQ(p.lastMessageText(), prefix() + "The underlying mesh has too many cells.\n10 10 11");
  small.maxBytes = 600;
  EXPECT_FALSE(readMesh("5 5 5\n", o, p, small));
  EXPECT_EQ(p.lastMessageText(), prefix() +
                                     "Not enough memory for a model of 5 x 5 x 5 cells: 744 bytes are needed, 600 "
                                     "bytes are available.\n5 5 5");
}

// Cubes as "i j k s" lines on an nx x ny x nz mesh.
OctreeMesh octree(int nx, int ny, int nz, std::vector<OctreeCell> cells) {
  OctreeMesh o;
  o.nx = nx;
  o.ny = ny;
  o.nz = nz;
  o.dx = o.dy = o.dz = 1;
  o.cells = std::move(cells);
  return o;
}

TEST(OctreeTiling, CubesMustCoverEveryCellOnce) {
  struct Case {
    const char* name;
    OctreeMesh mesh;
    bool tiles;
  };
  const Case cases[] = {
      {"one cube over the whole mesh", octree(4, 4, 4, {{1, 1, 1, 4}}), true},
      {"holes", octree(2, 2, 2, {{1, 1, 1, 1}, {2, 2, 2, 1}}), false},
      {"eight cubes of one", octree(2, 2, 2, {{1, 1, 1, 1}, {2, 1, 1, 1}, {1, 2, 1, 1}, {2, 2, 1, 1}, {1, 1, 2, 1},
                                              {2, 1, 2, 1}, {1, 2, 2, 1}, {2, 2, 2, 1}}),
       true},
      {"two cubes sharing one cell", octree(3, 3, 3, {{1, 1, 1, 2}, {2, 2, 2, 2}}), false},
      {"the same cube twice", octree(1, 1, 2, {{1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 2, 1}}), false},
      {"a cube reaching past the east side", octree(3, 2, 2, {{1, 1, 1, 2}, {3, 1, 1, 2}}), false},
      {"index 0", octree(1, 1, 1, {{0, 1, 1, 1}}), false},
      {"an empty cube", octree(1, 1, 1, {{1, 1, 1, 1}, {1, 1, 1, 0}}), false},
      {"a cube whose far edge overflows", octree(2, 2, 2, {{2, 2, 2, 2147483647}}), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPlatform p;
    ModelSet scratch;
    scratch.allocate(c.mesh.nx, c.mesh.ny, c.mesh.nz);
    EXPECT_EQ(checkOctreeTiling(c.mesh, scratch, p), c.tiles);
    if (c.tiles)
      EXPECT_TRUE(p.messages.empty());
    else
      EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Error, "Octree mesh error."}}));
  }
}

struct ScalarRead {
  bool ok;
  ModelSet set;
  OctreeRange range;
  Grid2<int> top;
};

ScalarRead readScalar(const OctreeMesh& o, const std::string& text, bool log, ScriptedPlatform& p) {
  ScalarRead r;
  r.set.allocate(o.nx, o.ny, o.nz);
  LineSource in(text);
  r.ok = readOctreeScalarModel(in, "o.den", o, r.set, log, r.range, r.top, p, p);
  return r;
}

TEST(OctreeScalarModel, ValuesFillTheirCubesAndAirIsCountedFromTheTop) {
  const OctreeMesh o = octree(2, 2, 2, {{1, 1, 1, 1}, {2, 1, 1, 1}, {1, 2, 1, 1}, {2, 2, 1, 1}, {1, 1, 2, 1},
                                        {2, 1, 2, 1}, {1, 2, 2, 1}, {2, 2, 2, 1}});
  {
    SCOPED_TRACE("log10 values; 1e-8 (log -8) is air, counted until the first value above -7");
    ScriptedPlatform p;
    const ScalarRead r = readScalar(o, "1e-8\n1e-8\n0.1\n1e-8\n1e-8\n10\n1e-8\n100\n", true, p);
    ASSERT_TRUE(r.ok) << p.lastMessageText();
    EXPECT_EQ(r.top(0, 0), 2);
    EXPECT_EQ(r.top(1, 0), 1);
    EXPECT_EQ(r.top(0, 1), 0) << "counting stops at the first value above the threshold";
    EXPECT_EQ(r.top(1, 1), 1);
    EXPECT_FLOAT_EQ(r.set(0, 1, 0), -1.0f);
    EXPECT_FLOAT_EQ(r.set(1, 1, 0), -8.0f);
    EXPECT_EQ(r.range.minimum, -1.0) << "air takes no part in the range";
    EXPECT_EQ(r.range.maximum, 2.0);
  }
  {
    SCOPED_TRACE("without log -999 is air and -998.5 is not");
    ScriptedPlatform p;
    const ScalarRead r = readScalar(o, "-999\n-998.5\n-1e4\n3\n-999\n1\n2\n4\n", false, p);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.top(0, 0), 2);
    EXPECT_EQ(r.top(1, 0), 0);
    EXPECT_EQ(r.range.minimum, -998.5);
    EXPECT_EQ(r.range.maximum, 4.0);
  }
  {
    SCOPED_TRACE("one cube of two over the whole mesh");
    ScriptedPlatform p;
    const ScalarRead r = readScalar(octree(2, 2, 2, {{1, 1, 1, 2}}), "2.5\n\n7\n", false, p);
    ASSERT_TRUE(r.ok) << "lines after the last cell are not read, as in other model files";
    EXPECT_TRUE(p.messages.empty());
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 2; ++k) EXPECT_EQ(r.set(i, j, k), 2.5f);
  }
}

TEST(OctreeScalarModel, BadFilesAreReported) {
  const OctreeMesh o = octree(1, 1, 2, {{1, 1, 1, 1}, {1, 1, 2, 1}});
  struct Case {
    const char* name;
    std::string text;
    bool log;
    std::string message;
  };
  const std::string error = "Error reading model file o.den";
  const Case cases[] = {
      {"a line without a number", "1\nabc\n", false, error},
      {"one line short", "1\n", false, error},
      {"log of zero", "1\n0\n", true, "Cannot take log of a negative number.\n" + error},
      {"log of a negative value", "-3\n1\n", true, "Cannot take log of a negative number.\n" + error},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedPlatform p;
    const ScalarRead r = readScalar(o, c.text, c.log, p);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Error, c.message}}));
    EXPECT_TRUE(r.top.empty()) << "the active cells are only written after a whole read";
  }
}

TEST(OctreeVectorModel, UnitComponentsAndLogAmplitudes) {
  const OctreeMesh o = octree(2, 2, 3, {{1, 1, 1, 2}, {1, 1, 3, 1}, {2, 1, 3, 1}, {1, 2, 3, 1}, {2, 2, 3, 1}});
  ModelSet a, x, y, z;
  for (ModelSet* s : {&a, &x, &y, &z}) s->allocate(2, 2, 3);
  ScriptedPlatform p;
  LineSource in("0 -10 0\n3 0 4\n0 0 0\n0 0 1e-3\n0 0 100\n");
  OctreeRange r;
  ASSERT_TRUE(readOctreeVectorModel(in, "o.vec", o, a, x, y, z, false, r, p, p)) << p.lastMessageText();
  EXPECT_TRUE(p.messages.empty()) << "no note about log scales";
  EXPECT_FLOAT_EQ(y(1, 1, 1), -1.0f) << "the cube of two fills its cells";
  EXPECT_FLOAT_EQ(a(1, 1, 1), 1.0f);
  EXPECT_FLOAT_EQ(a(0, 0, 2), std::log10(5.0f));
  EXPECT_FLOAT_EQ(x(0, 0, 2), 0.6f);
  EXPECT_FLOAT_EQ(z(0, 0, 2), 0.8f);
  EXPECT_EQ(a(1, 0, 2), 0.0f) << "a zero vector";
  EXPECT_EQ(x(1, 0, 2), 0.0f);
  EXPECT_FLOAT_EQ(r.minimum, -3.0) << "zero vectors are left out of the range";
  EXPECT_EQ(r.maximum, 2.0);

  LineSource bad("3 0 4\n1 2\n");
  EXPECT_FALSE(readOctreeVectorModel(bad, "o.vec", o, a, x, y, z, false, r, p, p));
  EXPECT_EQ(p.lastMessageText(), "Error reading vector file o.vec");
}

TEST(OctreeSyntheticModel, BiggerCubesGetBiggerValues) {
  const OctreeMesh o = octree(4, 4, 4, {{1, 1, 1, 2}, {3, 1, 1, 2}, {1, 3, 1, 2}, {3, 3, 1, 2}, {1, 1, 3, 2},
                                        {3, 1, 3, 2}, {1, 3, 3, 2}, {3, 3, 3, 1}, {4, 3, 3, 1}, {3, 4, 3, 1},
                                        {4, 4, 3, 1}, {3, 3, 4, 1}, {4, 3, 4, 1}, {3, 4, 4, 1}, {4, 4, 4, 1}});
  ModelSet m;
  m.allocate(4, 4, 4);
  OctreeRange r;
  syntheticOctreeModel(o, m, r);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 4; ++k) {
        const bool small = i >= 2 && j >= 2 && k >= 2;
        const float v = m(i, j, k);
        SCOPED_TRACE(testing::Message() << i << " " << j << " " << k);
        // log10(s) .. log10(1.9 s)
        EXPECT_GE(v, small ? 0.0f : std::log10(2.0f));
        EXPECT_LE(v, small ? std::log10(1.9f) : std::log10(3.8f));
        EXPECT_GE(v, r.minimum);
        EXPECT_LE(v, r.maximum);
      }
  EXPECT_EQ(m(0, 0, 0), m(1, 1, 1)) << "one value per cube";
  EXPECT_LT(r.minimum, r.maximum);
}

// --- through the document ------------------------------------------------------

class OctreeLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    // A 2 x 2 x 4 mesh: a cube of two at the top, eight cubes of one below.
    mesh = dir.write("o.msh",
                     "2 2 4\n100 200 50\n10 20 5\n9\n1 1 1 2\n"
                     "1 1 3 1\n2 1 3 1\n1 2 3 1\n2 2 3 1\n1 1 4 1\n2 1 4 1\n1 2 4 1\n2 2 4 1\n");
  }
  LoadStatus load(Document& doc, const std::string& model, const std::string& second = {}) {
    req.octree = true;
    req.meshPath = mesh;
    req.modelPath = model;
    req.secondModelPath = second;
    return doc.load(req);
  }
  void expectEmpty(const Document& doc) {
    EXPECT_FALSE(doc.modelLoaded());
    EXPECT_TRUE(doc.mesh().empty());
    EXPECT_TRUE(doc.store().empty());
    EXPECT_TRUE(doc.store().topActiveIndex().empty());
  }

  TempDir dir;
  std::string mesh;
  ScriptedPlatform p;
  LoadRequest req;
};

TEST_F(OctreeLoad, ModelWithAirOnTheUnderlyingMesh) {
  Document doc(p, p);
  req.logModel = true;
  doc.setElements({Element{}});
  doc.editStore().setCoreOffsets({1, 1, 1, 1, 1, 1});
  const std::string model = dir.write("o.con", "1e-8\n0.01\n1e-9\n0.1\n1e-8\n1\n1\n1\n1\n");
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded) << p.lastMessageText();
  EXPECT_TRUE(p.messages.empty());
  EXPECT_TRUE(doc.modelLoaded());
  EXPECT_EQ(doc.mesh().xNodes, (std::vector<double>{100, 110, 120}));
  EXPECT_EQ(doc.mesh().zNodes, (std::vector<double>{50, 45, 40, 35, 30}));
  EXPECT_EQ(doc.currentModel()(1, 1, 1), -8.0f) << "the top cube fills two layers";
  EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 2);
  EXPECT_EQ(doc.store().topActiveIndex()(1, 0), 3) << "1e-9 in the cell below the air cube";
  EXPECT_EQ(doc.store().topActiveIndex()(0, 1), 2);
  EXPECT_EQ(doc.store().topActiveIndex()(1, 1), 3);
  EXPECT_EQ(doc.store().activeMaskSet(), 1);
  EXPECT_EQ(doc.store().range().min, -2.0);
  EXPECT_EQ(doc.store().range().max, 0.0);
  EXPECT_TRUE(doc.elements().empty()) << "blocks of the previous model are gone";
  EXPECT_EQ(doc.store().coreOffsets(), (std::array<int, 6>{})) << "octree models have no padding header";
  EXPECT_EQ(doc.title(), model);
  EXPECT_EQ(p.folder, dir.path());
  EXPECT_TRUE(doc.octreeModelFile());
}

TEST_F(OctreeLoad, SecondModelReplacesTheActiveCells) {
  const std::string first = dir.write("a.con", "1e-8\n1\n1\n1\n1\n1\n1\n1\n1\n");
  {
    Document doc(p, p);
    req.logModel = req.logSecondModel = true;
    const std::string noAir = dir.write("n.con", "3\n1\n1\n1\n1\n1\n1\n1\n1\n");
    const std::string second = dir.write("b.con", "1e-8\n1e-8\n2\n1e-8\n4\n5\n6\n7\n8\n");
    ASSERT_EQ(load(doc, noAir, second), LoadStatus::Loaded) << p.lastMessageText();
    EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Info, kTwoModels}}));
    EXPECT_TRUE(doc.store().hasSecondModel());
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 3) << "the second model's air decides";
    EXPECT_EQ(doc.store().topActiveIndex()(1, 0), 2);
    EXPECT_EQ(doc.store().topActiveIndex()(0, 1), 3);
    EXPECT_EQ(doc.store().topActiveIndex()(1, 1), 2);
    EXPECT_EQ(doc.store().activeMaskSet(), 1);
    EXPECT_FLOAT_EQ(doc.store().secondRange().min, std::log10(2.0f));
    EXPECT_FLOAT_EQ(doc.store().secondRange().max, std::log10(8.0f));
    EXPECT_FLOAT_EQ(doc.store().range().max, std::log10(3.0f));

    ScriptedPlatform q;
    Document air(q, q);
    req.logModel = req.logSecondModel = true;
    ASSERT_EQ(load(air, first, noAir), LoadStatus::Loaded);
    EXPECT_EQ(air.store().topActiveIndex()(0, 0), 0) << "the first model's air cube no longer counts";
    EXPECT_EQ(air.store().activeMaskSet(), 0);
  }
  {
    SCOPED_TRACE("a failed second model leaves the first alone");
    ScriptedPlatform q;
    Document doc(q, q);
    req.logModel = req.logSecondModel = true;
    const std::string bad = dir.write("bad.con", "1\n2\n0\n1\n1\n1\n1\n1\n1\n");
    ASSERT_EQ(load(doc, first, bad), LoadStatus::Loaded);
    EXPECT_EQ(q.messages,
              (std::vector<Recorded>{{MessageKind::Error, "Cannot take log of a negative number.\nError reading model "
                                                          "file " + bad}}));
    EXPECT_FALSE(doc.store().hasSecondModel());
    EXPECT_TRUE(doc.store().secondModel().empty());
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 2);
  }
  {
    SCOPED_TRACE("a vector file is no second model");
    ScriptedPlatform q;
    Document doc(q, q);
    const std::string vec = dir.write("v.vec", "1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n");
    ASSERT_EQ(load(doc, first, vec), LoadStatus::Loaded);
    EXPECT_EQ(q.messages,
              (std::vector<Recorded>{{MessageKind::Plain, "Second model cannot be a vector file.\n" + vec}}));
    EXPECT_FALSE(doc.store().hasSecondModel());
  }
}

TEST_F(OctreeLoad, WithoutModelFileTheModelIsMadeUpInLog10) {
  Document doc(p, p);
  req.logModel = false;
  ASSERT_EQ(load(doc, ""), LoadStatus::Loaded);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.backgroundDialogsShown, 0);
  EXPECT_TRUE(doc.logModel()) << "shown as log10 values although Log was not ticked";
  EXPECT_GT(doc.currentModel()(0, 0, 0), doc.currentModel()(0, 0, 3)) << "the cube of two is bigger";
  EXPECT_EQ(doc.store().activeMaskSet(), 0);
  EXPECT_EQ(doc.title(), mesh);
  EXPECT_FALSE(doc.octreeModelFile());
}

TEST_F(OctreeLoad, VectorModel) {
  Document doc(p, p);
  const std::string model = dir.write("o.vec", "0 0 -2\n1 0 0\n0 1 0\n0 0 0\n1 1 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n");
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded) << p.lastMessageText();
  EXPECT_TRUE(doc.isVectorModel());
  ASSERT_EQ(static_cast<std::size_t>(doc.store().modelCount()), 1u);
  EXPECT_EQ(doc.store().vectorComponent(2, 0)(1, 1, 1), -1.0f);
  EXPECT_FLOAT_EQ(doc.currentModel()(0, 0, 0), std::log10(2.0f));
  EXPECT_EQ(doc.store().range().min, 0.0);
}

TEST_F(OctreeLoad, FailuresLeaveNothing) {
  {
    SCOPED_TRACE("overlapping cubes");
    ScriptedPlatform q;
    Document doc(q, q);
    mesh = dir.write("overlap.msh", "2 2 2\n0 0 0\n1 1 1\n2\n1 1 1 2\n2 2 2 1\n");
    EXPECT_EQ(load(doc, ""), LoadStatus::Failed);
    EXPECT_EQ(q.lastMessageText(), "Octree mesh error.");
    expectEmpty(doc);
  }
  {
    SCOPED_TRACE("a model line without a number");
    ScriptedPlatform q;
    Document doc(q, q);
    mesh = dir.write("one.msh", "2 2 2\n0 0 0\n1 1 1\n1\n1 1 1 2\n");
    const std::string model = dir.write("bad.den", "x\n");
    EXPECT_EQ(load(doc, model), LoadStatus::Failed);
    EXPECT_EQ(q.lastMessageText(), "Error reading model file " + model);
    expectEmpty(doc);
  }
  {
    SCOPED_TRACE("missing files end the program");
    ScriptedPlatform q;
    Document doc(q, q);
    mesh = dir.path() + "/none.msh";
    EXPECT_EQ(load(doc, ""), LoadStatus::Fatal);
    EXPECT_EQ(q.lastMessageText(), "File not found: " + mesh);
    mesh = dir.path() + "/one.msh";
    EXPECT_EQ(load(doc, dir.path() + "/none.den"), LoadStatus::Fatal);
    EXPECT_EQ(q.lastMessageText(), "File not found: " + dir.path() + "/none.den");
    expectEmpty(doc);
  }
}

TEST_F(OctreeLoad, CommandLineAndOpenRunTheOctreeLoad) {
  const std::string model = dir.write("o.den", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
  {
    Document doc(p, p);
    ASSERT_EQ(doc.startUp({mesh, model, "/octree"}), LoadStatus::Loaded) << p.lastMessageText();
    EXPECT_EQ(doc.currentModel()(1, 1, 3), 9.0f);
  }
  {
    ScriptedPlatform q;
    Document doc(q, q);
    std::optional<ViewRefresh> hint;
    doc.updateAllViews = [&](ViewRefresh h) { hint = h; };
    q.loadDialogAnswers = {LoadDialogValues{true, mesh, model, false, "", false}};
    ASSERT_EQ(doc.open(), LoadStatus::Loaded) << q.lastMessageText();
    EXPECT_TRUE(doc.octreeMode());
    EXPECT_EQ(doc.currentModel()(0, 0, 1), 1.0f);
    EXPECT_EQ(hint, ViewRefresh::NewLoad);
  }
}

TEST_F(OctreeLoad, ReloadRereadsTheCubes) {
  const std::string model = dir.write("o.den", "1\n2\n3\n4\n5\n6\n7\n8\n9\n");
  Document doc(p, p);
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded);
  std::ofstream(model) << "-999\n2\n3\n4\n5\n6\n7\n8\n90\n";
  ASSERT_EQ(doc.reload(), LoadStatus::Loaded) << p.lastMessageText();
  EXPECT_EQ(doc.currentModel()(1, 1, 3), 90.0f);
  EXPECT_EQ(doc.currentModel()(1, 1, 1), -999.0f) << "values go into their cubes, not in file order";
  EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 2);
  EXPECT_EQ(doc.store().range().max, 90.0);

  SCOPED_TRACE("a failed reread keeps the model");
  std::ofstream(model) << "1\n2\n";
  EXPECT_EQ(doc.reload(), LoadStatus::Failed);
  EXPECT_EQ(p.lastMessageText(), "Error reading model file " + model);
  EXPECT_TRUE(doc.modelLoaded());
  EXPECT_EQ(doc.currentModel()(1, 1, 3), 90.0f);
  std::ofstream(mesh) << "3 2 4\n0 0 0\n1 1 1\n1\n1 1 1 2\n";
  EXPECT_EQ(doc.reload(), LoadStatus::Failed);
  EXPECT_EQ(p.lastMessageText(),
            "The octree mesh file now describes a different mesh.\nUse Open to load it.\n" + mesh);
  EXPECT_TRUE(doc.modelLoaded());
}

}  // namespace
}  // namespace litho
