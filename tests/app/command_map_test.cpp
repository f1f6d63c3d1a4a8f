#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QToolBar>
#include <stdexcept>

#include "app/commands/command_registry.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/commands/command_table.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

// Nothing else handles Paste, and its rule keeps it disabled, so the key and menu never reach this.
const CommandHandlers kFailingHandler{
    {CommandId::Paste, [](CommandTarget&) { throw std::runtime_error("The handler failed."); }}};

class CommandMapTest : public ::testing::Test {
 protected:
  void load() {
    LoadRequest req;
    req.meshPath = dir.write("m.msh", "10 8 6\n0 0 0\n10*10\n8*10\n6*10\n");
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  }
  void show() {
    frame = std::make_unique<MainWindow>(doc, platform);
    frame->show();
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    frame->view()->setFocus();
    QApplication::processEvents();
  }
  bool enabled(CommandId id) {
    frame->updateCommands();
    return frame->action(id)->isEnabled();
  }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
};

TEST_F(CommandMapTest, MenusAndToolbarFollowTheTable) {
  show();
  const auto menus = frame->QMainWindow::menuBar()->actions();
  ASSERT_EQ(menus.size(), static_cast<qsizetype>(litho::menuBar().size()));
  EXPECT_EQ(menus[0]->text(), "&File");
  const auto file = menus[0]->menu()->actions();
  EXPECT_EQ(file[0]->text(), "&Open ...\tCtrl+O");
  EXPECT_EQ(file[0]->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(file.back()->text(), "E&xit");

  const auto buttons = frame->toolBar()->actions();
  ASSERT_EQ(buttons.size(), 22 + 5);
  int slot = 0;
  for (QAction* a : buttons) {
    if (a->isSeparator()) continue;
    ++slot;
    if (slot == 1) {
      EXPECT_EQ(a->data().toInt(), static_cast<int>(CommandId::Copy));
    }
    if (slot == 13) {
      EXPECT_EQ(a->data().toInt(), static_cast<int>(CommandId::CutWest));
    }
    if (slot == 22) {
      EXPECT_EQ(a->data().toInt(), static_cast<int>(CommandId::MouseCut));
    }
    EXPECT_FALSE(a->icon().pixmap(16, 15).isNull()) << slot;
  }
  EXPECT_EQ(slot, 22);
  EXPECT_TRUE(buttons[1]->isSeparator());
  EXPECT_EQ(frame->action(CommandId::CutWest)->statusTip(), "Western cut plane");
  EXPECT_EQ(frame->action(CommandId::CutWest)->toolTip(), "west");
}

TEST_F(CommandMapTest, EnableRulesBeforeAndAfterALoad) {
  show();
  for (CommandId id :
       {CommandId::CutWest, CommandId::ZoomIn, CommandId::Labels, CommandId::FontIncrease, CommandId::MeshStatistics})
    EXPECT_FALSE(enabled(id)) << static_cast<int>(id);
  for (CommandId id : {CommandId::Perspective, CommandId::Orthographic, CommandId::ResetScale,
                       CommandId::RotationAngles, CommandId::Background, CommandId::Colourmap, CommandId::Lights,
                       CommandId::RotateXMinus, CommandId::PanLeft, CommandId::NextModel})
    EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
  EXPECT_FALSE(enabled(CommandId::Paste));

  load();
  doc.updateAllViews(ViewRefresh::NewLoad);
  for (CommandId id :
       {CommandId::CutWest, CommandId::ZoomIn, CommandId::Labels, CommandId::FontIncrease, CommandId::MeshStatistics})
    EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
  EXPECT_FALSE(enabled(CommandId::Paste));
  for (CommandId id : {CommandId::Cutoff, CommandId::MinMax, CommandId::PaddingCells, CommandId::Diagonal,
                       CommandId::MouseCut, CommandId::Reload})
    EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
  frame->view()->state().diagonalCutOn = true;
  frame->execute(CommandId::Diagonal);  // a diagonal cut that is on is switched off without the dialog
  EXPECT_FALSE(frame->view()->state().diagonalCutOn);
  frame->execute(CommandId::Boundary);
  EXPECT_FALSE(enabled(CommandId::Floor));  // no floor without the boundary
  EXPECT_FALSE(frame->action(CommandId::Boundary)->isChecked());
}

TEST_F(CommandMapTest, KeysReachTheirCommands) {
  load();
  show();
  ViewState& s = frame->view()->state();
  QTest::keyClick(frame->view(), Qt::Key_W);
  EXPECT_EQ(s.selectedCutPlane, kWest);
  QTest::keyClick(frame->view(), Qt::Key_Up, Qt::ShiftModifier);
  QTest::keyClick(frame->view(), Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(s.cuts[kSideWest], 2);
  QTest::keyClick(frame->view(), Qt::Key_Escape);
  EXPECT_EQ(s.cuts[kSideWest], 0);
  EXPECT_EQ(s.selectedCutPlane, kNoPlane);

  QTest::keyClick(frame->view(), Qt::Key_Plus);
  EXPECT_EQ(s.zoomAngle, 29);
  QTest::keyClick(frame->view(), Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(s.zoomAngle, 28);
  QTest::keyClick(frame->view(), Qt::Key_Minus, Qt::KeypadModifier);
  EXPECT_EQ(s.zoomAngle, 29);

  const float x = s.rotationX;
  QTest::keyClick(frame->view(), Qt::Key_Up);
  EXPECT_EQ(s.rotationX, x - 5);
  QTest::keyClick(frame->view(), Qt::Key_8, Qt::KeypadModifier);
  EXPECT_EQ(s.rotationX, x - 10);
  QTest::keyClick(frame->view(), Qt::Key_Right, Qt::ControlModifier);
  EXPECT_GT(s.panX, 0);
  QTest::keyClick(frame->view(), Qt::Key_M);
  EXPECT_FALSE(s.showMesh);  // a mesh without a model file started in mesh mode
  QTest::keyClick(frame->view(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(frame->view()->controller().colours.colourmap.reversed);
}

TEST_F(CommandMapTest, KeysFasterThanFramesAreDrawnOnceInTheirLatestState) {
  load();
  show();
  ModelView* view = frame->view();
  auto settle = [&] {
    for (int wait = 0; wait < 200 && (view->state().frame.redrawPending() || view->state().frame.rebuildPending());
         ++wait)
      QTest::qWait(10);
  };
  QTest::keyClick(view, Qt::Key_W);
  settle();
  const unsigned long builds = view->scene().rebuildCount();
  for (int k = 0; k < 5; ++k) QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
  EXPECT_EQ(view->scene().rebuildCount(), builds) << "nothing drawn while keys wait";
  settle();
  EXPECT_EQ(view->scene().rebuildCount(), builds + 1);
  EXPECT_EQ(view->scene().builder().hiddenFlags().box().xs, 5);
}

TEST_F(CommandMapTest, AFailingCommandIsReportedAndTheWindowCarriesOn) {
  show();
  QString reported;
  test::ModalDriver driver;
  driver.on<QMessageBox>([&](QMessageBox& box) {
    reported = box.text();
    return true;
  });
  frame->execute(CommandId::Paste);
  EXPECT_EQ(reported, "The handler failed.");
  frame->execute(CommandId::Labels);
  EXPECT_TRUE(frame->view()->state().showLabels);
}

// The handlers register themselves; a feature file the linker left out would leave its commands disabled.
TEST(CommandHandlers, EveryFeatureFileIsLinkedIn) {
  using enum CommandId;
  for (CommandId id : {Open, SaveParameters, Labels, Flip, Cutoff, VectorProperties, MouseCut, Toolbar, About})
    EXPECT_NE(commandHandler(id), nullptr) << command(id).menuText;
}

}  // namespace
}  // namespace litho
