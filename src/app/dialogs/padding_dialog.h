#pragma once
#include <QDialog>
#include <QLineEdit>
#include <array>

#include "core/platform/platform.h"
#include "core/scene/display_filters.h"

namespace litho {

// "Padding Cells": the counts of padding cells hidden at the six sides.
class PaddingDialog : public QDialog {
  Q_OBJECT
 public:
  PaddingDialog(Platform& platform, const ViewState& state, QWidget* parent = nullptr);
  // The accepted counts in hiddenPadding order, for applyPadding.
  const std::array<int, 6>& padding() const { return padding_; }
  void accept() override;
  // The six boxes in hiddenPadding order.
  std::array<QLineEdit*, 6> boxes() const { return {west, east, south, north, top, bottom}; }

  QLineEdit* west;
  QLineEdit* east;
  QLineEdit* south;
  QLineEdit* north;
  QLineEdit* top;
  QLineEdit* bottom;

 private:
  Platform& platform_;
  std::array<int, 6> padding_;
};

}  // namespace litho
