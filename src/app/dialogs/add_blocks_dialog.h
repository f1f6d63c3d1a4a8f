#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/edit/block_editor.h"
#include "core/platform/platform.h"

namespace litho {

// "Add Blocks": the modeless window of the block editor. Every control calls
// the editor and shows its state again; the editor does the work.
class AddBlocksDialog : public QDialog {
  Q_OBJECT
 public:
  AddBlocksDialog(Platform& platform, std::unique_ptr<BlockEditor> editor, QWidget* parent = nullptr);
  ~AddBlocksDialog() override;

  BlockEditor& editor() { return *editor_; }
  // The extents for the status bar, and a repaint of the view, after every change.
  std::function<void(const std::string&)> onStatus;
  std::function<void()> onChanged;

  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 public:
  QLineEdit* valueEdit;
  QSlider* xSlider;
  QSlider* ySlider;
  QSlider* zSlider;
  QCheckBox* dxCheck;
  QGroupBox* slopeGroup;
  std::array<QSlider*, 3> slopeSliders{};   // X, Y, XY
  std::array<QLineEdit*, 3> slopeAngles{};  // degrees
  QPushButton* resetButton;
  QRadioButton* cuboidButton;
  QRadioButton* ellipsoidButton;
  QComboBox* blockList;
  QPushButton* addButton;
  QPushButton* deleteButton;
  QPushButton* clearButton;
  std::array<QLineEdit*, 6> coordinateEdits{};  // X from, X to, Y from, Y to, Z from, Z to
  QPushButton* setButton;
  QPushButton* okButton;

 private:
  // The value and name typed so far go to the editor before a control acts.
  void readFields();
  void act(const std::function<void()>& action);
  void showState();
  void setCoordinates();

  Platform& platform_;
  std::unique_ptr<BlockEditor> editor_;
};

}  // namespace litho
