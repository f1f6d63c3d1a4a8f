// The modeless "Add Blocks" window driven as a user drives it, over the block example.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>

#include "app/dialogs/add_blocks_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"

namespace litho {
namespace {

TEST(BlockEditorWindow, SlidersShowTheBlockLiveAndAddAndUndoWork) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  QtPlatform platform;
  Document doc(platform, platform);
  LoadRequest req;
  req.meshPath = ex + "block.msh";
  req.modelPath = ex + "density.den";
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  auto frame = std::make_unique<MainWindow>(doc, platform);
  frame->resize(800, 600);
  frame->show();
  QApplication::processEvents();
  ModelView* view = frame->view();
  view->grabFramebuffer();

  test::ModalDriver driver;
  driver.on<QMessageBox>([](QMessageBox&) { return true; });
  frame->execute(CommandId::AddBlocks);
  AddBlocksDialog* dlg = view->blockEditorWindow();
  ASSERT_TRUE(dlg);
  EXPECT_TRUE(dlg->isVisible());
  EXPECT_EQ(driver.seen, std::vector<std::string>{"Are you sure you want to modify the model?"});
  EXPECT_FALSE(frame->action(CommandId::AddBlocks)->isEnabled());
  EXPECT_FALSE(frame->action(CommandId::Undo)->isEnabled());

  SCOPED_TRACE("a slider step repaints only the slabs the block touched");
  view->grabFramebuffer();  // the scene with the opening's cutoff
  const std::vector<float> before(doc.currentModel().data(), doc.currentModel().data() + doc.currentModel().size());
  dlg->valueEdit->setText("3.5");
  dlg->xSlider->setValue(2);
  const int j = dlg->editor().block().yIndex, k = dlg->editor().block().zIndex;
  EXPECT_EQ(dlg->editor().block().xIndex, 2);
  EXPECT_EQ(doc.currentModel()(2, j, k), 3.5f);
  EXPECT_EQ(frame->statusBar()->currentMessage().toStdString(), dlg->editor().statusText());
  EXPECT_EQ(dlg->coordinateEdits[0]->text().toDouble(), doc.mesh().xNodes[2]);
  view->grabFramebuffer();
  EXPECT_TRUE(view->scene().lastWasPatch());

  SCOPED_TRACE("add, then undo and redo from the Edit menu");
  QTest::mouseClick(dlg->addButton, Qt::LeftButton);
  ASSERT_EQ(doc.elements().size(), 1u);
  EXPECT_EQ(dlg->blockList->count(), 1);
  EXPECT_EQ(dlg->blockList->currentText(), "block 2");
  frame->updateCommands();
  ASSERT_TRUE(frame->action(CommandId::Undo)->isEnabled());
  frame->execute(CommandId::Undo);
  EXPECT_TRUE(doc.elements().empty());
  EXPECT_EQ(dlg->blockList->count(), 0);
  const std::size_t cell = (static_cast<std::size_t>(2) * doc.mesh().ny + j) * doc.mesh().nz + k;
  EXPECT_EQ(dlg->editor().committedValues()(2, j, k), before[cell]);
  frame->execute(CommandId::Redo);
  EXPECT_EQ(doc.elements().size(), 1u);

  SCOPED_TRACE("OK closes the window and keeps the block");
  QTest::mouseClick(dlg->okButton, Qt::LeftButton);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(view->blockEditorWindow());
  EXPECT_FALSE(doc.blockEditorOpen());
  EXPECT_EQ(doc.currentModel()(2, j, k), 3.5f);
}

}  // namespace
}  // namespace litho
