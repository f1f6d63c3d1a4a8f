#include "app/dialogs/load_model_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/load/file_load_check.h"
#include "core/io/file_system.h"

namespace litho {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

LoadModelDialog::LoadModelDialog(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
  setWindowTitle("Lithoscan3D:   Load Model");
  setObjectName("LoadModelDialog");
  auto* top = new QVBoxLayout(this);
  octree = new QCheckBox("OCTree", this);
  top->addWidget(octree);

  auto addGroup = [&](const char* caption, DropLineEdit*& edit, QCheckBox** log, const char* filter,
                      const char* title) {
    auto* box = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(box);
    edit = new DropLineEdit(box);
    edit->setMinimumWidth(420);
    auto* browseButton = new QPushButton("Browse", box);
    grid->addWidget(edit, 0, 0);
    grid->addWidget(browseButton, 0, 1);
    if (log) {
      *log = new QCheckBox("Log", box);
      grid->addWidget(*log, 0, 2);
    }
    DropLineEdit* target = edit;
    connect(browseButton, &QPushButton::clicked, this, [this, target, filter, title] { browse(target, filter, title); });
    top->addWidget(box);
  };
  addGroup("Mesh", meshEdit, nullptr, "Mesh||", "Mesh file");
  addGroup("Model", modelEdit, &modelLog, "Model||", "First model file");
  addGroup("Second Model (optional)", secondEdit, &secondLog, "Model||", "Second model file");
  meshEdit->setObjectName("mesh");
  modelEdit->setObjectName("model");
  secondEdit->setObjectName("second");

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &LoadModelDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &LoadModelDialog::reject);
  top->addWidget(buttons);
}

void LoadModelDialog::load(const LoadDialogValues& v) {
  octree->setChecked(v.octree);
  meshEdit->setText(q(v.meshPath));
  modelEdit->setText(q(v.modelPath));
  modelLog->setChecked(v.logModel);
  secondEdit->setText(q(v.secondModelPath));
  secondLog->setChecked(v.logSecondModel);
}

LoadDialogValues LoadModelDialog::values() const {
  return {octree->isChecked(),        meshEdit->text().toStdString(),   modelEdit->text().toStdString(),
          modelLog->isChecked(),      secondEdit->text().toStdString(), secondLog->isChecked()};
}

void LoadModelDialog::accept() {
  const auto problem = validateFileLoad(values(), pathExists);
  if (problem) {
    platform_.message(problem->message, MessageKind::Plain);
    DropLineEdit* field = problem->field == kModelEdit ? modelEdit : problem->field == kSecondModelEdit ? secondEdit : meshEdit;
    field->setFocus(Qt::OtherFocusReason);
    return;
  }
  QDialog::accept();
}

void LoadModelDialog::browse(DropLineEdit* edit, const char* filter, const char* title) {
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  // An empty field starts where the files already named are, the mesh's folder last.
  for (const DropLineEdit* named : {edit, modelEdit, meshEdit}) {
    request.startFolder = folderOf(named->text().toStdString());
    if (!request.startFolder.empty()) break;
  }
  request.mustExist = true;
  if (auto path = platform_.openFileName(request)) edit->setText(q(*path));
}

}  // namespace litho
