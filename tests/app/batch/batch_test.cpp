#include "app/batch/batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
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
  char buf[4096];
  const std::string saved = ::getcwd(buf, sizeof buf) ? buf : "/";
  std::ostringstream out, err;
  const int status = runBatch(args, out, err);
  EXPECT_EQ(::chdir(saved.c_str()), 0);
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
            "top south-west corner:  0  0  0\n");

  const std::string bad = dir.write("bad.msh", "2 2 1\n0 0 0\n10 abc\n");
  r = batch({"info", bad});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "error: abc\nError reading mesh file\n" + bad + "\n");

  r = batch({"info", dir.path() + "/none.msh"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: File not found: " + dir.path() + "/none.msh\n");
}

TEST(Batch, RelativePathsAreMadeAbsolute) {
  test::TempDir dir;
  dir.write("m.msh", "1 1 1\n0 0 0\n1\n1\n1\n1\n");
  char buf[4096];
  const std::string saved = ::getcwd(buf, sizeof buf);
  ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  const BatchRun r = batch({"info", "m.msh", "missing.den"});
  ASSERT_EQ(::chdir(saved.c_str()), 0);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error: File not found: " + dir.path() + "/missing.den\n");
}

TEST(Batch, BadUsageExitsWithTwo) {
  EXPECT_EQ(batch({}).status, 2);
  EXPECT_EQ(batch({"render"}).status, 2);
  EXPECT_EQ(batch({"info"}).status, 2);
  EXPECT_EQ(batch({"info", "a", "b", "c"}).status, 2);
  EXPECT_EQ(batch({"info", "a", "--bogus"}).status, 2);
  const BatchRun r = batch({"info", "a", "--octree"});
  EXPECT_EQ(r.status, 2);
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
