#include "core/commands/command_rules.h"

#include <cstddef>

#include "core/commands/command_ids.h"

namespace litho {
namespace {

CommandStatus enabledIf(bool enabled) { return {enabled, std::nullopt}; }
CommandStatus checkedIf(bool enabled, bool checked) { return {enabled, checked}; }

CommandStatus cutPlaneSelection(const CommandContext& c, int plane) {
  return checkedIf(c.modelLoaded, c.selectedCutPlane == plane);
}

bool planeSelected(const CommandContext& c) { return c.selectedCutPlane >= 1 && c.selectedCutPlane <= 6; }

// Opposite planes together leave at least one visible layer.
bool cutCanMoveForward(const CommandContext& c) {
  if (!planeSelected(c)) return false;
  const auto side = static_cast<std::size_t>(c.selectedCutPlane - 1);
  const std::size_t axis = side / 2;
  const std::size_t opposite = side ^ 1u;
  return c.cutPlanes[side] + c.cutPlanes[opposite] < c.visibleCount[axis] - 1;
}

bool cutCanMoveBackward(const CommandContext& c) {
  return planeSelected(c) && c.cutPlanes[static_cast<std::size_t>(c.selectedCutPlane - 1)] > 0;
}

}  // namespace

CommandStatus commandStatus(int command, const CommandContext& c) {
  const bool scalarModel = c.modelLoaded && !c.isVectorModel;
  switch (command) {
    // File
    case kCmdReload:
    case kCmdLoadData:
    case kCmdCellFaces:
    case kCmdSaveParameters:
      return enabledIf(c.modelLoaded);
    case kCmdSaveAs:
      return enabledIf(scalarModel);
    case kCmdTopography:
      return enabledIf(scalarModel && !c.tq5rMode);

    // Edit
    case kCmdAddBlocks:
      return enabledIf(!c.blockEditorOpen && scalarModel);
    case kCmdSmooth:
      return enabledIf(scalarModel && c.modelCount == 1);

    // View
    case kCmdPerspective:
      return checkedIf(true, c.perspective == 1);
    case kCmdOrthographic:
      return checkedIf(true, c.perspective == 0);
    case kCmdLabels:
      return checkedIf(c.modelLoaded, c.showLabels);
    case kCmdColourbar:
      return checkedIf(c.modelLoaded, c.showColourbar);
    case kCmdMesh:
      return checkedIf(c.modelLoaded, c.showMesh);
    case kCmdFloor:
      return checkedIf(c.showBoundary && scalarModel, c.showFloor);
    case kCmdBoundary:
      return checkedIf(c.modelLoaded, c.showBoundary);
    case kCmdCompass:
      return checkedIf(c.modelLoaded, c.showCompass);
    case kCmdFontDecrease:
      return enabledIf(c.fontSize > 1 && c.modelLoaded);
    case kCmdFontIncrease:
      return enabledIf(c.fontSize < 100 && c.modelLoaded);
    case kCmdMeshStat:
      return enabledIf(c.modelLoaded);
    case kCmdZoomIn:
      return enabledIf(c.zoomAngle > 0.5 && c.modelLoaded);
    case kCmdZoomOut:
      return enabledIf(c.zoomAngle < 178 && c.modelLoaded);
    case kCmdToolbar:
      return checkedIf(true, c.toolbarShown);
    case kCmdStatusBar:
      return checkedIf(true, c.statusBarShown);

    // Options
    case kCmdCutoff:
    case kCmdMinMax:
    case kCmdScaleModel:
      return enabledIf(c.modelLoaded);
    case kCmdLights:
      return checkedIf(true, c.lightingOn);
    case kCmdVectorProperties:
      return enabledIf(c.isVectorModel);
    case kCmdAnimationStart:
      return checkedIf(c.modelLoaded, c.recording);
    case kCmdAnimationContinue:
    case kCmdAnimationStop:
      return enabledIf(c.recording);
    case kCmdDifference:
      return checkedIf(c.secondModelLoaded && !c.isVectorModel, c.differenceShown);

    // Cut plane
    case kCmdCutWest:
      return cutPlaneSelection(c, 1);
    case kCmdCutEast:
      return cutPlaneSelection(c, 2);
    case kCmdCutSouth:
      return cutPlaneSelection(c, 3);
    case kCmdCutNorth:
      return cutPlaneSelection(c, 4);
    case kCmdCutTop:
      return cutPlaneSelection(c, 5);
    case kCmdCutBottom:
      return cutPlaneSelection(c, 6);
    case kCmdDiagonal:
      return checkedIf(c.modelLoaded, c.diagonalCutOn);
    case kCmdCutForward:
      return enabledIf(cutCanMoveForward(c));
    case kCmdCutBackward:
      return enabledIf(cutCanMoveBackward(c));

    // Forward model
    case kCmdMagnetics:
    case kCmdGravity:
      return enabledIf(scalarModel && !c.logModel && !c.tq5rMode);

    // Keys and buttons only
    case kCmdLog10:
      return checkedIf(c.showColourbar, !c.activeScaleLinearLabels);
    case kCmdCondRes:
      return enabledIf(c.showColourbar);
    case kCmdFlip:
      return checkedIf(c.modelLoaded, c.colourmapReversed);
    case kCmdMouseCut:
      return checkedIf(c.modelLoaded, c.mouseCutStage != 0);
    case kCmdLabelScaleUp:
    case kCmdLabelScaleDown:
      return enabledIf(c.showLabels);
    case kCmdPaste:
      return enabledIf(false);  // nothing handles it

    default:
      return {};
  }
}

}  // namespace litho
