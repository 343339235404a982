// Builds the example documents from code, so that no package in the
// repository is edited by hand:
//
//     orrel-examples <output folder> <examples folder>
//
// The examples folder holds the data the documents import. Each document is
// written as "<name>.orrel" into the output folder; the exit status is the
// number of documents that could not be built.

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/ErrorBars.h"
#include "commands/Markers.h"
#include "commands/VKPlotCommand.h"
#include "commands/VKPointsCommand.h"
#include "document/OrrelinDocument.h"
#include "graph/DataDocumentDrawing.h"
#include "graph/VKCanvasSettings.h"
#include "graph/commandbase/VKCommandFactory.h"
#include "table/StructuralColumns.h"
#include "table/VKDataColumnBinary.h"
#include "table/VKDataColumnDate.h"
#include "table/VKDataColumnExpression.h"
#include "table/VKDataColumnNumberFromString.h"
#include "table/VKDataColumnSpecified.h"
#include "table/VKDataColumnString.h"

using namespace orrelin;

namespace {

ColumnPtr add(OrrelinDocument& document, ColumnPtr column, const std::string& name) {
  column->setName(name);
  document.table().insertColumn(column, document.table().numberOfColumns());
  return column;
}

ColumnPtr addFormula(OrrelinDocument& document, const std::string& name, const std::string& formula) {
  auto column = VKDataColumnExpression::createEmptyFor();
  column->setExpressionString(formula);
  return add(document, column, name);
}

// A command of the kind appended to the document's first graph.
template <class Command>
std::shared_ptr<Command> addCommand(OrrelinDocument& document, const std::string& type) {
  auto command = std::dynamic_pointer_cast<Command>(VKCommandFactory::shared().createCommand(type));
  if (command) document.drawings().at(0)->addCommand(command);
  return command;
}

// A setting of a command given in its stored form.
void set(const DataDrawingCommand& command, const std::string& key, const PropertyList& value) {
  if (auto setting = command.objectWithName(key)) setting->setFromPropertyList(&value);
}

PropertyList color(double red, double green, double blue, double alpha = 1) {
  return VKColorInputController::colorPropertyList(KRColor::rgb(red, green, blue, alpha));
}

PropertyList lineStyle(double width, const PropertyList& color) {
  return PlistDictionary{{"Tag", PropertyList(2)}, {"Width", PropertyList(width)}, {"Color", color}};
}

PropertyList solidFill(const PropertyList& color) {
  return PlistDictionary{{"Kind", PropertyList(2)}, {"Color", color}};
}

PropertyList numberText(const std::string& text) { return PlistDictionary{{"Text", PropertyList(text)}}; }

// The graph's title and its axis titles; the axes pad their automatic
// ranges by 5% so that markers on the ends of the data are not cut by the
// frame (date axes are never padded).
void frame(OrrelinDocument& document, const std::string& title, const std::string& xTitle, const std::string& yTitle) {
  const auto& graph = *document.drawings().at(0);
  set(*graph.canvasSettings(), "Title", PropertyList(title));
  // The main axis holds the settings of both directions; it is the first
  // axis of each.
  const auto& axes = *graph.xAxisCommands().at(0);
  set(axes, "X Title", PropertyList(xTitle));
  set(axes, "Y Title", PropertyList(yTitle));
  set(axes, "Pad X Range", PropertyList(3));
  set(axes, "Pad Y Range", PropertyList(3));
}

// A damped oscillation measured at 101 times, with the model that fits it:
// the decay and the frequency are parameters, the model and the residual
// formula columns.
bool dampedOscillation(OrrelinDocument& document, const std::string& examples) {
  RowIndices written;
  if (!document.table().importAll(examples + "/damped-oscillation.txt", std::nullopt, -1, false, written) ||
      written.size() != 2)
    return false;
  document.definitions().addParameterValue("decay")->setValue("0.4");
  // The frequency is the animation parameter: a movie sweeps it.
  auto& omega = *document.definitions().animationController();
  omega.setName("omega");
  document.definitions().setAnimationRange("1,3");
  omega.setValue("2");
  auto model = addFormula(document, "model", "exp(-decay*time)*sin(omega*time)");
  addFormula(document, "residual", "signal - model");
  // The measurements as points, the model as a line through them.
  auto time = document.table().columnAtIndex(written.at(0));
  auto signal = document.table().columnAtIndex(written.at(1));
  auto points = addCommand<VKPointsCommand>(document, "Scatter");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!points || !line) return false;
  points->xColumn()->selectColumn(time);
  points->yColumn()->selectColumn(signal);
  line->xColumn()->selectColumn(time);
  line->yColumn()->selectColumn(model);
  document.definitions().setAnimationDurationText("4");
  frame(document, "Damped oscillation: measured signal and model", "Time (s)", "Signal (V)");
  document.setDrawingSize({480, 320});
  document.setWindowSize({900, 600});
  return true;
}

// The template of the batch benchmark and of the simplest use of orrel: two
// empty typed-in columns a data file fills, and a line through them on a
// 640 by 480 point page.
bool linePlot(OrrelinDocument& document, const std::string&) {
  auto x = add(document, VKDataColumnSpecified::createEmptyFor(), "x");
  auto y = add(document, VKDataColumnSpecified::createEmptyFor(), "y");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!line) return false;
  line->xColumn()->selectColumn(x);
  line->yColumn()->selectColumn(y);
  document.setDrawingSize({640, 480});
  return true;
}

// A calibration series read from a CSV file: concentration, absorbance and
// its standard deviation. The line joins the measurements, each with a
// circle and a symmetric error bar from the third column.
bool calibration(OrrelinDocument& document, const std::string&) {
  auto concentration = add(document, VKDataColumnSpecified::createEmptyFor(), "concentration");
  auto absorbance = add(document, VKDataColumnSpecified::createEmptyFor(), "absorbance");
  auto error = add(document, VKDataColumnSpecified::createEmptyFor(), "error");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!line) return false;
  line->setXColumn(concentration, absorbance);
  const PropertyList blue = color(0.1, 0.3, 0.75);
  set(*line, "Line Style", lineStyle(1.25, blue));
  set(*line, "Point Style", PropertyList(int(kMarkerCircle)));
  set(*line, "Point Size", numberText("7"));
  set(*line, "Point Fill Color", solidFill(color(1, 1, 1)));
  line->errorPosY()->selectColumn(error);
  set(*line, "Error Style", PropertyList(int(kErrorStyleSmallBars)));
  set(*line, "Error Color", blue);
  frame(document, "Calibration", "Concentration (mg/L)", "Absorbance");
  document.setDrawingSize({480, 360});
  return true;
}

// Weather stations: mean temperature against altitude, the marker's area
// from the yearly precipitation and its colours from the region, a text
// column, through two colour schemes (outline and a lighter fill).
bool stations(OrrelinDocument& document, const std::string&) {
  auto altitude = add(document, VKDataColumnSpecified::createEmptyFor(), "altitude");
  auto temperature = add(document, VKDataColumnSpecified::createEmptyFor(), "temperature");
  auto precipitation = add(document, VKDataColumnSpecified::createEmptyFor(), "precipitation");
  auto region = add(document, VKDataColumnString::createEmptyFor(), "region");
  auto& definitions = document.definitions();
  struct Region {
    const char* name;
    VKColorScheme::Color color;
  };
  const Region regions[] = {{"Alps", {0.15, 0.3, 0.75, 1}},
                            {"Jura", {0.15, 0.55, 0.25, 1}},
                            {"Plains", {0.85, 0.55, 0.1, 1}},
                            {"Coast", {0.75, 0.15, 0.2, 1}}};
  auto outlines = definitions.addColorScheme("regions");
  auto fills = definitions.addColorScheme("region fills");
  for (const auto& [name, c] : regions) {
    outlines->addLine({{name, "", "", name}, c});
    fills->addLine({{name, "", "", name}, {0.5 + 0.5 * c.red, 0.5 + 0.5 * c.green, 0.5 + 0.5 * c.blue, 0.7}});
  }
  auto points = addCommand<VKPointsCommand>(document, "Scatter");
  if (!points) return false;
  points->xColumn()->selectColumn(altitude);
  points->yColumn()->selectColumn(temperature);
  // Areas in proportion to the precipitation: the size is the square root of
  // the value times the scale, so 2500 mm is a marker of 20 points.
  points->pointSizeColumn()->selectColumn(precipitation);
  points->pointSizeType()->setTag(VKPointsCommand::kSizeArea);
  points->pointSizeScale()->setText("0.4");
  points->lineWidth()->setText("1");
  points->colorVariable()->selectColumn(region);
  points->colorScheme()->setSchemeName("regions");
  points->fillVariable()->selectColumn(region);
  points->fillScheme()->setSchemeName("region fills");
  frame(document, "Weather stations (area: yearly precipitation, colour: region)", "Altitude (m)",
        "Mean temperature (\u00B0C)");
  document.setDrawingSize({520, 380});
  return true;
}

// A year of daily temperatures: the dates are text in the data file, read
// by the date column with its pattern, so the x axis is a date axis.
bool dailyTemperature(OrrelinDocument& document, const std::string&) {
  auto day = VKDataColumnDate::createEmptyFor();
  day->setDateFormat("yyyy-MM-dd");
  add(document, day, "date");
  auto temperature = add(document, VKDataColumnSpecified::createEmptyFor(), "temperature");
  auto line = addCommand<VKPlotCommand>(document, "Plot");
  if (!line) return false;
  line->setXColumn(day, temperature);
  set(*line, "Line Style", lineStyle(1, color(0.75, 0.2, 0.1)));
  frame(document, "Daily mean temperature", "", "Temperature (\u00B0C)");
  document.setDrawingSize({640, 320});
  return true;
}

// The power of a solar panel read once an hour, drawn as a natural spline
// through the readings with the area below it filled, and the readings as
// dots on the curve.
bool solarPower(OrrelinDocument& document, const std::string&) {
  auto hour = add(document, VKDataColumnSpecified::createEmptyFor(), "hour");
  auto power = add(document, VKDataColumnSpecified::createEmptyFor(), "power");
  auto curve = addCommand<VKPlotCommand>(document, "Plot");
  if (!curve) return false;
  curve->setXColumn(hour, power);
  set(*curve, "Connections", PropertyList(int(VKPlotCommand::kSmooth)));
  set(*curve, "Line Style", lineStyle(1.5, color(0.8, 0.45, 0)));
  set(*curve, "Fill", solidFill(color(1, 0.75, 0.2, 0.5)));
  set(*curve, "Fill Method", PropertyList(int(VKPlotCommand::kToZeroY)));
  set(*curve, "Point Style", PropertyList(int(kMarkerSolidCircle)));
  set(*curve, "Point Size", numberText("4"));
  frame(document, "Solar power through one day", "Hour", "Power (W/m\u00B2)");
  document.setDrawingSize({480, 320});
  return true;
}

// One column of every kind that holds or computes values, a group, and
// parameters of each simple kind.
bool everyColumnKind(OrrelinDocument& document, const std::string&) {
  auto& definitions = document.definitions();
  definitions.addParameterValue("scale")->setValue("2");
  definitions.addParameterString("unit")->setValue("mV");
  add(document, VKDataColumnSpecified::createEmptyFor(), "typed")->setStringList({"1", "2.5", "scale*3", "", "-4"});
  std::vector<double> values;
  std::vector<std::uint8_t> mask;
  for (int i = 0; i < 5000; ++i) {
    values.push_back(std::sin(i * 0.01));
    mask.push_back(1);
  }
  add(document, VKDataColumnBinary::createEmptyFor(), "binary")->setNumbers(values, mask);
  add(document, VKDataColumnString::createEmptyFor(), "text")->setStringList({"10", "20", "n/a", "40"});
  add(document, VKDataColumnDate::createEmptyFor(), "dates")
      ->setStringList({"2024-01-15", "2024-02-15", "2024-03-15", "2024-04-15"});
  addFormula(document, "scaled", "binary*scale");
  add(document, VKDataColumnNumberFromString::createEmptyFor(), "from text")->setSetting("Column", "text");
  add(document, VKDataColumnCollapserOpen::createEmptyFor(), "group");
  add(document, VKDataColumnSpecified::createEmptyFor(), "in group")->setStringList({"7", "8", "9"});
  add(document, VKDataColumnDivider::createEmptyFor(), "");
  add(document, VKDataColumnCollapserClose::createEmptyFor(), "");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <output folder> <examples folder>\n", argv[0]);
    return 2;
  }
  const std::string output = argv[1];
  const std::string examples = argv[2];
  const std::vector<std::pair<const char*, std::function<bool(OrrelinDocument&, const std::string&)>>> documents = {
      {"damped-oscillation", dampedOscillation},
      {"every-column-kind", everyColumnKind},
      {"line-plot", linePlot},
      {"calibration", calibration},
      {"stations", stations},
      {"daily-temperature", dailyTemperature},
      {"solar-power", solarPower}};
  int failures = 0;
  for (const auto& [name, build] : documents) {
    auto document = OrrelinDocument::create(OrrelinDocument::Mode::CommandLine);
    std::string error;
    const std::string path = output + "/" + name + ".orrel";
    if (!build(*document, examples) || !document->saveToURL(path, &error)) {
      std::fprintf(stderr, "orrel-examples: could not build %s %s\n", path.c_str(), error.c_str());
      ++failures;
    }
    document->disconnectBeforeClosing();
  }
  return failures;
}
