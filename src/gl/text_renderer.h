#pragma once
#include <string>

namespace litho {

// Text of the overlays, in UTF-8, drawn at the GL raster position in the
// current colour. The screen draws glyph bitmaps; a vector export hands the
// text to GL2PS.
class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // At the current raster position.
  virtual void drawText(const std::string& utf8) = 0;
  // At (x, y, z) through the current matrices.
  void drawText(double x, double y, double z, const std::string& utf8);
  // The advance of the text in pixels, for placing it; 0 when unknown.
  virtual double textWidth(const std::string&) { return 0; }
};

}  // namespace litho
