#pragma once
#include <string>

#include "gl/text_renderer.h"

namespace litho {

// Text handed to GL2PS while a page is being written, so the vector file holds
// it as text. GL2PS cannot capture bitmaps; the screen back end, when given,
// draws the same text into the frame as well.
class Gl2psText : public TextRenderer {
 public:
  // format: the GL2PS format of the page (GL2PS_PDF, GL2PS_SVG, ...); size in points.
  Gl2psText(int format, int size, TextRenderer* screen = nullptr, std::string font = "Helvetica");
  using TextRenderer::drawText;
  void drawText(const std::string& utf8) override;
  // The screen's width when it draws too, else an average Helvetica advance.
  double textWidth(const std::string& utf8) override;
  void setSize(int size) { size_ = size; }

 private:
  int format_;
  int size_;
  TextRenderer* screen_;
  std::string font_;
};

}  // namespace litho
