#include "app/dialogs/file_load.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/file_load_check.h"
#include "platform/file_system.h"

namespace litho {

namespace {
QString q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CFileLoad::CFileLoad(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
  setWindowTitle("Lithoscan3D:   Load Model");
  setObjectName("CFileLoad");
  auto* top = new QVBoxLayout(this);
  octree = new QCheckBox("OCTree", this);
  top->addWidget(octree);

  auto addGroup = [&](const char* caption, CEditDrop*& edit, QCheckBox** log, const char* filter,
                      const char* title) {
    auto* box = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(box);
    edit = new CEditDrop(box);
    edit->setMinimumWidth(420);
    auto* browseButton = new QPushButton("Browse", box);
    grid->addWidget(edit, 0, 0);
    grid->addWidget(browseButton, 0, 1);
    if (log) {
      *log = new QCheckBox("Log", box);
      grid->addWidget(*log, 0, 2);
    }
    CEditDrop* target = edit;
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
  connect(buttons, &QDialogButtonBox::accepted, this, &CFileLoad::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CFileLoad::reject);
  top->addWidget(buttons);
}

void CFileLoad::load(const LoadDialogValues& v) {
  octree->setChecked(v.octree);
  meshEdit->setText(q(v.meshPath));
  modelEdit->setText(q(v.modelPath));
  modelLog->setChecked(v.logModel);
  secondEdit->setText(q(v.secondModelPath));
  secondLog->setChecked(v.logSecondModel);
}

LoadDialogValues CFileLoad::values() const {
  return {octree->isChecked(),        meshEdit->text().toStdString(),   modelEdit->text().toStdString(),
          modelLog->isChecked(),      secondEdit->text().toStdString(), secondLog->isChecked()};
}

void CFileLoad::accept() {
  const auto problem = validateFileLoad(values(), fileExists);
  if (problem) {
    platform_.message(problem->message, MessageKind::Plain);
    CEditDrop* field = problem->field == kModelEdit ? modelEdit : problem->field == kSecondModelEdit ? secondEdit : meshEdit;
    field->setFocus(Qt::OtherFocusReason);
    return;
  }
  QDialog::accept();
}

void CFileLoad::browse(CEditDrop* edit, const char* filter, const char* title) {
  FileDialogRequest request;
  request.title = title;
  request.filter = filter;
  request.startFolder = folderOf(edit->text().toStdString());
  request.mustExist = true;
  if (auto path = platform_.openFileName(request)) edit->setText(q(*path));
}

}  // namespace litho
