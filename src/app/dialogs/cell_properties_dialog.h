#pragma once
#include <QDialog>
#include <QLineEdit>
#include <array>

#include "core/edit/model_edits.h"
#include "core/platform/platform.h"

namespace litho {

// "Cell Properties": the picked cell's bounds and values; only "value" is taken back.
class CellPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  CellPropertiesDialog(Platform& platform, const CellProperties& cell, QWidget* parent = nullptr);
  float value() const { return value_; }
  void accept() override;

  std::array<QLineEdit*, 6> boundEdits{};  // X from, X to, Y from, Y to, Z from, Z to
  QLineEdit* valueEdit;
  QLineEdit* secondValueEdit;

 private:
  Platform& platform_;
  float value_;
};

}  // namespace litho
