#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/application.h"
#include "app/commands/help_commands.h"
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/load_model_dialog.h"
#include "app/dialogs/progress_window.h"
#include "app/dialogs/range_dialog.h"
#include "app/dialogs/title_fit.h"
#include "app/dialogs/view_angles_dialog.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "core/load/document.h"
#include "support/qt_modal_driver.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace litho {
namespace {

TEST(Manual, FallsBackToTheWebPageAndThenToAMessage) {
  test::TempDir dir;
  {
    SCOPED_TRACE("the manual beside the program");
    test::ScriptedPlatform p;
    dir.write(kManualFile, "%PDF");
    p.shellAnswers = {true};
    openManual(p, dir.path());
    EXPECT_EQ(p.shellOpened, std::vector<std::string>{dir.path() + "/" + kManualFile});
    EXPECT_TRUE(p.messages.empty());
  }
  {
    SCOPED_TRACE("missing manual: the web page");
    test::ScriptedPlatform p;
    p.shellAnswers = {true};
    openManual(p, dir.path() + "/nowhere");
    EXPECT_EQ(p.shellOpened, std::vector<std::string>{kManualPage});
    EXPECT_TRUE(p.messages.empty());
  }
  {
    SCOPED_TRACE("the HTML manual first, as built beside the program");
    test::ScriptedPlatform p;
    std::filesystem::create_directories(dir.path() + "/docs");
    dir.write(kBuiltManual, "<html>");
    p.shellAnswers = {true};
    openManual(p, dir.path());
    EXPECT_EQ(p.shellOpened, std::vector<std::string>{dir.path() + "/" + kBuiltManual});
    std::filesystem::remove(dir.path() + "/" + kBuiltManual);
  }
  {
    SCOPED_TRACE("nothing opens");
    test::ScriptedPlatform p;
    p.shellAnswers = {false, false};
    openManual(p, dir.path());
    EXPECT_EQ(p.shellOpened.size(), 2u);
    EXPECT_EQ(p.lastMessageText(), "Can't open documentation.");
  }
}

TEST(Manual, TheBuiltManualHoldsTheCommandReference) {
  std::ifstream in(std::filesystem::path(LITHO_APP_EXE).parent_path() / kBuiltManual);
  const std::string html{std::istreambuf_iterator<char>(in), {}};
  EXPECT_NE(html.find("Lithoscan3D manual"), std::string::npos);
  EXPECT_NE(html.find("Load the cell faces (weighting) file."), std::string::npos);
  EXPECT_NE(html.find("Shift+Up"), std::string::npos);
  EXPECT_EQ(html.find("&lt;!-- commands"), std::string::npos);
}

TEST(AboutBox, ShowsNameAndVersionAndTheAddressOnOneLine) {
  AboutDialog dlg;
  EXPECT_EQ(dlg.windowTitle(), "About Lithoscan3D");
  EXPECT_EQ(dlg.version->text(), "Version " LITHO_VERSION);
  dlg.show();
  QApplication::processEvents();
  bool found = false;
  for (QTextBlock b = dlg.description->document()->begin(); b.isValid(); b = b.next())
    if (b.text().contains(kManualPage)) {
      found = true;
      EXPECT_EQ(b.layout()->lineCount(), 1);
    }
  EXPECT_TRUE(found);
  EXPECT_EQ(dlg.description->horizontalScrollBar()->maximum(), 0) << "every line fits the box";
}

TEST(Dialogs, TitlesFitTheirWindowsAndBrowseStartsBesideTheMesh) {
  DialogTitleFit fit;
  QApplication::instance()->installEventFilter(&fit);
  test::ScriptedPlatform p;
  const ColourState colours;
  const auto expectTitleFits = [](QDialog& dlg) {
    SCOPED_TRACE(dlg.windowTitle().toStdString());
    dlg.show();
    QFont bold = dlg.font();
    bold.setBold(true);
    // The title plus room for a title bar's icon and buttons.
    EXPECT_GE(dlg.width(), QFontMetrics(bold).horizontalAdvance(dlg.windowTitle()) + 100);
    dlg.hide();
  };
  RangeDialog range(p, colours, false);
  expectTitleFits(range);
  ViewAnglesDialog angles(p, ViewAngles{});
  expectTitleFits(angles);

  struct RecordingPlatform : test::ScriptedPlatform {
    std::optional<std::string> openFileName(const FileDialogRequest& r) override {
      starts.push_back(r.startFolder);
      return std::nullopt;
    }
    std::vector<std::string> starts;
  } rp;
  LoadModelDialog load(rp);
  load.load({false, "/data/survey/m.msh", "", false, "", false});
  for (QPushButton* b : load.findChildren<QPushButton*>())
    if (b->text() == "Browse") b->click();
  EXPECT_EQ(rp.starts, (std::vector<std::string>{"/data/survey", "/data/survey", "/data/survey"}));
  EXPECT_EQ(qtFilter("parameters (*.ls3d)|*.ls3d||"), "parameters (*.ls3d)");
  EXPECT_EQ(qtFilter("Mesh||"), "Mesh (*)");
}

TEST(StatusBar, TheReadoutOrReadyComesBackAfterATip) {
  QtPlatform platform;
  Document doc(platform, platform);
  MainWindow frame(doc, platform);
  frame.show();
  QStatusBar* bar = frame.statusBar();
  QWidget* button = frame.toolBar()->widgetForAction(frame.action(CommandId::ZoomIn));
  ASSERT_TRUE(button);
  const auto tip = [](QWidget* w, const QString& text) {
    QStatusTipEvent e(text);
    QApplication::sendEvent(w, &e);
  };
  EXPECT_EQ(bar->currentMessage(), "Ready");
  tip(button, "Zoom in.");
  EXPECT_EQ(bar->currentMessage(), "Zoom in.");
  tip(button, "");
  EXPECT_EQ(bar->currentMessage(), "Ready");
  frame.view()->onStatus("Northing =  7000050");
  // Menus send their tips through the menu bar that opened them.
  tip(frame.menuBar(), "Open a model.");
  tip(frame.menuBar(), "");
  EXPECT_EQ(bar->currentMessage(), "Northing =  7000050");
}

TEST(QtPlatformMessages, ShowTheArrowAndPutTheLoadingWindowAside) {
  QtPlatform platform;
  test::ModalDriver driver;
  std::vector<std::string> seenWhileAsked;
  const auto progressVisible = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<ProgressWindow*>(w) && w->isVisible()) return true;
    return false;
  };
  driver.on<QMessageBox>([&](QMessageBox&) {
    const QCursor* c = QApplication::overrideCursor();
    seenWhileAsked.push_back(std::string(c && c->shape() == Qt::ArrowCursor ? "arrow" : "other") +
                             (progressVisible() ? " progress" : ""));
    return true;
  });
  {
    WaitCursor wait(platform);
    platform.progressBegin("Loading /d/m.den");
    ASSERT_TRUE(progressVisible());
    platform.message("2 models have been read from model file.", MessageKind::Info);
    EXPECT_FALSE(progressVisible());
    ASSERT_TRUE(QApplication::overrideCursor());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    platform.progressShow(50);
    EXPECT_TRUE(progressVisible()) << "a read that goes on shows its window again";
    platform.progressEnd();
    EXPECT_TRUE(platform.askYesNo("Would you like these cells to be ignored?"));
  }
  EXPECT_FALSE(QApplication::overrideCursor());
  EXPECT_EQ(seenWhileAsked, (std::vector<std::string>{"arrow", "arrow"}));
}

TEST(Program, OpenReportsAMissingFileAndStaysOpen) {
  test::TempDir dir;
  test::ScriptedPlatform scripted;
  QtPlatform platform;
  Document doc(scripted, scripted);
  LoadRequest req;
  req.meshPath = dir.write("m.msh", "2 2 2\n0 0 0\n2*1\n2*1\n2*1\n");
  ASSERT_EQ(doc.load(req), LoadStatus::Loaded);
  MainWindow frame(doc, platform);
  const std::string missing = dir.path() + "/gone.msh";
  scripted.loadDialogAnswers.push_back(LoadDialogValues{false, missing, "", false, "", false});
  QEventLoop loop;
  QTimer::singleShot(0, [&] {
    frame.execute(CommandId::Open);
    loop.exit(0);
  });
  EXPECT_EQ(loop.exec(), 0) << "the program was told to end";
  EXPECT_EQ(scripted.lastMessageText(), "File not found: " + missing);
  EXPECT_FALSE(doc.modelLoaded());
  EXPECT_EQ(frame.windowTitle(), "Untitled - Lithoscan3D");
}

// Runs the program on a command line until its main window is up with no modal
// window open, hands the window to check, then quits. Every modal window that
// opens on the way is cancelled and listed in the result.
std::vector<std::string> runProgram(const std::vector<std::string>& args,
                                    const std::function<void(MainWindow&)>& check) {
  test::SavedFolder saved;
  test::ModalDriver driver;
  int settledTicks = 0;
  bool checked = false;
  QTimer probe, deadline;
  QObject::connect(&probe, &QTimer::timeout, [&] {
    MainWindow* frame = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* f = qobject_cast<MainWindow*>(w); f && f->isVisible() && f->windowHandle()->isExposed()) frame = f;
    // Two quiet ticks in a row: the first paint is done and raised nothing.
    settledTicks = frame && !QApplication::activeModalWidget() ? settledTicks + 1 : 0;
    if (settledTicks < 2 || checked) return;
    checked = true;
    check(*frame);
    QApplication::exit(0);
  });
  QObject::connect(&deadline, &QTimer::timeout, [] { QApplication::exit(1); });
  probe.start(50);
  deadline.start(20000);
  EXPECT_EQ(Application().run(args), 0);
  EXPECT_TRUE(checked) << "no main window came up";
  return driver.seen;
}

TEST(Program, OpensTheBundledExample) {
  const std::string mesh = std::string(LITHO_SOURCE_DIR) + "/examples/block/block.msh";
  const auto modals = runProgram({mesh, "NOMODEL"}, [&](MainWindow& frame) {
    EXPECT_EQ(frame.windowTitle().toStdString(), mesh + " - Lithoscan3D");
    const Document& doc = frame.view()->controller().doc();
    EXPECT_TRUE(doc.modelLoaded());
    EXPECT_EQ(doc.meshPath(), mesh);
    EXPECT_EQ(doc.mesh().cellCount(), 40 * 40 * 30);
    EXPECT_EQ(doc.currentModel().size(), static_cast<std::size_t>(doc.mesh().cellCount()));
  });
  EXPECT_EQ(modals, std::vector<std::string>{});
}

TEST(Program, OpensTheOctreeExample) {
  const std::string ex = std::string(LITHO_SOURCE_DIR) + "/examples/octree/";
  const auto modals =
      runProgram({ex + "octree.msh", ex + "conductivity.con", "/octree", "/log"}, [&](MainWindow& frame) {
        EXPECT_EQ(frame.windowTitle().toStdString(), ex + "conductivity.con - Lithoscan3D");
        const Document& doc = frame.view()->controller().doc();
        EXPECT_TRUE(doc.modelLoaded());
        EXPECT_TRUE(doc.octreeMode());
        EXPECT_TRUE(doc.logModel());
        EXPECT_EQ(doc.modelPath(), ex + "conductivity.con");
        EXPECT_EQ(doc.currentModel().size(), static_cast<std::size_t>(doc.mesh().cellCount()));
      });
  EXPECT_EQ(modals, std::vector<std::string>{});
}

}  // namespace
}  // namespace litho
