#pragma once
#include "core/commands/command_rules.h"

namespace litho {

class Document;
class ViewController;

// Runs a view command that needs no dialog. False when the command is not one
// of those (dialog commands and other owners' commands are run by the window).
bool runViewCommand(ViewController& view, int command);

// The state the enable and check rules read.
CommandContext commandContext(const Document& doc, const ViewController& view, bool toolbarShown,
                              bool statusBarShown);

}  // namespace litho
