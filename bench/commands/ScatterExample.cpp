// Draws examples/scatter.png: two scatter commands over a small table, one
// with marker sizes from a column (by area) and line and fill colours from a
// text column through colour schemes, one with asymmetric y error bars,
// x error bars, a marker scheme and labels.
//
//   build-bench/bin/scatter_example examples/scatter.png

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "commands/VKPointsCommand.h"
#include "drawing/KRDrawingOutput.h"
#include "axes/VKAxisSettings.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/VKCanvasSettings.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;
using testing_support::TestCommandDocument;

namespace {

std::vector<std::string> texts(const std::vector<double>& values) {
  std::vector<std::string> cells;
  for (double v : values) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4g", v);
    cells.push_back(buffer);
  }
  return cells;
}

std::shared_ptr<VKPointsCommand> addCommand(DataDocumentDrawing& graph) {
  auto command = std::make_shared<VKPointsCommand>();
  command->finishConnections();
  graph.addCommand(command);
  return command;
}

void set(DataDrawingCommand& command, const std::string& key, PropertyList value) {
  if (auto setting = command.objectWithName(key)) setting->setFromPropertyList(&value);
}

}  // namespace

int main(int argc, char** argv) {
  std::string output = argc > 1 ? argv[1] : "examples/scatter.png";
  auto document = TestCommandDocument::create();
  auto graph = DataDocumentDrawing::create();
  document->addGraph(graph);

  // A cloud of 60 cities: position, population (area of the marker) and region.
  std::vector<double> x, y, population;
  std::vector<std::string> region;
  const char* regions[] = {"north", "south", "east", "west"};
  for (int i = 0; i < 60; ++i) {
    double t = i * 0.61803398875;
    x.push_back(1 + 8 * (t - std::floor(t)));
    y.push_back(5.5 + 3.6 * std::sin(1.7 * i) * std::cos(0.3 * i));
    population.push_back(20 + 380 * std::pow(std::fabs(std::sin(2.3 * i)), 3));
    region.push_back(regions[i % 4]);
  }
  auto px = document->addColumn("x", texts(x));
  auto py = document->addColumn("y", texts(y));
  auto pop = document->addColumn("population", texts(population));
  auto kind = VKDataColumnString::createEmptyFor(document);
  kind->setName("region");
  kind->setStringList(region);
  document->table->insertColumn(kind, document->table->numberOfColumns());

  auto& definitions = document->data->definitions();
  auto lines = definitions.addColorScheme("regions");
  lines->addLine({"north", "", "", "North", {0.12, 0.35, 0.75, 1}});
  lines->addLine({"south", "", "", "South", {0.8, 0.25, 0.15, 1}});
  lines->addLine({"east", "", "", "East", {0.15, 0.55, 0.25, 1}});
  lines->addLine({"", "", "", "Other", {0.45, 0.3, 0.6, 1}});
  auto fills = definitions.addColorScheme("region fills");
  for (const auto& line : lines->lines()) {
    auto light = line;
    light.color = {0.6 + 0.4 * line.color.red, 0.6 + 0.4 * line.color.green, 0.6 + 0.4 * line.color.blue, 0.75};
    fills->addLine(light);
  }

  auto cities = addCommand(*graph);
  cities->xColumn()->selectColumn(px);
  cities->yColumn()->selectColumn(py);
  cities->pointSizeColumn()->selectColumn(pop);
  cities->pointSizeType()->setTag(VKPointsCommand::kSizeArea);
  cities->pointSizeScale()->setText("1.4");
  cities->colorVariable()->selectColumn(kind);
  cities->colorScheme()->setSchemeName("regions");
  cities->fillVariable()->selectColumn(kind);
  cities->fillScheme()->setSchemeName("region fills");
  cities->lineWidth()->setText("1");

  // Measurements with errors: lower and upper y errors, a symmetric x error,
  // the shape from a marker scheme and each point labelled with its value.
  std::vector<double> mx, my, low, high, ex, quality;
  for (int i = 0; i < 9; ++i) {
    mx.push_back(1.5 + i);
    my.push_back(10.5 + 0.9 * std::sin(0.8 * i) + 0.12 * i);
    low.push_back(0.2 + 0.05 * i);
    high.push_back(0.35 + 0.08 * (i % 3));
    ex.push_back(i % 2 ? 0.25 : 0.12);
    quality.push_back(i % 3);
  }
  auto markers = definitions.addMarkerScheme("quality");
  markers->addLine({"0", "", "", "good", kMarkerSolidCircle});
  markers->addLine({"1", "", "", "fair", kMarkerSolidDiamond});
  markers->addLine({"2", "", "", "poor", kMarkerBox});
  auto measured = addCommand(*graph);
  measured->xColumn()->selectColumn(document->addColumn("mx", texts(mx)));
  auto myColumn = document->addColumn("my", texts(my));
  measured->yColumn()->selectColumn(myColumn);
  measured->errorNegY()->selectColumn(document->addColumn("low", texts(low)));
  measured->errorPosY()->selectColumn(document->addColumn("high", texts(high)));
  measured->errorYType()->setTag(kErrorTypeSeparate);
  measured->errorPosX()->selectColumn(document->addColumn("ex", texts(ex)));
  measured->errorStyle()->setTag(kErrorStyleMediumBars);
  measured->errorBarSize()->setText("0.75");
  measured->errorColor()->setColor(KRColor::grey(0.35));
  measured->markerVariable()->selectColumn(document->addColumn("quality", texts(quality)));
  measured->markerScheme()->setSchemeName("quality");
  measured->pointSize()->setText("7");
  measured->pointColor()->setColor(KRColor::rgb(0.1, 0.1, 0.3));
  measured->labels()->selectColumn(myColumn);
  measured->labelsOffset()->setText("6,4");
  for (auto& command : graph->commands()) command->establishDependencyConnections();

  // Laid out as a graph: axes with titles and ticks, room around the data
  // (10 % in x, for the labels right of the last points; 5 % in y).
  set(*graph->canvasSettings(), "Title",
      PropertyList("Sizes (by area) and colours from columns; error bars, marker scheme and labels"));
  set(*graph->mainAxis(), "X Title", PropertyList("x"));
  set(*graph->mainAxis(), "Y Title", PropertyList("y"));
  set(*graph->mainAxis(), "Pad X Range", PropertyList(std::int64_t{4}));
  set(*graph->mainAxis(), "Pad Y Range", PropertyList(std::int64_t{3}));
  const KRSize size{600, 480};
  const double scale = 2;
  auto page = graph->createGraphic(size, scale, false, {}, KRRect());
  for (auto& command : {cities, measured})
    if (command->hasErrorExplanation()) std::fprintf(stderr, "scatter_example: %s\n", command->errorExplanation()->c_str());

  KRRenderOptions options;
  options.background = KRColor::white();
  std::string error;
  if (!page || !writePNG(*page, {0, 0, size.width * scale, size.height * scale}, output, options, &error)) {
    std::fprintf(stderr, "scatter_example: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
