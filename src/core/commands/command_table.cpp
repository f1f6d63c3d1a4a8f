#include "core/commands/command_table.h"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "core/load/document.h"
#include "core/view/view_controller.h"

namespace litho {
namespace {

constexpr KeyBinding plain(std::string_view name) { return KeyBinding{name}; }
constexpr KeyBinding shift(std::string_view name) { return KeyBinding{name, true}; }
constexpr KeyBinding ctrl(std::string_view name) { return KeyBinding{name, false, true}; }
constexpr KeyBinding alt(std::string_view name) { return KeyBinding{name, false, false, true}; }
constexpr KeyBinding numpad(std::string_view name) { return KeyBinding{name, false, false, false, true}; }
constexpr KeyBinding typed(std::string_view character) { return KeyBinding{character, false, false, false, false, true}; }

// --- rules ---------------------------------------------------------------------------------------------------------

using State = const CommandState&;

const ViewState& view(State s) { return s.view.state; }
bool loaded(State s) { return s.doc.modelLoaded(); }
bool scalarModel(State s) { return s.doc.modelLoaded() && !s.doc.isVectorModel(); }

CommandStatus enabledIf(bool enabled) { return {enabled, std::nullopt}; }
CommandStatus checkedIf(bool enabled, bool checked) { return {enabled, checked}; }

CommandStatus needsModel(State s) { return enabledIf(loaded(s)); }
CommandStatus needsScalarModel(State s) { return enabledIf(scalarModel(s)); }
CommandStatus needsRecording(State s) { return enabledIf(s.frame.recording); }
CommandStatus needsLabels(State s) { return enabledIf(view(s).showLabels); }
CommandStatus forwardModelling(State s) { return enabledIf(scalarModel(s) && !s.doc.logModel() && !s.doc.tq5rMode()); }

template <int Plane>
CommandStatus cutPlaneSelected(State s) {
  return checkedIf(loaded(s), view(s).selectedCutPlane == Plane);
}

bool planeSelected(const ViewState& v) { return v.selectedCutPlane >= kWest && v.selectedCutPlane <= kBottom; }

// Opposite planes together leave at least one visible layer.
CommandStatus cutCanMoveForward(State s) {
  const ViewState& v = view(s);
  if (!planeSelected(v)) return enabledIf(false);
  const auto side = static_cast<std::size_t>(v.selectedCutPlane - 1);
  const std::size_t axis = side / 2;
  const std::size_t opposite = side ^ 1u;
  return enabledIf(v.cuts[side] + v.cuts[opposite] < v.visibleCount[axis] - 1);
}

CommandStatus cutCanMoveBackward(State s) {
  const ViewState& v = view(s);
  return enabledIf(planeSelected(v) && v.cuts[static_cast<std::size_t>(v.selectedCutPlane - 1)] > 0);
}

// --- the table -----------------------------------------------------------------------------------------------------

enum class RowKind { Menu, Submenu, EndSubmenu, Separator, Entry, KeysOnly };

struct Row {
  RowKind kind;
  std::string_view text{};
  Command command{};
};

Row menu(std::string_view title) { return {RowKind::Menu, title}; }
Row submenu(std::string_view title) { return {RowKind::Submenu, title}; }
Row endSubmenu() { return {RowKind::EndSubmenu}; }
Row separator() { return {RowKind::Separator}; }
Row keysOnly() { return {RowKind::KeysOnly}; }
Row entry(CommandId id, int number, std::string_view text, std::vector<KeyBinding> keys, std::string_view prompt,
          std::string_view icon, CommandRule rule) {
  return {RowKind::Entry, text, Command{id, number, text, std::move(keys), prompt, icon, rule}};
}

using enum CommandId;

// clang-format off
const std::vector<Row>& rows() {
  static const std::vector<Row> table = {
    menu("&File"),
    entry(Open,           57601, "&Open ...\tCtrl+O",   {ctrl("O")}, "Open an existing model\nOpen", "", nullptr),
    entry(Reload,         32874, "Reload",              {}, "Reload the model file.", "", needsModel),
    entry(CreateMesh,     32832, "Create mesh ...",     {}, "", "", nullptr),
    entry(SaveAs,         57603, "Save As ...",         {}, "Save the model.", "", needsScalarModel),
    entry(SaveImage,      32820, "Save image ...",      {},
          "Save image in vector format (pdf, eps, ps, or tex)  or bitmap (bmp, jpg, or png).", "", nullptr),
    entry(Topography,     32822, "Topography ...",      {}, "Load the topography file.", "",
          [](State s) { return enabledIf(scalarModel(s) && !s.doc.tq5rMode()); }),
    entry(LoadData,       32862, "Load data ...",       {}, "Load the data files.", "", needsModel),
    entry(CellFaces,      32875, "Cell faces ...",      {}, "Load the cell faces (weighting) file.", "", needsModel),
    separator(),
    entry(SaveParameters, 32853, "Save parameters ...", {}, "Save the current view parameters.", "", needsModel),
    entry(LoadParameters, 32854, "Load parameters ...", {}, "", "", nullptr),
    separator(),
    entry(Exit,           57665, "E&xit",               {}, "Quit Lithoscan3D\nExit", "", nullptr),

    menu("&Edit"),
    entry(Undo,            32880, "&Undo\tCtrl+Z",             {ctrl("Z")}, "Undo the last change of the model values.", "",
          [](State s) { return enabledIf(s.doc.history().canUndo()); }),
    entry(Redo,            32881, "&Redo\tCtrl+Y",             {ctrl("Y")}, "Redo the change undone last.", "",
          [](State s) { return enabledIf(s.doc.history().canRedo()); }),
    separator(),
    entry(AddBlocks,       32814, "Add blocks ...",            {}, "Edit the 3D model.", "",
          [](State s) { return enabledIf(!s.doc.blockEditorOpen() && scalarModel(s)); }),
    entry(Smooth,          32816, "Smooth",                    {}, "Smooth the model", "",
          [](State s) { return enabledIf(scalarModel(s) && s.doc.store().modelCount() == 1); }),
    separator(),
    entry(CopyParameters,  32834, "Copy parameters\tShift+c",  {shift("C")}, "Copy view parameters to the clipboard.", "",
          nullptr),
    entry(PasteParameters, 32835, "Paste parameters\tShift+v", {shift("V")}, "Paste view parameters from the clipboard.",
          "", nullptr),
    separator(),
    entry(Copy,            57634, "&Copy",                     {ctrl("C"), ctrl("Insert")},
          "Copy the image and put it on the Clipboard\nCopy", "copy", nullptr),

    menu("&View"),
    submenu("Projection"),
      entry(Perspective,  32792, "Perspective",  {}, "Perspective projection", "",
            [](State s) { return checkedIf(true, view(s).perspective == 1); }),
      entry(Orthographic, 32794, "Orthographic", {}, "Orthographic projection", "",
            [](State s) { return checkedIf(true, view(s).perspective == 0); }),
    endSubmenu(),
    entry(Labels,         32798, "&Labels",             {}, "Display labels.", "",
          [](State s) { return checkedIf(loaded(s), view(s).showLabels); }),
    entry(Colourbar,      32803, "&Colourbar",          {}, "Display the colourbar.\nColourbar", "colourbar",
          [](State s) { return checkedIf(loaded(s), view(s).showColourbar); }),
    entry(ResetScale,     32841, "Reset scale\tr",      {plain("R")}, "Reset the colourbar scale.", "", nullptr),
    entry(Mesh,           32815, "Mesh\tm",             {plain("M")}, "View the mesh\nmesh", "mesh",
          [](State s) { return checkedIf(loaded(s), view(s).showMesh); }),
    entry(Colourmap,      32852, "Colourmap ...",       {}, "Choose a colourmap ...", "", nullptr),
    entry(Background,     32830, "Background ...",      {}, "Change the background colour.", "", nullptr),
    entry(RotationAngles, 32805, "Rotation angles ...", {}, "Change the rotation angles.", "", nullptr),
    entry(Floor,          32824, "Floor",               {}, "View the bottom of the mesh (floor).", "",
          [](State s) { return checkedIf(view(s).showBoundary && scalarModel(s), view(s).showFloor); }),
    entry(Boundary,       32850, "Boundary",            {}, "View the boundary outline.", "",
          [](State s) { return checkedIf(loaded(s), view(s).showBoundary); }),
    entry(Compass,        32857, "Compass",             {}, "Display a compass.", "",
          [](State s) { return checkedIf(loaded(s), view(s).showCompass); }),
    submenu("font"),
      entry(FontDecrease, 32865, "decrease\t[Alt]-1", {alt("1")}, "Decrease font size.", "",
            [](State s) { return enabledIf(view(s).fontSize > 1 && loaded(s)); }),
      entry(FontIncrease, 32866, "increase\t[Alt]-2", {alt("2")}, "Increase font size.", "",
            [](State s) { return enabledIf(view(s).fontSize < 100 && loaded(s)); }),
      entry(FontChoose,   32877, "choose ...",        {}, "Choose font type.", "", nullptr),
    endSubmenu(),
    entry(MeshStatistics, 32833, "Mesh stat ...",       {}, "Display mesh statistics.", "", needsModel),
    separator(),
    entry(ZoomIn,         32779, "Zoom in\t+",          {typed("+")}, "Zoom in\nzoom in", "zoom-in",
          [](State s) { return enabledIf(view(s).zoomAngle > 0.5 && loaded(s)); }),
    entry(ZoomOut,        32778, "Zoom out\t-",         {typed("-")}, "Zoom out\nzoom out", "zoom-out",
          [](State s) { return enabledIf(view(s).zoomAngle < 178 && loaded(s)); }),
    separator(),
    entry(Toolbar,        59392, "&Toolbar",            {}, "Show or hide the toolbar\nToggle ToolBar", "",
          [](State s) { return checkedIf(true, s.frame.toolbarShown); }),
    entry(StatusBar,      59393, "&Status Bar",         {}, "Show or hide the status bar\nToggle StatusBar", "",
          [](State s) { return checkedIf(true, s.frame.statusBarShown); }),

    menu("&Options"),
    entry(Cutoff,           32782, "Cutoff ...",            {}, "Display the model within cutoff values.", "", needsModel),
    entry(MinMax,           32796, "Min / Max ...",         {}, "Set minimum and maximum values for the colourmap.", "",
          needsModel),
    entry(Lights,           32795, "Lights ...",            {}, "Enable/disable lights", "",
          [](State s) { return checkedIf(true, view(s).lightingOn); }),
    entry(PaddingCells,     32780, "Padding cells ...",     {}, "Remove padding cells from plot.", "", nullptr),
    entry(VectorProperties, 32837, "Vector properties ...", {}, "Change the properties of vectors.", "",
          [](State s) { return enabledIf(s.doc.isVectorModel()); }),
    entry(ScaleModel,       32851, "Scale model ...",       {}, "Scale the model.", "", needsModel),
    submenu("Animation"),
      entry(AnimationStart,    32871, "Start ...",  {}, "Start recording a movie file.", "",
            [](State s) { return checkedIf(loaded(s), s.frame.recording); }),
      entry(AnimationContinue, 32873, "Continue\ta", {plain("A")}, "Continue animation.", "", needsRecording),
      entry(AnimationStop,     32872, "Stop",       {}, "Stop recording a movie file.", "", needsRecording),
    endSubmenu(),
    entry(Difference,       32876, "Difference",            {}, "Display the second model as the difference of the two.",
          "", [](State s) { return checkedIf(s.doc.store().hasSecondModel() && !s.doc.isVectorModel(), s.doc.differenceShown()); }),

    menu("Cut plane"),
    entry(CutWest,     32783, "West\tw",              {plain("W")}, "Western cut plane\nwest", "cut-west",
          cutPlaneSelected<kWest>),
    entry(CutEast,     32784, "East\te",              {plain("E")}, "Eastern cut plane\neast", "cut-east",
          cutPlaneSelected<kEast>),
    entry(CutSouth,    32785, "South\ts",             {plain("S")}, "Southern cut plane\nsouth", "cut-south",
          cutPlaneSelected<kSouth>),
    entry(CutNorth,    32786, "North\tn",             {plain("N")}, "Northern cut plane\nnorth", "cut-north",
          cutPlaneSelected<kNorth>),
    entry(CutTop,      32787, "Top\tt",               {plain("T")}, "Top cut plane\ntop", "cut-top",
          cutPlaneSelected<kTop>),
    entry(CutBottom,   32788, "Bottom\tb",            {plain("B")}, "Bottom cut plane\nbottom", "cut-bottom",
          cutPlaneSelected<kBottom>),
    entry(Diagonal,    32799, "Diagonal ...",         {}, "Do a diagonal cut\ndiagonal", "diagonal-cut",
          [](State s) { return checkedIf(loaded(s), view(s).diagonalCutOn); }),
    separator(),
    entry(CutForward,  32789, "forward\tShift+Up",    {shift("Up")}, "Move cut plane forward.\nCut forward <Shift+Up>",
          "cut-forward", cutCanMoveForward),
    entry(CutBackward, 32790, "backward\tShift+Down", {shift("Down")},
          "Move cut plane backward.\nCut backward  <Shift+Down>", "cut-backward", cutCanMoveBackward),
    separator(),
    entry(CutReset,    32813, "Reset\tEsc",           {plain("Esc")}, "Remove the cut planes.", "", nullptr),

    menu("Forward model"),
    entry(Magnetics, 32817, "Magnetics ...", {}, "Forward model susceptibilities to produce mag data (trelvane).", "",
          forwardModelling),
    entry(Gravity,   32826, "Gravity ...",   {}, "Forward model densities to produce gravity data (oskrine).", "",
          forwardModelling),

    menu("&Help"),
    entry(About,  57664, "&About Lithoscan3D ...", {},
          "Display program information, version number and copyright\nAbout", "", nullptr),
    entry(Manual, 32849, "Manual",                 {}, "Display the LithoScan3D documentation.", "", nullptr),

    keysOnly(),
    entry(RotateXMinus,   32771, "", {plain("Up"), numpad("8")},    "", "rotate-x-minus", nullptr),
    entry(RotateXPlus,    32773, "", {plain("Down"), numpad("2")},  "", "rotate-x-plus", nullptr),
    entry(RotateZMinus,   32776, "", {plain("Left"), numpad("4")},  "", "rotate-z-minus", nullptr),
    entry(RotateZPlus,    32777, "", {plain("Right"), numpad("6")}, "", "rotate-z-plus", nullptr),
    entry(PanRight,       32843, "", {ctrl("Right")},  "", "", nullptr),
    entry(PanLeft,        32844, "", {ctrl("Left")},   "", "", nullptr),
    entry(PanUp,          32845, "", {ctrl("Up")},     "", "", nullptr),
    entry(PanDown,        32846, "", {ctrl("Down")},   "", "", nullptr),
    entry(NextModel,      32838, "", {shift("Right")}, "", "", nullptr),
    entry(PreviousModel,  32839, "", {shift("Left")},  "", "", nullptr),
    entry(BlendDown,      32847, "", {alt("Left")},    "", "", nullptr),
    entry(BlendUp,        32848, "", {alt("Right")},   "", "", nullptr),
    entry(Log10,          32812, "", {}, "Toggle log values on the colourbar\nLog10", "log10",
          [](State s) { return checkedIf(view(s).showColourbar, !s.view.colours.activeScale().linearLabels); }),
    entry(CondRes,        32811, "", {}, "Toggle conductivity / resistivity\nCond / Res", "cond-res",
          [](State s) { return enabledIf(view(s).showColourbar); }),
    entry(Flip,           32858, "", {ctrl("F")}, "Flip the colours. <Ctrl>-F\nflip", "flip",
          [](State s) { return checkedIf(loaded(s), s.view.colours.colourmap.reversed); }),
    entry(MouseCut,       32800, "", {}, "Cut the model using a mouse.\ndiagonal", "mouse-cut",
          [](State s) { return checkedIf(loaded(s), view(s).mouseCutStage != 0); }),
    entry(Readout,        32855, "", {ctrl("Q")}, "", "", nullptr),
    entry(LabelScaleUp,   32878, "", {alt("3")}, "", "", needsLabels),
    entry(LabelScaleDown, 32879, "", {alt("4")}, "", "", needsLabels),
    // Nothing handles it, so it is never enabled.
    entry(Paste,          57637, "", {ctrl("V")}, "Insert Clipboard contents\nPaste", "",
          [](State) { return enabledIf(false); }),
  };
  return table;
}

const std::vector<std::optional<CommandId>>& toolbarRow() {
  static const std::vector<std::optional<CommandId>> layout = {
    Copy, {},
    RotateZMinus, RotateZPlus, RotateXMinus, RotateXPlus, {},
    ZoomOut, ZoomIn, {},
    Mesh, Colourbar, Log10, CondRes, Flip, {},
    CutWest, CutEast, CutSouth, CutNorth, CutTop, CutBottom, CutForward, CutBackward, {},
    Diagonal, MouseCut,
  };
  return layout;
}
// clang-format on

struct Built {
  std::vector<Command> commands;
  std::vector<Menu> menus;
  std::vector<const Command*> byId;
};

Built build() {
  Built b;
  std::vector<MenuItem>* submenuItems = nullptr;
  bool inMenu = false;
  for (const Row& r : rows()) {
    auto place = [&](MenuItem item) {
      if (!inMenu) throw std::logic_error("menu item outside a menu");
      (submenuItems ? *submenuItems : b.menus.back().items).push_back(std::move(item));
    };
    switch (r.kind) {
      case RowKind::Menu:
        b.menus.push_back(Menu{r.text, {}});
        inMenu = true;
        submenuItems = nullptr;
        break;
      case RowKind::Submenu:
        place(MenuItem{MenuItemKind::Submenu, {}, r.text, {}});
        submenuItems = &b.menus.back().items.back().items;
        break;
      case RowKind::EndSubmenu:
        submenuItems = nullptr;
        break;
      case RowKind::Separator:
        place(MenuItem{MenuItemKind::Separator, {}, {}, {}});
        break;
      case RowKind::KeysOnly:
        inMenu = false;
        submenuItems = nullptr;
        break;
      case RowKind::Entry:
        if (inMenu) place(MenuItem{MenuItemKind::Command, r.command.id, r.text, {}});
        b.commands.push_back(r.command);
        break;
    }
  }
  b.byId.assign(kCommandCount, nullptr);
  for (const Command& c : b.commands) {
    const Command*& slot = b.byId.at(indexOf(c.id));
    if (slot) throw std::logic_error("command listed twice");
    slot = &c;
  }
  if (std::count(b.byId.begin(), b.byId.end(), nullptr) != 0) throw std::logic_error("command missing from the table");
  return b;
}

const Built& built() {
  static const Built b = build();
  return b;
}

}  // namespace

std::string keyText(const KeyBinding& key) {
  std::string s;
  if (key.ctrl) s += "Ctrl+";
  if (key.shift) s += "Shift+";
  if (key.alt) s += "Alt+";
  if (key.keypad) s += "Num+";
  s += key.name;
  return s;
}

const std::vector<Command>& commandTable() { return built().commands; }

const std::vector<Menu>& menuBar() { return built().menus; }

const std::vector<std::optional<CommandId>>& toolbarLayout() { return toolbarRow(); }

const Command& command(CommandId id) { return *built().byId.at(indexOf(id)); }

std::vector<CommandId> keyOnlyCommands() {
  std::vector<CommandId> ids;
  for (const Command& c : commandTable())
    if (c.menuText.empty()) ids.push_back(c.id);
  return ids;
}

Prompt promptFor(CommandId id) {
  const std::string_view p = command(id).prompt;
  const auto nl = p.find('\n');
  if (nl == std::string_view::npos) return {p, {}};
  return {p.substr(0, nl), p.substr(nl + 1)};
}

CommandStatus commandStatus(CommandId id, const CommandState& state) {
  const CommandRule rule = command(id).rule;
  return rule ? rule(state) : CommandStatus{};
}

}  // namespace litho
