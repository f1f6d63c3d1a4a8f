#include "core/edit/model_edits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/edit/block_editor.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

std::vector<float> valuesOf(const ModelSet& m) { return {m.data(), m.data() + m.size()}; }

// The mean as written down: every active neighbour with its volume, in double.
float directMean(const RectMesh& m, const Grid2<int>& top, const ModelSet& v, int i, int j, int k) {
  double sum = 0, weight = 0;
  for (int l = std::max(i - 1, 0); l <= std::min(i + 1, m.nx - 1); ++l)
    for (int n = std::max(j - 1, 0); n <= std::min(j + 1, m.ny - 1); ++n)
      for (int c = std::max(top(l, n), k - 1); c <= std::min(k + 1, m.nz - 1); ++c) {
        const double w =
            (m.xNodes[l + 1] - m.xNodes[l]) * (m.yNodes[n + 1] - m.yNodes[n]) * (m.zNodes[c] - m.zNodes[c + 1]);
        sum += v(l, n, c) * w;
        weight += w;
      }
  return static_cast<float>(sum / weight);
}

TEST(Smoothing, MatchesTheDirectVolumeWeightedMeanWithTopography) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> width(0.5, 30), value(-2, 5);
  RectMesh m;
  m.nx = 5, m.ny = 4, m.nz = 7;
  const auto nodes = [&](int n, double sign) {
    std::vector<double> v{0};
    for (int i = 0; i < n; ++i) v.push_back(v.back() + sign * width(rng));
    return v;
  };
  m.xNodes = nodes(m.nx, 1), m.yNodes = nodes(m.ny, 1), m.zNodes = nodes(m.nz, -1);
  Grid2<int> top;
  top.allocate(m.nx, m.ny);
  std::uniform_int_distribution<int> topOf(0, m.nz);
  for (std::size_t n = 0; n < top.size(); ++n) top.data()[n] = topOf(rng);
  top(0, 0) = 0;
  top(2, 1) = m.nz;
  ModelSet in;
  in.allocate(m.nx, m.ny, m.nz);
  for (std::size_t n = 0; n < in.size(); ++n) in.data()[n] = static_cast<float>(value(rng));
  ModelSet out;
  smoothValues(m, top, in, out);
  for (int i = 0; i < m.nx; ++i)
    for (int j = 0; j < m.ny; ++j)
      for (int k = 0; k < m.nz; ++k) {
        SCOPED_TRACE(testing::Message() << i << " " << j << " " << k);
        if (k < top(i, j))
          EXPECT_EQ(out(i, j, k), in(i, j, k)) << "inactive cells are copied";
        else
          EXPECT_FLOAT_EQ(out(i, j, k), directMean(m, top, in, i, j, k));
      }
}

// A model with a second model and a view, as the commands find them.
class ModelEditsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ModelStore s = test::unitStore(4, 3, 5);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> value(0, 3);
    for (std::size_t n = 0; n < s.model(0).size(); ++n) s.modelData(0).data()[n] = value(rng);
    ASSERT_TRUE(s.allocateSecondModel());
    // 1e8 - (1e8 - 0.1) is 0 in single precision, not 0.1.
    for (std::size_t n = 0; n < s.secondModel().size(); ++n) s.secondModelData().data()[n] = 0.1f;
    s.modelData(0)(1, 1, 1) = 1e8f;
    s.setSecondModelLoaded(true);
    s.recomputeRange(Which::First);
    s.recomputeRange(Which::Second);
    s.computeBottomMean();
    doc.adopt(std::move(s), {});
    view.refresh(ViewRefresh::NewLoad);
  }

  struct State {
    std::vector<float> first, second;
    std::vector<Element> elements;
    ValueRange range;
    bool difference;
    bool operator==(const State& o) const {
      return first == o.first && second == o.second && elements == o.elements && range.min == o.range.min &&
             range.max == o.range.max && difference == o.difference;
    }
  };
  // The values as saved: the block editor's committed values while it is open.
  State state() {
    return {valuesOf(doc.valuesForEdit(0)), valuesOf(doc.store().secondModel()), doc.elements(), doc.store().range(),
            doc.differenceShown()};
  }

  test::ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
};

TEST_F(ModelEditsTest, DifferenceTwiceRestoresTheSecondModelExactly) {
  const std::vector<float> second = valuesOf(doc.store().secondModel());
  ASSERT_TRUE(toggleDifference(doc, p));
  EXPECT_TRUE(doc.differenceShown());
  EXPECT_EQ(doc.store().secondModel()(1, 1, 1), 1e8f - 0.1f);
  EXPECT_EQ(doc.store().secondRange().max, 1e8f - 0.1f);
  ASSERT_TRUE(toggleDifference(doc, p));
  EXPECT_FALSE(doc.differenceShown());
  EXPECT_EQ(valuesOf(doc.store().secondModel()), second);
  EXPECT_FLOAT_EQ(doc.store().secondRange().max, 0.1f);
}

TEST_F(ModelEditsTest, CellEditsWriteOnlyChangedValues) {
  const CellProperties c = cellProperties(doc, 2, 1, 3);
  EXPECT_EQ((std::array<double, 6>{c.x0, c.x1, c.y0, c.y1, c.z0, c.z1}), (std::array<double, 6>{2, 3, 1, 2, -3, -4}));
  ASSERT_TRUE(c.secondValue);
  EXPECT_FALSE(setCellValue(doc, 2, 1, 3, c.value));
  EXPECT_FALSE(doc.modified());
  EXPECT_FALSE(doc.history().canUndo());
  EXPECT_TRUE(setCellValue(doc, 2, 1, 3, 2e8f));
  EXPECT_TRUE(doc.modified());
  EXPECT_EQ(doc.store().range().max, 2e8f);
}

TEST_F(ModelEditsTest, SmoothingIsRefusedWhileBlocksAreEdited) {
  p.yesNoAnswers = {true};
  auto editor = openBlockEditor(doc, view.state, view.colours.firstScale, p);
  ASSERT_TRUE(editor);
  EXPECT_FALSE(smoothModel(doc, p));
  EXPECT_EQ(p.messages.back(),
            (test::Recorded{MessageKind::Warning, "Close the \"Add Blocks\" window before smoothing."}));
  editor->close();
  p.yesNoAnswers = {false};
  EXPECT_FALSE(smoothModel(doc, p));
  EXPECT_EQ(p.questions.back(), "Are you sure you want to change the model by smoothing it?");
}

// Every kind of change undone back to the start and redone to the end, exactly.
TEST_F(ModelEditsTest, UndoAndRedoOfEveryKindOfChange) {
  std::vector<State> states{state()};
  std::vector<std::string> names;
  const auto changed = [&](const std::string& name) {
    names.push_back(name);
    states.push_back(state());
    EXPECT_FALSE(states.back() == states[states.size() - 2]) << name << " changed nothing";
  };
  ASSERT_TRUE(setCellValue(doc, 0, 0, 0, -4));
  changed("cell edit");
  p.yesNoAnswers = {true};
  ASSERT_TRUE(smoothModel(doc, p));
  changed("smoothing");
  ASSERT_TRUE(toggleDifference(doc, p));
  changed("difference");
  p.yesNoAnswers = {true};
  auto editor = openBlockEditor(doc, view.state, view.colours.firstScale, p);
  ASSERT_TRUE(editor);
  editor->setValue(9);
  editor->moveSlider(0, 0);
  editor->add();
  changed("block added");
  editor->setValue(8);
  editor->moveSlider(0, 1);
  editor->add();
  changed("second block added");
  editor->select(0);
  changed("first block selected, its region erased");
  editor->remove();
  changed("first block deleted");
  editor->clear();
  changed("cleared");
  ASSERT_TRUE(setCellValue(doc, 3, 2, 4, 6));
  changed("cell edit while blocks are edited");
  ASSERT_EQ(doc.history().size(), names.size());

  for (std::size_t n = names.size(); n-- > 0;) {
    SCOPED_TRACE("undo " + names[n]);
    EXPECT_TRUE(undoChange(doc, p).done);
    EXPECT_TRUE(state() == states[n]);
    EXPECT_EQ(editor->names().size(), doc.elements().size());
  }
  EXPECT_FALSE(doc.history().canUndo());
  for (std::size_t n = 0; n < names.size(); ++n) {
    SCOPED_TRACE("redo " + names[n]);
    EXPECT_TRUE(redoChange(doc, p).done);
    EXPECT_TRUE(state() == states[n + 1]);
  }
  EXPECT_FALSE(doc.history().canRedo());
  EXPECT_TRUE(doc.modified());
}

TEST(UndoHistory, DropsTheOldestStepsBeyondItsBudget) {
  ModelSet m;
  m.allocate(10, 10, 10);
  const auto step = [&](int cells) {
    UndoStep s;
    s.boxes.push_back(snapshotOf(m, {0, cells, 0, 1, 0, 1}));
    return s;
  };
  UndoHistory h;
  h.setBudget(step(10).bytes() * 3);
  for (int n = 0; n < 5; ++n) h.push(step(10));
  EXPECT_EQ(h.size(), 3u);
  EXPECT_LE(h.bytes(), h.budget());
  ASSERT_TRUE(h.undoStep());
  EXPECT_TRUE(h.canRedo());
  h.push(step(1));
  EXPECT_FALSE(h.canRedo()) << "a new change drops what was undone";
  h.setBudget(100);
  h.push(step(10));
  EXPECT_EQ(h.size(), 0u) << "a step beyond the whole budget leaves nothing to undo";
}

}  // namespace
}  // namespace litho
