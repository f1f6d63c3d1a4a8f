#pragma once
#include <QMainWindow>
#include <array>
#include <string>
#include <vector>

#include "core/commands/command_id.h"

class QAction;
class QMenu;
class QToolBar;

namespace litho {

class Document;
class ModelView;
class QtPlatform;
struct MenuItem;

// The main window: menus, toolbar and status bar built from the command
// table, one QAction per command, hosting the view.
class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(Document& doc, QtPlatform& platform);
  ModelView* view() const { return view_; }
  QAction* action(CommandId command) const { return actions_[indexOf(command)]; }
  QToolBar* toolBar() const { return toolBar_; }
  void updateTitle();
  // Runs a command as its menu entry, key or button would.
  void execute(CommandId command);
  // Re-evaluates every enable and check rule.
  void updateCommands();
  // Loads a view parameter file into the document and the view.
  void loadViewFile(const std::string& path);
  // The status bar's text: "Ready", a readout or a prompt; it returns after a menu's or button's tip.
  void showStatus(const QString& text);

 protected:
  bool event(QEvent* event) override;

 private:
  void buildMenus();
  void addItems(QMenu* menu, const std::vector<MenuItem>& items);
  void buildToolBar();

  Document& doc_;
  QtPlatform& platform_;
  ModelView* view_;
  QToolBar* toolBar_ = nullptr;
  std::array<QAction*, kCommandCount> actions_{};
  QString statusText_;
};

}  // namespace litho
