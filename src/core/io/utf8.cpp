#include "core/io/utf8.h"

namespace litho {

std::u32string decodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = b;
    char32_t min = 0;
    if (b >= 0xF0 && b <= 0xF4) {
      extra = 3, c = b & 0x07, min = 0x10000;
    } else if (b >= 0xE0 && b <= 0xEF) {
      extra = 2, c = b & 0x0F, min = 0x800;
    } else if (b >= 0xC2 && b <= 0xDF) {
      extra = 1, c = b & 0x1F, min = 0x80;
    }
    bool valid = extra > 0 && i + static_cast<std::size_t>(extra) < s.size();
    for (int n = 1; valid && n <= extra; ++n) {
      const auto t = static_cast<unsigned char>(s[i + static_cast<std::size_t>(n)]);
      valid = (t & 0xC0) == 0x80;
      c = (c << 6) | (t & 0x3F);
    }
    if (valid && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (valid) {
      out.push_back(c);
      i += static_cast<std::size_t>(extra) + 1;
    } else {
      out.push_back(b);
      ++i;
    }
  }
  return out;
}

std::string utf8ToLatin1(std::string_view text) {
  std::string out;
  for (const char32_t c : decodeUtf8(text)) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace litho
