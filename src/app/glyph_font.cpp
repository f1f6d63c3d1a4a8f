#include "app/glyph_font.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <memory>

#include "app/qt_platform.h"

namespace litho {

namespace {

GlyphBitmap renderGlyph(const QFont& font, const QFontMetrics& fm, char32_t c) {
  const QString ch = QString::fromUcs4(&c, 1);
  const int height = std::max(1, fm.height());
  const int advance = fm.horizontalAdvance(ch);
  const int width = std::max(1, advance);
  QImage img(width, height, QImage::Format_Grayscale8);
  img.fill(0);
  {
    QPainter p(&img);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255));
    p.drawText(0, fm.ascent(), ch);
  }
  GlyphBitmap g;
  g.width = width;
  g.height = height;
  g.xorig = 0;
  g.yorig = static_cast<float>(fm.descent());
  g.xmove = static_cast<float>(advance);
  const int rowBytes = (width + 7) / 8;
  g.bits.assign(static_cast<std::size_t>(rowBytes) * height, 0);
  for (int y = 0; y < height; ++y) {
    const uchar* line = img.constScanLine(height - 1 - y);  // bitmaps run bottom to top
    for (int x = 0; x < width; ++x)
      if (line[x] > 127)
        g.bits[static_cast<std::size_t>(y * rowBytes + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  return g;
}

}  // namespace

GlyphSource glyphSource(const FontSpec& description) {
  auto font = std::make_shared<QFont>(toQFont(description));
  font->setStyleStrategy(QFont::NoAntialias);
  auto metrics = std::make_shared<QFontMetrics>(*font);
  return [font, metrics](char32_t c) { return renderGlyph(*font, *metrics, c); };
}

}  // namespace litho
