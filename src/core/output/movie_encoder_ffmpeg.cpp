// The movie encoder on FFmpeg's libraries; the only file that includes them.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <mutex>

#include "core/output/movie_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace litho {

namespace {

// The libraries' own complaints are kept for the next message instead of going to stderr.
thread_local std::string libraryComplaint;

void keepComplaint(void* object, int level, const char* format, va_list args) {
  if (level > AV_LOG_ERROR) return;
  char line[512];
  int prefix = 0;
  av_log_format_line(object, level, format, args, line, sizeof line, &prefix);
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (!text.empty()) libraryComplaint = text;
}

std::string avError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  std::string s = text;
  if (!libraryComplaint.empty()) s += ": " + libraryComplaint;
  libraryComplaint.clear();
  return s;
}

struct Candidate {
  const char* name;
  AVPixelFormat pixels;
  bool evenSize;  // 4:2:0 chroma needs an even picture
};

class FfmpegMovieEncoder final : public MovieEncoder {
 public:
  explicit FfmpegMovieEncoder(MovieEncoderOptions options) : options_(std::move(options)) {
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_callback(keepComplaint); });
  }
  ~FfmpegMovieEncoder() override { finish(); }

  bool open(const std::string& path, int width, int height, int framesPerSecond) override;
  bool write(const MovieFrame& frame) override;
  bool finish() override;
  const std::string& error() const override { return error_; }
  const std::string& notice() const override { return notice_; }
  const std::string& codecName() const override { return codecName_; }
  int encodedWidth() const override { return encodedWidth_; }
  int encodedHeight() const override { return encodedHeight_; }

 private:
  bool fail(const std::string& what, int code = 0);
  bool openCodec(const Candidate& c, int width, int height, int fps);
  bool drain(bool flushing);
  void release();

  MovieEncoderOptions options_;
  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVStream* stream_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  SwsContext* scaler_ = nullptr;
  int width_ = 0, height_ = 0;
  int encodedWidth_ = 0, encodedHeight_ = 0;
  std::int64_t nextPts_ = 0;
  bool open_ = false;
  std::string path_, error_, notice_, codecName_;
};

bool FfmpegMovieEncoder::fail(const std::string& what, int code) {
  error_ = code ? what + " (" + avError(code) + ")" : what;
  return false;
}

bool FfmpegMovieEncoder::openCodec(const Candidate& c, int width, int height, int fps) {
  if (std::find(options_.unavailable.begin(), options_.unavailable.end(), c.name) != options_.unavailable.end())
    return false;
  const AVCodec* codec = avcodec_find_encoder_by_name(c.name);
  if (!codec) return false;
  codec_ = avcodec_alloc_context3(codec);
  if (!codec_) return false;
  codec_->width = c.evenSize ? width & ~1 : width;
  codec_->height = c.evenSize ? height & ~1 : height;
  codec_->time_base = AVRational{1, fps};
  codec_->framerate = AVRational{fps, 1};
  codec_->pix_fmt = c.pixels;
  codec_->gop_size = std::max(1, std::min(fps * 10, 250));
  const bool jpegRange = c.pixels == AV_PIX_FMT_YUVJ420P;
  if (c.pixels != AV_PIX_FMT_RGB555LE) {
    codec_->colorspace = AVCOL_SPC_SMPTE170M;
    codec_->color_range = jpegRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
  }
  if (format_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  AVDictionary* settings = nullptr;
  const std::string name = c.name;
  if (name == "libx264") {
    // Flat colours and sharp edges: fast presets lose little, and the quality stays constant.
    av_dict_set(&settings, "preset", "veryfast", 0);
    av_dict_set(&settings, "crf", "18", 0);
  } else if (name == "mjpeg" || name == "mpeg4") {
    codec_->flags |= AV_CODEC_FLAG_QSCALE;
    codec_->global_quality = FF_QP2LAMBDA * 3;
  } else if (name == "libopenh264") {
    codec_->bit_rate = std::int64_t{codec_->width} * codec_->height * fps / 4;
  }
  const int r = avcodec_open2(codec_, codec, &settings);
  av_dict_free(&settings);
  if (r < 0 || codec_->width < 1 || codec_->height < 1) {
    avcodec_free_context(&codec_);
    return false;
  }
  codecName_ = c.name;
  libraryComplaint.clear();
  return true;
}

bool FfmpegMovieEncoder::open(const std::string& path, int width, int height, int framesPerSecond) {
  finish();
  error_.clear();
  notice_.clear();
  codecName_.clear();
  nextPts_ = 0;
  if (width < 2 || height < 2) return fail("The picture is too small for a movie.");
  if (framesPerSecond < 1) return fail("The frame rate must be positive.");
  const MovieFormat kind = movieFormatForPath(path);
  int r = avformat_alloc_output_context2(&format_, nullptr, kind == MovieFormat::Mp4 ? "mp4" : "avi", path.c_str());
  if (r < 0 || !format_) return fail("No movie container", r);

  // Microsoft Video 1 encodes 4 x 4 blocks only.
  static const Candidate kAvi[] = {{"msvideo1", AV_PIX_FMT_RGB555LE, false}, {"mjpeg", AV_PIX_FMT_YUVJ420P, false}};
  static const Candidate kMp4[] = {{"libx264", AV_PIX_FMT_YUV420P, true},
                                   {"libopenh264", AV_PIX_FMT_YUV420P, true},
                                   {"mpeg4", AV_PIX_FMT_YUV420P, true}};
  bool opened = false;
  if (kind == MovieFormat::Avi) {
    for (const Candidate& c : kAvi) {
      if (c.pixels == AV_PIX_FMT_RGB555LE && (width % 4 || height % 4)) continue;
      if ((opened = openCodec(c, width, height, framesPerSecond))) break;
    }
  } else {
    for (const Candidate& c : kMp4)
      if ((opened = openCodec(c, width, height, framesPerSecond))) break;
    if (opened && codecName_ != "libx264")
      notice_ = "The H.264 encoder libx264 is missing from this system's FFmpeg;\nthe movie is encoded with " +
                std::string(codec_->codec->long_name ? codec_->codec->long_name : codecName_.c_str()) + " instead.";
  }
  if (!opened) {
    release();
    return fail("No encoder for a movie of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels was found.");
  }

  stream_ = avformat_new_stream(format_, nullptr);
  if (!stream_) {
    release();
    return fail("Out of memory.");
  }
  stream_->time_base = codec_->time_base;
  stream_->avg_frame_rate = codec_->framerate;
  stream_->r_frame_rate = codec_->framerate;
  av_dict_set(&stream_->metadata, "title", "Video Stream", 0);
  if ((r = avcodec_parameters_from_context(stream_->codecpar, codec_)) < 0) {
    release();
    return fail("The movie stream cannot be set up", r);
  }
  if ((r = avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE)) < 0) {
    release();
    return fail("The file cannot be created", r);
  }
  path_ = path;
  if ((r = avformat_write_header(format_, nullptr)) < 0) {
    release();
    std::remove(path.c_str());
    return fail("The movie header cannot be written", r);
  }
  frame_ = av_frame_alloc();
  packet_ = av_packet_alloc();
  if (frame_) {
    frame_->format = codec_->pix_fmt;
    frame_->width = codec_->width;
    frame_->height = codec_->height;
    frame_->color_range = codec_->color_range;
    frame_->colorspace = codec_->colorspace;
  }
  // The same size in and out: only the pixel format changes (and an odd row or column is left out).
  scaler_ = sws_getContext(codec_->width, codec_->height, AV_PIX_FMT_RGBA, codec_->width, codec_->height,
                           codec_->pix_fmt, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!frame_ || !packet_ || !scaler_ || av_frame_get_buffer(frame_, 0) < 0) {
    avio_closep(&format_->pb);
    release();
    std::remove(path.c_str());
    return fail("Out of memory.");
  }
  if (codec_->pix_fmt != AV_PIX_FMT_RGB555LE) {
    const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(scaler_, bt601, 1, bt601, codec_->color_range == AVCOL_RANGE_JPEG ? 1 : 0, 0, 1 << 16,
                             1 << 16);
  }
  width_ = width;
  height_ = height;
  encodedWidth_ = codec_->width;
  encodedHeight_ = codec_->height;
  open_ = true;
  return true;
}

bool FfmpegMovieEncoder::drain(bool flushing) {
  for (;;) {
    const int r = avcodec_receive_packet(codec_, packet_);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return fail("The frame cannot be compressed", r);
    av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
    packet_->stream_index = stream_->index;
    const int w = av_interleaved_write_frame(format_, packet_);
    if (w < 0) return fail(flushing ? "The end of the movie cannot be written" : "The frame cannot be written", w);
  }
}

bool FfmpegMovieEncoder::write(const MovieFrame& frame) {
  if (!open_) return fail("The movie is not open.");
  if (frame.width != width_ || frame.height != height_ || !frame.rgba)
    return fail("The picture changed size from " + std::to_string(width_) + " x " + std::to_string(height_) + " to " +
                std::to_string(frame.width) + " x " + std::to_string(frame.height) + " pixels.");
  int r = av_frame_make_writable(frame_);
  if (r < 0) return fail("Out of memory", r);
  const int rowBytes = frame.width * 4;
  const std::uint8_t* rows[1] = {frame.rgba};
  int strides[1] = {rowBytes};
  if (frame.bottomUp) {
    rows[0] = frame.rgba + static_cast<std::ptrdiff_t>(frame.height - 1) * rowBytes;
    strides[0] = -rowBytes;
  }
  sws_scale(scaler_, rows, strides, 0, codec_->height, frame_->data, frame_->linesize);
  frame_->pts = nextPts_++;
  if ((r = avcodec_send_frame(codec_, frame_)) < 0) return fail("The frame cannot be compressed", r);
  return drain(false);
}

bool FfmpegMovieEncoder::finish() {
  if (!open_) return error_.empty();
  open_ = false;
  bool ok = true;
  const std::string earlier = error_;
  if (avcodec_send_frame(codec_, nullptr) >= 0) ok = drain(true);
  const int r = av_write_trailer(format_);
  if (r < 0 && ok) ok = fail("The movie's index cannot be written", r);
  const int c = avio_closep(&format_->pb);
  if (c < 0 && ok) ok = fail("The movie file cannot be closed", c);
  if (!earlier.empty()) error_ = earlier;
  release();
  return ok;
}

void FfmpegMovieEncoder::release() {
  sws_freeContext(scaler_);
  scaler_ = nullptr;
  av_packet_free(&packet_);
  av_frame_free(&frame_);
  avcodec_free_context(&codec_);
  if (format_) {
    if (format_->pb) avio_closep(&format_->pb);
    avformat_free_context(format_);
    format_ = nullptr;
  }
  stream_ = nullptr;
}

}  // namespace

std::unique_ptr<MovieEncoder> makeMovieEncoder(const MovieEncoderOptions& options) {
  return std::make_unique<FfmpegMovieEncoder>(options);
}

}  // namespace litho
