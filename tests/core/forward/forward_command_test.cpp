#include "core/forward/forward_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/forward/forward_program.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho::forward {
namespace {

using test::ScriptedPlatform;

std::string readText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class ForwardCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string model;
    for (int c = 0; c < 24; ++c) model += c == 5 ? "1.5\n" : "0\n";
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "4 3 2\n0 0 0\n4*10\n3*10\n2*10\n");
    req.modelPath = dir.write("m.den", model);
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    env.runDialog = [this](Survey, ForwardSettings& s) {
      ++dialogs;
      s = settings ? *settings : s;
      return static_cast<bool>(settings);
    };
    env.locate = [this](const std::string& name) { return name == missing ? std::string() : "/opt/" + name; };
    env.beep = [this] { ++beeps; };
    env.done = [this] { ++done; };
  }
  std::string dataPath(Survey s) const { return dir.path() + "/" + dataFileName(s); }

  test::TempDir dir;
  ScriptedPlatform p;
  Document doc{p, p};
  ForwardMemory memory;
  ForwardEnvironment env;
  std::optional<ForwardSettings> settings = ForwardSettings{};
  std::string missing;
  int dialogs = 0, beeps = 0, done = 0;
};

TEST_F(ForwardCommandTest, gravityRunWritesLocationsAndLoadsTheResultAsTheOnlyDataSet) {
  settings = memory.settings(Survey::Gravity, doc.mesh());
  doc.setDataSets(std::vector<DataSet>(2));
  runForwardCommand(doc, Survey::Gravity, memory, p, env);
  ASSERT_EQ(p.programsStarted, std::vector<std::string>{"/opt/oskrine"});
  EXPECT_EQ(p.programArgs[0], (std::vector<std::string>{doc.meshPath(), "obs.loc", doc.modelPath()}));
  EXPECT_TRUE(doc.dataSets().empty());
  EXPECT_EQ(readText(dir.path() + "/obs.loc").substr(0, 30), "12   !! grid 4 3\n5 5 1\n5 15 1\n");

  std::ofstream(dataPath(Survey::Gravity)) << "3\n0 0 1 0.5\n10 0 1 0.7\n0 10 1 0.2\n";
  p.finishProgram(0);
  ASSERT_EQ(doc.dataSets().size(), 1u);
  EXPECT_EQ(doc.dataSets()[0].plottingMethod, kPlotSurface);
  EXPECT_FLOAT_EQ(doc.dataSets()[0].plottingValue, 0.8f);
  EXPECT_EQ(doc.dataSets()[0].points.size(), 3u);
  EXPECT_EQ(p.programsStarted.back(), "/opt/quendelplot");
  EXPECT_EQ(p.programArgs.back(), std::vector<std::string>{"oskrine.grv"});
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(done, 1);
  EXPECT_TRUE(p.messages.empty());
  EXPECT_EQ(p.waitCursorDepth, 0);
}

TEST_F(ForwardCommandTest, failuresAndRefusals) {
  {
    SCOPED_TRACE("unsaved edits");
    doc.markModified();
    runForwardCommand(doc, Survey::Magnetics, memory, p, env);
    EXPECT_EQ(p.lastMessageText(), "Model must be saved first before forward modelling.");
    EXPECT_EQ(dialogs, 0);
  }
  Document fresh{p, p};
  LoadRequest req = doc.files();
  ASSERT_EQ(fresh.load(req), LoadStatus::Loaded);
  {
    SCOPED_TRACE("program missing, then the viewer missing");
    missing = "trelvane";
    runForwardCommand(fresh, Survey::Magnetics, memory, p, env);
    EXPECT_EQ(p.lastMessageText(), "trelvane not found.");
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/obs.loc"));
  }
  {
    SCOPED_TRACE("output kept");
    std::ofstream(dataPath(Survey::Magnetics)) << "1\n0 0 0 1\n";
    fresh.setDataSets(std::vector<DataSet>(1));
    p.yesNoAnswers.push_back(false);
    missing.clear();
    runForwardCommand(fresh, Survey::Magnetics, memory, p, env);
    EXPECT_EQ(p.questions.back(), "trelvane.mag already exists.\nShould it be overwritten?");
    EXPECT_EQ(fresh.dataSets().size(), 1u);
    EXPECT_TRUE(p.programsStarted.empty());
  }
  {
    SCOPED_TRACE("overwritten, but the program leaves nothing");
    p.yesNoAnswers.push_back(true);
    runForwardCommand(fresh, Survey::Magnetics, memory, p, env);
    EXPECT_FALSE(std::filesystem::exists(dataPath(Survey::Magnetics)));
    EXPECT_EQ(readText(dir.path() + "/obs.loc").substr(0, 16), "0 0 40000\n0 0 1\n");
    p.finishProgram(-1);
    EXPECT_EQ(p.lastMessageText(), "Forward modelling did not finish properly.");
    EXPECT_TRUE(fresh.dataSets().empty());
  }
  {
    SCOPED_TRACE("a locations file of the user's and a topography");
    settings->useFile = true;
    settings->locationsFile = "mine.loc";
    missing = "quendelplot";
    runForwardCommand(fresh, Survey::Magnetics, memory, p, env);
    EXPECT_EQ(p.programArgs.back()[1], "mine.loc");
    std::ofstream(dataPath(Survey::Magnetics)) << "1\n0 0 0 1\n";
    p.finishProgram(0);
    EXPECT_EQ(p.lastMessageText(), "quendelplot not found.");
    EXPECT_EQ(fresh.dataSets().size(), 1u);
  }
}

TEST(ForwardProgram, writesTheDataFileOrNothing) {
  test::TempDir dir;
  std::filesystem::current_path(dir.path());
  const auto mesh = dir.write("m.msh", "2 1 1\n0 0 0\n2*10\n10\n10\n");
  const auto model = dir.write("m.den", "0.5\n0.5\n");
  const auto loc = dir.write("obs.loc", "2   !! grid 2 1\n5 5 1\n30 5 1\n");
  std::ostringstream out, err;
  ASSERT_EQ(runForwardProgram(Survey::Gravity, {mesh, loc, model}, out, err, 2), 0) << err.str();
  const NodeWeights nodes = prismNodes({0, 20, 0, 10, -10, 0}, 0.5);
  double x, y, z, v;
  std::istringstream data(readText("oskrine.grv"));
  int count = 0;
  data >> count >> x >> y >> z >> v;
  EXPECT_EQ(count, 2);
  EXPECT_NEAR(v, gravityAt(nodes, {5, 5, 1}), 1e-7 * std::fabs(v));
  EXPECT_NE(out.str().find("100%"), std::string::npos);

  const auto magLoc = dir.write("mag.loc", "90 0 50000\n90 0 1\n1\n5 5 1\n");
  ASSERT_EQ(runForwardProgram(Survey::Magnetics, {mesh, magLoc, model}, out, err), 0) << err.str();
  std::istringstream mag(readText("trelvane.mag"));
  mag >> count >> x >> y >> z >> v;
  EXPECT_GT(v, 0);

  std::filesystem::remove("oskrine.grv");
  const std::vector<std::pair<std::string, std::vector<std::string>>> bad{
      {"usage", {mesh}},
      {"short locations", {mesh, dir.write("short.loc", "3\n1 1 1\n"), model}},
      {"no such model", {mesh, loc, dir.path() + "/none.den"}},
      {"model of another mesh", {mesh, loc, dir.write("short.den", "1\n")}},
      {"bad topography", {mesh, loc, model, dir.write("t.txt", "5\n1 2\n")}},
  };
  for (const auto& [what, args] : bad) {
    SCOPED_TRACE(what);
    std::ostringstream e;
    EXPECT_NE(runForwardProgram(Survey::Gravity, args, out, e), 0);
    EXPECT_FALSE(e.str().empty());
    EXPECT_FALSE(std::filesystem::exists("oskrine.grv"));
  }
}

}  // namespace
}  // namespace litho::forward
