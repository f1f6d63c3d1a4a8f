#include "core/commands/command_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/commands/command_rules.h"

namespace litho {
namespace {

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& ch : r) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return r;
}

const Command& command(int id) {
  const Command* c = findCommand(id);
  if (!c) throw std::runtime_error("no command " + std::to_string(id));
  return *c;
}

std::vector<int> commandsOf(const std::vector<MenuItem>& items) {
  std::vector<int> ids;
  for (const MenuItem& i : items) ids.push_back(i.kind == MenuItemKind::Separator ? 0 : i.command);
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
    SCOPED_TRACE("File, separators as 0");
    EXPECT_EQ(commandsOf(bar[0].items),
              (std::vector<int>{57601, 32874, 32832, 57603, 32820, 32822, 32862, 32875, 0, 32853, 32854, 0, 57665}));
  }
  {
    SCOPED_TRACE("Cut plane");
    EXPECT_EQ(commandsOf(bar[4].items),
              (std::vector<int>{32783, 32784, 32785, 32786, 32787, 32788, 32799, 0, 32789, 32790, 0, 32813}));
  }
  {
    SCOPED_TRACE("View: Projection first, font after Compass");
    const auto& view = bar[2].items;
    ASSERT_EQ(view[0].kind, MenuItemKind::Submenu);
    EXPECT_EQ(view[0].text, "Projection");
    EXPECT_EQ(commandsOf(view[0].items), (std::vector<int>{32792, 32794}));
    const auto font = std::find_if(view.begin(), view.end(), [](const MenuItem& i) { return i.text == "font"; });
    ASSERT_NE(font, view.end());
    EXPECT_EQ((font - 1)->command, 32857);
    EXPECT_EQ(commandsOf(font->items), (std::vector<int>{32865, 32866, 32877}));
    EXPECT_EQ((font + 1)->command, 32833);
    EXPECT_EQ(commandsOf({view.end() - 6, view.end()}), (std::vector<int>{0, 32779, 32778, 0, 59392, 59393}));
  }
  {
    SCOPED_TRACE("Options: Animation submenu before Difference");
    const auto& options = bar[3].items;
    ASSERT_EQ(options.size(), 8u);
    EXPECT_EQ(options[6].text, "Animation");
    EXPECT_EQ(commandsOf(options[6].items), (std::vector<int>{32871, 32873, 32872}));
    EXPECT_EQ(options[7].command, 32876);
  }
  {
    SCOPED_TRACE("menu items carry the command's own text");
    for (const Menu& m : bar)
      for (const MenuItem& i : m.items)
        for (const MenuItem& leaf : i.kind == MenuItemKind::Submenu ? i.items : std::vector<MenuItem>{i})
          if (leaf.kind == MenuItemKind::Command) {
            EXPECT_EQ(leaf.text, command(leaf.command).menuText) << leaf.command;
          }
  }
}

TEST(CommandTable, EntriesMatchTheirTextsNumbersKeysAndPrompts) {
  struct Case {
    int id;
    std::string_view text;
    std::vector<std::string> keys;
    int slot;
    std::string_view prompt;
  };
  const std::vector<Case> cases = {
      {57601, "&Open ...\tCtrl+O", {"Ctrl+O"}, 0, "Open an existing model\nOpen"},
      {32820,
       "Save image ...",
       {},
       0,
       "Save image in vector format (pdf, eps, ps, or tex)  or bitmap (bmp, jpg, or png)."},
      {32832, "Create mesh ...", {}, 0, ""},
      {32834, "Copy parameters\tShift+c", {"Shift+C"}, 0, "Copy view parameters to the clipboard."},
      {57634, "&Copy", {"Ctrl+C", "Ctrl+Insert"}, 1, "Copy the image and put it on the Clipboard\nCopy"},
      {32815, "Mesh\tm", {"M"}, 8, "View the mesh\nmesh"},
      {32865, "decrease\t[Alt]-1", {"Alt+1"}, 0, "Decrease font size."},
      {32779, "Zoom in\t+", {"+"}, 7, "Zoom in\nzoom in"},
      {32778, "Zoom out\t-", {"-"}, 6, "Zoom out\nzoom out"},
      {32873, "Continue\ta", {"A"}, 0, "Continue animation."},
      {32790, "backward\tShift+Down", {"Shift+Down"}, 20, "Move cut plane backward.\nCut backward  <Shift+Down>"},
      {32813, "Reset\tEsc", {"Esc"}, 0, "Remove the cut planes."},
      {32849, "Manual", {}, 0, "Display the LithoScan3D documentation."},
      {32771, "", {"Up", "Num+8"}, 4, ""},
      {32777, "", {"Right", "Num+6"}, 3, ""},
      {32847, "", {"Alt+Left"}, 0, ""},
      {32812, "", {}, 10, "Toggle log values on the colourbar\nLog10"},
      {32858, "", {"Ctrl+F"}, 12, "Flip the colours. <Ctrl>-F\nflip"},
      {32800, "", {}, 22, "Cut the model using a mouse.\ndiagonal"},
      {57637, "", {"Ctrl+V"}, 0, "Insert Clipboard contents\nPaste"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.id);
    const Command& c = command(k.id);
    EXPECT_EQ(c.menuText, k.text);
    std::vector<std::string> keys;
    for (const KeyBinding& key : c.keys) keys.push_back(keyText(key));
    EXPECT_EQ(keys, k.keys);
    EXPECT_EQ(c.toolbarSlot, k.slot);
    EXPECT_EQ(c.prompt, k.prompt);
  }
  EXPECT_TRUE(command(32779).keys[0].isCharacter);
  EXPECT_TRUE(command(32778).keys[0].isCharacter);
  EXPECT_FALSE(command(32841).keys[0].isCharacter);
}

TEST(CommandTable, NumbersAndKeysAreUniqueAndMenuKeyTextsAgreeWithTheKeys) {
  std::set<int> ids;
  std::set<std::string> keys;
  for (const Command& c : commandTable()) {
    SCOPED_TRACE(c.id);
    EXPECT_TRUE(ids.insert(c.id).second) << "number used twice";
    EXPECT_GT(c.id, 0);
    EXPECT_LT(c.id, 65536);
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
  EXPECT_EQ(ids.size(), 80u);
}

TEST(CommandTable, ToolbarOrderSeparatorsAndSlots) {
  EXPECT_EQ(toolbarLayout(), (std::vector<int>{57634, 0,     32776, 32777, 32771, 32773, 0, 32778, 32779,
                                               0,     32815, 32803, 32812, 32811, 32858, 0, 32783, 32784,
                                               32785, 32786, 32787, 32788, 32789, 32790, 0, 32799, 32800}));
  std::set<int> slots;
  for (const Command& c : commandTable())
    if (c.toolbarSlot != kNoToolbarSlot) {
      SCOPED_TRACE(c.id);
      EXPECT_GE(c.toolbarSlot, 1);
      EXPECT_LE(c.toolbarSlot, kToolbarSlots);
      EXPECT_TRUE(slots.insert(c.toolbarSlot).second);
    }
  EXPECT_EQ(slots.size(), 22u);
  for (int id : toolbarLayout())
    if (id != kToolbarSeparator) {
      EXPECT_NE(findCommand(id), nullptr) << id;
    }
}

TEST(CommandTable, KeyOnlyCommandsOwnersAndPrompts) {
  EXPECT_EQ(keyOnlyCommands(),
            (std::vector<int>{32771, 32773, 32776, 32777, 32843, 32844, 32845, 32846, 32838, 32839,
                              32847, 32848, 32812, 32811, 32858, 32800, 32855, 32878, 32879, 57637}));
  {
    SCOPED_TRACE("owners");
    EXPECT_EQ(command(57664).owner, CommandOwner::Application);
    EXPECT_EQ(command(32849).owner, CommandOwner::Frame);
    EXPECT_EQ(command(32874).owner, CommandOwner::Document);
    EXPECT_EQ(command(32817).owner, CommandOwner::Document);
    EXPECT_EQ(command(32783).owner, CommandOwner::View);
    EXPECT_EQ(command(32871).owner, CommandOwner::View);
    EXPECT_EQ(command(57637).owner, CommandOwner::None);
  }
  {
    SCOPED_TRACE("prompt split at the line break");
    EXPECT_EQ(promptFor(32789).status, "Move cut plane forward.");
    EXPECT_EQ(promptFor(32789).tooltip, "Cut forward <Shift+Up>");
    EXPECT_EQ(promptFor(59393).tooltip, "Toggle StatusBar");
    EXPECT_EQ(promptFor(32816).status, "Smooth the model");
    EXPECT_TRUE(promptFor(32816).tooltip.empty());
    EXPECT_TRUE(promptFor(32854).status.empty());
    EXPECT_TRUE(promptFor(32771).status.empty());
    EXPECT_TRUE(promptFor(12345).status.empty());
  }
}

// ---------------------------------------------------------------------------------------------------------------

CommandContext loadedScalar() {
  CommandContext c;
  c.modelLoaded = true;
  c.modelCount = 1;
  c.visibleCount = {10, 8, 6};
  return c;
}

bool enabled(int id, const CommandContext& c) { return commandStatus(id, c).enabled; }

TEST(CommandRules, BeforeAndAfterALoad) {
  const CommandContext empty;
  const CommandContext loaded = loadedScalar();
  const std::vector<int> needModel = {32874, 57603, 32822, 32862, 32875, 32853, 32814, 32816, 32798,
                                      32803, 32815, 32824, 32850, 32857, 32865, 32866, 32833, 32779,
                                      32778, 32782, 32796, 32851, 32871, 32783, 32784, 32785, 32786,
                                      32787, 32788, 32799, 32817, 32826, 32858, 32800};
  for (int id : needModel) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(enabled(id, empty));
    EXPECT_TRUE(enabled(id, loaded));
  }
  const std::vector<int> always = {57601, 32832, 32820, 32854, 57665, 32834, 32835, 57634, 32792, 32794, 32841, 32852,
                                   32830, 32805, 32877, 59392, 59393, 32795, 32780, 32813, 57664, 32849, 32771, 32773,
                                   32776, 32777, 32843, 32844, 32845, 32846, 32838, 32839, 32847, 32848, 32855};
  for (int id : always) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(enabled(id, empty));
    EXPECT_TRUE(enabled(id, loaded));
  }
  {
    SCOPED_TRACE("cut moves need a selected plane");
    EXPECT_FALSE(enabled(32789, empty));
    EXPECT_FALSE(enabled(32790, empty));
    EXPECT_FALSE(enabled(32789, loaded));
  }
  {
    SCOPED_TRACE("label scale follows showLabels only");
    CommandContext c = empty;
    EXPECT_FALSE(enabled(32878, c));
    c.showLabels = true;
    EXPECT_TRUE(enabled(32878, c));
    EXPECT_TRUE(enabled(32879, c));
  }
  {
    SCOPED_TRACE("without a rule: enabled, no check");
    EXPECT_EQ(commandStatus(32841, empty), CommandStatus{});
    EXPECT_EQ(commandStatus(57601, loaded), CommandStatus{});
    EXPECT_EQ(commandStatus(12345, loaded), CommandStatus{});
  }
}

TEST(CommandRules, ChecksFollowTheFlags) {
  CommandContext c = loadedScalar();
  EXPECT_EQ(commandStatus(32792, c), (CommandStatus{true, true}));
  EXPECT_EQ(commandStatus(32794, c), (CommandStatus{true, false}));
  c.perspective = 0;
  EXPECT_EQ(commandStatus(32792, c), (CommandStatus{true, false}));
  EXPECT_EQ(commandStatus(32794, c), (CommandStatus{true, true}));

  c.lightingOn = false;
  EXPECT_EQ(commandStatus(32795, c), (CommandStatus{true, false}));

  for (int plane = 0; plane <= 6; ++plane) {
    SCOPED_TRACE("selected plane " + std::to_string(plane));
    c.selectedCutPlane = plane;
    for (int p = 1; p <= 6; ++p) EXPECT_EQ(commandStatus(32782 + p, c).checked, p == plane) << 32782 + p;
  }

  {
    SCOPED_TRACE("Log10 pressed while linearLabels is off; both colourbar buttons follow the colourbar");
    EXPECT_EQ(commandStatus(32812, c), (CommandStatus{true, true}));
    c.activeScaleLinearLabels = true;
    EXPECT_EQ(commandStatus(32812, c), (CommandStatus{true, false}));
    c.showColourbar = false;
    EXPECT_FALSE(enabled(32812, c));
    EXPECT_FALSE(enabled(32811, c));
  }
  c.mouseCutStage = 3;
  EXPECT_EQ(commandStatus(32800, c).checked, true);
}

TEST(CommandRules, FloorNeedsTheBoundary) {
  CommandContext c = loadedScalar();
  EXPECT_EQ(commandStatus(32824, c), (CommandStatus{true, true}));
  c.showBoundary = false;
  EXPECT_EQ(commandStatus(32824, c), (CommandStatus{false, true}));
  EXPECT_EQ(commandStatus(32850, c), (CommandStatus{true, false}));
}

TEST(CommandRules, PasteIsNeverEnabled) {
  CommandContext c = loadedScalar();
  c.secondModelLoaded = true;
  c.recording = true;
  EXPECT_FALSE(enabled(57637, CommandContext{}));
  EXPECT_FALSE(enabled(57637, c));
  EXPECT_TRUE(enabled(32835, c));
}

TEST(CommandRules, MovieCommandsBetweenStartAndStop) {
  CommandContext c = loadedScalar();
  EXPECT_EQ(commandStatus(32871, c), (CommandStatus{true, false}));
  EXPECT_FALSE(enabled(32873, c));
  EXPECT_FALSE(enabled(32872, c));
  c.recording = true;
  EXPECT_EQ(commandStatus(32871, c), (CommandStatus{true, true}));
  EXPECT_TRUE(enabled(32873, c));
  EXPECT_TRUE(enabled(32872, c));
}

TEST(CommandRules, CutPlaneMovesStopAtTheLastLayerAndAtZero) {
  CommandContext c = loadedScalar();
  c.selectedCutPlane = 1;
  c.cutPlanes = {5, 3, 0, 0, 0, 0};
  EXPECT_TRUE(enabled(32789, c));
  c.cutPlanes[0] = 6;  // 6 + 3 = 10 - 1
  EXPECT_FALSE(enabled(32789, c));
  EXPECT_TRUE(enabled(32790, c));
  {
    SCOPED_TRACE("east shares the X axis");
    c.selectedCutPlane = 2;
    EXPECT_FALSE(enabled(32789, c));
    EXPECT_TRUE(enabled(32790, c));
  }
  {
    SCOPED_TRACE("bottom with nothing cut");
    c.selectedCutPlane = 6;
    EXPECT_TRUE(enabled(32789, c));
    EXPECT_FALSE(enabled(32790, c));
    c.cutPlanes[4] = 4;
    EXPECT_TRUE(enabled(32789, c));
    c.cutPlanes[4] = 5;  // 5 + 0 = 6 - 1
    EXPECT_FALSE(enabled(32789, c));
  }
  {
    SCOPED_TRACE("a single visible layer never moves");
    c.visibleCount = {1, 1, 1};
    c.cutPlanes = {};
    for (int p = 1; p <= 6; ++p) {
      c.selectedCutPlane = p;
      EXPECT_FALSE(enabled(32789, c)) << p;
    }
  }
}

TEST(CommandRules, ZoomAndFontLimits) {
  CommandContext c = loadedScalar();
  c.zoomAngle = 1;
  EXPECT_TRUE(enabled(32779, c));
  c.zoomAngle = 0.5;
  EXPECT_FALSE(enabled(32779, c));
  EXPECT_TRUE(enabled(32778, c));
  c.zoomAngle = 177.5;
  EXPECT_TRUE(enabled(32778, c));
  c.zoomAngle = 178;
  EXPECT_FALSE(enabled(32778, c));

  c.fontSize = 1;
  EXPECT_FALSE(enabled(32865, c));
  EXPECT_TRUE(enabled(32866, c));
  c.fontSize = 100;
  EXPECT_TRUE(enabled(32865, c));
  EXPECT_FALSE(enabled(32866, c));
}

TEST(CommandRules, ModelKindsAndModes) {
  {
    SCOPED_TRACE("vector model");
    CommandContext c = loadedScalar();
    c.isVectorModel = true;
    c.secondModelLoaded = true;
    for (int id : {57603, 32822, 32814, 32816, 32824, 32876, 32817, 32826}) EXPECT_FALSE(enabled(id, c)) << id;
    EXPECT_TRUE(enabled(32837, c));
    EXPECT_FALSE(enabled(32837, loadedScalar()));
  }
  {
    SCOPED_TRACE("log model and tq5r mode");
    CommandContext c = loadedScalar();
    c.logModel = true;
    EXPECT_FALSE(enabled(32817, c));
    EXPECT_FALSE(enabled(32826, c));
    EXPECT_TRUE(enabled(32822, c));
    c.logModel = false;
    c.tq5rMode = true;
    EXPECT_FALSE(enabled(32817, c));
    EXPECT_FALSE(enabled(32822, c));
  }
  {
    SCOPED_TRACE("several models, block editor, second model");
    CommandContext c = loadedScalar();
    c.modelCount = 3;
    EXPECT_FALSE(enabled(32816, c));
    c.blockEditorOpen = true;
    EXPECT_FALSE(enabled(32814, c));
    EXPECT_FALSE(enabled(32876, c));
    c.secondModelLoaded = true;
    EXPECT_EQ(commandStatus(32876, c), (CommandStatus{true, false}));
    c.differenceShown = true;
    EXPECT_EQ(commandStatus(32876, c), (CommandStatus{true, true}));
  }
}

}  // namespace
}  // namespace litho
