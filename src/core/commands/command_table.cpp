#include "core/commands/command_table.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>

namespace litho {
namespace {

constexpr KeyBinding plain(std::string_view name) { return KeyBinding{name}; }
constexpr KeyBinding shift(std::string_view name) { return KeyBinding{name, true}; }
constexpr KeyBinding ctrl(std::string_view name) { return KeyBinding{name, false, true}; }
constexpr KeyBinding alt(std::string_view name) { return KeyBinding{name, false, false, true}; }
constexpr KeyBinding numpad(std::string_view name) { return KeyBinding{name, false, false, false, true}; }
constexpr KeyBinding typed(std::string_view character) { return KeyBinding{character, false, false, false, false, true}; }

constexpr auto kView = CommandOwner::View;
constexpr auto kDoc = CommandOwner::Document;
constexpr auto kFrame = CommandOwner::Frame;
constexpr auto kApp = CommandOwner::Application;
constexpr auto kNobody = CommandOwner::None;

enum class RowKind { Menu, Submenu, EndSubmenu, Separator, Entry, KeysOnly };

struct Row {
  RowKind kind;
  std::string_view text{};
  int id = 0;
  std::vector<KeyBinding> keys{};
  int slot = kNoToolbarSlot;
  std::string_view prompt{};
  CommandOwner owner = kView;
};

Row menu(std::string_view title) { return {RowKind::Menu, title}; }
Row submenu(std::string_view title) { return {RowKind::Submenu, title}; }
Row endSubmenu() { return {RowKind::EndSubmenu, {}}; }
Row separator() { return {RowKind::Separator, {}}; }
Row keysOnly() { return {RowKind::KeysOnly, {}}; }
Row entry(std::string_view text, int id, std::vector<KeyBinding> keys, int slot, std::string_view prompt, CommandOwner owner) {
  return {RowKind::Entry, text, id, std::move(keys), slot, prompt, owner};
}

// clang-format off
const std::vector<Row>& rows() {
  static const std::vector<Row> table = {
    menu("&File"),
    entry("&Open ...\tCtrl+O",     kCmdOpen,           {ctrl("O")}, 0, "Open an existing model\nOpen", kDoc),
    entry("Reload",                kCmdReload,         {}, 0, "Reload the model file.", kDoc),
    entry("Create mesh ...",       kCmdCreateMesh,     {}, 0, "", kDoc),
    entry("Save As ...",           kCmdSaveAs,         {}, 0, "Save the model.", kDoc),
    entry("Save image ...",        kCmdSaveImage,      {}, 0,
          "Save image in vector format (pdf, eps, ps, or tex)  or bitmap (bmp, jpg, or png).", kView),
    entry("Topography ...",        kCmdTopography,     {}, 0, "Load the topography file.", kDoc),
    entry("Load data ...",         kCmdLoadData,       {}, 0, "Load the data files.", kDoc),
    entry("Cell faces ...",        kCmdCellFaces,      {}, 0, "Load the cell faces (weighting) file.", kView),
    separator(),
    entry("Save parameters ...",   kCmdSaveParameters, {}, 0, "Save the current view parameters.", kView),
    entry("Load parameters ...",   kCmdLoadParameters, {}, 0, "", kView),
    separator(),
    entry("E&xit",                 kCmdExit,           {}, 0, "Quit Lithoscan3D\nExit", kApp),

    menu("&Edit"),
    entry("Add blocks ...",            kCmdAddBlocks,       {}, 0, "Edit the 3D model.", kDoc),
    entry("Smooth",                    kCmdSmooth,          {}, 0, "Smooth the model", kDoc),
    separator(),
    entry("Copy parameters\tShift+c",  kCmdCopyParameters,  {shift("C")}, 0, "Copy view parameters to the clipboard.", kView),
    entry("Paste parameters\tShift+v", kCmdPasteParameters, {shift("V")}, 0, "Paste view parameters from the clipboard.", kView),
    separator(),
    entry("&Copy",                     kCmdCopy,            {ctrl("C"), ctrl("Insert")}, 1,
          "Copy the image and put it on the Clipboard\nCopy", kView),

    menu("&View"),
    submenu("Projection"),
      entry("Perspective",         kCmdPerspective,    {}, 0, "Perspective projection", kView),
      entry("Orthographic",        kCmdOrthographic,   {}, 0, "Orthographic projection", kView),
    endSubmenu(),
    entry("&Labels",               kCmdLabels,         {}, 0, "Display labels.", kView),
    entry("&Colourbar",            kCmdColourbar,      {}, 9, "Display the colourbar.\nColourbar", kView),
    entry("Reset scale\tr",        kCmdResetScale,     {plain("R")}, 0, "Reset the colourbar scale.", kView),
    entry("Mesh\tm",               kCmdMesh,           {plain("M")}, 8, "View the mesh\nmesh", kView),
    entry("Colourmap ...",         kCmdColourmap,      {}, 0, "Choose a colourmap ...", kView),
    entry("Background ...",        kCmdBackground,     {}, 0, "Change the background colour.", kView),
    entry("Rotation angles ...",   kCmdRotationAngles, {}, 0, "Change the rotation angles.", kView),
    entry("Floor",                 kCmdFloor,          {}, 0, "View the bottom of the mesh (floor).", kView),
    entry("Boundary",              kCmdBoundary,       {}, 0, "View the boundary outline.", kView),
    entry("Compass",               kCmdCompass,        {}, 0, "Display a compass.", kView),
    submenu("font"),
      entry("decrease\t[Alt]-1",   kCmdFontDecrease,   {alt("1")}, 0, "Decrease font size.", kView),
      entry("increase\t[Alt]-2",   kCmdFontIncrease,   {alt("2")}, 0, "Increase font size.", kView),
      entry("choose ...",          kCmdFontChoose,     {}, 0, "Choose font type.", kView),
    endSubmenu(),
    entry("Mesh stat ...",         kCmdMeshStat,       {}, 0, "Display mesh statistics.", kDoc),
    separator(),
    entry("Zoom in\t+",            kCmdZoomIn,         {typed("+")}, 7, "Zoom in\nzoom in", kView),
    entry("Zoom out\t-",           kCmdZoomOut,        {typed("-")}, 6, "Zoom out\nzoom out", kView),
    separator(),
    entry("&Toolbar",              kCmdToolbar,        {}, 0, "Show or hide the toolbar\nToggle ToolBar", kFrame),
    entry("&Status Bar",           kCmdStatusBar,      {}, 0, "Show or hide the status bar\nToggle StatusBar", kFrame),

    menu("&Options"),
    entry("Cutoff ...",            kCmdCutoff,           {}, 0, "Display the model within cutoff values.", kView),
    entry("Min / Max ...",         kCmdMinMax,           {}, 0, "Set minimum and maximum values for the colourmap.", kView),
    entry("Lights ...",            kCmdLights,           {}, 0, "Enable/disable lights", kView),
    entry("Padding cells ...",     kCmdPaddingCells,     {}, 0, "Remove padding cells from plot.", kView),
    entry("Vector properties ...", kCmdVectorProperties, {}, 0, "Change the properties of vectors.", kView),
    entry("Scale model ...",       kCmdScaleModel,       {}, 0, "Scale the model.", kView),
    submenu("Animation"),
      entry("Start ...",           kCmdAnimationStart,    {}, 0, "Start recording a movie file.", kView),
      entry("Continue\ta",         kCmdAnimationContinue, {plain("A")}, 0, "Continue animation.", kView),
      entry("Stop",                kCmdAnimationStop,     {}, 0, "Stop recording a movie file.", kView),
    endSubmenu(),
    entry("Difference",            kCmdDifference,       {}, 0,
          "Display the second model as the difference of the two.", kDoc),

    menu("Cut plane"),
    entry("West\tw",               kCmdCutWest,        {plain("W")}, 13, "Western cut plane\nwest", kView),
    entry("East\te",               kCmdCutEast,        {plain("E")}, 14, "Eastern cut plane\neast", kView),
    entry("South\ts",              kCmdCutSouth,       {plain("S")}, 15, "Southern cut plane\nsouth", kView),
    entry("North\tn",              kCmdCutNorth,       {plain("N")}, 16, "Northern cut plane\nnorth", kView),
    entry("Top\tt",                kCmdCutTop,         {plain("T")}, 17, "Top cut plane\ntop", kView),
    entry("Bottom\tb",             kCmdCutBottom,      {plain("B")}, 18, "Bottom cut plane\nbottom", kView),
    entry("Diagonal ...",          kCmdDiagonal,       {}, 21, "Do a diagonal cut\ndiagonal", kView),
    separator(),
    entry("forward\tShift+Up",     kCmdCutForward,     {shift("Up")}, 19, "Move cut plane forward.\nCut forward <Shift+Up>", kView),
    entry("backward\tShift+Down",  kCmdCutBackward,    {shift("Down")}, 20,
          "Move cut plane backward.\nCut backward  <Shift+Down>", kView),
    separator(),
    entry("Reset\tEsc",            kCmdCutReset,       {plain("Esc")}, 0, "Remove the cut planes.", kView),

    menu("Forward model"),
    entry("Magnetics ...",         kCmdMagnetics,      {}, 0,
          "Forward model susceptibilities to produce mag data (trelvane).", kDoc),
    entry("Gravity ...",           kCmdGravity,        {}, 0, "Forward model densities to produce gravity data (oskrine).", kDoc),

    menu("&Help"),
    entry("&About Lithoscan3D ...", kCmdAbout,         {}, 0,
          "Display program information, version number and copyright\nAbout", kApp),
    entry("Manual",                kCmdManual,         {}, 0, "Display the LithoScan3D documentation.", kFrame),

    keysOnly(),
    entry("", kCmdRotateXMinus,   {plain("Up"), numpad("8")},    4, "", kView),
    entry("", kCmdRotateXPlus,    {plain("Down"), numpad("2")},  5, "", kView),
    entry("", kCmdRotateZMinus,   {plain("Left"), numpad("4")},  2, "", kView),
    entry("", kCmdRotateZPlus,    {plain("Right"), numpad("6")}, 3, "", kView),
    entry("", kCmdPanRight,       {ctrl("Right")}, 0, "", kView),
    entry("", kCmdPanLeft,        {ctrl("Left")},  0, "", kView),
    entry("", kCmdPanUp,          {ctrl("Up")},    0, "", kView),
    entry("", kCmdPanDown,        {ctrl("Down")},  0, "", kView),
    entry("", kCmdNextModel,      {shift("Right")}, 0, "", kView),
    entry("", kCmdPreviousModel,  {shift("Left")},  0, "", kView),
    entry("", kCmdBlendDown,      {alt("Left")},    0, "", kView),
    entry("", kCmdBlendUp,        {alt("Right")},   0, "", kView),
    entry("", kCmdLog10,          {}, 10, "Toggle log values on the colourbar\nLog10", kView),
    entry("", kCmdCondRes,        {}, 11, "Toggle conductivity / resistivity\nCond / Res", kView),
    entry("", kCmdFlip,           {ctrl("F")}, 12, "Flip the colours. <Ctrl>-F\nflip", kView),
    entry("", kCmdMouseCut,       {}, 22, "Cut the model using a mouse.\ndiagonal", kView),
    entry("", kCmdReadout,        {ctrl("Q")}, 0, "", kView),
    entry("", kCmdLabelScaleUp,   {alt("3")}, 0, "", kView),
    entry("", kCmdLabelScaleDown, {alt("4")}, 0, "", kView),
    entry("", kCmdPaste,          {ctrl("V")}, 0, "Insert Clipboard contents\nPaste", kNobody),
  };
  return table;
}
// clang-format on

constexpr std::array<int, 5> kSeparatorsAfterSlots = {1, 5, 7, 12, 20};

struct Built {
  std::vector<Command> commands;
  std::vector<Menu> menus;
  std::vector<int> toolbar;
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
        place(MenuItem{MenuItemKind::Submenu, 0, r.text, {}});
        submenuItems = &b.menus.back().items.back().items;
        break;
      case RowKind::EndSubmenu:
        submenuItems = nullptr;
        break;
      case RowKind::Separator:
        place(MenuItem{MenuItemKind::Separator, 0, {}, {}});
        break;
      case RowKind::KeysOnly:
        inMenu = false;
        submenuItems = nullptr;
        break;
      case RowKind::Entry:
        if (inMenu) place(MenuItem{MenuItemKind::Command, r.id, r.text, {}});
        b.commands.push_back(Command{r.id, r.text, r.keys, r.slot, r.prompt, r.owner});
        break;
    }
  }

  std::vector<int> bySlot(kToolbarSlots + 1, kToolbarSeparator);
  for (const Command& c : b.commands)
    if (c.toolbarSlot != kNoToolbarSlot) bySlot.at(static_cast<std::size_t>(c.toolbarSlot)) = c.id;
  for (int slot = 1; slot <= kToolbarSlots; ++slot) {
    b.toolbar.push_back(bySlot[static_cast<std::size_t>(slot)]);
    if (std::find(kSeparatorsAfterSlots.begin(), kSeparatorsAfterSlots.end(), slot) != kSeparatorsAfterSlots.end())
      b.toolbar.push_back(kToolbarSeparator);
  }
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

const std::vector<int>& toolbarLayout() { return built().toolbar; }

const Command* findCommand(int id) {
  const auto& t = commandTable();
  const auto it = std::find_if(t.begin(), t.end(), [id](const Command& c) { return c.id == id; });
  return it == t.end() ? nullptr : &*it;
}

std::vector<int> keyOnlyCommands() {
  std::vector<int> ids;
  for (const Command& c : commandTable())
    if (c.menuText.empty()) ids.push_back(c.id);
  return ids;
}

Prompt promptFor(int id) {
  const Command* c = findCommand(id);
  if (!c) return {};
  const std::string_view p = c->prompt;
  const auto nl = p.find('\n');
  if (nl == std::string_view::npos) return {p, {}};
  return {p.substr(0, nl), p.substr(nl + 1)};
}

}  // namespace litho
