#pragma once
#include <QImage>
#include <string>

namespace litho::test {

// Compares a render with tests/baselines/NAME.png. A pixel differs when any
// channel differs by more than channelTolerance; the images match when at most
// maxDifferingFraction of the pixels differ. On a mismatch (or a missing
// baseline) the render and a difference image go to the build's
// Testing/Temporary folder. With LITHO_UPDATE_BASELINES=1 the render becomes
// the baseline.
struct ImageCheck {
  bool ok = false;
  std::string message;
};
ImageCheck compareWithBaseline(const QImage& actual, const std::string& name, int channelTolerance = 24,
                               double maxDifferingFraction = 0.004);

}  // namespace litho::test
