#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace litho {

// A file name, or text taken from a file, made safe to put into a message:
// control characters (line ends, tabs, ESC, DEL and the C1 controls) become
// escapes such as "\n" and "\x1b", so that a name cannot add lines to a message
// or send codes to a terminal. Text longer than maxBytes is cut and ends in "...".
// Applying it twice changes nothing more.
std::string printable(std::string_view text, std::size_t maxBytes = 4096);

}  // namespace litho
