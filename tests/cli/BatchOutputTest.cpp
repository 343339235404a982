#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>

#include "cli/BatchOutput.h"
#include "cli/CommandLine.h"
#include "cli/FakeDesktop.h"
#include "drawing/writers/MovieTestSupport.h"
#include "drawing/writers/VKQuickTimeController.h"
#include "platform/FileWriting.h"
#include "platform/KRImage.h"
#include "support/MessageCapture.h"

using namespace orrelin;

namespace {

// The opened template as the output step sees it: a graph whose bar slides
// with the animation value, a movie controller, and a record of the calls.
class FakeDocument : public BatchDocument {
 public:
  FakeDocument(std::vector<std::string>& calls, std::vector<std::string>& destinations)
      : calls_(calls), destinations_(destinations) {}
  // The destinations the graph's drawings were made for, kept for the test.
  ~FakeDocument() override { destinations_ = graph.destinations; }
  KRDrawingSource& currentGraph() override { return graph; }
  KRAnimationTarget& animation() override { return graph; }
  VKQuickTimeController& quickTimeController() override { return movie; }
  bool writeToURL(const std::string& path, std::string* error) override {
    calls_.push_back("writeToURL " + path);
    if (saveError.empty()) return true;
    *error = saveError;
    return false;
  }
  void disconnectBeforeClosing() override { calls_.push_back("disconnectBeforeClosing"); }

  movie_testing::SlidingBar graph{0, 4, 1, 2};
  VKQuickTimeController movie;
  std::string saveError;

 private:
  std::vector<std::string>& calls_;
  std::vector<std::string>& destinations_;
};

class BatchOutput : public testing::Test {
 protected:
  BatchOutput() { desktop.existing.insert("/work/t.orrel"); }

  // Runs orrel with the template /work/t.orrel; the document the run opens
  // is set up by prepare (none when the template is to be unreadable).
  int run(std::vector<std::string> words) {
    out.str("");
    calls.clear();
    destinations.clear();
    std::vector<std::string> argv = {"orrel", "-cmdline", "-script", "/work/t.orrel"};
    argv.insert(argv.end(), words.begin(), words.end());
    ToolContext context{desktop, out, err};
    context.openTemplate = [this](const CommandLineRequest&, ToolContext&) -> std::unique_ptr<BatchDocument> {
      if (unreadable) return nullptr;
      auto document = std::make_unique<FakeDocument>(calls, destinations);
      if (prepare) prepare(*document);
      return document;
    };
    return commandLine(argv, context);
  }

  std::string path(const std::string& name) const { return folder.path(name); }
  std::shared_ptr<KRImage> image(const std::string& name) const { return KRImage::createFromFile(path(name)); }
  std::string head(const std::string& name, std::size_t count) const {
    std::string contents;
    readFile(path(name), contents);
    return contents.substr(0, count);
  }

  MessageCapture messages;
  FakeDesktop desktop;
  TemporaryFolder folder;
  std::ostringstream out, err;
  std::vector<std::string> calls;
  std::vector<std::string> destinations;
  // Sets up each document the run opens; the document lives only while the
  // run does, so tests read what they need through captures.
  std::function<void(FakeDocument&)> prepare;
  bool unreadable = false;
};

}  // namespace

// ---------------------------------------------------------------- switch values

TEST(BatchSwitchValues, DPIGivesTheBitmapScale) {
  const std::optional<std::string> none;
  const std::vector<std::pair<std::optional<std::string>, double>> cases = {
      {"144", 2},  {"72", 1},     {"36", 0.5},   {"72*3", 3},      {"0", 1},     {"-72", 1},
      {"abc", 1},  {"", 1},       {none, 1},     {"72*1000", 500}, {"1e9", 500}, {"1/0", 1},
      {"sqrt(-1)", 1},
  };
  for (const auto& [text, scale] : cases) EXPECT_DOUBLE_EQ(batchBitmapScale(text), scale) << text.value_or("(none)");
}

TEST(BatchSwitchValues, NumbersAreReadFromTheStartOfTheText) {
  EXPECT_EQ(batchIntegerValue("299"), 299);
  EXPECT_EQ(batchIntegerValue("  -12fps"), -12);
  EXPECT_EQ(batchIntegerValue("+7"), 7);
  EXPECT_EQ(batchIntegerValue("ten"), 0);
  EXPECT_EQ(batchIntegerValue(""), 0);
  EXPECT_EQ(batchIntegerValue("99999999999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(batchIntegerValue("-99999999999999999999"), std::numeric_limits<int>::min());
  EXPECT_DOUBLE_EQ(batchDoubleValue("0.25"), 0.25);
  EXPECT_DOUBLE_EQ(batchDoubleValue(" -1.5e1x"), -15);
  EXPECT_DOUBLE_EQ(batchDoubleValue("high"), 0);
  EXPECT_DOUBLE_EQ(batchDoubleValue(""), 0);
}

TEST(BatchSwitchValues, AlphaSmoothingAndQuality) {
  auto options = [](std::map<std::string, std::string> switches) {
    CommandLineRequest request;
    request.switches = std::move(switches);
    return BatchOutputOptions::fromRequest(request);
  };
  EXPECT_FALSE(options({}).alpha);
  EXPECT_TRUE(options({{"alpha", ""}}).alpha);
  EXPECT_TRUE(options({{"alpha", "YES"}}).alpha);
  EXPECT_FALSE(options({{"alpha", "no"}}).alpha);
  EXPECT_FALSE(options({{"alpha", "/work/data.txt"}}).alpha);
  EXPECT_TRUE(options({}).antialias);
  EXPECT_FALSE(options({{"nosmoothing", ""}}).antialias);
  EXPECT_DOUBLE_EQ(options({}).jpegQuality, 0.8);
  EXPECT_DOUBLE_EQ(options({{"quality", "0.3"}}).jpegQuality, 0.3);
  EXPECT_DOUBLE_EQ(options({{"quality", ""}}).jpegQuality, 0);
}

// ---------------------------------------------------------------- writers by ending

// Every ending reaches its writer, whatever its case, and the document is
// closed after writing.
TEST_F(BatchOutput, EachEndingWritesItsForm) {
  struct Case {
    std::string name;
    std::string start;  // the file's first bytes
    std::string destination;
  };
  const std::vector<Case> cases = {
      {"o.pdf", "%PDF-", "PDF"},          {"o.PDF", "%PDF-", "PDF"},          {"o.eps", "%!PS-Adobe", "EPS"},
      {"o.svg", "<?xml", "SVG"},          {"o.mvg", "<?xml", "MVG"},          {"o.png", "\x89PNG", "Image"},
      {"o.jpg", "\xFF\xD8\xFF", "Image"}, {"o.JPEG", "\xFF\xD8\xFF", "Image"}, {"o.tiff", "II*", "Image"},
      {"o.tif", "II*", "Image"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(run({"-output", path(c.name)}), 0);
    EXPECT_EQ(head(c.name, c.start.size()), c.start);
    // The drawing made to learn that there is one is the one written: the
    // graph is laid out once, for the form's destination.
    EXPECT_EQ(destinations, std::vector<std::string>{c.destination});
    EXPECT_EQ(calls, std::vector<std::string>{"disconnectBeforeClosing"});
    EXPECT_EQ(out.str(), "");
  }
  std::string svg;
  readFile(path("o.svg"), svg);
  EXPECT_NE(svg.find("<svg width=\"120\" height=\"40\""), std::string::npos);
  std::string mvg;
  readFile(path("o.mvg"), mvg);
  EXPECT_NE(mvg.find("<string>{120, 40}</string>"), std::string::npos);
  EXPECT_TRUE(messages.texts().empty());
}

TEST_F(BatchOutput, ResolutionAlphaAndSmoothingShapeTheBitmaps) {
  struct Case {
    std::vector<std::string> switches;
    int width, height;
    bool transparent;
  };
  const std::vector<Case> cases = {
      {{}, 120, 40, false},
      {{"-dpi", "144"}, 240, 80, false},
      {{"-dpi", "0"}, 120, 40, false},
      {{"-dpi", "-72"}, 120, 40, false},
      {{"-dpi", "many"}, 120, 40, false},
      {{"-dpi", "36"}, 60, 20, false},
      {{"-alpha"}, 120, 40, true},
      {{"-alpha", "yes", "-dpi", "72*2"}, 240, 80, true},
      {{"-alpha", "no"}, 120, 40, false},
  };
  for (const auto& c : cases) {
    for (std::string name : {"b.png", "b.tiff"}) {
      SCOPED_TRACE(testing::Message() << name << testing::PrintToString(c.switches));
      std::filesystem::remove(path(name));
      std::vector<std::string> words = {"-output", path(name)};
      words.insert(words.end(), c.switches.begin(), c.switches.end());
      ASSERT_EQ(run(words), 0);
      if (name == "b.tiff") {
        EXPECT_EQ(head(name, 3), "II*");
        continue;
      }
      auto picture = image(name);
      ASSERT_TRUE(picture);
      EXPECT_EQ(picture->width(), c.width);
      EXPECT_EQ(picture->height(), c.height);
      EXPECT_EQ(picture->pixel(c.width - 1, 0).alpha, c.transparent ? 0 : 255);
    }
  }

  // A bar at a fraction of a pixel: smoothed it has a grey edge, with
  // -nosmoothing every pixel is black or white.
  prepare = [](FakeDocument& document) { document.graph.setAnimationTime(0.25); };
  auto greyPixels = [&](const std::string& name) {
    auto picture = image(name);
    int grey = 0;
    for (int x = 0; x < picture->width(); ++x) {
      KRPixel p = picture->pixel(x, 20);
      if (p.red > 40 && p.red < 215) ++grey;
    }
    return grey;
  };
  ASSERT_EQ(run({"-output", path("smooth.png")}), 0);
  ASSERT_EQ(run({"-output", path("sharp.png"), "-nosmoothing"}), 0);
  EXPECT_GT(greyPixels("smooth.png"), 0);
  EXPECT_EQ(greyPixels("sharp.png"), 0);
}

TEST_F(BatchOutput, JPEGQualityComesFromTheQualitySwitch) {
  ASSERT_EQ(run({"-output", path("low.jpg"), "-quality", "0.05"}), 0);
  ASSERT_EQ(run({"-output", path("default.jpg")}), 0);
  ASSERT_EQ(run({"-output", path("best.jpg"), "-quality", "1"}), 0);
  EXPECT_LT(std::filesystem::file_size(path("low.jpg")), std::filesystem::file_size(path("default.jpg")));
  EXPECT_LT(std::filesystem::file_size(path("default.jpg")), std::filesystem::file_size(path("best.jpg")));
}

// A graph without a size is drawn on a 400 x 200 page; a graph that gives
// no drawing ends the run with -2, writes nothing and still closes.
TEST_F(BatchOutput, SizeFallbackAndNoDrawing) {
  prepare = [&](FakeDocument& document) { document.graph.size = {0, -5}; };
  ASSERT_EQ(run({"-output", path("fallback.png")}), 0);
  auto picture = image("fallback.png");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width(), 400);
  EXPECT_EQ(picture->height(), 200);

  prepare = [&](FakeDocument& document) {
    document.graph.size = {300, 0};
    document.graph.failsToDraw = true;
  };
  for (std::string name : {"none.pdf", "none.png", "none.svg", "none.mvg"}) {
    EXPECT_EQ(run({"-output", path(name)}), -2) << name;
    EXPECT_EQ(calls, std::vector<std::string>{"disconnectBeforeClosing"});
    EXPECT_FALSE(std::filesystem::exists(path(name)));
  }
  EXPECT_TRUE(messages.saw("The graph gives no drawing; nothing was written to \"" + path("none.png") + "\"."));

  // An exception from the graph is caught and reported the same way.
  prepare = [&](FakeDocument& document) { document.graph.throwAt = 0.0; };
  EXPECT_EQ(run({"-output", path("thrown.pdf")}), -2);
  EXPECT_TRUE(messages.saw("Error when computing drawing content\nstd::range_error : no bar at 0"));
  EXPECT_FALSE(std::filesystem::exists(path("thrown.pdf")));
}

// The writers' own failures do not change the exit status, and they leave
// an earlier file as it was.
TEST_F(BatchOutput, WriterFailuresAreReportedButDoNotChangeTheStatus) {
  EXPECT_EQ(run({"-output", path("missing/o.pdf")}), 0);
  EXPECT_FALSE(messages.takeShortTexts().empty());

  ASSERT_TRUE(writeFile(path("kept.png"), std::vector<std::uint8_t>{'o', 'l', 'd'}, WriteMode::InPlace));
  // 72 * 1000 dpi is scale 500: 60000 x 20000 pixels, more than a bitmap
  // may have.
  EXPECT_EQ(run({"-output", path("kept.png"), "-dpi", "72*1000"}), 0);
  EXPECT_EQ(messages.takeShortTexts(),
            std::vector<std::string>{"A bitmap of 60000 x 20000 pixels cannot be made; nothing is written."});
  {
    RefusedWritesForTesting refused(folder.root());
    EXPECT_EQ(run({"-output", path("kept.png")}), 0);
  }
  EXPECT_EQ(head("kept.png", 10), "old");
  EXPECT_EQ(calls, std::vector<std::string>{"disconnectBeforeClosing"});
}

// A folder that refuses writes: every form says why, keeps the earlier file
// and leaves no temporary file; the status stays 0.
TEST_F(BatchOutput, ARefusedFolderKeepsTheEarlierFileOfEveryForm) {
  prepare = [](FakeDocument& document) { document.movie.setFPS(10); };
  for (std::string name : {"r.pdf", "r.eps", "r.svg", "r.mvg", "r.png", "r.jpg", "r.tiff", "r.mov"}) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(writeFile(path(name), std::vector<std::uint8_t>{'o', 'l', 'd'}, WriteMode::InPlace));
    {
      RefusedWritesForTesting refused(folder.root());
      EXPECT_EQ(run({"-output", path(name)}), 0);
    }
    EXPECT_EQ(head(name, 10), "old");
    auto reported = messages.takeShortTexts();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_NE(reported[0].find(path(name)), std::string::npos) << reported[0];
    EXPECT_EQ(calls, std::vector<std::string>{"disconnectBeforeClosing"});
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()), {}), 8);
}

// Sizes no output can have: sides that are not finite fall back like empty
// ones; sides too large for a bitmap or a movie frame are refused with a
// message; nothing is written then, and the status stays 0.
TEST_F(BatchOutput, UnusableSizesFallBackOrAreRefused) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  prepare = [&](FakeDocument& document) { document.graph.size = {inf, nan}; };
  ASSERT_EQ(run({"-output", path("fallback.png")}), 0);
  auto picture = image("fallback.png");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width(), 400);
  EXPECT_EQ(picture->height(), 200);

  prepare = [&](FakeDocument& document) { document.graph.size = {1e7, 1e7}; };
  EXPECT_EQ(run({"-output", path("huge.png")}), 0);
  EXPECT_EQ(messages.takeShortTexts(),
            std::vector<std::string>{"A bitmap of 10000000 x 10000000 pixels cannot be made; nothing is written."});
  EXPECT_EQ(run({"-output", path("huge.mov")}), 0);
  EXPECT_EQ(messages.takeShortTexts(),
            std::vector<std::string>{"Could not write the movie \"" + path("huge.mov") +
                                     "\": the frame size 10000000 x 10000000 pixels cannot be written"});
  // A movie has no fallback size: a graph without one has no frames to show.
  prepare = [&](FakeDocument& document) { document.graph.size = {nan, inf}; };
  EXPECT_EQ(run({"-output", path("nan.mov")}), 0);
  EXPECT_EQ(messages.takeShortTexts(),
            std::vector<std::string>{"Could not write the movie \"" + path("nan.mov") +
                                     "\": the frame size 0 x 0 pixels cannot be written"});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.root()), {}), 1);
}

// ---------------------------------------------------------------- documents and movies

TEST_F(BatchOutput, TheDocumentEndingSavesACopy) {
  EXPECT_EQ(run({"-output", path("copy.orrel")}), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"writeToURL " + path("copy.orrel"), "disconnectBeforeClosing"}));
  prepare = [](FakeDocument& document) { document.saveError = "the disk is full"; };
  EXPECT_EQ(run({"-output", path("copy.orrel")}), 0);
  EXPECT_TRUE(messages.saw("Could not save the document \"" + path("copy.orrel") + "\": the disk is full"));
}

// Without a document (the template could not be read) nothing is written
// and the run ends with -2, saying so.
TEST_F(BatchOutput, AnUnreadableTemplateEndsWithMinusTwo) {
  unreadable = true;
  for (std::string name : {"m.mov", "d.orrel", "g.pdf", "g.png"}) {
    EXPECT_EQ(run({"-output", path(name)}), -2) << name;
    EXPECT_EQ(out.str(), "orrel: The Orrelin file \"/work/t.orrel\" could not be read\n");
    EXPECT_FALSE(std::filesystem::exists(path(name)));
  }
}

TEST_F(BatchOutput, MovieSwitchesReachTheAnimationAndTheController) {
  struct Case {
    std::vector<std::string> switches;
    int fps;
    int codec;
    bool transparency;
  };
  // The document's own settings: 12 frames per second, codec 10 (PNG).
  const std::vector<Case> cases = {
      {{}, 12, 10, false},
      {{"-fps", "0"}, 12, 10, false},
      {{"-fps", "300"}, 12, 10, false},
      {{"-fps", "many"}, 12, 10, false},
      {{"-fps", "299"}, 299, 10, false},
      {{"-fps", "1"}, 1, 10, false},
      {{"-qt", "jpeg"}, 12, 3, false},
      {{"-QT", "JPEG2000", "-QTQuality", "Low"}, 12, 9, false},
      {{"-qt", "jpeg", "-qtquality", "superb"}, 12, 10, false},
      {{"-qt", "lossless", "-alpha"}, 12, 1, true},
      {{"-qtquality", "low"}, 12, 10, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.switches));
    std::optional<int> fps, codec;
    std::optional<bool> transparency;
    std::vector<std::optional<std::string>> ranges, durations;
    prepare = [&](FakeDocument& document) {
      document.movie.setFPS(12);
      document.movie.setCodec(10);
      // Reads back what the run left, as the document closes.
      document.movie.setMovieWriterFactory([&, &movie = document.movie, &graph = document.graph](
                                               const std::string&, const MovieFormat&, std::string* error) {
        fps = movie.framesPerSecond();
        codec = movie.codecOption();
        transparency = movie.useTransparency();
        ranges = graph.rangeTexts;
        durations = graph.durationTexts;
        *error = "not written in this test";
        return std::unique_ptr<MovieWriter>();
      });
    };
    std::vector<std::string> words = {"-output", path("m.mov")};
    words.insert(words.end(), c.switches.begin(), c.switches.end());
    EXPECT_EQ(run(words), 0);
    EXPECT_EQ(fps, c.fps);
    EXPECT_EQ(codec, c.codec);
    EXPECT_EQ(transparency, c.transparency);
    EXPECT_EQ(ranges, std::vector<std::optional<std::string>>{std::nullopt});
    EXPECT_EQ(durations, std::vector<std::optional<std::string>>{std::nullopt});
    EXPECT_EQ(calls, std::vector<std::string>{"disconnectBeforeClosing"});
  }

  std::vector<std::optional<std::string>> ranges, durations;
  prepare = [&](FakeDocument& document) {
    document.movie.setMovieWriterFactory([&, &graph = document.graph](const std::string&, const MovieFormat&,
                                                                        std::string*) {
      ranges = graph.rangeTexts;
      durations = graph.durationTexts;
      return std::unique_ptr<MovieWriter>();
    });
  };
  EXPECT_EQ(run({"-output", path("m.mov"), "-range", "0,20", "-duration", "2*3"}), 0);
  EXPECT_EQ(ranges, std::vector<std::optional<std::string>>{"0,20"});
  EXPECT_EQ(durations, std::vector<std::optional<std::string>>{"2*3"});
}

// The movie itself: the slider 0 to 4 (whole numbers) over 2 s at 10 frames
// per second moves by 1, so 5 frames of 2/5 s.
TEST_F(BatchOutput, TheMovieEndingWritesAQuickTimeMovie) {
  prepare = [](FakeDocument& document) { document.movie.setFPS(10); };
  ASSERT_EQ(run({"-output", path("m.mov"), "-qt", "png"}), 0);
  auto fields = movie_testing::probe(path("m.mov"));
  EXPECT_EQ(fields["nb_read_frames"], "5") << fields["error"];
  EXPECT_EQ(fields["avg_frame_rate"], "5/2");
  EXPECT_EQ(fields["codec_tag_string"], "png ");
  EXPECT_EQ(fields["width"], "120");

  // A graph without area writes no movie: reported, status unchanged.
  prepare = [](FakeDocument& document) { document.graph.size = {0, 0}; };
  EXPECT_EQ(run({"-output", path("empty.mov")}), 0);
  EXPECT_FALSE(std::filesystem::exists(path("empty.mov")));
  EXPECT_TRUE(messages.saw("Could not write the movie \"" + path("empty.mov") +
                           "\": the frame size 0 x 0 pixels cannot be written"));
}

// The bitmap endings announce the off-screen rendering when debugging.
TEST_F(BatchOutput, DebugAnnouncesTheBitmapContextForBitmapEndings) {
  for (std::string name : {"d.png", "d.tif", "d.mov", "d.pdf", "d.svg"}) {
    desktop.logged.clear();
    prepare = [](FakeDocument& document) {
      document.movie.setMovieWriterFactory(
          [](const std::string&, const MovieFormat&, std::string*) { return std::unique_ptr<MovieWriter>(); });
    };
    run({"-output", path(name), "-debug"});
    std::string ending = std::filesystem::path(name).extension().string().substr(1);
    bool bitmap = ending != "pdf" && ending != "svg";
    EXPECT_EQ(desktop.logged, bitmap ? std::vector<std::string>{"Starting the window server, since output ending is " + ending}
                                     : std::vector<std::string>{})
        << name;
  }
  desktop.logged.clear();
  run({"-output", path("quiet.png")});
  EXPECT_TRUE(desktop.logged.empty());
}
