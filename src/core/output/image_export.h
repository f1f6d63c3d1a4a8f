#pragma once
// "Save image ..." and "&Copy" without the window system: which format a name
// asks for, the dialog, the sizes of the captured bitmaps, the feedback
// buffer of a vector export, and writing the finished bytes.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/platform.h"

namespace litho {

enum class ImageFormat { Pdf, Eps, Ps, Tex, Svg, Bitmap };

// By the name's extension, compared case-sensitively; anything but the vector
// extensions is a bitmap.
ImageFormat imageFormatForPath(const std::string& path);
bool isVectorFormat(ImageFormat f);
// The text after the last '.' of the file name, or empty.
std::string imageExtension(const std::string& path);
// What the save dialog does to a name typed without an extension: ".jpg" is added.
std::string withDefaultImageExtension(const std::string& path);

inline constexpr const char* kSaveImageTitle = "Save as image file.";
inline constexpr const char* kSaveImageFilter =
    "PDF (*.pdf)|*.pdf|EPS (*.eps)|*.eps|PS (*.ps)|*.ps|latex (*.tex)|*.tex|SVG (*.svg)|*.svg|"
    "Portable Network Graphics (*.png)|*.png|bitmap (*.bmp)|*.bmp|JPEG (*.jpg)|*.jpg||";
inline constexpr const char* kErrorSavingImage = "Error saving image.";
FileDialogRequest saveImageRequest(const std::string& workingFolder);

// "Could not save file:" with the path, for a vector file that cannot be created.
std::string couldNotSaveImageText(const std::string& path);
// A larger feedback buffer could not be had: the export stops.
std::string feedbackMemoryText(std::size_t floats);

struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;  // from the top-left of the drawing area
};
// The saved bitmap of a window of W x H pixels drops a 5-pixel margin on every
// side; empty when the window is 14 pixels or less either way.
std::optional<PixelRect> bitmapCaptureRect(int windowWidth, int windowHeight);
// The clipboard takes (W - 5) x (H - 5) from the top-left corner.
PixelRect clipboardCaptureRect(int windowWidth, int windowHeight);

// What a frame puts through the GL feedback buffer, counted by the scene builder.
struct FeedbackCounts {
  std::size_t faces = 0;          // quadrilaterals and polygons, up to 4 vertices each on average
  std::size_t lineVertices = 0;   // vertices of lines, loops and strips
  std::size_t pointCount = 0;
  std::size_t textBytes = 0;      // overlay text, one bitmap per byte
  std::size_t stateTokens = 0;    // offset, blend, width and size announcements
};
// A first feedback buffer size in floats: enough for the counted primitives
// with room for clipping, never below the 1 Mi floats of a small view.
std::size_t feedbackEstimate(const FeedbackCounts& c);
// The next size after an overflow: doubled, so a bad estimate costs few redraws.
std::size_t grownFeedbackSize(std::size_t floats);
inline constexpr std::size_t kMinFeedbackFloats = 1u << 20;

// Writes a finished image through a temporary file renamed over path, so a
// failure leaves any earlier file whole and no partial one. Reports failure
// with failureText, or with the system's reason when failureText is empty.
bool writeImageFile(const std::string& path, std::string_view bytes, Platform& platform,
                    const std::string& failureText = {});

// A vector page drawn into memory, or why not (told to the user).
struct RenderedImage {
  std::string bytes;
  std::string failure;
};
// The vector export around the drawing: the wait cursor, the file opened
// first ("Could not save file:" when it cannot be), then render() and the
// bytes committed whole.
bool saveVectorImage(const std::string& path, Platform& platform, const std::function<RenderedImage()>& render);

}  // namespace litho
