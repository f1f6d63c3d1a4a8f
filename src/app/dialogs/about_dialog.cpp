#include "app/dialogs/about_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "app/commands/help_commands.h"
#include "app/version.h"

namespace litho {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Lithoscan3D");
  setObjectName("AboutDialog");
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(QIcon(":/icons/lithoscan3d.png").pixmap(32, 32));
  top->addWidget(icon);
  auto* names = new QVBoxLayout;
  names->addWidget(new QLabel("Lithoscan3D", this));
  version = new QLabel(kVersionText, this);
  names->addWidget(version);
  top->addLayout(names);
  top->addStretch();
  layout->addLayout(top);
  description = new QPlainTextEdit(this);
  description->setReadOnly(true);
  description->setPlainText(QString(
      "Lithoscan3D displays models on a rectangular mesh, with optional topography.\n"
      "It builds meshes, shows slices along any axis or diagonally, isosurfaces and\n"
      "surface data as a transparent colour contour map, rotates and animates views,\n"
      "builds block models, and launches external forward-modelling programs.\n\n"
      "The manual is the file ") + kManualFile + " beside the program, or the page\n" + kManualPage);
  // The lines break where they were written, so the address stays whole; the box fits the longest.
  description->setLineWrapMode(QPlainTextEdit::NoWrap);
  const QFontMetrics metrics(description->font());
  int widest = 0;
  for (const QString& line : description->toPlainText().split('\n'))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  const int margins = 2 * (static_cast<int>(description->document()->documentMargin()) + description->frameWidth()) + 8;
  description->setMinimumSize(widest + margins, 8 * metrics.lineSpacing() + margins);
  layout->addWidget(description);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace litho
