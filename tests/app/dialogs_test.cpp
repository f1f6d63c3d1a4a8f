#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QOpenGLContext>
#include <QPushButton>
#include <QUrl>

#include "app/dialogs/background_dialog.h"
#include "app/dialogs/banner_dialog.h"
#include "app/dialogs/load_model_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::ScriptedPlatform;

TEST(FileLoadDialog, RoundTripsEveryField) {
  ScriptedPlatform p;
  LoadModelDialog dlg(p);
  const LoadDialogValues v{true, "/a/mesh.msh", "/a/model.den", true, "/a/second.den", true};
  dlg.load(v);
  const LoadDialogValues back = dlg.values();
  EXPECT_EQ(back.octree, v.octree);
  EXPECT_EQ(back.meshPath, v.meshPath);
  EXPECT_EQ(back.modelPath, v.modelPath);
  EXPECT_EQ(back.logModel, v.logModel);
  EXPECT_EQ(back.secondModelPath, v.secondModelPath);
  EXPECT_EQ(back.logSecondModel, v.logSecondModel);
  dlg.load({false, "", "", false, "", true});
  EXPECT_FALSE(dlg.values().logModel);
  EXPECT_TRUE(dlg.values().logSecondModel);
  EXPECT_EQ(dlg.windowTitle(), "Lithoscan3D:   Load Model");
}

TEST(FileLoadDialog, FailedCheckKeepsTheDialogOpenWithFocusOnTheField) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "1 1 1\n0 0 0\n1\n1\n1\n");
  ScriptedPlatform p;
  LoadModelDialog dlg(p);
  dlg.show();
  dlg.activateWindow();
  QApplication::processEvents();

  dlg.load({false, "", "", false, "", false});
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "Mesh file is needed.");
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_NE(dlg.result(), QDialog::Accepted);

  dlg.load({false, mesh, dir.path() + "/none.den", false, "", false});
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "model file:\n" + dir.path() + "/none.den\nnot found.");
  EXPECT_EQ(dlg.focusWidget(), dlg.modelEdit);
  EXPECT_TRUE(dlg.isVisible());

  dlg.load({false, mesh, "", false, "", false});
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(p.messages.size(), 2u);
}

TEST(FileLoadDialog, DroppedFileReplacesTheTextAndSelectsItsName) {
  ScriptedPlatform p;
  LoadModelDialog dlg(p);
  dlg.show();
  QApplication::processEvents();
  dlg.meshEdit->setText("old text");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/data/run 1/mesh.msh"), QUrl::fromLocalFile("/other.msh")});
  EXPECT_TRUE(dlg.meshEdit->takeDrop(&mime));
  EXPECT_EQ(dlg.meshEdit->text(), "/data/run 1/mesh.msh");
  EXPECT_EQ(dlg.meshEdit->selectedText(), "mesh.msh");

  dlg.modelEdit->takeDroppedPath(QString(600, 'a'));
  EXPECT_EQ(dlg.modelEdit->text().size(), 500);
}

TEST(FileLoadDialog, BrowseFillsTheMatchingField) {
  ScriptedPlatform p;
  LoadModelDialog dlg(p);
  p.fileAnswers.push_back(std::string("/picked/model.den"));
  auto buttons = dlg.findChildren<QPushButton*>();
  QPushButton* second = nullptr;
  for (auto* b : buttons)
    if (b->text() == "Browse" && b->parentWidget() == dlg.modelEdit->parentWidget()) second = b;
  ASSERT_NE(second, nullptr);
  second->click();
  EXPECT_EQ(dlg.modelEdit->text(), "/picked/model.den");
  EXPECT_EQ(p.fileDialogTitles, std::vector<std::string>{"First model file"});
}

TEST(BackgroundDialog, ChecksTheAirLayerAgainstTheMesh) {
  ScriptedPlatform p;
  RectMesh m;
  m.nz = 3;
  m.zNodes = {-5, -10, -20, -30};
  BackgroundDialog dlg(p, m, -4.0f);
  EXPECT_EQ(dlg.valueEdit->text(), "-4");
  EXPECT_TRUE(dlg.allCells->isChecked());
  dlg.belowZeroOnly->setChecked(true);
  dlg.accept();
  EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Warning, "Z does not equal to 0 inside the mesh."}));
  EXPECT_NE(dlg.result().value, 123.0f);

  m.zNodes = {20, 10, -20, -30};
  dlg.valueEdit->setText("abc");
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "Please enter a number.");
  dlg.valueEdit->setText(" -2.5 ");
  dlg.accept();
  EXPECT_EQ(dlg.result().value, -2.5f);
  EXPECT_EQ(dlg.result().topIndex, 2);
}

TEST(StartUp, EmptyCommandLineShowsTheBannerThenTheLoadModelDialog) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  QtPlatform platform;
  Document doc(platform, platform);
  test::ModalDriver driver;
  driver
      .on<BannerDialog>([](BannerDialog& banner) {
        banner.hardware->setChecked(true);
        return true;
      })
      .on<LoadModelDialog>([&](LoadModelDialog& load) {
        load.meshEdit->setText(QString::fromStdString(mesh));
        return true;
      });
  EXPECT_EQ(doc.startUp({}), LoadStatus::Loaded);
  EXPECT_EQ(driver.seen, (std::vector<std::string>{"BannerDialog", "LoadModelDialog"}));
  EXPECT_TRUE(doc.hardwareOpenGL());
  EXPECT_TRUE(doc.modelLoaded());
  EXPECT_EQ(doc.meshPath(), mesh);
}

TEST(MainFrame, ShowsTheDocumentTitleAndClearsToTheBackground) {
  test::TempDir dir;
  const std::string mesh = dir.write("m.msh", "2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  QtPlatform platform;
  Document doc(platform, platform);
  LoadRequest req;
  req.meshPath = mesh;
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  MainWindow frame(doc, platform);
  frame.view()->controller().setBackground(255, 0, 255);
  frame.show();
  QApplication::processEvents();
  EXPECT_EQ(frame.windowTitle().toStdString(), mesh + " - Lithoscan3D");
  const QImage img = frame.view()->grabFramebuffer();
  ASSERT_FALSE(img.isNull());
  EXPECT_EQ(img.pixelColor(img.width() / 2, img.height() / 2).rgb(), qRgb(255, 0, 255));
  EXPECT_EQ(frame.view()->glErrorText, "No Error");
  EXPECT_TRUE(frame.view()->context()->format().profile() == QSurfaceFormat::CompatibilityProfile ||
              frame.view()->context()->format().majorVersion() < 3);
}

}  // namespace
}  // namespace litho
