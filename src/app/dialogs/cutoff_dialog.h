#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <functional>

#include "core/platform/platform.h"
#include "core/scene/display_filters.h"

namespace litho {

// "Model Cutoff". Works on the view state directly: "Preview" and the release
// of a slider change the cutoff while the dialog is open, and Cancel puts the
// opening cutoff back. onApplied runs after every such change so that the view
// can repaint.
class CutoffDialog : public QDialog {
  Q_OBJECT
 public:
  CutoffDialog(Platform& platform, ViewState& state, const ColourScale& firstScale, double modelMin, double modelMax,
             std::function<void()> onApplied = {}, QWidget* parent = nullptr);
  void accept() override;
  void reject() override;
  void preview();

  QSlider* maxSlider;
  QLineEdit* maxEdit;
  QSlider* minSlider;
  QLineEdit* minEdit;
  QCheckBox* ignoreCutPlanes;
  QPushButton* previewButton;

 private:
  void sliderMoved();
  void sliderReleased();
  void editLeft(QLineEdit* edit, QSlider* slider);
  bool report(const std::optional<FieldError>& error);
  void applied();

  Platform& platform_;
  ViewState& state_;
  CutoffSession session_;
  std::function<void()> onApplied_;
};

}  // namespace litho
