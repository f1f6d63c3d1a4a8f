// The main window placed from saved views, and the space bar of the cut planes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QScreen>
#include <QTest>

#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "app/window_placement.h"
#include "core/load/document.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// 6 x 1 x 1 cells holding one value: every slab equals the next.
class ViewWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "6 1 1\n0 0 0\n6*10\n10\n10\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    frame = std::make_unique<MainWindow>(doc, platform);
    frame->show();
    QApplication::processEvents();
  }
  void expectOnScreen() {
    const QRect area = frame->screen()->availableGeometry();
    const QRect f = frame->frameGeometry();
    EXPECT_TRUE(area.contains(f)) << f.x() << "," << f.y() << " " << f.width() << "x" << f.height();
  }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
};

TEST_F(ViewWindowTest, SavedAndPastedGeometryIsFittedToTheScreen) {
  placeWindow(*frame, {-500, -300, 99999, 99999});
  QApplication::processEvents();
  expectOnScreen();
  placeWindow(*frame, {0, 0, 400, 300});
  platform.setClipboardText("lithoscan3d -65 0 30 0 0 0 0 0 0  0 0 0 0 0 0 0 0 0  99999 99999");
  frame->execute(CommandId::PasteParameters);
  QApplication::processEvents();
  expectOnScreen();
  EXPECT_GT(frame->width(), 400);
}

TEST_F(ViewWindowTest, SpaceReleasedWhileTheViewLacksFocusDoesNotStick) {
  ModelView* view = frame->view();
  view->controller().selectCutPlane(kWest);
  QTest::keyPress(view, Qt::Key_Space);  // the release never reaches the view
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(view, &out);
  EXPECT_FALSE(platform.keyDown(Key::Space));
  frame->execute(CommandId::CutForward);
  EXPECT_EQ(view->state().cuts[kSideWest], 1) << "a step of one cell, not a skip over the equal slabs";
}

}  // namespace
}  // namespace litho
