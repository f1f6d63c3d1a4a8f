#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>

#include "core/io/model_writer.h"
#include "core/platform/platform.h"

namespace litho {

class Document;

// "Save Model": the whole model or its core, optionally with the cells the
// view hides set to a dummy value.
class SaveModelDialog : public QDialog {
  Q_OBJECT
 public:
  SaveModelDialog(Platform& platform, float dummy, QWidget* parent = nullptr);
  SaveModelOptions options() const { return options_; }
  void accept() override;

  QRadioButton* entireModel;
  QRadioButton* withoutPadding;
  QCheckBox* visibleOnly;
  QLineEdit* dummyEdit;

 private:
  Platform& platform_;
  SaveModelOptions options_;
};

// "Save As ...": the dialog, the file name, then the save. True when
// the files were written (an entire model renames the document: refresh the title).
bool saveModelCommand(Document& doc, const SaveViewInfo& view, Platform& platform, QWidget* parent);

}  // namespace litho
