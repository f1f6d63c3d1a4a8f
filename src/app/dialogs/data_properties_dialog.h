#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/dialogs/drop_line_edit.h"
#include "core/data/data_properties.h"

namespace litho {

// "Data properties": the widgets of DataPropertiesEditor, which holds the
// rules. The caller runs finish() on the editor after exec().
class DataPropertiesDialog : public QDialog {
  Q_OBJECT
 public:
  DataPropertiesDialog(Document& doc, Platform& platform, QWidget* parent = nullptr);
  DataPropertiesEditor& editor() { return editor_; }
  void accept() override;

  DropLineEdit* filename;
  QPushButton* browse;
  QPushButton* load;
  QComboBox* list;
  QCheckBox* display;
  QPushButton* unload;
  std::array<QRadioButton*, kPlotMethodCount> methods;
  QLineEdit* value;
  QLabel* valueLabel;
  QRadioButton* solid;
  QRadioButton* colourmap;
  QPushButton* select;
  QLineEdit* max;
  QLineEdit* min;
  QCheckBox* colourbar;

 private:
  // Edits typed so far go into the editor before a button acts on them.
  void collect();
  void sync();
  template <class F>
  void act(F&& f);

  DataPropertiesEditor editor_;
  bool syncing_ = false;
};

}  // namespace litho
