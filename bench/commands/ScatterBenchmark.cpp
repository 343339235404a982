// The whole job of a scatter graph, as one process: reads a CSV file of two
// columns, makes a points command over them, builds its drawing for a
// 640 x 480 point page and writes it in the form the output's ending names
// (pdf, png at 72 dpi, svg). compare_scatter.py times it against matplotlib.
//
//   build-bench/bin/scatter_benchmark points.csv out.pdf [marker tag]

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands/VKPointsCommand.h"
#include "drawing/KRDrawingOutput.h"
#include "graph/commandbase/CommandTestSupport.h"
#include "table/VKDataColumnBinary.h"

using namespace orrelin;

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

bool readColumns(const std::string& path, std::vector<double>& x, std::vector<double>& y) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const char* p = text.c_str();
  const char* end = p + text.size();
  while (p < end) {
    double a = 0, b = NAN;
    auto first = std::from_chars(p, end, a);
    if (first.ec != std::errc()) {  // a header or a damaged line: skip it
      while (p < end && *p != '\n') ++p;
      ++p;
      continue;
    }
    p = first.ptr;
    while (p < end && (*p == ',' || *p == ' ' || *p == '\t')) ++p;
    auto second = std::from_chars(p, end, b);
    if (second.ec != std::errc()) b = NAN;
    p = second.ptr;
    while (p < end && *p != '\n') ++p;
    ++p;
    x.push_back(a);
    y.push_back(b);
  }
  return true;
}

std::shared_ptr<OrrelinColumn> numberColumn(testing_support::TestCommandDocument& document, const std::string& name,
                                            const std::vector<double>& values) {
  // A binary number column, as an import of this size makes.
  auto column = VKDataColumnBinary::createEmptyFor(document.shared_from_this());
  column->setName(name);
  column->setNumbers(values, std::vector<std::uint8_t>(values.size(), 1));
  document.table->insertColumn(column, document.table->numberOfColumns());
  return column;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: scatter_benchmark data.csv output.{pdf,png,svg}\n");
    return 2;
  }
  const std::string output = argv[2];
  const std::string ending = output.substr(output.rfind('.') + 1);
  auto start = Clock::now();
  std::vector<double> xs, ys;
  if (!readColumns(argv[1], xs, ys)) {
    std::fprintf(stderr, "scatter_benchmark: cannot read %s\n", argv[1]);
    return 1;
  }
  const double read = seconds(start);

  auto document = testing_support::TestCommandDocument::create();
  auto graph = std::make_shared<testing_support::TestGraph>();
  document->addGraph(graph);
  auto command = std::make_shared<VKPointsCommand>();
  command->finishConnections();
  graph->addCommand(command);
  command->xColumn()->selectColumn(numberColumn(*document, "x", xs));
  command->yColumn()->selectColumn(numberColumn(*document, "y", ys));
  command->pointSize()->setText("3");
  if (argc > 3) command->pointStyle()->setTag(std::atoi(argv[3]));
  command->pointColor()->setColor(KRColor::rgb(0.12, 0.47, 0.71));
  command->lineWidth()->setText("0.5");

  // The page: 640 x 480 points with the data range filling the plot area.
  const KRRect plot{60, 40, 560, 420};
  auto xRange = command->domainRangeXLinear(true, true);
  auto yRange = command->valueRangeXLinear(true, true);
  if (!xRange.isValid() || !yRange.isValid()) {
    std::fprintf(stderr, "scatter_benchmark: no points\n");
    return 1;
  }
  auto record = std::make_shared<KR1DPlotDrawingInfo>();
  record->graphRegion = record->drawRegion = record->axisRegion = plot;
  const double sx = plot.width() / std::max(xRange.width(), 1e-300), sy = plot.height() / std::max(yRange.width(), 1e-300);
  record->setXLinearShift(plot.minX() / sx - xRange.minR, sx);
  record->setYLinearShift(plot.minY() / sy - yRange.minR, sy);
  record->destinationIsResolutionIndependent = ending != "png";
  auto prepared = Clock::now();
  KRDrawingInformation information;
  auto drawing = command->drawingObjectForScale(record, 1, information);
  auto page = KRDrawingGroup::create();
  page->addObject(drawing);
  auto frame = KRDrawingPathRectangle::createWithRect(plot);
  frame->setStyle(KRDrawingStyleCurve::createWithColor(KRColor::black(), 1));
  page->addObject(frame);
  const double built = seconds(prepared);

  auto writing = Clock::now();
  // The display list's own PDF and PNG output, and its SVG form (the
  // writers' view class shares its name with the command base's view, so
  // this program, which needs the command base, does without it).
  std::string error;
  const KRRect area{0, 0, 640, 480};
  KRRenderOptions options;
  options.background = KRColor::white();
  bool ok = false;
  if (ending == "pdf") ok = writePDF(*page, area, output, &error);
  if (ending == "png") ok = writePNG(*page, area, output, options, &error);
  if (ending == "svg") {
    std::ofstream out(output, std::ios::binary);
    out << page->svgForm({640, 480});
    ok = static_cast<bool>(out);
  }
  if (!ok) {
    std::fprintf(stderr, "scatter_benchmark: could not write %s %s\n", output.c_str(), error.c_str());
    return 1;
  }
  std::fprintf(stderr, "%zu points: read %.3f s, command and display list %.3f s, write %s %.3f s\n", xs.size(),
               read, built, ending.c_str(), seconds(writing));
  return 0;
}
