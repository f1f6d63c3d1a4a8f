#include "core/output/movie_recorder.h"

#include <algorithm>
#include <cctype>

namespace litho {

MovieFormat movieFormatForPath(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return MovieFormat::Avi;
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == "mp4" ? MovieFormat::Mp4 : MovieFormat::Avi;
}

MovieRecorder::MovieRecorder(std::string path, int framesPerSecond, std::unique_ptr<MovieEncoder> encoder)
    : path_(std::move(path)), framesPerSecond_(framesPerSecond), encoder_(std::move(encoder)) {}

MovieRecorder::~MovieRecorder() { close(); }

MovieRecorder::Outcome MovieRecorder::record(const MovieFrame* frame) {
  if (!frame) return Outcome::CaptureFailed;
  if (frameCount_ == 0 && !opened_) {
    if (!encoder_->open(path_, frame->width, frame->height, framesPerSecond_)) return Outcome::OpenFailed;
    opened_ = true;
  }
  if (!encoder_->write(*frame)) return Outcome::WriteFailed;
  ++frameCount_;
  return Outcome::Written;
}

bool MovieRecorder::close() {
  if (closed_ || !opened_) return true;
  closed_ = true;
  return encoder_->finish();
}

}  // namespace litho
