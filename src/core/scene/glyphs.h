#pragma once
#include <cstdint>
#include <functional>
#include <vector>

namespace litho {

// One character as a bitmap for glBitmap: rows bottom to top, each row padded
// to whole bytes, most significant bit leftmost.
struct GlyphBitmap {
  int width = 0;
  int height = 0;
  float xorig = 0;  // raster position inside the bitmap
  float yorig = 0;
  float xmove = 0;  // advance to the next character
  std::vector<std::uint8_t> bits;
};

// The bitmap of one code point in the view font.
using GlyphSource = std::function<GlyphBitmap(char32_t)>;

}  // namespace litho
