#include "batch/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/temp_dir.h"

namespace litho {
namespace {

struct BatchRun {
  int status;
  std::string out;
  std::string err;
};

BatchRun batch(const std::vector<std::string>& args) {
  test::SavedFolder saved;
  std::ostringstream out, err;
  const int status = runBatch(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(Batch, InfoPrintsStatisticsAndMessagesByKind) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "2 2 1\n0 0 0\n2*10\n5 15\n3\n");
  BatchRun r = batch({"info", mesh});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "Mesh Statistics:\n\n# of cells:  2 x 2 x 1\ntotal # of cells:  4\nmesh dimensions:  20 x 20 x 3\n"
            "smallest cell dimensions:  10 x 5 x 3\nlargest cell dimensions:  10 x 15 x 3\n"
            "top south-west corner:  0  0  0\n\n"
            "models: 1\nvector: no\nlog: no\nmin: 0\nmax: 0\nsmallest: 0\ninactive cells: 0\n");

  EXPECT_EQ(batch({"info", mesh, "NOMODEL"}).out, r.out) << "NOMODEL is a mesh alone, as in the program";
  const std::string padded = dir.write("p.den", "models 1 1 0 1 0 0 0\n1\n2\n3\n4\n");
  r = batch({"info", mesh, padded});
  EXPECT_NE(r.out.find("\nWith padding cells removed:\n\n# of cells:  1 x 1 x 1\n"), std::string::npos) << r.out;

  const std::string bad = dir.write("bad.msh", "2 2 1\n0 0 0\n10 abc\n");
  r = batch({"info", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "error: abc\nError reading mesh file\n" + bad + "\n");

  r = batch({"info", dir.path() + "/none.msh"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: File not found: " + dir.path() + "/none.msh\n");
}

std::string summaryOf(const std::string& out) { return out.substr(out.find("\n\n", 20) + 2); }

TEST(Batch, ModelSummaryAndAnswers) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "1 1 4\n0 0 0\n10\n10\n4*5\n");
  const std::string model = dir.write("m.den", "-100\n2\n3.5\n0.25\n");
  const std::string second = dir.write("s.den", "-1\n7\n0\n2\n");
  BatchRun r = batch({"info", mesh, model, "--second", second, "--yes"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(summaryOf(r.out),
            "models: 1\nvector: no\nlog: no\nmin: 0.25\nmax: 3.5\nsmallest: -100\ninactive cells: 1\n"
            "second min: 0\nsecond max: 7\n");  // over the cells left active
  EXPECT_EQ(r.err,
            "question: The model file has cells that are set to  -100.\nWould you like these cells to be ignored?\n"
            "answer: yes\n"
            "info: Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.\n");

  r = batch({"info", mesh, model, "--log"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Cannot take log of a negative number.\nError reading model file " + model + "\n");

  const std::string vectors = dir.write("v.vec", "3 0 4\n0 0 0\n0 0 1\n6 8 0\n");
  r = batch({"info", mesh, vectors});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(summaryOf(r.out), "models: 1\nvector: yes\nlog: no\nmin: 0\nmax: 1\ninactive cells: 0\n");
  EXPECT_EQ(batch({"info", mesh, "--second", second}).status, 2) << "a second model needs a first";
}

TEST(Batch, EveryExampleLoadsWithItsMessages) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"info", ex + "block/block.msh", ex + "block/density.den"}, ""},
      {{"info", ex + "layered/layered.msh", ex + "layered/conductivity.con", "--log", "--yes"},
       "question: The model file has cells that are set to  1e-08.\nWould you like these cells to be ignored?\n"
       "answer: yes\n"},
      {{"info", ex + "pair/pair.msh", ex + "pair/timelapse.den", "--second", ex + "pair/reference.den"},
       "info: 2 models have been read from model file.\nUse <Shift>-<left> and <Shift>-<right> to switch between "
       "them.\ninfo: Two models are loaded.\nUse <Alt>-<left> and <Alt>-<right> to switch between them.\n"},
      {{"info", ex + "vector/vector.msh", ex + "vector/magnetization.vec"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[2]);
    const BatchRun r = batch(c.args);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, c.err);
  }
}

TEST(Batch, RelativePathsAreMadeAbsolute) {
  test::TempDir dir;
  dir.write("m.msh", "1 1 1\n0 0 0\n1\n1\n1\n1\n");
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  const BatchRun r = batch({"info", "m.msh", "missing.den"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: File not found: " + dir.path() + "/missing.den\n");
}

TEST(Batch, InfoWithTopographyCountsItsAirCells) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block";
  char buf[4096];
  const std::string saved = ::getcwd(buf, sizeof buf);
  ASSERT_EQ(::chdir(ex.c_str()), 0);
  // Relative names, the topography's read after the load moved the current folder.
  const BatchRun r = batch({"info", "block.msh", "density.den", "--topo", "topo.txt"});
  const BatchRun missing = batch({"info", "block.msh", "density.den", "--topo", "none.txt"});
  ASSERT_EQ(::chdir(saved.c_str()), 0);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  long long points = 0, active = 0, inactive = 0, summaryInactive = -1;
  const std::size_t topo = r.out.find("topography points:");
  ASSERT_NE(topo, std::string::npos) << r.out;
  ASSERT_EQ(std::sscanf(r.out.c_str() + topo, "topography points: %lld\nactive cells: %lld\ninactive cells: %lld\n",
                        &points, &active, &inactive),
            3);
  const std::size_t summary = r.out.find("inactive cells:");
  ASSERT_LT(summary, topo) << "after the model summary";
  std::sscanf(r.out.c_str() + summary, "inactive cells: %lld", &summaryInactive);
  EXPECT_EQ(points, 3969);
  EXPECT_EQ(active + inactive, 40 * 40 * 30);
  EXPECT_GT(inactive, 0);
  EXPECT_GT(active, inactive);
  EXPECT_EQ(summaryInactive, inactive);

  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "error: There is no such file.\nCannot open topography file " + ex + "/none.txt\n");
  EXPECT_EQ(batch({"info", "m.msh", "--topo"}).status, 2);
}

TEST(Batch, DataFilesAreReadAndDrawn) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  const BatchRun r = batch({"info", ex + "block.msh", ex + "density.den", "--data", ex + "gravity.obs"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\ndata points: 961\ndata min: 0.0116999997\ndata max: 0.257400006\n"), std::string::npos)
      << r.out;
  const BatchRun missing = batch({"info", ex + "block.msh", "--data", ex + "none.obs"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "warning: Could not open\n" + ex + "none.obs\n");

  test::TempDir dir;
  auto render = [&](const std::string& data) {
    const std::string cmd = std::string(LITHO_BATCH_EXE) + " render " + ex + "block.msh " + ex +
                            "density.den --size 160x120 -o " + dir.path() + "/d.png --data " + data + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(render(ex + "gravity.obs:spheres:8"), 0);
  EXPECT_TRUE(std::filesystem::file_size(dir.path() + "/d.png") > 0);
  EXPECT_EQ(render(ex + "gravity.obs:surface:2"), 2) << "an opacity beyond 1";
}

// A file claiming a huge mesh is refused before anything is allocated; a
// scene too large to draw is a message, never an abort; file names cannot add
// lines to the output.
TEST(Batch, MemoryAndNamesNeverEndInAnAbortOrForgedLines) {
  test::TempDir dir;
  const std::string huge = dir.write("huge.msh", "10000 10000 1\n0 0 0\n10000*1\n10000*1\n1\n");
  BatchRun r = batch({"info", huge, "--memory-limit", "100"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "error: Not enough memory for a model of 10000 x 10000 x 1 cells: 763 MiB are needed, 100 MiB are "
            "available.\nError reading mesh file\n" +
                huge + "\n");
  EXPECT_EQ(batch({"info", huge, "--memory-limit", "lots"}).status, 2);

  r = batch({"info", huge, dir.path() + "/a\ninfo: Two models are loaded."});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: File not found: " + dir.path() + "/a\\ninfo: Two models are loaded.\n");

  // The load fits in 64 MiB, the display list of its two million faces does not.
  const std::string wide = dir.write("wide.msh", "1000 1000 1\n0 0 0\n1000*1\n1000*1\n1\n");
  const std::string png = dir.path() + "/wide.png";
  const std::string cmd = std::string(LITHO_BATCH_EXE) + " render " + wide + " NOMODEL -o " + png +
                          " --memory-limit 64 2>" + dir.path() + "/err.txt";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  std::ifstream err(dir.path() + "/err.txt");
  const std::string text((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("error: Not enough memory to draw the model: "), std::string::npos) << text;
  EXPECT_NE(::access(png.c_str(), F_OK), 0) << "no image written";
}

TEST(Batch, BadUsageExitsWithTwo) {
  EXPECT_EQ(batch({}).status, 2);
  EXPECT_EQ(batch({"render"}).status, 2);
  EXPECT_EQ(batch({"info"}).status, 2);
  EXPECT_EQ(batch({"info", "a", "b", "c"}).status, 2);
  EXPECT_EQ(batch({"info", "a", "--bogus"}).status, 2);
  EXPECT_EQ(batch({"save", "m.msh", "m.den"}).status, 2) << "save needs -o";
  EXPECT_EQ(batch({"info", "m.msh", "-o", "out.den"}).status, 2) << "-o belongs to save";
  const BatchRun r = batch({"save", "m.msh", "-o", "out.den"});
  EXPECT_EQ(r.status, 2) << "save needs a model";
  EXPECT_NE(r.err.find("usage:"), std::string::npos);
}

TEST(Batch, ExecutableReportsStatusAndStreams) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "0 1 1\n");
  const std::string cmd = std::string(LITHO_BATCH_EXE) + " info " + mesh + " 2>" + dir.path() + "/err.txt";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  FILE* f = std::fopen((dir.path() + "/err.txt").c_str(), "r");
  ASSERT_NE(f, nullptr);
  std::array<char, 512> buf{};
  const std::size_t n = std::fread(buf.data(), 1, buf.size() - 1, f);
  std::fclose(f);
  EXPECT_EQ(std::string(buf.data(), n),
            "error: Number of cells should be positive.\nError reading mesh file\n" + mesh + "\n");
}

}  // namespace
}  // namespace litho
