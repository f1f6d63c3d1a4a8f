// Navigation, projection, display switches, fonts and cut planes.
#include "app/commands/command_registry.h"
#include "app/model_view.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

using enum CommandId;
using T = CommandTarget&;

void selectPlane(T t, int plane) { t.controller.selectCutPlane(plane); }

const CommandHandlers kViewCommands{
    {RotateXMinus, [](T t) { t.controller.rotateX(-1); }},
    {RotateXPlus, [](T t) { t.controller.rotateX(+1); }},
    {RotateZMinus, [](T t) { t.controller.rotateZ(-1); }},
    {RotateZPlus, [](T t) { t.controller.rotateZ(+1); }},
    {ZoomIn,
     [](T t) {
       if (t.controller.canZoomIn()) t.controller.zoomIn();
     }},
    {ZoomOut,
     [](T t) {
       if (t.controller.canZoomOut()) t.controller.zoomOut();
     }},
    {PanRight, [](T t) { t.controller.panHorizontal(+1); }},
    {PanLeft, [](T t) { t.controller.panHorizontal(-1); }},
    {PanUp, [](T t) { t.controller.panVertical(+1); }},
    {PanDown, [](T t) { t.controller.panVertical(-1); }},
    {Perspective, [](T t) { t.controller.setPerspective(true); }},
    {Orthographic, [](T t) { t.controller.setPerspective(false); }},
    {RotationAngles, [](T t) { t.view.onViewAngles(); }},
    {ScaleModel, [](T t) { t.view.onScaleView(); }},

    {Labels, [](T t) { t.controller.toggleLabels(); }},
    {Colourbar, [](T t) { t.controller.toggleColourbar(); }},
    {Compass, [](T t) { t.controller.toggleCompass(); }},
    {Floor, [](T t) { t.controller.toggleFloor(); }},
    {Boundary, [](T t) { t.controller.toggleBoundary(); }},
    {Mesh, [](T t) { t.controller.toggleMesh(); }},
    {Lights, [](T t) { t.view.onLights(); }},
    {Background, [](T t) { t.view.onBackground(); }},

    {LabelScaleUp, [](T t) { t.controller.changeLabelScale(+1); }},
    {LabelScaleDown, [](T t) { t.controller.changeLabelScale(-1); }},
    {FontDecrease,
     [](T t) {
       if (t.controller.canDecreaseFont()) t.controller.changeFontSize(-1);
     }},
    {FontIncrease,
     [](T t) {
       if (t.controller.canIncreaseFont()) t.controller.changeFontSize(+1);
     }},
    {FontChoose, [](T t) { t.view.onChooseFont(); }},

    {CutWest, [](T t) { selectPlane(t, kWest); }},
    {CutEast, [](T t) { selectPlane(t, kEast); }},
    {CutSouth, [](T t) { selectPlane(t, kSouth); }},
    {CutNorth, [](T t) { selectPlane(t, kNorth); }},
    {CutTop, [](T t) { selectPlane(t, kTop); }},
    {CutBottom, [](T t) { selectPlane(t, kBottom); }},
    {CutForward, [](T t) { t.controller.cutForward(); }},
    {CutBackward, [](T t) { t.controller.cutBackward(); }},
    {CutReset, [](T t) { t.controller.reset(); }},

    {NextModel, [](T t) { t.controller.nextModel(); }},
    {PreviousModel, [](T t) { t.controller.previousModel(); }},
};

}  // namespace
}  // namespace litho
