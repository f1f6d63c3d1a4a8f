#pragma once
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "core/platform/platform.h"
#include "core/scene/display_filters.h"

namespace litho {

// "Set range of model values": the colour range of the first and, when one is
// loaded, the second model, in presented values.
class RangeDialog : public QDialog {
  Q_OBJECT
 public:
  // The result when "Reset" closed the dialog: the view runs "Reset scale".
  static constexpr int kReset = 2;

  RangeDialog(Platform& platform, const ColourState& colours, bool secondModelLoaded, QWidget* parent = nullptr);
  // The accepted ranges, for applyRange.
  const RangeChoice& choice() const { return choice_; }
  void accept() override;

  QLineEdit* firstMax;
  QLineEdit* firstMin;
  QPushButton* reset;
  QGroupBox* secondGroup;
  QLineEdit* secondMax;
  QLineEdit* secondMin;

 private:
  Platform& platform_;
  const ColourState& colours_;
  bool secondModelLoaded_;
  RangeFields shown_;
  RangeChoice choice_;
};

}  // namespace litho
