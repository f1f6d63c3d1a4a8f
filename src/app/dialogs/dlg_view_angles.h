#pragma once
#include <QDialog>
#include <QLineEdit>

#include "platform/platform.h"
#include "view/view_dialogs.h"

namespace litho {

// "Change View Angles".
class CDlgViewAngles : public QDialog {
  Q_OBJECT
 public:
  CDlgViewAngles(Platform& platform, const ViewAngles& current, QWidget* parent = nullptr);
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
