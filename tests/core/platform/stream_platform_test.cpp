#include "core/platform/stream_platform.h"

#include <gtest/gtest.h>

#include <sstream>

namespace litho {
namespace {

TEST(StreamPlatform, StartedProgramsReportTheirExitStatusOrFailToStart) {
  std::ostringstream err;
  StreamPlatform p(err, false);
  int status = -2;
  EXPECT_TRUE(p.startProgramAsync("sh", {"-c", "exit 3"}, "", [&](int s) { status = s; }));
  EXPECT_EQ(status, 3);
  bool called = false;
  EXPECT_FALSE(p.startProgramAsync("/nonexistent/program", {}, "", [&](int) { called = true; }));
  EXPECT_FALSE(called) << "a program that never started does not finish";
  EXPECT_FALSE(p.startProgram("/nonexistent/program", {}, "", true));
}

}  // namespace
}  // namespace litho
