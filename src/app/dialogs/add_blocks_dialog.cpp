#include "app/dialogs/add_blocks_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>

#include "core/io/field_parse.h"
#include "core/io/model_writer.h"
#include "core/load/document.h"

namespace litho {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The shortest text that reads back as the same number, without an exponent where that is shorter.
QString coordinateText(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return QString::fromLatin1(buf, static_cast<qsizetype>(r.ptr - buf));
}

QSlider* slider(Qt::Orientation o, int min, int max, int ticks, QWidget* parent) {
  auto* s = new QSlider(o, parent);
  s->setRange(min, max);
  s->setTickInterval(std::max(ticks, 1));
  s->setTickPosition(o == Qt::Horizontal ? QSlider::TicksBelow : QSlider::TicksRight);
  if (o == Qt::Vertical) {
    // Position 0 at the top: north, and the top layer.
    s->setInvertedAppearance(true);
    s->setInvertedControls(true);
  }
  return s;
}

}  // namespace

AddBlocksDialog::AddBlocksDialog(Platform& platform, std::unique_ptr<BlockEditor> editor, QWidget* parent)
    : QDialog(parent), platform_(platform), editor_(std::move(editor)) {
  setWindowTitle("Add Blocks");
  setObjectName("AddBlocksDialog");
  setModal(false);
  const auto max = editor_->sliderMaxima();

  valueEdit = new QLineEdit(this);
  xSlider = slider(Qt::Horizontal, 0, max[0], (max[0] + 1) / 5, this);
  ySlider = slider(Qt::Vertical, 0, max[1], (max[1] + 1) / 5, this);
  zSlider = slider(Qt::Vertical, 0, max[2], (max[2] + 1) / 5, this);
  dxCheck = new QCheckBox("dx", this);

  slopeGroup = new QGroupBox("Slope", this);
  auto* slopes = new QGridLayout(slopeGroup);
  const char* slopeNames[3] = {"X", "Y", "XY"};
  for (std::size_t n = 0; n < 3; ++n) {
    slopeSliders[n] = slider(Qt::Horizontal, -20, 20, 5, slopeGroup);
    slopeAngles[n] = new QLineEdit(slopeGroup);
    slopeAngles[n]->setReadOnly(true);
    slopeAngles[n]->setMaximumWidth(50);
    slopes->addWidget(new QLabel(slopeNames[n], slopeGroup), static_cast<int>(n), 0);
    slopes->addWidget(slopeSliders[n], static_cast<int>(n), 1);
    slopes->addWidget(slopeAngles[n], static_cast<int>(n), 2);
  }
  resetButton = new QPushButton("0", slopeGroup);
  resetButton->setToolTip("reset");
  resetButton->setMaximumWidth(24);
  resetButton->setAutoDefault(false);
  slopes->addWidget(resetButton, 1, 3);

  cuboidButton = new QRadioButton("cubeoid", this);
  ellipsoidButton = new QRadioButton("ellipseoid", this);
  auto* shapes = new QButtonGroup(this);
  shapes->addButton(cuboidButton);
  shapes->addButton(ellipsoidButton);

  blockList = new QComboBox(this);
  blockList->setEditable(true);
  blockList->setInsertPolicy(QComboBox::NoInsert);
  addButton = new QPushButton("add", this);
  deleteButton = new QPushButton("delete", this);
  clearButton = new QPushButton("clear", this);

  auto* coordinates = new QGroupBox("coordinates", this);
  auto* coordinateGrid = new QGridLayout(coordinates);
  const char* axes[3] = {"X", "Y", "Z"};
  for (int a = 0; a < 3; ++a) {
    coordinateGrid->addWidget(new QLabel(axes[a], coordinates), a, 0);
    for (int e = 0; e < 2; ++e) {
      auto*& edit = coordinateEdits[static_cast<std::size_t>(2 * a + e)];
      edit = new QLineEdit(coordinates);
      coordinateGrid->addWidget(edit, a, 1 + e);
    }
  }
  setButton = new QPushButton("set", coordinates);
  setButton->setAutoDefault(false);
  coordinateGrid->addWidget(setButton, 3, 2);
  okButton = new QPushButton("OK", this);
  for (QPushButton* b : {addButton, deleteButton, clearButton}) b->setAutoDefault(false);

  auto* layout = new QGridLayout(this);
  auto* valueRow = new QHBoxLayout;
  valueRow->addWidget(new QLabel("value:", this));
  valueRow->addWidget(valueEdit);
  valueRow->addWidget(dxCheck);
  layout->addLayout(valueRow, 0, 0, 1, 2);
  layout->addWidget(zSlider, 0, 2, 3, 1);
  layout->addWidget(ySlider, 0, 3, 3, 1);
  layout->addWidget(xSlider, 1, 0, 1, 2);
  auto* shapeRow = new QHBoxLayout;
  shapeRow->addWidget(cuboidButton);
  shapeRow->addWidget(ellipsoidButton);
  layout->addLayout(shapeRow, 2, 0, 1, 2);
  layout->addWidget(slopeGroup, 3, 0, 1, 4);
  auto* listRow = new QHBoxLayout;
  listRow->addWidget(blockList, 1);
  listRow->addWidget(addButton);
  listRow->addWidget(deleteButton);
  listRow->addWidget(clearButton);
  layout->addLayout(listRow, 4, 0, 1, 4);
  layout->addWidget(coordinates, 5, 0, 1, 4);
  layout->addWidget(okButton, 6, 3);

  BlockEditor& e = *editor_;
  const std::array<QSlider*, 3> position{xSlider, ySlider, zSlider};
  for (int a = 0; a < 3; ++a)
    connect(position[static_cast<std::size_t>(a)], &QSlider::valueChanged, this,
            [this, a](int v) { act([this, a, v] { editor_->moveSlider(a, v); }); });
  for (int n = 0; n < 3; ++n)
    connect(slopeSliders[static_cast<std::size_t>(n)], &QSlider::valueChanged, this,
            [this, n](int v) { act([this, n, v] { editor_->setSlope(n, v); }); });
  connect(dxCheck, &QCheckBox::toggled, this, [this](bool on) { act([this, on] { editor_->setSizeMode(on); }); });
  connect(resetButton, &QPushButton::clicked, this, [this] { act([this] { editor_->resetSlopes(); }); });
  connect(cuboidButton, &QRadioButton::clicked, this, [this] { act([this] { editor_->setCuboid(true); }); });
  connect(ellipsoidButton, &QRadioButton::clicked, this, [this] { act([this] { editor_->setCuboid(false); }); });
  connect(blockList, &QComboBox::activated, this,
          [this](int index) { act([this, index] { editor_->select(index); }); });
  connect(blockList->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { editor_->setName(text.toStdString()); });
  connect(valueEdit, &QLineEdit::textEdited, this, [this] { readFields(); });
  connect(addButton, &QPushButton::clicked, this, [this] { act([this] { editor_->add(); }); });
  connect(deleteButton, &QPushButton::clicked, this, [this] { act([this] { editor_->remove(); }); });
  connect(clearButton, &QPushButton::clicked, this, [this] { act([this] { editor_->clear(); }); });
  connect(setButton, &QPushButton::clicked, this, &AddBlocksDialog::setCoordinates);
  connect(okButton, &QPushButton::clicked, this, [this] { act([this] { editor_->ok(); }); });

  e.onClosed = [this] {
    if (onChanged) onChanged();
    hide();
    deleteLater();
  };
  e.onChangedOutside = [this] { showState(); };
  showState();
}

void AddBlocksDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (onStatus && editor_->isOpen()) onStatus(editor_->statusText());
}

AddBlocksDialog::~AddBlocksDialog() {
  // The editor may still close here (the window went with its parent): nothing of this window is used then.
  editor_->onClosed = nullptr;
  editor_->onChangedOutside = nullptr;
}

void AddBlocksDialog::readFields() {
  if (const auto v = parseFloatField(valueEdit->text().toStdString())) editor_->setValue(*v);
}

void AddBlocksDialog::act(const std::function<void()>& action) {
  if (!editor_->isOpen()) return;
  readFields();
  action();
  if (editor_->isOpen()) showState();
}

void AddBlocksDialog::showState() {
  const BlockEditor& e = *editor_;
  const Element& b = e.block();
  {
    QSignalBlocker blocks[] = {QSignalBlocker(xSlider),         QSignalBlocker(ySlider),
                               QSignalBlocker(zSlider),         QSignalBlocker(dxCheck),
                               QSignalBlocker(slopeSliders[0]), QSignalBlocker(slopeSliders[1]),
                               QSignalBlocker(slopeSliders[2]), QSignalBlocker(blockList)};
    const auto p = e.sliderPositions();
    xSlider->setValue(p[0]);
    ySlider->setValue(p[1]);
    zSlider->setValue(p[2]);
    dxCheck->setChecked(e.sizeMode());
    const int slopes[3] = {b.slopeX, b.slopeY, b.slopeXY};
    for (std::size_t n = 0; n < 3; ++n) {
      slopeSliders[n]->setValue(slopes[n]);
      slopeAngles[n]->setText(QString::number(3 * slopes[n]));
    }
    cuboidButton->setChecked(b.cuboid);
    ellipsoidButton->setChecked(!b.cuboid);
    slopeGroup->setEnabled(b.cuboid);
    QStringList names;
    for (const std::string& n : e.names()) names << qs(n);
    QStringList shown;
    for (int n = 0; n < blockList->count(); ++n) shown << blockList->itemText(n);
    if (names != shown) {
      blockList->clear();
      blockList->addItems(names);
    }
    blockList->setEditText(qs(b.name));
  }
  if (!valueEdit->hasFocus() || parseFloatField(valueEdit->text().toStdString()) != b.value)
    valueEdit->setText(qs(formatModelValue(b.value)));
  for (std::size_t n = 0; n < 6; ++n) coordinateEdits[n]->setText(coordinateText(e.extents()[n]));
  if (onStatus) onStatus(e.statusText());
  if (onChanged) onChanged();
}

void AddBlocksDialog::setCoordinates() {
  std::array<std::string, 6> texts;
  for (std::size_t n = 0; n < 6; ++n) texts[n] = coordinateEdits[n]->text().toStdString();
  std::array<double, 6> c{};
  if (const auto error = parseBlockCoordinates(texts, c)) {
    platform_.message(*error, MessageKind::Plain);
    return;
  }
  act([this, c] { editor_->setCoordinates(c); });
}

void AddBlocksDialog::reject() {
  act([this] { editor_->close(); });
}

}  // namespace litho
