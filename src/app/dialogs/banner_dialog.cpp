#include "app/dialogs/banner_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPixmap>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "app/version.h"

namespace litho {

BannerDialog::BannerDialog(bool hardwareOpenGL, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Lithoscan3D");
  setObjectName("BannerDialog");
  auto* layout = new QVBoxLayout(this);
  auto* text = new QPlainTextEdit(this);
  text->setReadOnly(true);
  text->setPlainText(QString("Lithoscan3D,  ") + kVersionText +
                     "\n\nA viewer and editor for 3-D geophysical models on rectilinear and octree meshes."
                     "\n\nBuilt with Qt, OpenGL, GLU, GL2PS and FFmpeg.");
  text->setMinimumSize(420, 140);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QPixmap(":/icons/lithoscan3d@2x.png"));
  icon->setAlignment(Qt::AlignTop);
  top->addWidget(icon);
  top->addWidget(text, 1);
  layout->addLayout(top);
  auto* group = new QGroupBox("OpenGL driver", this);
  auto* g = new QVBoxLayout(group);
  software = new QRadioButton("software", group);
  hardware = new QRadioButton("hardware", group);
  g->addWidget(software);
  g->addWidget(hardware);
  (hardwareOpenGL ? hardware : software)->setChecked(true);
  layout->addWidget(group);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace litho
