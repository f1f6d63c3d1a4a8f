// "Cell faces ...": the dialog's widgets follow its rules, and OK draws the overlay.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "app/dialogs/cell_faces_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(FacesDialog, CellFacesCommandLoadsAndDraws) {
  test::SavedFolder saved;
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
  QtPlatform platform;
  Document doc(platform, platform);
  LoadRequest req;
  req.meshPath = ex + "block.msh";
  req.modelPath = ex + "density.den";
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  MainWindow frame(doc, platform);
  frame.show();
  QApplication::processEvents();
  frame.updateCommands();
  ASSERT_TRUE(frame.action(CommandId::CellFaces)->isEnabled());

  std::vector<std::string> boxes;
  test::ModalDriver answers;
  answers
      .on<CellFacesDialog>([&](CellFacesDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Cell Faces");
        EXPECT_TRUE(dlg.methods[kFacesLines]->isChecked());
        EXPECT_FALSE(dlg.max->isEnabled());
        dlg.filename->setText(QString::fromStdString(ex + "face_weights.txt"));
        dlg.load->click();
        EXPECT_EQ(dlg.max->text(), "1");
        EXPECT_EQ(dlg.cutoffMin->text(), "0.008");
        EXPECT_TRUE(dlg.colourbar->isEnabled());
        EXPECT_FALSE(dlg.cutoffMax->isEnabled());
        dlg.methods[kFacesSurface]->click();
        EXPECT_TRUE(dlg.cutoffMax->isEnabled());
        EXPECT_FALSE(dlg.lineWidth->isEnabled());
        dlg.cutoffMax->setText("0.5");
        dlg.colourbar->click();
        dlg.min->setText("0");
        return true;
      })
      .on<QMessageBox>([&](QMessageBox& box) {
        boxes.push_back(box.text().toStdString());
        return true;
      });
  frame.execute(CommandId::CellFaces);
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  const CellFacesOverlay& o = frame.view()->controller().cellFaces;
  EXPECT_TRUE(o.loaded);
  EXPECT_EQ(o.method, kFacesSurface);
  EXPECT_EQ(o.cutoffMax, 0.5f);
  EXPECT_TRUE(o.colourbarShown());
  for (int n = 0; n < 50 && frame.view()->scene().geometry().cellFaces.faces.empty(); ++n) QTest::qWait(20);
  EXPECT_EQ(frame.view()->scene().geometry().cellFaces.faces.size(), 1595u);
}

}  // namespace
}  // namespace litho
