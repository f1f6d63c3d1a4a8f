#include "gl/frame_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>

#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/scene/camera.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// The main window on a 1000 x 1000 x 500 box, shown and painted once.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = dir.write("box.msh", "10 10 5\n0 0 0\n10*100\n10*100\n5*100\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    frame = std::make_unique<MainWindow>(doc, platform);
    frame->resize(800, 600);
    frame->show();
    paint();
  }
  // Draws a frame now, whether or not the window has been exposed yet.
  void paint() {
    QApplication::processEvents();
    frame->view()->grabFramebuffer();
  }
  Mat4 readMatrix(GLenum which) {
    Mat4 m{};
    frame->view()->makeCurrent();
    glGetDoublev(which, m.data());
    frame->view()->doneCurrent();
    return m;
  }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
};

void expectMatrixNear(const Mat4& gl, const Mat4& expected, double tolerance) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(gl[i], expected[i], tolerance) << "element " << i;
}

TEST_F(FrameTest, MatricesInGlAreTheCamerasOwn) {
  ViewState& s = frame->view()->state();
  EXPECT_EQ(s.sceneExtent, 1575);
  EXPECT_EQ(s.cameraDistance, -2362.5);
  EXPECT_FALSE(s.frame.redrawPending());
  EXPECT_FALSE(s.frame.rebuildPending());
  // GL keeps single precision: compare relatively.
  expectMatrixNear(readMatrix(GL_PROJECTION_MATRIX), projectionMatrix(s), 1e-5);
  expectMatrixNear(readMatrix(GL_MODELVIEW_MATRIX), localModelViewMatrix(s), 1e-3);
  const Mat4 p = readMatrix(GL_PROJECTION_MATRIX);
  // near 1575 and far 3150 from the depth terms.
  EXPECT_NEAR(p[14] / (p[10] - 1), 1575, 0.05);
  EXPECT_NEAR(p[14] / (p[10] + 1), 3150, 0.1);

  frame->view()->makeCurrent();
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  frame->view()->doneCurrent();
  EXPECT_GE(depthBits, 24);
  std::printf("depth bits: %d, format asks %d\n", depthBits, QSurfaceFormat::defaultFormat().depthBufferSize());

  frame->view()->controller().setPerspective(false);
  frame->view()->controller().rotateZ(+1);
  paint();
  expectMatrixNear(readMatrix(GL_PROJECTION_MATRIX), projectionMatrix(s), 1e-7);
  expectMatrixNear(readMatrix(GL_MODELVIEW_MATRIX), localModelViewMatrix(s), 1e-3);
}

TEST_F(FrameTest, ZeroSizedResizeChangesNothing) {
  ViewController& c = frame->view()->controller();
  const double aspect = c.state.aspect;
  EXPECT_NEAR(aspect, static_cast<double>(frame->view()->width()) / frame->view()->height(), 1e-9);
  c.state.frame.drawn();
  EXPECT_FALSE(c.resize(0, 300));
  EXPECT_FALSE(c.resize(300, 0));
  EXPECT_EQ(c.state.aspect, aspect);
  EXPECT_FALSE(c.state.frame.redrawPending());
}

TEST_F(FrameTest, LightsCullingAndBackground) {
  ViewController& c = frame->view()->controller();
  ASSERT_TRUE(c.state.showMesh);  // a mesh without a model file is drawn as a wire frame, unlit
  c.toggleMesh();
  c.setLights({false, true, false, true, false});
  c.setAxisScale({-1, 1, 1});
  c.setBackground(0, 0, 255);
  paint();
  frame->view()->makeCurrent();
  EXPECT_FALSE(glIsEnabled(GL_LIGHT0));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
  frame->view()->doneCurrent();
  const QImage img = frame->view()->grabFramebuffer();
  EXPECT_EQ(img.pixelColor(3, 3).rgb(), qRgb(0, 0, 255));

  SCOPED_TRACE("a frame with neither flag set draws nothing");
  frame->view()->makeCurrent();
  GlResources gl;
  EXPECT_FALSE(drawFrame(c.state, doc, c.colours, c.cellFaces, gl));
  frame->view()->doneCurrent();
}

TEST_F(FrameTest, BoundaryOutlineIsDrawnAroundTheBox) {
  const QImage with = frame->view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  frame->view()->controller().toggleBoundary();
  paint();
  const QImage without = frame->view()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  int grey = 0, differing = 0;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x) {
      differing += with.pixel(x, y) != without.pixel(x, y);
      grey += with.pixel(x, y) == qRgb(178, 178, 178) && without.pixel(x, y) != qRgb(178, 178, 178);
    }
  EXPECT_GT(differing, 500);
  EXPECT_GT(grey, 200);  // the top rectangle in (0.7, 0.7, 0.7)
}

}  // namespace
}  // namespace litho
