#include "app/dialogs/create_mesh_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/io/field_parse.h"
#include "core/io/model_writer.h"
#include "core/load/document.h"

namespace litho {

CreateMeshDialog::CreateMeshDialog(Platform& platform, const MeshDesign& d, QWidget* parent)
    : QDialog(parent), platform_(platform) {
  setWindowTitle("Create mesh");
  setObjectName("CreateMeshDialog");
  auto edit = [&](double v) { return new QLineEdit(QString::fromStdString(formatMeshNumber(v)), this); };
  cornerX = edit(d.x0);
  cornerY = edit(d.y0);
  cornerZ = edit(d.z0);
  dx = edit(d.dx);
  dy = edit(d.dy);
  lengthX = edit(d.lengthX);
  lengthY = edit(d.lengthY);

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("X", this), 0, 1);
  grid->addWidget(new QLabel("Y", this), 0, 2);
  grid->addWidget(new QLabel("Z", this), 0, 3);
  grid->addWidget(new QLabel("top south-west corner", this), 1, 0);
  grid->addWidget(cornerX, 1, 1);
  grid->addWidget(cornerY, 1, 2);
  grid->addWidget(cornerZ, 1, 3);
  grid->addWidget(new QLabel("cell widths", this), 2, 0);
  grid->addWidget(dx, 2, 1);
  grid->addWidget(dy, 2, 2);
  grid->addWidget(new QLabel("length", this), 3, 0);
  grid->addWidget(lengthX, 3, 1);
  grid->addWidget(lengthY, 3, 2);
  layout->addLayout(grid);

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton("Save", QDialogButtonBox::AcceptRole);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &CreateMeshDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CreateMeshDialog::reject);
  layout->addWidget(buttons);
}

std::optional<MeshDesign> CreateMeshDialog::design() {
  MeshDesign d;
  const std::pair<QLineEdit*, double*> fields[] = {{cornerX, &d.x0}, {cornerY, &d.y0}, {cornerZ, &d.z0},
                                                   {dx, &d.dx},      {dy, &d.dy},      {lengthX, &d.lengthX},
                                                   {lengthY, &d.lengthY}};
  for (const auto& [edit, value] : fields) {
    const auto v = parseDoubleField(edit->text().toStdString());
    if (!v) {
      platform_.message(kEnterNumberMessage, MessageKind::Plain);
      edit->setFocus();
      return std::nullopt;
    }
    *value = *v;
  }
  return d;
}

void CreateMeshDialog::accept() {
  const auto d = design();
  if (!d) return;
  const auto path = createMeshSave(*d, platform_);
  if (!path) return;
  savedPath_ = *path;
  QDialog::accept();
}

LoadStatus createMeshCommand(Document& doc, Platform& platform, QWidget* parent) {
  CreateMeshDialog dlg(platform, keptMeshDesign(), parent);
  if (dlg.exec() != QDialog::Accepted) return LoadStatus::NotLoaded;
  return doc.loadCreatedMesh(dlg.savedPath());
}

}  // namespace litho
