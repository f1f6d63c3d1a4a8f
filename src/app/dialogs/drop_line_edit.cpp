#include "app/dialogs/drop_line_edit.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace litho {

DropLineEdit::DropLineEdit(QWidget* parent) : QLineEdit(parent) { setAcceptDrops(true); }

void DropLineEdit::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    QLineEdit::dragEnterEvent(event);
}

void DropLineEdit::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
  else
    QLineEdit::dragMoveEvent(event);
}

void DropLineEdit::dropEvent(QDropEvent* event) {
  if (takeDrop(event->mimeData()))
    event->acceptProposedAction();
  else
    QLineEdit::dropEvent(event);
}

bool DropLineEdit::takeDrop(const QMimeData* mime) {
  const auto urls = mime->urls();
  if (urls.isEmpty()) return false;
  const QUrl& url = urls.front();
  takeDroppedPath(url.isLocalFile() ? url.toLocalFile() : url.toString());
  return true;
}

void DropLineEdit::takeDroppedPath(const QString& path) {
  setText(path.left(500));
  setFocus(Qt::OtherFocusReason);
  const QString t = text();
  const int slash = t.lastIndexOf('/');
  setSelection(slash + 1, static_cast<int>(t.size()) - slash - 1);
}

QHBoxLayout* fileRow(QWidget* owner, const char* label, DropLineEdit*& filename, QPushButton*& browse,
                     QPushButton*& load) {
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(label, owner));
  filename = new DropLineEdit(owner);
  filename->setObjectName("filename");
  filename->setMinimumWidth(360);
  row->addWidget(filename);
  browse = new QPushButton("Browse", owner);
  load = new QPushButton("Load", owner);
  row->addWidget(browse);
  row->addWidget(load);
  return row;
}

}  // namespace litho
