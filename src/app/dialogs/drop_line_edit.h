#pragma once
#include <QLineEdit>

class QHBoxLayout;
class QMimeData;
class QPushButton;

namespace litho {

// An edit field that takes a file dropped on it: the first dropped path
// replaces the text, the field takes the focus and the file name is selected.
class DropLineEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit DropLineEdit(QWidget* parent = nullptr);
  void takeDroppedPath(const QString& path);
  // Takes the first file of a drop; false when it holds none.
  bool takeDrop(const QMimeData* mime);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

// A row of a label, a file name field that takes drops, "Browse" and "Load".
QHBoxLayout* fileRow(QWidget* owner, const char* label, DropLineEdit*& filename, QPushButton*& browse,
                     QPushButton*& load);

}  // namespace litho
