// Model files through the document: second model, header, vector detection,
// the ignored-value question, element file, reload.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/io/element_file.h"
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

// Values of a 2 x 2 x 3 mesh in file order, one a line.
std::string lines(std::initializer_list<double> v) {
  std::string s;
  char buf[64];
  for (const double x : v) {
    std::snprintf(buf, sizeof buf, "%.9g\n", x);
    s += buf;
  }
  return s;
}

class ModelLoad : public ::testing::Test {
 protected:
  void SetUp() override { mesh = dir.write("m.msh", "2 2 3\n0 0 0\n2*10\n2*10\n3*5\n"); }

  // Loads with the flags set in req; req starts afresh for the next load.
  LoadStatus load(Document& doc, const std::string& model, const std::string& second = {}) {
    req.meshPath = mesh;
    req.modelPath = model;
    req.secondModelPath = second;
    const LoadStatus s = doc.load(req);
    req = {};
    return s;
  }
  LoadRequest req;

  TempDir dir;
  std::string mesh;
  ScriptedPlatform p;
};

TEST_F(ModelLoad, FilesInTheWildLoad) {
  struct Case {
    const char* name;
    std::string text;
  };
  const std::string plain = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n";
  std::string crlf, tabs, extra;
  for (int n = 1; n <= 12; ++n) {
    crlf += std::to_string(n) + "\r\n";
    tabs += "\t  " + std::to_string(n) + "\n";
    extra += std::to_string(n) + " 0.25 density\n";  // three numbers would make a vector model
  }
  for (const Case& c : {Case{"crlf", crlf}, Case{"tabs and leading blanks", tabs}, Case{"extra columns", extra},
                        Case{"no final newline", plain.substr(0, plain.size() - 1)}}) {
    SCOPED_TRACE(c.name);
    ScriptedPlatform q;
    Document doc(q, q);
    ASSERT_EQ(load(doc, dir.write(std::string(c.name) + ".den", c.text)), LoadStatus::Loaded) << q.lastMessageText();
    EXPECT_TRUE(q.messages.empty());
    EXPECT_EQ(doc.currentModel()(1, 1, 2), 12.0f);
    EXPECT_EQ(doc.store().range().min, 1.0);
    EXPECT_EQ(doc.store().range().max, 12.0);
  }
  {
    SCOPED_TRACE("air cells written as nan, and negative zero");
    Document doc(p, p);
    ASSERT_EQ(load(doc, dir.write("air.den", "nan\n-0\n2\nnan\n-0\n4\nnan\n-0\n6\nnan\n-0\n8\n")), LoadStatus::Loaded);
    EXPECT_EQ(doc.store().range().min, 0.0);
    EXPECT_EQ(doc.store().range().max, 8.0);
    EXPECT_TRUE(std::signbit(doc.currentModel()(0, 0, 1)));
    EXPECT_EQ(doc.store().bottomMean(), 5.0f);
    EXPECT_TRUE(p.questions.empty()) << "a smallest value of 0 never asks";
  }
}

TEST_F(ModelLoad, IgnoredValueQuestion) {
  const std::string question = "The model file has cells that are set to  %s.\nWould you like these cells to be ignored?";
  const auto asked = [&](const char* shown) {
    std::string q = question;
    return q.replace(q.find("%s"), 2, shown);
  };
  {
    SCOPED_TRACE("-100 below values of at least 0.01: Yes marks the cells from the top");
    Document doc(p, p);
    p.yesNoAnswers = {true};
    ASSERT_EQ(load(doc, dir.write("a.den", lines({-100, -100, 1, -100, 0.5, -100, 0.01, 2, 3, 4, 5, 6}))),
              LoadStatus::Loaded);
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0], asked("-100"));
    EXPECT_EQ(doc.store().activeMaskSet(), 1);
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 2);  // counting stops at the first greater value
    EXPECT_EQ(doc.store().topActiveIndex()(1, 0), 1);
    EXPECT_EQ(doc.store().topActiveIndex()(0, 1), 0);
    EXPECT_EQ(doc.store().range().min, 0.01f);
    EXPECT_EQ(doc.store().smallestValue(), -100.0);
  }
  {
    SCOPED_TRACE("No keeps every cell and takes s as the minimum");
    ScriptedPlatform q;
    Document doc(q, q);
    q.yesNoAnswers = {false};
    ASSERT_EQ(load(doc, dir.path() + "/a.den"), LoadStatus::Loaded);
    EXPECT_EQ(doc.store().activeMaskSet(), 0);
    EXPECT_EQ(doc.store().range().min, -100.0);
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 0);
  }
  {
    SCOPED_TRACE("all cells equal: asked, and Yes hides every cell");
    ScriptedPlatform q;
    Document doc(q, q);
    q.yesNoAnswers = {true};
    ASSERT_EQ(load(doc, dir.write("same.den", lines({3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3}))), LoadStatus::Loaded);
    EXPECT_EQ(q.questions.size(), 1u);
    EXPECT_EQ(doc.store().topActiveIndex()(1, 1), 3);
    EXPECT_EQ(doc.store().range().min, static_cast<double>(kNoDataValue));
  }
  {
    SCOPED_TRACE("log model: 10^s in the question");
    ScriptedPlatform q;
    Document doc(q, q);
    req.logModel = true;
    q.yesNoAnswers = {false};
    ASSERT_EQ(load(doc, dir.write("log.den", lines({1e-8, 0.01, 0.1, 1, 10, 100, 1, 1, 1, 1, 1, 1}))),
              LoadStatus::Loaded);
    ASSERT_EQ(q.questions.size(), 1u);
    EXPECT_EQ(q.questions[0], asked("1e-08"));
    EXPECT_EQ(doc.store().range().min, -8.0);
  }
  {
    SCOPED_TRACE("a view file's answer: no question, the mask as it was");
    ScriptedPlatform q;
    Document doc(q, q);
    req.ignoreSmallest = true;
    ASSERT_EQ(load(doc, dir.path() + "/a.den"), LoadStatus::Loaded);
    EXPECT_TRUE(q.questions.empty());
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 2);
  }
}

TEST_F(ModelLoad, TinyMinimumBecomesZero) {
  const struct {
    double smallest, largest, expectedMin;
  } cases[] = {{1e-6, 5, 0}, {1e-6, 1e-4, 1e-6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.largest);
    ScriptedPlatform q;
    Document doc(q, q);
    q.yesNoAnswers = {false};
    ASSERT_EQ(load(doc, dir.write("t.den", lines({c.smallest, c.largest, c.largest, c.largest, c.largest, c.largest,
                                                  c.largest, c.largest, c.largest, c.largest, c.largest, c.largest}))),
              LoadStatus::Loaded);
    EXPECT_EQ(doc.store().range().min, static_cast<double>(static_cast<float>(c.expectedMin)));
  }
}

TEST_F(ModelLoad, SecondModel) {
  const std::string first = dir.write("first.den", lines({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  {
    SCOPED_TRACE("loaded: the notice, its range from the true smallest value");
    Document doc(p, p);
    ASSERT_EQ(load(doc, first, dir.write("second.den", lines({-4, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9}))),
              LoadStatus::Loaded);
    EXPECT_TRUE(doc.store().hasSecondModel());
    EXPECT_EQ(doc.store().secondRange().min, -4.0);
    EXPECT_EQ(doc.store().secondRange().max, 9.0);
    EXPECT_EQ(doc.store().secondModel()(1, 1, 2), 9.0f);
    EXPECT_EQ(p.messages, (std::vector<Recorded>{{MessageKind::Info, kTwoModels}}));
  }
  struct Refusal {
    const char* name;
    std::string text;
    std::string message;
  };
  const std::string headed = dir.write("headed.den", "models 1\n" + lines({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  const std::string vector = dir.write("vector.vec", "1 2 3\n");
  const std::string shorter = dir.write("short.den", "1\n2\n");
  const std::string missing = dir.path() + "/missing.den";
  for (const Refusal& r :
       {Refusal{"with a header", headed, "Second model file should contain only one model\n" + headed},
        Refusal{"three numbers a line", vector, "Second model cannot be a vector file.\n" + vector},
        Refusal{"too short", shorter, "Error reading model file " + shorter},
        Refusal{"missing (named on the command line)", missing,
                "There is no such file.\nCannot open second model file\n" + missing}}) {
    SCOPED_TRACE(r.name);
    ScriptedPlatform q;
    Document doc(q, q);
    ASSERT_EQ(load(doc, first, r.text), LoadStatus::Loaded);
    EXPECT_FALSE(doc.store().hasSecondModel());
    EXPECT_TRUE(doc.store().secondModel().empty());
    EXPECT_EQ(doc.currentModel()(1, 1, 2), 12.0f);
    ASSERT_EQ(q.messages.size(), 1u) << "no \"Two models are loaded.\"";
    EXPECT_EQ(q.messages[0].text, r.message);
  }
}

TEST_F(ModelLoad, HeaderAndVectorDetection) {
  {
    SCOPED_TRACE("two models and padding-aware offsets");
    Document doc(p, p);
    // Offsets west east south north bottom top = 1 0 0 0 1 0: one column of two cells per row.
    ASSERT_EQ(load(doc, dir.write("two.den", "models 2 1 0 0 0 1 0\n1\n2\n3\n4\n5\n6\n7\n8\n")), LoadStatus::Loaded);
    EXPECT_EQ(doc.store().modelCount(), 2);
    EXPECT_EQ(doc.store().coreOffsets(), (SideCounts{1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(doc.store().model(1)(1, 1, 1), 8.0f);
    EXPECT_EQ(doc.store().model(1)(0, 1, 1), 0.0f);
    EXPECT_EQ(doc.store().model(0)(1, 0, 2), 0.0f);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_EQ(p.messages[0].text.rfind("2 models have been read from model file.", 0), 0u);
  }
  {
    SCOPED_TRACE("a vector model behind a header, after a modified scalar model with ignored cells");
    ScriptedPlatform q;
    Document doc(q, q);
    q.yesNoAnswers = {true};
    ASSERT_EQ(load(doc, dir.write("a.den", lines({-100, -100, 1, -100, 0.5, -100, 0.01, 2, 3, 4, 5, 6}))),
              LoadStatus::Loaded);
    ASSERT_TRUE(doc.store().activeMaskSet());
    doc.markModified();
    q.questions.clear();
    std::string text = "models 1\n";
    for (int n = 0; n < 12; ++n) text += n == 5 ? "0 0 0\n" : "3 0 4\n";
    ASSERT_EQ(load(doc, dir.write("v.vec", text)), LoadStatus::Loaded);
    EXPECT_FALSE(doc.modified());
    EXPECT_FALSE(doc.store().activeMaskSet());
    EXPECT_EQ(doc.store().topActiveIndex()(0, 0), 0);
    EXPECT_TRUE(doc.isVectorModel());
    ASSERT_EQ(static_cast<std::size_t>(doc.store().modelCount()), 1u);
    EXPECT_FLOAT_EQ(doc.store().vectorComponent(2, 0)(1, 1, 2), 0.8f);
    EXPECT_FLOAT_EQ(static_cast<float>(doc.store().range().max), std::log10(5.0f));
    EXPECT_TRUE(q.questions.empty());
  }
  for (const char* header : {"models\n1\n", "models 100000000\n1\n2\n"}) {
    SCOPED_TRACE(header);
    ScriptedPlatform q;
    Document doc(q, q);
    const std::string path = dir.write("bad.den", header);
    EXPECT_EQ(load(doc, path), LoadStatus::Failed);
    EXPECT_FALSE(doc.modelLoaded());
    EXPECT_TRUE(doc.store().empty() && doc.mesh().empty());
    EXPECT_NE(q.lastMessageText().find(path), std::string::npos);
  }
}

TEST_F(ModelLoad, ElementFile) {
  const std::string model = dir.write("e.den", lines({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  dir.write("e.den_loc",
            "2\nbody one\n0 1 0  1 1 2  -3 4 5  2.5  1\r\n"
            "old body\r\n1 0 1  1 1 1  0 0  -1.5  0\n");
  Document doc(p, p);
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded);
  ASSERT_EQ(doc.elements().size(), 2u);
  EXPECT_EQ(doc.elements()[0].name, "body one");
  EXPECT_EQ(doc.elements()[0].slopeXY, 5);
  EXPECT_EQ(doc.elements()[0].value, 2.5f);
  EXPECT_TRUE(doc.elements()[0].cuboid);
  EXPECT_EQ(doc.elements()[1].name, "old body");
  EXPECT_EQ(doc.elements()[1].slopeXY, 0);
  EXPECT_FALSE(doc.elements()[1].cuboid);
  EXPECT_TRUE(p.messages.empty());

  SCOPED_TRACE("a bad element file is reported and the model still loads");
  dir.write("e.den_loc", "1\nbody\n0 0 0  9 9 9\n");
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded);
  EXPECT_TRUE(doc.elements().empty());
  EXPECT_EQ(p.messages.back().kind, MessageKind::Warning);
  EXPECT_NE(p.lastMessageText().find(model + "_loc"), std::string::npos);
}

// The eleven-field pattern reads an older line's "2.5 0" as XY slope 2 and value .5.
TEST(ElementFile, readOlderLineWithValueAboveOneKeepsItsValue) {
  ScriptedPlatform p;
  const auto e = readElementFile("1\nb\n1 2 3  1 1 1  4 5  2.5  1\n", "/d/m_loc", 10, 10, 10, p);
  ASSERT_TRUE(e);
  ASSERT_EQ(e->size(), 1u);
  EXPECT_EQ((*e)[0].value, 2.5f);
  EXPECT_EQ((*e)[0].slopeXY, 0);
  EXPECT_EQ((*e)[0].slopeY, 5);
  for (const char* bad : {"", "x\n", "2\nonly one\n0 0 0  1 1 1  0 0 0  1  1\n", "1\noutside\n10 0 0  1 1 1  0 0 0  1  1\n"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(readElementFile(bad, "/d/m_loc", 10, 10, 10, p));
  }
}

TEST_F(ModelLoad, Reload) {
  const std::string model = dir.write("r.den", lines({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  Document doc(p, p);
  std::optional<ViewRefresh> hint;
  doc.updateAllViews = [&](ViewRefresh h) { hint = h; };
  ASSERT_EQ(load(doc, model), LoadStatus::Loaded);
  doc.editStore().topActiveData()(0, 0) = 1;  // cells above the topography stay out of the range
  doc.markModified();
  dir.write("r.den", lines({-50, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
  EXPECT_EQ(doc.reload(), LoadStatus::Loaded);
  EXPECT_EQ(hint, ViewRefresh::Reload);
  EXPECT_TRUE(doc.modelLoaded());
  EXPECT_FALSE(doc.modified());
  EXPECT_EQ(doc.currentModel()(1, 1, 2), 120.0f);
  EXPECT_EQ(doc.store().range().min, 20.0);
  EXPECT_EQ(doc.store().range().max, 120.0);

  struct Case {
    const char* name;
    std::string text;
  };
  for (const Case& c : {Case{"a read error", "1\n2\n"}, Case{"now two models", "models 2\n" + lines({1, 2})},
                        Case{"now a vector model", "1 2 3\n"}}) {
    SCOPED_TRACE(c.name);
    p.messages.clear();
    dir.write("r.den", c.text);
    EXPECT_EQ(doc.reload(), LoadStatus::Failed);
    EXPECT_EQ(p.messages.size(), 1u);
    EXPECT_TRUE(doc.modelLoaded()) << "the loaded model stays";
    EXPECT_EQ(doc.currentModel()(1, 1, 2), 120.0f);
  }

  SCOPED_TRACE("a vector model rereads vectors");
  std::string text;
  for (int n = 0; n < 12; ++n) text += "0 0 2\n";
  const std::string vec = dir.write("v.vec", text);
  ASSERT_EQ(load(doc, vec), LoadStatus::Loaded);
  text.replace(0, 5, "0 3 0");
  dir.write("v.vec", text);
  EXPECT_EQ(doc.reload(), LoadStatus::Loaded);
  EXPECT_TRUE(doc.isVectorModel());
  EXPECT_EQ(doc.store().vectorComponent(1, 0)(0, 0, 0), 1.0f);
  EXPECT_FLOAT_EQ(doc.store().model(0)(0, 0, 0), std::log10(3.0f));
}

}  // namespace
}  // namespace litho
