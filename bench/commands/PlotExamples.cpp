// Draws the plot command's example pictures:
//
//   build-bench/bin/plot_examples examples
//
// writes plot-gaps.png, plot-steps.png, plot-smooth.png, plot-smooth-log.png,
// plot-fills.png, plot-fill-kinds.png and plot-error-bars.png into the folder.

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "commands/VKPlotCommand.h"
#include "drawing/KRDrawingCollections.h"
#include "drawing/KRDrawingOutput.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/VKCanvasSettings.h"
#include "axes/VKAxisSettings.h"
#include "support/PlotDocument.h"

using namespace orrelin;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Picture {
  std::shared_ptr<bench::PlotDocument> document = bench::PlotDocument::create();
  std::vector<std::shared_ptr<VKPlotCommand>> plots;
  std::shared_ptr<OrrelinColumn> column(const std::string& name, const std::vector<double>& values) {
    return document->addColumn(name, values);
  }
  std::shared_ptr<VKPlotCommand> plot(const std::shared_ptr<OrrelinColumn>& x, const std::shared_ptr<OrrelinColumn>& y,
                                      const PlistDictionary& settings) {
    auto command = std::make_shared<VKPlotCommand>();
    command->finishConnections();
    command->setDocument(document);
    command->setXColumn(x, y);
    for (const auto& [name, value] : settings) command->objectWithName(name)->setFromPropertyList(&value);
    plots.push_back(command);
    return command;
  }

  // The plots laid out in a graph with its axes, ticks and titles, drawn as
  // a screen at twice the point size shows it.
  bool write(const std::string& path, const std::string& title, bool yLog = false,
             KRBoundingRange forceY = KRBoundingRange::invalid(), const std::string& xTitle = "x",
             const std::string& yTitle = "y") {
    auto graph = DataDocumentDrawing::create();
    const auto set = [](DataDrawingCommand& command, const std::string& key, PropertyList value) {
      if (auto setting = command.objectWithName(key)) setting->setFromPropertyList(&value);
    };
    set(*graph->canvasSettings(), "Title", PropertyList(title));
    set(*graph->mainAxis(), "X Title", PropertyList(xTitle));
    set(*graph->mainAxis(), "Y Title", PropertyList(yTitle));
    // 5 % around the data, so that markers and line ends stay clear of the frame.
    set(*graph->mainAxis(), "Pad X Range", PropertyList(std::int64_t{3}));
    set(*graph->mainAxis(), "Pad Y Range", PropertyList(std::int64_t{3}));
    if (yLog) set(*graph->mainAxis(), "Y Type", PropertyList(std::int64_t{2}));
    if (forceY.isValid()) {
      char crop[64];
      std::snprintf(crop, sizeof crop, "%g,%g", forceY.minR, forceY.maxR);
      set(*graph->mainAxis(), "Crop Y", PropertyList(crop));
    }
    for (auto& p : plots) graph->addCommand(p);
    const KRSize size{560, 360};
    const double scale = 2;
    auto screen = graph->createGraphic(size, scale, false, {}, KRRect());
    KRRenderOptions options;
    options.background = KRColor::white();
    std::string error;
    if (!screen || !writePNG(*screen, KRRect(0, 0, size.width * scale, size.height * scale), path, options, &error)) {
      std::fprintf(stderr, "plot_examples: %s: %s\n", path.c_str(), error.empty() ? "nothing drawn" : error.c_str());
      return false;
    }
    return true;
  }
};

PropertyList line(int tag, double width, KRColor color) {
  return PlistDictionary{{"Tag", PropertyList(tag)}, {"Width", PropertyList(width)},
                         {"Color", VKColorInputController::colorPropertyList(color)}};
}

PropertyList solidFill(KRColor color) {
  return PlistDictionary{{"Kind", PropertyList(2)}, {"Color", VKColorInputController::colorPropertyList(color)}};
}

std::vector<double> range(int n, double from, double step) {
  std::vector<double> values;
  for (int i = 0; i < n; ++i) values.push_back(from + i * step);
  return values;
}

bool gaps(const std::string& folder) {
  Picture picture;
  auto x = range(120, 0, 0.1);
  std::vector<double> y, shifted;
  for (double t : x) y.push_back(std::exp(-0.2 * t) * std::cos(2 * t));
  // Two stretches of missing values.
  for (int i = 30; i < 38; ++i) y[i] = kNaN;
  for (int i = 75; i < 80; ++i) y[i] = kNaN;
  auto xc = picture.column("t", x);
  auto yc = picture.column("signal", y);
  picture.plot(xc, yc,
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.3, 0.8))}, {"Legend Position", PropertyList(2)},
                {"Legend", PropertyList("gaps break the line")}});
  picture.plot(xc, yc,
               {{"Line Style", line(4, 1, KRColor::rgb(0.8, 0.2, 0.1))}, {"Bridge Gaps", PropertyList(true)},
                {"Offset", PropertyList("0,-1")}, {"Legend Position", PropertyList(2)},
                {"Legend", PropertyList("Bridge Gaps, offset 0,-1")}});
  return picture.write(folder + "/plot-gaps.png", "Missing values: separate runs, or bridged", false,
                       KRBoundingRange::invalid(), "t", "signal");
}

bool steps(const std::string& folder) {
  Picture picture;
  auto x = std::vector<double>{0, 1, 2.5, 3, 4.5, 6, 7};
  auto y = std::vector<double>{1, 3, 2, 4, 3.5, 1.5, 2};
  auto xc = picture.column("x", x);
  const KRColor colors[] = {KRColor::rgb(0.1, 0.3, 0.8), KRColor::rgb(0.8, 0.2, 0.1), KRColor::rgb(0.1, 0.6, 0.2)};
  const char* titles[] = {"Horizontal First", "Vertical First", "Halfway"};
  for (int type = 1; type <= 3; ++type) {
    std::vector<double> shifted;
    for (double v : y) shifted.push_back(v + 4 * (3 - type));
    auto yc = picture.column("y" + std::to_string(type), shifted);
    picture.plot(xc, yc,
                 {{"Line Style", line(2, 1.5, colors[type - 1])}, {"Connections", PropertyList(3)},
                  {"Step Type", PropertyList(type)}, {"Point Style", PropertyList(3)},
                  {"Legend Position", PropertyList(2)}, {"Legend", PropertyList(titles[type - 1])}});
  }
  return picture.write(folder + "/plot-steps.png", "Steps: the three step types", false, KRBoundingRange::between(0, 13));
}

bool smooth(const std::string& folder) {
  Picture picture;
  auto x = std::vector<double>{0, 0.7, 1.5, 2, 3.2, 4, 5.5, 6};
  std::vector<double> y;
  for (double t : x) y.push_back(0.15 * (t - 3) * (t - 3) + 0.4 * std::sin(2 * t) - 0.5);
  auto xc = picture.column("x", x);
  auto yc = picture.column("y", y);
  picture.plot(xc, yc,
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.3, 0.8))}, {"Connections", PropertyList(2)},
                {"Legend Position", PropertyList(2)}, {"Legend", PropertyList("natural")}});
  picture.plot(xc, yc,
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.8, 0.2, 0.1))}, {"Connections", PropertyList(2)},
                {"Spline Type", PropertyList(2)}, {"Legend Position", PropertyList(3)},
                {"Legend", PropertyList("end slopes")}});
  // The data points and their straight connection, over the curves.
  picture.plot(xc, yc, {{"Line Style", line(3, 0.75, KRColor::grey(0.4))}, {"Point Style", PropertyList(3)}});
  // A curve that goes back and forth: split into pieces increasing in x.
  std::vector<double> lx, ly;
  for (int i = 0; i <= 8; ++i) {
    const double a = i * M_PI / 4;
    lx.push_back(3 + 1.2 * std::cos(a));
    ly.push_back(-1.6 + 0.3 * std::sin(a));
  }
  picture.plot(picture.column("loop x", lx), picture.column("loop y", ly),
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.6, 0.2))}, {"Connections", PropertyList(2)},
                {"Point Style", PropertyList(3)}});
  const bool linear = picture.write(folder + "/plot-smooth.png", "Smooth: natural spline and estimated end slopes");

  Picture logPicture;
  auto lxs = std::vector<double>{1, 2, 3, 4, 5, 6, 7};
  auto lys = std::vector<double>{2, 30, 500, 40, 3, 60, 900};
  auto lxc = logPicture.column("x", lxs);
  auto lyc = logPicture.column("y", lys);
  logPicture.plot(lxc, lyc,
                  {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.3, 0.8))}, {"Connections", PropertyList(2)},
                   {"Point Style", PropertyList(3)}});
  return logPicture.write(folder + "/plot-smooth-log.png", "Smooth on a logarithmic y axis", true) && linear;
}

bool fills(const std::string& folder) {
  Picture picture;
  auto x = range(101, 0, 0.1);
  std::vector<double> high, low, wave;
  for (double t : x) {
    high.push_back(3 + std::sin(t) + 0.3 * t);
    low.push_back(1.5 + 0.5 * std::cos(1.3 * t) + 0.2 * t);
    wave.push_back(-2 + 1.2 * std::sin(1.7 * t));
  }
  auto xc = picture.column("x", x);
  auto lowc = picture.column("low", low);
  picture.plot(xc, picture.column("high", high),
               {{"Line Style", line(2, 1, KRColor::rgb(0.1, 0.3, 0.8))},
                {"Fill", solidFill(KRColor::rgb(0.55, 0.7, 1, 0.6))},
                {"Fill Method", PropertyList(7)},
                {"Between", PlistDictionary{{"Name", PropertyList("low")}}}});
  picture.plot(xc, lowc, {{"Line Style", line(2, 1, KRColor::rgb(0.1, 0.3, 0.8))}});
  // The parts above and below a level, with the zero line moved by the offset.
  auto wc = picture.column("wave", wave);
  picture.plot(xc, wc,
               {{"Line Style", line(1, 1, KRColor::black())}, {"Fill", solidFill(KRColor::rgb(0.9, 0.4, 0.3))},
                {"Fill Method", PropertyList(5)}, {"Offset", PropertyList("0,2")}});
  picture.plot(xc, wc,
               {{"Line Style", line(1, 1, KRColor::black())}, {"Fill", solidFill(KRColor::rgb(0.3, 0.7, 0.4))},
                {"Fill Method", PropertyList(6)}, {"Offset", PropertyList("0,2")}});
  picture.plot(xc, wc, {{"Line Style", line(2, 1, KRColor::black())}, {"Offset", PropertyList("0,2")}});
  picture.plot(xc, picture.column("zero", std::vector<double>(x.size(), 0)),
               {{"Line Style", line(3, 0.5, KRColor::grey(0.3))}});
  return picture.write(folder + "/plot-fills.png", "Fills: between two columns; above and below y = 0");
}

// The other fill kinds and methods: a gradient down to the bottom, hatching
// to the left edge (a fill in x), noise inside a closed run.
bool fillKinds(const std::string& folder) {
  Picture picture;
  auto x = range(81, 0, 0.1);
  std::vector<double> bump, across, loopX, loopY;
  for (double t : x) bump.push_back(4 + 1.5 * std::exp(-(t - 4) * (t - 4)));
  for (int i = 0; i <= 40; ++i) {
    const double t = 5.0 * i / 40;
    across.push_back(t);
  }
  std::vector<double> wiggle;
  for (double t : across) wiggle.push_back(2.5 + 0.8 * std::sin(2.5 * t));
  for (int i = 0; i <= 60; ++i) {
    const double a = 2 * M_PI * i / 60;
    loopX.push_back(6.5 + 1.1 * std::cos(a));
    loopY.push_back(1.4 + 0.9 * std::sin(a) * (1 + 0.3 * std::cos(3 * a)));
  }
  PropertyList gradient = PlistDictionary{{"Kind", PropertyList(5)},
                                          {"Color", VKColorInputController::colorPropertyList(KRColor::rgb(0.2, 0.4, 0.9))},
                                          {"Second Color", VKColorInputController::colorPropertyList(KRColor::white())},
                                          {"Angle", PropertyList(-90.0)}};
  PropertyList hatch = PlistDictionary{{"Kind", PropertyList(3)},
                                       {"Color", VKColorInputController::colorPropertyList(KRColor::rgb(0.7, 0.2, 0.1))},
                                       {"Second Color", VKColorInputController::colorPropertyList(KRColor::rgb(1, 0.95, 0.9))},
                                       {"Pattern", PropertyList(1)}};
  PropertyList noise = PlistDictionary{{"Kind", PropertyList(6)},
                                       {"Color", VKColorInputController::colorPropertyList(KRColor::rgb(0.1, 0.5, 0.2))},
                                       {"Second Color", VKColorInputController::colorPropertyList(KRColor::rgb(0.85, 0.95, 0.85))}};
  picture.plot(picture.column("x", x), picture.column("bump", bump),
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.3, 0.8))}, {"Fill", gradient}, {"Fill Method", PropertyList(3)}});
  // A function of y: x = wiggle(y), filled to the left edge.
  picture.plot(picture.column("wiggle", wiggle), picture.column("y", across),
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.7, 0.2, 0.1))}, {"Fill", hatch}, {"Fill Method", PropertyList(11)}});
  picture.plot(picture.column("loop x", loopX), picture.column("loop y", loopY),
               {{"Line Style", line(2, 1.5, KRColor::rgb(0.1, 0.5, 0.2))}, {"Fill", noise}, {"Fill Method", PropertyList(1)}});
  return picture.write(folder + "/plot-fill-kinds.png", "Gradient to the bottom, hatching to the left, noise in a closed run",
                       false, KRBoundingRange::between(0, 6));
}

PropertyList columnNamed(const char* name) { return PlistDictionary{{"Name", PropertyList(name)}}; }

PropertyList number(const char* text) { return PlistDictionary{{"Text", PropertyList(text)}}; }

// Measurements against a model: markers with symmetric y errors on one
// series; separate lower and upper y errors, percent x errors and wide caps
// on the other.
bool errorBars(const std::string& folder) {
  Picture picture;
  const auto x = range(10, 0.5, 1);
  const double noise[] = {0.31, -0.42, 0.12, 0.55, -0.25, -0.6, 0.2, 0.44, -0.1, 0.35};
  std::vector<double> measured, spread, second, below, above, xPercent;
  for (std::size_t k = 0; k < x.size(); ++k) {
    const double t = x[k];
    measured.push_back(1 + 0.6 * t + noise[k]);
    spread.push_back(0.3 + 0.05 * t);
    second.push_back(8 - 0.5 * t + 0.6 * noise[(k + 3) % 10]);
    below.push_back(0.25 + 0.04 * double(k));
    above.push_back(0.6 + 0.08 * double(k));
    xPercent.push_back(4);
  }
  // One lost reading: no marker, no bar, a break in the line.
  measured[6] = kNaN;
  auto xc = picture.column("x", x);
  picture.column("spread", spread);
  picture.column("below", below);
  picture.column("above", above);
  picture.column("x percent", xPercent);
  const KRColor blue = KRColor::rgb(0.1, 0.3, 0.8), red = KRColor::rgb(0.8, 0.2, 0.1);
  picture.plot(xc, picture.column("measured", measured),
               {{"Line Style", line(2, 1, blue)}, {"Point Style", PropertyList(2)},
                {"Point Size", number("7")}, {"Point Fill Color", solidFill(KRColor::white())},
                {"Error Style", PropertyList(3)}, {"Error Color", VKColorInputController::colorPropertyList(blue)},
                {"Error Bar Size", number("1")}, {"Positive Y Error", columnNamed("spread")},
                {"Legend Position", PropertyList(2)}, {"Legend", PropertyList("symmetric y")}});
  picture.plot(xc, picture.column("second", second),
               {{"Line Style", line(4, 1, red)}, {"Point Style", PropertyList(7)},
                {"Point Size", number("6")}, {"Error Style", PropertyList(4)},
                {"Error Color", VKColorInputController::colorPropertyList(KRColor::grey(0.25))},
                {"Error Bar Size", number("0.75")}, {"Y Error Type", PropertyList(2)},
                {"Negative Y Error", columnNamed("below")}, {"Positive Y Error", columnNamed("above")},
                {"X Error Type", PropertyList(3)}, {"Positive X Error", columnNamed("x percent")},
                {"Legend Position", PropertyList(3)}, {"Legend", PropertyList("separate y, 4 % x")}});
  return picture.write(folder + "/plot-error-bars.png", "Markers and error bars", false, KRBoundingRange::invalid(),
                       "x", "measured");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string folder = argc > 1 ? argv[1] : "examples";
  const bool ok = gaps(folder) && steps(folder) && smooth(folder) && fills(folder) && fillKinds(folder) && errorBars(folder);
  return ok ? 0 : 1;
}
