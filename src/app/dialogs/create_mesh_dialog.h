#pragma once
#include <QDialog>
#include <QLineEdit>
#include <string>

#include "core/load/mesh_creation.h"
#include "core/platform/platform.h"

namespace litho {

class Document;
enum class LoadStatus;

// "Create mesh": corner, cell widths and lengths of a new mesh, saved on Save.
class CreateMeshDialog : public QDialog {
  Q_OBJECT
 public:
  CreateMeshDialog(Platform& platform, const MeshDesign& initial, QWidget* parent = nullptr);
  // The values in the fields; empty (with the message shown) when one is not a number.
  std::optional<MeshDesign> design();
  // The mesh file written by Save.
  const std::string& savedPath() const { return savedPath_; }
  void accept() override;

  QLineEdit* cornerX;
  QLineEdit* cornerY;
  QLineEdit* cornerZ;
  QLineEdit* dx;
  QLineEdit* dy;
  QLineEdit* lengthX;
  QLineEdit* lengthY;

 private:
  Platform& platform_;
  std::string savedPath_;
};

// "Create mesh ...": the dialog, then the load of the written mesh
// with views refreshed with hint 0. NotLoaded when the dialog was cancelled.
LoadStatus createMeshCommand(Document& doc, Platform& platform, QWidget* parent);

}  // namespace litho
