#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "WriterTestSupport.h"
#include "MovieTestSupport.h"
#include "drawing/writers/VKQuickTimeController.h"
#include "platform/KRImage.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

// Keeps what a movie was handed instead of encoding it.
struct RecordedMovie {
  std::string path;
  MovieFormat format;
  std::vector<std::shared_ptr<KRImage>> frames;
  std::vector<double> durations;
  bool finished = false;
};

class RecordingWriter : public MovieWriter {
 public:
  explicit RecordingWriter(RecordedMovie& movie) : movie_(movie) {}
  bool addFrame(const KRImage& image, double duration) override {
    movie_.frames.push_back(KRImage::createFromRGBA(image.width(), image.height(), image.rgbaData().data(),
                                                    4 * static_cast<std::size_t>(image.width())));
    movie_.durations.push_back(duration);
    return true;
  }
  bool finish() override { return movie_.finished = true; }
  const std::string& error() const override { return error_; }

 private:
  RecordedMovie& movie_;
  std::string error_;
};

MovieWriterFactory recordInto(RecordedMovie& movie) {
  return [&movie](const std::string& path, const MovieFormat& format, std::string*) {
    movie.path = path;
    movie.format = format;
    return std::make_unique<RecordingWriter>(movie);
  };
}

}  // namespace

// ---------------------------------------------------------------- codec numbers

TEST(MovieCodecTable, EachNumberHasItsEncodingQualityAndBackground) {
  using namespace movie_quality;
  const std::map<int, KRMovieCodecSettings> expected = {
      {-1, {MovieCodec::Animation, kLossless, false}}, {0, {MovieCodec::Animation, kLossless, false}},
      {1, {MovieCodec::Animation, kLossless, false}},  {2, {MovieCodec::JPEG, kMaximum, true}},
      {3, {MovieCodec::JPEG, kHigh, true}},            {4, {MovieCodec::JPEG, kNormal, true}},
      {5, {MovieCodec::JPEG, kLow, true}},             {6, {MovieCodec::JPEG2000, kMaximum, false}},
      {7, {MovieCodec::JPEG2000, kHigh, false}},       {8, {MovieCodec::JPEG2000, kNormal, false}},
      {9, {MovieCodec::JPEG2000, kLow, false}},        {10, {MovieCodec::PNG, kLossless, false}},
      {11, {MovieCodec::Animation, kLossless, false}}, {4000, {MovieCodec::Animation, kLossless, false}},
  };
  for (const auto& [number, settings] : expected) EXPECT_EQ(VKQuickTimeController::codecSettings(number), settings) << number;
}

TEST(MovieCodecTable, QTSwitchesChooseACodecOrLeaveTheDocuments) {
  struct Case {
    std::optional<std::string> qt, quality;
    std::optional<int> codec;
  };
  const auto none = std::nullopt;
  const std::vector<Case> cases = {
      {"lossless", none, 1},         {"LossLess", "low", 1},       {"png", "whatever", 10},
      {"jpeg", "maximum", 2},        {"jpeg", "high", 3},          {"JPEG", none, 3},
      {"jpeg", "Normal", 4},         {"jpeg", "LOW", 5},           {"jpeg2000", "maximum", 6},
      {"jpeg2000", none, 7},         {"jpeg2000", "normal", 8},    {"jpeg2000", "low", 9},
      {"jpeg", "best", none},        {"jpeg", "", none},           {"gif", "high", none},
      {"", none, none},              {none, "high", none},         {none, none, none},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VKQuickTimeController::codecFromSwitches(c.qt, c.quality), c.codec)
        << c.qt.value_or("(none)") << " / " << c.quality.value_or("(none)");
}

// ---------------------------------------------------------------- frame steps

TEST(MovieFrames, StepAndFrameTimeFollowTheSliderAndTheFrameRate) {
  struct Case {
    double start, stop, step, duration;
    int fps;
    double expectedStep;
    std::size_t frames;
    double frameTime;
  };
  const std::vector<Case> cases = {
      // Whole numbers 0 to 10 in 5 s at 10 fps: 0.2 per frame is not above
      // twice the step, which stays 1.
      {0, 10, 1, 5, 10, 1, 11, 5.0 / 11},
      // The same slider taking any value moves 0.2 per frame.
      {0, 10, 0, 5, 10, 0.2, 51, 5 * 0.2 / 10.2},
      // 2 per frame is exactly twice the step: not above it.
      {0, 100, 1, 5, 10, 1, 101, 5.0 / 101},
      // 2.4 per frame moves by 2, 20 per frame by 20.
      {0, 120, 1, 5, 10, 2, 61, 5 * 2.0 / 122},
      {0, 1000, 1, 5, 10, 20, 51, 5 * 20.0 / 1020},
      // An empty range: one frame lasting the whole duration.
      {3, 3, 1, 4, 10, 1, 1, 4},
      {-1, 1, 0, 2, 2, 0.5, 5, 2 * 0.5 / 2.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ".." << c.stop << " step " << c.step << " in " << c.duration
                                    << " s at " << c.fps << " fps");
    auto frames = VKQuickTimeController::framesFor(c.start, c.stop, c.step, c.duration, c.fps);
    EXPECT_DOUBLE_EQ(frames.step, c.expectedStep);
    EXPECT_DOUBLE_EQ(frames.frameTime, c.frameTime);
    auto values = frames.values();
    ASSERT_EQ(values.size(), c.frames);
    EXPECT_DOUBLE_EQ(values.front(), c.start);
    EXPECT_NEAR(values.back(), c.stop, 1e-9);
  }
}

// A slider that takes any value and has no range moves by nothing: the step
// becomes 1 after the frame time is taken, so the movie is one frame.
TEST(MovieFrames, AnEmptyRangeOfAnyValueGivesOneFrame) {
  auto frames = VKQuickTimeController::framesFor(2, 2, 0, 5, 10);
  EXPECT_EQ(frames.step, 1);
  EXPECT_EQ(frames.values(), std::vector<double>{2});
}

// ---------------------------------------------------------------- settings

TEST(VKQuickTimeController, SettingsRoundTripAndBadStoredValuesAreIgnored) {
  VKQuickTimeController controller;
  for (int fps : {0, -5, 300, 1000}) {
    controller.setFPS(fps);
    EXPECT_EQ(controller.framesPerSecond(), 15) << fps;
  }
  controller.setFPS(299);
  EXPECT_EQ(controller.framesPerSecond(), 299);
  controller.setFPS(1);
  controller.setCodec(7);
  controller.setTransparency(true);

  PropertyList stored = controller.propertyList();
  EXPECT_EQ(stored, PropertyList(PlistDictionary{{"Frames Per Second", PropertyList(1)},
                                                 {"Compression Number", PropertyList(7)},
                                                 {"Transparency", PropertyList(true)}}));
  VKQuickTimeController read;
  read.fillFromPropertyList(stored);
  EXPECT_EQ(read.propertyList(), stored);

  // Wrong kinds and rates out of range leave the settings; reals and
  // integer flags are taken.
  read.fillFromPropertyList(PlistDictionary{{"Frames Per Second", PropertyList("twelve")},
                                            {"Compression Number", PropertyList(PlistArray{})},
                                            {"Transparency", PropertyList("yes")}});
  EXPECT_EQ(read.propertyList(), stored);
  read.fillFromPropertyList(PlistDictionary{{"Frames Per Second", PropertyList(1e12)}});
  EXPECT_EQ(read.framesPerSecond(), 1);
  read.fillFromPropertyList(PlistDictionary{{"Frames Per Second", PropertyList(24.0)},
                                            {"Compression Number", PropertyList(10.0)},
                                            {"Transparency", PropertyList(0)}});
  EXPECT_EQ(read.framesPerSecond(), 24);
  EXPECT_EQ(read.codecOption(), 10);
  EXPECT_FALSE(read.useTransparency());
  read.fillFromPropertyList(PropertyList("not a dictionary"));
  EXPECT_EQ(read.framesPerSecond(), 24);
}

// ---------------------------------------------------------------- writing

// Each frame is the graph drawn at its size after the animation parameter
// was set to the frame's value, on white unless transparency is kept.
TEST(VKQuickTimeController, EachFrameDrawsTheGraphAtItsAnimationValue) {
  MessageCapture messages;
  movie_testing::SlidingBar graph(0, 10, 1, 5);
  VKQuickTimeController controller;
  controller.setFPS(10);
  RecordedMovie movie;
  controller.setMovieWriterFactory(recordInto(movie));
  std::vector<double> progress;
  ASSERT_TRUE(controller.createMovie("/somewhere/m.mov", graph, graph, [&](double done) {
    progress.push_back(done);
    return true;
  }));
  EXPECT_TRUE(movie.finished);
  EXPECT_EQ(movie.path, "/somewhere/m.mov");
  EXPECT_EQ(movie.format.width, 120);
  EXPECT_EQ(movie.format.height, 40);
  EXPECT_EQ(movie.format.codec, MovieCodec::Animation);
  EXPECT_FALSE(movie.format.keepTransparency);
  EXPECT_DOUBLE_EQ(movie.format.frameDuration, 5.0 / 11);

  EXPECT_EQ(graph.timesSet, (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(graph.sizesAsked.size(), 11u);
  ASSERT_EQ(movie.frames.size(), 11u);
  for (std::size_t k = 0; k < movie.frames.size(); ++k) {
    const KRImage& frame = *movie.frames[k];
    EXPECT_DOUBLE_EQ(movie.durations[k], 5.0 / 11);
    EXPECT_EQ(frame.width(), 120);
    EXPECT_EQ(frame.height(), 40);
    EXPECT_EQ(movie_testing::barPosition(frame), movie_testing::expectedBarPosition(static_cast<double>(k))) << k;
    EXPECT_EQ(frame.pixel(119, 0), (KRPixel{255, 255, 255, 255}));
    EXPECT_DOUBLE_EQ(progress[k], k / 10.0);
  }
  EXPECT_TRUE(messages.texts().empty());
}

TEST(VKQuickTimeController, TransparencyKeepsAnEmptyBackgroundExceptForJPEG) {
  struct Case {
    int codec;
    bool transparency;
    bool white;
  };
  for (const Case& c : {Case{0, false, true}, Case{0, true, false}, Case{10, true, false}, Case{7, true, false},
                        Case{2, true, true}, Case{5, true, true}, Case{9, false, true}}) {
    SCOPED_TRACE(testing::Message() << "codec " << c.codec << (c.transparency ? " with" : " without")
                                    << " transparency");
    movie_testing::SlidingBar graph(0, 1, 1, 1);
    
    VKQuickTimeController controller;
    controller.setCodec(c.codec);
    controller.setTransparency(c.transparency);
    RecordedMovie movie;
    controller.setMovieWriterFactory(recordInto(movie));
    ASSERT_TRUE(controller.createMovie("m.mov", graph, graph));
    ASSERT_FALSE(movie.frames.empty());
    EXPECT_EQ(movie.format.keepTransparency, !c.white);
    EXPECT_EQ(movie.frames[0]->pixel(119, 0), (c.white ? KRPixel{255, 255, 255, 255} : KRPixel{0, 0, 0, 0}));
  }
}

// A frame whose drawing throws is reported with the exception's name and
// reason and still shown (blank), so the movie keeps every frame.
TEST(VKQuickTimeController, AFailedFrameIsReportedAndStillAdded) {
  MessageCapture messages;
  movie_testing::SlidingBar graph(0, 5, 1, 3);
  graph.throwAt = 3;
  VKQuickTimeController controller;
  RecordedMovie movie;
  controller.setMovieWriterFactory(recordInto(movie));
  ASSERT_TRUE(controller.createMovie("m.mov", graph, graph));
  ASSERT_EQ(movie.frames.size(), 6u);
  EXPECT_EQ(movie_testing::barPosition(*movie.frames[3]), -1);
  EXPECT_EQ(movie_testing::barPosition(*movie.frames[4]), movie_testing::expectedBarPosition(4));
  EXPECT_EQ(messages.takeShortTexts(),
            std::vector<std::string>{"Error when computing drawing content\nstd::range_error : no bar at 3"});
}

TEST(VKQuickTimeController, StoppingEarlyKeepsTheFramesMadeSoFar) {
  movie_testing::SlidingBar graph(0, 10, 1, 5);
  VKQuickTimeController controller;
  controller.setFPS(10);
  RecordedMovie movie;
  controller.setMovieWriterFactory(recordInto(movie));
  ASSERT_TRUE(controller.createMovie("m.mov", graph, graph, [](double done) { return done < 0.3; }));
  EXPECT_EQ(movie.frames.size(), 4u);
  EXPECT_TRUE(movie.finished);
}

// Written for real: the two slider cases give 11 frames at 11/5 per second
// and 51 frames at 51/5 per second, in the codec chosen.
TEST(VKQuickTimeController, WritesQuickTimeMoviesWithTheFramesAndRateOfTheSlider) {
  TemporaryFolder folder;
  struct Case {
    double step;
    int codec;
    const char* frames;
    const char* rate;
    const char* tag;
  };
  for (const Case& c : {Case{1, 0, "11", "11/5", "rle "}, Case{0, 3, "51", "51/5", "jpeg"},
                        Case{1, 8, "11", "11/5", "mjp2"}, Case{1, 10, "11", "11/5", "png "}}) {
    movie_testing::SlidingBar graph(0, 10, c.step, 5);
    
    VKQuickTimeController controller;
    controller.setFPS(10);
    controller.setCodec(c.codec);
    std::string path = folder.path("slider" + std::to_string(c.codec) + ".mov");
    ASSERT_TRUE(controller.createMovie(path, graph, graph)) << controller.lastError();
    auto fields = movie_testing::probe(path);
    EXPECT_EQ(fields["nb_read_frames"], c.frames) << fields["error"];
    EXPECT_EQ(fields["avg_frame_rate"], c.rate);
    EXPECT_EQ(fields["codec_tag_string"], c.tag);
    EXPECT_EQ(fields["width"], "120");
    EXPECT_EQ(fields["height"], "40");
  }
}

TEST(VKQuickTimeController, AGraphWithoutAreaWritesNoMovie) {
  MessageCapture messages;
  TemporaryFolder folder;
  movie_testing::SlidingBar graph(0, 10, 1, 5);
  graph.size = {0, 0};
  VKQuickTimeController controller;
  std::string path = folder.path("m.mov");
  EXPECT_FALSE(controller.createMovie(path, graph, graph));
  EXPECT_EQ(controller.lastError(),
            "Could not write the movie \"" + path + "\": the frame size 0 x 0 pixels cannot be written");
  EXPECT_TRUE(messages.saw(controller.lastError()));
  EXPECT_TRUE(std::filesystem::is_empty(folder.root()));
}
