#pragma once
#include <QMainWindow>
#include <map>
#include <string>

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
  QAction* action(int command) const;
  QToolBar* toolBar() const { return toolBar_; }
  void updateTitle();
  // Runs a command as its menu entry, key or button would.
  void execute(int command);
  // Re-evaluates every enable and check rule.
  void updateCommands();
  // Whether the command has a handler in this version.
  static bool implemented(int command);
  // Loads a view parameter file into the document and the view.
  void loadViewFile(const std::string& path);

 private:
  void buildMenus();
  void addItems(QMenu* menu, const std::vector<MenuItem>& items);
  void buildToolBar();
  void onOpen();
  void onMeshStatistics();

  Document& doc_;
  QtPlatform& platform_;
  ModelView* view_;
  QToolBar* toolBar_ = nullptr;
  std::map<int, QAction*> actions_;
};

}  // namespace litho
