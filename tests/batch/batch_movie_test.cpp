// movie records a turntable of the block example that plays, and whose first
// frame is the picture render draws.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/movie_probe.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

int batch(const std::string& args) {
  const int status = std::system((std::string(LITHO_BATCH_EXE) + " " + args + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BatchMovie, TurntablesPlayAndStartWithTheRenderedView) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  const std::string files = ex + "block.msh " + ex + "density.den ";
  test::TempDir dir;
  const std::string d = dir.path() + "/";

  ASSERT_EQ(batch("movie " + files + "--size 160x120 --frames 6 --fps 12 -o " + d + "turn.avi"), 0);
  const test::MovieProbe avi = test::probeMovie(d + "turn.avi");
  EXPECT_EQ(avi.frames, 6);
  EXPECT_EQ(avi.width, 160);
  EXPECT_EQ(avi.height, 120);
  EXPECT_EQ(avi.rate, "12/1");
  EXPECT_EQ(avi.tag, "MSVC");

  ASSERT_EQ(batch("movie " + files + "--size 161x121 --frames 5 --turn 90 -o " + d + "turn.mp4"), 0);
  const test::MovieProbe mp4 = test::probeMovie(d + "turn.mp4");
  EXPECT_EQ(mp4.frames, 5);
  EXPECT_EQ(mp4.codec, "h264");
  EXPECT_EQ(mp4.width, 160) << "an odd column is left out";
  EXPECT_EQ(mp4.height, 120);
  EXPECT_EQ(mp4.rate, "24/1");

  ASSERT_EQ(batch("render " + files + "--size 161x121 -o " + d + "start.png"), 0);
  const auto still = test::decodeFrame(d + "start.png", 0);
  EXPECT_LT(test::meanDifference(test::decodeFrame(d + "turn.mp4", 0), 160, still, 161, 160, 120), 3);
  EXPECT_GT(test::meanDifference(test::decodeFrame(d + "turn.mp4", 2), 160, still, 161, 160, 120), 3)
      << "the middle frame is turned by 45 degrees";

  EXPECT_EQ(batch("movie " + files + "--frames 1 -o " + d + "x.avi"), 2);
  EXPECT_EQ(batch("movie " + files), 2);
  EXPECT_EQ(batch("movie " + files + "--size 64x64 -o " + d + "gone/x.avi"), 1);
}

}  // namespace
}  // namespace litho
