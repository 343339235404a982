#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <set>

#include "WriterTestSupport.h"
#include "drawing/writers/VKDrawingView.h"
#include "drawing/writers/VKExportAccessory.h"
#include "platform/UserDefaults.h"
#include "support/MessageCapture.h"
#include "support/TemporaryFolder.h"

using namespace orrelin;
using namespace orrelin::writer_testing;

namespace {

// Hands out the plot and records the destinations it was asked for; fails
// to build when told to.
class RecordingSource : public KRDrawingSource {
 public:
  KRSize drawingSize() const override { return {200, 100}; }
  std::shared_ptr<KRDrawingGroup> createGraphic(const std::string& destination, KRSize) override {
    destinations.push_back(destination);
    return fails ? nullptr : plotWithoutText();
  }
  std::vector<std::string> destinations;
  bool fails = false;
};

// Every writer of the view, as the export menu runs them.
const std::vector<int> kAllFormats = {
    VKExportAccessory::PDF,      VKExportAccessory::EPS,  VKExportAccessory::MVG,
    VKExportAccessory::PNG,      VKExportAccessory::TIFFOpaque, VKExportAccessory::TIFFAlpha,
    VKExportAccessory::JPEG,     VKExportAccessory::SVG,  VKExportAccessory::PNGAlpha,
    VKExportAccessory::EPSWithPreview,
};

// While it exists, a file can grow to at most limit bytes: writing more
// fails as it does on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  sighandler_t previous_;
};

std::string contentsOf(const std::string& path) {
  std::string contents;
  readFile(path, contents);
  return contents;
}

std::set<std::string> filesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace

// Each writer builds its own drawing for its destination.
TEST(VKDrawingView, EveryWriterAsksForADrawingForItsDestination) {
  TemporaryFolder folder;
  auto source = std::make_shared<RecordingSource>();
  VKDrawingView view;
  view.setDrawingSource(source);
  VKExportAccessory settings;
  for (int tag : kAllFormats) {
    settings.format = tag;
    EXPECT_TRUE(settings.exportDrawing(view, folder.path("out" + std::to_string(tag) + "." +
                                                         *VKExportAccessory::fileEnding(tag))))
        << tag << ": " << view.lastError();
  }
  EXPECT_EQ(source->destinations,
            (std::vector<std::string>{"PDF", "EPS", "MVG", "Image", "Image", "Image", "Image", "SVG", "Image", "EPS",
                                      "Image"}));
}

// Without a drawing, into a folder that is missing or refuses writes, or
// onto a full disk: the writer says why, and a file already at the path
// stays as it was with no temporary file left beside it.
TEST(VKDrawingView, FailedWritesReportAndLeaveTheOldFileIntact) {
  MessageCapture messages;
  TemporaryFolder folder;
  VKDrawingView view;
  EXPECT_FALSE(view.saveSVGInto(folder.path("none.svg")));
  EXPECT_EQ(view.lastError(), "There is no drawing to write.");
  auto source = std::make_shared<RecordingSource>();
  source->fails = true;
  view.setDrawingSource(source);
  EXPECT_FALSE(view.savePDFInto(folder.path("none.pdf"), false));
  EXPECT_TRUE(messages.saw("There is no drawing to write."));
  view.setGraphic(plotWithoutText(), {0, 100});
  EXPECT_FALSE(view.savePNGInto(folder.path("none.png"), 1, true));
  EXPECT_FALSE(std::filesystem::exists(folder.path("none.png")));

  view.setGraphic(plotWithoutText(), {200, 100});
  VKExportAccessory settings;
  std::string missing = folder.path("no such folder");
  for (int tag : kAllFormats) {
    settings.format = tag;
    std::string path = missing + "/out." + *VKExportAccessory::fileEnding(tag);
    EXPECT_FALSE(settings.exportDrawing(view, path)) << tag;
    EXPECT_NE(view.lastError().find(path), std::string::npos) << view.lastError();
  }

  std::string old = "the earlier file";
  std::string target = folder.path("kept.out");
  for (int tag : kAllFormats) {
    SCOPED_TRACE(tag);
    settings.format = tag;
    ASSERT_TRUE(writeFile(target, std::vector<std::uint8_t>(old.begin(), old.end()), WriteMode::Atomic));
    {
      RefusedWritesForTesting refused(folder.root());
      EXPECT_FALSE(settings.exportDrawing(view, target));
    }
    {
      FileSizeLimit full(64);
      EXPECT_FALSE(settings.exportDrawing(view, target));
    }
    EXPECT_EQ(contentsOf(target), old);
    EXPECT_EQ(filesIn(folder.root()), (std::set<std::string>{"kept.out"}));
  }
}

TEST(VKExportAccessory, ResolutionTextGivesTheBitmapScale) {
  for (const auto& [text, scale] : std::vector<std::pair<std::string, double>>{
           {"144", 2}, {"72*3", 3}, {"36", 0.5}, {"0", 1}, {"-72", 1}, {"dpi", 1}, {"", 1}, {"40000", 1},
           {"36000", 500}, {"1/0", 1}}) {
    EXPECT_DOUBLE_EQ(VKExportAccessory::scaleForDPI(text), scale) << text;
  }
  EXPECT_EQ(VKExportAccessory::fileEnding(6), "tiff");
  EXPECT_EQ(VKExportAccessory::fileEnding(10), "eps");
  EXPECT_EQ(VKExportAccessory::fileEnding(9), "png");
  EXPECT_FALSE(VKExportAccessory::fileEnding(0));
  EXPECT_FALSE(VKExportAccessory::fileEnding(11));
}

TEST(VKExportAccessory, SettingsAreKeptInTheUserDefaults) {
  UserDefaults& defaults = UserDefaults::standard();
  for (const char* key : {VKExportAccessory::kFormatKey, VKExportAccessory::kQualityKey, VKExportAccessory::kDPIKey,
                          VKExportAccessory::kTransparencyKey})
    defaults.removeObject(key);
  VKExportAccessory fresh = VKExportAccessory::fromUserDefaults();
  EXPECT_EQ(fresh.format, VKExportAccessory::PDF);
  EXPECT_EQ(fresh.dpi, "72");

  VKExportAccessory settings;
  settings.format = VKExportAccessory::JPEG;
  settings.quality = 0.35;
  settings.dpi = "72*2";
  settings.allowPDFTransparency = true;
  settings.saveToUserDefaults();
  EXPECT_EQ(defaults.integerForKey("Export Format"), 7);
  VKExportAccessory read = VKExportAccessory::fromUserDefaults();
  EXPECT_EQ(read.format, VKExportAccessory::JPEG);
  EXPECT_EQ(read.quality, 0.35);
  EXPECT_EQ(read.dpi, "72*2");
  EXPECT_TRUE(read.allowPDFTransparency);

  // A tag that is not in the menu is not taken over.
  defaults.setInteger("Export Format", 42);
  EXPECT_EQ(VKExportAccessory::fromUserDefaults().format, VKExportAccessory::PDF);
}
