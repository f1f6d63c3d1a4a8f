#pragma once
#include <QImage>
#include <string>

#include "core/platform/platform.h"

namespace litho {

// Encodes the image with Qt's writer for the name's extension (PNG, BMP,
// JPEG and whatever else Qt knows) and writes it whole through a temporary
// file. "Error saving image." when either fails.
bool saveBitmapImage(const std::string& path, const QImage& image, Platform& platform);

// The clipboard's copy of an image.
ClipboardImage clipboardImageOf(const QImage& image);

}  // namespace litho
