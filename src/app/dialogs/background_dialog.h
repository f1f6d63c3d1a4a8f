#pragma once
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "core/load/document_ui.h"
#include "core/platform/platform.h"

namespace litho {

// "Set Background": the value of a model made from a mesh alone, optionally
// with an air layer above z = 0.
class BackgroundDialog : public QDialog {
  Q_OBJECT
 public:
  BackgroundDialog(Platform& platform, const RectMesh& mesh, float initialValue, QWidget* parent = nullptr);
  BackgroundChoice result() const { return result_; }
  void accept() override;

  QLineEdit* valueEdit;
  QRadioButton* allCells;
  QRadioButton* belowZeroOnly;

 private:
  Platform& platform_;
  const RectMesh& mesh_;
  BackgroundChoice result_;
};

}  // namespace litho
