#include "core/output/image_export.h"

#include <limits>

#include "core/io/atomic_file.h"

namespace litho {

std::string imageExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot + 1);
}

ImageFormat imageFormatForPath(const std::string& path) {
  const std::string ext = imageExtension(path);
  if (ext == "pdf") return ImageFormat::Pdf;
  if (ext == "eps") return ImageFormat::Eps;
  if (ext == "ps") return ImageFormat::Ps;
  if (ext == "tex") return ImageFormat::Tex;
  if (ext == "svg") return ImageFormat::Svg;
  return ImageFormat::Bitmap;
}

bool isVectorFormat(ImageFormat f) { return f != ImageFormat::Bitmap; }

std::string withDefaultImageExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty() || name.find('.') != std::string::npos) return path;
  return path + ".jpg";
}

FileDialogRequest saveImageRequest(const std::string& workingFolder) {
  FileDialogRequest r;
  r.title = kSaveImageTitle;
  r.filter = kSaveImageFilter;
  r.startFolder = workingFolder;
  r.defaultName = {};
  r.mustExist = false;
  r.promptOverwrite = true;
  return r;
}

std::string couldNotSaveImageText(const std::string& path) {
  return "Could not save file:\n" + path + "\nClose it if it is open with another application.";
}

std::string feedbackMemoryText(std::size_t floats) {
  const std::size_t mib = (floats * sizeof(float) + (1u << 20) - 1) >> 20;
  return "Not enough memory to export this view (" + std::to_string(mib) +
         " MiB needed).\nNo file was written. Cut the model down or hide overlays and try again.";
}

std::optional<PixelRect> bitmapCaptureRect(int w, int h) {
  if (w <= 14 || h <= 14) return std::nullopt;
  return PixelRect{5, 5, w - 10, h - 10};
}

PixelRect clipboardCaptureRect(int w, int h) { return PixelRect{0, 0, w > 5 ? w - 5 : 0, h > 5 ? h - 5 : 0}; }

std::size_t feedbackEstimate(const FeedbackCounts& c) {
  // Floats per item in GL_3D_COLOR feedback: a token, a count and 7 per vertex;
  // Mesa returns a quadrilateral as two triangles (46 floats). A pass-through
  // token is 2, the GL2PS state tokens use up to three.
  const double need = 46.0 * static_cast<double>(c.faces) + 15.0 * static_cast<double>(c.lineVertices) +
                      8.0 * static_cast<double>(c.pointCount) + 8.0 * static_cast<double>(c.textBytes) +
                      6.0 * static_cast<double>(c.stateTokens);
  // Clipping adds vertices to faces cut by the window or the clip plane.
  const double withRoom = need * 1.25 + 4096;
  if (withRoom >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  const auto n = static_cast<std::size_t>(withRoom);
  return n < kMinFeedbackFloats ? kMinFeedbackFloats : n;
}

std::size_t grownFeedbackSize(std::size_t floats) {
  // GL takes the size as a GLsizei.
  constexpr std::size_t kMax = std::numeric_limits<int>::max();
  if (floats >= kMax / 2) return kMax;
  return floats < kMinFeedbackFloats ? kMinFeedbackFloats : floats * 2;
}

bool writeImageFile(const std::string& path, std::string_view bytes, Platform& platform,
                    const std::string& failureText) {
  AtomicFile f(path);
  bool ok = f.open();
  if (ok) {
    f.write(bytes);
    ok = f.finish() && f.commit();
  }
  if (!ok) platform.message(failureText.empty() ? saveFailureText(path, f.error()) : failureText, MessageKind::Error);
  return ok;
}

bool saveVectorImage(const std::string& path, Platform& platform, const std::function<RenderedImage()>& render) {
  WaitCursor wait(platform);
  AtomicFile f(path);
  if (!f.open()) {
    platform.message(couldNotSaveImageText(path), MessageKind::Error);
    return false;
  }
  const RenderedImage image = render();
  if (!image.failure.empty()) {
    platform.message(image.failure, MessageKind::Error);
    return false;
  }
  f.write(image.bytes);
  if (!f.finish() || !f.commit()) {
    platform.message(saveFailureText(path, f.error()), MessageKind::Error);
    return false;
  }
  return true;
}

}  // namespace litho
