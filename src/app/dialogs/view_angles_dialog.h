#pragma once
#include <QDialog>
#include <QLineEdit>

#include "core/platform/platform.h"
#include "core/view/view_dialogs.h"

namespace litho {

// "Change View Angles".
class ViewAnglesDialog : public QDialog {
  Q_OBJECT
 public:
  ViewAnglesDialog(Platform& platform, const ViewAngles& current, QWidget* parent = nullptr);
  ViewAngles values() const { return values_; }
  void accept() override;
  void quickRotate(int button);

  QLineEdit* x;
  QLineEdit* z;
  QLineEdit* step;
  QLineEdit* zoom;

 private:
  Platform& platform_;
  ViewAngles values_;
};

}  // namespace litho
