#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>

#include "core/platform/platform.h"
#include "core/scene/display_filters.h"

namespace litho {

// "Diagonal cut": the line of the vertical cut and the side it keeps.
class DiagonalDialog : public QDialog {
  Q_OBJECT
 public:
  DiagonalDialog(Platform& platform, const ViewState& state, QWidget* parent = nullptr);
  // The accepted cut, for applyDiagonal.
  const DiagonalCut& cut() const { return cut_; }
  void accept() override;

  QLineEdit* startEasting;
  QLineEdit* startNorthing;
  QLineEdit* endEasting;
  QLineEdit* endNorthing;
  QCheckBox* flip;

 private:
  Platform& platform_;
  DiagonalCut cut_;
};

}  // namespace litho
