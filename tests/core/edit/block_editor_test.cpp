#include "core/edit/block_editor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/io/element_file.h"
#include "core/io/model_writer.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

Element block(int x, int y, int z, int sx, int sy, int sz, bool cuboid = true) {
  Element e;
  e.xIndex = x, e.yIndex = y, e.zIndex = z;
  e.xSize = sx, e.ySize = sy, e.zSize = sz;
  e.cuboid = cuboid;
  return e;
}

TEST(BlockShape, ClampedToTheMeshAndNeverAboveTheActiveTop) {
  const ModelStore s = test::unitStore(6, 5, 4);
  Grid2<int> top;
  top.allocate(6, 5, 0);
  top(5, 0) = 4;  // no active cell
  top(4, 0) = 3;
  {
    SCOPED_TRACE("cut at the east and bottom, starting at row 0 in the south");
    const BlockShape b = blockShape(s.mesh(), top, block(3, 1, 2, 10, 5, 10));
    EXPECT_EQ(b.runs, (std::vector<CellRun>{{3, 0, 2, 4}, {3, 1, 2, 4}, {4, 0, 3, 4}, {4, 1, 2, 4}, {5, 1, 2, 4}}));
    EXPECT_EQ(b.extents, (BlockExtents{3, 6, 0, 2, -2, -4}));
    EXPECT_EQ(b.box, (CellBox{3, 6, 0, 2, 2, 4}));
  }
  {
    SCOPED_TRACE("an ellipsoid of one cell paints it");
    EXPECT_EQ(blockShape(s.mesh(), top, block(2, 2, 1, 1, 1, 1, false)).runs, (std::vector<CellRun>{{2, 2, 1, 2}}));
  }
  {
    SCOPED_TRACE("size 0 and indices on the last nodes paint nothing");
    EXPECT_TRUE(blockShape(s.mesh(), top, block(2, 2, 1, 0, 1, 1)).runs.empty());
    const BlockShape b = blockShape(s.mesh(), top, block(6, -1, 4, 3, 3, 3));
    EXPECT_TRUE(b.runs.empty());
    EXPECT_EQ(b.extents, (BlockExtents{6, 6, 0, 0, -4, -4}));
  }
}

TEST(BlockShape, SlopedCuboidStepsDownEastwardsByTheNearestNode) {
  const ModelStore s = test::unitStore(8, 1, 9);
  Element e = block(0, 0, 2, 8, 1, 2);
  e.slopeX = 5;  // 15 degrees: tan = 0.268 per unit cell
  const BlockShape b = blockShape(s.mesh(), Grid2<int>(), e);
  const int tops[8] = {2, 2, 3, 3, 3, 3, 4, 4};
  ASSERT_EQ(b.runs.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(b.runs[i], (CellRun{i, 0, tops[i], tops[i] + 2})) << i;
  EXPECT_EQ(b.extents, (BlockExtents{0, 8, 0, 1, -2, -6}));
}

// Whatever the fields, every painted cell lies in the mesh and at or below its column's first active cell.
TEST(BlockShape, NeverPaintsOutsideTheMeshOrTheActiveCells) {
  RectMesh m;
  m.nx = 7, m.ny = 6, m.nz = 9;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> width(0.5, 40);
  auto nodes = [&](int n, double start, double sign) {
    std::vector<double> v{start};
    for (int i = 0; i < n; ++i) v.push_back(v.back() + sign * width(rng));
    return v;
  };
  m.xNodes = nodes(m.nx, 1000, 1), m.yNodes = nodes(m.ny, -50, 1), m.zNodes = nodes(m.nz, 30, -1);
  Grid2<int> top;
  top.allocate(m.nx, m.ny);
  std::uniform_int_distribution<int> topOf(0, m.nz), index(-2, 10), size(0, 12), slope(-20, 20);
  for (std::size_t n = 0; n < top.size(); ++n) top.data()[n] = topOf(rng);
  for (int trial = 0; trial < 3000; ++trial) {
    Element e = block(index(rng), index(rng), index(rng), size(rng), size(rng), size(rng), trial % 3 != 0);
    e.slopeX = slope(rng), e.slopeY = slope(rng), e.slopeXY = trial % 2 ? slope(rng) : 0;
    for (const CellRun& r : blockShape(m, top, e).runs) {
      ASSERT_TRUE(r.i >= 0 && r.i < m.nx && r.j >= 0 && r.j < m.ny) << trial;
      ASSERT_TRUE(r.k0 >= top(r.i, r.j) && r.k0 < r.k1 && r.k1 <= m.nz) << trial;
    }
  }
}

// A 6 x 6 x 6 model of unit cells holding its layer index; the bottom layer's mean is 5.
class BlockEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ModelStore s = test::unitStore(6, 6, 6);
    for (int i = 0; i < 6; ++i)
      for (int j = 0; j < 6; ++j)
        for (int k = 0; k < 6; ++k) s.modelData(0)(i, j, k) = static_cast<float>(k);
    s.setRange(0, 5);
    s.computeBottomMean();
    doc.adopt(std::move(s), {});
    view.refresh(ViewRefresh::NewLoad);
    original.assign(doc.currentModel().data(), doc.currentModel().data() + doc.currentModel().size());
  }
  std::unique_ptr<BlockEditor> open() {
    p.yesNoAnswers = {true};
    return openBlockEditor(doc, view.state, view.colours.firstScale, p);
  }
  float committed(int i, int j, int k) { return doc.valuesForEdit(0)(i, j, k); }
  float shown(int i, int j, int k) { return doc.currentModel()(i, j, k); }

  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  std::vector<float> original;
};

TEST_F(BlockEditorTest, OpensWithTheInverseCutoffAndAnUntouchedOkChangesNothing) {
  p.yesNoAnswers = {false};
  EXPECT_FALSE(openBlockEditor(doc, view.state, view.colours.firstScale, p));
  EXPECT_FALSE(doc.blockEditorOpen());
  auto e = open();
  ASSERT_TRUE(e);
  EXPECT_EQ(p.questions.back(), "Are you sure you want to modify the model?");
  EXPECT_TRUE(doc.blockEditorOpen());
  EXPECT_EQ(view.state.displayMin, 5.0f + 0.0001f);
  EXPECT_EQ(view.state.displayMax, 5.0f - 0.0001f);
  EXPECT_EQ(e->block().name, "block 1");
  EXPECT_EQ(e->block().value, 0.1f);
  EXPECT_EQ(shown(3, 3, 0), 0.1f) << "the default block is shown";
  EXPECT_EQ(committed(3, 3, 0), 0.0f);
  EXPECT_EQ(e->statusText(), " X(3, 4)   Y(3, 4)   Z(0, -1)");
  e->ok();
  EXPECT_FALSE(doc.blockEditorOpen());
  EXPECT_TRUE(doc.elements().empty());
  EXPECT_FALSE(doc.modified());
  EXPECT_TRUE(std::equal(original.begin(), original.end(), doc.currentModel().data()));
}

TEST_F(BlockEditorTest, AddSelectDeleteAndClear) {
  auto e = open();
  ASSERT_TRUE(e);
  {
    SCOPED_TRACE("add: block A, cells 0..2 x 0..2 x 1..2 of 7");
    e->setValue(7);
    e->moveSlider(0, 0);
    e->moveSlider(1, 3);  // y index 2
    e->moveSlider(2, 1);
    e->setSizeMode(true);
    e->moveSlider(0, 2);
    e->moveSlider(1, 2);
    e->moveSlider(2, 1);
    EXPECT_EQ(e->sliderPositions(), (std::array<int, 3>{2, 2, 1}));
    e->add();
    ASSERT_EQ(doc.elements().size(), 1u);
    EXPECT_EQ(doc.elements()[0].name, "block 1");
    EXPECT_EQ(e->block().name, "block 2");
    EXPECT_EQ(committed(2, 0, 2), 7.0f);
    EXPECT_EQ(doc.store().range().max, 7.0);
    EXPECT_TRUE(doc.modified());
  }
  {
    SCOPED_TRACE("block B of 9 overlaps A at column (2, 2)");
    e->setValue(9);
    e->setSizeMode(false);
    e->moveSlider(0, 2);
    e->moveSlider(1, 3);
    e->moveSlider(2, 1);
    e->setSizeMode(true);
    e->moveSlider(0, 1);
    e->moveSlider(1, 0);
    e->moveSlider(2, 0);
    e->add();
    EXPECT_EQ(e->names(), (std::vector<std::string>{"block 1", "block 2"}));
    EXPECT_EQ(committed(2, 2, 1), 9.0f);
  }
  {
    SCOPED_TRACE("selecting A erases its region to the background, overlap included, and shows A again");
    e->select(0);
    EXPECT_EQ(e->block().name, "block 1");
    EXPECT_EQ(committed(2, 2, 1), 5.0f);
    EXPECT_EQ(shown(2, 2, 1), 7.0f);
    EXPECT_EQ(committed(3, 2, 1), 9.0f) << "B outside the overlap";
  }
  {
    SCOPED_TRACE("delete removes A from the list and its region from the values");
    e->remove();
    EXPECT_EQ(e->names(), (std::vector<std::string>{"block 2"}));
    EXPECT_EQ(committed(0, 0, 1), 5.0f);
    EXPECT_EQ(shown(0, 0, 1), 5.0f);
  }
  {
    SCOPED_TRACE("clear");
    e->clear();
    EXPECT_TRUE(doc.elements().empty() && e->names().empty());
    EXPECT_EQ(e->block().name, "block 1");
    EXPECT_EQ(committed(3, 2, 1), 5.0f);
    EXPECT_EQ(committed(0, 0, 0), 5.0f);
    EXPECT_EQ(doc.store().range().max, 5.0);
  }
  e->setValue(3);
  e->recompute();
  e->close();
  EXPECT_EQ(shown(3, 3, 0), 5.0f) << "the block not added is lost";
}

TEST_F(BlockEditorTest, SetSnapsToNodesAndPaintsNothingForEqualCoordinates) {
  std::array<double, 6> c{};
  EXPECT_EQ(parseBlockCoordinates({"1", "2", "x", "1", "0", "-1"}, c), "Please enter a number.");
  EXPECT_EQ(parseBlockCoordinates({"1", "2", "inf", "1", "0", "-1"}, c), "Please enter a number.");
  auto e = open();
  e->setCoordinates({-100, 100, 2.4, 4.6, -1.5, -1.5});  // equal Z snaps to one node
  EXPECT_EQ(e->block().xIndex, 0);
  EXPECT_EQ(e->block().xSize, 6);
  EXPECT_EQ(e->block().yIndex, 4);
  EXPECT_EQ(e->block().ySize, 3);
  EXPECT_EQ(e->block().zSize, 0);
  EXPECT_TRUE(std::equal(original.begin(), original.end(), doc.currentModel().data()));
  e->setCoordinates({6, 6, 0, 0, -6, -6});  // the last nodes
  e->add();
  EXPECT_TRUE(std::equal(original.begin(), original.end(), doc.currentModel().data()));
  ASSERT_EQ(doc.elements().size(), 1u);
  const auto read = readElementFile(elementFileText(doc.elements()), "m_loc", 6, 6, 6, p);
  ASSERT_TRUE(read) << p.lastMessageText();
  EXPECT_EQ(*read, doc.elements());
}

}  // namespace
}  // namespace litho
