// What a movie frame costs: drawing the graph into an 800 x 600 image (the
// floor: every movie pays it), and the same frame drawn and encoded in each
// codec of the movie writer. The ratio of the two is the encoder's share.
// With --dump-frames=<file> the 30 frames are first written there as raw
// RGBA, so that movie_compare.py can have the ffmpeg tool encode the same
// pictures.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "drawing/KRContainerPath2D.h"
#include "drawing/KRDrawingGroup.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingPathFromObj.h"
#include "platform/KRImage.h"
#include "platform/MovieWriter.h"

using namespace orrelin;

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr int kPoints = 2000;

// Frame k: a damped wave whose phase moves with k, in a frame.
std::shared_ptr<KRDrawingGroup> frameGraph(int k) {
  std::vector<KRPoint> points(kPoints);
  for (int i = 0; i < kPoints; ++i) {
    double t = static_cast<double>(i) / (kPoints - 1);
    points[static_cast<std::size_t>(i)] = {40 + t * 720, 300 + 220 * std::exp(-2 * t) * std::sin(30 * t - 0.2 * k)};
  }
  auto group = KRDrawingGroup::create();
  auto line = KRDrawingPathFromObj::createFromPath(KRContainerPath2D::createWithLoops({points}));
  line->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::rgb(0, 0, 0.8), 1.5));
  group->addObject(line);
  auto frame = KRDrawingPathRectangle::createWithRect({40, 40, 720, 520});
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
  group->addObject(frame);
  return group;
}

std::shared_ptr<KRImage> render(int k) {
  KRRenderOptions options;
  options.background = KRColor::rgb(1, 1, 1);
  return renderToImage(*frameGraph(k), {0, 0, kWidth, kHeight}, options);
}

void BM_DrawFrame(benchmark::State& state) {
  int k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(render(k++));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMillisecond);

// One movie of 30 frames per iteration; items are frames.
void BM_MovieFrames(benchmark::State& state) {
  const auto codec = static_cast<MovieCodec>(state.range(0));
  const int quality = static_cast<int>(state.range(1));
  const std::string path =
      (std::filesystem::temp_directory_path() / "orrel-movie-bench.mov").string();
  constexpr int kFrames = 30;
  for (auto _ : state) {
    auto movie = openQuickTimeMovie(path, {kWidth, kHeight, codec, quality, false, 1.0 / 30});
    if (!movie) {
      state.SkipWithError("the movie could not be opened");
      return;
    }
    for (int k = 0; k < kFrames; ++k) movie->addFrame(*render(k), 1.0 / 30);
    movie->finish();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetLabel(movieCodecType(codec));
  std::filesystem::remove(path);
}
BENCHMARK(BM_MovieFrames)
    ->Args({static_cast<int>(MovieCodec::Animation), movie_quality::kLossless})
    ->Args({static_cast<int>(MovieCodec::JPEG), movie_quality::kHigh})
    ->Args({static_cast<int>(MovieCodec::JPEG2000), movie_quality::kHigh})
    ->Args({static_cast<int>(MovieCodec::PNG), movie_quality::kLossless})
    ->Unit(benchmark::kMillisecond);
    ;

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--dump-frames=", 14) != 0) continue;
    std::ofstream raw(argv[i] + 14, std::ios::binary);
    for (int k = 0; k < 30; ++k) {
      auto rgba = render(k)->rgbaData();
      raw.write(reinterpret_cast<const char*>(rgba.data()), static_cast<std::streamsize>(rgba.size()));
    }
  }
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i)
    if (std::strncmp(argv[i], "--dump-frames=", 14) != 0) rest.push_back(argv[i]);
  int count = static_cast<int>(rest.size());
  benchmark::Initialize(&count, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
