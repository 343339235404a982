// Pictures of whole graphs against reference images, with room for the
// small differences anti-aliasing and font versions make. With the
// environment variable ORREL_WRITE_GRAPH_REFERENCES set, the pictures are
// written as the new references instead (look at them before committing).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "axes/VKAxisSettings.h"
#include "drawing/KRDrawingOutput.h"
#include "graph/GraphTestSupport.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "platform/KRImage.h"

namespace orrelin {
namespace {

using testing_support::addRangeCommand;

void set(DataDrawingCommand& command, const std::string& key, PropertyList value) {
  command.objectWithName(key)->setFromPropertyList(&value);
}

std::string referencePath(const std::string& name) {
  return std::string(ORREL_TEST_DATA_DIR) + "/graph/" + name + ".png";
}

// The share of pixels that differ by more than a quarter of the range in
// any channel.
double differingShare(const KRImage& a, const KRImage& b) {
  if (a.width() != b.width() || a.height() != b.height()) return 1;
  long differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      KRPixel p = a.pixel(x, y), q = b.pixel(x, y);
      int most = std::max({std::abs(p.red - q.red), std::abs(p.green - q.green), std::abs(p.blue - q.blue),
                           std::abs(p.alpha - q.alpha)});
      if (most > 64) ++differing;
    }
  return static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
}

void comparePicture(DataDocumentDrawing& graph, const std::string& name) {
  const KRSize size{300, 200};
  auto picture = graph.createGraphic(size, 1, false, {}, KRRect());
  ASSERT_TRUE(picture);
  KRRenderOptions options;
  options.background = KRColor::white();
  auto image = renderToImage(*picture, KRRect(0, 0, size.width, size.height), options);
  ASSERT_TRUE(image);
  if (std::getenv("ORREL_WRITE_GRAPH_REFERENCES")) {
    auto png = image->pngData();
    std::ofstream(referencePath(name), std::ios::binary).write(reinterpret_cast<const char*>(png.data()),
                                                               static_cast<std::streamsize>(png.size()));
  }
  std::string error;
  auto reference = KRImage::createFromFile(referencePath(name), &error);
  ASSERT_TRUE(reference) << error;
  EXPECT_LT(differingShare(*image, *reference), 0.005) << name;
}

TEST(GraphPictures, OneAxisPairWithTitlesAndGrid) {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Title", PropertyList("Time (s)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Amplitude"));
  graph->styleSettings()->gridMenu().setTag(VKStyleSettings::kMajorGrid);
  addRangeCommand(*graph, 0, 10, -1, 1);
  comparePicture(*graph, "one-axis-pair");
}

TEST(GraphPictures, StackedAxesAndALogarithmicAxis) {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Type", PropertyList(std::int64_t{2}));
  auto second = std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand("Y Axis"));
  set(*second, "Space Before", PropertyList("10"));
  set(*second, "Space Before Pixels", PropertyList(true));
  graph->addCommand(second);
  addRangeCommand(*graph, 1, 1000, 0, 5);
  addRangeCommand(*graph, 1, 1000, 100, 200)->moveToXAxis(0, 1);
  comparePicture(*graph, "stacked-log");
}

}  // namespace
}  // namespace orrelin
