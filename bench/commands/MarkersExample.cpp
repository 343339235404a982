// Draws every marker of the marker menu at three sizes with its tag and
// title, and writes the page as a PNG:
//
//   build-bench/bin/markers_example examples/markers.png

#include <cstdio>
#include <string>

#include "commands/Markers.h"
#include "drawing/KRDrawingOutput.h"
#include "drawing/KRDrawingPath.h"
#include "drawing/KRDrawingText.h"

using namespace orrelin;

namespace {

constexpr double kCellWidth = 250, kCellHeight = 64;
constexpr int kColumns = 4;
const KRColor kInk = KRColor::rgb(0.1, 0.15, 0.35);
const KRColor kFill = KRColor::rgb(0.98, 0.78, 0.2);

std::shared_ptr<KRDrawingText> label(const std::string& text, KRPoint at, double size, unsigned alignment) {
  return KRDrawingText::string(text, at, KRDrawingStyleFont::styleWithFont("DejaVu Sans", size, kInk), alignment,
                               KRDrawingText::CenterLetters);
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = argc > 1 ? argv[1] : "examples/markers.png";
  std::vector<VKMenuEntry> markers;
  for (const auto& entry : VKMarkers::pointMenu())
    if (entry.tag != kMarkerNoPoint) markers.push_back(entry);
  const int rows = static_cast<int>((markers.size() + kColumns - 1) / kColumns);
  const double width = kColumns * kCellWidth, height = rows * kCellHeight + 46;
  auto page = KRDrawingGroup::create();
  page->addObject(label("Markers at sizes 6, 12 and 24 points (line width 1, fill colour gold)",
                        {width / 2, height - 22}, 14, KRDrawingText::Center));
  for (std::size_t i = 0; i < markers.size(); ++i) {
    const double x = static_cast<double>(i % kColumns) * kCellWidth;
    const double y = height - 46 - static_cast<double>(i / kColumns + 1) * kCellHeight;
    auto frame = KRDrawingPathRectangle::createWithRect({x + 3, y + 3, kCellWidth - 6, kCellHeight - 6});
    frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::grey(0.8), 0.75));
    page->addObject(frame);
    VKMarkerLook look;
    look.type = markers[i].tag;
    look.lineColor = kInk;
    look.lineWidth = 1;
    look.fillColor = kFill;
    const double middle = y + kCellHeight / 2;
    double at = x + 20;
    for (double size : {6.0, 12.0, 24.0}) {
      look.size = size;
      if (auto drawn = VKMarkers::createPoints({{at, middle}}, look, nullptr, 1, false, false, {}))
        page->addObject(drawn);
      at += size + 16;
    }
    page->addObject(label(std::to_string(markers[i].tag) + " " + markers[i].title, {x + 108, middle}, 11,
                          KRDrawingText::Left));
  }
  KRRenderOptions options;
  options.scale = 2;
  options.background = KRColor::white();
  std::string error;
  if (!writePNG(*page, {0, 0, width, height}, output, options, &error)) {
    std::fprintf(stderr, "markers_example: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %zu markers\n", output.c_str(), markers.size());
  return 0;
}
