#pragma once
#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "app/offscreen_gl.h"
#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "gl/scene_gl.h"
#include "support/scripted_platform.h"

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

// Pixels of exactly this colour.
int countPixels(const QImage& img, QRgb colour);

// A document and its view drawn off screen at a fixed size. A test loads the
// document, calls showNewLoad() and compares renders with baselines.
class OffscreenViewTest : public ::testing::Test {
 protected:
  explicit OffscreenViewTest(int width = 480, int height = 360) : gl(width, height) {}
  // The view of a fresh load (after any change to its data), sized to the frame.
  void showNewLoad() {
    view.refresh(ViewRefresh::NewLoad);
    view.resize(gl.width(), gl.height());
  }
  QImage render() { return gl.render(view, doc); }
  void expectMatches(const std::string& baseline, int channelTolerance = 24, double maxDifferingFraction = 0.004) {
    const QImage img = render();
    ASSERT_FALSE(img.isNull()) << gl.error();
    const ImageCheck check = compareWithBaseline(img, baseline, channelTolerance, maxDifferingFraction);
    EXPECT_TRUE(check.ok) << check.message;
  }

  ScriptedPlatform p;
  Document doc{p, p};
  ViewController view{doc, p};
  OffscreenGl gl;
  const SceneRenderer& scene = gl.scene();
};

}  // namespace litho::test
