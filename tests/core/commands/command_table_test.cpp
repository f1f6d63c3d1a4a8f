#include "core/commands/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "core/load/document.h"
#include "core/view/view_controller.h"
#include "support/scripted_platform.h"
#include "support/store_builder.h"

namespace litho {
namespace {

using enum CommandId;
using Ids = std::vector<std::optional<CommandId>>;  // empty: a separator

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& ch : r) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return r;
}

Ids commandsOf(const std::vector<MenuItem>& items) {
  Ids ids;
  for (const MenuItem& i : items)
    ids.push_back(i.kind == MenuItemKind::Separator ? std::nullopt : std::optional<CommandId>(i.command));
  return ids;
}

TEST(CommandTable, MenusAndTheirEntriesInOrder) {
  const auto& bar = menuBar();
  std::vector<std::string_view> titles;
  for (const Menu& m : bar) titles.push_back(m.title);
  EXPECT_EQ(titles, (std::vector<std::string_view>{"&File", "&Edit", "&View", "&Options", "Cut plane", "Forward model",
                                                   "&Help"}));
  ASSERT_EQ(bar.size(), 7u);
  {
    SCOPED_TRACE("File");
    EXPECT_EQ(commandsOf(bar[0].items), (Ids{Open,
                                             Reload,
                                             CreateMesh,
                                             SaveAs,
                                             SaveImage,
                                             Topography,
                                             LoadData,
                                             CellFaces,
                                             {},
                                             SaveParameters,
                                             LoadParameters,
                                             {},
                                             Exit}));
  }
  {
    SCOPED_TRACE("Cut plane");
    EXPECT_EQ(commandsOf(bar[4].items), (Ids{CutWest,
                                             CutEast,
                                             CutSouth,
                                             CutNorth,
                                             CutTop,
                                             CutBottom,
                                             Diagonal,
                                             {},
                                             CutForward,
                                             CutBackward,
                                             {},
                                             CutReset}));
  }
  {
    SCOPED_TRACE("View: Projection first, font after Compass");
    const auto& view = bar[2].items;
    ASSERT_EQ(view[0].kind, MenuItemKind::Submenu);
    EXPECT_EQ(view[0].text, "Projection");
    EXPECT_EQ(commandsOf(view[0].items), (Ids{Perspective, Orthographic}));
    const auto font = std::find_if(view.begin(), view.end(), [](const MenuItem& i) { return i.text == "font"; });
    ASSERT_NE(font, view.end());
    EXPECT_EQ((font - 1)->command, Compass);
    EXPECT_EQ(commandsOf(font->items), (Ids{FontDecrease, FontIncrease, FontChoose}));
    EXPECT_EQ((font + 1)->command, MeshStatistics);
    EXPECT_EQ(commandsOf({view.end() - 6, view.end()}), (Ids{{}, ZoomIn, ZoomOut, {}, Toolbar, StatusBar}));
  }
  {
    SCOPED_TRACE("Options: Animation submenu before Difference");
    const auto& options = bar[3].items;
    ASSERT_EQ(options.size(), 8u);
    EXPECT_EQ(options[6].text, "Animation");
    EXPECT_EQ(commandsOf(options[6].items), (Ids{AnimationStart, AnimationContinue, AnimationStop}));
    EXPECT_EQ(options[7].command, Difference);
  }
  {
    SCOPED_TRACE("menu items carry the command's own text");
    for (const Menu& m : bar)
      for (const MenuItem& i : m.items)
        for (const MenuItem& leaf : i.kind == MenuItemKind::Submenu ? i.items : std::vector<MenuItem>{i})
          if (leaf.kind == MenuItemKind::Command) {
            EXPECT_EQ(leaf.text, command(leaf.command).menuText) << leaf.text;
          }
  }
}

TEST(CommandTable, EntriesMatchTheirTextsKeysAndPrompts) {
  struct Case {
    CommandId id;
    std::string_view text;
    std::vector<std::string> keys;
    std::string_view prompt;
  };
  const std::vector<Case> cases = {
      {Open, "&Open ...\tCtrl+O", {"Ctrl+O"}, "Open an existing model\nOpen"},
      {SaveImage,
       "Save image ...",
       {},
       "Save image in vector format (pdf, eps, ps, or tex)  or bitmap (bmp, jpg, or png)."},
      {CreateMesh, "Create mesh ...", {}, ""},
      {CopyParameters, "Copy parameters\tShift+c", {"Shift+C"}, "Copy view parameters to the clipboard."},
      {Copy, "&Copy", {"Ctrl+C", "Ctrl+Insert"}, "Copy the image and put it on the Clipboard\nCopy"},
      {Mesh, "Mesh\tm", {"M"}, "View the mesh\nmesh"},
      {FontDecrease, "decrease\t[Alt]-1", {"Alt+1"}, "Decrease font size."},
      {ZoomIn, "Zoom in\t+", {"+"}, "Zoom in\nzoom in"},
      {ZoomOut, "Zoom out\t-", {"-"}, "Zoom out\nzoom out"},
      {AnimationContinue, "Continue\ta", {"A"}, "Continue animation."},
      {CutBackward, "backward\tShift+Down", {"Shift+Down"}, "Move cut plane backward.\nCut backward  <Shift+Down>"},
      {CutReset, "Reset\tEsc", {"Esc"}, "Remove the cut planes."},
      {Manual, "Manual", {}, "Display the LithoScan3D documentation."},
      {RotateXMinus, "", {"Up", "Num+8"}, ""},
      {RotateZPlus, "", {"Right", "Num+6"}, ""},
      {BlendDown, "", {"Alt+Left"}, ""},
      {Log10, "", {}, "Toggle log values on the colourbar\nLog10"},
      {Flip, "", {"Ctrl+F"}, "Flip the colours. <Ctrl>-F\nflip"},
      {MouseCut, "", {}, "Cut the model using a mouse.\ndiagonal"},
      {Paste, "", {"Ctrl+V"}, "Insert Clipboard contents\nPaste"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text.empty() ? k.prompt : k.text);
    const Command& c = command(k.id);
    EXPECT_EQ(c.menuText, k.text);
    std::vector<std::string> keys;
    for (const KeyBinding& key : c.keys) keys.push_back(keyText(key));
    EXPECT_EQ(keys, k.keys);
    EXPECT_EQ(c.prompt, k.prompt);
  }
  EXPECT_TRUE(command(ZoomIn).keys[0].isCharacter);
  EXPECT_TRUE(command(ZoomOut).keys[0].isCharacter);
  EXPECT_FALSE(command(ResetScale).keys[0].isCharacter);
}

TEST(CommandTable, EveryCommandOnceWithUniqueNumbersAndKeysAndMenuKeyTextsAgreeWithTheKeys) {
  ASSERT_EQ(commandTable().size(), kCommandCount);
  std::set<int> numbers;
  std::set<std::string> keys;
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    const Command& c = command(static_cast<CommandId>(i));
    SCOPED_TRACE(c.number);
    EXPECT_EQ(indexOf(c.id), i);
    EXPECT_TRUE(numbers.insert(c.number).second) << "number used twice";
    EXPECT_GT(c.number, 0);
    EXPECT_LT(c.number, 65536);
    for (const KeyBinding& k : c.keys) EXPECT_TRUE(keys.insert(keyText(k)).second) << keyText(k) << " bound twice";

    const auto tab = c.menuText.find('\t');
    if (tab == std::string_view::npos) continue;
    ASSERT_FALSE(c.keys.empty());
    const std::string shown = upper(c.menuText.substr(tab + 1));
    const KeyBinding& k = c.keys[0];
    EXPECT_TRUE(shown.ends_with(upper(k.name))) << shown;
    EXPECT_EQ(shown.find("SHIFT") != std::string::npos, k.shift) << shown;
    EXPECT_EQ(shown.find("CTRL") != std::string::npos, k.ctrl) << shown;
    EXPECT_EQ(shown.find("ALT") != std::string::npos, k.alt) << shown;
  }
  EXPECT_EQ(command(Open).number, 57601);
  EXPECT_EQ(command(CutWest).number, 32783);
}

TEST(CommandTable, ToolbarOrderSeparatorsAndIcons) {
  EXPECT_EQ(toolbarLayout(),
            (Ids{Copy,     {},       RotateZMinus, RotateZPlus, RotateXMinus, RotateXPlus, {}, ZoomOut,  ZoomIn,
                 {},       Mesh,     Colourbar,    Log10,       CondRes,      Flip,        {}, CutWest,  CutEast,
                 CutSouth, CutNorth, CutTop,       CutBottom,   CutForward,   CutBackward, {}, Diagonal, MouseCut}));
  std::set<std::string_view> icons;
  for (const Command& c : commandTable()) {
    SCOPED_TRACE(c.icon);
    const bool onToolbar = std::count(toolbarLayout().begin(), toolbarLayout().end(), c.id) == 1;
    EXPECT_EQ(!c.icon.empty(), onToolbar);
    if (onToolbar) {
      EXPECT_TRUE(icons.insert(c.icon).second) << "icon used twice";
    }
  }
  EXPECT_EQ(icons.size(), 22u);
}

TEST(CommandTable, KeyOnlyCommandsAndPrompts) {
  EXPECT_EQ(
      keyOnlyCommands(),
      (std::vector<CommandId>{RotateXMinus, RotateXPlus, RotateZMinus,  RotateZPlus,  PanRight,       PanLeft, PanUp,
                              PanDown,      NextModel,   PreviousModel, BlendDown,    BlendUp,        Log10,   CondRes,
                              Flip,         MouseCut,    Readout,       LabelScaleUp, LabelScaleDown, Paste}));
  {
    SCOPED_TRACE("prompt split at the line break");
    EXPECT_EQ(promptFor(CutForward).status, "Move cut plane forward.");
    EXPECT_EQ(promptFor(CutForward).tooltip, "Cut forward <Shift+Up>");
    EXPECT_EQ(promptFor(StatusBar).tooltip, "Toggle StatusBar");
    EXPECT_EQ(promptFor(Smooth).status, "Smooth the model");
    EXPECT_TRUE(promptFor(Smooth).tooltip.empty());
    EXPECT_TRUE(promptFor(LoadParameters).status.empty());
    EXPECT_TRUE(promptFor(RotateXMinus).status.empty());
  }
}

// ---------------------------------------------------------------------------------------------------------------

class CommandRules : public ::testing::Test {
 protected:
  void loadScalar() {
    doc.adopt(test::unitStore(10, 8, 6), {});
    view.state.visibleCount = {10, 8, 6};
  }
  void setSecondModel(bool on) {
    if (on && doc.editStore().allocateSecondModel()) doc.editStore().setSecondModelLoaded(true);
    if (!on) doc.editStore().dropSecondModel();
  }
  void setLog(bool on) {
    LoadRequest f = doc.files();
    f.logModel = on;
    doc.setFiles(f);
  }
  CommandStatus status(CommandId id) { return commandStatus(id, CommandState{doc, view, frame}); }
  bool enabled(CommandId id) { return status(id).enabled; }

  test::ScriptedPlatform platform;
  Document doc{platform, platform};
  ViewController view{doc, platform};
  ViewState& v = view.state;
  FrameState frame;
};

TEST_F(CommandRules, BeforeAndAfterALoad) {
  const std::vector<CommandId> needModel = {
      Reload,       SaveAs,         Topography,     LoadData, CellFaces, SaveParameters, AddBlocks,
      Smooth,       Labels,         Colourbar,      Mesh,     Floor,     Boundary,       Compass,
      FontDecrease, FontIncrease,   MeshStatistics, ZoomIn,   ZoomOut,   Cutoff,         MinMax,
      ScaleModel,   AnimationStart, CutWest,        CutEast,  CutSouth,  CutNorth,       CutTop,
      CutBottom,    Diagonal,       Magnetics,      Gravity,  Flip,      MouseCut};
  const std::vector<CommandId> always = {
      Open,       CreateMesh,   SaveImage,    LoadParameters, Exit,         CopyParameters, PasteParameters,
      Copy,       Perspective,  Orthographic, ResetScale,     Colourmap,    Background,     RotationAngles,
      FontChoose, Toolbar,      StatusBar,    Lights,         PaddingCells, CutReset,       About,
      Manual,     RotateXMinus, RotateXPlus,  RotateZMinus,   RotateZPlus,  PanRight,       PanLeft,
      PanUp,      PanDown,      NextModel,    PreviousModel,  BlendDown,    BlendUp,        Readout};
  for (CommandId id : needModel) EXPECT_FALSE(enabled(id)) << command(id).number;
  for (CommandId id : always) EXPECT_TRUE(enabled(id)) << command(id).number;
  EXPECT_FALSE(enabled(CutForward));
  EXPECT_FALSE(enabled(CutBackward));
  EXPECT_EQ(status(ResetScale), CommandStatus{});

  loadScalar();
  for (CommandId id : needModel) EXPECT_TRUE(enabled(id)) << command(id).number;
  for (CommandId id : always) EXPECT_TRUE(enabled(id)) << command(id).number;
  {
    SCOPED_TRACE("cut moves need a selected plane");
    EXPECT_FALSE(enabled(CutForward));
  }
  {
    SCOPED_TRACE("label scale follows showLabels only");
    doc.releaseModelData();
    EXPECT_FALSE(enabled(LabelScaleUp));
    v.showLabels = true;
    EXPECT_TRUE(enabled(LabelScaleUp));
    EXPECT_TRUE(enabled(LabelScaleDown));
  }
  EXPECT_EQ(status(Open), CommandStatus{});
}

TEST_F(CommandRules, ChecksFollowTheFlags) {
  loadScalar();
  EXPECT_EQ(status(Perspective), (CommandStatus{true, true}));
  EXPECT_EQ(status(Orthographic), (CommandStatus{true, false}));
  v.perspective = 0;
  EXPECT_EQ(status(Perspective), (CommandStatus{true, false}));
  EXPECT_EQ(status(Orthographic), (CommandStatus{true, true}));

  v.lightingOn = false;
  EXPECT_EQ(status(Lights), (CommandStatus{true, false}));

  const CommandId planes[] = {CutWest, CutEast, CutSouth, CutNorth, CutTop, CutBottom};
  for (int plane = kNoPlane; plane <= kBottom; ++plane) {
    SCOPED_TRACE("selected plane " + std::to_string(plane));
    v.selectedCutPlane = plane;
    for (int p = kWest; p <= kBottom; ++p) EXPECT_EQ(status(planes[p - 1]).checked, p == plane) << p;
  }
  {
    SCOPED_TRACE("Log10 pressed while linearLabels is off; both colourbar buttons follow the colourbar");
    EXPECT_EQ(status(Log10), (CommandStatus{true, true}));
    view.colours.activeScale().linearLabels = true;
    EXPECT_EQ(status(Log10), (CommandStatus{true, false}));
    v.showColourbar = false;
    EXPECT_FALSE(enabled(Log10));
    EXPECT_FALSE(enabled(CondRes));
  }
  v.mouseCutStage = 3;
  EXPECT_EQ(status(MouseCut).checked, true);
  {
    SCOPED_TRACE("frame switches");
    frame.statusBarShown = false;
    EXPECT_EQ(status(StatusBar), (CommandStatus{true, false}));
    EXPECT_EQ(status(Toolbar), (CommandStatus{true, true}));
  }
}

TEST_F(CommandRules, FloorNeedsTheBoundary) {
  loadScalar();
  EXPECT_EQ(status(Floor), (CommandStatus{true, true}));
  v.showBoundary = false;
  EXPECT_EQ(status(Floor), (CommandStatus{false, true}));
  EXPECT_EQ(status(Boundary), (CommandStatus{true, false}));
}

TEST_F(CommandRules, PasteIsNeverEnabled) {
  EXPECT_FALSE(enabled(Paste));
  loadScalar();
  setSecondModel(true);
  frame.recording = true;
  EXPECT_FALSE(enabled(Paste));
  EXPECT_TRUE(enabled(PasteParameters));
}

TEST_F(CommandRules, MovieCommandsBetweenStartAndStop) {
  loadScalar();
  EXPECT_EQ(status(AnimationStart), (CommandStatus{true, false}));
  EXPECT_FALSE(enabled(AnimationContinue));
  EXPECT_FALSE(enabled(AnimationStop));
  frame.recording = true;
  EXPECT_EQ(status(AnimationStart), (CommandStatus{true, true}));
  EXPECT_TRUE(enabled(AnimationContinue));
  EXPECT_TRUE(enabled(AnimationStop));
}

TEST_F(CommandRules, CutPlaneMovesStopAtTheLastLayerAndAtZero) {
  loadScalar();
  v.selectedCutPlane = kWest;
  v.cuts = {5, 3, 0, 0, 0, 0};
  EXPECT_TRUE(enabled(CutForward));
  v.cuts[kSideWest] = 6;  // 6 + 3 = 10 - 1
  EXPECT_FALSE(enabled(CutForward));
  EXPECT_TRUE(enabled(CutBackward));
  {
    SCOPED_TRACE("east shares the X axis");
    v.selectedCutPlane = kEast;
    EXPECT_FALSE(enabled(CutForward));
    EXPECT_TRUE(enabled(CutBackward));
  }
  {
    SCOPED_TRACE("bottom with nothing cut");
    v.selectedCutPlane = kBottom;
    EXPECT_TRUE(enabled(CutForward));
    EXPECT_FALSE(enabled(CutBackward));
    v.cuts[kSideTop] = 4;
    EXPECT_TRUE(enabled(CutForward));
    v.cuts[kSideTop] = 5;  // 5 + 0 = 6 - 1
    EXPECT_FALSE(enabled(CutForward));
  }
  {
    SCOPED_TRACE("a single visible layer never moves");
    v.visibleCount = {1, 1, 1};
    v.cuts = {};
    for (int p = kWest; p <= kBottom; ++p) {
      v.selectedCutPlane = p;
      EXPECT_FALSE(enabled(CutForward)) << p;
    }
  }
}

TEST_F(CommandRules, ZoomAndFontLimits) {
  loadScalar();
  v.zoomAngle = 1;
  EXPECT_TRUE(enabled(ZoomIn));
  v.zoomAngle = 0.5;
  EXPECT_FALSE(enabled(ZoomIn));
  EXPECT_TRUE(enabled(ZoomOut));
  v.zoomAngle = 177.5;
  EXPECT_TRUE(enabled(ZoomOut));
  v.zoomAngle = 178;
  EXPECT_FALSE(enabled(ZoomOut));

  v.fontSize = 1;
  EXPECT_FALSE(enabled(FontDecrease));
  EXPECT_TRUE(enabled(FontIncrease));
  v.fontSize = 100;
  EXPECT_TRUE(enabled(FontDecrease));
  EXPECT_FALSE(enabled(FontIncrease));
}

TEST_F(CommandRules, ModelKindsAndModes) {
  loadScalar();
  {
    SCOPED_TRACE("vector model");
    EXPECT_FALSE(enabled(VectorProperties));
    doc.editStore().allocateModels(1, true);
    setSecondModel(true);
    for (CommandId id : {SaveAs, Topography, AddBlocks, Smooth, Floor, Difference, Magnetics, Gravity})
      EXPECT_FALSE(enabled(id)) << command(id).number;
    EXPECT_TRUE(enabled(VectorProperties));
    doc.editStore().allocateModels(1, false);
    setSecondModel(false);
  }
  {
    SCOPED_TRACE("log model and tq5r mode");
    setLog(true);
    EXPECT_FALSE(enabled(Magnetics));
    EXPECT_FALSE(enabled(Gravity));
    EXPECT_TRUE(enabled(Topography));
    setLog(false);
    doc.setTq5rMode(true);
    EXPECT_FALSE(enabled(Magnetics));
    EXPECT_FALSE(enabled(Topography));
    doc.setTq5rMode(false);
  }
  {
    SCOPED_TRACE("several models, block editor, second model");
    doc.editStore().allocateModels(3, false);
    EXPECT_FALSE(enabled(Smooth));
    doc.setBlockEditorOpen(true);
    EXPECT_FALSE(enabled(AddBlocks));
    EXPECT_FALSE(enabled(Difference));
    setSecondModel(true);
    EXPECT_EQ(status(Difference), (CommandStatus{true, false}));
    doc.setDifferenceShown(true);
    EXPECT_EQ(status(Difference), (CommandStatus{true, true}));
  }
}

}  // namespace
}  // namespace litho
