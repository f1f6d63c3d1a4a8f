#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QStatusBar>
#include <QTest>

#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/scene/camera.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// The main window on 10 x 8 x 6 cells of 10 m at map coordinates.
class PickingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "10 8 6\n500000 7000000 100\n10*10\n8*10\n6*10\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    for (int i = 0; i < 10; ++i)
      for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 6; ++k) doc.editStore().modelData(doc.store().currentModelIndex())(i, j, k) = static_cast<float>(100 * i + 10 * j + k);
    doc.recomputeRange(Which::First);
    frame = std::make_unique<MainWindow>(doc, platform);
    frame->resize(800, 600);
    frame->show();
    frame->view()->controller().toggleMesh();  // filled faces
    QApplication::processEvents();
    frame->view()->grabFramebuffer();  // draws now, exposed or not
  }
  // Window point (logical pixels) of a model point.
  QPointF windowPointOf(double x, double y, double z) {
    ModelView* v = frame->view();
    const Mat4 pm = multiply(projectionMatrix(v->state()), modelViewMatrix(v->state()));
    const auto c = transform(pm, x, y, z);
    return {(c[0] / c[3] + 1) / 2 * v->width(), v->height() - (c[1] / c[3] + 1) / 2 * v->height()};
  }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
};

TEST_F(PickingTest, PickFindsTheTopFacePointAtMapCoordinates) {
  const QPointF w = windowPointOf(500045.0, 7000042.0, 100.0);
  const auto p = frame->view()->pickPoint(w);
  ASSERT_TRUE(p);
  // One pixel covers about 2 m here; the depth buffer keeps the point on the face.
  EXPECT_NEAR((*p)[0], 500045.0, 3);
  EXPECT_NEAR((*p)[1], 7000042.0, 3);
  EXPECT_NEAR((*p)[2], 100.0, 0.5);
  EXPECT_FALSE(frame->view()->pickPoint(QPointF(3, 3)));  // background
}

TEST_F(PickingTest, ClickShowsTheReadoutAndRightDragRotates) {
  ModelView* v = frame->view();
  const QPoint w = windowPointOf(500045.0, 7000042.0, 100.0).toPoint();
  QTest::mousePress(v, Qt::LeftButton, Qt::NoModifier, w);
  const QString text = frame->statusBar()->currentMessage();
  EXPECT_TRUE(text.startsWith(" ( Easting, Northing, Depth ) = ( 5000")) << text.toStdString();
  EXPECT_TRUE(text.endsWith("value = 440")) << text.toStdString();
  QTest::mouseRelease(v, Qt::LeftButton, Qt::NoModifier, w);
  EXPECT_EQ(frame->statusBar()->currentMessage(), "Ready");

  const float z = v->state().rotationZ;
  QTest::mousePress(v, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
  QMouseEvent move(QEvent::MouseMove, QPointF(120, 100), v->mapToGlobal(QPointF(120, 100)), Qt::NoButton,
                   Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(v, &move);
  QTest::mouseRelease(v, Qt::RightButton, Qt::NoModifier, QPoint(120, 100));
  EXPECT_FLOAT_EQ(v->state().rotationZ, z + 4);

  SCOPED_TRACE("Shift + click moves the selected west plane to the clicked column");
  v->controller().selectCutPlane(kWest);
  QTest::mouseClick(v, Qt::LeftButton, Qt::ShiftModifier, windowPointOf(500035.0, 7000042.0, 100.0).toPoint());
  EXPECT_EQ(v->state().cuts[kSideWest], 3);
}

}  // namespace
}  // namespace litho
