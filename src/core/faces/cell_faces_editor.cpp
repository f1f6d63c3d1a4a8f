#include "core/faces/cell_faces_editor.h"

#include "core/io/field_parse.h"
#include "core/io/file_system.h"

namespace litho {

std::optional<FacesCheckFailure> checkCellFacesFields(const CellFacesFields& f) {
  const auto max = parseFloatField(f.max);
  if (!max) return FacesCheckFailure{kEnterNumberMessage, FacesControl::Max};
  const auto min = parseFloatField(f.min);
  if (!min) return FacesCheckFailure{kEnterNumberMessage, FacesControl::Min};
  if (*max < *min) return FacesCheckFailure{kFacesMinAboveMaxMessage, FacesControl::Max};
  if (f.method == kFacesLines) {
    const auto width = parseFloatField(f.lineWidth);
    if (!width) return FacesCheckFailure{kEnterNumberMessage, FacesControl::LineWidth};
    if (*width < 1) return FacesCheckFailure{kFacesLineWidthMessage, FacesControl::LineWidth};
  }
  if (f.method == kFacesSurface) {
    if (!parseFloatField(f.cutoffMax)) return FacesCheckFailure{kEnterNumberMessage, FacesControl::CutoffMax};
    if (!parseFloatField(f.cutoffMin)) return FacesCheckFailure{kEnterNumberMessage, FacesControl::CutoffMin};
  }
  return std::nullopt;
}

CellFacesEditor::CellFacesEditor(CellFacesOverlay& overlay, Platform& platform, std::string startFolder)
    : o_(overlay), platform_(platform), startFolder_(std::move(startFolder)) {
  if (o_.loaded) {
    filename = o_.path;
    fields.max = formatFloatExact(o_.colourMax);
    fields.min = formatFloatExact(o_.colourMin);
    fields.cutoffMax = formatFloatExact(o_.cutoffMax);
    fields.cutoffMin = formatFloatExact(o_.cutoffMin);
    fields.lineWidth = formatFloatExact(o_.lineWidth);
    fields.method = o_.method;
    colourbar = o_.colourbar;
  }
  applyEnables();
}

CellFacesEnables CellFacesEditor::enables() const {
  CellFacesEnables e;
  e.methods = o_.loaded;
  e.colourbar = o_.loaded && fields.method != kFacesNone;
  e.lineWidth = fields.method == kFacesLines;
  e.cutoff = fields.method == kFacesSurface;
  return e;
}

void CellFacesEditor::applyEnables() {
  if (enables().colourbar) return;
  colourbar = false;
  if (o_.colourbar) changed_ = true;
  o_.colourbar = false;
}

std::optional<FacesControl> CellFacesEditor::takeFocus() {
  auto f = focus_;
  focus_.reset();
  return f;
}

void CellFacesEditor::editFilename(const std::string& text) {
  filename = text;
  if (o_.loaded) changed_ = true;
  o_.loaded = false;
  applyEnables();
}

void CellFacesEditor::browse() {
  FileDialogRequest request;
  request.title = "Load cell faces file";
  request.filter = "Cell faces||";
  request.startFolder = startFolder_;
  request.mustExist = true;
  if (const auto path = platform_.openFileName(request)) editFilename(*path);
}

bool CellFacesEditor::load() {
  o_.path = filename.empty() ? std::string() : fullPath(filename);
  changed_ = true;
  const bool ok = loadCellFaces(o_, platform_);
  if (ok) {
    fields.max = fields.cutoffMax = formatFloatExact(o_.dataMax);
    fields.min = fields.cutoffMin = formatFloatExact(o_.dataMin);
  }
  applyEnables();
  return ok;
}

void CellFacesEditor::chooseMethod(int method) {
  if (method < kFacesNone || method > kFacesSurface) return;
  fields.method = method;
  applyEnables();
}

void CellFacesEditor::reset() {
  if (!o_.loaded) return;
  fields.max = formatFloatExact(o_.dataMax);
  fields.min = formatFloatExact(o_.dataMin);
}

void CellFacesEditor::setColourbar(bool on) { colourbar = on && enables().colourbar; }

void CellFacesEditor::chooseColourmap(const ColourmapChooser& chooser) {
  if (!chooser) return;
  const auto chosen = chooser(o_.colourmapKind, o_.colourmapReversed);
  if (!chosen) return;
  o_.colourmapKind = chosen->first;
  o_.colourmapReversed = chosen->second;
  o_.rebuildColourmap();
  changed_ = true;
}

bool CellFacesEditor::accept() {
  if (const auto failure = checkCellFacesFields(fields)) {
    platform_.message(failure->text, MessageKind::Warning);
    focus_ = failure->focus;
    return false;
  }
  o_.colourMax = *parseFloatField(fields.max);
  o_.colourMin = *parseFloatField(fields.min);
  // A disabled field that holds no number keeps the value it stands for.
  if (const auto v = parseFloatField(fields.cutoffMax)) o_.cutoffMax = *v;
  if (const auto v = parseFloatField(fields.cutoffMin)) o_.cutoffMin = *v;
  if (const auto v = parseFloatField(fields.lineWidth)) o_.lineWidth = *v;
  o_.method = fields.method;
  o_.colourbar = colourbar && enables().colourbar;
  changed_ = true;
  return true;
}

}  // namespace litho
