// lithoscan3d-batch with octree files and the save command.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "batch/batch.h"
#include "core/io/file_system.h"
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

std::string read(const std::string& path) {
  std::string s;
  EXPECT_TRUE(readWholeFile(path, s)) << path;
  return s;
}

const std::string kExamples = std::string(LITHO_SOURCE_DIR) + "/examples/";

TEST(BatchOctree, InfoReadsTheOctreeExample) {
  const BatchRun r = batch({"info", kExamples + "octree/octree.msh", kExamples + "octree/conductivity.con", "--octree",
                            "--log"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_NE(r.out.find("# of cells:  32 x 32 x 24\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("smallest cell dimensions:  25 x 25 x 25\n"), std::string::npos);
  EXPECT_NE(r.out.find("inactive cells: 4096\n"), std::string::npos) << "four layers of air";

  const BatchRun bad = batch({"info", kExamples + "block/block.msh", "--octree"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "error: Error reading octree mesh:\n" + kExamples +
                         "block/block.msh\n24*12.5 20 30 45 70 100 150\n")
      << "a mesh file read as an octree mesh fails on its first line of widths";
}

TEST(BatchSave, NoPaddingStripsThePaddingNamedInTheHeader) {
  test::TempDir dir;
  const std::string out = dir.path() + "/core.den";
  const BatchRun r = batch({"save", kExamples + "block/block.msh", kExamples + "block/density.den", "-o", out,
                            "--no-padding"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "info: Mesh saved to:\n" + out + "_mesh\n");
  const std::string original = read(kExamples + "block/density.den");
  EXPECT_EQ(read(out), original.substr(original.find('\n') + 1)) << "the core values, without the header";

  const BatchRun core = batch({"info", out + "_mesh", out});
  ASSERT_EQ(core.status, 0) << core.err;
  EXPECT_NE(core.out.find("# of cells:  30 x 30 x 24\n"), std::string::npos) << core.out;
  EXPECT_NE(core.out.find("top south-west corner:  500000  7000000  450\n"), std::string::npos);
  EXPECT_EQ(read(out + "_mesh").substr(0, 30), "30  30  24\n500000  7e+06  450\n");
}

TEST(BatchSave, OctreeModelBecomesATensorModel) {
  test::TempDir dir;
  const std::string out = dir.path() + "/tensor.con";
  const std::string mesh = kExamples + "octree/octree.msh", model = kExamples + "octree/conductivity.con";
  BatchRun r = batch({"save", mesh, model, "--octree", "--log", "--no-padding", "-o", out});
  ASSERT_EQ(r.status, 0) << r.err;
  const BatchRun octree = batch({"info", mesh, model, "--octree", "--log"});
  const BatchRun tensor = batch({"info", out + "_mesh", out, "--log", "--yes"});
  ASSERT_EQ(tensor.status, 0) << tensor.err;
  EXPECT_EQ(tensor.err,
            "question: The model file has cells that are set to  1e-08.\nWould you like these cells to be ignored?\n"
            "answer: yes\n");
  const auto cut = [](const std::string& s) { return s.substr(0, s.find("smallest: ")); };
  EXPECT_EQ(cut(tensor.out), cut(octree.out)) << "same mesh, range and log flag";
  EXPECT_NE(tensor.out.find("inactive cells: 4096\n"), std::string::npos);
}

TEST(BatchSave, FailuresExitWithOne) {
  test::TempDir dir;
  BatchRun r = batch({"save", kExamples + "vector/vector.msh", kExamples + "vector/magnetization.vec", "-o",
                      dir.path() + "/v.vec"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Vector models cannot be saved.\n" + kExamples + "vector/magnetization.vec\n");
  EXPECT_FALSE(fileExists(dir.path() + "/v.vec"));

  const std::string out = dir.path() + "/none/out.den";
  r = batch({"save", kExamples + "pair/pair.msh", kExamples + "pair/reference.den", "-o", out});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: Could not save the file\n" + out +
                       "\nNo such file or directory.\nAny earlier file of that name is unchanged.\n");

  SCOPED_TRACE("a relative output is taken from the folder the tool started in");
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  r = batch({"save", kExamples + "pair/pair.msh", kExamples + "pair/reference.den", "-o", "rel.den"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fileExists(dir.path() + "/rel.den"));
}

}  // namespace
}  // namespace litho
