#include "core/platform/stream_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

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

namespace litho {
namespace {

TEST(StreamPlatform, ProgressLinesOnlyForWorkOverASecondAndOnlyWhenShown) {
  std::ostringstream err;
  StreamPlatform p(err, false);
  p.progressBegin("Loading m.den");
  p.progressShow(50);
  p.progressEnd();
  EXPECT_EQ(err.str(), "") << "progress is off unless shown";

  p.setProgressShown(true);
  p.progressBegin("Loading m.den");
  p.progressShow(10);
  EXPECT_EQ(err.str(), "") << "nothing in the first second";
  std::this_thread::sleep_for(std::chrono::milliseconds(1050));
  p.progressShow(20);
  p.progressShow(20);
  p.progressShow(30);
  p.progressEnd();
  EXPECT_EQ(err.str(), "\rLoading m.den  20%\rLoading m.den  30%\rLoading m.den  done\n");
}

}  // namespace
}  // namespace litho
