#include "app/dialogs/forward_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <filesystem>

#include "app/dialogs/drop_line_edit.h"

namespace litho {

using namespace forward;

ForwardDialog::ForwardDialog(Survey survey, const ForwardSettings& settings, Platform& platform, QWidget* parent)
    : QDialog(parent), survey_(survey), settings_(settings), platform_(platform) {
  const bool magnetics = survey == Survey::Magnetics;
  setWindowTitle(magnetics ? "Forward Model (trelvane)" : "Forward Model (oskrine)");
  setObjectName("ForwardDialog");
  const ForwardFieldTexts texts = forwardFieldTexts(settings);
  auto edit = [&](ForwardField f, QWidget* owner) {
    auto* e = new QLineEdit(QString::fromStdString(texts[f]), owner);
    fields[f] = e;
    return e;
  };
  auto* layout = new QVBoxLayout(this);

  auto* source = new QHBoxLayout;
  parameters = new QRadioButton("parameters", this);
  file = new QRadioButton("file", this);
  source->addWidget(parameters);
  source->addWidget(file);
  source->addStretch();
  layout->addLayout(source);
  auto* fileRow = new QHBoxLayout;
  locationsFile = new DropLineEdit(this);
  locationsFile->setText(QString::fromStdString(settings.locationsFile));
  browse = new QPushButton("Browse", this);
  browse->setAutoDefault(false);
  fileRow->addWidget(locationsFile, 1);
  fileRow->addWidget(browse);
  layout->addLayout(fileRow);

  if (magnetics) {
    auto* field = new QGroupBox("Inducing field", this);
    auto* form = new QFormLayout(field);
    form->addRow("Inclination", edit(kInclination, field));
    form->addRow("Declination", edit(kDeclination, field));
    form->addRow("Field strength", edit(kStrength, field));
    layout->addWidget(field);
  }
  auto* area = new QGroupBox("Data area", this);
  auto* grid = new QGridLayout(area);
  grid->addWidget(new QLabel("x0", area), 0, 0);
  grid->addWidget(edit(kX0, area), 0, 1);
  grid->addWidget(new QLabel("xn", area), 0, 2);
  grid->addWidget(edit(kXn, area), 0, 3);
  grid->addWidget(new QLabel("y0", area), 1, 0);
  grid->addWidget(edit(kY0, area), 1, 1);
  grid->addWidget(new QLabel("yn", area), 1, 2);
  grid->addWidget(edit(kYn, area), 1, 3);
  layout->addWidget(area);
  auto* spacing = new QGroupBox("Data spacing", this);
  auto* spacingRow = new QGridLayout(spacing);
  spacingRow->addWidget(new QLabel("X", spacing), 0, 0);
  spacingRow->addWidget(edit(kDx, spacing), 0, 1);
  spacingRow->addWidget(new QLabel("Y", spacing), 0, 2);
  spacingRow->addWidget(edit(kDy, spacing), 0, 3);
  layout->addWidget(spacing);
  auto* height = new QGroupBox(this);
  auto* heightRow = new QGridLayout(height);
  constantElevation = new QRadioButton("constant elevation", height);
  heightAboveSurface = new QRadioButton("height above surface", height);
  heightRow->addWidget(constantElevation, 0, 0);
  heightRow->addWidget(heightAboveSurface, 1, 0);
  heightRow->addWidget(edit(kElevation, height), 0, 1, 2, 1);
  (settings.elevationMode == 1 ? heightAboveSurface : constantElevation)->setChecked(true);
  layout->addWidget(height);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ForwardDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ForwardDialog::reject);
  layout->addWidget(buttons);

  (settings.locationsFile.empty() ? parameters : file)->setChecked(true);
  connect(parameters, &QRadioButton::toggled, this, &ForwardDialog::modeChanged);
  connect(browse, &QPushButton::clicked, this, &ForwardDialog::browseForFile);
  modeChanged();
}

void ForwardDialog::modeChanged() {
  const bool byParameters = parameters->isChecked();
  for (auto* f : fields)
    if (f) f->setEnabled(byParameters);
  constantElevation->setEnabled(byParameters);
  heightAboveSurface->setEnabled(byParameters);
  locationsFile->setEnabled(!byParameters);
  browse->setEnabled(!byParameters);
}

void ForwardDialog::browseForFile() {
  FileDialogRequest r;
  r.title = "Locations file";
  r.filter = "Locations file||";
  r.mustExist = true;
  if (auto name = platform_.openFileName(r)) locationsFile->setText(QString::fromStdString(*name));
}

void ForwardDialog::accept() {
  ForwardSettings s = settings_;
  s.useFile = file->isChecked();
  s.locationsFile = locationsFile->text().toStdString();
  s.elevationMode = heightAboveSurface->isChecked() ? 1 : 0;
  ForwardFieldTexts texts;
  for (int f = 0; f < kFieldCount; ++f)
    if (fields[f]) texts[f] = fields[f]->text().toStdString();
  if (const auto e = readForwardFields(texts, survey_, s)) {
    platform_.message(e->message, MessageKind::Warning);
    if (fields[e->field]) fields[e->field]->setFocus();
    return;
  }
  const auto failure = checkForwardSettings(s, [](const std::string& name) {
    std::error_code ec;
    return std::filesystem::is_regular_file(name, ec);
  });
  if (failure) {
    platform_.message(failure->message, MessageKind::Warning);
    if (failure->focusFile) locationsFile->setFocus();
    return;
  }
  settings_ = s;
  QDialog::accept();
}

}  // namespace litho
