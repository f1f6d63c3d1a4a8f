#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <cstdio>
#include <set>

#include "app/dialogs/about_dialog.h"
#include "app/dialogs/create_mesh_dialog.h"
#include "app/shell_commands.h"
#include "app/dialogs/save_model_dialog.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "app/version.h"
#include "core/io/mesh_stats.h"
#include "core/load/document.h"
#include "core/view/clipboard_view.h"
#include "core/view/view_parameters.h"
#include "core/commands/command_ids.h"
#include "core/commands/command_table.h"
#include "core/view/view_commands.h"

// The icons are compiled into the static UI library; register them once.
static void initIconResources() { Q_INIT_RESOURCE(icons); }

namespace litho {

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QList<QKeySequence> shortcutsOf(const Command& c) {
  QList<QKeySequence> keys;
  for (const KeyBinding& k : c.keys) {
    keys << QKeySequence::fromString(QString::fromStdString(keyText(k)), QKeySequence::PortableText);
    // Typed characters come from the keypad too.
    if (k.isCharacter) keys << QKeySequence::fromString("Num+" + q(k.name), QKeySequence::PortableText);
  }
  return keys;
}

// Commands handled by the window or its view in this version; the others stay disabled.
const std::set<int>& dialogAndFrameCommands() {
  static const std::set<int> ids{kCmdOpen,       kCmdReload,        kCmdExit,          kCmdMeshStat,  kCmdLights,
                                 kCmdBackground, kCmdColourmap,     kCmdRotationAngles, kCmdScaleModel,
                                 kCmdFontChoose, kCmdToolbar,       kCmdStatusBar, kCmdMouseCut,
                                 kCmdCutoff,     kCmdMinMax,        kCmdPaddingCells, kCmdDiagonal,
                                 kCmdSaveAs,     kCmdCreateMesh,    kCmdAbout,     kCmdManual,
                                 kCmdCopyParameters, kCmdPasteParameters,
                                 kCmdSaveParameters, kCmdLoadParameters,
                                 kCmdVectorProperties};
  return ids;
}

}  // namespace

bool MainWindow::implemented(int command) {
  if (dialogAndFrameCommands().count(command)) return true;
  static const std::set<int> viewIds{
      kCmdRotateXMinus, kCmdRotateXPlus, kCmdRotateZMinus, kCmdRotateZPlus, kCmdZoomIn,      kCmdZoomOut,
      kCmdPanRight,     kCmdPanLeft,     kCmdPanUp,        kCmdPanDown,     kCmdPerspective, kCmdOrthographic,
      kCmdLabels,       kCmdColourbar,   kCmdCompass,      kCmdFloor,       kCmdBoundary,    kCmdMesh,
      kCmdLabelScaleUp, kCmdLabelScaleDown, kCmdFontDecrease, kCmdFontIncrease, kCmdCutWest,  kCmdCutEast,
      kCmdCutSouth,     kCmdCutNorth,    kCmdCutTop,       kCmdCutBottom,   kCmdCutForward,  kCmdCutBackward,
      kCmdCutReset,     kCmdNextModel,   kCmdPreviousModel, kCmdBlendDown,  kCmdBlendUp,     kCmdFlip,
      kCmdResetScale,   kCmdCondRes,     kCmdLog10,        kCmdReadout};
  return viewIds.count(command) > 0;
}

MainWindow::MainWindow(Document& doc, QtPlatform& platform) : doc_(doc), platform_(platform) {
  setObjectName("MainWindow");
  initIconResources();
  view_ = new ModelView(doc_, platform_, this);
  setCentralWidget(view_);

  for (const Command& c : commandTable()) {
    auto* a = new QAction(c.menuText.empty() ? QString::number(c.id) : q(c.menuText), this);
    a->setData(c.id);
    a->setShortcuts(shortcutsOf(c));
    a->setShortcutContext(Qt::WindowShortcut);
    const Prompt p = promptFor(c.id);
    a->setStatusTip(q(p.status));
    a->setToolTip(q(p.tooltip.empty() ? p.status : p.tooltip));
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    addAction(a);  // keys work whether or not the command has a menu entry or button
    actions_[c.id] = a;
  }
  buildMenus();
  buildToolBar();

  statusBar()->showMessage(kIdleStatusText);
  resize(1000, 760);

  platform_.setParentWindow(this);
  view_->controller().onStatus = [this](const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text));
  };
  view_->onStatus = view_->controller().onStatus;
  view_->onCellProperties = [this](int i, int j, int k) {
    // The cell editor arrives with the model transforms; until then the cell is shown.
    const RectMesh& m = doc_.mesh();
    char buf[256];
    std::snprintf(buf, sizeof buf, "Cell %d, %d, %d\nX %g to %g\nY %g to %g\nZ %g to %g\nvalue %g", i, j, k,
                  m.xNodes[i], m.xNodes[i + 1], m.yNodes[j], m.yNodes[j + 1], m.zNodes[k], m.zNodes[k + 1],
                  static_cast<double>(doc_.currentModel()(i, j, k)));
    platform_.message(buf, MessageKind::Info, "Cell Properties");
  };
  view_->controller().onLogButtons = [this](bool show) {
    if (QAction* a = action(kCmdLog10)) a->setVisible(show);
    if (QAction* a = action(kCmdCondRes)) a->setVisible(show);
  };
  view_->onTitleChanged = [this] { updateTitle(); };
  doc_.updateAllViews = [this](ViewRefresh hint) {
    view_->onUpdate(hint);
    updateTitle();
  };
  // The two log buttons show only for log models.
  action(kCmdLog10)->setVisible(false);
  action(kCmdCondRes)->setVisible(false);
  updateTitle();
  view_->onUpdate(ViewRefresh::NewLoad);

  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &MainWindow::updateCommands);
  idle->start(150);
  updateCommands();
}

QAction* MainWindow::action(int command) const {
  const auto it = actions_.find(command);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::addItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItemKind::Separator: menu->addSeparator(); break;
      case MenuItemKind::Submenu: addItems(menu->addMenu(q(item.text)), item.items); break;
      case MenuItemKind::Command:
        if (QAction* a = action(item.command)) menu->addAction(a);
        break;
    }
  }
}

void MainWindow::buildMenus() {
  for (const Menu& m : litho::menuBar()) {
    QMenu* menu = QMainWindow::menuBar()->addMenu(q(m.title));
    connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommands);
    addItems(menu, m.items);
  }
}

void MainWindow::buildToolBar() {
  toolBar_ = addToolBar("Toolbar");
  toolBar_->setObjectName("toolbar");
  toolBar_->setIconSize(QSize(16, 15));
  for (const int id : toolbarLayout()) {
    if (id == kToolbarSeparator) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* a = action(id);
    if (!a) continue;
    a->setIcon(QIcon(QString(":/icons/%1.png").arg(id)));
    toolBar_->addAction(a);
  }
}

void MainWindow::updateCommands() {
  const CommandContext c =
      commandContext(doc_, view_->controller(), toolBar_ && toolBar_->isVisible(), statusBar()->isVisible());
  for (auto& [id, a] : actions_) {
    const CommandStatus s = commandStatus(id, c);
    a->setEnabled(s.enabled && implemented(id));
    a->setCheckable(s.checked.has_value());
    if (s.checked) a->setChecked(*s.checked);
  }
}

void MainWindow::updateTitle() { setWindowTitle(QString::fromStdString(doc_.title()) + " - Lithoscan3D"); }

void MainWindow::execute(int command) {
  // A triggered checkable action flips its own check; the rules decide it.
  ViewController& v = view_->controller();
  if (runViewCommand(v, command)) {
    if (command == kCmdReadout) view_->onReadoutToggled();
    view_->refreshWindow();
  } else {
    switch (command) {
      case kCmdOpen: onOpen(); break;
      case kCmdReload: doc_.reload(); break;  // refreshes the views itself
      case kCmdExit: close(); break;
      case kCmdMeshStat: onMeshStatistics(); break;
      case kCmdSaveParameters: {
        FileDialogRequest request;
        request.title = "Save Lithoscan3D parameters file.";
        request.filter = "parameters (*.ls3d)|*.ls3d||";
        request.startFolder = doc_.workingFolder();
        request.mustExist = false;
        request.promptOverwrite = true;
        if (auto path = platform_.saveFileName(request)) {
          if (path->size() < 5 || path->compare(path->size() - 5, 5, ".ls3d") != 0) *path += ".ls3d";
          const QRect g = geometry();
          saveViewParameters(*path, doc_, view_->controller(), {g.left(), g.top(), g.right() + 1, g.bottom() + 1},
                             platform_, platform_);
        }
        break;
      }
      case kCmdLoadParameters: {
        FileDialogRequest request;
        request.title = "Load Lithoscan3D parameters file.";
        request.filter = "parameters (*.ls3d)|*.ls3d||";
        request.startFolder = doc_.workingFolder();
        if (auto path = platform_.openFileName(request)) loadViewFile(*path);
        break;
      }
      case kCmdCopyParameters:
        platform_.setClipboardText(clipboardViewString(view_->state(), width(), height()));
        break;
      case kCmdPasteParameters:
        if (const auto pasted = pasteViewString(platform_.clipboardText(), view_->controller())) {
          if (pasted->windowSize) resize(pasted->windowSize->first, pasted->windowSize->second);
          view_->refreshWindow();
        } else {
          platform_.message(kBadClipboardMessage, MessageKind::Plain);
        }
        break;
      case kCmdAbout: {
        AboutDialog about(this);
        about.exec();
        break;
      }
      case kCmdManual: openManual(platform_, QCoreApplication::applicationDirPath().toStdString()); break;
      case kCmdSaveAs:
        if (saveModelCommand(doc_, SaveViewInfo::from(view_->state()), platform_, this)) updateTitle();
        break;
      case kCmdCreateMesh:
        if (createMeshCommand(doc_, platform_, this) == LoadStatus::Fatal) QApplication::exit(-1);
        updateTitle();
        break;
      case kCmdLights: view_->onLights(); break;
      case kCmdBackground: view_->onBackground(); break;
      case kCmdColourmap: view_->onColourmap(); break;
      case kCmdRotationAngles: view_->onViewAngles(); break;
      case kCmdScaleModel: view_->onScaleView(); break;
      case kCmdFontChoose: view_->onChooseFont(); break;
      case kCmdMouseCut: view_->onMouseCut(); break;
      case kCmdCutoff: view_->onCutoff(); break;
      case kCmdMinMax: view_->onRange(); break;
      case kCmdPaddingCells: view_->onPadding(); break;
      case kCmdDiagonal: view_->onDiagonal(); break;
      case kCmdVectorProperties: view_->onVectorProperties(); break;
      case kCmdToolbar: toolBar_->setVisible(!toolBar_->isVisible()); break;
      case kCmdStatusBar: statusBar()->setVisible(!statusBar()->isVisible()); break;
      default: break;
    }
  }
  updateCommands();
}

void MainWindow::loadViewFile(const std::string& path) {
  const ViewFileLoad r = loadViewParameters(path, doc_, view_->controller(), platform_, platform_);
  if (r.window && r.window->right > r.window->left && r.window->bottom > r.window->top) {
    move(r.window->left, r.window->top);
    resize(r.window->right - r.window->left, r.window->bottom - r.window->top);
  }
  updateTitle();
  view_->refreshWindow();
  updateCommands();
}

void MainWindow::onOpen() {
  if (doc_.open() == LoadStatus::Fatal) QApplication::exit(-1);
}

void MainWindow::onMeshStatistics() {
  const ViewState& s = view_->state();
  const CoreRegion core{s.hiddenPadding[kSideWest], s.hiddenPadding[kSideSouth], s.hiddenPadding[kSideTop],
                        s.visibleCount[0], s.visibleCount[1], s.visibleCount[2]};
  platform_.message(meshStatisticsText(doc_.mesh(), &core), MessageKind::Info);
}

}  // namespace litho
