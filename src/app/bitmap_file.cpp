#include "app/bitmap_file.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>

#include "core/output/image_export.h"

namespace litho {

bool saveBitmapImage(const std::string& path, const QImage& image, Platform& platform) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, QByteArray::fromStdString(imageExtension(path)).toLower());
  if (image.isNull() || !writer.write(image)) {
    platform.message(kErrorSavingImage, MessageKind::Error);
    return false;
  }
  return writeImageFile(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), platform,
                        kErrorSavingImage);
}

ClipboardImage clipboardImageOf(const QImage& image) {
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  ClipboardImage c;
  c.width = rgba.width();
  c.height = rgba.height();
  c.rgba.resize(static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height) * 4);
  for (int y = 0; y < c.height; ++y)
    std::copy_n(rgba.constScanLine(y), c.width * 4, c.rgba.begin() + static_cast<std::ptrdiff_t>(y) * c.width * 4);
  return c;
}

}  // namespace litho
