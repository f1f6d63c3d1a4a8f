#include "gl/text_renderer.h"

#include <GL/gl.h>

namespace litho {

void TextRenderer::drawText(double x, double y, double z, const std::string& utf8) {
  glRasterPos3d(x, y, z);
  drawText(utf8);
}

}  // namespace litho
