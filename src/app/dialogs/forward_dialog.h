#pragma once
#include <QDialog>
#include <array>

#include "core/forward/forward_setup.h"
#include "core/platform/platform.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace litho {

class DropLineEdit;

// "Forward Model (trelvane)" and "Forward Model (oskrine)": where the
// observations are, and for magnetics the inducing field.
class ForwardDialog : public QDialog {
  Q_OBJECT
 public:
  ForwardDialog(forward::Survey survey, const forward::ForwardSettings& settings, Platform& platform,
                QWidget* parent = nullptr);
  void accept() override;
  const forward::ForwardSettings& settings() const { return settings_; }

  QRadioButton* parameters;
  QRadioButton* file;
  DropLineEdit* locationsFile;
  QPushButton* browse;
  // Indexed by forward::ForwardField; the field edits of magnetics only are null for gravity.
  std::array<QLineEdit*, forward::kFieldCount> fields{};
  QRadioButton* constantElevation;
  QRadioButton* heightAboveSurface;

 private:
  void modeChanged();
  void browseForFile();

  forward::Survey survey_;
  forward::ForwardSettings settings_;
  Platform& platform_;
};

}  // namespace litho
