// The Animation menu on the window: both methods recorded through the real
// dialogs and paints, and a resize or a closed window leaving a movie that plays.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStatusBar>
#include <QThread>

#include "app/dialogs/animate_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/movie_probe.h"
#include "support/qt_modal_driver.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

class MovieCommandTest : public ::testing::Test {
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
    driver.on<QFileDialog>([&](QFileDialog& d) {
      d.selectFile(QString::fromStdString(file));
      return true;
    });
    driver.on<AnimateDialog>([&](AnimateDialog& d) {
      (method == 1 ? d.method1 : d.method2)->setChecked(true);
      d.framesPerSecond->setText("12");
      d.frames->setText(QString::number(transitionFrames));
      return true;
    });
  }
  MovieSession& movie() { return frame->view()->movie(); }
  int frames() { return movie().recorder() ? movie().recorder()->frameCount() : -1; }
  bool enabled(CommandId id) { return frame->action(id)->isEnabled(); }
  void start(const std::string& name, int m) {
    file = dir.path() + "/" + name;
    method = m;
    frame->execute(CommandId::AnimationStart);
  }
  template <class Condition>
  void waitFor(Condition done) {
    for (int i = 0; i < 200 && !done(); ++i) {
      QApplication::processEvents();
      QThread::msleep(10);
    }
  }

  test::TempDir dir;
  QtPlatform platform;
  Document doc{platform, platform};
  std::unique_ptr<MainWindow> frame;
  test::ModalDriver driver;
  std::vector<std::string> messages;
  std::string file;
  int method = 1;
  int transitionFrames = 20;
};

TEST_F(MovieCommandTest, RecordsBothMethods) {
  ModelView* v = frame->view();
  EXPECT_FALSE(enabled(CommandId::AnimationContinue));
  start("by_hand.avi", 1);
  ASSERT_TRUE(movie().recording());
  EXPECT_EQ(frames(), 1) << "method 1 records a frame at once";
  EXPECT_TRUE(enabled(CommandId::AnimationStop));
  EXPECT_TRUE(frame->action(CommandId::AnimationStart)->isChecked());
  frame->execute(CommandId::RotateZPlus);
  waitFor([&] { return frames() == 2; });
  frame->execute(CommandId::AnimationContinue);
  EXPECT_EQ(frames(), 3);
  EXPECT_EQ(frame->statusBar()->currentMessage(), "   Recording ...   3");
  frame->execute(CommandId::AnimationStop);
  EXPECT_FALSE(movie().recording());
  EXPECT_FALSE(enabled(CommandId::AnimationContinue));
  EXPECT_EQ(frame->statusBar()->currentMessage(), "Ready");
  const test::MovieProbe hand = test::probeMovie(dir.path() + "/by_hand.avi");
  EXPECT_EQ(hand.frames, 3);
  EXPECT_EQ(hand.width, v->width() - 10);
  EXPECT_EQ(hand.height, v->height() - 10);
  EXPECT_EQ(hand.rate, "12/1");

  start("key_frames.mp4", 2);
  EXPECT_EQ(frames(), 0) << "method 2 records nothing at the start";
  const float turned = v->controller().state.rotationZ + 90;
  v->controller().state.rotationZ = turned;
  v->controller().applyModelView();
  frame->execute(CommandId::AnimationContinue);
  EXPECT_EQ(frames(), 20);
  EXPECT_EQ(v->controller().state.keyFrame.rotationZ, turned);
  frame->execute(CommandId::AnimationStop);
  EXPECT_EQ(test::probeMovie(dir.path() + "/key_frames.mp4").frames, 20);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MovieCommandTest, AResizeOrAClosedWindowEndsTheRecordingWithAPlayableFile) {
  start("resized.avi", 1);
  ASSERT_EQ(frames(), 1);
  frame->resize(700, 520);
  waitFor([&] { return !messages.empty(); });
  EXPECT_EQ(messages, std::vector<std::string>{kResizeStopsRecording});
  EXPECT_FALSE(movie().recording());
  EXPECT_FALSE(enabled(CommandId::AnimationContinue));
  EXPECT_FALSE(enabled(CommandId::AnimationStop));
  EXPECT_EQ(test::probeMovie(dir.path() + "/resized.avi").frames, 1);

  start("closed.mp4", 1);
  frame->execute(CommandId::AnimationContinue);
  ASSERT_EQ(frames(), 2);
  frame.reset();
  EXPECT_EQ(test::probeMovie(dir.path() + "/closed.mp4").frames, 2);
}

TEST(AnimateDialog, StartAndContinueModes) {
  test::ScriptedPlatform p;
  {
    SCOPED_TRACE("start");
    AnimateDialog dlg(p, AnimateSetup{AnimateMode::Start, "/data/movies/turn.avi", 10, 0, 20});
    EXPECT_EQ(dlg.outputFilename->selectedText(), "turn.avi");
    EXPECT_FALSE(dlg.frames->isEnabled());
    EXPECT_TRUE(dlg.method1->isChecked());
    dlg.framesPerSecond->setText("0");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kFramesPerSecondNotPositive);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.framesPerSecond->setText("25");
    dlg.method2->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values().framesPerSecond, 25);
    EXPECT_EQ(dlg.values().method, 1);
  }
  {
    SCOPED_TRACE("continue");
    AnimateDialog dlg(p, AnimateSetup{AnimateMode::Continue, "/data/turn.avi", 25, 1, 20});
    EXPECT_FALSE(dlg.method1->isEnabled());
    EXPECT_TRUE(dlg.framesPerSecond->isReadOnly());
    dlg.frames->setText("1");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kTooFewFrames);
    dlg.frames->setText("30");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.values().frames, 30);
  }
}

}  // namespace
}  // namespace litho
