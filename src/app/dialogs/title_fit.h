#pragma once
#include <QObject>

class QWidget;

namespace litho {

// Window managers cut a title that is wider than its window ("Set ran...values"):
// widens a window that is narrower than its title needs, within the screen.
void fitWidthToTitle(QWidget& window);

// Installed on the application, fits every dialog as it is shown.
class DialogTitleFit : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace litho
