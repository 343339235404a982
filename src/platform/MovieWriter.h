#pragma once
// Writing a movie frame by frame: open a file with a codec and a frame size,
// add images each shown for a duration, finish. The QuickTime writer encodes
// through FFmpeg; the file is written under a temporary name beside the
// target and moved over it only when the movie is finished, so a failed or
// abandoned movie leaves an earlier file as it was.

#include <functional>
#include <memory>
#include <string>

namespace orrelin {

class KRImage;

// The frame encodings a movie can carry, named by the four-character code
// the container gives them.
enum class MovieCodec {
  Animation,  // "rle " (run-length, lossless)
  JPEG,       // "jpeg"
  JPEG2000,   // "mjp2"
  PNG,        // "png "
};

// The four-character code of the codec in the container ("rle ", ...).
const char* movieCodecType(MovieCodec codec);

// Quality levels of a frame encoding.
namespace movie_quality {
inline constexpr int kLow = 256;
inline constexpr int kNormal = 512;
inline constexpr int kHigh = 768;
inline constexpr int kMaximum = 1023;
inline constexpr int kLossless = 1024;
}  // namespace movie_quality

struct MovieFormat {
  int width = 0;  // pixels
  int height = 0;
  MovieCodec codec = MovieCodec::Animation;
  int quality = movie_quality::kLossless;
  // Frames keep their transparency where the codec can hold it (animation,
  // PNG, JPEG 2000); otherwise they are stored opaque.
  bool keepTransparency = false;
  // The duration (seconds) most frames will have; the movie's time scale is
  // chosen so that it is a whole number of ticks.
  double frameDuration = 0.1;
};

class MovieWriter {
 public:
  virtual ~MovieWriter() = default;
  // Adds a frame of the movie's size shown for duration seconds. False, with
  // the reason in error(), when it could not be added; the movie is then
  // unusable and finish() fails too.
  virtual bool addFrame(const KRImage& image, double duration) = 0;
  // Completes the file and puts it at its place. False with the reason in
  // error(); nothing is left at the path then (an earlier file stays).
  virtual bool finish() = 0;
  virtual const std::string& error() const = 0;
};

// Opens a QuickTime (.mov) movie at path. nullptr, with the reason in error,
// when the format cannot be written there (a size that is not positive or
// that the codec cannot take, a folder that does not exist or cannot be
// written).
std::unique_ptr<MovieWriter> openQuickTimeMovie(const std::string& path, const MovieFormat& format,
                                                std::string* error = nullptr);

// How a caller opens a movie; tests hand in one of their own.
using MovieWriterFactory =
    std::function<std::unique_ptr<MovieWriter>(const std::string& path, const MovieFormat& format, std::string* error)>;

}  // namespace orrelin
