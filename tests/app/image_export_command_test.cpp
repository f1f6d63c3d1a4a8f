// "Save image ..." and "&Copy" on the window: bitmap sizes, the clipboard,
// a window too small, and failures that leave no file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImageReader>
#include <QMessageBox>
#include <filesystem>

#include "app/commands/command_registry.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "core/output/image_export.h"
#include "support/qt_modal_driver.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

class ImageExportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/block/";
    LoadRequest req;
    req.meshPath = ex + "block.msh";
    req.modelPath = ex + "density.den";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    frame = std::make_unique<MainWindow>(doc, platform);
    frame->resize(640, 480);
    frame->show();
    QApplication::processEvents();
    frame->view()->grabFramebuffer();
    driver.on<QMessageBox>([&](QMessageBox& box) {
      messages.push_back(box.text().toStdString());
      return true;
    });
  }
  QSize imageSize(const std::string& path) { return QImageReader(QString::fromStdString(path)).size(); }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
  test::ModalDriver driver;
  std::vector<std::string> messages;
};

TEST_F(ImageExportCommandTest, BitmapsDropTheMarginAndTheClipboardTakesFivePixelsLess) {
  ModelView* v = frame->view();
  const int w = v->width(), h = v->height();
  ASSERT_GT(w, 100);
  EXPECT_NE(commandHandler(CommandId::SaveImage), nullptr);
  for (const char* name : {"fig.png", "fig.bmp", "fig.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(v->saveImage(dir.path() + "/" + name));
    EXPECT_EQ(imageSize(dir.path() + "/" + name), QSize(w - 10, h - 10));
  }
  EXPECT_EQ(QImageReader(QString::fromStdString(dir.path() + "/fig.jpg")).format(), "jpeg");
  frame->execute(CommandId::Copy);
  EXPECT_EQ(QApplication::clipboard()->image().size(), QSize(w - 5, h - 5));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ImageExportCommandTest, FailuresAreToldAndLeaveNoFile) {
  ModelView* v = frame->view();
  {
    SCOPED_TRACE("an unknown bitmap format");
    EXPECT_FALSE(v->saveImage(dir.path() + "/fig.nosuchformat"));
    EXPECT_EQ(messages, std::vector<std::string>{kErrorSavingImage});
  }
  {
    SCOPED_TRACE("a vector file in a missing folder");
    messages.clear();
    const std::string gone = dir.path() + "/gone/fig.pdf";
    EXPECT_FALSE(v->saveImage(gone));
    EXPECT_EQ(messages, std::vector<std::string>{couldNotSaveImageText(gone)});
  }
  {
    SCOPED_TRACE("a window 14 pixels wide");
    messages.clear();
    v->setMinimumSize(0, 0);
    v->resize(14, 200);
    EXPECT_FALSE(v->saveImage(dir.path() + "/narrow.png"));
    EXPECT_EQ(messages, std::vector<std::string>{kErrorSavingImage});
  }
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 0);
}

}  // namespace
}  // namespace litho
