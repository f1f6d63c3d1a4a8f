#pragma once
#include <QCheckBox>
#include <QDialog>

#include "app/dialogs/edit_drop.h"
#include "model/document_ui.h"
#include "platform/platform.h"

namespace litho {

// "Lithoscan3D:   Load Model": mesh, first model and optional second model.
class CFileLoad : public QDialog {
  Q_OBJECT
 public:
  CFileLoad(Platform& platform, QWidget* parent = nullptr);
  void load(const LoadDialogValues& v);
  LoadDialogValues values() const;
  void accept() override;

  QCheckBox* octree;
  CEditDrop* meshEdit;     // 1006
  CEditDrop* modelEdit;    // 1008
  QCheckBox* modelLog;     // 1010
  CEditDrop* secondEdit;   // 1011
  QCheckBox* secondLog;    // 1013

 private:
  void browse(CEditDrop* edit, const char* filter, const char* title);
  Platform& platform_;
};

}  // namespace litho
