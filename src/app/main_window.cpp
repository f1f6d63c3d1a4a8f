#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <exception>

#include "app/commands/command_registry.h"
#include "app/dialogs/cell_properties_dialog.h"
#include "app/model_view.h"
#include "app/qt_platform.h"
#include "app/version.h"
#include "app/window_placement.h"
#include "core/commands/command_table.h"
#include "core/io/mesh_stats.h"
#include "core/load/document.h"
#include "core/view/view_parameters.h"

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

}  // namespace

MainWindow::MainWindow(Document& doc, QtPlatform& platform) : doc_(doc), platform_(platform) {
  setObjectName("MainWindow");
  initIconResources();
  view_ = new ModelView(doc_, platform_, this);
  setCentralWidget(view_);

  for (const Command& c : commandTable()) {
    auto* a = new QAction(q(c.menuText), this);
    a->setData(static_cast<int>(c.id));
    a->setShortcuts(shortcutsOf(c));
    a->setShortcutContext(Qt::WindowShortcut);
    const Prompt p = promptFor(c.id);
    a->setStatusTip(q(p.status));
    a->setToolTip(q(p.tooltip.empty() ? p.status : p.tooltip));
    const CommandId id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { execute(id); });
    addAction(a);  // keys work whether or not the command has a menu entry or button
    actions_[indexOf(c.id)] = a;
  }
  buildMenus();
  buildToolBar();

  showStatus(kIdleStatusText);
  resize(1000, 760);

  platform_.setParentWindow(this);
  view_->controller().onStatus = [this](const std::string& text) { showStatus(QString::fromStdString(text)); };
  view_->onStatus = view_->controller().onStatus;
  view_->onCellProperties = [this](int i, int j, int k) {
    CellPropertiesDialog dlg(platform_, cellProperties(doc_, i, j, k), this);
    if (dlg.exec() != QDialog::Accepted || !setCellValue(doc_, i, j, k, dlg.value())) return;
    view_->refreshWindow();
    updateCommands();
  };
  view_->controller().onLogButtons = [this](bool show) {
    action(CommandId::Log10)->setVisible(show);
    action(CommandId::CondRes)->setVisible(show);
  };
  view_->onTitleChanged = [this] { updateTitle(); };
  view_->onCommandsChanged = [this] { updateCommands(); };
  doc_.updateAllViews = [this](ViewRefresh hint) {
    view_->onUpdate(hint);
    updateTitle();
  };
  // The two log buttons show only for log models.
  action(CommandId::Log10)->setVisible(false);
  action(CommandId::CondRes)->setVisible(false);
  updateTitle();
  view_->onUpdate(ViewRefresh::NewLoad);

  auto* idle = new QTimer(this);
  connect(idle, &QTimer::timeout, this, &MainWindow::updateCommands);
  idle->start(150);
  updateCommands();
}

void MainWindow::addItems(QMenu* menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItemKind::Separator: menu->addSeparator(); break;
      case MenuItemKind::Submenu: addItems(menu->addMenu(q(item.text)), item.items); break;
      case MenuItemKind::Command: menu->addAction(action(item.command)); break;
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
  for (const std::optional<CommandId> id : toolbarLayout()) {
    if (!id) {
      toolBar_->addSeparator();
      continue;
    }
    QAction* a = action(*id);
    a->setIcon(QIcon(":/icons/" + q(command(*id).icon) + ".png"));
    toolBar_->addAction(a);
  }
}

void MainWindow::updateCommands() {
  const CommandState state{doc_, view_->controller(),
                           FrameState{toolBar_ && toolBar_->isVisible(), statusBar()->isVisible(), view_->movie().recording()}};
  for (const Command& c : commandTable()) {
    QAction* a = action(c.id);
    const CommandStatus s = commandStatus(c.id, state);
    a->setEnabled(s.enabled && commandHandler(c.id));
    a->setCheckable(s.checked.has_value());
    if (s.checked) a->setChecked(*s.checked);
  }
}

void MainWindow::showStatus(const QString& text) {
  statusText_ = text;
  statusBar()->showMessage(text);
}

bool MainWindow::event(QEvent* e) {
  // Qt clears the status bar when a tip ends (the pointer leaves a button, a menu closes).
  if (e->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(e)->tip();
    statusBar()->showMessage(tip.isEmpty() ? statusText_ : tip);
    return true;
  }
  return QMainWindow::event(e);
}

void MainWindow::updateTitle() { setWindowTitle(QString::fromStdString(doc_.title()) + " - Lithoscan3D"); }

void MainWindow::execute(CommandId command) {
  // A triggered checkable action flips its own check; the rules decide it.
  if (const CommandHandler handler = commandHandler(command)) {
    CommandTarget target{*this, *view_, view_->controller(), doc_, platform_};
    try {
      handler(target);
    } catch (const std::exception& e) {
      platform_.message(e.what(), MessageKind::Error);
    } catch (...) {
      platform_.message("Unexpected error.", MessageKind::Error);
    }
    view_->refreshWindow();
  }
  updateCommands();
}

void MainWindow::loadViewFile(const std::string& path) {
  const ViewFileLoad r = loadViewParameters(path, doc_, view_->controller(), platform_, platform_);
  if (r.window) placeWindow(*this, *r.window);
  updateTitle();
  view_->refreshWindow();
  updateCommands();
}

}  // namespace litho
