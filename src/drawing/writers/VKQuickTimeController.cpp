#include "drawing/writers/VKQuickTimeController.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <typeinfo>

#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingMessages.h"
#include "drawing/writers/WriterMessages.h"
#include "platform/KRImage.h"
#include "platform/KRMessageCenter.h"
#include "platform/Paths.h"

namespace orrelin {

using namespace writer_messages;

namespace {

using drawing_messages::formatMessage;

std::string exceptionName(const std::exception& exception) {
  const char* mangled = typeid(exception).name();
  int status = 0;
  char* readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
  std::string name = status == 0 && readable ? readable : mangled;
  std::free(readable);
  return name;
}

// A value is still part of the movie when it lies this share of a step
// beyond the end, so that rounding in the step does not lose the last frame.
constexpr double kEndSlack = 0.0004;

}  // namespace

// ---------------------------------------------------------------- codecs

KRMovieCodecSettings VKQuickTimeController::codecSettings(int codecNumber) {
  using namespace movie_quality;
  switch (codecNumber) {
    case 2: return {MovieCodec::JPEG, kMaximum, true};
    case 3: return {MovieCodec::JPEG, kHigh, true};
    case 4: return {MovieCodec::JPEG, kNormal, true};
    case 5: return {MovieCodec::JPEG, kLow, true};
    case 6: return {MovieCodec::JPEG2000, kMaximum, false};
    case 7: return {MovieCodec::JPEG2000, kHigh, false};
    case 8: return {MovieCodec::JPEG2000, kNormal, false};
    case 9: return {MovieCodec::JPEG2000, kLow, false};
    case 10: return {MovieCodec::PNG, kLossless, false};
    default: return {MovieCodec::Animation, kLossless, false};
  }
}

std::optional<int> VKQuickTimeController::codecFromSwitches(const std::optional<std::string>& qt,
                                                            const std::optional<std::string>& qtQuality) {
  if (!qt) return std::nullopt;
  const std::string kind = asciiLowercase(*qt);
  if (kind == "lossless") return 1;
  if (kind == "png") return 10;
  int first;  // the codec number of the maximum level
  if (kind == "jpeg")
    first = 2;
  else if (kind == "jpeg2000")
    first = 6;
  else
    return std::nullopt;
  if (!qtQuality) return first + 1;
  const std::string level = asciiLowercase(*qtQuality);
  if (level == "maximum") return first;
  if (level == "high") return first + 1;
  if (level == "normal") return first + 2;
  if (level == "low") return first + 3;
  return std::nullopt;
}

// ---------------------------------------------------------------- frames

KRMovieFrames VKQuickTimeController::framesFor(double start, double stop, double step, double duration, int fps) {
  KRMovieFrames frames;
  frames.start = start;
  frames.stop = stop;
  const double perFrame = (stop - start) / duration / fps;
  if (step == 0) {
    step = perFrame;
  } else if (perFrame > 2 * step) {
    // Whole-number parameters move by a whole multiple of their step.
    step = step * std::round(perFrame / step);
  }
  frames.frameTime = duration * step / (stop - start + step);
  if (step == 0) step = 1;
  frames.step = step;
  return frames;
}

std::vector<double> KRMovieFrames::values() const {
  std::vector<double> result;
  if (!std::isfinite(start) || !std::isfinite(step) || step <= 0) {
    if (std::isfinite(start) && start <= stop + kEndSlack * std::abs(step)) result.push_back(start);
    return result;
  }
  const double end = stop + kEndSlack * step;
  // Each value from the start, so a long movie does not drift.
  for (long k = 0;; ++k) {
    double value = start + static_cast<double>(k) * step;
    if (!(value <= end)) break;
    result.push_back(value);
  }
  return result;
}

// ---------------------------------------------------------------- settings

void VKQuickTimeController::setFPS(int fps) {
  if (fps >= kMinimumFPS && fps <= kMaximumFPS) framesPerSecond_ = fps;
}

PropertyList VKQuickTimeController::propertyList() const {
  PlistDictionary settings;
  settings[kFramesPerSecondKey] = framesPerSecond_;
  settings[kCompressionNumberKey] = codecOption_;
  settings[kTransparencyKey] = useTransparency_;
  return PropertyList(std::move(settings));
}

void VKQuickTimeController::fillFromPropertyList(const PropertyList& settings) {
  if (auto fps = settings.numberForKey(kFramesPerSecondKey); fps && std::isfinite(*fps))
    setFPS(static_cast<int>(std::clamp(*fps, -1.0, 1000.0)));
  if (auto codec = settings.numberForKey(kCompressionNumberKey); codec && std::isfinite(*codec))
    codecOption_ = static_cast<int>(std::clamp(*codec, -1.0, 1000.0));
  if (const PropertyList* transparency = settings.find(kTransparencyKey);
      transparency && (transparency->isBoolean() || transparency->isInteger()))
    useTransparency_ = transparency->isBoolean() ? transparency->boolean() : transparency->integer() != 0;
}

// ---------------------------------------------------------------- writing

bool VKQuickTimeController::fail(const std::string& message) {
  lastError_ = message;
  KRMessageCenter::addMessage(message);
  return false;
}

bool VKQuickTimeController::createMovie(const std::string& path, KRDrawingSource& graph,
                                        KRAnimationTarget& animation, const Progress& progress) {
  lastError_.clear();
  const KRSize size = graph.drawingSize();
  const int width = std::isfinite(size.width) ? static_cast<int>(std::lround(std::clamp(size.width, -1.0, 1e9))) : 0;
  const int height = std::isfinite(size.height) ? static_cast<int>(std::lround(std::clamp(size.height, -1.0, 1e9))) : 0;

  const double duration = animation.animationDuration();
  const KRMovieFrames frames = framesFor(animation.animationStarts(), animation.animationStops(),
                                         animation.animationStep(), duration, framesPerSecond_);
  const KRMovieCodecSettings codec = codecSettings(codecOption_);
  const bool whiteBackground = !useTransparency_ || codec.whiteBackgroundAlways;

  MovieFormat movieFormat;
  movieFormat.width = width;
  movieFormat.height = height;
  movieFormat.codec = codec.codec;
  movieFormat.quality = codec.quality;
  movieFormat.keepTransparency = !whiteBackground;
  movieFormat.frameDuration = frames.frameTime;
  std::string reason;
  std::unique_ptr<MovieWriter> movie = factory_(path, movieFormat, &reason);
  if (!movie) return fail(formatMessage(kCouldNotWriteMovie, path.c_str(), reason.c_str()));

  KRRenderOptions options;
  if (whiteBackground) options.background = KRColor::rgb(1, 1, 1);
  const double span = frames.stop - frames.start;
  for (double value : frames.values()) {
    animation.setAnimationTime(value);
    std::shared_ptr<KRImage> image;
    try {
      if (auto drawing = graph.createGraphic(drawing_destination::kNone, {static_cast<double>(width),
                                                                          static_cast<double>(height)}))
        image = renderToImage(*drawing, {0, 0, static_cast<double>(width), static_cast<double>(height)}, options);
    } catch (const std::exception& exception) {
      KRMessageCenter::addMessage(formatMessage(kMovieFrameFailed, exceptionName(exception).c_str(), exception.what()));
    }
    // A frame that could not be drawn is still shown, blank, so the movie
    // keeps its timing.
    if (!image) {
      image = renderToImage(*KRDrawingGroup::create(), {0, 0, static_cast<double>(width), static_cast<double>(height)},
                            options);
      if (!image) return fail(formatMessage(kCouldNotWriteMovie, path.c_str(), "the frames cannot be drawn"));
    }
    if (!movie->addFrame(*image, frames.frameTime)) return fail(formatMessage(kCouldNotWriteMovie, path.c_str(), movie->error().c_str()));
    if (progress && !progress(span != 0 ? (value - frames.start) / span : 1)) break;
  }
  if (!movie->finish()) return fail(formatMessage(kCouldNotWriteMovie, path.c_str(), movie->error().c_str()));
  return true;
}

}  // namespace orrelin
