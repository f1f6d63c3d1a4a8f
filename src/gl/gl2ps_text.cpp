#include "gl/gl2ps_text.h"

#include <GL/gl.h>
#include <gl2ps.h>

#include "core/io/utf8.h"

namespace litho {

Gl2psText::Gl2psText(int format, int size, TextRenderer* screen, std::string font)
    : format_(format), size_(size), screen_(screen), font_(std::move(font)) {}

void Gl2psText::drawText(const std::string& utf8) {
  // PostScript and PDF name the standard fonts with 8-bit encodings; SVG and LaTeX take UTF-8.
  const bool eightBit = format_ == GL2PS_PS || format_ == GL2PS_EPS || format_ == GL2PS_PDF;
  const std::string text = eightBit ? utf8ToLatin1(utf8) : utf8;
  gl2psTextOpt(text.c_str(), font_.c_str(), static_cast<GLshort>(size_), GL2PS_TEXT_BL, 0);
  if (screen_) screen_->drawText(utf8);
}

double Gl2psText::textWidth(const std::string& utf8) {
  if (screen_) return screen_->textWidth(utf8);
  return 0.55 * size_ * static_cast<double>(decodeUtf8(utf8).size());
}

}  // namespace litho
