#include "core/view/view_commands.h"

#include "core/load/document.h"
#include "core/commands/command_ids.h"
#include "core/view/view_controller.h"

namespace litho {

bool runViewCommand(ViewController& v, int command) {
  switch (command) {
    case kCmdRotateXMinus: v.rotateX(-1); break;
    case kCmdRotateXPlus: v.rotateX(+1); break;
    case kCmdRotateZMinus: v.rotateZ(-1); break;
    case kCmdRotateZPlus: v.rotateZ(+1); break;
    case kCmdZoomIn:
      if (v.canZoomIn()) v.zoomIn();
      break;
    case kCmdZoomOut:
      if (v.canZoomOut()) v.zoomOut();
      break;
    case kCmdPanRight: v.panHorizontal(+1); break;
    case kCmdPanLeft: v.panHorizontal(-1); break;
    case kCmdPanUp: v.panVertical(+1); break;
    case kCmdPanDown: v.panVertical(-1); break;
    case kCmdPerspective: v.setPerspective(true); break;
    case kCmdOrthographic: v.setPerspective(false); break;
    case kCmdLabels: v.toggleLabels(); break;
    case kCmdColourbar: v.toggleColourbar(); break;
    case kCmdCompass: v.toggleCompass(); break;
    case kCmdFloor: v.toggleFloor(); break;
    case kCmdBoundary: v.toggleBoundary(); break;
    case kCmdMesh: v.toggleMesh(); break;
    case kCmdLabelScaleUp: v.changeLabelScale(+1); break;
    case kCmdLabelScaleDown: v.changeLabelScale(-1); break;
    case kCmdFontDecrease:
      if (v.canDecreaseFont()) v.changeFontSize(-1);
      break;
    case kCmdFontIncrease:
      if (v.canIncreaseFont()) v.changeFontSize(+1);
      break;
    case kCmdCutWest: v.selectCutPlane(kWest); break;
    case kCmdCutEast: v.selectCutPlane(kEast); break;
    case kCmdCutSouth: v.selectCutPlane(kSouth); break;
    case kCmdCutNorth: v.selectCutPlane(kNorth); break;
    case kCmdCutTop: v.selectCutPlane(kTop); break;
    case kCmdCutBottom: v.selectCutPlane(kBottom); break;
    case kCmdCutForward: v.cutForward(); break;
    case kCmdCutBackward: v.cutBackward(); break;
    case kCmdCutReset: v.reset(); break;
    case kCmdNextModel: v.nextModel(); break;
    case kCmdPreviousModel: v.previousModel(); break;
    case kCmdBlendDown: v.blend(-1); break;
    case kCmdBlendUp: v.blend(+1); break;
    case kCmdFlip: v.flipColours(); break;
    case kCmdResetScale: v.resetScale(); break;
    case kCmdCondRes: v.toggleConductivityView(); break;
    case kCmdLog10: v.toggleLinearLabels(); break;
    case kCmdReadout:
      v.state.readoutMode = !v.state.readoutMode;
      break;
    default: return false;
  }
  return true;
}

CommandContext commandContext(const Document& doc, const ViewController& v, bool toolbarShown,
                              bool statusBarShown) {
  CommandContext c;
  c.modelLoaded = doc.modelLoaded();
  c.isVectorModel = doc.isVectorModel();
  c.logModel = doc.logModel();
  c.modelCount = doc.store().modelCount();
  c.secondModelLoaded = doc.store().hasSecondModel();
  c.tq5rMode = doc.tq5rMode();
  c.blockEditorOpen = doc.blockEditorOpen();
  c.differenceShown = doc.differenceShown();
  const ViewState& s = v.state;
  c.showLabels = s.showLabels;
  c.showColourbar = s.showColourbar;
  c.showMesh = s.showMesh;
  c.showFloor = s.showFloor;
  c.showBoundary = s.showBoundary;
  c.showCompass = s.showCompass;
  c.perspective = s.perspective;
  c.selectedCutPlane = s.selectedCutPlane;
  c.cutPlanes = s.cuts;
  c.visibleCount = s.visibleCount;
  c.zoomAngle = s.zoomAngle;
  c.fontSize = s.fontSize;
  c.lightingOn = s.lightingOn;
  c.mouseCutStage = s.mouseCutStage;
  c.diagonalCutOn = s.diagonalCutOn;
  c.activeScaleLinearLabels = v.colours.activeScale().linearLabels;
  c.colourmapReversed = v.colours.colourmap.reversed;
  c.toolbarShown = toolbarShown;
  c.statusBarShown = statusBarShown;
  return c;
}

}  // namespace litho
