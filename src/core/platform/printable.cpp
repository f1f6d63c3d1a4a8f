#include "core/platform/printable.h"

namespace litho {

std::string printable(std::string_view text, std::size_t maxBytes) {
  const bool cut = text.size() > maxBytes;
  if (cut) {
    std::size_t n = maxBytes;
    // Not in the middle of a UTF-8 sequence.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    text = text.substr(0, n);
  }
  std::string out;
  out.reserve(text.size() + 3);
  static const char* const kHex = "0123456789abcdef";
  const auto hex = [&](unsigned c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7f) {
      hex(c);
    } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
      // U+0080..U+009F: CSI and the other 8-bit controls.
      out += "\\u00";
      const auto d = static_cast<unsigned char>(text[++i]);
      out += kHex[d >> 4];
      out += kHex[d & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  if (cut) out += "...";
  return out;
}

}  // namespace litho
