// Draws the layout pictures of examples/: one axis pair, stacked y axes,
// joined x and y axes, a logarithmic axis, a date axis, titles with math
// text, extra axes in other units and filled backgrounds, each as PNG and
// PDF.
//   graph_layout_example [output folder]   (default: examples)

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "ExampleCurve.h"
#include "axes/VKAxisSettings.h"
#include "drawing/KRDrawingOutput.h"
#include "graph/VKCanvasSettings.h"
#include "graph/VKStyleSettings.h"
#include "graph/commandbase/VKCommandFactory.h"

namespace orrelin {
namespace {

using examples::addCurve;

const KRColor kBlue = KRColor::rgb(0.12, 0.35, 0.72);
const KRColor kRed = KRColor::rgb(0.78, 0.2, 0.15);
const KRColor kGreen = KRColor::rgb(0.15, 0.55, 0.25);

void set(DataDrawingCommand& command, const std::string& key, PropertyList value) {
  if (auto setting = command.objectWithName(key)) setting->setFromPropertyList(&value);
}

std::shared_ptr<VKDrawingCommand> addKind(DataDocumentDrawing& graph, const std::string& type) {
  auto command = std::dynamic_pointer_cast<VKDrawingCommand>(VKCommandFactory::shared().createCommand(type));
  graph.addCommand(command);
  return command;
}

std::vector<KRPoint> sample(double from, double to, int count, double (*f)(double)) {
  std::vector<KRPoint> points;
  for (int i = 0; i < count; ++i) {
    double x = from + (to - from) * i / (count - 1);
    points.push_back({x, f(x)});
  }
  return points;
}

// The PNG is laid out as a screen at twice the point size shows it, the PDF
// for a resolution independent output.
bool write(const std::shared_ptr<DataDocumentDrawing>& graph, const std::string& folder, const std::string& name,
           KRSize size = {360, 252}) {
  const double scale = 2;
  const KRRect page(0, 0, size.width, size.height);
  std::string base = folder + "/graph-" + name;
  std::string error;
  KRRenderOptions options;
  options.background = KRColor::white();
  auto screen = graph->createGraphic(size, scale, false, {}, KRRect());
  auto output = graph->createGraphic(size, 1, false, PlistDictionary{{"Destination", "PDF"}}, KRRect());
  // A screen pass hands back the list in device pixels.
  const KRRect pixels(0, 0, size.width * scale, size.height * scale);
  bool ok = screen && output && writePNG(*screen, pixels, base + ".png", options, &error) &&
            writePDF(*output, page, base + ".pdf", &error);
  std::printf("%s: %s\n", base.c_str(), ok ? "written" : error.empty() ? "nothing drawn" : error.c_str());
  return ok;
}

std::shared_ptr<DataDocumentDrawing> onePair() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Title", PropertyList("Time (s)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Amplitude (mm)"));
  set(*graph->canvasSettings(), "Title", PropertyList("Damped oscillation"));
  graph->styleSettings()->gridMenu().setTag(VKStyleSettings::kMajorGrid);
  addCurve(*graph, sample(0, 10, 400, [](double t) { return 3 * std::exp(-0.3 * t) * std::cos(2.4 * t); }), kBlue);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> stackedY() {
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinStack);
  set(*graph->mainAxis(), "X Title", PropertyList("Depth (m)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Temperature"));
  auto second = addKind(*graph, "Y Axis");
  set(*second, "Y Title", PropertyList("Salinity"));
  set(*second, "Relative Size", PropertyList("0.6"));
  set(*second, "Space Before", PropertyList("12"));
  set(*second, "Space Before Pixels", PropertyList(true));
  addCurve(*graph, sample(0, 200, 200, [](double d) { return 4 + 14 * std::exp(-d / 60); }), kRed);
  addCurve(*graph, sample(0, 200, 200, [](double d) { return 34.2 + 0.8 * std::tanh((d - 90) / 30); }), kBlue, 0,
           1);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> joinedX() {
  auto graph = DataDocumentDrawing::create();
  graph->canvasSettings()->stackingChoice().setTag(VKCanvasSettings::kJoinJoin);
  set(*graph->mainAxis(), "X Title", PropertyList("Wavelength (nm)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Absorbance"));
  auto top = addKind(*graph, "X Axis");
  set(*top, "X Title", PropertyList("Energy (eV)"));
  auto right = addKind(*graph, "Y Axis");
  set(*right, "Y Title", PropertyList("Transmittance (%)"));
  addCurve(*graph, sample(300, 700, 300, [](double l) { return 0.2 + 0.9 * std::exp(-std::pow((l - 480) / 45, 2)); }),
           kBlue);
  // The same band against photon energy on the top axis.
  addCurve(*graph, sample(1.77, 4.13, 300, [](double e) {
             return 0.2 + 0.9 * std::exp(-std::pow((1239.84 / e - 480) / 45, 2));
           }),
           kGreen, 1, 0);
  addCurve(*graph, sample(300, 700, 300, [](double l) {
             return 100 * std::pow(10, -(0.2 + 0.9 * std::exp(-std::pow((l - 480) / 45, 2))));
           }),
           kRed, 0, 1);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> logAxis() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "Y Type", PropertyList(std::int64_t{2}));
  set(*graph->mainAxis(), "X Title", PropertyList("Hours"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Cells per ml"));
  graph->styleSettings()->gridMenu().setTag(VKStyleSettings::kMajorAndMinorGrid);
  addCurve(*graph, sample(0, 48, 200, [](double t) { return 1e9 / (1 + 1e5 * std::exp(-0.45 * t)); }), kGreen);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> dateAxis() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "Y Title", PropertyList("Level (m)"));
  std::vector<KRPoint> points;
  const double start = 1735689600;  // 2025-01-01 00:00 GMT
  for (int day = 0; day <= 120; ++day)
    points.push_back({start + day * 86400.0, 2 + std::sin(day / 9.0) + 0.3 * std::sin(day * 1.3)});
  addCurve(*graph, points, kBlue)->setDates(true);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> extraAxis() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Title", PropertyList("Month"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Temperature (\\degreeC)"));
  auto fahrenheit = addKind(*graph, "Extra Axis");
  set(*fahrenheit, "Unit Conversion", PropertyList(std::int64_t{3}));
  set(*fahrenheit, "Axis Title", PropertyList("Temperature (\\degreeF)"));
  auto celsius = addKind(*graph, "Extra Axis");
  set(*celsius, "Axis Location", PropertyList(std::int64_t{1}));
  set(*celsius, "Unit Conversion", PropertyList(std::int64_t{4}));
  set(*celsius, "OU Origin", PropertyList("1"));
  set(*celsius, "OU Unit", PropertyList("3"));
  set(*celsius, "Axis Title", PropertyList("Quarter"));
  addCurve(*graph, sample(1, 12, 100, [](double m) { return 9 - 12 * std::cos((m - 1) * M_PI / 6); }), kRed);
  return graph;
}

std::shared_ptr<DataDocumentDrawing> mathTitles() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Title", PropertyList("\\omega / \\omega_0"));
  set(*graph->mainAxis(), "Y Title", PropertyList("|H(\\omega)|^2"));
  set(*graph->canvasSettings(), "Title", PropertyList("Resonance: \\frac{1}{(1-x^2)^2 + (x/Q)^2}"));
  set(*graph->mainAxis(), "Y Type", PropertyList(std::int64_t{2}));
  graph->styleSettings()->boxStyleMenu().setTag(VKStyleSettings::kAxesOnly);
  for (double q : {1.0, 3.0, 10.0}) {
    std::vector<KRPoint> points;
    for (int i = 0; i < 400; ++i) {
      double x = 0.01 + 2.99 * i / 399;
      points.push_back({x, 1 / (std::pow(1 - x * x, 2) + std::pow(x / q, 2))});
    }
    addCurve(*graph, points, q == 1 ? kBlue : q == 3 ? kGreen : kRed);
  }
  return graph;
}

// A page in a vertical gradient and a hatched plot area behind a bar-like
// staircase, with numbers wide enough to reach beyond the plot area.
std::shared_ptr<DataDocumentDrawing> fills() {
  auto graph = DataDocumentDrawing::create();
  set(*graph->mainAxis(), "X Title", PropertyList("Revenue (USD)"));
  set(*graph->mainAxis(), "Y Title", PropertyList("Share"));
  set(*graph->canvasSettings(), "Background",
      PropertyList(PlistDictionary{{"Kind", PropertyList(std::int64_t{5})},
                                   {"Color", VKColorInputController::colorPropertyList(KRColor::rgb(0.86, 0.91, 0.98))},
                                   {"Second Color", VKColorInputController::colorPropertyList(KRColor::white())},
                                   {"Angle", PropertyList(90.0)}}));
  set(*graph->canvasSettings(), "Axis Background",
      PropertyList(PlistDictionary{{"Kind", PropertyList(std::int64_t{3})},
                                   {"Pattern", PropertyList(std::int64_t{4})},
                                   {"Color", VKColorInputController::colorPropertyList(KRColor::grey(0.82))},
                                   {"Second Color", VKColorInputController::colorPropertyList(KRColor::white())}}));
  addCurve(*graph, sample(0, 250000, 300, [](double r) { return 1 - std::exp(-r / 60000); }), kBlue);
  return graph;
}

}  // namespace
}  // namespace orrelin

int main(int argc, char** argv) {
  using namespace orrelin;
  std::string folder = argc > 1 ? argv[1] : "examples";
  bool ok = true;
  ok &= write(onePair(), folder, "one-axis-pair");
  ok &= write(stackedY(), folder, "stacked-y");
  ok &= write(joinedX(), folder, "joined-x");
  ok &= write(logAxis(), folder, "log-axis");
  ok &= write(dateAxis(), folder, "date-axis");
  ok &= write(mathTitles(), folder, "math-titles");
  ok &= write(extraAxis(), folder, "extra-axis");
  ok &= write(fills(), folder, "fills");
  return ok ? 0 : 1;
}
