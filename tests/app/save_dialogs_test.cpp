// The Save Model and Create mesh dialogs and their commands.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/dialogs/create_mesh_dialog.h"
#include "app/dialogs/save_model_dialog.h"
#include "core/load/document.h"
#include "core/io/file_system.h"
#include "support/qt_modal_driver.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

using test::ScriptedPlatform;

TEST(SaveModelDialog, StartsFromTheKeptDummyAndChecksIt) {
  ScriptedPlatform p;
  SaveModelDialog dlg(p, 100000.0f);
  EXPECT_EQ(dlg.windowTitle(), "Save Model");
  EXPECT_TRUE(dlg.entireModel->isChecked());
  EXPECT_FALSE(dlg.withoutPadding->isChecked());
  EXPECT_FALSE(dlg.visibleOnly->isChecked());
  EXPECT_EQ(dlg.dummyEdit->text(), "100000");
  dlg.show();

  dlg.dummyEdit->setText("1e5x");
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "Please enter a number.");
  EXPECT_NE(dlg.result(), QDialog::Accepted);

  dlg.withoutPadding->setChecked(true);
  dlg.visibleOnly->setChecked(true);
  dlg.dummyEdit->setText(" -1 ");
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.options().mode, SaveMode::WithoutPadding);
  EXPECT_TRUE(dlg.options().visibleOnly);
  EXPECT_EQ(dlg.options().dummy, -1.0f);
}

TEST(SaveModelDialog, CommandSavesAndKeepsTheDummy) {
  test::TempDir dir;
  ScriptedPlatform p;
  Document doc(p, p);
  LoadRequest req;
  req.meshPath = dir.write("m.msh", "1 1 2\n0 0 0\n1\n1\n2*1\n");
  req.modelPath = dir.write("m.den", "1\n2\n");
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  keptDummyValue() = kInitialDummyValue;
  test::ModalDriver driver;
  driver.on<SaveModelDialog>([](SaveModelDialog& dlg) {
    dlg.dummyEdit->setText("-3");
    dlg.visibleOnly->setChecked(true);
    return true;
  });
  p.fileAnswers = {dir.path() + "/out.den"};
  SaveViewInfo view = SaveViewInfo::afterLoad(doc.mesh(), doc.store().coreOffsets(), {2, 2});
  EXPECT_TRUE(saveModelCommand(doc, view, p, nullptr));
  EXPECT_EQ(driver.seen, std::vector<std::string>{"SaveModelDialog"});
  std::string text;
  ASSERT_TRUE(readWholeFile(dir.path() + "/out.den", text));
  EXPECT_EQ(text, "-3\n2\n");
  EXPECT_EQ(keptDummyValue(), -3.0f);
  keptDummyValue() = kInitialDummyValue;
}

TEST(CreateMeshDialog, ChecksKeepItOpenAndSaveWritesTheMesh) {
  test::TempDir dir;
  ScriptedPlatform p;
  CreateMeshDialog dlg(p, MeshDesign{});
  EXPECT_EQ(dlg.windowTitle(), "Create mesh");
  const std::vector<QString> initial{"0", "0", "0", "20", "20", "200", "200"};
  EXPECT_EQ((std::vector<QString>{dlg.cornerX->text(), dlg.cornerY->text(), dlg.cornerZ->text(), dlg.dx->text(),
                                  dlg.dy->text(), dlg.lengthX->text(), dlg.lengthY->text()}),
            initial);
  dlg.show();

  dlg.dx->setText("100");
  dlg.lengthX->setText("150");
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "dx is too large.");
  EXPECT_NE(dlg.result(), QDialog::Accepted);

  dlg.lengthY->setText("two hundred");
  dlg.accept();
  EXPECT_EQ(p.lastMessageText(), "Please enter a number.");

  dlg.dx->setText("75");
  dlg.lengthY->setText("200");
  p.fileAnswers = {dir.path() + "/new.msh"};
  dlg.accept();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(dlg.savedPath(), dir.path() + "/new.msh");
  EXPECT_EQ(keptMeshDesign().dx, 75);
  keptMeshDesign() = MeshDesign{};
}

TEST(CreateMeshDialog, CommandLoadsTheNewMesh) {
  test::TempDir dir;
  ScriptedPlatform p;
  Document doc(p, p);
  LoadRequest req;
  test::ModalDriver driver;
  driver.on<CreateMeshDialog>([&](CreateMeshDialog&) {
    p.fileAnswers = {dir.path() + "/made.msh"};
    return true;
  });
  EXPECT_EQ(createMeshCommand(doc, p, nullptr), LoadStatus::Loaded) << p.lastMessageText();
  EXPECT_EQ(driver.seen, std::vector<std::string>{"CreateMeshDialog"});
  EXPECT_TRUE(doc.modelLoaded());
  EXPECT_EQ(doc.meshPath(), dir.path() + "/made.msh");
  EXPECT_EQ(doc.mesh().nx, 10);
  keptMeshDesign() = MeshDesign{};
}

}  // namespace
}  // namespace litho
