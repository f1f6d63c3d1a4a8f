#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/dialogs/drop_line_edit.h"
#include "core/faces/cell_faces_editor.h"

namespace litho {

// "Cell Faces": the widgets of CellFacesEditor, which holds the rules.
class CellFacesDialog : public QDialog {
  Q_OBJECT
 public:
  CellFacesDialog(CellFacesOverlay& overlay, Platform& platform, const std::string& startFolder,
                  QWidget* parent = nullptr);
  CellFacesEditor& editor() { return editor_; }
  void accept() override;

  DropLineEdit* filename;
  QPushButton* browse;
  QPushButton* load;
  std::array<QRadioButton*, 3> methods;  // none, lines, surface
  QLineEdit* lineWidth;
  QLineEdit* max;
  QLineEdit* min;
  QPushButton* reset;
  QLineEdit* cutoffMax;
  QLineEdit* cutoffMin;
  QPushButton* colourmap;
  QCheckBox* colourbar;

 private:
  // Edits typed so far go into the editor before a button acts on them.
  void collect();
  void sync();
  template <class F>
  void act(F&& f);

  CellFacesEditor editor_;
  bool syncing_ = false;
};

}  // namespace litho
