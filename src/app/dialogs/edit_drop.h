#pragma once
#include <QLineEdit>

namespace litho {

// An edit field that takes a file dropped on it: the first dropped path
// replaces the text, the field takes the focus and the file name is selected.
class CEditDrop : public QLineEdit {
  Q_OBJECT
 public:
  explicit CEditDrop(QWidget* parent = nullptr);
  void takeDroppedPath(const QString& path);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace litho
