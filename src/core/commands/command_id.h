#pragma once
#include <cstddef>

namespace litho {

// Every command of the program. Menu entries, keys and toolbar buttons of one command share its id.
enum class CommandId {
  // File
  Open,
  Reload,
  CreateMesh,
  SaveAs,
  SaveImage,
  Topography,
  LoadData,
  CellFaces,
  SaveParameters,
  LoadParameters,
  Exit,
  // Edit
  Undo,
  Redo,
  AddBlocks,
  Smooth,
  CopyParameters,
  PasteParameters,
  Copy,
  // View
  Perspective,
  Orthographic,
  Labels,
  Colourbar,
  ResetScale,
  Mesh,
  Colourmap,
  Background,
  RotationAngles,
  Floor,
  Boundary,
  Compass,
  FontDecrease,
  FontIncrease,
  FontChoose,
  MeshStatistics,
  ZoomIn,
  ZoomOut,
  Toolbar,
  StatusBar,
  // Options
  Cutoff,
  MinMax,
  Lights,
  PaddingCells,
  VectorProperties,
  ScaleModel,
  AnimationStart,
  AnimationContinue,
  AnimationStop,
  Difference,
  // Cut plane
  CutWest,
  CutEast,
  CutSouth,
  CutNorth,
  CutTop,
  CutBottom,
  Diagonal,
  CutForward,
  CutBackward,
  CutReset,
  // Forward model
  Magnetics,
  Gravity,
  // Help
  About,
  Manual,
  // Keys and buttons only
  RotateXMinus,
  RotateXPlus,
  RotateZMinus,
  RotateZPlus,
  PanRight,
  PanLeft,
  PanUp,
  PanDown,
  NextModel,
  PreviousModel,
  BlendDown,
  BlendUp,
  Log10,
  CondRes,
  Flip,
  MouseCut,
  Readout,
  LabelScaleUp,
  LabelScaleDown,
  Paste,
};

inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(CommandId::Paste) + 1;

constexpr std::size_t indexOf(CommandId id) { return static_cast<std::size_t>(id); }

}  // namespace litho
