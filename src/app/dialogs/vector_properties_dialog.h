#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "core/platform/platform.h"
#include "core/scene/vector_scene.h"

namespace litho {

// "Change Vector Properties": cones or lines, the constant length, the plotting increments.
class VectorPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  VectorPropertiesDialog(Platform& platform, const VectorProperties& current, QWidget* parent = nullptr);
  VectorProperties values() const { return values_; }
  void accept() override;

  QRadioButton* cones;
  QRadioButton* lines;
  QLineEdit* length;
  QLineEdit* x;
  QLineEdit* y;
  QLineEdit* z;

 private:
  Platform& platform_;
  VectorProperties values_;
};

}  // namespace litho
