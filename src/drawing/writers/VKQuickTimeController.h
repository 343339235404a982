#pragma once
// The movie controller: a document's movie settings (frame rate, codec,
// transparency) and the writing of a movie that steps the animation
// parameter through its range, one drawing per frame.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "drawing/writers/KRDrawingSource.h"
#include "platform/MovieWriter.h"
#include "platform/PropertyList.h"

namespace orrelin {

// What a codec number stands for: the encoding, its quality level and
// whether every frame is drawn on white (the JPEG codecs have no alpha).
struct KRMovieCodecSettings {
  MovieCodec codec;
  int quality;
  bool whiteBackgroundAlways;
  friend bool operator==(const KRMovieCodecSettings&, const KRMovieCodecSettings&) = default;
};

// The values a movie steps through and how long each frame shows.
struct KRMovieFrames {
  double start = 0;
  double stop = 0;
  double step = 1;
  double frameTime = 0;  // seconds
  // The values, start + k * step while at most stop (with a little slack).
  std::vector<double> values() const;
};

class VKQuickTimeController {
 public:
  // The keys of the stored settings.
  static constexpr const char* kFramesPerSecondKey = "Frames Per Second";
  static constexpr const char* kCompressionNumberKey = "Compression Number";
  static constexpr const char* kTransparencyKey = "Transparency";
  // Frame rates the controller takes.
  static constexpr int kMinimumFPS = 1;
  static constexpr int kMaximumFPS = 299;

  // The codec numbers: 0 and 1 animation, 2 to 5 JPEG (maximum, high,
  // normal, low), 6 to 9 JPEG 2000 (the same levels), 10 PNG. Any other
  // number is the animation codec.
  static KRMovieCodecSettings codecSettings(int codecNumber);
  // The codec number the batch tool's "qt" and "qtquality" values choose
  // (case does not matter); none leaves the document's codec.
  static std::optional<int> codecFromSwitches(const std::optional<std::string>& qt,
                                              const std::optional<std::string>& qtQuality);
  // The frames of an animation from start to stop lasting duration seconds
  // at fps frames per second; step is 1 for a parameter of whole numbers
  // and 0 otherwise.
  static KRMovieFrames framesFor(double start, double stop, double step, double duration, int fps);

  int framesPerSecond() const { return framesPerSecond_; }
  // Out-of-range rates (below 1, above 299) are ignored.
  void setFPS(int fps);
  int codecOption() const { return codecOption_; }
  void setCodec(int codec) { codecOption_ = codec; }
  bool useTransparency() const { return useTransparency_; }
  void setTransparency(bool transparency) { useTransparency_ = transparency; }

  // The stored settings: a dictionary with the three keys above.
  PropertyList propertyList() const;
  // Takes each setting that is present and of a usable kind; the others
  // keep their values.
  void fillFromPropertyList(const PropertyList& settings);

  // Called with the share of the movie done (0 to 1) after each frame;
  // returning false stops the movie early (what was made is kept).
  using Progress = std::function<bool(double done)>;

  // Writes the movie to path: one frame per animation value, each the
  // graph drawn at the source's size. False when no movie was written; the
  // reason is posted to the message centre and kept in lastError(). A frame
  // whose drawing fails is reported and added as it is (blank).
  bool createMovie(const std::string& path, KRDrawingSource& graph, KRAnimationTarget& animation,
                   const Progress& progress = {});
  const std::string& lastError() const { return lastError_; }

  // Where the movie is written; the QuickTime writer unless replaced.
  void setMovieWriterFactory(MovieWriterFactory factory) { factory_ = std::move(factory); }

 private:
  bool fail(const std::string& message);

  int framesPerSecond_ = 15;
  int codecOption_ = 0;
  bool useTransparency_ = false;
  MovieWriterFactory factory_ = openQuickTimeMovie;
  std::string lastError_;
};

}  // namespace orrelin
