#pragma once
#include <QCheckBox>
#include <QDialog>

#include "app/dialogs/drop_line_edit.h"
#include "core/load/document_ui.h"
#include "core/platform/platform.h"

namespace litho {

// "Lithoscan3D:   Load Model": mesh, first model and optional second model.
class LoadModelDialog : public QDialog {
  Q_OBJECT
 public:
  LoadModelDialog(Platform& platform, QWidget* parent = nullptr);
  void load(const LoadDialogValues& v);
  LoadDialogValues values() const;
  void accept() override;

  QCheckBox* octree;
  DropLineEdit* meshEdit;
  DropLineEdit* modelEdit;
  QCheckBox* modelLog;
  DropLineEdit* secondEdit;
  QCheckBox* secondLog;

 private:
  void browse(DropLineEdit* edit, const char* filter, const char* title);
  Platform& platform_;
};

}  // namespace litho
