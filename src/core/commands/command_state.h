#pragma once
#include <optional>

namespace litho {

class Document;
class ViewController;

// What the window alone knows.
struct FrameState {
  bool toolbarShown = true;
  bool statusBarShown = true;
  bool recording = false;  // a movie file is open
};

// What the enable and check rules read.
struct CommandState {
  const Document& doc;
  const ViewController& view;
  FrameState frame{};
};

struct CommandStatus {
  bool enabled = true;
  std::optional<bool> checked;  // empty: the command has no check state
  bool operator==(const CommandStatus&) const = default;
};

using CommandRule = CommandStatus (*)(const CommandState&);

}  // namespace litho
