#include <gtest/gtest.h>

#include <QApplication>
#include <algorithm>
#include <deque>
#include <QMessageBox>
#include <QTest>

#include "app/dialogs/vector_properties_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/io/field_parse.h"
#include "core/load/document.h"
#include "support/qt_image_test.h"
#include "support/qt_modal_driver.h"
#include "support/temp_dir.h"
#include "support/scripted_platform.h"
#include "core/commands/command_id.h"

namespace litho {
namespace {

TEST(VectorDialog, PresetsChecksAndReturnsItsValues) {
  test::ScriptedPlatform p;
  VectorProperties current;
  current.cones = false;
  current.length = 140.5;
  current.increment = {1, 2, 3};
  {
    SCOPED_TRACE("preset from the view state");
    VectorPropertiesDialog dlg(p, current);
    EXPECT_EQ(dlg.windowTitle(), "Change Vector Properties");
    EXPECT_TRUE(dlg.lines->isChecked());
    EXPECT_FALSE(dlg.cones->isChecked());
    EXPECT_EQ(dlg.length->text(), "140.5");
    EXPECT_EQ(dlg.y->text(), "2");
    EXPECT_EQ(dlg.z->text(), "3");
  }
  {
    SCOPED_TRACE("increment boxes take digits only");
    VectorPropertiesDialog dlg(p, current);
    dlg.x->clear();
    QTest::keyClicks(dlg.x, "-4a7");
    EXPECT_EQ(dlg.x->text(), "47");
  }
  {
    SCOPED_TRACE("a length of 0 is refused and the dialog stays open");
    VectorPropertiesDialog dlg(p, current);
    dlg.length->setText("0");
    dlg.accept();
    EXPECT_EQ(p.messages.back(), (test::Recorded{MessageKind::Plain, "Length should be greater than 0."}));
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.length->setText("x");
    dlg.accept();
    EXPECT_EQ(p.lastMessageText(), kEnterNumberMessage);
    dlg.length->setText("12");
    dlg.z->setText("0");
    const auto shown = p.messages.size();
    dlg.accept();
    EXPECT_EQ(p.messages.size(), shown + 1) << "an increment of 0 is refused";
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    dlg.z->setText("4");
    dlg.cones->setChecked(true);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.values().cones);
    EXPECT_EQ(dlg.values().length, 12);
    EXPECT_EQ(dlg.values().increment, (std::array<int, 3>{1, 2, 4}));
  }
  {
    SCOPED_TRACE("Cancel keeps the values of the opening");
    VectorPropertiesDialog dlg(p, current);
    dlg.length->setText("7");
    dlg.reject();
    EXPECT_EQ(dlg.values().length, 140.5);
  }
}

TEST(VectorDialog, CommandSetsTheViewAndTheConesQuestionComesOnce) {
  test::SavedFolder saved;
  QtPlatform platform;
  Document doc(platform, platform);
  LoadRequest req;
  req.meshPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/vector.msh";
  req.modelPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/magnetization.vec";
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  MainWindow frame(doc, platform);
  frame.show();
  QApplication::processEvents();
  frame.updateCommands();
  ASSERT_TRUE(frame.action(CommandId::VectorProperties)->isEnabled());

  std::string question;
  test::ModalDriver answers;
  answers
      .on<VectorPropertiesDialog>([](VectorPropertiesDialog& dlg) {
        dlg.cones->setChecked(true);
        dlg.length->setText("25");
        dlg.z->setText("2");
        return true;
      })
      .on<QMessageBox>([&](QMessageBox& box) {
        question = box.text().toStdString();
        return false;  // No
      });
  frame.execute(CommandId::VectorProperties);
  const ViewState& s = frame.view()->state();
  EXPECT_TRUE(s.vectorsAsCones);
  EXPECT_EQ(s.vectorLength, 25);
  EXPECT_EQ(s.vectorIncrement, (std::array<int, 3>{1, 1, 2}));
  for (int n = 0; n < 50 && question.empty(); ++n) QTest::qWait(20);
  EXPECT_EQ(question, kConesQuestion);
  QTest::qWait(50);
  EXPECT_TRUE(frame.view()->scene().geometry().vectors.arrows.empty()) << "No skips the pass";

  frame.view()->state().frame.rebuild();
  frame.view()->refreshWindow();
  for (int n = 0; n < 50 && frame.view()->scene().geometry().vectors.arrows.empty(); ++n) QTest::qWait(20);
  EXPECT_FALSE(frame.view()->scene().geometry().vectors.arrows.empty());
  EXPECT_EQ(answers.seen.size(), 2u) << "asked once";
}

// The Qt platform with its questions answered from a script.
class ScriptedQuestions : public QtPlatform {
 public:
  bool askYesNo(const std::string& text, const std::string&) override {
    questions.push_back(text);
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::deque<bool> answers;
  std::vector<std::string> questions;
};

TEST(VectorDialog, ConesQuestionComesBeforeTheBuildAndTheAnswerIsDrawnAtOnce) {
  int litAfterNo = 0;
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    test::SavedFolder saved;
    ScriptedQuestions platform;
    Document doc(platform, platform);
    LoadRequest req;
    req.meshPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/vector.msh";
    req.modelPath = std::string(LITHO_SOURCE_DIR) + "/examples/vector/magnetization.vec";
    ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
    MainWindow frame(doc, platform);
    frame.resize(640, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    ModelView* v = frame.view();
    ViewState& s = v->state();
    v->controller().toggleColourbar();
    v->refreshWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s.frame.rebuildPending() && !s.frame.redrawPending(); }, 5000));

    platform.answers = {yes};
    applyVectorProperties(s, VectorProperties{true, s.vectorLength, {1, 1, 1}});  // the dialog's OK
    v->refreshWindow();
    ASSERT_EQ(platform.questions.size(), 1u) << "asked before the paint";
    EXPECT_EQ(platform.questions[0], kConesQuestion);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !s.frame.rebuildPending() && !s.frame.redrawPending(); }, 5000))
        << "drawn without further input";

    const SceneGeometry& g = v->scene().geometry();
    EXPECT_EQ(g.vectors.arrows.empty(), !yes);
    const auto overlays =
        std::count_if(g.ops.begin(), g.ops.end(), [](const SceneOp& op) { return op.kind == SceneOpKind::Overlays; });
    EXPECT_EQ(overlays, 1) << "the boundary once";
    const QImage img = v->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    const int lit = img.width() * img.height() - test::countPixels(img, qRgb(0, 0, 0));
    EXPECT_GT(test::countPixels(img, qRgb(178, 178, 178)), 50) << "the boundary's top rectangle";
    if (yes)
      EXPECT_GT(lit, 3 * litAfterNo) << "cones fill the box";
    else
      litAfterNo = lit;

    s.frame.rebuild();
    v->refreshWindow();
    EXPECT_EQ(platform.questions.size(), 1u) << "once per run";
  }
}

}  // namespace
}  // namespace litho
