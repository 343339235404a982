// The QuickTime movie writer over FFmpeg's libraries: one video track whose
// frames are encoded one by one as they arrive. The libraries are opened when
// the first movie is written (see SharedLibrary.h).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include "platform/FileWriting.h"
#include "platform/KRImage.h"
#include "platform/MovieWriter.h"
#include "platform/SharedLibrary.h"

// The functions of FFmpeg's libraries the writer calls, by library.
#define ORREL_FFMPEG_FUNCTIONS(X) \
  X(avutil, av_strerror) \
  X(avutil, av_log_set_level) \
  X(avutil, av_d2q) \
  X(avutil, av_frame_free) \
  X(avutil, av_frame_alloc) \
  X(avutil, av_opt_set_int) \
  X(avutil, av_opt_set) \
  X(avutil, av_frame_get_buffer) \
  X(avutil, av_frame_make_writable) \
  X(avcodec, avcodec_find_encoder) \
  X(avcodec, avcodec_find_encoder_by_name) \
  X(avcodec, av_packet_free) \
  X(avcodec, avcodec_free_context) \
  X(avcodec, avcodec_alloc_context3) \
  X(avcodec, av_packet_alloc) \
  X(avcodec, avcodec_open2) \
  X(avcodec, avcodec_parameters_from_context) \
  X(avcodec, avcodec_send_frame) \
  X(avcodec, avcodec_receive_packet) \
  X(avcodec, av_packet_unref) \
  X(avcodec, av_packet_rescale_ts) \
  X(avformat, avio_closep) \
  X(avformat, avformat_free_context) \
  X(avformat, avformat_alloc_output_context2) \
  X(avformat, avformat_new_stream) \
  X(avformat, avio_open) \
  X(avformat, avformat_write_header) \
  X(avformat, av_interleaved_write_frame) \
  X(avformat, av_write_trailer) \
  X(swscale, sws_freeContext) \
  X(swscale, sws_getContext) \
  X(swscale, sws_scale)

namespace orrelin {

const char* movieCodecType(MovieCodec codec) {
  switch (codec) {
    case MovieCodec::Animation: return "rle ";
    case MovieCodec::JPEG: return "jpeg";
    case MovieCodec::JPEG2000: return "mjp2";
    case MovieCodec::PNG: return "png ";
  }
  return "rle ";
}

namespace {

// FFmpeg's libraries, opened the first time a movie is written; error is
// empty when every function was found.
struct FFmpegLibraries {
#define ORREL_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
  ORREL_FFMPEG_FUNCTIONS(ORREL_FFMPEG_POINTER)
#undef ORREL_FFMPEG_POINTER
  std::string error;
};

FFmpegLibraries loadFFmpeg() {
  // In dependency order, so each finds the ones it needs already loaded.
  static SharedLibrary avutil(ORREL_AVUTIL_FILE);
  static SharedLibrary swscale(ORREL_SWSCALE_FILE);
  static SharedLibrary avcodec(ORREL_AVCODEC_FILE);
  static SharedLibrary avformat(ORREL_AVFORMAT_FILE);
  FFmpegLibraries libraries;
  bool found = true;
#define ORREL_FFMPEG_BIND(library, name) found = library.bind(libraries.name, #name) && found;
  ORREL_FFMPEG_FUNCTIONS(ORREL_FFMPEG_BIND)
#undef ORREL_FFMPEG_BIND
  if (!found) {
    for (const SharedLibrary* library : {&avutil, &swscale, &avcodec, &avformat}) {
      if (!library->error().empty()) {
        libraries.error = "movies are written with FFmpeg, but " + library->error();
        break;
      }
    }
  }
  return libraries;
}

const FFmpegLibraries& ffmpeg() {
  static const FFmpegLibraries libraries = loadFFmpeg();
  return libraries;
}

}  // namespace

namespace {

// The largest frame side written; the codecs' own limits lie above it.
constexpr int kMaxFrameSide = 16384;

std::string ffmpegError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  ffmpeg().av_strerror(code, text, sizeof text);
  return text;
}

// FFmpeg reports through its log; the writer gives its own messages, so the
// library is kept quiet.
void silenceLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { ffmpeg().av_log_set_level(AV_LOG_QUIET); });
}

// Ticks per second: a multiple of the frame duration's denominator, so a
// frame is a whole number of ticks, and fine enough (at least 6000 per
// second) that other durations are kept to a sixth of a millisecond.
int timeScaleFor(double frameDuration) {
  int denominator = 600;
  if (std::isfinite(frameDuration) && frameDuration > 0) {
    AVRational q = ffmpeg().av_d2q(frameDuration, 1 << 16);
    if (q.num > 0 && q.den > 0) denominator = q.den;
  }
  int multiple = (6000 + denominator - 1) / denominator;
  return denominator * std::max(multiple, 1);
}

// The encoder for a codec, and the pixel layouts to try in order of
// preference: with transparency first the ones that keep it.
struct EncoderChoice {
  const AVCodec* encoder = nullptr;
  std::vector<AVPixelFormat> pixelFormats;
};

EncoderChoice encoderFor(const MovieFormat& format) {
  EncoderChoice choice;
  const bool alpha = format.keepTransparency;
  switch (format.codec) {
    case MovieCodec::Animation:
      choice.encoder = ffmpeg().avcodec_find_encoder(AV_CODEC_ID_QTRLE);
      choice.pixelFormats = alpha ? std::vector{AV_PIX_FMT_ARGB, AV_PIX_FMT_RGB24} : std::vector{AV_PIX_FMT_RGB24};
      break;
    case MovieCodec::JPEG:
      choice.encoder = ffmpeg().avcodec_find_encoder(AV_CODEC_ID_MJPEG);
      // Full chroma at the maximum quality, halved both ways below it.
      choice.pixelFormats = format.quality >= movie_quality::kMaximum
                                ? std::vector{AV_PIX_FMT_YUVJ444P, AV_PIX_FMT_YUVJ420P}
                                : std::vector{AV_PIX_FMT_YUVJ420P};
      break;
    case MovieCodec::JPEG2000:
      // OpenJPEG keeps an alpha channel and takes a compression ratio;
      // FFmpeg's own encoder stands in when it is missing.
      choice.encoder = ffmpeg().avcodec_find_encoder_by_name("libopenjpeg");
      if (!choice.encoder) choice.encoder = ffmpeg().avcodec_find_encoder(AV_CODEC_ID_JPEG2000);
      choice.pixelFormats = alpha ? std::vector{AV_PIX_FMT_RGBA, AV_PIX_FMT_RGB24} : std::vector{AV_PIX_FMT_RGB24};
      break;
    case MovieCodec::PNG:
      choice.encoder = ffmpeg().avcodec_find_encoder(AV_CODEC_ID_PNG);
      choice.pixelFormats = alpha ? std::vector{AV_PIX_FMT_RGBA, AV_PIX_FMT_RGB24} : std::vector{AV_PIX_FMT_RGB24};
      break;
  }
  if (choice.encoder && choice.encoder->pix_fmts) {
    std::vector<AVPixelFormat> supported;
    for (AVPixelFormat wanted : choice.pixelFormats)
      for (const AVPixelFormat* f = choice.encoder->pix_fmts; *f != AV_PIX_FMT_NONE; ++f)
        if (*f == wanted) supported.push_back(wanted);
    choice.pixelFormats = supported;
  }
  return choice;
}

// JPEG quantizer scale per quality level (1 is the finest).
int jpegQuantizer(int quality) {
  if (quality >= movie_quality::kMaximum) return 1;
  if (quality >= movie_quality::kHigh) return 3;
  if (quality >= movie_quality::kNormal) return 6;
  return 12;
}

// JPEG 2000 compression ratio per quality level; 0 is lossless.
int jpeg2000Ratio(int quality) {
  if (quality >= movie_quality::kLossless) return 0;
  if (quality >= movie_quality::kMaximum) return 2;
  if (quality >= movie_quality::kHigh) return 6;
  if (quality >= movie_quality::kNormal) return 12;
  return 24;
}

class FFmpegMovieWriter : public MovieWriter {
 public:
  FFmpegMovieWriter(const std::string& path, const MovieFormat& format) : file_(path), format_(format) {}

  ~FFmpegMovieWriter() override {
    ffmpeg().sws_freeContext(scaler_);
    ffmpeg().av_frame_free(&frame_);
    ffmpeg().av_packet_free(&packet_);
    ffmpeg().avcodec_free_context(&codec_);
    if (container_) {
      if (container_->pb) ffmpeg().avio_closep(&container_->pb);
      ffmpeg().avformat_free_context(container_);
    }
    // An unfinished movie's temporary file goes with file_.
  }

  bool open() {
    if (format_.width <= 0 || format_.height <= 0 || format_.width > kMaxFrameSide ||
        format_.height > kMaxFrameSide)
      return fail("the frame size " + std::to_string(format_.width) + " x " + std::to_string(format_.height) +
                  " pixels cannot be written");
    if (!file_.isOpen()) return fail(file_.error());
    const std::string& temporary = file_.temporaryPath();

    EncoderChoice choice = encoderFor(format_);
    if (!choice.encoder) return fail(std::string("there is no encoder for the codec \"") + movieCodecType(format_.codec) + "\"");
    if (choice.pixelFormats.empty())
      return fail(std::string("the encoder for \"") + movieCodecType(format_.codec) + "\" takes no RGB frames");

    if (ffmpeg().avformat_alloc_output_context2(&container_, nullptr, "mov", temporary.c_str()) < 0 || !container_)
      return fail("the QuickTime container is not available");
    stream_ = ffmpeg().avformat_new_stream(container_, nullptr);
    codec_ = ffmpeg().avcodec_alloc_context3(choice.encoder);
    packet_ = ffmpeg().av_packet_alloc();
    frame_ = ffmpeg().av_frame_alloc();
    if (!stream_ || !codec_ || !packet_ || !frame_) return fail("out of memory");

    timeScale_ = timeScaleFor(format_.frameDuration);
    codec_->width = format_.width;
    codec_->height = format_.height;
    codec_->pix_fmt = choice.pixelFormats.front();
    codec_->time_base = AVRational{1, timeScale_};
    codec_->sample_aspect_ratio = AVRational{1, 1};
    // Packets come back in the order the frames went in, one each.
    codec_->thread_count = 1;
    if (container_->oformat->flags & AVFMT_GLOBALHEADER) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    switch (format_.codec) {
      case MovieCodec::JPEG:
        codec_->flags |= AV_CODEC_FLAG_QSCALE;
        codec_->qmin = 1;
        codec_->global_quality = FF_QP2LAMBDA * jpegQuantizer(format_.quality);
        codec_->color_range = AVCOL_RANGE_JPEG;
        break;
      case MovieCodec::JPEG2000: {
        int ratio = jpeg2000Ratio(format_.quality);
        if (std::string(choice.encoder->name) == "libopenjpeg") {
          // The encoder asks for a rate of twice the level given.
          codec_->compression_level = ratio / 2;
          if (ratio > 0) ffmpeg().av_opt_set_int(codec_->priv_data, "irreversible", 1, 0);
        } else if (ratio > 0) {
          codec_->flags |= AV_CODEC_FLAG_QSCALE;
          codec_->global_quality = FF_QP2LAMBDA * ratio / 2;
        } else {
          ffmpeg().av_opt_set(codec_->priv_data, "pred", "dwt53", 0);
        }
        break;
      }
      case MovieCodec::Animation:
      case MovieCodec::PNG: break;
    }

    int status = ffmpeg().avcodec_open2(codec_, choice.encoder, nullptr);
    if (status < 0) return fail("the \"" + std::string(movieCodecType(format_.codec)) + "\" encoder refused the frames: " + ffmpegError(status));
    stream_->time_base = codec_->time_base;
    if ((status = ffmpeg().avcodec_parameters_from_context(stream_->codecpar, codec_)) < 0) return fail(ffmpegError(status));

    if ((status = ffmpeg().avio_open(&container_->pb, temporary.c_str(), AVIO_FLAG_WRITE)) < 0) return fail(ffmpegError(status));
    if ((status = ffmpeg().avformat_write_header(container_, nullptr)) < 0) return fail(ffmpegError(status));

    frame_->format = codec_->pix_fmt;
    frame_->width = format_.width;
    frame_->height = format_.height;
    frame_->color_range = codec_->color_range;
    if ((status = ffmpeg().av_frame_get_buffer(frame_, 0)) < 0) return fail(ffmpegError(status));
    scaler_ = ffmpeg().sws_getContext(format_.width, format_.height, AV_PIX_FMT_RGBA, format_.width, format_.height,
                             codec_->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
    if (!scaler_) return fail("the frames cannot be converted for the encoder");
    return true;
  }

  bool addFrame(const KRImage& image, double duration) override {
    if (!error_.empty()) return false;
    if (image.width() != format_.width || image.height() != format_.height)
      return fail("a frame of " + std::to_string(image.width()) + " x " + std::to_string(image.height()) +
                  " pixels does not fit a movie of " + std::to_string(format_.width) + " x " +
                  std::to_string(format_.height));
    if (!std::isfinite(duration) || duration < 0) duration = 0;

    int status = ffmpeg().av_frame_make_writable(frame_);
    if (status < 0) return fail(ffmpegError(status));
    std::vector<std::uint8_t> rgba = image.rgbaData();
    const std::uint8_t* source[4] = {rgba.data(), nullptr, nullptr, nullptr};
    const int sourceStride[4] = {4 * format_.width, 0, 0, 0};
    ffmpeg().sws_scale(scaler_, source, sourceStride, 0, format_.height, frame_->data, frame_->linesize);

    // Times are kept in seconds and turned into ticks at each frame's start,
    // so rounding does not add up over a long movie.
    const std::int64_t start = std::llround(elapsed_ * timeScale_);
    elapsed_ += duration;
    const std::int64_t end = std::llround(elapsed_ * timeScale_);
    frame_->pts = start;
    if (format_.codec == MovieCodec::JPEG) frame_->quality = codec_->global_quality;
    pending_.push_back({start, std::max<std::int64_t>(end - start, 1)});
    if ((status = ffmpeg().avcodec_send_frame(codec_, frame_)) < 0) return fail(ffmpegError(status));
    ++frames_;
    return drainPackets();
  }

  bool finish() override {
    if (!error_.empty()) return false;
    if (frames_ == 0) return fail("the movie has no frames");
    int status = ffmpeg().avcodec_send_frame(codec_, nullptr);
    if (status < 0) return fail(ffmpegError(status));
    if (!drainPackets()) return false;
    if ((status = ffmpeg().av_write_trailer(container_)) < 0) return fail(ffmpegError(status));
    if ((status = ffmpeg().avio_closep(&container_->pb)) < 0) return fail(ffmpegError(status));
    if (!file_.commit()) return fail(file_.error());
    return true;
  }

  const std::string& error() const override { return error_; }

 private:
  struct Timing {
    std::int64_t pts;
    std::int64_t duration;
  };

  bool drainPackets() {
    for (;;) {
      int status = ffmpeg().avcodec_receive_packet(codec_, packet_);
      if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return true;
      if (status < 0) return fail(ffmpegError(status));
      if (pending_.empty()) {
        ffmpeg().av_packet_unref(packet_);
        return fail("the encoder gave more pictures than it was handed");
      }
      Timing timing = pending_.front();
      pending_.pop_front();
      packet_->pts = packet_->dts = timing.pts;
      packet_->duration = timing.duration;
      packet_->stream_index = stream_->index;
      ffmpeg().av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
      status = ffmpeg().av_interleaved_write_frame(container_, packet_);
      ffmpeg().av_packet_unref(packet_);
      if (status < 0) return fail(ffmpegError(status));
    }
  }

  bool fail(const std::string& reason) {
    if (error_.empty()) error_ = reason;
    return false;
  }

  AtomicFile file_;
  MovieFormat format_;
  std::string error_;
  AVFormatContext* container_ = nullptr;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  SwsContext* scaler_ = nullptr;
  std::deque<Timing> pending_;
  int timeScale_ = 600;
  double elapsed_ = 0;
  long frames_ = 0;
};

}  // namespace

std::unique_ptr<MovieWriter> openQuickTimeMovie(const std::string& path, const MovieFormat& format,
                                                std::string* error) {
  if (!ffmpeg().error.empty()) {
    if (error) *error = ffmpeg().error;
    return nullptr;
  }
  silenceLibraryLog();
  auto writer = std::make_unique<FFmpegMovieWriter>(path, format);
  if (!writer->open()) {
    if (error) *error = writer->error();
    return nullptr;
  }
  return writer;
}

}  // namespace orrelin
