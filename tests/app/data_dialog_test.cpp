// "Load data ...": the dialog's widgets follow its rules, and closing it
// redraws the view with the data sets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include "app/dialogs/data_properties_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(DataDialog, LoadDataCommandWiresTheDialogToTheDocument) {
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
  ASSERT_TRUE(frame.action(CommandId::LoadData)->isEnabled());

  std::vector<std::string> boxes;
  test::ModalDriver answers;
  answers
      .on<DataPropertiesDialog>([&](DataPropertiesDialog& dlg) {
        EXPECT_EQ(dlg.windowTitle(), "Data properties");
        EXPECT_FALSE(dlg.display->isEnabled());
        dlg.filename->setText(QString::fromStdString(ex + "gravity.obs"));
        dlg.load->click();
        EXPECT_EQ(dlg.list->currentText(), "gravity.obs_points");
        EXPECT_TRUE(dlg.methods[kPlotPoints]->isChecked());
        EXPECT_EQ(dlg.max->text(), "0.2574");
        EXPECT_EQ(dlg.valueLabel->text(), "size (pixels)");
        dlg.methods[kPlotSurface]->click();
        EXPECT_EQ(dlg.list->currentText(), "gravity.obs_surface");
        EXPECT_EQ(dlg.valueLabel->text(), "transparency level");
        dlg.value->setText("0.7");
        dlg.colourbar->click();
        dlg.solid->click();
        EXPECT_FALSE(dlg.colourbar->isChecked());
        EXPECT_FALSE(dlg.max->isEnabled());
        dlg.colourmap->click();
        dlg.display->click();
        EXPECT_EQ(dlg.valueLabel->text(), "_");
        EXPECT_FALSE(dlg.value->isEnabled());
        dlg.display->click();
        dlg.colourbar->click();
        return true;
      })
      .on<QMessageBox>([&](QMessageBox& box) {
        boxes.push_back(box.text().toStdString());
        return true;
      });
  frame.execute(CommandId::LoadData);
  EXPECT_TRUE(boxes.empty()) << boxes.front();
  ASSERT_EQ(doc.dataSets().size(), 1u);
  EXPECT_EQ(doc.dataSets()[0].plottingMethod, kPlotSurface);
  EXPECT_EQ(doc.dataSets()[0].plottingValue, 0.7f);
  EXPECT_EQ(doc.selectedDataSet(), 0);
  for (int n = 0; n < 50 && frame.view()->scene().geometry().data.triangles.empty(); ++n) QTest::qWait(20);
  EXPECT_EQ(frame.view()->scene().geometry().data.triangles.size(), 2u * 30 * 30);
}

}  // namespace
}  // namespace litho
