#include "core/data/data_properties.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/data/data_reader.h"
#include "core/data/data_surface.h"
#include "core/io/field_parse.h"
#include "core/io/file_system.h"
#include "core/load/document.h"

namespace litho {

namespace {

int rememberedList = -1;

// A range bound as short as it can be: the ranges read from files are single-precision values.
std::string formatBound(double v) {
  char buf[64];
  if (static_cast<double>(static_cast<float>(v)) == v) {
    for (int digits = 6; digits <= 9; ++digits) {
      std::snprintf(buf, sizeof buf, "%.*g", digits, v);
      if (std::strtof(buf, nullptr) == static_cast<float>(v)) return buf;
    }
  }
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

}  // namespace

int DataPropertiesEditor::rememberedPosition() { return rememberedList; }

DataPropertiesEditor::DataPropertiesEditor(Document& doc, Platform& platform) : doc_(doc), platform_(platform) {
  const int count = static_cast<int>(doc_.dataSets().size());
  if (rememberedList >= 0 && rememberedList < count) {
    show(rememberedList);
    colourbar = doc_.selectedDataSet() == rememberedList;
  }
  applyEnables();
}

DataSet* DataPropertiesEditor::selected() {
  auto& sets = doc_.editDataSets();
  return selection_ >= 0 && selection_ < static_cast<int>(sets.size()) ? &sets[static_cast<std::size_t>(selection_)]
                                                                       : nullptr;
}

std::vector<std::string> DataPropertiesEditor::listNames() const {
  std::vector<std::string> names;
  for (const DataSet& s : doc_.dataSets()) names.push_back(s.name);
  return names;
}

std::string DataPropertiesEditor::valueLabel() const {
  if (!display) return "_";
  switch (method) {
    case kPlotSurface:
      return "transparency level";
    case kPlotLines:
      return "width (pixels)";
    case kPlotPoints:
      return "size (pixels)";
    default:
      return "radius";
  }
}

DataDialogEnables DataPropertiesEditor::enables() const {
  DataDialogEnables e;
  e.display = selection_ >= 0;
  e.properties = e.display && display;
  e.range = e.properties && !solid;
  return e;
}

void DataPropertiesEditor::applyEnables() {
  if (!enables().range) colourbar = false;
}

std::optional<DataControl> DataPropertiesEditor::takeFocus() {
  auto f = focus_;
  focus_.reset();
  return f;
}

void DataPropertiesEditor::show(int index) {
  selection_ = index;
  DataSet* s = selected();
  if (!s) {
    selection_ = -1;
    applyEnables();
    return;
  }
  s->name = dataDisplayName(*s);
  filename = s->path;
  display = s->displayed;
  method = s->plottingMethod;
  value = formatFloatField(s->plottingValue);
  solid = s->solidColour;
  max = formatBound(s->rangeMax);
  min = formatBound(s->rangeMin);
  applyEnables();
}

void DataPropertiesEditor::deselect() {
  selection_ = -1;
  applyEnables();
}

bool DataPropertiesEditor::fail(const char* text, DataControl focus, bool report) {
  if (report) {
    platform_.message(text, MessageKind::Warning);
    focus_ = focus;
  }
  return false;
}

bool DataPropertiesEditor::storeCurrent(bool report) {
  DataSet* s = selected();
  if (!s) return true;
  s->plottingMethod = method;
  s->displayed = display;
  s->solidColour = solid;
  s->name = dataDisplayName(*s);
  if (!solid) {
    const auto hi = parseDoubleField(max);
    if (!hi) return fail(kEnterNumberMessage, DataControl::Max, report);
    const auto lo = parseDoubleField(min);
    if (!lo) return fail(kEnterNumberMessage, DataControl::Min, report);
    if (*hi < *lo) return fail(kMinAboveMaxMessage, DataControl::Max, report);
    s->rangeMax = *hi;
    s->rangeMin = *lo;
  }
  // A value that fails its check is not stored: closing without OK keeps the set drawable.
  const auto v = parseFloatField(value);
  if (!v) return fail(kEnterNumberMessage, DataControl::Value, report);
  if (method == kPlotSurface ? !(*v >= 0 && *v <= 1) : !(*v > 0))
    return fail(method == kPlotSurface ? kTransparencyMessage : kValuePositiveMessage, DataControl::Value, report);
  s->plottingValue = *v;
  return true;
}

void DataPropertiesEditor::editFilename(const std::string& text) {
  filename = text;
  if (selection_ < 0) return;
  storeCurrent(false);
  deselect();
}

void DataPropertiesEditor::browse() {
  if (!storeCurrent(true)) return;
  FileDialogRequest request;
  request.title = "Data file";
  request.filter = "data file||";
  request.startFolder = doc_.workingFolder();
  request.mustExist = true;
  if (const auto path = platform_.openFileName(request)) editFilename(*path);
}

bool DataPropertiesEditor::load() {
  if (!storeCurrent(true)) return false;
  DataSet set;
  set.path = fullPath(filename);
  if (!readDataFile(set, platform_)) {
    focus_ = DataControl::Filename;
    return false;
  }
  set.name = dataDisplayName(set);
  auto& sets = doc_.editDataSets();
  sets.push_back(std::move(set));
  show(static_cast<int>(sets.size()) - 1);
  return true;
}

bool DataPropertiesEditor::choose(int index) {
  if (index == selection_) return true;
  if (!storeCurrent(true)) return false;
  show(index);
  return true;
}

void DataPropertiesEditor::setDisplay(bool on) {
  display = on;
  if (DataSet* s = selected()) {
    s->displayed = on;
    s->name = dataDisplayName(*s);
  }
  applyEnables();
}

void DataPropertiesEditor::unload() {
  auto& sets = doc_.editDataSets();
  if (!selected()) return;
  sets.erase(sets.begin() + selection_);
  const int shown = doc_.selectedDataSet();
  if (shown == selection_)
    doc_.setSelectedDataSet(-1);
  else if (shown > selection_)
    doc_.setSelectedDataSet(shown - 1);
  if (sets.empty()) {
    filename.clear();
    deselect();
    return;
  }
  show(std::min(selection_, static_cast<int>(sets.size()) - 1));
}

void DataPropertiesEditor::chooseMethod(int m) {
  DataSet* s = selected();
  if (!s || m == method || m < 0 || m >= kPlotMethodCount) return;
  if (m == kPlotSurface && !buildDataSurface(*s, platform_)) {
    m = kPlotPoints;
    focus_ = DataControl::PointsMethod;
  }
  method = m;
  s->plottingMethod = m;
  s->name = dataDisplayName(*s);
}

void DataPropertiesEditor::chooseSolid(bool on) {
  solid = on;
  colourbar = false;
  if (DataSet* s = selected()) s->solidColour = on;
  applyEnables();
}

void DataPropertiesEditor::selectColour(const ColourmapChooser& chooser) {
  DataSet* s = selected();
  if (!s) return;
  if (solid) {
    std::array<unsigned char, 3> initial{};
    for (std::size_t c = 0; c < 3; ++c)
      initial[c] = static_cast<unsigned char>(std::lround(std::clamp(s->colour[c], 0.0f, 1.0f) * 255));
    if (const auto chosen = platform_.chooseColour(initial))
      for (std::size_t c = 0; c < 3; ++c) s->colour[c] = (*chosen)[c] / 255.0f;
    return;
  }
  if (!chooser) return;
  if (const auto chosen = chooser(s->colourmap.kind, s->colourmap.reversed)) {
    s->colourmap.kind = chosen->first;
    s->colourmap.reversed = chosen->second;
    buildColourmap(s->colourmap);
  }
}

bool DataPropertiesEditor::accept() {
  if (!storeCurrent(true)) return false;
  if (selection_ < 0 && !doc_.dataSets().empty()) selection_ = static_cast<int>(doc_.dataSets().size()) - 1;
  return true;
}

void DataPropertiesEditor::finish() {
  rememberedList = selection_;
  doc_.setSelectedDataSet(colourbar && selected() ? selection_ : -1);
  if (doc_.updateAllViews) doc_.updateAllViews(ViewRefresh::Reload);
}

}  // namespace litho
