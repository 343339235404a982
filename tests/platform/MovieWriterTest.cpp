#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileWriting.h"
#include "platform/GraphicsContext.h"
#include "platform/KRImage.h"
#include "platform/MovieWriter.h"
#include "support/MovieProbe.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;

namespace {

using movie_testing::probe;

// Frame k of a test movie: a disc that moves right with k on a transparent
// page, so consecutive frames differ and transparency can be seen.
std::shared_ptr<KRImage> frame(int k, int width = 64, int height = 48) {
  return KRImage::render(width, height, [&](GraphicsContext& context) {
    context.setFillColor(KRColor::rgb(0.8, 0.1, 0.1));
    context.beginPath();
    context.addArc(8.0 + 4 * k, height / 2.0, 6, 0, 6.2832, false);
    context.fillPath();
  });
}

// A frame of noise, which no codec compresses away: what is left after
// compression shows the quality level.
std::shared_ptr<KRImage> noise(int seed, int width = 64, int height = 48) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(seed);
  for (std::size_t i = 0; i < rgba.size(); ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    rgba[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>(state);
  }
  return KRImage::createFromRGBA(width, height, rgba.data(), 4 * static_cast<std::size_t>(width));
}

bool writeMovie(const std::string& path, MovieFormat format, int frames, double duration, std::string* error = nullptr) {
  auto writer = openQuickTimeMovie(path, format, error);
  if (!writer) return false;
  for (int k = 0; k < frames; ++k)
    if (!writer->addFrame(*frame(k, format.width, format.height), duration)) {
      if (error) *error = writer->error();
      return false;
    }
  bool finished = writer->finish();
  if (!finished && error) *error = writer->error();
  return finished;
}

struct CodecCase {
  MovieCodec codec;
  int quality;
  bool transparency;
  const char* codecName;  // as ffprobe names it
  const char* tag;
  const char* pixelFormat;
};

class MovieCodecs : public testing::TestWithParam<CodecCase> {};

}  // namespace

// Every codec gives a movie that decodes with the frame count, the frame
// rate (from the frame duration), the size and the container's codec type,
// and keeps transparency where the codec can hold it.
TEST_P(MovieCodecs, WritesAMovieThatDecodesFrameForFrame) {
  const CodecCase& c = GetParam();
  TemporaryFolder folder;
  std::string path = folder.path("m.mov");
  MovieFormat format{64, 48, c.codec, c.quality, c.transparency, 5.0 / 11};
  std::string error;
  ASSERT_TRUE(writeMovie(path, format, 11, 5.0 / 11, &error)) << error;

  auto fields = probe(path);
  EXPECT_EQ(fields["codec_name"], c.codecName) << fields["error"];
  EXPECT_EQ(fields["codec_tag_string"], c.tag);
  EXPECT_EQ(fields["nb_read_frames"], "11");
  EXPECT_EQ(fields["avg_frame_rate"], "11/5");
  EXPECT_EQ(fields["width"], "64");
  EXPECT_EQ(fields["height"], "48");
  EXPECT_EQ(fields["pix_fmt"], c.pixelFormat);
  EXPECT_NEAR(std::stod(fields["duration"].empty() ? "0" : fields["duration"]), 5.0, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCodec, MovieCodecs,
    testing::Values(CodecCase{MovieCodec::Animation, movie_quality::kLossless, false, "qtrle", "rle ", "rgb24"},
                    CodecCase{MovieCodec::Animation, movie_quality::kLossless, true, "qtrle", "rle ", "argb"},
                    CodecCase{MovieCodec::JPEG, movie_quality::kMaximum, false, "mjpeg", "jpeg", "yuvj444p"},
                    CodecCase{MovieCodec::JPEG, movie_quality::kLow, false, "mjpeg", "jpeg", "yuvj420p"},
                    CodecCase{MovieCodec::JPEG2000, movie_quality::kHigh, false, "jpeg2000", "mjp2", "rgb24"},
                    CodecCase{MovieCodec::JPEG2000, movie_quality::kNormal, true, "jpeg2000", "mjp2", "rgba"},
                    CodecCase{MovieCodec::PNG, movie_quality::kLossless, false, "png", "png ", "rgb24"},
                    CodecCase{MovieCodec::PNG, movie_quality::kLossless, true, "png", "png ", "rgba"}));

// A lower quality level compresses harder: the JPEG and JPEG 2000 files
// shrink from maximum to low.
TEST(MovieWriter, LowerQualityLevelsMakeSmallerFiles) {
  TemporaryFolder folder;
  for (MovieCodec codec : {MovieCodec::JPEG, MovieCodec::JPEG2000}) {
    std::vector<std::uintmax_t> sizes;
    for (int quality : {movie_quality::kMaximum, movie_quality::kHigh, movie_quality::kNormal, movie_quality::kLow}) {
      std::string path = folder.path("q" + std::to_string(quality) + ".mov");
      auto writer = openQuickTimeMovie(path, {64, 48, codec, quality, false, 0.1});
      ASSERT_TRUE(writer);
      for (int k = 0; k < 3; ++k) ASSERT_TRUE(writer->addFrame(*noise(k), 0.1)) << writer->error();
      ASSERT_TRUE(writer->finish()) << writer->error();
      sizes.push_back(std::filesystem::file_size(path));
    }
    for (std::size_t i = 1; i < sizes.size(); ++i)
      EXPECT_LT(sizes[i], sizes[i - 1]) << movieCodecType(codec) << " level " << i;
  }
}

// Frames of different durations keep their own times: the track lasts the
// sum of them.
TEST(MovieWriter, FramesKeepTheirOwnDurations) {
  TemporaryFolder folder;
  std::string path = folder.path("d.mov");
  auto writer = openQuickTimeMovie(path, {32, 32, MovieCodec::PNG, movie_quality::kLossless, false, 0.25});
  ASSERT_TRUE(writer);
  for (double duration : {0.25, 0.5, 1.0 / 3, 0.25}) ASSERT_TRUE(writer->addFrame(*frame(0, 32, 32), duration));
  ASSERT_TRUE(writer->finish()) << writer->error();
  auto fields = probe(path);
  EXPECT_EQ(fields["nb_read_frames"], "4");
  EXPECT_NEAR(std::stod(fields["duration"]), 0.25 + 0.5 + 1.0 / 3 + 0.25, 0.001);
}

// Bad requests are refused with a reason and never leave a file, and an
// earlier movie at the path stays as it was until a new one is finished.
TEST(MovieWriter, FailuresLeaveNothingAndKeepAnEarlierFile) {
  TemporaryFolder folder;
  std::string path = folder.path("keep.mov");
  ASSERT_TRUE(writeFile(path, std::vector<std::uint8_t>{'o', 'l', 'd'}, WriteMode::InPlace));
  auto oldContentsKept = [&] {
    std::string contents;
    return readFile(path, contents) && contents == "old" &&
           std::distance(std::filesystem::directory_iterator(folder.root()), {}) == 1;
  };

  std::string error;
  for (auto size : {std::pair{0, 0}, std::pair{-3, 10}, std::pair{100000, 10}}) {
    EXPECT_FALSE(openQuickTimeMovie(path, {size.first, size.second, MovieCodec::PNG}, &error));
    EXPECT_NE(error.find("frame size"), std::string::npos) << error;
    EXPECT_TRUE(oldContentsKept());
  }

  {
    // Abandoned after two frames.
    auto writer = openQuickTimeMovie(path, {64, 48, MovieCodec::Animation});
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->addFrame(*frame(0), 0.1));
    ASSERT_TRUE(writer->addFrame(*frame(1), 0.1));
  }
  EXPECT_TRUE(oldContentsKept());

  {
    // A frame of the wrong size spoils the movie.
    auto writer = openQuickTimeMovie(path, {64, 48, MovieCodec::Animation});
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->addFrame(*frame(0, 10, 10), 0.1));
    EXPECT_NE(writer->error().find("does not fit"), std::string::npos) << writer->error();
    EXPECT_FALSE(writer->finish());
  }
  EXPECT_TRUE(oldContentsKept());

  {
    auto writer = openQuickTimeMovie(path, {64, 48, MovieCodec::Animation});
    ASSERT_TRUE(writer);
    EXPECT_FALSE(writer->finish());
    EXPECT_EQ(writer->error(), "the movie has no frames");
  }
  EXPECT_TRUE(oldContentsKept());

  {
    RefusedWritesForTesting refused(folder.root());
    EXPECT_FALSE(openQuickTimeMovie(path, {64, 48, MovieCodec::Animation}, &error));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(oldContentsKept());
  EXPECT_FALSE(openQuickTimeMovie(folder.path("missing/m.mov"), {64, 48, MovieCodec::Animation}, &error));

  ASSERT_TRUE(writeMovie(path, {64, 48, MovieCodec::Animation}, 2, 0.1));
  EXPECT_EQ(probe(path)["nb_read_frames"], "2");
}
