#pragma once
#include <QDialog>
#include <QLineEdit>
#include <array>

#include "core/platform/platform.h"

namespace litho {

// "Scale View": display scale factors along X, Y and Z.
class ScaleViewDialog : public QDialog {
  Q_OBJECT
 public:
  ScaleViewDialog(Platform& platform, const std::array<double, 3>& current, QWidget* parent = nullptr);
  std::array<double, 3> values() const { return values_; }
  void accept() override;

  QLineEdit* x;
  QLineEdit* y;
  QLineEdit* z;

 private:
  Platform& platform_;
  std::array<double, 3> values_;
};

}  // namespace litho
